// Copying tables and records, and the search by field values.

#include <cstring>

#include "platform/os/os_file.h"
#include "platform/rtl/scope_guard.h"
#include "tables/base/xb_errors.h"
#include "tables/base/xb_settings.h"
#include "tables/base/xb_sysapi.h"
#include "tables/base/xb_tools.h"
#include "tables/dbf/xb_builders.h"
#include "tables/dbf/xbo_memo.h"
#include "tables/handler/xbo_dbhandler.h"

namespace {

// Two names of one file: the same text without regard to case, or the same
// file on disk (links, other spellings).
bool SameFile(const AnsiString& a, const AnsiString& b) {
  const AnsiString fa = SysXb_UpperCase(XBO_DiskFile::ExpandName(a));
  const AnsiString fb = SysXb_UpperCase(XBO_DiskFile::ExpandName(b));
  return fa == fb || vx::IsSameFile(XBO_DiskFile::ExpandName(a), XBO_DiskFile::ExpandName(b));
}

bool SameLayout(const XBO_dBaseDBF& a, const XBO_dBaseDBF& b) {
  if (a.RecordLength != b.RecordLength || a.Fields().size() != b.Fields().size()) return false;
  const bool rawA = a.Version == dbf_format::kVersionVisualFox;
  const bool rawB = b.Version == dbf_format::kVersionVisualFox;
  if (rawA != rawB) return false;
  for (std::size_t i = 0; i < a.Fields().size(); ++i) {
    const XBFieldDesc& fa = a.Fields()[i];
    const XBFieldDesc& fb = b.Fields()[i];
    if (fa.Type != fb.Type || fa.Length != fb.Length || fa.Decimals != fb.Decimals || fa.Offset != fb.Offset)
      return false;
  }
  return true;
}

}  // namespace

void XBO_dBHandler::CopyRecord(XBO_dBHandler& target) {
  if (&target == this) throw EXBaseError("Cannot copy a record into its own table - " + ShownName());
  if (!SameLayout(*this, target))
    throw EXBaseError("Record layouts differ - " + ShownName() + " / " + target.ShownName());
  std::memcpy(target.CurRecord, CurRecord, std::size_t(RecordLength));
  const bool deleted = IsDeleted();
  const bool memo = HasMemo && target.HasMemo;
  for (const XBFieldDesc& f : Fields()) {
    if (!dbf_format::HoldsMemo(f.Type, Version)) continue;
    AnsiString text;
    if (HasMemo) text = MemoRead(f.Number);
    // The copied block number belongs to the source's memo file.
    std::memset(target.CurRecord + f.Offset, ' ', std::size_t(f.Length));
    if (memo && !text.empty()) target.MemoWrite(f.Number, text.data(), std::int64_t(text.size()));
  }
  target.Append();
  if (deleted) target.DeleteRecord();
}

void XBO_dBHandler::CopyTable(const AnsiString& newName, const AnsiString& key) {
  if (Version == dbf_format::kVersionVisualFox)
    throw EXBaseError("Tables of version 0x30 cannot be copied - " + ShownName());
  const AnsiString target = xbDefaultExtension(Trim(newName), ".DBF");
  bool clash = SameFile(target, PathName());
  if (HasMemo) {
    const AnsiString ownMemo = XBobjMemo::MemoFileName(PathName(), Version);
    clash = clash || SameFile(target, ownMemo);
    const std::uint8_t newVersion = Version == dbf_format::kVersionDB4Memo   ? dbf_format::kVersionDB4Memo
                                    : Version == dbf_format::kVersionFoxMemo ? dbf_format::kVersionFoxMemo
                                                                             : dbf_format::kVersionDB3Memo;
    const AnsiString newMemo = XBobjMemo::MemoFileName(target, newVersion);
    clash = clash || SameFile(newMemo, ownMemo) || SameFile(newMemo, PathName());
  }
  for (const auto& file : FIndexFiles)
    if (file && SameFile(target, file->Disk() ? file->Disk()->PathName() : AnsiString(file->FileName()))) clash = true;
  if (clash) throw EXBaseError("A table cannot be copied onto itself or its own files - " + SysXb_UpperCase(target));

  const int attempts = xbLockAttempts();
  bool locked = false;
  for (int i = 0; i < attempts && !locked; ++i) {
    locked = LockWholeTable();
    if (!locked && i + 1 < attempts) SysXb_Sleep(LockRetryInterval);
  }
  if (!locked) {
    RaiseLockRefused();
    return;
  }
  const std::int32_t saved = RecNo;
  vx::ScopeGuard release([this, saved] {
    try {
      if (saved >= 1 && saved <= RecordCount) GetRec(saved);
    } catch (...) {}
    Unlock();
  });
  RefreshHeader();
  StatusUpdate(xbProgressStart, xbProgressCopy, RecordCount);

  std::unique_ptr<XBO_DBFBuild> builder;
  if (Version == dbf_format::kVersionDB4Memo) builder = std::make_unique<XBO_DB4Build>(target);
  else if (Version == dbf_format::kVersionFoxMemo) builder = std::make_unique<XBO_DBFoxBuild>(target);
  else builder = std::make_unique<XBO_DBFBuild>(target);
  for (const XBFieldDesc& f : Fields()) builder->AddField(f.Name, f.Type, f.Length, f.Decimals);
  builder->Write();
  builder.reset();

  XBO_dBHandler copy(target, false, true, "");
  if (!key.empty()) copy.ChangeKey(key);
  copy.LockTable();
  std::int64_t walked = 0;
  for (GetRec(xbTop); !EOFFlag && !BOFFlag; GetRec(xbNext)) {
    CheckWalkLength(++walked);
    StatusUpdate(xbProgressCopy, RecNo, 0);
    CopyRecord(copy);
  }
  copy.Unlock();
  StatusUpdate(xbProgressEnd, 0, 0);
}

bool XBO_dBHandler::LocateRecord(const AnsiString& fieldList, const std::vector<AnsiString>& values, bool partial,
                                 bool caseInsensitive) {
  GetRec(xbTop);
  if (EOFFlag || BOFFlag) return false;

  // The values in the fields' own forms, so that records compare byte-wise.
  std::vector<char> scratch(std::size_t(RecordLength) + 1, ' ');
  FillFromValues(scratch.data(), fieldList, values);
  std::vector<const XBFieldDesc*> fields;
  std::vector<AnsiString> names;
  {
    std::size_t start = 0;
    while (start <= fieldList.size() && names.size() < values.size()) {
      std::size_t end = fieldList.find(';', start);
      if (end == AnsiString::npos) end = fieldList.size();
      names.push_back(Trim(fieldList.substr(start, end - start)));
      start = end + 1;
    }
  }
  for (const AnsiString& name : names) {
    const XBFieldDesc* f = FindFieldDescriptor(name);
    if (!f) return false;
    fields.push_back(f);
  }
  if (fields.empty()) return false;
  const AnsiString lastValue = TrimRight(values[fields.size() - 1]);

  auto matches = [&]() {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const XBFieldDesc& f = *fields[i];
      std::size_t length = std::size_t(f.Length);
      if (partial && i + 1 == fields.size() && f.Type == 'C') length = std::min(length, lastValue.size());
      AnsiString have(CurRecord + f.Offset, length);
      AnsiString want(scratch.data() + f.Offset, length);
      if (caseInsensitive) {
        have = SysXb_UpperCase(have);
        want = SysXb_UpperCase(want);
      }
      if (have != want) return false;
    }
    return true;
  };
  auto visible = [&]() { return (!IsDeleted() || UseDeleted) && FilterPasses(RecNo) && AcceptRecord(); };

  // A tag whose key starts with the fields is asked first.
  if (!caseInsensitive && !(FActiveTag && FActiveTag->HasScope())) {
    AnsiString list;
    for (const AnsiString& name : names) list += SysXb_UpperCase(name) + ";";
    for (int n = 1;; ++n) {
      XBobjIndexTag* tag = TagByNumber(n);
      if (!tag) break;
      AnsiString expr = SysXb_UpperCase(tag->KeyExpr());
      AnsiString compact;
      for (char ch : expr)
        if (ch != ' ') compact += (ch == '+' || ch == '-') ? ';' : ch;
      compact += ";";
      if (compact.compare(0, list.size(), list) != 0) continue;
      XBobjIndexKeyData key;
      {
        vx::RestoreOnExit<char*> record(CurRecord, scratch.data());
        tag->KeyBuild(key);
      }
      tag->AdjustValue(key, true);
      key.link = key.record = -1;
      const std::int32_t found = tag->KeyFindKeep(key);
      if (found >= 1 && found <= RecordCount) {
        GetRec(found);
        if (!EOFFlag && matches() && visible()) return true;
      }
      break;  // the candidate did not hold: scan
    }
  }

  XBobjIndexTag* tag = FActiveTag;
  PassGuard back(*this, false);
  if (tag && tag->HasScope()) FActiveTag = nullptr;
  SetReadAhead(true);
  std::int64_t walked = 0;
  for (GetRec(xbTop); !EOFFlag && !BOFFlag; GetRec(xbNext)) {
    CheckWalkLength(++walked);
    if (matches()) return true;
  }
  return false;
}
