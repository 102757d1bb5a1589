// XBO_dBHandler: the table object that everything above the file formats
// works with. A table file with field access and memo file, plus
//  - up to 63 open index files in slots 1..63 (every loop walks them in slot
//    order); one tag of one of them may be active and then gives the order;
//  - a filter: an xBase expression whose passing record numbers are held in
//    a bit set built once per filter text (moving costs a bit test);
//  - the record-acceptance hook AcceptRecord and the status hook
//    StatusUpdate that a descendant overrides;
//  - blocks of records read at once (record_blocks.h), see "Read-ahead"
//    below.
//
// Positioning codes of GetRec (and of ReadRecord, which is the same call):
// -3 top, -4 bottom, -1 next, -2 prior, -5 re-read, n >= 1 record n. Moving
// codes (-1 .. -4) skip records marked deleted (unless UseDeleted), records
// whose filter bit is clear and records AcceptRecord refuses; reading by
// number shows any record.
//
// Read-ahead (SetReadAhead; off from creation, switched on by the passes
// over the whole table in record order and put back after them):
//  - A table open exclusively reads its records in blocks while the
//    read-ahead is on, and also without it while the reads go along the
//    file (a walk in tag order over records stored in that order); a few
//    blocks are held. Nobody else writes it, so they stay good until this
//    object drops them; its own writes go into them.
//  - A shared table with the read-ahead off reads every record it moves to
//    from the file, so each move shows what other programs wrote before
//    it. It reads through the file's shared view (OsFile::ReadMapped), as
//    fresh as a read call and without one. With the read-ahead on it reads
//    one batch (a block) at a time: a step onto a record of the batch is
//    served from it, as the file was when the batch was read; the next
//    move that leaves the batch reads a new one. Moves through the active
//    tag switch the read-ahead off.
//  - Whatever the mode, a walk from the top or the bottom, a seek, a read
//    by number and a re-read of a shared table read the record from the
//    file, and every table lock, flush and refresh drops the blocks.
//
// Writes (AppendRecord, WriteRecord) lock every open index file first; when
// one cannot be locked the others are released and error 33 is raised
// through the error hook; nothing is written. Then every tag is asked
// whether it can take the write (XBobjIndexTag::CheckUpdate): while an open
// index file has a tag this engine cannot keep current (an expression it
// cannot compile or evaluate, or one reading fields it gets raw), the table
// is read-only; a tag whose expression fails on the record, or that lacks
// the entry of an edited record, refuses the write. Either way nothing is
// written (EXBaseIndexWriteRefused, or the damaged-index error). An append
// with index files open holds the header lock and marks the table header
// (byte 14) from before its record until its keys are written; one that
// fails before its record is whole in the file clears the mark again, and
// a rebuild of every open index file clears one a stopped writer left. The
// index files of a shared table are locked for a move as well, and a tag
// whose file another program may have changed is put back on its entry
// first (see "Walks of a shared table" in xb_handler_walk.cpp): a step
// through the active tag that stays in its loaded leaf takes no lock while
// that leaf is trusted, and the record it reads must give the entry it
// came from.
//
// Index files are opened by extension from a list (IndexOpenList); the
// formats are looked up in a registry (xb_handler_index.h) so that every
// format only talks to the common index interface.
//
// Failures go through FoundErrorHook and raise EXBaseError with the default
// error hook. Errors of the handler's own: "Filter expression must return
// boolean result", "Cannot find index tag %s", "Tag Field is Empty" (5117),
// 2 and 2112 for index files that are missing or not of their format, 33 for
// locks, 5 (context 2105) for a key change of a shared table.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "tables/dbf/xb_fields.h"
#include "tables/handler/record_blocks.h"
#include "tables/index/xb_index.h"

class TxbExpHandler;
class TxbHugeSet;
class XBO_dBHandler;

namespace vx {
class HandlerIndexLink;
}

// The handler hands its positioned-read codes to the active tag.
static_assert(xbKeyNext == xbNext && xbKeyPrior == xbPrior && xbKeyTop == xbTop && xbKeyBottom == xbBottom &&
              xbKeyCurrent == xbCurrent);

// IndexFileOpen's answer for a file open already.
inline constexpr int xbIndexAlreadyOpen = -1;

// Sort codes of IndexOn.
inline constexpr int xbSortAscending = 0;
inline constexpr int xbSortDescending = 1;
inline constexpr int xbSortGeneralAscending = 7;  // with the "GENERAL" collation
inline constexpr int xbSortGeneralDescending = 8;

// Context code of a key change refused for a shared table.
inline constexpr std::int32_t xbCtxChangeKey = 2105;
// Engine codes of the handler's index work.
inline constexpr std::int32_t xbErrIndexInvalid = 2112;
inline constexpr std::int32_t xbErrTagEmpty = 5117;
inline constexpr std::int32_t xbCtxTagEmpty = 5114;
inline constexpr std::int32_t xbErrTooManyIndexes = 2113;

// An index file that lacks the entry of the table's last record: a writer
// stopped between writing the record and its keys, so walks and seeks would
// miss the record. Raised when such a file is opened; the file is not
// opened, and rebuilding its tags (IndexFileRebuild, or IndexOn per tag)
// mends it. A unique tag without any entry of the key counts only while the
// table's header is marked by an append stopped before its keys.
class EXBaseIndexOutOfDate : public EXBaseError {
 public:
  using EXBaseError::EXBaseError;
};

class XBO_dBHandler : public XBO_dBaseFld {
 public:
  static constexpr int kMaxIndexFiles = 63;
  static constexpr int kReadAheadSize = 32768;
  static constexpr int kMaxTagName = 31;
  static constexpr int kMaxExpression = 255;

  // Opens the table as the table file does (name, shared, readWrite, key).
  XBO_dBHandler(const AnsiString& name, bool shared, bool readWrite, const AnsiString& key);
  ~XBO_dBHandler() override;

  // ---- the table file's operations, overridden
  // Read: served from the read-ahead block at or beyond the header.
  int Read(std::int64_t offset, void* buffer, int count) override;
  // Write: writes through and keeps the held block current.
  int Write(std::int64_t offset, const void* buffer, int count) override;
  bool Rename(const AnsiString& newName) override;
  void AppendRecord() override;
  void RecordChanged(int code, int value) override;
  void ReadRecord(int code) override;
  void WriteRecord(int n) override;
  void SetLockProtocol(int protocol) override;
  bool LockHeader() override;
  bool LockTable() override;
  bool LockWholeTable() override;
  bool LockRecord() override;
  bool FlushFile() override;
  // Answers no table function (-1).
  int ExternalFunction(const AnsiString& command, const AnsiString& name, char& typeLetter, void* exchange) override;

  // ---- the handler's names for them
  int ReadBlock(std::int64_t offset, void* buffer, int count);
  int WriteBlock(std::int64_t offset, const void* buffer, int count);
  // Renames the table (and memo), then every open index file whose base
  // name was the table's base name.
  bool RenameTable(const AnsiString& newName);
  void Append();
  void Rewrite(int n);
  // The positioned read through the active order and the filter.
  virtual void GetRec(int code);

  // ---- edits from record buffers of the caller's own (the data set's)
  // Makes record n the current record number and locks it; false when the
  // lock is refused.
  bool LockForEdit(std::int32_t n);
  // Appends the record held in buffer; the table's own record holds it
  // afterwards.
  void AppendFrom(char* buffer);
  // Rewrites record n from buffer. before is the record as the edit found
  // it: the index files find the old keys in it, and the record counts as
  // changed when it differs.
  void PostEdit(std::int32_t n, char* buffer, const char* before);
  // Places the table after its last record, where an appended record goes.
  void StandAfterEnd();

  // ---- operations the handler adds
  bool HasIndex() const { return FIndexFiles[0] != nullptr; }
  // Seeks key text in the active tag; see the .cpp for the steps.
  virtual bool Find(const AnsiString& key);
  // Exact seek in a named tag without moving; the record number, 0 when the
  // key is not there, -1 when no open file has that tag.
  virtual std::int32_t FindInTag(const AnsiString& tagName, const AnsiString& key);
  // Moves count records in the active order (0 re-reads).
  virtual void SkipRecords(int count);
  // Record-acceptance hook of moving reads; true here.
  virtual bool AcceptRecord();
  // Progress of long work (code, value, total); nothing here.
  virtual void StatusUpdate(int code, int value, int total);
  // The table's character translation of names kept in its index files:
  // into the file's code page (toTable) or back. None here; the data set
  // gives its own (TranslateASCII).
  virtual AnsiString TranslateName(const AnsiString& text, bool toTable) const { return text; }
  // Locks every open index file; on a refusal releases those locked, sets
  // the last error 33 and returns false.
  virtual bool LockIndexFiles();
  void UnlockIndexFiles();
  // Re-enciphers the table (records, memo entries, descriptors, index
  // pages) under a new key (xb_handler_files.cpp, with RenameTable). The
  // memo entries are all read first: a damaged one stops the change before
  // anything is written. Refused for a shared table (error 5, context 2105).
  virtual void ChangeKey(const AnsiString& newKey);

  void SetReadAhead(bool on);
  bool ReadAheadOn() const { return FReadAheadOn; }
  void SetFilterExpression(const AnsiString& text, bool caseInsensitive, bool partial);
  void SetFilterActive(bool wanted);
  void RebuildFilter();
  // Key range of the active tag; false without one. The option bytes go to
  // the tag unchanged (prefix match, low flag, high flag).
  bool SetRange(const AnsiString& low, const AnsiString& high, std::uint8_t prefixMatch, std::uint8_t lowFlag,
                std::uint8_t highFlag);
  void ClearRange();

  // ---- index files (xb_handler_index.cpp)
  // Opens the files of a list (blanks, commas, semicolons separate; double
  // quotes group), then selects tagName keeping the position. 0 on
  // success, 1 for an empty list, else the failing file's code.
  int IndexOpenList(const AnsiString& list, const AnsiString& tagName);
  // Full upper-case name: table's folder when none, ".NDX" when no extension.
  AnsiString IndexFileName(const AnsiString& name) const;
  // Slot (1..63) holding that file, 0 when none.
  int FindIndexFile(const AnsiString& name) const;
  // The n-th tag (from 1) over the open files in slot order; null outside.
  XBobjIndexTag* TagByNumber(int n) const;
  // 0 opened, xbIndexAlreadyOpen, 2 not found, 2112 not of its format.
  // A file whose tags lack the table's last record raises
  // EXBaseIndexOutOfDate (one seek per tag, under the file's lock when
  // shared, so a writer between a record and its keys is waited for). Each
  // tag's expressions are tried on that record too: a tag they fail on
  // makes the table read-only while the file is open.
  int IndexFileOpen(const AnsiString& name);
  // The first open tag lacking the entry of the table's last record, as
  // "tag NAME of FILE"; empty when every tag holds it.
  AnsiString IndexLackingLastRecord();
  void IndexCloseAll();
  // Builds a tag. uniqueCode 0 = unique; sortCode one of xbSort.... A
  // compound file with a tag this engine cannot keep current takes no new
  // tag (EXBaseIndexWriteRefused); a key or FOR expression reading fields
  // the table gives raw is refused.
  void IndexOn(const AnsiString& fileName, const AnsiString& tagName, const AnsiString& keyExpr,
               const AnsiString& forExpr, int uniqueCode, int sortCode);
  // Rebuilds every tag of one index file from the expressions, FOR
  // conditions and options it holds, whether it is open or not (a file the
  // check at opening refuses is mended this way). Errors 2 and 2112 as for
  // opening. A file with a tag this engine cannot keep current is refused
  // (EXBaseIndexWriteRefused) and left as it was; so is one whose rebuild
  // fails, the error raised again.
  void IndexFileRebuild(const AnsiString& name);
  // Makes a tag active (empty name: record order); the slot of its file.
  int SelectTag(const AnsiString& tagName, bool keepPosition);
  // Rebuilds every open index file, refused as IndexFileRebuild is before
  // any is touched; then goes to the top.
  void Reindex();

  // ---- copying and searching (xb_copy.cpp)
  // Copies structure and visible records (in the active order, with memos)
  // to a new table enciphered with key.
  void CopyTable(const AnsiString& newName, const AnsiString& key);
  // Appends the current record (and its memo entries) to target, which
  // must have the same record layout.
  void CopyRecord(XBO_dBHandler& target);
  // Finds the first visible record whose fields (";"-separated) hold the
  // values; positions on it.
  bool LocateRecord(const AnsiString& fieldList, const std::vector<AnsiString>& values, bool partial,
                    bool caseInsensitive);

  // ---- state
  XBobjIndexFile* IndexFile(int slot) const {
    return slot >= 1 && slot <= kMaxIndexFiles ? FIndexFiles[slot - 1].get() : nullptr;
  }
  XBobjIndexTag* ActiveTag() const { return FActiveTag; }
  const AnsiString& ActiveTagName() const { return FActiveTagName; }
  bool Found() const { return FFound; }
  bool Positioned() const { return FPositioned; }
  bool OutOfView() const { return FOutOfView; }
  bool FilterActive() const { return FFilterActive; }
  bool FilterWanted() const { return FFilterWanted; }
  const AnsiString& FilterText() const { return FFilterText; }
  // Whether record n passes the filter (true without an active filter).
  bool FilterPasses(std::int32_t n) const;
  vx::HandlerIndexLink& IndexLink() { return *FLink; }

  bool ReadAheadAllowed = true;

 protected:
  // Saves what a pass over the whole table changes (the active tag, the
  // read-ahead and, with keepState, the table state) and puts it back on
  // every exit, exceptions included.
  class PassGuard {
   public:
    PassGuard(XBO_dBHandler& handler, bool keepState);
    ~PassGuard();
    PassGuard(const PassGuard&) = delete;
    PassGuard& operator=(const PassGuard&) = delete;

   private:
    XBO_dBHandler& FHandler;
    XBobjIndexTag* FTag;
    bool FReadAhead;
    bool FKeepState;
    XBTableState FState;
  };

  // Sets or clears the header's mark of a write between its record and its
  // keys, on disk at once.
  void MarkIncompleteWrite(bool on);
  // Every open tag's CheckUpdate for a write of record `record` (0 for an
  // append): raises before anything is written.
  void CheckIndexWrites(std::int32_t record, bool appending);
  // The table file's own positioned read, without order, filter or hooks.
  void ReadPlain(int code) { XBO_dBaseFld::ReadRecord(code); }
  void DropReadAhead() { FBlocks.Drop(); }
  // The key of a text in the form of a tag's keys.
  XBobjIndexKeyData KeyFromText(XBobjIndexTag& tag, const AnsiString& text);
  void RecomputeFilterActive();
  // Sets the bits of the records passing the filter; returns the type of
  // the first result the expression gave (xtNone when it failed on every
  // record or there was none).
  std::uint8_t BuildFilterBits();
  // ---- walks of a shared table (xb_handler_walk.cpp)
  bool NeedsIndexReadLock() const;
  // Under the index lock, before the move `code` of a walk going in
  // `direction`: puts the active tag back on its entry when the pages
  // behind its loaded path may have changed, or always with `reread` (the
  // record read did not give the entry). Returns the code to move by
  // (xbCurrent re-reads the entry it stands on); `refound` tells whether
  // the tag was put back. Trusts the tag's path from here on.
  int RefindActiveTag(int code, int direction, bool reread, bool& refound);
  // Whether the move `code` may step without the index lock: a step within
  // the active tag's loaded leaf while that leaf is trusted.
  bool StepsInTrustedLeaf(int code);
  // Whether the active tag's loaded path was found current within the
  // present tick of the coarse clock.
  bool ActiveTagTrusted();
  void TrustActiveTag();
  // A walk through the active tag that passed more entries than the table
  // has records comes from a damaged index: raises its error.
  void CheckWalkLength(std::int64_t entries);
  void AlignActiveTag();
  void RaiseLockRefused(std::int32_t context = xbCtxWrite);
  void CheckOutOfView();
  // Opens (create = false) or creates an index file through the format
  // registry; the object or null with code set to 2 or 2112.
  std::unique_ptr<XBobjIndexFile> MakeIndexFile(const AnsiString& pathName, bool create, bool overwrite, int& code);
  AnsiString IndexPathName(const AnsiString& name) const;
  // Runs work with the table's last record read into a scratch buffer as
  // the current record; the table is left as it was. Nothing on an empty
  // table.
  void OnLastRecord(const std::function<void()>& work);
  // The first tag of file lacking the last record's entry ("" when none).
  AnsiString TagLackingLastRecord(XBobjIndexFile& file);
  // Every tag of file tries its expressions on the last record
  // (XBobjIndexTag::TryExpressions).
  void TryTagExpressions(XBobjIndexFile& file);
  // Rebuilds the files (XBobjIndexFile::Rebuild) and stands where the table
  // stood. When one of them has a tag this engine cannot keep current,
  // none is touched (EXBaseIndexWriteRefused); a file whose rebuild fails
  // has its former bytes again and, when open, is opened anew in its slot.
  // When the files rebuilt are every index file the table has open, an
  // append mark a stopped writer left is cleared: the keys it stood for are
  // all in the files now.
  void RebuildIndexFiles(const std::vector<XBobjIndexFile*>& files);
  bool CoversEveryOpenIndexFile(const std::vector<XBobjIndexFile*>& files) const;
  void ClearStaleAppendMark();
  // Opens the file of a slot again (its object no longer matches its
  // bytes); `active` when the active tag was one of its tags, which is then
  // looked up by name in the new object.
  void ReopenIndexFile(XBobjIndexFile& file, bool active);

  std::array<std::unique_ptr<XBobjIndexFile>, kMaxIndexFiles> FIndexFiles;
  XBobjIndexTag* FActiveTag = nullptr;
  AnsiString FActiveTagName;

  bool FReadAheadOn = false;
  XBRecordBlocks FBlocks;
  std::int64_t FLastRead = -1;  // offset of the last record read from the file
  std::uint64_t FTagMoves = 0;  // the active tag's file's version moves last seen
  // The tag whose loaded path was last found current, and the coarse
  // clock's time when it was.
  const XBobjIndexTag* FTrustedTag = nullptr;
  std::uint64_t FTrustedAt = 0;
  static constexpr int kUntimedSteps = 7;  // trusted steps between two looks at the clock
  int FUntimedSteps = 0;

  bool FFound = false;
  bool FPositioned = false;
  bool FOutOfView = false;

  AnsiString FFilterText;
  std::unique_ptr<TxbExpHandler> FFilterExpr;
  bool FFilterCaseInsensitive = false;
  bool FFilterPartial = true;
  std::unique_ptr<TxbHugeSet> FFilterBits;
  bool FFilterWanted = false;
  bool FFilterActive = false;

  std::unique_ptr<vx::HandlerIndexLink> FLink;
};
