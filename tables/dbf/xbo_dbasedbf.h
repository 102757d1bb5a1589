// XBO_dBaseDBF: one open .dbf table file.
//
// Reads and checks the header and the field descriptors, keeps one record
// buffer, reads, writes and appends records by number, keeps the header's
// record count and update stamp current, takes the header, table and record
// locks of the chosen lock protocol and owns the table's memo file.
//
// File layout (integers little-endian):
//
// | offset   | size   | meaning                                                  |
// |----------|--------|----------------------------------------------------------|
// | 0        | 1      | version byte (table below)                               |
// | 1        | 3      | last update: year mod 100, month, day                    |
// | 4        | 4      | record count (written; on open recomputed from the size) |
// | 8        | 2      | header length = offset of record 1                       |
// | 10       | 2      | record length, deletion flag included                    |
// | 12       | 2      | kept as read                                             |
// | 14       | 1      | append mark (see kIncompleteWrite); as the file has it   |
// | 15       | 1      | 1 = records and descriptors scrambled with the key       |
// | 16       | 4      | stamp ((hour*64+min)*64+sec)*1024+ms of last update      |
// | 20       | 4      | user number of the last writer                           |
// | 24       | 4      | kept as read                                             |
// | 28       | 1      | flags: 1 production index, 2 memo (0x30), 4 container    |
// | 29       | 3      | kept as read                                             |
// | 32       | 32 * n | field descriptors                                        |
// | 32+32n   | 1      | terminator 0x0D, 0x0A read too (0x30: 263 more follow)   |
// | hdrlen   | reclen | records; byte 0 is ' ' (live) or '*' (deleted)           |
// | end      | 1      | 0x1A after the last record                               |
//
// Field descriptor (32 bytes):
//
// | offset | size | meaning                                                   |
// |--------|------|-----------------------------------------------------------|
// | 0      | 11   | name, zero-padded                                         |
// | 11     | 1    | type letter                                               |
// | 12     | 4    | (file value ignored; the offset is recomputed on open)    |
// | 16     | 1    | length                                                    |
// | 17     | 1    | decimals; for C the high byte of the length               |
// | 18     | 14   | kept as read                                              |
//
// | version | dialect                          | memo file                       |
// |---------|----------------------------------|---------------------------------|
// | 0x03    | dBase III/IV, FoxPro, no memo    | none                            |
// | 0x83    | dBase III with memo              | dBase III ".DBT"                |
// | 0x8B    | dBase IV with memo               | dBase IV ".DBT"                 |
// | 0xF5    | FoxPro 2 with memo               | FoxPro ".FPT"                   |
// | 0x30    | FoxPro with raw B, I, T, Y types | ".FPT" when flag 2 is set, or   |
// |         |                                  | a M/G field has its .FPT beside |
//
// Ownership: the table owns its buffers, its descriptors and its memo file
// object; the expression link slot holds whatever the expression layer
// attached. Failures go through FoundErrorHook and raise EXBaseError (or
// EXBaseEncryption for key problems); a constructor that fails leaves nothing
// open.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "tables/base/xbo_diskfile.h"

class XBobjMemo;

// Frozen file-format constants of the table file.
namespace dbf_format {
inline constexpr std::uint8_t kVersionPlain = 0x03;
inline constexpr std::uint8_t kVersionDB3Memo = 0x83;
inline constexpr std::uint8_t kVersionDB4Memo = 0x8B;
inline constexpr std::uint8_t kVersionFoxMemo = 0xF5;
inline constexpr std::uint8_t kVersionVisualFox = 0x30;
inline constexpr int kHeaderSize = 32;
inline constexpr int kDescriptorSize = 32;
inline constexpr int kVisualFoxExtra = 263;  // bytes after the terminator in 0x30 headers
inline constexpr std::uint8_t kTerminator = 0x0D;
// Also read as the terminator: older tools, or a text-mode copy, left a line
// feed there, and other readers accept it. Only 0x0D is ever written.
inline constexpr std::uint8_t kTerminatorLineFeed = 0x0A;
inline constexpr bool IsTerminator(std::uint8_t b) { return b == kTerminator || b == kTerminatorLineFeed; }
inline constexpr std::uint8_t kEndOfFile = 0x1A;
inline constexpr char kLiveFlag = ' ';
inline constexpr char kDeletedFlag = '*';
// Header byte that is not 0 while a write stands between its record and its
// keys (dBase IV's incomplete-transaction flag): a writer stopped there
// leaves it set. Only the handler's appends write it; header writes of a
// shared table leave it as the file has it, since another program may have
// set or cleared it since this one read the header.
inline constexpr int kIncompleteWrite = 14;
inline constexpr std::uint8_t kFlagStructuralIndex = 0x01;
inline constexpr std::uint8_t kFlagMemo = 0x02;
inline constexpr std::uint8_t kFlagContainer = 0x04;
// True when a field of this type refers to a memo entry; in 0x30 tables
// B is an 8-byte binary number instead.
inline constexpr bool HoldsMemo(char type, std::uint8_t version) {
  return type == 'M' || type == 'G' || (type == 'B' && version != kVersionVisualFox);
}
}  // namespace dbf_format

// Context codes of the table file.
inline constexpr std::int32_t xbCtxTableHeader = 1204;
inline constexpr std::int32_t xbCtxRecordRead = 1207;

// Engine codes of the table and field layers.
inline constexpr std::int32_t xbErrBadHeader = 1001;
inline constexpr std::int32_t xbErrBeyondEOF = 1002;
inline constexpr std::int32_t xbErrBadFieldName = 1003;
inline constexpr std::int32_t xbErrBadFieldType = 1004;
inline constexpr std::int32_t xbErrMemoFormat = 1005;
inline constexpr std::int32_t xbErrNumberTooLarge = 1011;

// Positioning codes of ReadRecord.
inline constexpr int xbNext = -1;
inline constexpr int xbPrior = -2;
inline constexpr int xbTop = -3;
inline constexpr int xbBottom = -4;
inline constexpr int xbCurrent = -5;

// Table states (TableState): ready once opened; while appending, a record
// write appends; the handler's own states while it builds an index or
// changes the key.
enum class XBTableState : std::uint8_t { Closed = 0, Ready = 1, Appending = 3, BuildingIndex = 4, ChangingKey = 5 };

// Lock protocols (TxbLokProtocol).
enum TxbLokProtocol : std::uint8_t { Default = 0, DB4Lock = 1, ClipLock = 2, FoxLock = 3 };

// Status codes passed to RecordChanged.
inline constexpr int xbStatusBlanked = 0;
inline constexpr int xbStatusOpened = 2;
inline constexpr int xbStatusBeforeRead = 4;
inline constexpr int xbStatusBeforeWrite = 5;
inline constexpr int xbStatusAfterRead = 6;
inline constexpr int xbStatusAfterWrite = 7;
inline constexpr int xbStatusAfterFlush = 8;

// One field as the table sees it: descriptor values with the length of a C
// field already widened by its high byte.
struct XBFieldDesc {
  AnsiString Name;              // upper case, trailing zeros removed
  char Type = 'C';              // type letter as stored
  int Offset = 0;               // offset inside the record (1 for the first field)
  int Length = 0;               // bytes in the record
  int Decimals = 0;             // 0 for C fields
  int Number = 0;               // 1-based
  std::uint8_t LengthByte = 0;  // descriptor byte 16 as stored
};

// What the expression layer attaches to a table (its table link). The table
// only owns it; see XBO_dBaseDBF::ExpressionLink.
class XBTableLinkBase {
 public:
  virtual ~XBTableLinkBase() = default;
};

class XBO_dBaseDBF : public XBO_DiskFile {
 public:
  // Opens the table: name trimmed, ".DBF" added when it has no extension.
  // Raises on a missing or damaged file, a key for a plain table, no key or
  // a wrong key for a scrambled one.
  XBO_dBaseDBF(const AnsiString& name, bool shared, bool readWrite, const AnsiString& key);
  ~XBO_dBaseDBF() override;

  XBO_dBaseDBF(const XBO_dBaseDBF&) = delete;
  XBO_dBaseDBF& operator=(const XBO_dBaseDBF&) = delete;

  // Appends the current record as the new last record. On a shared table
  // the header lock is retried like memo locks; when it cannot be had the
  // error is 33 and nothing is written.
  virtual void AppendRecord();
  // Status notification at each step (xbStatus...); the base only resets
  // the record-modified flag and the state after reads and writes. The
  // "opened" notification comes from the constructor, so only this class's
  // own version hears it.
  virtual void RecordChanged(int code, int value);
  // n >= 1 reads record n; xbNext, xbPrior, xbTop, xbBottom, xbCurrent
  // move; 0 does nothing. Reading count + 1 only sets the EOF flag.
  virtual void ReadRecord(int code);
  virtual bool LockHeader();
  virtual bool LockTable();
  virtual bool LockWholeTable();
  // Releases one lock level; the last level of a table lock writes a
  // pending header.
  virtual bool Unlock();
  // Locks the current record.
  virtual bool LockRecord();
  // Writes the current record as record n; outside 1..count (or in table
  // state 3) it appends.
  virtual void WriteRecord(int n);
  virtual void SetLockProtocol(int protocol);
  // Where a lock protocol (0..3) puts its locks: the whole-file region
  // (fileBase, fileLength) and the base that record or memo block numbers
  // are counted from. Table and memo file use the same placement.
  // The table file name for a given name: trimmed, with ".DBF" added when
  // the name part has no extension.
  static AnsiString TableFileName(const AnsiString& name);
  static void LockRegionsOf(int protocol, std::int64_t& fileBase, std::int64_t& recordBase, std::int64_t& fileLength);
  virtual bool UseRecNoLock();

  bool FlushFile() override;
  bool Rename(const AnsiString& newName) override;

  void SetUserID(std::int32_t id) { UserID = id; }

  // The memo file, created on first use; nullptr for a table without memo.
  XBobjMemo* MemoFile();
  // Reopens the memo file so that its entries are read and written under
  // key from now on (the table's own key is left alone). Entries already
  // stored are not converted: the caller rewrites them.
  void SetMemoKey(const AnsiString& key);

  // Re-reads the header of a shared table and recomputes the count.
  void RefreshHeader();
  // Writes the header when it is dirty, the file is writable and no table
  // lock is held.
  void WriteHeader();

  // The byte offset of record n.
  std::int64_t RecordPosition(std::int32_t n) const {
    return static_cast<std::int64_t>(n - 1) * RecordLength + HeaderLength;
  }
  // Lock offsets of the current protocol.
  std::int64_t FileLockBase() const { return FFileLockBase; }
  std::int64_t RecordLockBase() const { return FRecordLockBase; }
  std::int64_t FileLockLength() const { return FFileLockLength; }
  // The byte LockRecord takes for record n.
  std::int64_t RecordLockOffset(std::int32_t n);

  // Points the table's current record at another buffer for a scope
  // (nothing when the buffer is null), so that reads fill it and writes
  // take it. With keep, the record the table ends on is copied into the
  // table's own buffer at the end, so that later moves start from its key.
  class RecordRedirect {
   public:
    RecordRedirect(XBO_dBaseDBF& table, char* buffer, bool keep = false)
        : FTable(table), FSaved(table.CurRecord), FKeep(keep && buffer) {
      if (buffer) table.CurRecord = buffer;
    }
    ~RecordRedirect() {
      if (FKeep && FTable.CurRecord != FSaved) std::memcpy(FSaved, FTable.CurRecord, std::size_t(FTable.RecordLength));
      FTable.CurRecord = FSaved;
    }
    RecordRedirect(const RecordRedirect&) = delete;
    RecordRedirect& operator=(const RecordRedirect&) = delete;

   private:
    XBO_dBaseDBF& FTable;
    char* FSaved;
    bool FKeep;
  };

  // The slot the expression layer fills with the table's link.
  std::unique_ptr<XBTableLinkBase>& ExpressionLink() { return FExpLink; }

  const std::vector<XBFieldDesc>& Fields() const { return FFields; }

  // --- state shared with the field layer, the handler and the adapter ---
  std::uint8_t Version = 0;
  std::uint8_t HeaderImage[dbf_format::kHeaderSize] = {};
  bool HeaderDirty = false;
  XBTableState TableState = XBTableState::Closed;
  std::int32_t RecordCount = 0;
  std::int32_t HeaderLength = 0;
  std::int32_t RecordLength = 0;
  std::int32_t FieldCount = 0;
  std::int32_t RecNo = 0;          // current record, 0 before the first read
  std::vector<char> RecordBuffer;  // RecordLength + 1 bytes, ends in 0x1A
  char* CurRecord = nullptr;       // the current record (RecordBuffer unless redirected)
  std::vector<char> SavedRecord;   // the record as last read or written
  std::vector<char> FieldChanged;  // [0] record, [i] field i
  bool EOFFlag = false;
  bool BOFFlag = true;
  bool TableLocked = false;
  bool StructuralIndex = false;
  bool MemoPresent = false;  // header flag bit 1
  bool DatabaseContainer = false;
  std::int32_t LastStamp = 0;
  bool ChangedByOther = false;
  bool RecordWritten = false;
  bool RecordModified = false;
  bool AutoFlush = false;
  bool Encrypted = false;
  AnsiString ReadKey;
  AnsiString WriteKey;
  std::int32_t UserID = 0;
  bool HasMemo = false;
  bool UseDeleted = true;
  bool ExactMatch = false;
  std::uint8_t LockProtocol = Default;

 protected:
  // Reports an engine error through FoundErrorHook and returns normally
  // only when a replacement hook does.
  void TableError(std::int32_t code, std::int32_t context, const AnsiString& text);
  // Writes the current record at record n's position (scrambled when the
  // table has a key), followed by 0x1A when it is the last record.
  void WriteRecordBytes(std::int32_t n, bool withEndMark);
  // Record count the file size gives.
  std::int32_t CountFromSize();
  // LockHeader, retried like memo locks on a shared table (tried once on
  // an exclusive one).
  bool LockWithRetry();

  std::vector<std::uint8_t> FDescriptorArea;
  std::vector<XBFieldDesc> FFields;
  std::vector<char> FWorkBuffer;

 private:
  void OpenTable();
  void ParseDescriptors();

  std::int64_t FFileLockBase = 0;
  std::int64_t FRecordLockBase = 0;
  std::int64_t FFileLockLength = 0;
  std::unique_ptr<XBobjMemo> FMemo;
  std::unique_ptr<XBTableLinkBase> FExpLink;
};
