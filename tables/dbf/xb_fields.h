// XBO_dBaseFld: field access on the current record of a table file.
//
// Fields are addressed by number (1..FieldCount) or by name (trailing blanks
// ignored, case ignored). Everything works on the current-record buffer;
// only DeleteRecord/UndeleteRecord (through WriteRecord) and the memo calls
// touch files. Out-of-range field numbers are not errors: reads give an
// empty text, 0 or false, writes give false.
//
// How values sit in the record:
//
// | type             | stored as                                             |
// |------------------|-------------------------------------------------------|
// | C                | text, left-aligned, blank-padded                      |
// | D                | "yyyymmdd" (8 blanks for no date)                     |
// | N, F             | decimal text with '.', right-aligned                  |
// | L                | one letter, "T" or "F" when written                   |
// | M, G, B          | memo block number as right-aligned text               |
// | 0x30 B           | 8-byte IEEE double, little-endian                     |
// | 0x30 I, G, M     | 32-bit signed integer, little-endian                  |
// | 0x30 T           | 32-bit julian day, then 32-bit milliseconds of day    |
// | 0x30 Y           | 64-bit signed integer value * 10000, little-endian    |
//
// Raw 32-bit values of four blanks read as 0. Numbers that do not fit a
// field (and NaN or infinities) are error 1011; a number text that is not a
// number is error 1004. Errors go through FoundErrorHook and raise
// EXBaseError with the default hook.
#pragma once

#include <cstdint>
#include <vector>

#include "tables/dbf/xbo_dbasedbf.h"

// Context codes of field access.
inline constexpr std::int32_t xbCtxBadDate = 1251;
inline constexpr std::int32_t xbCtxNumberText = 1261;
inline constexpr std::int32_t xbCtxLogicalText = 1262;
inline constexpr std::int32_t xbCtxFieldName = 1298;
inline constexpr std::int32_t xbCtxFieldType = 1299;

// The highest field number a number can be written to.
inline constexpr int xbMaxNumberField = 4096;

class XBO_dBaseFld : public XBO_dBaseDBF {
 public:
  using XBO_dBaseDBF::XBO_dBaseDBF;

  // Reads a record and clears the field-changed flags.
  void ReadRecord(int code) override;

  // Field by name; an unknown name is error 1003 (context 1298) and gives
  // nullptr. The descriptor stays remembered as the last addressed field.
  virtual const XBFieldDesc* FindFieldDescriptor(const AnsiString& name);
  // Field number by name, 0 when absent (no error).
  int FieldNumber(const AnsiString& name) const;

  virtual void BlankRecord();
  virtual std::int32_t GetDateByName(const AnsiString& name);
  virtual std::int32_t GetDate(int n);
  virtual bool PutDateByName(const AnsiString& name, std::int32_t day);
  virtual bool PutDate(int n, std::int32_t day);
  virtual void DeleteRecord();
  virtual AnsiString GetFieldTextByName(const AnsiString& name);
  virtual AnsiString GetFieldText(int n);
  virtual bool PutFieldTextByName(const AnsiString& name, const AnsiString& text);
  virtual bool PutFieldText(int n, const AnsiString& text);
  virtual int FieldDecimals(int n);
  virtual int FieldLength(int n);
  virtual int FieldOffset(int n);
  virtual AnsiString FieldName(int n);
  virtual char FieldType(int n);
  // Functions a table offers to expressions: command "FIND" or "PARSE",
  // the function name, the result type letter out and the expression
  // layer's exchange object. -1 = no such function (this class has none).
  virtual int ExternalFunction(const AnsiString& command, const AnsiString& name, char& typeLetter, void* exchange);
  virtual bool GetLogicalByName(const AnsiString& name);
  virtual bool GetLogical(int n);
  virtual bool PutLogicalByName(const AnsiString& name, bool value);
  virtual bool PutLogical(int n, bool value);
  virtual double GetNumberByName(const AnsiString& name);
  virtual double GetNumber(int n);
  // GetNumber of an N or F field of this table in its usual case, without
  // the lookups: false unless the field has no decimals and its text is a
  // whole number, which then is `value`.
  bool GetWholeNumber(const XBFieldDesc& f, double& value);
  virtual bool PutNumberByName(const AnsiString& name, double value);
  virtual bool PutNumber(int n, double value);
  virtual AnsiString GetDisplayTextByName(const AnsiString& name);
  virtual AnsiString GetDisplayText(int n);
  virtual bool PutStringByName(const AnsiString& name, const AnsiString& text);
  virtual bool PutString(int n, const AnsiString& text);
  virtual void UndeleteRecord();

  // Memo entries of B, G and M fields (0 / nothing for other fields or a
  // table without memo file).
  std::int64_t MemoLength(int n);
  AnsiString MemoRead(int n);
  std::int64_t MemoRead(int n, void* buffer, std::int64_t length);
  // Stores an entry and the field's new block number; length 0 stores 0.
  bool MemoWrite(int n, const void* buffer, std::int64_t length);

  // Points the current record at buffer, blanks it, and stores values[i]
  // into the i-th name of the ";"-separated field list (names trimmed);
  // the pointer is restored afterwards. buffer holds RecordLength + 1 bytes.
  void FillFromValues(char* buffer, const AnsiString& fieldList, const std::vector<AnsiString>& values);

  bool IsDeleted() const { return CurRecord && CurRecord[0] == dbf_format::kDeletedFlag; }
  // The field last addressed (nullptr before any).
  const XBFieldDesc* LastField() const { return FLastField; }

 protected:
  const XBFieldDesc* FieldAt(int n) const;
  // Field by name that must be of the wanted type (see the substitutions
  // in the .cpp); errors 1003 and 1004 otherwise.
  const XBFieldDesc* TypedField(const AnsiString& name, char wanted);
  bool IsRawType(const XBFieldDesc& f) const;
  void MarkChanged(const XBFieldDesc& f);
  AnsiString BaseName() const;

 private:
  const XBFieldDesc* FLastField = nullptr;
};
