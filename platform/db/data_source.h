// TDataSource, TDataLink and TMasterDataLink: how controls and other data
// sets follow a data set.
//
// A data set notifies each of its data sources (DataEvent), and a data
// source each of its links, unless the data set's controls are disabled
// (DisableControls): then nothing is sent until the outermost
// EnableControls, which sends one state event when the state changed and one
// data-set change event.
//
// A link sees a window of BufferCount rows of the data set's record window,
// starting at its first record; its ActiveRecord is the data set's active
// record relative to that window. The data set keeps at least as many
// buffers as its largest link asks for.
//
// Lifetime: a data source must outlive its links or be freed while they
// exist (it detaches them); a data set detaches its sources when freed.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/db/dataset.h"

class TDataLink;

using TDataChangeEvent = std::function<void(TObject* Sender, TField* Field)>;

class TDataSource : public TComponent {
 public:
  explicit TDataSource(TComponent* AOwner = nullptr);
  ~TDataSource() override;

  TDataSet* DataSet() const { return FDataSet; }
  // Raises "Circular datalinks are not allowed" when DataSet already
  // follows this source (directly or through its masters).
  void SetDataSet(TDataSet* Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }
  // dsInactive without an enabled, open data set.
  TDataSetState State() const { return FState; }
  // Puts the data set into edit state when AutoEdit allows it.
  void Edit();
  // True when DataSet is this source's data set or one of its masters'.
  bool IsLinkedTo(TDataSet* DataSet) const;

  TDataChangeEvent OnDataChange;
  TNotifyEvent OnStateChange;
  TNotifyEvent OnUpdateData;

 private:
  friend class TDataSet;
  friend class TDataLink;
  void DataEvent(TDataEvent Event, std::intptr_t Info);
  void SetState(TDataSetState Value);
  void NotifyLinks(TDataEvent Event, std::intptr_t Info);
  void AddDataLink(TDataLink* Link);
  void RemoveDataLink(TDataLink* Link);

  TDataSet* FDataSet = nullptr;
  bool FEnabled = true;
  bool FAutoEdit = true;
  TDataSetState FState = dsInactive;
  std::vector<TDataLink*> FDataLinks;
};

class TDataLink : public TObject {
 public:
  TDataLink() = default;
  virtual ~TDataLink();

  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  TDataSet* DataSet() const;
  bool Active() const { return FActive; }
  bool Editing() const { return FEditing; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  int BufferCount() const { return FBufferCount; }
  void SetBufferCount(int Value);
  // Row of the data set's active record in this link's window.
  int ActiveRecord() const;
  // Moves the data set's active record to row Value of this link's window
  // (painting); the caller restores it.
  void SetActiveRecord(int Value);
  // Rows of the window that hold records.
  int RecordCount() const;
  // Starts editing through the data source; false when not possible.
  bool Edit();
  void UpdateRecord();

 protected:
  // DataSetScrolled gets the distance the data set's cursor moved.
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int Distance) { DataSetChanged(); }
  virtual void EditingChanged() {}
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void RecordChanged(TField* Field) {}
  virtual void UpdateData() {}
  virtual void FocusControl(TField* Field) {}

 private:
  friend class TDataSource;
  friend class TDataSet;
  void DataEvent(TDataEvent Event, std::intptr_t Info);
  void UpdateState();
  void UpdateRange();
  void SetActive(bool Value);
  void SetEditing(bool Value);

  TDataSource* FDataSource = nullptr;
  int FFirstRecord = 0;
  int FBufferCount = 1;
  bool FActive = false;
  bool FEditing = false;
  bool FReadOnly = false;
  bool FUpdating = false;
};

// The link of a detail data set to its master: it resolves FieldNames
// (';'-separated) to the master's fields when the master opens and reports
// changes of the master record.
class TMasterDataLink : public TDataLink {
 public:
  explicit TMasterDataLink(TDataSet* DataSet) : FDetail(DataSet) {}

  TDataSet* Detail() const { return FDetail; }
  const AnsiString& FieldNames() const { return FFieldNames; }
  void SetFieldNames(const AnsiString& Value);
  const std::vector<TField*>& Fields() const { return FFields; }

  TNotifyEvent OnMasterChange;
  TNotifyEvent OnMasterDisable;

 protected:
  void ActiveChanged() override;
  void CheckBrowseMode() override;
  void LayoutChanged() override { ActiveChanged(); }
  void RecordChanged(TField* Field) override;

 private:
  TDataSet* FDetail;
  AnsiString FFieldNames;
  std::vector<TField*> FFields;
};
