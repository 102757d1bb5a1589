#include "tables/handler/xb_handler_index.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <map>

#include "platform/rtl/filebytes.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/sysutils.h"
#include "tables/base/xb_cipher.h"
#include "tables/base/xb_errors.h"
#include "tables/base/xb_sysapi.h"
#include "tables/base/xb_tools.h"
#include "tables/expr/xb_expr_handler.h"
#include "tables/expr/xb_expr_link.h"
#include "tables/handler/xbo_dbhandler.h"
#include "tables/index/cdx/cdx_index.h"
#include "tables/index/mdx_index.h"
#include "tables/index/ndx_index.h"
#include "tables/index/ntx_index.h"

namespace vx {

namespace {

template <typename File>
std::unique_ptr<XBobjIndexFile> OpenAs(IndexTableLink* table, const std::string& path, bool create, bool overwrite,
                                       bool shared, bool writable) {
  auto file = std::make_unique<File>(table);
  if (!file->Create(path, overwrite, create, shared, writable)) return nullptr;
  return file;
}

std::map<std::string, IndexFormat>& Formats() {
  static std::map<std::string, IndexFormat> formats = [] {
    std::map<std::string, IndexFormat> m;
    m[".CDX"] = IndexFormat{true, OpenAs<XBobjCDXFile>};
    m[".NTX"] = IndexFormat{false, OpenAs<XBobjNTXFile>};
    m[".NDX"] = IndexFormat{false, OpenAs<XBobjNDXFile>};
    m[".MDX"] = IndexFormat{true, OpenAs<XBobjMDXFile>};
    return m;
  }();
  return formats;
}

}  // namespace

void RegisterIndexFormat(const std::string& extension, IndexFormat format) {
  Formats()[UpperCase(extension)] = std::move(format);
}

const IndexFormat* FindIndexFormat(const std::string& extension) {
  auto& formats = Formats();
  auto it = formats.find(UpperCase(extension));
  return it == formats.end() ? nullptr : &it->second;
}

// ------------------------------------------------------------------ the link

HandlerIndexLink::HandlerIndexLink(XBO_dBHandler& table) : DbfIndexLink(&table), handler_(table) {}

void HandlerIndexLink::ReadForIndex(int32_t record) {
  // The table file's own read: every record, deleted ones too.
  handler_.XBO_dBaseFld::ReadRecord(record);
}

bool HandlerIndexLink::HasOldImage() const { return handler_.RecNo >= 1; }

void HandlerIndexLink::UseOldImage(bool on) {
  if (on) {
    if (savedPointer_) return;
    savedPointer_ = handler_.CurRecord;
    handler_.CurRecord = handler_.SavedRecord.data();
  } else if (savedPointer_) {
    handler_.CurRecord = savedPointer_;
    savedPointer_ = nullptr;
  }
}

bool HandlerIndexLink::RecordModified() const {
  if (handler_.RecordModified) return true;
  return std::memcmp(handler_.CurRecord, handler_.SavedRecord.data(), std::size_t(handler_.RecordLength)) != 0;
}

void HandlerIndexLink::Status(int code, int value, int total) { handler_.StatusUpdate(code, value, total); }

std::string HandlerIndexLink::ToTableText(const std::string& text) const { return handler_.TranslateName(text, true); }

std::string HandlerIndexLink::FromTableText(const std::string& text) const {
  return handler_.TranslateName(text, false);
}

}  // namespace vx

// ------------------------------------------------------------------ index files of the handler

namespace {

bool HasFolder(const AnsiString& name) { return name.find_first_of("/\\") != AnsiString::npos; }

}  // namespace

AnsiString XBO_dBHandler::IndexPathName(const AnsiString& name) const {
  AnsiString path = Trim(name);
  if (!HasFolder(path)) path = FLink->Folder() + "/" + path;
  if (ExtractFileExt(path).empty()) path += ".NDX";
  return XBO_DiskFile::ExpandName(path);
}

AnsiString XBO_dBHandler::IndexFileName(const AnsiString& name) const { return SysXb_UpperCase(IndexPathName(name)); }

int XBO_dBHandler::FindIndexFile(const AnsiString& name) const {
  const AnsiString wanted = IndexFileName(name);
  for (int i = 0; i < kMaxIndexFiles; ++i)
    if (FIndexFiles[i] && SysXb_UpperCase(FIndexFiles[i]->FileName()) == wanted) return i + 1;
  return 0;
}

XBobjIndexTag* XBO_dBHandler::TagByNumber(int n) const {
  if (n < 1) return nullptr;
  for (const auto& file : FIndexFiles) {
    if (!file) continue;
    if (n <= file->TagCount()) return file->TagByNumber(n - 1);
    n -= file->TagCount();
  }
  return nullptr;
}

std::unique_ptr<XBobjIndexFile> XBO_dBHandler::MakeIndexFile(const AnsiString& pathName, bool create, bool overwrite,
                                                             int& code) {
  code = 0;
  const vx::IndexFormat* format = vx::FindIndexFormat(SysXb_UpperCase(ExtractFileExt(pathName)));
  std::unique_ptr<XBobjIndexFile> file;
  if (format) {
    try {
      file = format->open(FLink.get(), pathName, create, overwrite, Shared(), ReadWrite());
    } catch (const EXBaseError&) {
      // A header the format cannot read: the file is not one of its kind.
      if (XBO_DiskFile(pathName, false, false).FileExisted()) {
        code = xbErrIndexInvalid;
        return nullptr;
      }
      throw;
    }
  }
  if (!file) {
    code = format && XBO_DiskFile(pathName, false, false).FileExisted() ? xbErrIndexInvalid : 2;
    if (!format) code = XBO_DiskFile(pathName, false, false).FileExisted() ? xbErrIndexInvalid : 2;
    return nullptr;
  }
  if (!file->Usable()) {
    code = xbErrIndexInvalid;
    return nullptr;
  }
  return file;
}

int XBO_dBHandler::IndexFileOpen(const AnsiString& name) {
  const AnsiString path = IndexPathName(name);
  if (FindIndexFile(path) != 0) return xbIndexAlreadyOpen;
  int slot = -1;
  for (int i = 0; i < kMaxIndexFiles && slot < 0; ++i)
    if (!FIndexFiles[i]) slot = i;
  if (slot < 0) {
    TableError(xbErrTooManyIndexes, xbNoSubCode, SysXb_UpperCase(path));
    return xbErrTooManyIndexes;
  }
  int code = 0;
  std::unique_ptr<XBobjIndexFile> file = MakeIndexFile(path, false, false, code);
  if (!file) {
    TableError(code, xbNoSubCode, SysXb_UpperCase(path));
    return code;
  }
  file->SetLockMode(LockProtocol);
  {
    // A writer holds the index lock from its record to its keys.
    if (!file->Lock()) {
      RaiseLockRefused(xbCtxRead);
      return xbErrLockRefused;
    }
    vx::ScopeGuard unlock([&file] { file->Unlock(); });
    RefreshHeader();
    AnsiString lacking;
    try {
      TryTagExpressions(*file);
      lacking = TagLackingLastRecord(*file);
    } catch (const EXBaseError&) {
      if (file->Usable()) throw;
      // Pages that fail their checks on the way to the last key.
      TableError(xbErrIndexInvalid, xbNoSubCode, SysXb_UpperCase(path));
      return xbErrIndexInvalid;
    }
    if (!lacking.empty())
      throw EXBaseIndexOutOfDate("Index file out of date (" + lacking + " has no entry for record " +
                                 std::to_string(RecordCount) + ") - " + SysXb_UpperCase(path));
  }
  FIndexFiles[std::size_t(slot)] = std::move(file);
  return 0;
}

void XBO_dBHandler::OnLastRecord(const std::function<void()>& work) {
  if (RecordCount < 1) return;
  // The last record is read into a buffer of its own, so the table's
  // record, its image as read and its position stay as they were.
  std::vector<char> scratch(std::size_t(RecordLength) + 1, ' ');
  const std::vector<char> saved = SavedRecord;
  const std::int32_t recNo = RecNo;
  const bool eof = EOFFlag, bof = BOFFlag, modified = RecordModified;
  const XBTableState state = TableState;
  char* const current = CurRecord;
  const bool readAhead = FReadAheadOn;
  vx::ScopeGuard back([&] {
    CurRecord = current;
    SavedRecord = saved;
    RecNo = recNo;
    EOFFlag = eof;
    BOFFlag = bof;
    RecordModified = modified;
    TableState = state;
    SetReadAhead(readAhead);
  });
  SetReadAhead(false);
  CurRecord = scratch.data();
  ReadPlain(RecordCount);
  work();
}

void XBO_dBHandler::TryTagExpressions(XBobjIndexFile& file) {
  OnLastRecord([&file] {
    for (int i = 0; i < file.TagCount(); ++i) file.TagByNumber(i)->TryExpressions();
  });
}

AnsiString XBO_dBHandler::TagLackingLastRecord(XBobjIndexFile& file) {
  AnsiString lacking;
  OnLastRecord([&] {
    // A unique tag lacks the key of a record whenever that key's first
    // holder took another key: only a write stopped before its keys makes
    // the gap a loss.
    std::uint8_t incomplete = 0;
    if (ReadBlock(dbf_format::kIncompleteWrite, &incomplete, 1) != 1) incomplete = 0;
    for (int i = 0; i < file.TagCount() && lacking.empty(); ++i) {
      XBobjIndexTag* tag = file.TagByNumber(i);
      if (!tag->HoldsCurrentRecord(incomplete != 0)) lacking = "tag " + tag->TagName();
    }
  });
  return lacking;
}

AnsiString XBO_dBHandler::IndexLackingLastRecord() {
  if (!LockIndexFiles()) RaiseLockRefused(xbCtxRead);
  vx::ScopeGuard unlock([this] { UnlockIndexFiles(); });
  RefreshHeader();
  for (auto& file : FIndexFiles) {
    if (!file) continue;
    const AnsiString tag = TagLackingLastRecord(*file);
    if (!tag.empty()) return tag + " of " + SysXb_UpperCase(file->FileName());
  }
  return {};
}

void XBO_dBHandler::IndexCloseAll() {
  FActiveTag = nullptr;
  FActiveTagName.clear();
  for (auto& file : FIndexFiles) file.reset();
}

int XBO_dBHandler::IndexOpenList(const AnsiString& list, const AnsiString& tagName) {
  IndexCloseAll();
  AnsiString trimmed = list;
  while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == ',' || trimmed.back() == ';'))
    trimmed.pop_back();
  if (trimmed.empty()) return 1;
  std::vector<AnsiString> names;
  AnsiString current;
  bool quoted = false;
  for (char ch : trimmed) {
    if (ch == '"') {
      quoted = !quoted;
    } else if (!quoted && (ch == ' ' || ch == ',' || ch == ';')) {
      if (!current.empty()) names.push_back(current);
      current.clear();
    } else {
      current += ch;
    }
  }
  if (!current.empty()) names.push_back(current);
  if (names.empty()) return 1;
  for (const AnsiString& name : names) {
    const int code = IndexFileOpen(name);
    if (code > 0) return code;
  }
  SelectTag(tagName, true);
  return 0;
}

void XBO_dBHandler::IndexOn(const AnsiString& fileName, const AnsiString& tagName, const AnsiString& keyExpr,
                            const AnsiString& forExpr, int uniqueCode, int sortCode) {
  const AnsiString tag = Trim(tagName);
  if (tag.size() > std::size_t(kMaxTagName)) throw EXBaseError("Tag name longer than 31 characters - " + tag);
  if (keyExpr.size() > std::size_t(kMaxExpression))
    throw EXBaseError("Key expression longer than 255 characters - " + tag);
  if (forExpr.size() > std::size_t(kMaxExpression))
    throw EXBaseError("FOR expression longer than 255 characters - " + tag);
  if (Trim(keyExpr).empty()) throw EXBaseError("Index key expression is empty - " + tag);

  IndexCloseAll();
  const bool readAhead = FReadAheadOn;
  const XBTableState state = TableState;
  const std::int32_t saved = RecNo;
  vx::ScopeGuard back([this, readAhead, state, saved] {
    TableState = state;
    SetReadAhead(readAhead);
    if (saved >= 1 && saved <= RecordCount) {
      try {
        ReadPlain(saved);
      } catch (...) {}
    }
  });
  SetReadAhead(true);

  const AnsiString path = IndexPathName(fileName);
  AnsiString extension = SysXb_UpperCase(ExtractFileExt(path));
  const vx::IndexFormat* format = vx::FindIndexFormat(extension);
  if (!format) {
    TableError(2, xbNoSubCode, SysXb_UpperCase(path));
    return;
  }
  const bool general = sortCode == xbSortGeneralAscending || sortCode == xbSortGeneralDescending;
  XBTagDefinition definition;
  definition.name = format->compound ? tag : xbStripExtension(path);
  definition.keyExpr = Trim(keyExpr);
  definition.forExpr = Trim(forExpr);
  definition.unique = uniqueCode == 0;
  definition.ascending = sortCode == xbSortAscending || sortCode == xbSortGeneralAscending;
  definition.collation = general ? XBCollation::General : XBCollation::Machine;
  if (format->compound && definition.name.empty()) {
    TableError(xbErrTagEmpty, xbCtxTagEmpty, "Tag Field is Empty");
    return;
  }
  int code = 0;
  // A single-tag file is written anew; until its build succeeds its former
  // bytes are kept, so that a build that fails leaves an existing file as it
  // was and no new one.
  const bool existed = XBO_DiskFile(path, false, false).FileExisted();
  AnsiString former;
  const bool kept = !format->compound && existed && vx::ReadFileBytes(path, former);
  std::unique_ptr<XBobjIndexFile> file;
  vx::ScopeGuard undo([&] {
    if (format->compound || (existed && !kept)) return;
    file.reset();
    if (!existed) {
      DeleteFile(path);
      return;
    }
    // Written back in place: whoever has the file open keeps the same file.
    try {
      XBO_DiskFile back(path, false, true);
      back.FileOpen();
      back.FileTruncate(0);
      back.Write(0, former.data(), int(former.size()));
    } catch (const EXBaseError&) {}
  });
  // A compound file keeps its other tags; a single-tag file is written anew,
  // and so is a compound file that is not sound (its tags cannot be kept,
  // and building over it is how it is mended).
  file = MakeIndexFile(path, true, !format->compound, code);
  if (!file && code == xbErrIndexInvalid && format->compound) file = MakeIndexFile(path, true, true, code);
  if (!file) {
    TableError(code, xbNoSubCode, SysXb_UpperCase(path));
    return;
  }
  // The other tags of a compound file stay; while one of them cannot be
  // kept current the file takes no write, a new tag neither.
  if (format->compound) {
    TryTagExpressions(*file);
    const std::string refusal = file->WriteRefusal();
    if (!refusal.empty()) throw EXBaseIndexWriteRefused(refusal);
  }
  file->SetLockMode(LockProtocol);
  TableState = XBTableState::BuildingIndex;
  if (!file->Lock()) {
    RaiseLockRefused();
    return;
  }
  vx::ScopeGuard unlock([&file] { file->Unlock(); });
  file->TagAdd(definition);
  undo.Dismiss();
}

void XBO_dBHandler::IndexFileRebuild(const AnsiString& name) {
  const AnsiString path = IndexPathName(name);
  std::unique_ptr<XBobjIndexFile> closed;
  XBobjIndexFile* file = IndexFile(FindIndexFile(path));
  if (!file) {
    // Opened past the check: mending what it refuses is the point.
    int code = 0;
    closed = MakeIndexFile(path, false, false, code);
    if (!closed) {
      TableError(code, xbNoSubCode, SysXb_UpperCase(path));
      return;
    }
    closed->SetLockMode(LockProtocol);
    file = closed.get();
    TryTagExpressions(*file);
  }
  RebuildIndexFiles({file});
}

void XBO_dBHandler::RebuildIndexFiles(const std::vector<XBobjIndexFile*>& files) {
  for (XBobjIndexFile* file : files) {
    const std::string refusal = file->WriteRefusal();
    if (!refusal.empty()) throw EXBaseIndexWriteRefused(refusal);
  }
  const std::int32_t saved = RecNo;
  XBobjIndexFile* const activeFile = FActiveTag ? FActiveTag->File() : nullptr;
  XBobjIndexFile* failed = nullptr;
  std::exception_ptr failure;
  {
    PassGuard back(*this, true);
    FActiveTag = nullptr;
    TableState = XBTableState::BuildingIndex;
    SetReadAhead(true);
    for (XBobjIndexFile* file : files) {
      try {
        file->Rebuild();  // takes the whole file's lock itself
      } catch (...) {
        failed = file;
        failure = std::current_exception();
        break;
      }
    }
  }
  // A file that got its former bytes back is opened anew in its slot.
  if (failed && !failed->Usable()) ReopenIndexFile(*failed, failed == activeFile);
  try {
    if (saved >= 1 && saved <= RecordCount) ReadPlain(saved);
    if (FActiveTag) FActiveTag->TagReset(XBTagReset::OnCurrentRecord);
  } catch (...) {}
  if (failure) std::rethrow_exception(failure);
  if (CoversEveryOpenIndexFile(files)) ClearStaleAppendMark();
}

bool XBO_dBHandler::CoversEveryOpenIndexFile(const std::vector<XBobjIndexFile*>& files) const {
  for (const auto& open : FIndexFiles)
    if (open && std::find(files.begin(), files.end(), open.get()) == files.end()) return false;
  return true;
}

void XBO_dBHandler::ClearStaleAppendMark() {
  if (!ReadWrite()) return;
  // Under the header lock no append of a program that keeps to it is under
  // way, so a mark seen then is one a stopped writer left, and the files
  // just rebuilt hold every record's keys.
  if (!LockWithRetry()) return;
  vx::ScopeGuard unlockHeader([this] { Unlock(); });
  std::uint8_t mark = 0;
  if (ReadBlock(dbf_format::kIncompleteWrite, &mark, 1) == 1 && mark != 0) MarkIncompleteWrite(false);
}

void XBO_dBHandler::ReopenIndexFile(XBobjIndexFile& file, bool active) {
  for (auto& slot : FIndexFiles) {
    if (slot.get() != &file) continue;
    const AnsiString path = file.FileName();
    if (active) FActiveTag = nullptr;
    slot.reset();
    int code = 0;
    slot = MakeIndexFile(path, false, false, code);
    if (!slot) {
      if (active) FActiveTagName.clear();
      return;
    }
    slot->SetLockMode(LockProtocol);
    TryTagExpressions(*slot);
    if (active) {
      FActiveTag = slot->TagByName(FActiveTagName);
      if (FActiveTag) FTagMoves = slot->VersionMoves();
      else FActiveTagName.clear();
    }
    return;
  }
}

int XBO_dBHandler::SelectTag(const AnsiString& tagName, bool keepPosition) {
  const AnsiString wanted = SysXb_UpperCase(Trim(tagName));
  if (wanted.empty()) {
    ClearRange();
    FActiveTag = nullptr;
    FActiveTagName.clear();
    SetReadAhead(true);
    if (!keepPosition) GetRec(xbTop);
    return 0;
  }
  for (int i = 0; i < kMaxIndexFiles; ++i) {
    if (!FIndexFiles[i]) continue;
    XBobjIndexTag* tag = FIndexFiles[i]->TagByName(wanted);
    if (!tag) continue;
    ClearRange();
    FActiveTag = nullptr;
    SetReadAhead(false);
    FActiveTagName = wanted;
    FActiveTag = tag;
    FTagMoves = tag->File()->VersionMoves();
    tag->TagReset(XBTagReset::OnCurrentRecord);
    if (keepPosition && RecNo >= 1) {
      GetRec(xbCurrent);
      CheckOutOfView();
      if (FOutOfView) GetRec(xbTop);
    } else {
      GetRec(xbTop);
    }
    return i + 1;
  }
  throw EXBaseError("Cannot find index tag " + Trim(tagName));
}

void XBO_dBHandler::Reindex() {
  std::vector<XBobjIndexFile*> files;
  for (auto& file : FIndexFiles)
    if (file) files.push_back(file.get());
  RebuildIndexFiles(files);
  GetRec(xbTop);
}
