#include "platform/db/data_source.h"

#include <algorithm>

using namespace vx;

// ---------------------------------------------------------------------------
// TDataSource

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
  for (TDataLink* link : std::vector<TDataLink*>(FDataLinks)) link->SetDataSource(nullptr);
  SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (Value != nullptr && Value->IsLinkedTo(this)) DatabaseError(dbtext::CircularDataLink, this);
  if (FDataSet != nullptr) FDataSet->RemoveDataSource(this);
  FDataSet = Value;
  if (Value != nullptr) Value->AddDataSource(this);
  SetState(FEnabled && FDataSet != nullptr ? FDataSet->State() : dsInactive);
}

void TDataSource::SetEnabled(bool Value) {
  FEnabled = Value;
  SetState(FEnabled && FDataSet != nullptr ? FDataSet->State() : dsInactive);
}

bool TDataSource::IsLinkedTo(TDataSet* DataSet) const {
  const TDataSource* s = this;
  for (int depth = 0; s != nullptr && depth < 1000; ++depth) {
    TDataSet* ds = s->FDataSet;
    if (ds == nullptr) return false;
    if (ds == DataSet) return true;
    s = ds->GetDataSource();
  }
  return false;
}

void TDataSource::Edit() {
  if (FAutoEdit && FState == dsBrowse) FDataSet->Edit();
}

void TDataSource::SetState(TDataSetState Value) {
  if (FState == Value) return;
  TDataSetState prior = FState;
  FState = Value;
  NotifyLinks(deUpdateState, 0);
  if (OnStateChange) OnStateChange(this);
  if (prior == dsInactive && OnDataChange) OnDataChange(this, nullptr);
}

void TDataSource::NotifyLinks(TDataEvent Event, std::intptr_t Info) {
  for (TDataLink* link : std::vector<TDataLink*>(FDataLinks))
    if (std::find(FDataLinks.begin(), FDataLinks.end(), link) != FDataLinks.end()) link->DataEvent(Event, Info);
}

void TDataSource::DataEvent(TDataEvent Event, std::intptr_t Info) {
  if (Event == deUpdateState) {
    SetState(FEnabled && FDataSet != nullptr ? FDataSet->State() : dsInactive);
    return;
  }
  if (FState == dsInactive) return;
  NotifyLinks(Event, Info);
  switch (Event) {
    case deFieldChange:
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
      if (OnDataChange) OnDataChange(this, Event == deFieldChange ? reinterpret_cast<TField*>(Info) : nullptr);
      break;
    case deUpdateRecord:
      if (OnUpdateData) OnUpdateData(this);
      break;
    default: break;
  }
}

void TDataSource::AddDataLink(TDataLink* Link) {
  FDataLinks.push_back(Link);
  Link->FDataSource = this;
  if (FDataSet != nullptr) FDataSet->UpdateBufferCount();
  Link->UpdateState();
}

void TDataSource::RemoveDataLink(TDataLink* Link) {
  Link->FDataSource = nullptr;
  FDataLinks.erase(std::remove(FDataLinks.begin(), FDataLinks.end(), Link), FDataLinks.end());
  Link->UpdateState();
  if (FDataSet != nullptr) FDataSet->UpdateBufferCount();
}

// ---------------------------------------------------------------------------
// TDataLink

TDataLink::~TDataLink() {
  if (FDataSource != nullptr) {
    FDataSource->FDataLinks.erase(std::remove(FDataSource->FDataLinks.begin(), FDataSource->FDataLinks.end(), this),
                                  FDataSource->FDataLinks.end());
    if (FDataSource->FDataSet != nullptr) FDataSource->FDataSet->UpdateBufferCount();
    FDataSource = nullptr;
  }
}

void TDataLink::SetDataSource(TDataSource* Value) {
  if (Value == FDataSource) return;
  if (FDataSource != nullptr) FDataSource->RemoveDataLink(this);
  if (Value != nullptr) Value->AddDataLink(this);
}

TDataSet* TDataLink::DataSet() const { return FDataSource != nullptr ? FDataSource->DataSet() : nullptr; }

void TDataLink::SetReadOnly(bool Value) {
  FReadOnly = Value;
  UpdateState();
}

void TDataLink::UpdateState() {
  bool active = FDataSource != nullptr && FDataSource->State() != dsInactive;
  SetActive(active);
  SetEditing(active && IsEditState(FDataSource->State()) && !FReadOnly);
}

void TDataLink::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  if (Value) UpdateRange();
  else FFirstRecord = 0;
  ActiveChanged();
}

void TDataLink::SetEditing(bool Value) {
  if (FEditing == Value) return;
  FEditing = Value;
  EditingChanged();
}

void TDataLink::SetBufferCount(int Value) {
  Value = std::max(1, Value);
  if (Value == FBufferCount) return;
  FBufferCount = Value;
  if (TDataSet* ds = DataSet()) ds->UpdateBufferCount();
  if (FActive) UpdateRange();
}

void TDataLink::UpdateRange() {
  TDataSet* ds = DataSet();
  if (ds == nullptr) return;
  int active = ds->ActiveRecord();
  int lowest = std::max(0, active - FBufferCount + 1);
  int highest = std::max(lowest, std::min(active, ds->WindowRecordCount() - FBufferCount));
  FFirstRecord = std::clamp(FFirstRecord, lowest, highest);
}

int TDataLink::ActiveRecord() const {
  TDataSet* ds = DataSet();
  if (!FActive || ds == nullptr || FDataSource->State() == dsSetKey) return 0;
  return ds->ActiveRecord() - FFirstRecord;
}

void TDataLink::SetActiveRecord(int Value) {
  if (TDataSet* ds = DataSet()) ds->SetActiveRecordIndex(Value + FFirstRecord);
}

int TDataLink::RecordCount() const {
  TDataSet* ds = DataSet();
  if (!FActive || ds == nullptr) return 0;
  return std::clamp(ds->WindowRecordCount() - FFirstRecord, 0, FBufferCount);
}

bool TDataLink::Edit() {
  if (!FReadOnly && FDataSource != nullptr) FDataSource->Edit();
  return FEditing;
}

void TDataLink::UpdateRecord() {
  FUpdating = true;
  try {
    UpdateData();
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TDataLink::DataEvent(TDataEvent Event, std::intptr_t Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (!FActive) return;
  switch (Event) {
    case deFieldChange:
    case deRecordChange:
      if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(Info));
      break;
    case deDataSetChange:
      UpdateRange();
      DataSetChanged();
      break;
    case deDataSetScroll:
      UpdateRange();
      DataSetScrolled(static_cast<int>(Info));
      break;
    case deLayoutChange:
      UpdateRange();
      LayoutChanged();
      break;
    case deUpdateRecord: UpdateRecord(); break;
    case deCheckBrowseMode: CheckBrowseMode(); break;
    case deFocusControl: FocusControl(reinterpret_cast<TField*>(Info)); break;
    default: break;
  }
}

// ---------------------------------------------------------------------------
// TMasterDataLink

void TMasterDataLink::SetFieldNames(const AnsiString& Value) {
  if (FFieldNames == Value) return;
  FFieldNames = Value;
  ActiveChanged();
}

void TMasterDataLink::ActiveChanged() {
  FFields.clear();
  if (Active()) {
    try {
      DataSet()->GetFieldList(FFields, FFieldNames);
    } catch (...) {
      FFields.clear();
      throw;
    }
  }
  if (FDetail == nullptr || !FDetail->Active()) return;
  if (Active() && !FFields.empty()) {
    if (OnMasterChange) OnMasterChange(this);
  } else if (OnMasterDisable) {
    OnMasterDisable(this);
  }
}

void TMasterDataLink::CheckBrowseMode() {
  if (FDetail != nullptr && FDetail->Active()) FDetail->CheckBrowseMode();
}

void TMasterDataLink::RecordChanged(TField* Field) {
  if (DataSource()->State() == dsSetKey || FDetail == nullptr || !FDetail->Active() || FFields.empty()) return;
  if (Field != nullptr && std::find(FFields.begin(), FFields.end(), Field) == FFields.end()) return;
  if (OnMasterChange) OnMasterChange(this);
}
