// Memo files: the texts of a table's memo fields, kept beside the .dbf.
//
// A memo field holds the number of its entry's first block; block n starts at
// n * block size, block 0 is the header. Three formats:
//
// dBase III ".DBT" (XBobjMemo), blocks of 512 bytes:
//
// | offset | size | meaning                                      |
// |--------|------|----------------------------------------------|
// | 0      | 4    | next free block, little-endian               |
// | 8      | 8    | table name, upper case, zero-padded          |
// | entry  | n    | the text, ended by 0x1A 0x1A                 |
//
// dBase IV ".DBT" (XBobjMemo4):
//
// | offset | size | meaning                                      |
// |--------|------|----------------------------------------------|
// | 0      | 4    | next free block, little-endian               |
// | 8      | 8    | table name, upper case, zero-padded          |
// | 18, 19 | 1, 1 | 2 and 1 (written on creation)                |
// | 20     | 2    | block size, little-endian (512 on creation)  |
// | entry  | 2    | 0xFF 0xFF                                    |
// | +2     | 2    | 8, little-endian                             |
// | +4     | 4    | entry length including these 8 bytes, LE     |
// | +8     | n    | the text                                     |
//
// FoxPro ".FPT" (XBobjFXMemo20), header 512 bytes:
//
// | offset | size | meaning                                      |
// |--------|------|----------------------------------------------|
// | 0      | 4    | next free block, big-endian                  |
// | 6      | 2    | block size, big-endian (64 on creation)      |
// | entry  | 4    | type, big-endian: 1 text (0 accepted)        |
// | +4     | 4    | data length, big-endian                      |
// | +8     | n    | the text                                     |
//
// An entry fills whole blocks; the unused tail of its last block is zeros.
// Entries of a scrambled table pass through the table's key; a dBase III
// entry then starts with its data length (4 bytes, little-endian, plain) and
// still ends with 0x1A 0x1A.
//
// The memo file belongs to its table (XBO_dBaseDBF), which must outlive it;
// errors go to the table's FoundErrorHook. Lengths and block numbers read from
// disk are checked against the file size; a damaged entry raises 1005, and a
// new text for it goes to the end of the file, never over its old blocks.
#pragma once

#include <cstdint>
#include <memory>

#include "tables/base/xbo_diskfile.h"

class XBO_dBaseDBF;

// Frozen file-format constants of the memo files.
namespace memo_format {
inline constexpr int kDB3BlockSize = 512;
inline constexpr int kDB4BlockSize = 512;
inline constexpr int kFoxBlockSize = 64;
inline constexpr int kHeaderRegion = 512;  // bytes before the first entry can start
inline constexpr int kEntryHeaderSize = 8;
inline constexpr std::uint8_t kEndMark = 0x1A;
inline constexpr std::uint32_t kFoxTypeText = 1;
inline constexpr int kNameOffset = 8;
inline constexpr int kNameLength = 8;
}  // namespace memo_format

inline constexpr std::int32_t xbCtxMemoLock = 1112;
inline constexpr std::int32_t xbCtxMemoOpen = 6101;
inline constexpr std::int32_t xbCtxMemoFormat = 6199;

class XBobjMemo : public XBO_DiskFile {
 public:
  // Opens the memo file of the table file tableFileName (extension
  // changed to ".DBT" or ".FPT" by version). A missing file is error 2
  // (context 6101).
  XBobjMemo(XBO_dBaseDBF* table, std::uint8_t version, bool shared, bool readWrite, const AnsiString& key,
            const AnsiString& tableFileName);
  ~XBobjMemo() override;

  // The right memo class for a table version (nullptr for 0x03).
  static std::unique_ptr<XBobjMemo> CreateFor(XBO_dBaseDBF* table, std::uint8_t version, bool shared, bool readWrite,
                                              const AnsiString& key, const AnsiString& tableFileName);
  // The memo file name of a table; the new extension follows the case of
  // the table's extension.
  static AnsiString MemoFileName(const AnsiString& tableFileName, std::uint8_t version);
  static bool MemoFileExists(const AnsiString& tableFileName, std::uint8_t version);
  // The table name a dBase memo header carries: the file name without
  // folder and extension, upper case, at most 8 characters.
  static AnsiString HeaderTableName(const AnsiString& tableFileName);

  void FoundErrorHook(std::int32_t code, std::int32_t context, const AnsiString& name) override;

  // Length of an entry's data; 0 for block 0. A damaged entry, or a block
  // past the end of the file, raises 1005 naming the table and the block.
  std::int64_t MemoSize(std::int64_t block);
  // Reads up to length bytes of an entry into buffer; returns what was read.
  std::int64_t MemoGet(std::int64_t block, void* buffer, std::int64_t length);
  // The whole entry as text.
  AnsiString MemoText(std::int64_t block);
  // Stores an entry: over its old blocks when it still fits, else at the
  // next free block. Returns the entry's first block. A memo lock that
  // cannot be had raises (context 1112) and returns the old block.
  std::int64_t MemoPut(std::int64_t block, const void* buffer, std::int64_t length);

  virtual void SetLockProtocol(int mode);
  // Gives the memo file the name that goes with the table's new name; a
  // dBase header also gets the new table name.
  bool RenameForTable(const AnsiString& newTableFileName);

  int BlockSize() const { return FBlockSize; }
  // The region the memo lock takes.
  std::int64_t MemoLockOffset() const;
  std::int64_t MemoLockLength() const;

 protected:
  // Entry length from the entry at block, which starts inside the file;
  // false for a damaged entry (a header that is cut short or wrong, data
  // past the end of the file).
  virtual bool EntryLength(std::int64_t block, std::int64_t& length);
  // Bytes in front of the data and after it.
  virtual int EntryPrefixLength() const;
  virtual int EntrySuffixLength() const;
  virtual void BuildEntryHeader(std::uint8_t* entry, std::int64_t length);
  virtual void WriteNextFree(std::uint32_t next);
  virtual bool HasTableName() const { return true; }

  void FormatError();
  // Error 1005 naming the memo file, the block and the table.
  void EntryError(std::int64_t block);
  // The data length of the entry at block (> 0); false for a damaged entry,
  // one past the end of the file included (reported when report is set).
  bool EntryFound(std::int64_t block, std::int64_t& length, bool report);
  std::int64_t DataLimit(std::int64_t offset);
  // Takes a stored data length whose data starts at dataOffset; false (a
  // damaged entry) when the file ends first.
  bool StoredLength(std::int64_t stored, std::int64_t dataOffset, std::int64_t& length);

  XBO_dBaseDBF* FTable;
  std::uint8_t FVersion;
  int FBlockSize = memo_format::kDB3BlockSize;
  bool FEncrypted = false;
  AnsiString FKey;
  std::uint8_t FLockMode = 0;
  std::int64_t FFileLockBase = 0;
  std::int64_t FRecordLockBase = 0;
  std::int64_t FFileLockLength = 0;

 private:
  bool LockMemo();
  std::uint32_t BlocksFor(std::int64_t dataLength);
};

class XBobjMemo4 : public XBobjMemo {
 public:
  XBobjMemo4(XBO_dBaseDBF* table, std::uint8_t version, bool shared, bool readWrite, const AnsiString& key,
             const AnsiString& tableFileName);

 protected:
  bool EntryLength(std::int64_t block, std::int64_t& length) override;
  int EntryPrefixLength() const override { return memo_format::kEntryHeaderSize; }
  int EntrySuffixLength() const override { return 0; }
  void BuildEntryHeader(std::uint8_t* entry, std::int64_t length) override;
};

class XBobjFXMemo20 : public XBobjMemo {
 public:
  XBobjFXMemo20(XBO_dBaseDBF* table, std::uint8_t version, bool shared, bool readWrite, const AnsiString& key,
                const AnsiString& tableFileName);

 protected:
  bool EntryLength(std::int64_t block, std::int64_t& length) override;
  int EntryPrefixLength() const override { return memo_format::kEntryHeaderSize; }
  int EntrySuffixLength() const override { return 0; }
  void BuildEntryHeader(std::uint8_t* entry, std::int64_t length) override;
  void WriteNextFree(std::uint32_t next) override;
  bool HasTableName() const override { return false; }
};
