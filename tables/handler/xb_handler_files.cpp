// The table's files as a whole: renaming them together and changing the
// key they are enciphered with.
#include <cstring>

#include "platform/rtl/fileutils.h"
#include "tables/base/xb_cipher.h"
#include "tables/base/xb_errors.h"
#include "tables/base/xb_sysapi.h"
#include "tables/base/xb_tools.h"
#include "tables/dbf/xbo_memo.h"
#include "tables/handler/xb_handler_index.h"
#include "tables/handler/xbo_dbhandler.h"

namespace {

AnsiString BaseNameOf(const AnsiString& path) { return SysXb_UpperCase(xbStripExtension(path)); }

}  // namespace

bool XBO_dBHandler::RenameTable(const AnsiString& newName) {
  const AnsiString oldBase = BaseNameOf(FileName());
  if (!XBO_dBaseFld::Rename(newName)) return false;
  const AnsiString newStem = ChangeFileExt(PathName(), "");
  bool ok = true;
  for (auto& file : FIndexFiles) {
    if (!file) continue;
    if (BaseNameOf(file->FileName()) != oldBase) continue;
    // The index keeps its own extension (in its own spelling).
    const AnsiString own = file->Disk() ? file->Disk()->PathName() : AnsiString(file->FileName());
    ok = file->Rename(newStem + ExtractFileExt(own)) && ok;
  }
  return ok;
}

bool XBO_dBHandler::Rename(const AnsiString& newName) { return RenameTable(newName); }

void XBO_dBHandler::ChangeKey(const AnsiString& newKey) {
  if (Shared()) {
    TableError(xbErrAccessDenied, xbCtxChangeKey, ShownName());
    return;
  }
  if (newKey == ReadKey) return;
  std::vector<int> memoFields;
  if (HasMemo && MemoFile())
    for (const XBFieldDesc& f : Fields())
      if (dbf_format::HoldsMemo(f.Type, Version)) memoFields.push_back(f.Number);
  const std::int32_t saved = RecNo;
  PassGuard back(*this, true);
  FActiveTag = nullptr;
  TableState = XBTableState::ChangingKey;
  SetReadAhead(true);

  // Memo entries are all read under the old key before anything is
  // written, so a damaged entry stops the change with nothing altered.
  std::vector<std::vector<AnsiString>> memos;
  if (!memoFields.empty()) {
    for (std::int32_t n = 1; n <= RecordCount; ++n) {
      ReadPlain(n);
      if (EOFFlag) break;
      std::vector<AnsiString>& texts = memos.emplace_back();
      for (int field : memoFields) texts.push_back(MemoRead(field));
    }
    MemoFile()->FlushFile();
    SetMemoKey(newKey);
  }
  // A dBase III entry of a scrambled table starts with its length, a plain
  // one does not: when that changes the entries cannot stay in their blocks.
  const bool memoInPlace = Version != dbf_format::kVersionDB3Memo || Encrypted == !newKey.empty();

  // Records: read under the old key, written under the new one; each memo
  // entry goes along under the new key.
  std::vector<char> image(static_cast<std::size_t>(RecordLength));
  for (std::int32_t n = 1; n <= RecordCount; ++n) {
    ReadPlain(n);
    if (EOFFlag) break;
    if (std::size_t(n - 1) < memos.size()) {
      const std::vector<AnsiString>& texts = memos[std::size_t(n - 1)];
      for (std::size_t i = 0; i < memoFields.size(); ++i) {
        if (!memoInPlace) PutNumber(memoFields[i], 0);
        MemoWrite(memoFields[i], texts[i].data(), std::int64_t(texts[i].size()));
      }
    }
    if (newKey.empty()) std::memcpy(image.data(), CurRecord, image.size());
    else xbEncryptBuffer(newKey, CurRecord, image.data(), RecordLength, 1);
    Write(RecordPosition(n), image.data(), RecordLength);
  }
  // Descriptor area, as stored.
  const int area = HeaderLength - dbf_format::kHeaderSize - 1 -
                   (Version == dbf_format::kVersionVisualFox ? dbf_format::kVisualFoxExtra : 0);
  if (area > 0) {
    std::vector<char> raw(static_cast<std::size_t>(area));
    if (XBO_DiskFile::Read(dbf_format::kHeaderSize, raw.data(), area) == area) {
      if (Encrypted) xbEncryptBuffer(ReadKey, raw.data(), raw.data(), area, 0);
      if (!newKey.empty()) xbEncryptBuffer(newKey, raw.data(), raw.data(), area, 1);
      Write(dbf_format::kHeaderSize, raw.data(), area);
    }
  }
  const AnsiString oldKey = ReadKey;
  const bool wasEncrypted = Encrypted;
  for (auto& file : FIndexFiles) {
    if (!file) continue;
    file->ChangeKey(
        [&](std::uint8_t* block, std::size_t size) {
          if (wasEncrypted) xbEncryptBuffer(oldKey, block, block, int(size), 0);
        },
        [&](std::uint8_t* block, std::size_t size) {
          if (!newKey.empty()) xbEncryptBuffer(newKey, block, block, int(size), 1);
        });
  }
  ReadKey = newKey;
  WriteKey = newKey;
  Encrypted = !newKey.empty();
  HeaderDirty = true;
  WriteHeader();
  DropReadAhead();
  if (saved >= 1 && saved <= RecordCount) ReadPlain(saved);
}
