// TxbVariant: the engine's typed value holder (keys, expression results).
//
// A holder keeps a byte buffer with its length and a type:
//
//   type        bytes held
//   1 text      the characters (no terminator counted in the length)
//   2 number    8-byte IEEE double, host byte order
//   3 date      4-byte day number (julian day, 0 = empty date)
//   4 logical   1 byte, 0 or 1
//   5 raw       any bytes
//
// Getters convert from the stored type (see the table in each getter's
// comment). Raw reads of numbers, dates and logicals that find fewer bytes
// than they need read the missing ones as zero. A holder without data gives
// an empty text, 0 or false. The buffer is always followed by a zero byte,
// so GetPChar is a valid C string for text holders.
#pragma once

#include <cstdint>
#include <string>

#include "platform/rtl/cp1251.h"

class TxbVariant {
 public:
  enum : std::uint8_t {
    xbvtNone = 0,  // never assigned: takes the other side's type in Compare
    xbvtText = 1,
    xbvtNumber = 2,
    xbvtDate = 3,
    xbvtLogical = 4,
    xbvtRaw = 5,
  };

  explicit TxbVariant(int capacity = 0);

  // Frees the buffer; the type stays.
  void Clear();
  // Copies buffer, length and type.
  void Assign(const TxbVariant& other);

  void PutString(const AnsiString& text);
  void PutPChar(const char* text);
  void PutNumber(double value);
  void PutDate(std::int32_t day);
  void PutBoolean(bool value);
  void PutRaw(const void* data, int length);
  // Appends bytes; the holder becomes raw.
  void AppendRaw(const void* data, int length);

  // text: the bytes; number: FloatToStr; date: DTOC; logical: the first
  // true or false letter; raw: the bytes.
  AnsiString GetString() const;
  const char* GetPChar() const;
  // text: StrToFloat (EConvertError on bad text); date: the day number;
  // logical: 1 or 0; raw: the first 8 bytes as a double.
  double GetNumber() const;
  // text: CTOD; number: CTOD(DTOS(Trunc(value))); logical: 0; raw: the
  // first 4 bytes.
  std::int32_t GetDate() const;
  // text: first character is a true letter; number: Trunc(value) != 0;
  // date: false; raw: first byte non-zero.
  bool GetBoolean() const;

  // Text only: each byte through a 256-byte table, or upper-cased by the
  // code-page rules when table is null.
  void Translate(const std::uint8_t* table);
  // Text only: pads with blanks or cuts to n bytes (n < 0 counts as 0).
  void SetTextLength(int n);
  // Text only: drops trailing characters up to and including the blank.
  void TrimRight();

  // Compares with other; -1, 0 or 1.
  //  - The types must be equal; a raw (or unassigned) side takes the other
  //    side's type; otherwise EXBaseError "Variant types mismatch for compare".
  //  - A side without data is smaller than one with data.
  //  - Numbers, dates: by value; logicals: equal bytes 0, else 1 when the
  //    left is true, else -1.
  //  - Text and raw: unsigned bytes up to the shorter length (length > 0
  //    first cuts both sides to length bytes); position receives the count
  //    of bytes examined; the first difference decides, else the longer
  //    side is greater - except that a text left side that ran out first
  //    gives partial instead of -1 (prefix matches of index searches).
  int Compare(const TxbVariant& other, int length, int& position, int partial) const;
  int Compare(const TxbVariant& other) const {
    int position = 0;
    return Compare(other, 0, position, -1);
  }
  // As Compare, but numbers and dates compare as their raw bytes.
  int CompareRaw(const TxbVariant& other, int length, int& position, int partial) const;

  std::uint8_t Type() const { return type_; }
  int Length() const { return static_cast<int>(data_.size()); }
  int Capacity() const { return static_cast<int>(data_.capacity()); }
  const std::uint8_t* Data() const { return reinterpret_cast<const std::uint8_t*>(data_.data()); }
  std::uint8_t* Data() { return reinterpret_cast<std::uint8_t*>(data_.data()); }
  bool Empty() const { return data_.empty(); }

 private:
  int CompareBytes(const TxbVariant& other, std::uint8_t type, int length, int& position, int partial) const;
  // Up to `count` leading bytes of the buffer, zero padded.
  void ReadPadded(void* out, std::size_t count) const;

  std::string data_;
  std::uint8_t type_ = xbvtNone;
};
