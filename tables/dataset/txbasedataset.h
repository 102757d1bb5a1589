// TXBaseDataSet: one xBase table as a data set of the data-set framework.
//
// While open the data set owns one table handler (DBFObject, an
// XBO_dBHandler whose record-acceptance hook asks OnFilterRecord and whose
// status hook reports to OnStatus). The framework drives the cursor; this
// class only answers its calls (see platform/db/dataset.h for the order) by
// positioned reads of the handler, which reads straight into the record
// buffers of the data set.
//
// Record buffer (one per window buffer):
//
// | offset                   | size           | meaning                          |
// |--------------------------|----------------|----------------------------------|
// | 0                        | RecordLength   | record image as stored           |
// | RecordLength             | CalcFieldsSize | calculated fields: has-value     |
// |                          |                | byte, then the native value      |
// | RecordLength + calc      | 4              | record number (int32)            |
// | + 4                      | 1              | bookmark flag (TBookmarkFlag)    |
// | + 5                      | 3              | unused (zero)                    |
// | RecordLength + calc + 8  | 11             | bookmark: record number as text  |
// |                          |                | right-aligned in 10, then zero   |
//
// Bookmarks compare as text, which orders them as numbers.
//
// Field types by .dbf type: C ftString (field length), D ftDate, N/F with
// decimals ftFloat, N/F without decimals ftSmallint below length 5 else
// ftInteger, I ftInteger, L ftBoolean, M ftMemo, B/G ftBlob (in 0x30 tables
// B and Y are ftFloat), T ftDateTime; other letters get no field.
//
// Folder of the table (DatabaseName): "Default Directory" is the program's
// folder; a name listed in section "Alias" of "xbase.cfg" (read from the
// program's folder) is that folder; anything else is a folder itself.
//
// Failures raise EDatabaseError ("Name: text"); the handler's own failures
// arrive as EXBaseError.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "platform/db/data_source.h"
#include "platform/db/dataset.h"
#include "platform/rtl/stringlist.h"
#include "tables/handler/xbo_dbhandler.h"

class TXBaseDataSet;

using TxbStatusReport = std::function<void(int stat1, int stat2, int stat3)>;

// The handler a data set works through: moving reads ask the data set's
// OnFilterRecord, progress goes to its OnStatus.
class DBFObject : public XBO_dBHandler {
 public:
  DBFObject(TXBaseDataSet* owner, const AnsiString& name, bool shared, bool readWrite, const AnsiString& key);
  bool AcceptRecord() override;
  void StatusUpdate(int code, int value, int total) override;
  // Names go through the data set's translation (TranslateASCII).
  AnsiString TranslateName(const AnsiString& text, bool toTable) const override;
  // Test support: the record pointer before a redirect.
  char* OwnBuffer() { return RecordBuffer.data(); }

 private:
  TXBaseDataSet* FOwner;
};

class TXBaseDataSet : public TDataSet {
 public:
  explicit TXBaseDataSet(TComponent* AOwner = nullptr);
  ~TXBaseDataSet() override;

  // ---- published properties
  AnsiString About() const { return "XBase Version 1.0"; }
  void SetAbout(const AnsiString&) {}
  bool AutoFlush() const { return FAutoFlush; }
  void SetAutoFlush(bool Value);
  const AnsiString& DatabaseName() const { return FDatabaseName; }
  void SetDatabaseName(const AnsiString& Value);
  const AnsiString& EncryptionKey() const { return FEncryptionKey; }
  void SetEncryptionKey(const AnsiString& Value);
  bool ExactCount() const { return FExactCount; }
  void SetExactCount(bool Value) { FExactCount = Value; }
  bool Exclusive() const { return FExclusive; }
  void SetExclusive(bool Value);
  TIndexDefs& IndexDefs() { return FIndexDefs; }
  TStringList* IndexFiles() { return FIndexFiles.get(); }
  void SetIndexFiles(TStrings* Value);
  const AnsiString& IndexName() const { return FIndexName; }
  void SetIndexName(const AnsiString& Value);
  TxbLokProtocol LockProtocol() const { return FLockProtocol; }
  void SetLockProtocol(TxbLokProtocol Value);
  const AnsiString& MasterFields() const { return FMasterLink->FieldNames(); }
  void SetMasterFields(const AnsiString& Value);
  TDataSource* MasterSource() { return FMasterLink->DataSource(); }
  void SetMasterSource(TDataSource* Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  const AnsiString& TableName() const { return FTableName; }
  void SetTableName(const AnsiString& Value);
  bool TranslateASCII() const { return FTranslateASCII; }
  void SetTranslateASCII(bool Value) { FTranslateASCII = Value; }
  bool UseDeleted() const { return FUseDeleted; }
  void SetUseDeleted(bool Value);
  std::int32_t UserID() const { return FUserID; }
  void SetUserID(std::int32_t Value);
  TxbStatusReport OnStatus;

  // ---- overrides of the framework (public ones)
  void CheckActive() override;
  bool BookmarkValid(const TBookmark& Bookmark) override;
  int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override;
  TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode) override;
  bool GetCurrentRecord(TRecordBuffer Buffer) override;
  bool GetFieldData(TField* Field, void* Buffer) override;
  void SetFieldData(TField* Field, const void* Buffer) override;
  bool IsSequenced() override;
  bool Locate(const AnsiString& KeyFields, const Variant& KeyValues, TLocateOptions Options) override;
  Variant Lookup(const AnsiString& KeyFields, const Variant& KeyValues, const AnsiString& ResultFields) override;
  void Post() override;
  int Translate(const char* Src, char* Dest, bool ToOem) override;
  // Translate over Length bytes, zero bytes included (memo contents).
  void TranslateBytes(const char* Src, char* Dest, std::size_t Length, bool ToOem);
  void SetRecNo(int Value) override;
  void SetFiltered(bool Value) override;
  void SetFilterOptions(TFilterOptions Value) override;
  void SetFilterText(const AnsiString& Value) override;
  void UpdateIndexDefs() override;

  // Clears the deleted mark of the current record.
  virtual void Undelete();

  // ---- index, copy and range operations (txbasedataset_ops.cpp)
  void IndexOn(const AnsiString& IndexFile, const AnsiString& TagName, const AnsiString& KeyExpr,
               const AnsiString& ForExpr, int UniqueCode, int SortCode);
  void Reindex();
  // Rebuilds every tag of one index file (open or not, such as one refused
  // as out of date) from the definitions it holds; a name without folder is
  // in the table's folder.
  void RebuildIndexFile(const AnsiString& IndexFile);
  int IndexCount();
  AnsiString IndexTagName(int N);
  AnsiString IndexExpression(int N);
  AnsiString IndexFileName(int N);
  int IndexCurrentOrder();
  void CopyRecordTo(TXBaseDataSet* Target);
  void CopyFile(const AnsiString& NewName, const AnsiString& Key);
  void SetRange(const AnsiString& Low, const AnsiString& High, std::uint8_t Option1, std::uint8_t Option2,
                std::uint8_t Option3);
  void CancelRange();

  // ---- services for the blob stream, the creation component and tests
  DBFObject* Handler() const { return FHandler.get(); }
  // The folder the table lies in, with a trailing separator.
  AnsiString TableFolder() const;
  // Folder plus TableName (with ".DBF" when it has no extension).
  AnsiString FullTableName() const;
  // The buffer the state reads and writes (nullptr when none).
  TRecordBuffer StateRecord();
  // The record number stored in a buffer.
  std::int32_t BufferRecNo(TRecordBuffer Buffer) const;
  using RecordRedirect = XBO_dBaseDBF::RecordRedirect;
  void FieldChanged(TField* Field);

  // The alias list: "Default Directory", then "NAME=folder" lines of
  // section "Alias" of "xbase.cfg" in the program's folder, read once.
  static TStringList& AliasList();
  // Forgets the alias list so that the next use reads the file again.
  static void ReloadAliases();

 protected:
  TRecordBuffer AllocRecordBuffer() override;
  void FreeRecordBuffer(TRecordBuffer& Buffer) override;
  TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
  int GetRecordSize() override;
  void InternalOpen() override;
  void InternalClose() override;
  void InternalInitFieldDefs() override;
  void InternalHandleException() override {}
  bool IsCursorOpen() const override { return FHandler != nullptr; }
  void InternalFirst() override;
  void InternalLast() override;
  void InternalSetToRecord(TRecordBuffer Buffer) override;
  void InternalGotoBookmark(const char* Bookmark) override;
  void GetBookmarkData(TRecordBuffer Buffer, char* Data) override;
  void SetBookmarkData(TRecordBuffer Buffer, const char* Data) override;
  TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
  void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
  void InternalInitRecord(TRecordBuffer Buffer) override;
  void InternalAddRecord(TRecordBuffer Buffer, bool Append) override;
  void InternalPost() override;
  void InternalEdit() override;
  void InternalCancel() override;
  void InternalDelete() override;
  void InternalRefresh() override;
  void ClearCalcFields(TRecordBuffer Buffer) override;
  int GetRecordCount() override;
  int GetRecNo() override;
  bool GetCanModify() override { return !FReadOnly; }
  TDataSource* GetDataSource() override { return FMasterLink->DataSource(); }
  bool GetIsIndexField(TField* Field) override;
  void DoAfterInsert() override;

 private:
  friend class DBFObject;
  friend class TXBBlobStream;

  class BusyScope;
  void OpenIndexFiles();
  void IndexFilesChanged();
  void ApplyFilter();
  void ApplyMasterRange();
  void MasterChanged();
  void MasterDisabled();
  void SelectIndexTag(bool keepRecord);
  std::vector<AnsiString> ActiveKeyFields();
  void ReleaseEditLock();
  void WriteBookmark(TRecordBuffer Buffer, std::int32_t RecNo);
  char* InfoBlock(TRecordBuffer Buffer) const { return Buffer + FRecordLength + CalcFieldsSize(); }
  std::int32_t BookmarkToRecNo(const char* Bookmark) const;
  void ReadField(TField* Field, const char* Record, void* Buffer, bool& HasValue);
  void WriteField(TField* Field, char* Record, const void* Buffer);
  std::unique_ptr<DBFObject> MakeHandler(bool readWrite, bool shared);

  std::unique_ptr<DBFObject> FHandler;
  std::unique_ptr<TStringList> FIndexFiles;
  std::unique_ptr<TMasterDataLink> FMasterLink;
  TIndexDefs FIndexDefs{this};

  AnsiString FDatabaseName;
  AnsiString FTableName;
  AnsiString FIndexName;
  AnsiString FEncryptionKey;
  bool FAutoFlush = false;
  bool FExactCount = false;
  bool FExclusive = false;
  bool FReadOnly = false;
  bool FTranslateASCII = true;
  bool FUseDeleted = false;
  std::int32_t FUserID = 0;
  TxbLokProtocol FLockProtocol = Default;

  bool FBof = false;  // the data set's own crack flags
  bool FEof = false;
  bool FEditing = false;
  bool FEditLocked = false;
  int FBusy = 0;  // 0 idle, 1 building an index, 2 copying
  bool FMuteFilter = false;
  bool FMuteBusy = false;
  std::vector<char> FBeforeEdit;
  int FRecordLength = 0;
  int FBufferSize = 0;
  char* FFilterRecord = nullptr;
};
