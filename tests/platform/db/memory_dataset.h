// An in-memory record source for the framework tests. It answers the
// framework the way the table adapter does:
//
// - a cursor with xBase movement: top, bottom, next, prior, re-read; moving
//   past the last record leaves the cursor on an "after last" position from
//   which prior gives the last record; moving before the first sets BOF and
//   stays on the first;
// - private BOF/EOF flags set by InternalFirst / InternalLast that turn
//   gmNext into "top" and gmPrior into "bottom", and make gmCurrent fail;
// - bookmarks holding the record number; Post appends (or inserts before the
//   bookmarked record) and leaves the cursor on the new record; Delete
//   re-reads, which lands on the next record, or on the last with EOF set.
//
// Every call the framework makes is logged in Calls, so tests can assert the
// order. Records are kept in display order; each has a fixed record number.
#pragma once

#include <string>
#include <vector>

#include "platform/db/dataset.h"

struct MemoryFieldSpec {
  AnsiString Name;
  TFieldType Type;
  int Size = 0;
};

class TMemoryDataSet : public TDataSet {
 public:
  explicit TMemoryDataSet(std::vector<MemoryFieldSpec> Specs, TComponent* AOwner = nullptr);
  ~TMemoryDataSet() override;

  // Posted inserts go to the end (as in a table's natural order) instead
  // of before the record they were inserted at.
  bool AppendOnPost = false;
  // Log of the framework's calls ("First", "Last", "Get next=OK" ...).
  std::vector<std::string> Calls;
  bool LogCalls = true;

  // Adds a record directly (not through the framework); returns its number.
  int AddRow(const std::vector<Variant>& Values);
  int RowCount() const { return static_cast<int>(FRows.size()); }
  // The value of field Index of the row at Position, in display order.
  Variant RowValue(int Position, int Index);

  // The record number in window buffer i, or 0 for a buffer without one.
  int BufferRecNo(int Index);
  TBookmarkFlag BufferFlag(int Index);

  int GetRecordCount() override;
  int GetRecNo() override;
  void SetRecNo(int Value) override;
  bool GetFieldData(TField* Field, void* Buffer) override;
  void SetFieldData(TField* Field, const void* Buffer) override;
  bool BookmarkValid(const TBookmark& Bookmark) override;
  int CompareBookmarks(const TBookmark& Bookmark1, const TBookmark& Bookmark2) override;
  Variant Lookup(const AnsiString& KeyFields, const Variant& KeyValues, const AnsiString& ResultFields) override;

 protected:
  TRecordBuffer AllocRecordBuffer() override;
  void FreeRecordBuffer(TRecordBuffer& Buffer) override;
  TGetResult GetRecord(TRecordBuffer Buffer, TGetMode GetMode, bool DoCheck) override;
  int GetRecordSize() override { return FRecordSize; }
  void InternalOpen() override;
  void InternalClose() override;
  void InternalInitFieldDefs() override;
  bool IsCursorOpen() const override { return FOpen; }
  void InternalFirst() override;
  void InternalLast() override;
  void InternalSetToRecord(TRecordBuffer Buffer) override;
  void InternalGotoBookmark(const char* Bookmark) override;
  void GetBookmarkData(TRecordBuffer Buffer, char* Data) override;
  void SetBookmarkData(TRecordBuffer Buffer, const char* Data) override;
  TBookmarkFlag GetBookmarkFlag(TRecordBuffer Buffer) override;
  void SetBookmarkFlag(TRecordBuffer Buffer, TBookmarkFlag Value) override;
  void InternalInitRecord(TRecordBuffer Buffer) override;
  void InternalPost() override;
  void InternalEdit() override;
  void InternalCancel() override;
  void InternalDelete() override;
  void InternalRefresh() override;
  void ClearCalcFields(TRecordBuffer Buffer) override;

 private:
  struct Row {
    int RecNo;
    std::string Image;
  };
  // Handler-level moves: the cursor's result flags.
  enum class Move { Top, Bottom, Next, Prior, Reread };
  bool HandlerMove(Move How);
  bool Accepted(int Position);
  // Runs read with the field values taken from the row at Position (filter
  // state), then restores the state.
  template <class Read>
  auto OnRowImage(int Position, Read read);
  int PositionOf(int RecNo) const;
  void Log(const std::string& Text) {
    if (LogCalls) Calls.push_back(Text);
  }
  char* FieldPtr(TRecordBuffer Buffer, TField* Field);
  TRecordBuffer StateBuffer();
  int InfoRecNo(TRecordBuffer Buffer);
  void SetInfoRecNo(TRecordBuffer Buffer, int Value);

  std::vector<MemoryFieldSpec> FSpecs;
  std::vector<int> FOffsets;
  std::vector<int> FSizes;
  int FRecordSize = 0;
  int FInfoOffset = 0;
  int FBufferSize = 0;
  std::vector<Row> FRows;
  int FNextRecNo = 1;
  bool FOpen = false;

  // The "handler": its position (FRows.size() = after the last record)
  // and its result flags, plus the data set's own crack flags.
  int FPos = 0;
  bool FHandlerBof = false;
  bool FHandlerEof = false;
  bool FBof = false;
  bool FEof = false;
  const std::string* FFilterImage = nullptr;
};

// Field value written into a record image by position, for test set-up.
void StoreNative(TFieldType Type, int Size, const Variant& Value, char* Out);
