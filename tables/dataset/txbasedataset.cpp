// TXBaseDataSet: opening, the record buffers, the crack flags, field
// conversions and editing. Index, filter, search and copy operations are in
// txbasedataset_ops.cpp.
#include "tables/dataset/txbasedataset.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/db/field_types.h"
#include "platform/os/program_folder.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/scope_guard.h"
#include "tables/dataset/txbblobstream.h"

namespace {

constexpr int kBookmarkSize = 11;
constexpr int kInfoSize = 8;
constexpr const char* kDefaultDirectory = "Default Directory";

bool AllDigits(const AnsiString& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

// ---------------------------------------------------------------- DBFObject

DBFObject::DBFObject(TXBaseDataSet* owner, const AnsiString& name, bool shared, bool readWrite, const AnsiString& key)
    : XBO_dBHandler(name, shared, readWrite, key), FOwner(owner) {}

bool DBFObject::AcceptRecord() {
  TXBaseDataSet* ds = FOwner;
  if (!ds || ds->FMuteFilter || !ds->FHandler || !ds->Filtered() || !ds->OnFilterRecord) return true;
  bool accept = true;
  const TDataSetState saved = ds->SetTempState(dsFilter);
  vx::ScopeGuard restore([ds, saved] { ds->RestoreState(saved); });
  ds->OnFilterRecord(ds, accept);
  return accept;
}

void DBFObject::StatusUpdate(int code, int value, int total) {
  if (FOwner && FOwner->OnStatus && !FOwner->FMuteFilter) FOwner->OnStatus(code, value, total);
  else XBO_dBHandler::StatusUpdate(code, value, total);
}

AnsiString DBFObject::TranslateName(const AnsiString& text, bool toTable) const {
  if (!FOwner) return text;
  AnsiString out(text.size(), '\0');
  FOwner->TranslateBytes(text.data(), out.data(), text.size(), toTable);
  return out;
}

// ---------------------------------------------------------------- life

TXBaseDataSet::TXBaseDataSet(TComponent* AOwner)
    : TDataSet(AOwner),
      FIndexFiles(std::make_unique<TStringList>()),
      FMasterLink(std::make_unique<TMasterDataLink>(this)) {
  FIndexFiles->OnChange = [this](TObject*) { IndexFilesChanged(); };
  FMasterLink->OnMasterChange = [this](TObject*) { MasterChanged(); };
  FMasterLink->OnMasterDisable = [this](TObject*) { MasterDisabled(); };
}

TXBaseDataSet::~TXBaseDataSet() {
  try {
    Close();
  } catch (...) {}
  FMasterLink->SetDataSource(nullptr);
}

namespace {

void ReadAliases(TStringList& list) {
  list.Clear();
  list.Add(kDefaultDirectory);
  const AnsiString cfg = IncludeTrailingPathDelimiter(vx::ProgramFolder()) + "xbase.cfg";
  if (!FileExists(cfg)) return;
  TStringList lines;
  TIniFile ini(cfg);
  ini.ReadSectionValues("Alias", &lines);
  for (int i = 0; i < lines.Count(); ++i) {
    // The alias name compares without regard to case; the folder stays
    // as written (folder names on disk keep their case).
    const AnsiString line = lines.Strings(i);
    const auto eq = line.find('=');
    if (eq == AnsiString::npos) continue;
    list.Add(AnsiUpperCase(Trim(line.substr(0, eq))) + "=" + Trim(line.substr(eq + 1)));
  }
}

}  // namespace

TStringList& TXBaseDataSet::AliasList() {
  static std::unique_ptr<TStringList> list;
  if (!list) {
    list = std::make_unique<TStringList>();
    ReadAliases(*list);
  }
  return *list;
}

void TXBaseDataSet::ReloadAliases() { ReadAliases(AliasList()); }

AnsiString TXBaseDataSet::TableFolder() const {
  if (AnsiUpperCase(FDatabaseName) == AnsiUpperCase(kDefaultDirectory))
    return IncludeTrailingPathDelimiter(vx::ProgramFolder());
  if (FDatabaseName.empty()) return "";
  const TStringList& aliases = AliasList();
  const AnsiString key = AnsiUpperCase(FDatabaseName);
  for (int i = 1; i < aliases.Count(); ++i) {
    const AnsiString line = aliases.Strings(i);
    const auto eq = line.find('=');
    if (eq != AnsiString::npos && line.substr(0, eq) == key) {
      const AnsiString folder = line.substr(eq + 1);
      return folder.empty() ? AnsiString() : IncludeTrailingPathDelimiter(folder);
    }
  }
  return IncludeTrailingPathDelimiter(FDatabaseName);
}

AnsiString TXBaseDataSet::FullTableName() const {
  AnsiString name = Trim(FTableName);
  if (ExtractFileExt(name).empty()) name += ".DBF";
  return TableFolder() + name;
}

std::unique_ptr<DBFObject> TXBaseDataSet::MakeHandler(bool readWrite, bool shared) {
  const AnsiString full = FullTableName();
  if (!FileExists(full)) DatabaseErrorFmt("Cannot find file %s", {full}, this);
  return std::make_unique<DBFObject>(this, full, shared, readWrite, FEncryptionKey);
}

// ---------------------------------------------------------------- properties

void TXBaseDataSet::SetDatabaseName(const AnsiString& Value) {
  if (Active() || FHandler) DatabaseError(vx::dbtext::DataSetOpen, this);
  AnsiString v = Value;
  if (AnsiUpperCase(v) != AnsiUpperCase(kDefaultDirectory))
    while (v.size() > 1 && (v.back() == '\\' || v.back() == '/')) v.pop_back();
  FDatabaseName = v;
}

void TXBaseDataSet::SetTableName(const AnsiString& Value) {
  if (Active() || FHandler) DatabaseError(vx::dbtext::DataSetOpen, this);
  if (AnsiUpperCase(Value) != AnsiUpperCase(FTableName)) {
    FTableName = Value;
    FMuteFilter = true;
    FIndexFiles->Clear();
    FMuteFilter = false;
  }
  FTableName = Value;
}

void TXBaseDataSet::SetEncryptionKey(const AnsiString& Value) {
  if (Active() || FHandler) DatabaseError(vx::dbtext::DataSetOpen, this);
  FEncryptionKey = Value;
}

void TXBaseDataSet::SetExclusive(bool Value) {
  if (Active() || FHandler) DatabaseError(vx::dbtext::DataSetOpen, this);
  FExclusive = Value;
}

void TXBaseDataSet::SetReadOnly(bool Value) {
  if (FHandler && !Value && !FHandler->ReadWrite()) {
    FReadOnly = true;
    return;
  }
  FReadOnly = Value;
}

void TXBaseDataSet::SetAutoFlush(bool Value) {
  FAutoFlush = Value;
  if (FHandler) FHandler->AutoFlush = Value;
}

void TXBaseDataSet::SetUseDeleted(bool Value) {
  FUseDeleted = Value;
  if (FHandler) FHandler->UseDeleted = Value;
}

void TXBaseDataSet::SetLockProtocol(TxbLokProtocol Value) {
  FLockProtocol = Value;
  if (FHandler) FHandler->SetLockProtocol(Value);
}

void TXBaseDataSet::SetUserID(std::int32_t Value) {
  FUserID = Value;
  if (FHandler) FHandler->SetUserID(Value);
}

void TXBaseDataSet::SetIndexFiles(TStrings* Value) { FIndexFiles->Assign(Value); }

// ---------------------------------------------------------------- open / close

void TXBaseDataSet::InternalInitFieldDefs() {
  std::unique_ptr<DBFObject> temporary;
  XBO_dBHandler* h = FHandler.get();
  if (!h) {
    if (Trim(FTableName).empty()) DatabaseError("Table name missing", this);
    temporary = MakeHandler(false, true);
    h = temporary.get();
  }
  FieldDefs().Clear();
  const bool raw = h->Version == dbf_format::kVersionVisualFox;
  for (const XBFieldDesc& f : h->Fields()) {
    TFieldType type = ftUnknown;
    int size = 0;
    switch (f.Type) {
      case 'C':
        type = ftString;
        size = f.Length;
        break;
      case 'D': type = ftDate; break;
      case 'N':
      case 'F': type = f.Decimals > 0 ? ftFloat : f.Length < 5 ? ftSmallint : ftInteger; break;
      case 'I': type = ftInteger; break;
      case 'L': type = ftBoolean; break;
      case 'M': type = ftMemo; break;
      case 'B': type = raw ? ftFloat : ftBlob; break;
      case 'Y': type = raw ? ftFloat : ftUnknown; break;
      case 'G': type = ftBlob; break;
      case 'T': type = ftDateTime; break;
      default: break;
    }
    if (type != ftUnknown) FieldDefs().Add(f.Name, type, size, false, f.Number);
  }
  FieldDefs().SetUpdated(true);
}

void TXBaseDataSet::InternalOpen() {
  if (Trim(FTableName).empty()) DatabaseError("Table name missing", this);
  if (ExtractFileExt(Trim(FTableName)).empty()) FTableName = Trim(FTableName) + ".DBF";
  FHandler = MakeHandler(!FReadOnly, !FExclusive);
  if (FHandler->RecordLength >= 65535) DatabaseError("Record length too large for a data set", this);
  if (!FHandler->ReadWrite()) FReadOnly = true;
  FHandler->AutoFlush = FAutoFlush;
  FHandler->UseDeleted = FUseDeleted;
  FHandler->SetReadAhead(false);
  FHandler->SetLockProtocol(FLockProtocol);
  FHandler->SetUserID(FUserID);
  FRecordLength = FHandler->RecordLength;
  InternalInitFieldDefs();
  if (DefaultFields()) CreateFields();
  BindFields(true);
  FBufferSize = FRecordLength + CalcFieldsSize() + kInfoSize + kBookmarkSize;
  SetBookmarkSize(kBookmarkSize);
  FBeforeEdit.assign(std::size_t(FRecordLength), ' ');
  if (Filtered()) ApplyFilter();
  InternalFirst();
  OpenIndexFiles();
  FEditing = false;
  FEditLocked = false;
  ApplyMasterRange();
}

void TXBaseDataSet::InternalClose() {
  BindFields(false);
  if (DefaultFields()) DestroyFields();
  FHandler.reset();
  FEditing = false;
  FEditLocked = false;
  FBusy = 0;
}

TRecordBuffer TXBaseDataSet::AllocRecordBuffer() { return new char[std::size_t(FBufferSize)](); }

void TXBaseDataSet::FreeRecordBuffer(TRecordBuffer& Buffer) {
  delete[] Buffer;
  Buffer = nullptr;
}

int TXBaseDataSet::GetRecordSize() { return FRecordLength; }

void TXBaseDataSet::CheckActive() {
  if (FMuteBusy) return;
  TDataSet::CheckActive();
  if (FBusy == 1) DatabaseError("Table is busy building an index", this);
  if (FBusy == 2) DatabaseError("Table is busy copying", this);
}

// ---------------------------------------------------------------- cursor

TGetResult TXBaseDataSet::GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) {
  TGetResult result = grOK;
  // The handler's moves start from the key of its current record, so the
  // buffer it reads into starts as a copy of that record.
  if (State() != dsFilter && FHandler->CurRecord != Buffer)
    std::memcpy(Buffer, FHandler->CurRecord, std::size_t(FRecordLength));
  {
    RecordRedirect redirect(*FHandler, State() == dsFilter ? nullptr : Buffer, true);
    bool error = false;
    switch (GetMode) {
      case gmCurrent:
        if (!FBof && !FEof) FHandler->GetRec(xbCurrent);
        else error = true;
        break;
      case gmNext:
        FHandler->GetRec(FBof ? xbTop : xbNext);
        FBof = FEof = false;
        break;
      case gmPrior:
        FHandler->GetRec(FEof ? xbBottom : xbPrior);
        FEof = false;
        break;
    }
    if (error) result = grError;
    else result = FHandler->EOFFlag ? grEOF : FHandler->BOFFlag ? grBOF : grOK;
    // Past the last record: the next prior fetch gives the last one.
    if (GetMode == gmNext && result == grEOF) FEof = true;
  }
  if (result == grOK) {
    char* info = InfoBlock(Buffer);
    const std::int32_t n = FHandler->RecNo;
    std::memcpy(info, &n, 4);
    info[4] = char(bfCurrent);
    GetCalcFields(Buffer);
    WriteBookmark(Buffer, n);
  } else if (result == grError && DoCheck) {
    DatabaseError("Record request beyond range of table", this);
  }
  return result;
}

void TXBaseDataSet::InternalFirst() {
  FBof = true;
  FEof = false;
}

void TXBaseDataSet::InternalLast() {
  FHandler->GetRec(xbBottom);
  FEof = true;
}

void TXBaseDataSet::WriteBookmark(TRecordBuffer Buffer, std::int32_t RecNo) {
  // The number right-aligned in 10 characters (as "%10d" writes it; read
  // once per record, so without the formatting machinery).
  char digits[16];
  const std::size_t length = std::size_t(std::to_chars(digits, digits + sizeof digits, RecNo).ptr - digits);
  char* text = InfoBlock(Buffer) + kInfoSize;
  const std::size_t pad = length < 10 ? 10 - length : 0;
  std::memset(text, ' ', pad);
  std::memcpy(text + pad, digits, 10 - pad);
  text[10] = 0;
}

std::int32_t TXBaseDataSet::BookmarkToRecNo(const char* Bookmark) const {
  const AnsiString text = Trim(AnsiString(Bookmark, strnlen(Bookmark, 10)));
  if (!AllDigits(text) || text.size() > 10) return -1;
  const long long n = std::stoll(text);
  return n > std::numeric_limits<std::int32_t>::max() ? -1 : std::int32_t(n);
}

std::int32_t TXBaseDataSet::BufferRecNo(TRecordBuffer Buffer) const {
  std::int32_t n = 0;
  std::memcpy(&n, InfoBlock(Buffer), 4);
  return n;
}

void TXBaseDataSet::InternalSetToRecord(TRecordBuffer Buffer) { InternalGotoBookmark(InfoBlock(Buffer) + kInfoSize); }

void TXBaseDataSet::InternalGotoBookmark(const char* Bookmark) {
  const std::int32_t n = BookmarkToRecNo(Bookmark);
  if (n < 1 || n > FHandler->RecordCount) {
    FHandler->RefreshHeader();
    if (n < 1 || n > FHandler->RecordCount) DatabaseError("Bookmark is invalid for table " + FTableName, this);
  }
  FHandler->GetRec(n);
  FBof = FEof = false;
}

void TXBaseDataSet::GetBookmarkData(TRecordBuffer Buffer, char* Data) {
  std::memcpy(Data, InfoBlock(Buffer) + kInfoSize, kBookmarkSize);
}

void TXBaseDataSet::SetBookmarkData(TRecordBuffer Buffer, const char* Data) {
  std::memcpy(InfoBlock(Buffer) + kInfoSize, Data, kBookmarkSize);
}

TBookmarkFlag TXBaseDataSet::GetBookmarkFlag(TRecordBuffer Buffer) { return TBookmarkFlag(InfoBlock(Buffer)[4]); }

void TXBaseDataSet::SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) { InfoBlock(Buffer)[4] = char(Value); }

bool TXBaseDataSet::BookmarkValid(const TBookmark& Bookmark) {
  CheckActive();
  if (Bookmark.empty()) return false;
  const std::int32_t n = BookmarkToRecNo(Bookmark.c_str());
  return n >= 1 && n <= FHandler->RecordCount;
}

int TXBaseDataSet::CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
  if (Bookmark1.empty() && Bookmark2.empty()) return 0;
  if (Bookmark1.empty()) return -1;
  if (Bookmark2.empty()) return 1;
  const int c = std::strncmp(Bookmark1.c_str(), Bookmark2.c_str(), 10);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// ---------------------------------------------------------------- counts

int TXBaseDataSet::GetRecordCount() {
  if (!FHandler) DatabaseError(vx::dbtext::DataSetClosed, this);
  if (!FExactCount) {
    FHandler->RefreshHeader();
    return FHandler->RecordCount;
  }
  const std::int32_t back = RecNo();
  int count = 0;
  FHandler->GetRec(xbTop);
  while (!FHandler->EOFFlag && !FHandler->BOFFlag) {
    ++count;
    FHandler->GetRec(xbNext);
  }
  if (back > 0) FHandler->GetRec(back);
  CursorPosChanged();
  return count;
}

int TXBaseDataSet::GetRecNo() {
  if (!FHandler) DatabaseError(vx::dbtext::DataSetClosed, this);
  TRecordBuffer buffer = State() == dsCalcFields ? CalcBuffer() : ActiveBuffer();
  if (!buffer || (State() != dsCalcFields && IsEmpty())) return 0;
  return BufferRecNo(buffer);
}

void TXBaseDataSet::SetRecNo(int Value) {
  CheckBrowseMode();
  if (Value < 1 || Value > FHandler->RecordCount) return;
  FHandler->GetRec(Value);
  FBof = FEof = false;
  CursorPosChanged();
  Resync({});
  DoAfterScroll();
}

bool TXBaseDataSet::IsSequenced() { return !(FHandler && FHandler->ActiveTag()) && !Filtered(); }

bool TXBaseDataSet::GetCurrentRecord(TRecordBuffer Buffer) {
  if (IsEmpty() || GetBookmarkFlag(ActiveBuffer()) != bfCurrent) return false;
  std::memcpy(Buffer, ActiveBuffer(), std::size_t(FRecordLength));
  return true;
}

// ---------------------------------------------------------------- editing

void TXBaseDataSet::DoAfterInsert() {
  if (FHandler) FHandler->StandAfterEnd();
  TDataSet::DoAfterInsert();
}

void TXBaseDataSet::InternalInitRecord(TRecordBuffer Buffer) {
  {
    RecordRedirect redirect(*FHandler, Buffer);
    FHandler->BlankRecord();
  }
  if (State() != dsEdit) std::memcpy(FBeforeEdit.data(), Buffer, std::size_t(FRecordLength));
  const std::int32_t zero = 0;
  std::memcpy(InfoBlock(Buffer), &zero, 4);
}

void TXBaseDataSet::InternalEdit() {
  TRecordBuffer buffer = ActiveBuffer();
  const std::int32_t n = BufferRecNo(buffer);
  if (n < 1) DatabaseError(vx::dbtext::RecordNotFound, this);
  // Lock first, then take the record as it is on disk now, so that a
  // change made meanwhile by another program is not overwritten.
  if (!FHandler->LockForEdit(n)) DatabaseError("Record is locked by another user", this);
  FEditLocked = true;
  {
    vx::ScopeGuard release([this] { ReleaseEditLock(); });
    RecordRedirect redirect(*FHandler, buffer, true);
    FHandler->GetRec(n);
    release.Dismiss();
  }
  std::memcpy(FBeforeEdit.data(), buffer, std::size_t(FRecordLength));
  FEditing = true;
}

void TXBaseDataSet::ReleaseEditLock() {
  if (FEditLocked && FHandler) {
    FEditLocked = false;
    FHandler->Unlock();
  }
}

void TXBaseDataSet::InternalPost() {
  TDataSet::InternalPost();
  TRecordBuffer buffer = ActiveBuffer();
  // Against the image before editing, whatever was read in between.
  if (State() == dsInsert) FHandler->AppendFrom(buffer);
  else FHandler->PostEdit(BufferRecNo(buffer), buffer, FBeforeEdit.data());
  ReleaseEditLock();
  FEditing = false;
  FBof = FEof = false;
}

void TXBaseDataSet::InternalAddRecord(TRecordBuffer Buffer, bool) {
  FHandler->AppendFrom(Buffer);
  ReleaseEditLock();
  FEditing = false;
}

void TXBaseDataSet::InternalCancel() {
  ReleaseEditLock();
  FEditing = false;
}

void TXBaseDataSet::InternalDelete() {
  const std::int32_t n = BufferRecNo(ActiveBuffer());
  if (n < 1) DatabaseError("Cannot delete the record", this);
  {
    vx::RestoreOnExit<bool> useDeleted(FHandler->UseDeleted, true);
    FHandler->GetRec(n);
    if (FHandler->RecNo != n) DatabaseError("Cannot delete the record", this);
    FHandler->DeleteRecord();
  }
  FHandler->GetRec(xbCurrent);
  if (FHandler->EOFFlag) {
    FHandler->GetRec(xbPrior);
    FEof = true;
  }
}

void TXBaseDataSet::Undelete() {
  CheckActive();
  CheckBrowseMode();
  if (IsEmpty()) DatabaseError("Cannot recall the record", this);
  const std::int32_t n = BufferRecNo(ActiveBuffer());
  {
    vx::ScopeGuard forget([this] { CursorPosChanged(); });
    vx::RestoreOnExit<bool> useDeleted(FHandler->UseDeleted, true);
    FHandler->GetRec(n);
    if (FHandler->RecNo != n) DatabaseError("Cannot recall the record", this);
    FHandler->UndeleteRecord();
  }
  Resync({});
}

void TXBaseDataSet::InternalRefresh() {
  if (!IsEmpty()) {
    const std::int32_t n = BufferRecNo(ActiveBuffer());
    if (n >= 1) FHandler->GetRec(n);
  }
  FHandler->RebuildFilter();
}

void TXBaseDataSet::Post() {
  TDataSet::Post();
  if (State() == dsSetKey) SetState(dsBrowse);
}

void TXBaseDataSet::ClearCalcFields(TRecordBuffer Buffer) {
  std::memset(Buffer + FRecordLength, 0, std::size_t(CalcFieldsSize()));
}

TStream* TXBaseDataSet::CreateBlobStream(TField* Field, TBlobStreamMode Mode) {
  return new TXBBlobStream(static_cast<TBlobField*>(Field), Mode);
}
