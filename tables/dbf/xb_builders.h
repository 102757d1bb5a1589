// Table builders: write a new, empty table and, when it has memo fields, an
// empty memo file of its dialect.
//
// Usage: create a builder, AddField each field, then Write(). Write raises
// on failure; a builder freed without Write writes then, swallowing errors
// (call Write to see them).
//
// Table written (integers little-endian):
//
// | offset     | size | meaning                                              |
// |------------|------|------------------------------------------------------|
// | 0          | 1    | memo version when a memo field was added, else 0x03  |
// | 1          | 3    | today: year mod 100, month, day                      |
// | 4          | 4    | record count 0                                       |
// | 8          | 2    | header length 32 * fields + 33                       |
// | 10         | 2    | record length (1 + field lengths)                    |
// | 12         | 20   | zero                                                 |
// | 32 * i     | 32   | descriptor of field i (from 1)                       |
// | 32 * (n+1) | 1    | terminator 0x0D                                      |
// | +1         | 1    | end-of-file mark 0x1A                                |
//
// Descriptor: bytes 0-10 name (at most 10 characters, upper case, zero
// padded), 11 type letter, 12-15 zero, 16 length, 17 decimals (for C the
// high byte of the length), 18-31 zero.
//
// Empty memo files (table name with the extension changed):
//
// | builder        | file   | content                                                |
// |----------------|--------|--------------------------------------------------------|
// | XBO_DBFBuild   | ".DBT" | 512 bytes: 0-3 = 1 (LE), base name at 8; then 0x1A     |
// | XBO_DB4Build   | ".DBT" | 24 bytes: 0-3 = 1 (LE), base name at 8, 18 = 2, 19 = 1,|
// |                |        | 20-21 = 512 (LE)                                       |
// | XBO_DBFoxBuild | ".FPT" | 512 bytes: 0-3 = 8 (BE), 6-7 = 64 (BE)                 |
//
// Lengths are checked when a field is added, before anything is written: a
// field other than C longer than 255 (or with more than 255 decimals), a C
// field longer than 65535, and a record or header length beyond 65535 are
// refused with EXBaseError.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/rtl/cp1251.h"

class XBO_DBFBuild {
 public:
  explicit XBO_DBFBuild(const AnsiString& fileName);
  virtual ~XBO_DBFBuild();

  XBO_DBFBuild(const XBO_DBFBuild&) = delete;
  XBO_DBFBuild& operator=(const XBO_DBFBuild&) = delete;

  // Adds a field; an empty name adds nothing, longer names are cut to 10.
  virtual void AddField(const AnsiString& name, char type, int length, int decimals);
  // Creates the table file (and memo file) now. Runs once; raises on failure.
  void Write();

  const AnsiString& FileName() const { return FFileName; }
  int RecordLength() const { return FRecordLength; }
  int HeaderLength() const { return 32 * int(FFields.size()) + 33; }
  int FieldCount() const { return int(FFields.size()); }
  bool HasMemo() const { return FHasMemo; }
  std::uint8_t VersionByte() const { return FHasMemo ? FMemoVersion : 0x03; }

 protected:
  XBO_DBFBuild(const AnsiString& fileName, std::uint8_t memoVersion);

  // The memo file's bytes.
  virtual std::vector<std::uint8_t> EmptyMemo() const;
  virtual AnsiString MemoExtension() const { return ".DBT"; }

  AnsiString FMemoBaseName;

 private:
  std::vector<std::array<std::uint8_t, 32>> FFields;
  AnsiString FFileName;
  std::uint8_t FMemoVersion;
  bool FHasMemo = false;
  int FRecordLength = 1;
  bool FWritePending = true;
};

class XBO_DB4Build : public XBO_DBFBuild {
 public:
  explicit XBO_DB4Build(const AnsiString& fileName);

 protected:
  std::vector<std::uint8_t> EmptyMemo() const override;
};

class XBO_DBFoxBuild : public XBO_DBFBuild {
 public:
  explicit XBO_DBFoxBuild(const AnsiString& fileName);

 protected:
  std::vector<std::uint8_t> EmptyMemo() const override;
  AnsiString MemoExtension() const override { return ".FPT"; }
};
