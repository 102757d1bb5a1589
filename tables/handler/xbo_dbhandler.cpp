#include "tables/handler/xbo_dbhandler.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/scope_guard.h"
#include "tables/base/xb_cipher.h"
#include "tables/base/xb_dates.h"
#include "tables/base/xb_errors.h"
#include "tables/base/xb_hugeset.h"
#include "tables/base/xb_sysapi.h"
#include "tables/dbf/xbo_memo.h"
#include "tables/expr/xb_expr_handler.h"
#include "tables/expr/xb_expr_link.h"
#include "tables/expr/xb_expr_value.h"
#include "tables/handler/xb_handler_index.h"

XBO_dBHandler::XBO_dBHandler(const AnsiString& name, bool shared, bool readWrite, const AnsiString& key)
    : XBO_dBaseFld(name, shared, readWrite, key) {
  FLink = std::make_unique<vx::HandlerIndexLink>(*this);
  FBlocks.SetLayout(HeaderLength, RecordLength);
}

XBO_dBHandler::~XBO_dBHandler() {
  FActiveTag = nullptr;
  // Index files and expressions refer to the table: they go first.
  for (auto& file : FIndexFiles) {
    try {
      file.reset();
    } catch (...) {}
  }
  FFilterExpr.reset();
}

// ------------------------------------------------------------------ read-ahead

XBO_dBHandler::PassGuard::PassGuard(XBO_dBHandler& handler, bool keepState)
    : FHandler(handler),
      FTag(handler.FActiveTag),
      FReadAhead(handler.FReadAheadOn),
      FKeepState(keepState),
      FState(handler.TableState) {}

XBO_dBHandler::PassGuard::~PassGuard() {
  FHandler.FActiveTag = FTag;
  FHandler.SetReadAhead(FReadAhead);
  if (FKeepState) FHandler.TableState = FState;
}

void XBO_dBHandler::SetReadAhead(bool on) {
  if (on) {
    if (!ReadAheadAllowed || FReadAheadOn || RecordLength <= 0) return;
    FReadAheadOn = true;
  } else {
    FReadAheadOn = false;
  }
  DropReadAhead();
}

int XBO_dBHandler::ReadBlock(std::int64_t offset, void* buffer, int count) {
  if (offset < HeaderLength || count <= 0 || count > FBlocks.BlockBytes())
    return XBO_DiskFile::Read(offset, buffer, count);
  // Another program may write a shared table at any time: only the
  // read-ahead's batch serves it, one batch at a time.
  const bool shared = Shared();
  bool served = (FReadAheadOn || !shared) && FBlocks.Serve(offset, buffer, count);
  if (!served) {
    // Without the read-ahead, a block is worth reading only while the reads
    // go along the file.
    const bool along = !shared && FLastRead >= 0 && std::abs(offset - FLastRead) <= FBlocks.BlockBytes();
    if (FReadAheadOn || along) {
      if (shared) FBlocks.Drop();
      if (FBlocks.Load(offset, count,
                       [this](std::int64_t at, void* into, int n) { return XBO_DiskFile::Read(at, into, n); }))
        served = FBlocks.Serve(offset, buffer, count);
    }
  }
  FLastRead = offset;
  // A shared table reads through the file's shared view: as fresh as a
  // read of the file, without a system call per record.
  if (!served)
    return shared ? XBO_DiskFile::ReadMapped(offset, buffer, count)
                  : XBO_DiskFile::Read(offset, buffer, count);  // also what the end of the file cuts short
  lastTransfer_ = count;
  lastError_ = 0;
  position_ = offset + count;
  return count;
}

int XBO_dBHandler::WriteBlock(std::int64_t offset, const void* buffer, int count) {
  const int written = XBO_DiskFile::Write(offset, buffer, count);
  if (count > 0) {
    if (written == count) FBlocks.Written(offset, buffer, count);
    else DropReadAhead();
  }
  return written;
}

int XBO_dBHandler::Read(std::int64_t offset, void* buffer, int count) { return ReadBlock(offset, buffer, count); }

int XBO_dBHandler::Write(std::int64_t offset, const void* buffer, int count) {
  return WriteBlock(offset, buffer, count);
}

// ------------------------------------------------------------------ locks

bool XBO_dBHandler::LockHeader() {
  DropReadAhead();
  return XBO_dBaseFld::LockHeader();
}

bool XBO_dBHandler::LockTable() {
  DropReadAhead();
  return XBO_dBaseFld::LockTable();
}

bool XBO_dBHandler::LockWholeTable() {
  DropReadAhead();
  return XBO_dBaseFld::LockWholeTable();
}

bool XBO_dBHandler::LockRecord() {
  DropReadAhead();
  return XBO_dBaseFld::LockRecord();
}

bool XBO_dBHandler::LockIndexFiles() {
  for (int i = 0; i < kMaxIndexFiles; ++i) {
    if (!FIndexFiles[i]) continue;
    if (FIndexFiles[i]->Lock()) continue;
    for (int j = 0; j < i; ++j)
      if (FIndexFiles[j]) FIndexFiles[j]->Unlock();
    SysXb_SetLastError(xbErrLockRefused);
    SetLastErrorCode(xbErrLockRefused);
    return false;
  }
  return true;
}

void XBO_dBHandler::UnlockIndexFiles() {
  for (auto& file : FIndexFiles)
    if (file) file->Unlock();
}

void XBO_dBHandler::RaiseLockRefused(std::int32_t context) {
  SetLastErrorCode(xbErrLockRefused);
  TableError(xbErrLockRefused, context, ShownName());
}

void XBO_dBHandler::SetLockProtocol(int protocol) {
  XBO_dBaseFld::SetLockProtocol(protocol);
  for (auto& file : FIndexFiles)
    if (file) file->SetLockMode(LockProtocol);
}

// ------------------------------------------------------------------ writes

void XBO_dBHandler::AppendRecord() { Append(); }

void XBO_dBHandler::WriteRecord(int n) { Rewrite(n); }

void XBO_dBHandler::Append() {
  if (!LockIndexFiles()) {
    RaiseLockRefused();
    return;
  }
  vx::ScopeGuard unlock([this] { UnlockIndexFiles(); });
  CheckIndexWrites(0, true);
  if (!HasIndex() || !ReadWrite()) {
    XBO_dBaseFld::AppendRecord();
    return;
  }
  // The record counts (by the file's size) before its keys are written; the
  // header says so from before the record until after the keys, so that the
  // check of the index files knows a writer stopped in between (a unique
  // tag cannot tell). The header lock is taken first, so an append refused
  // for it leaves the mark alone, and the count before it is sure.
  if (!LockWithRetry()) {
    TableError(xbErrLockRefused, xbCtxWrite, ShownName());
    return;
  }
  vx::ScopeGuard unlockHeader([this] { Unlock(); });
  RefreshHeader();
  const std::int32_t before = RecordCount;
  MarkIncompleteWrite(true);
  // An append that failed before its record was whole in the file leaves
  // nothing to be marked.
  vx::ScopeGuard unmark([this, before] {
    try {
      if (CountFromSize() <= before) MarkIncompleteWrite(false);
    } catch (const Exception&) {}
  });
  XBO_dBaseFld::AppendRecord();
  unmark.Dismiss();
  MarkIncompleteWrite(false);
}

void XBO_dBHandler::CheckIndexWrites(std::int32_t record, bool appending) {
  for (auto& file : FIndexFiles)
    if (file) file->CheckUpdateAll(record, appending);
}

void XBO_dBHandler::MarkIncompleteWrite(bool on) {
  const std::uint8_t value = on ? 1 : 0;
  HeaderImage[dbf_format::kIncompleteWrite] = value;
  WriteBlock(dbf_format::kIncompleteWrite, &value, 1);
}

void XBO_dBHandler::Rewrite(int n) {
  FOutOfView = false;
  if (!LockIndexFiles()) {
    RaiseLockRefused();
    return;
  }
  vx::ScopeGuard unlock([this] { UnlockIndexFiles(); });
  // A number outside the table appends, and the append checks.
  if (n >= 1 && n <= RecordCount && TableState != XBTableState::Appending) CheckIndexWrites(n, false);
  XBO_dBaseFld::WriteRecord(n);
}

bool XBO_dBHandler::LockForEdit(std::int32_t n) {
  RecNo = n;
  return LockRecord();
}

void XBO_dBHandler::AppendFrom(char* buffer) {
  RecordRedirect redirect(*this, buffer, true);
  Append();
}

void XBO_dBHandler::PostEdit(std::int32_t n, char* buffer, const char* before) {
  RecordRedirect redirect(*this, buffer, true);
  std::memcpy(SavedRecord.data(), before, std::size_t(RecordLength));
  RecNo = n;
  if (std::memcmp(buffer, before, std::size_t(RecordLength)) != 0) RecordModified = true;
  Rewrite(n);
}

void XBO_dBHandler::StandAfterEnd() {
  EOFFlag = true;
  BOFFlag = false;
}

bool XBO_dBHandler::FlushFile() {
  DropReadAhead();
  return XBO_dBaseFld::FlushFile();
}

int XBO_dBHandler::ExternalFunction(const AnsiString&, const AnsiString&, char&, void*) { return -1; }

bool XBO_dBHandler::AcceptRecord() { return true; }

void XBO_dBHandler::StatusUpdate(int, int, int) {}

// ------------------------------------------------------------------ notifications

bool XBO_dBHandler::FilterPasses(std::int32_t n) const {
  return !FFilterActive || (FFilterBits && FFilterBits->TestBit(n));
}

void XBO_dBHandler::CheckOutOfView() {
  if (FActiveTag && RecNo >= 1) FOutOfView = FActiveTag->KeyIsCurrent(RecNo) != RecNo;
  if (FFilterActive && !FOutOfView && RecNo >= 1) FOutOfView = !FFilterBits->TestBit(RecNo);
}

void XBO_dBHandler::RecordChanged(int code, int value) {
  if (code == xbStatusAfterFlush) {
    DropReadAhead();
    if (FActiveTag) FActiveTag->TagReset(XBTagReset::RootOnly);
    for (auto& file : FIndexFiles)
      if (file && file->Disk()) file->Disk()->FlushFile();
    if (FActiveTag) {
      FActiveTag->TagReset(XBTagReset::OnCurrentRecord);
      FOutOfView = RecNo >= 1 && FActiveTag->KeyIsCurrent(RecNo) != RecNo;
    }
  } else if (code == xbStatusAfterWrite) {
    const std::int32_t record = value == 0 ? RecNo : value;
    for (auto& file : FIndexFiles)
      if (file) file->KeyUpdateAll(record, value == 0);
    if (FFilterExpr && FFilterBits && FFilterExpr->HasTree()) {
      // A record the filter cannot be evaluated on does not pass it.
      bool passes = false;
      try {
        vx::ExprValue v;
        FFilterExpr->Evaluate(v);
        passes = v.Type == vx::xtBoolean && v.Boolean;
      } catch (const Exception&) {}
      FFilterBits->SetBit(record, passes ? TxbHugeSet::kSet : TxbHugeSet::kClear);
    }
    FOutOfView = false;
    if (FActiveTag) {
      EOFFlag = FActiveTag->AtEOF();
      BOFFlag = FActiveTag->AtBOF();
      FOutOfView = FActiveTag->KeyIsCurrent(record) != record;
    }
    if (FFilterActive && !FOutOfView) FOutOfView = !FFilterBits->TestBit(record);
    if (FActiveTag && !FFilterActive) {
      EOFFlag = value == 0 || value == RecordCount;
      BOFFlag = value == 1;
    }
  }
  XBO_dBaseFld::RecordChanged(code, value);
}

// ------------------------------------------------------------------ positioned read

void XBO_dBHandler::ReadRecord(int code) { GetRec(code); }

void XBO_dBHandler::AlignActiveTag() {
  // A tag that ran off an end, or stands on another record than the one
  // read last, is put back on the current record before it moves.
  if (!FActiveTag || RecNo < 1) return;
  if (FActiveTag->AtEOF() || FActiveTag->AtBOF() || FActiveTag->CurrentKey().link != RecNo)
    FActiveTag->TagReset(XBTagReset::OnCurrentRecord);
}

void XBO_dBHandler::CheckWalkLength(std::int64_t entries) {
  if (!FActiveTag || entries <= std::int64_t(RecordCount) + 2) return;
  RefreshHeader();  // another program may have added records
  if (entries > std::int64_t(RecordCount) + 2) FActiveTag->File()->Damaged("more entries than records");
}

void XBO_dBHandler::GetRec(int code) {
  if (TableState != XBTableState::Ready) {
    ReadPlain(code);
    return;
  }
  FOutOfView = false;
  FPositioned = false;
  EOFFlag = false;
  BOFFlag = false;
  const bool readAhead = FReadAheadOn;
  int step = 0;
  if (code == xbTop || code == xbCurrent) step = xbNext;
  else if (code == xbBottom) step = xbPrior;
  else if (code == xbNext || code == xbPrior) step = code;

  // A walk from either end, a read by number and a re-read of a shared
  // table read the file: they see what other programs wrote before them.
  if (code != xbNext && code != xbPrior && Shared()) DropReadAhead();

  // The index files of a shared table are locked for a move, and a tag
  // whose pages another program may have changed is put back on its entry
  // first. Under the dBase and FoxPro protocols a step of a walk through
  // the active tag within its trusted leaf takes no lock; the record it
  // reads must then give the entry it came from (xb_handler_walk.cpp).
  const bool lockIndex = code < 0 && NeedsIndexReadLock();
  const bool lazy = lockIndex && LockProtocol != ClipLock && FActiveTag;
  bool locked = false;
  vx::ScopeGuard unlock([this, &locked, readAhead] {
    if (locked) UnlockIndexFiles();
    if (readAhead != FReadAheadOn) SetReadAhead(readAhead);
  });
  int c = code;
  bool refound = false;
  const auto lock = [&](bool reread) -> bool {
    if (!LockIndexFiles()) {
      RaiseLockRefused(xbCtxRead);
      return false;
    }
    locked = true;
    if (FActiveTag) c = RefindActiveTag(c, c == xbNext || c == xbPrior ? c : step, reread, refound);
    return true;
  };
  const auto unlockedStep = [&] { return lazy && StepsInTrustedLeaf(c); };
  bool firstStepFree = lazy && RecNo >= 1 && FActiveTag->CurrentKey().link == RecNo && unlockedStep();
  if (lockIndex && !firstStepFree && !lock(false)) return;

  std::int32_t tagRecord = 0;
  bool accepted = false;
  // The tag stands where the last read by number left the table.
  if (FActiveTag && c < 0 && !refound && c != xbTop && c != xbBottom) AlignActiveTag();
  std::int64_t steps = 0;
  for (;;) {
    std::int32_t n = c;
    bool fromLeaf = false;  // the entry came from a leaf read before, without the lock
    if (FActiveTag && c < 0) {
      if (FReadAheadOn) SetReadAhead(false);
      for (;;) {
        if (lockIndex && !locked && !firstStepFree && !unlockedStep() && !lock(false)) return;
        firstStepFree = false;
        fromLeaf = lockIndex && !locked;
        n = FActiveTag->KeyRead(c);
        EOFFlag = FActiveTag->AtEOF();
        BOFFlag = FActiveTag->AtBOF();
        if (EOFFlag || BOFFlag) break;
        // A tag holds each record once at most: a walk that passes
        // more entries than records, or an entry naming no record,
        // comes from a damaged file and would never end.
        if (n < 1) FActiveTag->File()->Damaged("entry without a record");
        CheckWalkLength(++steps);
        if (!FFilterActive || FFilterBits->TestBit(n)) break;
        c = step;
      }
      tagRecord = n;
    } else if (FFilterActive && c < 0 && c != xbCurrent) {
      const std::int64_t highest = std::min<std::int64_t>(FFilterBits->HighestBit(), RecordCount);
      n = 0;
      switch (c) {
        case xbTop:
          for (std::int64_t i = 1; i <= highest && !n; ++i)
            if (FFilterBits->TestBit(i)) n = std::int32_t(i);
          if (!n) EOFFlag = true;
          break;
        case xbBottom:
          for (std::int64_t i = highest; i >= 1 && !n; --i)
            if (FFilterBits->TestBit(i)) n = std::int32_t(i);
          if (!n) EOFFlag = BOFFlag = true;
          break;
        case xbNext:
          for (std::int64_t i = std::int64_t(RecNo) + 1; i <= highest && !n; ++i)
            if (FFilterBits->TestBit(i)) n = std::int32_t(i);
          if (!n) EOFFlag = true;
          break;
        default:
          for (std::int64_t i = std::min<std::int64_t>(std::int64_t(RecNo) - 1, highest); i >= 1 && !n; --i)
            if (FFilterBits->TestBit(i)) n = std::int32_t(i);
          if (!n) BOFFlag = true;
          break;
      }
    } else if (FFilterActive && c == xbCurrent) {
      n = RecNo;
    }
    if (EOFFlag || BOFFlag) break;
    if (n == 0 && c >= 0) break;
    if (n > 0) {
      if (n > RecordCount) RefreshHeader();
      if (n > RecordCount) {
        // An index entry past the table's end, or a number past count + 1.
        if (n > RecordCount + 1) {
          ReadPlain(n);  // reports the error
          return;
        }
        BlankRecord();
        EOFFlag = true;
        break;
      }
      ReadPlain(n);
    } else {
      ReadPlain(n);
    }
    if (EOFFlag || BOFFlag) break;
    // Another program may have changed the record since the leaf it was
    // stepped to was read: one that no longer gives its entry is moved to
    // again under the lock, from the entry as the file holds it.
    if (fromLeaf && !FActiveTag->CurrentEntryFitsRecord()) {
      if (!lock(true)) return;
      continue;
    }
    if (code >= 1) {
      accepted = true;
      break;
    }
    accepted =
        (!IsDeleted() || UseDeleted) && AcceptRecord() && (FActiveTag || !FFilterActive || FFilterBits->TestBit(RecNo));
    if (accepted) break;
    c = step;
  }
  FPositioned = accepted && !EOFFlag && !BOFFlag;
  if (FActiveTag && RecNo >= 1 && RecNo != tagRecord && !EOFFlag && !BOFFlag)
    FOutOfView = FActiveTag->KeyIsCurrent(RecNo) != RecNo;
  if (FFilterActive && !FOutOfView && RecNo >= 1 && !EOFFlag && !BOFFlag) FOutOfView = !FFilterBits->TestBit(RecNo);
}

// ------------------------------------------------------------------ filter

void XBO_dBHandler::RecomputeFilterActive() {
  FFilterActive = FFilterWanted && FFilterExpr && FFilterBits && FFilterExpr->HasTree();
}

void XBO_dBHandler::SetFilterActive(bool wanted) {
  FFilterWanted = wanted;
  RecomputeFilterActive();
}

void XBO_dBHandler::SetFilterExpression(const AnsiString& text, bool caseInsensitive, bool partial) {
  FFilterActive = false;
  if (!FFilterBits) FFilterBits = std::make_unique<TxbHugeSet>();
  const bool first = !FFilterExpr;
  if (!FFilterExpr) FFilterExpr = std::make_unique<TxbExpHandler>(&xbTableExpLink(*this), false, "");
  if (!first && text == FFilterText && caseInsensitive == FFilterCaseInsensitive && partial == FFilterPartial) {
    RecomputeFilterActive();
    return;
  }
  FFilterText = text;
  FFilterCaseInsensitive = caseInsensitive;
  FFilterPartial = partial;
  FFilterBits->Clear();
  FFilterExpr->CaseInsensitive = caseInsensitive;
  FFilterExpr->Wildcards = partial;
  // An empty text is no filter.
  if (Trim(text).empty()) {
    FFilterExpr->SetExpression("");
    RecomputeFilterActive();
    return;
  }
  // The result type is taken on a blank record: the current one may be
  // damaged, or not read yet. A filter may fail there where no record does
  // ("(100/DRAW)>40" divides by the blank DRAW): then its form tells the
  // type, or, for a function or a field, the first record it works on.
  std::vector<char> blank(static_cast<std::size_t>(RecordLength) + 1, ' ');
  vx::ScopeGuard forget([this] {
    // The filter stays without a tree (inactive); the same text again
    // must be looked at anew.
    FFilterExpr->SetExpression("");
    FFilterText.clear();
  });
  FFilterExpr->SetExpression(text);
  vx::ExprValue v;
  std::uint8_t type = vx::xtNone;
  {
    vx::RestoreOnExit<char*> record(CurRecord, blank.data());
    try {
      FFilterExpr->Evaluate(v);
      type = v.Type;
    } catch (const Exception&) { type = FFilterExpr->TypeByForm(); }
  }
  const char* const notLogical = "Filter expression must return boolean result";
  if (type != vx::xtNone && type != vx::xtBoolean) throw EXBaseError(notLogical);
  const std::uint8_t seen = BuildFilterBits();
  if (type == vx::xtNone && seen != vx::xtNone && seen != vx::xtBoolean) {
    FFilterBits->Clear();
    throw EXBaseError(notLogical);
  }
  forget.Dismiss();
  RecomputeFilterActive();
}

void XBO_dBHandler::RebuildFilter() {
  DropReadAhead();
  if (!FFilterActive) return;
  FFilterBits->Clear();
  FFilterActive = false;
  BuildFilterBits();
  RecomputeFilterActive();
}

std::uint8_t XBO_dBHandler::BuildFilterBits() {
  const std::int32_t saved = RecNo;
  XBobjIndexTag* tag = FActiveTag;
  const bool detach = tag && tag->HasScope();
  PassGuard back(*this, false);
  if (detach) {
    FActiveTag = nullptr;
    SetReadAhead(true);
  } else if (!tag) {
    SetReadAhead(true);
  }
  const bool wasActive = FFilterActive;
  FFilterActive = false;
  vx::ExprValue v;
  std::uint8_t first = vx::xtNone;
  std::int64_t walked = 0;
  for (GetRec(xbTop); !EOFFlag && !BOFFlag; GetRec(xbNext)) {
    CheckWalkLength(++walked);
    // A record the filter cannot be evaluated on (a damaged field) does
    // not pass it.
    try {
      FFilterExpr->Evaluate(v);
    } catch (const Exception&) { continue; }
    if (first == vx::xtNone) first = v.Type;
    if (v.Type == vx::xtBoolean && v.Boolean) FFilterBits->SetBit(RecNo, TxbHugeSet::kSet);
  }
  FFilterActive = wasActive;
  FActiveTag = tag;
  if (saved >= 1 && saved <= RecordCount) ReadPlain(saved);
  EOFFlag = BOFFlag = false;
  return first;
}

// ------------------------------------------------------------------ seeking

XBobjIndexKeyData XBO_dBHandler::KeyFromText(XBobjIndexTag& tag, const AnsiString& text) {
  vx::IndexValue value;
  switch (tag.KeyType()) {
    case XBKeyType::Number: {
      value.kind = vx::IndexValue::Kind::Number;
      double d = 0;
      if (!vx::expr::ParseDecimal(text, d)) d = 0;
      value.number = d;
      break;
    }
    case XBKeyType::Date: {
      value.kind = vx::IndexValue::Kind::Date;
      value.day = xbDBFDate.CTOD(text);
      break;
    }
    default:
      value.kind = vx::IndexValue::Kind::Text;
      value.text = text.substr(0, 256);
      break;
  }
  return tag.MakeKey(value);
}

bool XBO_dBHandler::Find(const AnsiString& key) {
  FFound = false;
  if (RecordCount == 0) RefreshHeader();
  if (RecordCount == 0) return false;
  const bool clipper = LockProtocol == ClipLock;
  if (clipper && !LockIndexFiles()) return false;
  vx::ScopeGuard unlock([this, clipper] {
    if (clipper) UnlockIndexFiles();
  });
  if (!FActiveTag) {
    GetRec(xbBottom);
    EOFFlag = true;
    return false;
  }
  XBobjIndexKeyData sought = KeyFromText(*FActiveTag, key);
  const std::int32_t n = FActiveTag->KeyFind(sought);
  if (n >= 1) {
    GetRec(n);
    bool skipped = false;
    while ((!AcceptRecord() || (IsDeleted() && !UseDeleted)) && !EOFFlag) {
      GetRec(xbNext);
      skipped = true;
    }
    // The record the found entry names has the key the seek matched; only
    // a record reached by skipping needs its key built and compared.
    if (!EOFFlag && !skipped && RecNo == n) {
      FFound = true;
    } else if (!EOFFlag) {
      XBobjIndexKeyData have;
      if (FActiveTag->KeyBuild(have)) {
        FActiveTag->AdjustValue(have, true);
        FFound = CompareIndexKeys(sought.value, have.value, FActiveTag->KeyType(), true) == 0;
      }
    }
  }
  if (!FFound) {
    GetRec(xbBottom);
    EOFFlag = true;
  }
  return FFound;
}

std::int32_t XBO_dBHandler::FindInTag(const AnsiString& tagName, const AnsiString& key) {
  const bool clipper = LockProtocol == ClipLock;
  if (clipper && !LockIndexFiles()) return -1;
  vx::ScopeGuard unlock([this, clipper] {
    if (clipper) UnlockIndexFiles();
  });
  const AnsiString wanted = SysXb_UpperCase(Trim(tagName));
  for (auto& file : FIndexFiles) {
    if (!file) continue;
    XBobjIndexTag* tag = file->TagByName(wanted);
    if (!tag) continue;
    vx::RestoreOnExit<bool> exact(ExactMatch, true);
    return tag->KeyFindKeep(KeyFromText(*tag, key));
  }
  return -1;
}

void XBO_dBHandler::SkipRecords(int count) {
  if (count == 0) {
    GetRec(xbCurrent);
    return;
  }
  if (!FFilterWanted && UseDeleted) {
    if (!FActiveTag) {
      if (RecordCount == 0) RefreshHeader();
      std::int64_t target = std::int64_t(RecNo) + count;
      const bool clampedHigh = target > RecordCount;
      const bool clampedLow = target < 1;
      target = std::clamp<std::int64_t>(target, 1, std::max(RecordCount, 1));
      if (RecordCount == 0) {
        EOFFlag = BOFFlag = true;
        return;
      }
      GetRec(std::int32_t(target));
      if (clampedHigh && count > 0) EOFFlag = true;
      if (clampedLow && count < 0) BOFFlag = true;
      return;
    }
    AlignActiveTag();
    const int move = count > 0 ? xbNext : xbPrior;
    std::int32_t n = FActiveTag->CurrentKey().link;
    bool hitEnd = false;
    for (int i = 0; i < std::abs(count); ++i) {
      const std::int32_t r = FActiveTag->KeyRead(move);
      if (FActiveTag->AtEOF() || FActiveTag->AtBOF()) {
        hitEnd = true;
        break;
      }
      n = r;
    }
    if (hitEnd) n = FActiveTag->KeyRead(count > 0 ? xbBottom : xbTop);
    if (n >= 1) {
      // A read by number, not a step of the tag.
      vx::RestoreOnExit<XBobjIndexTag*> active(FActiveTag, nullptr);
      GetRec(n);
    }
    if (hitEnd || n < 1) {
      if (count > 0) EOFFlag = true;
      else BOFFlag = true;
    }
    return;
  }
  const int move = count > 0 ? xbNext : xbPrior;
  for (int i = 0; i < std::abs(count); ++i) {
    GetRec(move);
    if (EOFFlag || BOFFlag) break;
  }
}

// ------------------------------------------------------------------ ranges

bool XBO_dBHandler::SetRange(const AnsiString& low, const AnsiString& high, std::uint8_t prefixMatch,
                             std::uint8_t lowFlag, std::uint8_t highFlag) {
  if (!FActiveTag) return false;
  XBobjIndexKeyData lo, hi;
  if (!low.empty()) lo = KeyFromText(*FActiveTag, low);
  if (!high.empty()) hi = KeyFromText(*FActiveTag, high);
  FActiveTag->SetScope(low.empty() ? nullptr : &lo, high.empty() ? nullptr : &hi, prefixMatch != 0, lowFlag != 0,
                       highFlag != 0);
  GetRec(xbTop);
  if (BOFFlag) BlankRecord();
  return true;
}

void XBO_dBHandler::ClearRange() {
  if (FActiveTag) FActiveTag->SetScope(nullptr, nullptr, false, false, false);
}
