// Variant: the value of a field as the data-set framework hands it out
// (TField::Value, TDataSet::FieldValues, Locate/Lookup keys).
//
// Kinds: Empty (unassigned), Null (no value), Integer (64-bit), Double,
// Date (a TDateTime), Boolean, String (CP1251 bytes) and Array (of
// Variants, VarArrayOf). Conversions follow the class library: numbers and
// dates convert to text with FormatSettings, text converts to numbers or
// dates when it parses, True is -1 as a number, Empty reads as 0 or "".
// Anything else (Null to a number or text, "abc" to a number, an array to a
// scalar) raises EVariantError "Could not convert variant of type (A) into
// type (B)".
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "platform/db/db_error.h"
#include "platform/rtl/dateutils.h"

enum TVariantType { varEmpty, varNull, varInteger, varDouble, varDate, varBoolean, varString, varArray };

class Variant {
 public:
  Variant() = default;
  Variant(int v) : FType(varInteger), FInt(v) {}
  Variant(long v) : FType(varInteger), FInt(v) {}
  Variant(long long v) : FType(varInteger), FInt(v) {}
  Variant(double v) : FType(varDouble), FDouble(v) {}
  Variant(bool v) : FType(varBoolean), FInt(v ? 1 : 0) {}
  Variant(const char* v) : FType(varString), FString(v ? v : "") {}
  Variant(const AnsiString& v) : FType(varString), FString(v) {}
  Variant(AnsiString&& v) : FType(varString), FString(std::move(v)) {}

  static Variant Null() {
    Variant v;
    v.FType = varNull;
    return v;
  }
  static Variant FromDateTime(TDateTime Value) {
    Variant v(Value);
    v.FType = varDate;
    return v;
  }
  static Variant Array(std::vector<Variant> Items);

  TVariantType VarType() const { return FType; }
  bool IsNull() const { return FType == varNull; }
  bool IsEmpty() const { return FType == varEmpty; }
  bool IsArray() const { return FType == varArray; }
  // Arrays: 0-based bounds of the elements.
  int ArrayHighBound() const;
  const Variant& operator[](int Index) const;
  Variant& operator[](int Index);

  long long AsInt64() const;
  // EVariantError also when the value does not fit in 32 bits.
  int AsInteger() const;
  double AsDouble() const;
  bool AsBoolean() const;
  AnsiString AsString() const;
  TDateTime AsDateTime() const;

  explicit operator int() const { return AsInteger(); }
  explicit operator double() const { return AsDouble(); }
  explicit operator bool() const { return AsBoolean(); }
  explicit operator AnsiString() const { return AsString(); }

  // Equal values: numbers (integer, double, date, boolean) by value, text
  // by bytes, text against a number as the number's text; Null equals only
  // Null, Empty only Empty; arrays element by element.
  bool operator==(const Variant& Other) const;

 private:
  [[noreturn]] void CastError(TVariantType Target) const;

  TVariantType FType = varEmpty;
  long long FInt = 0;
  double FDouble = 0;
  AnsiString FString;
  std::shared_ptr<std::vector<Variant>> FArray;
};

Variant VarArrayOf(std::initializer_list<Variant> Values);
Variant VarArrayOf(const std::vector<Variant>& Values);
inline bool VarIsNull(const Variant& V) { return V.IsNull(); }
inline bool VarIsEmpty(const Variant& V) { return V.IsEmpty(); }
inline bool VarIsArray(const Variant& V) { return V.IsArray(); }
inline TVariantType VarType(const Variant& V) { return V.VarType(); }
// Null and Empty give "" instead of raising.
AnsiString VarToStr(const Variant& V);
const char* VarTypeName(TVariantType Type);
