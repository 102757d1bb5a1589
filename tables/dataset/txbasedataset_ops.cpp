// TXBaseDataSet: index files and tags, the xBase filter, searching by field
// values, copying records and tables, key ranges and the master link.

#include <cstdio>
#include <cstring>

#include "platform/os/os_file.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/scope_guard.h"
#include "tables/base/xb_dates.h"
#include "tables/base/xbo_diskfile.h"
#include "tables/dataset/txbasedataset.h"
#include "tables/expr/xb_expr_handler.h"
#include "tables/expr/xb_expr_link.h"

// Marks the data set busy (index building or copying) with its controls
// disabled, and undoes both on every exit.
class TXBaseDataSet::BusyScope {
 public:
  BusyScope(TXBaseDataSet& ds, int status) : FDs(ds) {
    FDs.FBusy = status;
    FDs.DisableControls();
  }
  ~BusyScope() {
    FDs.FBusy = 0;
    FDs.EnableControls();
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  TXBaseDataSet& FDs;
};

namespace {

// One file on disk under two names (any spelling, links).
bool SameFile(const AnsiString& a, const AnsiString& b) {
  const AnsiString ea = XBO_DiskFile::ExpandName(a);
  const AnsiString eb = XBO_DiskFile::ExpandName(b);
  return AnsiUpperCase(ea) == AnsiUpperCase(eb) || vx::IsSameFile(ea, eb);
}

std::vector<AnsiString> SplitFields(const AnsiString& list) {
  std::vector<AnsiString> out;
  AnsiString item;
  for (char c : list + ";") {
    if (c == ';') {
      if (!Trim(item).empty()) out.push_back(Trim(item));
      item.clear();
    } else {
      item += c;
    }
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------- index files

void TXBaseDataSet::IndexFilesChanged() {
  if (FMuteFilter) return;
  if (FHandler) {
    OpenIndexFiles();
    return;
  }
  if (Trim(FTableName).empty()) return;
  // Closed: open the table quietly for the check and close it again.
  FHandler = MakeHandler(false, true);
  vx::ScopeGuard close([this] { FHandler.reset(); });
  OpenIndexFiles();
}

void TXBaseDataSet::OpenIndexFiles() {
  FHandler->IndexCloseAll();
  int opened = 0;
  for (int i = 0; i < FIndexFiles->Count(); ++i) {
    const AnsiString line = Trim(FIndexFiles->Strings(i));
    if (line.empty()) continue;
    AnsiString name = line;
    if (ExtractFileExt(name).empty()) name += ".NDX";
    if (name.find_first_of("/\\") == AnsiString::npos) name = TableFolder() + name;
    if (!FileExists(name)) DatabaseErrorFmt("Cannot find file %s", {name}, this);
    const int code = FHandler->IndexFileOpen(name);
    if (code == xbIndexAlreadyOpen) DatabaseErrorFmt("Index file %s already open", {name}, this);
    if (code != 0) DatabaseErrorFmt("Error getting %s", {name}, this);
    ++opened;
  }
  FIndexDefs.SetUpdated(false);
  if (opened > 0) SelectIndexTag(true);
  else FIndexName.clear();
}

void TXBaseDataSet::SelectIndexTag(bool keepRecord) {
  if (keepRecord && Active() && !IsEmpty()) {
    const std::int32_t n = BufferRecNo(ActiveBuffer());
    if (n >= 1) FHandler->GetRec(n);
  }
  FHandler->SelectTag(FIndexName, keepRecord);
  CursorPosChanged();
}

void TXBaseDataSet::SetIndexName(const AnsiString& Value) {
  if (!FHandler) {
    FIndexName = Value;
    return;
  }
  CheckBrowseMode();
  FIndexName = Value;
  SelectIndexTag(true);
  ApplyMasterRange();
  if (!Active()) return;
  if (FHandler->OutOfView() || FHandler->BOFFlag || FHandler->EOFFlag || IsEmpty()) {
    First();
  } else {
    FBof = FEof = false;
    Resync(TResyncMode{rmExact, rmCenter});
  }
  DoAfterScroll();
}

std::vector<AnsiString> TXBaseDataSet::ActiveKeyFields() {
  std::vector<AnsiString> out;
  if (!FHandler || !FHandler->ActiveTag()) return out;
  const AnsiString key = AnsiUpperCase(FHandler->ActiveTag()->KeyExpr());
  AnsiString word;
  auto flush = [&] {
    if (!word.empty() && FHandler->FieldNumber(word) > 0) out.push_back(word);
    word.clear();
  };
  for (char c : key) {
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || (unsigned char)c >= 0xC0) word += c;
    else flush();
  }
  flush();
  return out;
}

bool TXBaseDataSet::GetIsIndexField(TField* Field) {
  const AnsiString name = AnsiUpperCase(Field->FieldName());
  for (const AnsiString& f : ActiveKeyFields())
    if (f == name) return true;
  return false;
}

void TXBaseDataSet::IndexOn(const AnsiString& IndexFile, const AnsiString& TagName, const AnsiString& KeyExpr,
                            const AnsiString& ForExpr, int UniqueCode, int SortCode) {
  CheckActive();
  CheckBrowseMode();
  FIndexDefs.SetUpdated(false);
  AnsiString built = Trim(IndexFile);
  if (ExtractFileExt(built).empty()) built += ".NDX";
  if (built.find_first_of("/\\") == AnsiString::npos) built = TableFolder() + built;
  {
    BusyScope busy(*this, 1);
    FHandler->IndexOn(IndexFile, TagName, KeyExpr, ForExpr, UniqueCode, SortCode);
    // The handler closed every index file: open the list again and the
    // built file with it, so that later appends and edits keep it current.
    FHandler->IndexCloseAll();
    vx::RestoreOnExit<bool> mute(FMuteBusy, true);
    for (int i = 0; i < FIndexFiles->Count(); ++i) {
      AnsiString name = Trim(FIndexFiles->Strings(i));
      if (name.empty()) continue;
      if (ExtractFileExt(name).empty()) name += ".NDX";
      if (name.find_first_of("/\\") == AnsiString::npos) name = TableFolder() + name;
      if (FileExists(name)) FHandler->IndexFileOpen(name);
    }
    if (FileExists(built)) FHandler->IndexFileOpen(built);
    if (!FIndexName.empty()) FHandler->SelectTag(FIndexName, false);
  }
  CursorPosChanged();
  First();
}

void TXBaseDataSet::Reindex() {
  CheckActive();
  CheckBrowseMode();
  {
    BusyScope busy(*this, 1);
    FHandler->Reindex();
  }
  CursorPosChanged();
  First();
}

void TXBaseDataSet::RebuildIndexFile(const AnsiString& IndexFile) {
  CheckActive();
  CheckBrowseMode();
  {
    BusyScope busy(*this, 1);
    FHandler->IndexFileRebuild(IndexFile);
  }
  CursorPosChanged();
  Resync({});
}

int TXBaseDataSet::IndexCount() {
  CheckActive();
  int count = 0;
  for (int slot = 1; slot <= XBO_dBHandler::kMaxIndexFiles; ++slot)
    if (XBobjIndexFile* f = FHandler->IndexFile(slot)) count += f->TagCount();
  return count;
}

AnsiString TXBaseDataSet::IndexTagName(int N) {
  CheckActive();
  XBobjIndexTag* tag = FHandler->TagByNumber(N);
  return tag ? AnsiString(tag->TagName()) : AnsiString();
}

AnsiString TXBaseDataSet::IndexExpression(int N) {
  CheckActive();
  XBobjIndexTag* tag = FHandler->TagByNumber(N);
  return tag ? AnsiString(tag->KeyExpr()) : AnsiString();
}

AnsiString TXBaseDataSet::IndexFileName(int N) {
  CheckActive();
  XBobjIndexTag* tag = FHandler->TagByNumber(N);
  return tag && tag->File() ? AnsiString(tag->File()->FileName()) : AnsiString();
}

int TXBaseDataSet::IndexCurrentOrder() {
  CheckActive();
  XBobjIndexTag* active = FHandler->ActiveTag();
  if (!active) return 0;
  const int count = IndexCount();
  for (int n = 1; n <= count; ++n) {
    XBobjIndexTag* tag = FHandler->TagByNumber(n);
    if (tag && AnsiUpperCase(tag->TagName()) == AnsiUpperCase(active->TagName())) return n;
  }
  return 0;
}

void TXBaseDataSet::UpdateIndexDefs() {
  FMuteBusy = true;
  FIndexDefs.Clear();
  if (FHandler) {
    for (int n = 1;; ++n) {
      XBobjIndexTag* tag = FHandler->TagByNumber(n);
      if (!tag) break;
      AnsiString key = tag->KeyExpr();
      AnsiString fields;
      if (key.find('(') != AnsiString::npos) {
        fields = key;
      } else {
        for (char c : key) {
          if (c == '+' || c == '-') fields += ';';
          else if (c != ' ') fields += c;
        }
      }
      FIndexDefs.Add(tag->TagName(), fields, TIndexOptions{});
    }
  }
  FIndexDefs.SetUpdated(true);
  FMuteBusy = false;
}

// ---------------------------------------------------------------- filter

void TXBaseDataSet::ApplyFilter() {
  const AnsiString text = Trim(Filter());
  if (text.empty()) {
    FHandler->SetFilterActive(false);
    return;
  }
  FHandler->SetFilterActive(true);
  vx::ScopeGuard off([this] { FHandler->SetFilterActive(false); });
  FHandler->SetFilterExpression(text, FilterOptions().Contains(foCaseInsensitive),
                                !FilterOptions().Contains(foNoPartialCompare));
  off.Dismiss();
}

void TXBaseDataSet::SetFilterText(const AnsiString& Value) {
  if (FHandler && Active() && Filtered()) {
    CheckBrowseMode();
    const AnsiString old = Filter();
    TDataSet::SetFilterText(Value);
    {
      vx::ScopeGuard reread([this] {
        CursorPosChanged();
        First();
      });
      vx::ScopeGuard undo([this, &old] { TDataSet::SetFilterText(old); });
      ApplyFilter();
      undo.Dismiss();
    }
    return;
  }
  TDataSet::SetFilterText(Value);
}

void TXBaseDataSet::SetFilterOptions(TFilterOptions Value) {
  if (FHandler && Active() && Filtered()) {
    CheckBrowseMode();
    const TFilterOptions old = FilterOptions();
    TDataSet::SetFilterOptions(Value);
    vx::ScopeGuard undo([this, old] { TDataSet::SetFilterOptions(old); });
    ApplyFilter();
    undo.Dismiss();
    CursorPosChanged();
    First();
    return;
  }
  TDataSet::SetFilterOptions(Value);
}

void TXBaseDataSet::SetFiltered(bool Value) {
  if (!FHandler || !Active()) {
    TDataSet::SetFiltered(Value);
    return;
  }
  CheckBrowseMode();
  if (Value != Filtered()) {
    if (Value) {
      TDataSet::SetFiltered(true);
      vx::ScopeGuard undo([this] {
        TDataSet::SetFiltered(false);
        FHandler->SetFilterActive(false);
        CursorPosChanged();
        First();
      });
      ApplyFilter();
      undo.Dismiss();
    } else {
      TDataSet::SetFiltered(false);
      FHandler->SetFilterActive(false);
    }
  }
  CursorPosChanged();
  First();
}

// ---------------------------------------------------------------- search

namespace {

std::vector<AnsiString> ValueTexts(const Variant& values, std::size_t count) {
  std::vector<AnsiString> out;
  if (values.IsArray()) {
    for (int i = 0; i <= values.ArrayHighBound(); ++i) out.push_back(values[i].IsNull() ? "" : values[i].AsString());
  } else {
    out.push_back(values.IsNull() ? "" : values.AsString());
  }
  out.resize(std::max(out.size(), count));
  return out;
}

}  // namespace

bool TXBaseDataSet::Locate(const AnsiString& KeyFields, const Variant& KeyValues, TLocateOptions Options) {
  CheckActive();
  CheckBrowseMode();
  const std::int32_t back = RecNo();
  FEof = false;
  const std::vector<AnsiString> fields = SplitFields(KeyFields);
  for (const AnsiString& f : fields) FieldByName(f);  // unknown names raise
  const bool found = FHandler->LocateRecord(KeyFields, ValueTexts(KeyValues, fields.size()),
                                            Options.Contains(loPartialKey), Options.Contains(loCaseInsensitive));
  CursorPosChanged();
  if (found) {
    DoBeforeScroll();
    FBof = FEof = false;
    Resync(TResyncMode{rmExact, rmCenter});
    DoAfterScroll();
  } else if (back > 0) {
    FHandler->GetRec(back);
  }
  return found;
}

Variant TXBaseDataSet::Lookup(const AnsiString& KeyFields, const Variant& KeyValues, const AnsiString& ResultFields) {
  CheckActive();
  CheckBrowseMode();
  const std::int32_t back = RecNo();
  const std::vector<AnsiString> fields = SplitFields(KeyFields);
  for (const AnsiString& f : fields) FieldByName(f);
  const bool found = FHandler->LocateRecord(KeyFields, ValueTexts(KeyValues, fields.size()), false, false);
  Variant result = Variant::Null();
  if (found) {
    // The found record is read where the filter state reads: the
    // handler's current record.
    std::vector<TField*> list;
    GetFieldList(list, ResultFields);
    const TDataSetState saved = SetTempState(dsFilter);
    vx::ScopeGuard restore([this, saved] { RestoreState(saved); });
    if (list.size() == 1) {
      result = list[0]->Value();
    } else {
      std::vector<Variant> items;
      for (TField* f : list) items.push_back(f->Value());
      result = VarArrayOf(items);
    }
  }
  if (back > 0) FHandler->GetRec(back);
  CursorPosChanged();
  return result;
}

// ---------------------------------------------------------------- copying

void TXBaseDataSet::CopyRecordTo(TXBaseDataSet* Target) {
  CheckActive();
  CheckBrowseMode();
  if (!Target || !Target->FHandler) DatabaseError(vx::dbtext::DataSetClosed, Target ? Target : this);
  Target->CheckBrowseMode();
  if (IsEmpty()) DatabaseError(vx::dbtext::DataSetEmpty, this);
  // The record of the active buffer, whatever the handler read last.
  const std::int32_t n = BufferRecNo(ActiveBuffer());
  FHandler->GetRec(n);
  CursorPosChanged();
  FHandler->CopyRecord(*Target->FHandler);
  Target->CursorPosChanged();
  Target->SetRecNo(Target->FHandler->RecNo);
  Refresh();
}

void TXBaseDataSet::CopyFile(const AnsiString& NewName, const AnsiString& Key) {
  CheckActive();
  CheckBrowseMode();
  AnsiString target = Trim(NewName);
  if (ExtractFileExt(target).empty()) target += ".DBF";
  // A copy over the open table, its memo or one of its index files would
  // destroy the source while it is read.
  std::vector<AnsiString> own{FHandler->PathName(), ChangeFileExt(FHandler->PathName(), ".DBT"),
                              ChangeFileExt(FHandler->PathName(), ".FPT")};
  for (int slot = 1; slot <= XBO_dBHandler::kMaxIndexFiles; ++slot)
    if (XBobjIndexFile* f = FHandler->IndexFile(slot)) own.push_back(f->FileName());
  const AnsiString targetMemos[] = {target, ChangeFileExt(target, ".DBT"), ChangeFileExt(target, ".FPT")};
  for (const AnsiString& mine : own)
    for (const AnsiString& t : targetMemos)
      if (SameFile(mine, t)) DatabaseErrorFmt("Cannot copy a table onto itself: %s", {NewName}, this);
  {
    BusyScope busy(*this, 2);
    vx::RestoreOnExit<bool> mute(FMuteBusy, true);
    vx::ScopeGuard forget([this] { CursorPosChanged(); });
    FHandler->CopyTable(target, Key);
    forget.Dismiss();
  }
  CursorPosChanged();
  First();
}

// ---------------------------------------------------------------- ranges

void TXBaseDataSet::SetRange(const AnsiString& Low, const AnsiString& High, std::uint8_t Option1, std::uint8_t Option2,
                             std::uint8_t Option3) {
  CheckActive();
  CheckBrowseMode();
  std::vector<char> low(Low.size() + 1), high(High.size() + 1);
  Translate(Low.c_str(), low.data(), true);
  Translate(High.c_str(), high.data(), true);
  FHandler->SetRange(AnsiString(low.data(), Low.size()), AnsiString(high.data(), High.size()), Option1, Option2,
                     Option3);
  CursorPosChanged();
  First();
}

void TXBaseDataSet::CancelRange() {
  CheckActive();
  CheckBrowseMode();
  FHandler->ClearRange();
  CursorPosChanged();
  First();
}

// ---------------------------------------------------------------- master link

void TXBaseDataSet::SetMasterSource(TDataSource* Value) {
  // Following the masters up from the new one must not come back here.
  TDataSource* source = Value;
  for (int depth = 0; source && depth < 1000; ++depth) {
    TDataSet* ds = source->DataSet();
    if (!ds) break;
    if (ds == this) DatabaseError(vx::dbtext::CircularDataLink, this);
    source = ds->DataSource();
  }
  FMasterLink->SetDataSource(Value);
}

void TXBaseDataSet::SetMasterFields(const AnsiString& Value) { FMasterLink->SetFieldNames(Value); }

void TXBaseDataSet::ApplyMasterRange() {
  if (!FHandler || !FMasterLink->Active() || FMasterLink->Fields().empty()) return;
  if (!FHandler->ActiveTag())
    DatabaseErrorFmt("Master/Detail relation failed, no index open for %s", {FTableName}, this);
  if (ActiveKeyFields().size() < FMasterLink->Fields().size())
    DatabaseErrorFmt("Master/Detail relation failed, field missmatch for %s", {FTableName}, this);
  // The master's values go into a scratch record of this table in the
  // key's field order; the key expression evaluated on it is both ends of
  // the range.
  const std::vector<AnsiString> keyFields = ActiveKeyFields();
  AnsiString list;
  std::vector<AnsiString> values;
  for (std::size_t i = 0; i < FMasterLink->Fields().size(); ++i) {
    if (i) list += ";";
    list += keyFields[i];
    values.push_back(FMasterLink->Fields()[i]->AsString());
  }
  std::vector<char> scratch(std::size_t(FRecordLength) + 1, ' ');
  FHandler->FillFromValues(scratch.data(), list, values);
  vx::ExprValue v;
  {
    RecordRedirect redirect(*FHandler, scratch.data());
    TxbExpHandler expr(&xbTableExpLink(*FHandler), false, FHandler->ActiveTag()->KeyExpr());
    expr.Evaluate(v);
  }
  AnsiString key;
  char number[64];
  switch (v.Type) {
    case vx::xtNumber:
      std::snprintf(number, sizeof number, "%.10f", v.Number);
      key = number;
      break;
    case vx::xtDate: key = xbDBFDate.DTOS(std::int32_t(v.Number)); break;
    default: key = v.Text; break;
  }
  FHandler->SetRange(key, key, 1, 1, 1);
  CursorPosChanged();
}

void TXBaseDataSet::MasterChanged() {
  if (!Active()) return;
  CheckBrowseMode();
  ApplyMasterRange();
  First();
}

void TXBaseDataSet::MasterDisabled() {
  if (!FHandler) return;
  FHandler->ClearRange();
  if (Active()) First();
}
