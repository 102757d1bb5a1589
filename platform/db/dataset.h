// TDataSet: the data-set framework's cursor over a source of records.
//
// A descendant supplies the records (it overrides the Internal* operations,
// GetRecord, the bookmark and field-data operations); TDataSet owns the
// navigation, the editing state machine, the events and the notifications of
// data sources and links. The descendant only answers these calls, so the
// order in which they are made is part of the contract:
//
// Record window. The data set holds BufferCount() record buffers (at least
// one; as many as the largest BufferCount of its data links) plus one
// scratch buffer at index WindowRecordCount() that receives each fetch.
// ActiveRecord() is the buffer the fields read; CurrentRecord() is the buffer
// the descendant's cursor stands on (-1 = unknown). Each buffer carries a
// bookmark flag: bfCurrent (a real record), bfInserted (a record being
// inserted; its bookmark is that of the record it was inserted before),
// bfBOF (an insert into an empty window) or bfEOF (an append).
//
// Positioning on buffer i (SetCurrentRecord) calls, when the cursor is not
// already there, InternalSetToRecord for bfCurrent / bfInserted,
// InternalFirst for bfBOF and InternalLast for bfEOF. CursorPosChanged()
// forgets the position, so the next fetch positions again.
//
// Fetching: GetRecord(scratch, gmNext, true) after positioning on the last
// buffer; GetRecord(scratch, gmPrior, true) after positioning on buffer 0.
// Resync asks gmCurrent (then gmNext, gmPrior) with DoCheck off unless
// rmExact is given.
//
// Every operation that changes a record (InternalEdit, InternalPost,
// InternalDelete) runs after UpdateCursorPos, inside the retry loop of the
// matching error event (OnEditError, OnPostError, OnDeleteError). Post,
// Cancel and Delete end with Resync({}), which re-reads the cursor's record
// with gmCurrent.
//
// BOF/EOF: First sets Bof(); Last sets Eof(); MoveBy stops and sets the flag
// of its direction when a fetch fails; an empty data set has both. Insert
// leaves both as they were; Append sets Eof() and clears Bof().
//
// A record source must, besides the above:
// - in InternalOpen: fill FieldDefs, CreateFields() when DefaultFields(),
//   BindFields(true) (which sets CalcFieldsSize()), SetBookmarkSize, and
//   stand before the first record so that the first gmNext fetch gives it;
//   the framework then sizes the window and fetches. When InternalOpen
//   throws, InternalClose still runs.
// - in InternalClose: BindFields(false) and DestroyFields() when
//   DefaultFields().
// - in GetRecord, on grOK: fill the buffer, flag it bfCurrent, write its
//   bookmark and call GetCalcFields(Buffer); on grError with DoCheck, raise.
// - in SetFieldData: check the state, call Field->Validate(Buffer), store,
//   and send DataEvent(deFieldChange, field) outside the temporary states.
//
// Ownership: the data set owns its record buffers (through the descendant's
// AllocRecordBuffer / FreeRecordBuffer) and the fields it creates by default
// (CreateFields). A descendant's destructor must call Close() itself: by the
// time ~TDataSet runs, its overrides are gone.
//
// `EOF` is a macro of the C library, so the flags are named Bof() and Eof().
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/db/db_error.h"
#include "platform/db/db_types.h"
#include "platform/db/field.h"
#include "platform/db/field_defs.h"
#include "platform/db/variant.h"
#include "platform/rtl/classes.h"

class TDataSource;
class TDataSet;

using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;
using TDataSetErrorEvent = std::function<void(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action)>;
using TFilterRecordEvent = std::function<void(TDataSet* DataSet, bool& Accept)>;

class TDataSet : public TComponent {
 public:
  explicit TDataSet(TComponent* AOwner = nullptr);
  ~TDataSet() override;

  // --- Opening and closing -------------------------------------------
  void Open();
  void Close();
  bool Active() const { return FState != dsInactive && FState != dsOpening; }
  void SetActive(bool Value);
  TDataSetState State() const { return FState; }
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }

  // --- Navigation ------------------------------------------------------
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Moves up to |Distance| records; returns the signed distance moved.
  int MoveBy(int Distance);
  bool Bof() const { return FBOF; }
  bool Eof() const { return FEOF; }
  bool IsEmpty() const { return FActiveRecord >= FRecordCount; }
  int RecordCount() { return GetRecordCount(); }
  int RecNo() { return GetRecNo(); }
  virtual void SetRecNo(int Value) {}

  // --- Editing -----------------------------------------------------------
  void Insert();
  void Append();
  void Edit();
  virtual void Post();
  virtual void Cancel();
  void Delete();
  void Refresh();
  virtual void Resync(TResyncMode Mode);
  void CheckBrowseMode();
  // Lets the data links write pending control text into the fields.
  void UpdateRecord();
  void ClearFields();
  bool CanModify() { return GetCanModify(); }

  // --- Controls ------------------------------------------------------
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount != 0; }
  // Code that walks the data set while messages are pumped (a long
  // command) holds its cursor: data-aware controls then neither move nor
  // change a record of it (the user's scrolling and keys do nothing).
  // Holds nest. Disabled controls hold the cursor too.
  void HoldCursor() { ++FHoldCount; }
  void ReleaseCursor() {
    if (FHoldCount > 0) --FHoldCount;
  }
  bool CursorHeld() const { return FHoldCount != 0 || FDisableCount != 0; }

  // --- Bookmarks -----------------------------------------------------
  bool BookmarkAvailable();
  TBookmark GetBookmark();
  void GotoBookmark(const TBookmark& Bookmark);
  void FreeBookmark(TBookmark&) {}
  TBookmarkStr Bookmark() { return GetBookmark(); }
  void SetBookmark(const TBookmarkStr& Value) { GotoBookmark(Value); }
  virtual bool BookmarkValid(const TBookmark& Bookmark) { return false; }
  virtual int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) { return 0; }

  // --- Fields ----------------------------------------------------------
  TFields& Fields() { return FFields; }
  int FieldCount() const { return FFields.Count(); }
  TFieldDefs& FieldDefs() { return FFieldDefs; }
  TField* FindField(const AnsiString& FieldName) { return FFields.FindField(FieldName); }
  // Raises "Name: Field 'X' not found".
  TField* FieldByName(const AnsiString& FieldName);
  // One name gives the field's value; "A;B" gives an array of the values.
  Variant FieldValues(const AnsiString& FieldName);
  void SetFieldValues(const AnsiString& FieldName, const Variant& Value);
  // Fields named in a ';'-separated list, in that order (raises for an
  // unknown name).
  void GetFieldList(std::vector<TField*>& List, const AnsiString& FieldNames);
  void GetFieldNames(std::vector<AnsiString>& List);
  bool DefaultFields() const { return FDefaultFields; }
  bool AutoCalcFields() const { return FAutoCalcFields; }
  void SetAutoCalcFields(bool Value) { FAutoCalcFields = Value; }
  // Reads the field definitions (InternalInitFieldDefs), also while closed.
  void InitFieldDefs();

  // --- Filter storage ------------------------------------------------
  const AnsiString& Filter() const { return FFilterText; }
  void SetFilter(const AnsiString& Value) { SetFilterText(Value); }
  bool Filtered() const { return FFiltered; }
  virtual void SetFiltered(bool Value) { FFiltered = Value; }
  TFilterOptions FilterOptions() const { return FFilterOptions; }
  virtual void SetFilterOptions(TFilterOptions Value) { FFilterOptions = Value; }
  virtual void SetFilterText(const AnsiString& Value) { FFilterText = Value; }

  // --- Search ----------------------------------------------------------
  // The framework only declares these; the record source implements them.
  virtual bool Locate(const AnsiString& KeyFields, const Variant& KeyValues, TLocateOptions Options);
  virtual Variant Lookup(const AnsiString& KeyFields, const Variant& KeyValues, const AnsiString& ResultFields);

  // --- Services for fields and the record source ----------------------
  // Copies the field's value in its native format into Buffer; with a null
  // Buffer only answers whether the field has a value.
  virtual bool GetFieldData(TField* Field, void* Buffer) { return false; }
  // Stores the value (null = clear). The implementation validates the
  // value (Field->Validate) and sends deFieldChange.
  virtual void SetFieldData(TField* Field, const void* Buffer) {}
  // Code-page translation of string and memo fields (OEM <-> ANSI); the
  // default copies. Returns the length of the source text.
  virtual int Translate(const char* Src, char* Dest, bool ToOem);
  // The caller owns the stream; nullptr when the source has no blobs.
  virtual TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode) { return nullptr; }
  virtual bool GetCurrentRecord(TRecordBuffer Buffer) { return false; }
  virtual bool IsSequenced() { return true; }
  virtual void CheckActive();
  void CheckInactive();
  virtual void DataEvent(TDataEvent Event, std::intptr_t Info);
  TDataSource* DataSource() { return GetDataSource(); }
  // True when Source is this data set's master source, or its master's ...
  bool IsLinkedTo(TDataSource* Source);
  virtual void UpdateIndexDefs() {}

  // The buffer of the active record (nullptr while closed). The record
  // source picks the buffer of the state itself: CalcBuffer() while
  // calculating, its own record while filtering.
  TRecordBuffer ActiveBuffer() const;
  TRecordBuffer CalcBuffer() const { return FCalcBuffer; }
  int CalcFieldsSize() const { return FCalcFieldsSize; }
  int BookmarkSize() const { return FBookmarkSize; }
  int BufferCount() const { return FBufferCount; }
  int ActiveRecord() const { return FActiveRecord; }
  int CurrentRecord() const { return FCurrentRecord; }
  // Number of records held in the window (not the data set's RecordCount).
  int WindowRecordCount() const { return FRecordCount; }
  TRecordBuffer Buffer(int Index) const { return FBuffers[static_cast<std::size_t>(Index)]; }
  // Data links paint row i by moving the active record there for a moment;
  // returns the previous value.
  int SetActiveRecordIndex(int Index);

  // --- Events ----------------------------------------------------------
  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  TDataSetNotifyEvent BeforeRefresh, AfterRefresh;
  TDataSetNotifyEvent OnNewRecord, OnCalcFields;
  TDataSetErrorEvent OnPostError, OnEditError, OnDeleteError;
  TFilterRecordEvent OnFilterRecord;

 protected:
  // --- Record source: overridden by descendants -----------------------
  virtual TRecordBuffer AllocRecordBuffer() { return nullptr; }
  virtual void FreeRecordBuffer(TRecordBuffer& Buffer) { Buffer = nullptr; }
  virtual TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) { return grError; }
  virtual int GetRecordSize() { return 0; }
  virtual void InternalOpen() {}
  virtual void InternalClose() {}
  virtual void InternalInitFieldDefs() {}
  virtual void InternalHandleException() {}
  virtual bool IsCursorOpen() const { return false; }
  virtual void InternalFirst() {}
  virtual void InternalLast() {}
  virtual void InternalSetToRecord(TRecordBuffer Buffer) {}
  virtual void InternalGotoBookmark(const char* Bookmark) {}
  virtual void GetBookmarkData(TRecordBuffer Buffer, char* Data) {}
  virtual void SetBookmarkData(TRecordBuffer Buffer, const char* Data) {}
  virtual TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) { return bfCurrent; }
  virtual void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) {}
  virtual void InternalInitRecord(TRecordBuffer Buffer) {}
  virtual void InternalAddRecord(TRecordBuffer Buffer, bool Append) {}
  virtual void InternalInsert() {}
  // The default checks the required fields.
  virtual void InternalPost();
  virtual void InternalEdit() {}
  virtual void InternalCancel() {}
  virtual void InternalDelete() {}
  virtual void InternalRefresh() {}
  virtual void ClearCalcFields(TRecordBuffer Buffer) {}
  virtual int GetRecordCount() { return -1; }
  virtual int GetRecNo() { return -1; }
  virtual bool GetCanModify() { return true; }
  virtual TDataSource* GetDataSource() { return nullptr; }
  virtual bool GetIsIndexField(TField* Field) { return false; }
  friend class TField;

  // --- Event hooks (descendants may extend) ---------------------------
  virtual void DoBeforeOpen() { Fire(BeforeOpen); }
  virtual void DoAfterOpen() { Fire(AfterOpen); }
  virtual void DoBeforeClose() { Fire(BeforeClose); }
  virtual void DoAfterClose() { Fire(AfterClose); }
  virtual void DoBeforeInsert() { Fire(BeforeInsert); }
  virtual void DoAfterInsert() { Fire(AfterInsert); }
  virtual void DoBeforeEdit() { Fire(BeforeEdit); }
  virtual void DoAfterEdit() { Fire(AfterEdit); }
  virtual void DoBeforePost() { Fire(BeforePost); }
  virtual void DoAfterPost() { Fire(AfterPost); }
  virtual void DoBeforeCancel() { Fire(BeforeCancel); }
  virtual void DoAfterCancel() { Fire(AfterCancel); }
  virtual void DoBeforeDelete() { Fire(BeforeDelete); }
  virtual void DoAfterDelete() { Fire(AfterDelete); }
  virtual void DoBeforeScroll() { Fire(BeforeScroll); }
  virtual void DoAfterScroll() { Fire(AfterScroll); }
  virtual void DoBeforeRefresh() { Fire(BeforeRefresh); }
  virtual void DoAfterRefresh() { Fire(AfterRefresh); }
  virtual void DoOnNewRecord() { Fire(OnNewRecord); }
  virtual void DoOnCalcFields() { Fire(OnCalcFields); }

  // --- Framework services for descendants -----------------------------
  void SetState(TDataSetState Value);
  // Enters a temporary state without notifying links; returns the old one.
  TDataSetState SetTempState(TDataSetState Value);
  void RestoreState(TDataSetState Value);
  void SetBookmarkSize(int Value) { FBookmarkSize = Value; }
  void CursorPosChanged() { FCurrentRecord = -1; }
  void UpdateCursorPos();
  void SetCurrentRecord(int Index);
  bool GetNextRecord();
  bool GetPriorRecord();
  int GetNextRecords();
  int GetPriorRecords();
  void ClearBuffers();
  void ActivateBuffers();
  void SetBufferCount(int Value);
  void UpdateBufferCount();
  // Moves the buffer at CurIndex to NewIndex, shifting those between.
  void MoveBuffer(int CurIndex, int NewIndex);
  virtual void InitRecord(TRecordBuffer Buffer);
  void GetCalcFields(TRecordBuffer Buffer);
  virtual void CalculateFields(TRecordBuffer Buffer);
  void CheckCanModify();
  // Runs Operation after UpdateCursorPos; an EDatabaseError goes to
  // ErrorEvent, which may ask to fail (rethrow), abort (EAbort) or retry.
  void CheckOperation(const std::function<void()>& Operation, const TDataSetErrorEvent& ErrorEvent);
  virtual void OpenCursor(bool InfoQuery);
  virtual void CloseCursor();
  void DoInternalOpen();
  virtual void CreateFields();
  virtual void BindFields(bool Binding);
  void DestroyFields();
  void SetDefaultFields(bool Value) { FDefaultFields = Value; }
  void CheckRequiredFields();
  void SetBOF(bool Value) { FBOF = Value; }
  void SetEOF(bool Value) { FEOF = Value; }

  // Lookup-field values, computed in the calculation state.
  void CalcLookupValue(TField* Field);

 private:
  friend class TDataSource;
  friend class TDataLink;
  friend class TFields;
  void Fire(const TDataSetNotifyEvent& Event) {
    if (Event) Event(this);
  }
  void OpenCursorComplete();
  void BeginInsertAppend();
  void EndInsertAppend();
  void SetBufListSize(int Value);
  void AddDataSource(TDataSource* Source);
  void RemoveDataSource(TDataSource* Source);

  TDataSetState FState = dsInactive;
  TDataSetState FDisableState = dsInactive;
  TDataEvent FEnableEvent = deDataSetChange;
  int FDisableCount = 0;
  int FHoldCount = 0;
  bool FModified = false;
  bool FBOF = true;
  bool FEOF = true;
  bool FDefaultFields = false;
  bool FAutoCalcFields = true;
  bool FInternalOpenComplete = false;
  bool FFiltered = false;
  TFilterOptions FFilterOptions;
  AnsiString FFilterText;

  std::vector<TRecordBuffer> FBuffers;
  int FBufferCount = 0;
  int FRecordCount = 0;
  int FActiveRecord = 0;
  int FCurrentRecord = -1;
  int FBookmarkSize = 0;
  int FCalcFieldsSize = 0;
  TRecordBuffer FCalcBuffer = nullptr;

  TFields FFields;
  TFieldDefs FFieldDefs;
  std::vector<TDataSource*> FDataSources;
};

namespace vx {

// Disables the data set's controls; enables them when the scope ends.
class ControlsDisabled {
 public:
  explicit ControlsDisabled(TDataSet* d) : d_(d) { d_->DisableControls(); }
  ~ControlsDisabled() { d_->EnableControls(); }
  ControlsDisabled(const ControlsDisabled&) = delete;
  ControlsDisabled& operator=(const ControlsDisabled&) = delete;

 private:
  TDataSet* d_;
};

// Keeps a data set's place for a walk: a record being edited or inserted
// is posted first, and when the scope ends the cursor goes back to the
// record it was on (nothing happens for a closed or empty data set, and a
// record that is gone by then leaves the cursor where the walk left it).
class KeepCursor {
 public:
  explicit KeepCursor(TDataSet* table);
  ~KeepCursor();
  KeepCursor(const KeepCursor&) = delete;
  KeepCursor& operator=(const KeepCursor&) = delete;

 private:
  TDataSet* table_;
  TBookmark bookmark_;
};

}  // namespace vx
