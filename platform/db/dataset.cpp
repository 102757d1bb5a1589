// TDataSet: opening and closing, the record window and navigation.
#include "platform/db/dataset.h"

#include <algorithm>
#include <cstring>

#include "platform/db/data_source.h"

using namespace vx;

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner), FFields(this), FFieldDefs(this) {}

TDataSet::~TDataSet() {
  // Descendants close in their own destructor; what is left here must not
  // call back into overrides that no longer exist.
  FState = dsInactive;
  for (TDataSource* source : std::vector<TDataSource*>(FDataSources)) source->SetDataSet(nullptr);
  std::vector<TField*> fields(FFields.begin(), FFields.end());
  FFields.Clear();
  for (TField* field : fields) {
    field->FDataSet = nullptr;
    if (field->Owner() == this) delete field;
  }
}

// ---------------------------------------------------------------------------
// Opening and closing

void TDataSet::Open() { SetActive(true); }
void TDataSet::Close() { SetActive(false); }

void TDataSet::SetActive(bool Value) {
  if (Active() == Value) return;
  if (Value) {
    DoBeforeOpen();
    try {
      OpenCursor(false);
    } catch (...) {
      OpenCursorComplete();
      throw;
    }
    OpenCursorComplete();
  } else {
    // An owner being freed takes its data sets down without events.
    bool events = !ComponentState().Contains(csDestroying);
    if (events) DoBeforeClose();
    SetState(dsInactive);
    CloseCursor();
    if (events) DoAfterClose();
  }
}

void TDataSet::OpenCursor(bool InfoQuery) {
  if (InfoQuery) InternalInitFieldDefs();
  else DoInternalOpen();
}

void TDataSet::DoInternalOpen() {
  FInternalOpenComplete = false;
  FDefaultFields = FFields.Count() == 0;
  InternalOpen();
  FInternalOpenComplete = true;
  UpdateBufferCount();
  FBOF = true;
}

void TDataSet::OpenCursorComplete() {
  if (FInternalOpenComplete) {
    SetState(dsBrowse);
    DoAfterOpen();
    if (!IsEmpty()) DoAfterScroll();
  } else {
    // A failed open still closes whatever InternalOpen had acquired.
    FState = dsInactive;
    try {
      CloseCursor();
    } catch (...) {}
  }
}

void TDataSet::CloseCursor() {
  FInternalOpenComplete = false;
  ClearBuffers();
  SetBufListSize(0);
  FBufferCount = 0;
  FCalcBuffer = nullptr;
  InternalClose();
}

void TDataSet::InitFieldDefs() {
  if (IsCursorOpen()) InternalInitFieldDefs();
  else OpenCursor(true);
  FFieldDefs.SetUpdated(true);
}

void TDataSet::CheckActive() {
  if (!Active()) DatabaseError(dbtext::DataSetClosed, this);
}

void TDataSet::CheckInactive() {
  if (Active()) DatabaseError(dbtext::DataSetOpen, this);
}

// ---------------------------------------------------------------------------
// State and notification

void TDataSet::SetState(TDataSetState Value) {
  if (FState == Value) return;
  FState = Value;
  FModified = false;
  DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState Value) {
  TDataSetState old = FState;
  FState = Value;
  ++FDisableCount;
  return old;
}

void TDataSet::RestoreState(TDataSetState Value) {
  FState = Value;
  --FDisableCount;
}

void TDataSet::DataEvent(TDataEvent Event, std::intptr_t Info) {
  if (Event == deFieldChange) {
    auto* field = reinterpret_cast<TField*>(Info);
    if (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc) FModified = true;
    if (FState != dsSetKey) {
      if (FCalcFieldsSize != 0 && FAutoCalcFields && field->FieldKind() == fkData) GetCalcFields(ActiveBuffer());
      field->Change();
    }
  } else if (Event == dePropertyChange) {
    FFieldDefs.SetUpdated(false);
  }
  if (FDisableCount == 0) {
    for (TDataSource* source : std::vector<TDataSource*>(FDataSources)) source->DataEvent(Event, Info);
  } else if ((Event == deUpdateState && FState == dsInactive) || Event == deLayoutChange) {
    FEnableEvent = deLayoutChange;
  }
}

void TDataSet::DisableControls() {
  if (FDisableCount == 0) {
    FDisableState = FState;
    FEnableEvent = deDataSetChange;
  }
  ++FDisableCount;
}

void TDataSet::EnableControls() {
  if (FDisableCount == 0) return;
  if (--FDisableCount != 0) return;
  if (FDisableState != FState) DataEvent(deUpdateState, 0);
  if (FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent, 0);
}

void TDataSet::AddDataSource(TDataSource* Source) {
  FDataSources.push_back(Source);
  UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* Source) {
  FDataSources.erase(std::remove(FDataSources.begin(), FDataSources.end(), Source), FDataSources.end());
  UpdateBufferCount();
}

bool TDataSet::IsLinkedTo(TDataSource* Source) {
  // Bounded, so that a chain that loops elsewhere cannot hang the check.
  TDataSource* s = GetDataSource();
  for (int depth = 0; s != nullptr && depth < 1000; ++depth) {
    if (s == Source) return true;
    TDataSet* master = s->DataSet();
    if (master == nullptr) return false;
    s = master->GetDataSource();
  }
  return false;
}

// ---------------------------------------------------------------------------
// The record window

TRecordBuffer TDataSet::ActiveBuffer() const {
  if (FBuffers.empty() || FActiveRecord >= static_cast<int>(FBuffers.size())) return nullptr;
  return FBuffers[static_cast<std::size_t>(FActiveRecord)];
}

int TDataSet::SetActiveRecordIndex(int Index) {
  int old = FActiveRecord;
  if (Index >= 0 && Index < std::max(FRecordCount, 1)) FActiveRecord = Index;
  return old;
}

void TDataSet::SetBufListSize(int Value) {
  auto wanted = static_cast<std::size_t>(Value);
  if (FBuffers.size() < wanted) {
    FBuffers.reserve(wanted);
    while (FBuffers.size() < wanted) FBuffers.push_back(AllocRecordBuffer());
  } else {
    while (FBuffers.size() > wanted) {
      TRecordBuffer buffer = FBuffers.back();
      FBuffers.pop_back();
      FreeRecordBuffer(buffer);
    }
  }
}

void TDataSet::UpdateBufferCount() {
  if (!IsCursorOpen()) return;
  int wanted = 1;
  for (TDataSource* source : FDataSources)
    for (TDataLink* link : source->FDataLinks) wanted = std::max(wanted, link->BufferCount());
  SetBufferCount(wanted);
}

void TDataSet::SetBufferCount(int Value) {
  if (Value == FBufferCount) return;
  if (Value < FBufferCount && FRecordCount > Value) {
    // Keep the active record inside the smaller window: drop records
    // before it first, then those after it.
    int drop = std::max(0, FActiveRecord - Value + 1);
    for (int i = 0; i < drop; ++i) MoveBuffer(0, FRecordCount);
    FActiveRecord -= drop;
    FRecordCount = std::min(FRecordCount - drop, Value);
    CursorPosChanged();
  }
  // The scratch buffer moves with the count: the buffers list always holds
  // Value + 1 entries.
  SetBufListSize(Value + 1);
  FBufferCount = Value;
  if (FRecordCount > 0 && FRecordCount < FBufferCount) {
    GetNextRecords();
    GetPriorRecords();
  } else if (FRecordCount == 0 && FInternalOpenComplete) {
    GetNextRecords();
  }
  for (TDataSource* source : FDataSources)
    for (TDataLink* link : source->FDataLinks) link->UpdateRange();
}

void TDataSet::MoveBuffer(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  auto cur = static_cast<std::size_t>(CurIndex);
  auto nxt = static_cast<std::size_t>(NewIndex);
  TRecordBuffer moved = FBuffers[cur];
  FBuffers.erase(FBuffers.begin() + static_cast<std::ptrdiff_t>(cur));
  FBuffers.insert(FBuffers.begin() + static_cast<std::ptrdiff_t>(nxt), moved);
  // The cursor stays on the same buffer.
  if (FCurrentRecord == CurIndex) {
    FCurrentRecord = NewIndex;
  } else if (FCurrentRecord >= 0) {
    if (CurIndex < NewIndex && FCurrentRecord > CurIndex && FCurrentRecord <= NewIndex) --FCurrentRecord;
    else if (CurIndex > NewIndex && FCurrentRecord >= NewIndex && FCurrentRecord < CurIndex) ++FCurrentRecord;
  }
}

void TDataSet::ClearBuffers() {
  FRecordCount = 0;
  FActiveRecord = 0;
  FCurrentRecord = -1;
  FBOF = true;
  FEOF = true;
}

void TDataSet::ActivateBuffers() {
  FRecordCount = 1;
  FActiveRecord = 0;
  FCurrentRecord = 0;
  FBOF = false;
  FEOF = false;
}

void TDataSet::SetCurrentRecord(int Index) {
  if (FCurrentRecord == Index) return;
  TRecordBuffer buffer = FBuffers[static_cast<std::size_t>(Index)];
  switch (GetBookmarkFlag(buffer)) {
    case bfCurrent:
    case bfInserted: InternalSetToRecord(buffer); break;
    case bfBOF: InternalFirst(); break;
    case bfEOF: InternalLast(); break;
  }
  FCurrentRecord = Index;
}

void TDataSet::UpdateCursorPos() {
  if (FRecordCount > 0) SetCurrentRecord(FActiveRecord);
}

bool TDataSet::GetNextRecord() {
  TGetMode mode = gmNext;
  if (FRecordCount > 0) {
    SetCurrentRecord(FRecordCount - 1);
    // The record being inserted stands where the next fetch would start.
    if (FState == dsInsert && FCurrentRecord == FActiveRecord && GetBookmarkFlag(ActiveBuffer()) == bfCurrent)
      mode = gmCurrent;
  }
  bool ok = GetRecord(FBuffers[static_cast<std::size_t>(FRecordCount)], mode, true) == grOK;
  if (ok) {
    if (FRecordCount == 0) {
      ActivateBuffers();
    } else if (FRecordCount < FBufferCount) {
      ++FRecordCount;
    } else {
      MoveBuffer(0, FRecordCount);
      if (FActiveRecord > 0) --FActiveRecord;
    }
    FCurrentRecord = FRecordCount - 1;
  } else {
    CursorPosChanged();
  }
  return ok;
}

bool TDataSet::GetPriorRecord() {
  if (FRecordCount > 0) SetCurrentRecord(0);
  bool ok = GetRecord(FBuffers[static_cast<std::size_t>(FRecordCount)], gmPrior, true) == grOK;
  if (ok) {
    if (FRecordCount == 0) {
      ActivateBuffers();
    } else {
      MoveBuffer(FRecordCount, 0);
      if (FRecordCount < FBufferCount) {
        ++FRecordCount;
        ++FActiveRecord;
      }
    }
    FCurrentRecord = 0;
  } else {
    CursorPosChanged();
  }
  return ok;
}

int TDataSet::GetNextRecords() {
  int n = 0;
  while (FRecordCount < FBufferCount && GetNextRecord()) ++n;
  return n;
}

int TDataSet::GetPriorRecords() {
  int n = 0;
  while (FRecordCount < FBufferCount && GetPriorRecord()) ++n;
  return n;
}

// ---------------------------------------------------------------------------
// Navigation

void TDataSet::First() {
  CheckBrowseMode();
  DoBeforeScroll();
  ClearBuffers();
  try {
    InternalFirst();
    GetNextRecord();
    GetNextRecords();
  } catch (...) {
    FBOF = true;
    DataEvent(deDataSetChange, 0);
    throw;
  }
  FBOF = true;
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

void TDataSet::Last() {
  CheckBrowseMode();
  DoBeforeScroll();
  ClearBuffers();
  try {
    InternalLast();
    GetPriorRecord();
    GetPriorRecords();
  } catch (...) {
    FEOF = true;
    DataEvent(deDataSetChange, 0);
    throw;
  }
  FEOF = true;
  DataEvent(deDataSetChange, 0);
  DoAfterScroll();
}

int TDataSet::MoveBy(int Distance) {
  CheckBrowseMode();
  DoBeforeScroll();
  int moved = 0;
  if ((Distance > 0 && !FEOF) || (Distance < 0 && !FBOF)) {
    FBOF = false;
    FEOF = false;
    try {
      while (Distance > 0) {
        if (FActiveRecord < FRecordCount - 1) {
          ++FActiveRecord;
        } else if (GetNextRecord()) {
          FActiveRecord = FRecordCount - 1;
        } else {
          FEOF = true;
          break;
        }
        --Distance;
        ++moved;
      }
      while (Distance < 0) {
        if (FActiveRecord > 0) {
          --FActiveRecord;
        } else if (GetPriorRecord()) {
          FActiveRecord = 0;
        } else {
          FBOF = true;
          break;
        }
        ++Distance;
        --moved;
      }
    } catch (...) {
      DataEvent(deDataSetChange, 0);
      throw;
    }
    DataEvent(deDataSetScroll, moved);
    DoAfterScroll();
  }
  return moved;
}

void TDataSet::Resync(TResyncMode Mode) {
  TRecordBuffer scratch = FBuffers[static_cast<std::size_t>(FRecordCount)];
  if (Mode.Contains(rmExact)) {
    CursorPosChanged();
    if (GetRecord(scratch, gmCurrent, true) != grOK) DatabaseError(dbtext::RecordNotFound, this);
  } else if (GetRecord(scratch, gmCurrent, false) != grOK && GetRecord(scratch, gmNext, false) != grOK &&
             GetRecord(scratch, gmPrior, false) != grOK) {
    ClearBuffers();
    DataEvent(deDataSetChange, 0);
    return;
  }
  int before = Mode.Contains(rmCenter) ? (FBufferCount - 1) / 2 : FActiveRecord;
  MoveBuffer(FRecordCount, 0);
  ActivateBuffers();
  try {
    while (before > 0 && GetPriorRecord()) --before;
    GetNextRecords();
    GetPriorRecords();
  } catch (...) {
    DataEvent(deDataSetChange, 0);
    throw;
  }
  DataEvent(deDataSetChange, 0);
}

// ---------------------------------------------------------------------------
// Bookmarks

bool TDataSet::BookmarkAvailable() {
  return (FState == dsBrowse || FState == dsEdit || FState == dsInsert) && !IsEmpty() &&
         GetBookmarkFlag(ActiveBuffer()) == bfCurrent;
}

TBookmark TDataSet::GetBookmark() {
  if (!BookmarkAvailable() || FBookmarkSize <= 0) return {};
  TBookmark result(static_cast<std::size_t>(FBookmarkSize), '\0');
  GetBookmarkData(ActiveBuffer(), result.data());
  return result;
}

void TDataSet::GotoBookmark(const TBookmark& Bookmark) {
  if (Bookmark.empty()) return;
  CheckBrowseMode();
  DoBeforeScroll();
  InternalGotoBookmark(Bookmark.data());
  Resync(TResyncMode{rmExact, rmCenter});
  DoAfterScroll();
}

// ---------------------------------------------------------------------------
// Search entry points: a record source that can search overrides them.

bool TDataSet::Locate(const AnsiString&, const Variant&, TLocateOptions) { return false; }

Variant TDataSet::Lookup(const AnsiString&, const Variant&, const AnsiString&) { return Variant::Null(); }

int TDataSet::Translate(const char* Src, char* Dest, bool) {
  if (Src == nullptr) {
    if (Dest != nullptr) *Dest = '\0';
    return 0;
  }
  auto n = std::strlen(Src);
  if (Dest != nullptr && Dest != Src) std::memmove(Dest, Src, n + 1);
  return static_cast<int>(n);
}

namespace vx {

KeepCursor::KeepCursor(TDataSet* table) : table_(table) {
  if (!table_ || !table_->Active()) return;
  table_->CheckBrowseMode();
  if (table_->BookmarkAvailable()) bookmark_ = table_->GetBookmark();
}

KeepCursor::~KeepCursor() {
  if (bookmark_.empty() || !table_->Active()) return;
  try {
    if (table_->BookmarkValid(bookmark_)) table_->GotoBookmark(bookmark_);
  } catch (...) {}
}

}  // namespace vx
