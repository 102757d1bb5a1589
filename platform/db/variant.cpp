#include "platform/db/variant.h"

#include <climits>
#include <cmath>

#include "platform/rtl/dateutils.h"

const char* VarTypeName(TVariantType Type) {
  switch (Type) {
    case varEmpty: return "Empty";
    case varNull: return "Null";
    case varInteger: return "Integer";
    case varDouble: return "Double";
    case varDate: return "Date";
    case varBoolean: return "Boolean";
    case varString: return "String";
    case varArray: return "Array";
  }
  return "Unknown";
}

void Variant::CastError(TVariantType Target) const {
  throw EVariantError(
      Format("Could not convert variant of type (%s) into type (%s)", {VarTypeName(FType), VarTypeName(Target)}));
}

Variant Variant::Array(std::vector<Variant> Items) {
  Variant v;
  v.FType = varArray;
  v.FArray = std::make_shared<std::vector<Variant>>(std::move(Items));
  return v;
}

int Variant::ArrayHighBound() const {
  if (FType != varArray) CastError(varArray);
  return static_cast<int>(FArray->size()) - 1;
}

const Variant& Variant::operator[](int Index) const {
  if (FType != varArray) CastError(varArray);
  if (Index < 0 || Index >= static_cast<int>(FArray->size())) throw EVariantError("Variant array index out of bounds");
  return (*FArray)[static_cast<std::size_t>(Index)];
}

Variant& Variant::operator[](int Index) {
  if (FType != varArray) CastError(varArray);
  if (Index < 0 || Index >= static_cast<int>(FArray->size())) throw EVariantError("Variant array index out of bounds");
  if (FArray.use_count() > 1) FArray = std::make_shared<std::vector<Variant>>(*FArray);  // copy on write
  return (*FArray)[static_cast<std::size_t>(Index)];
}

long long Variant::AsInt64() const {
  switch (FType) {
    case varEmpty: return 0;
    case varInteger: return FInt;
    case varBoolean: return FInt ? -1 : 0;
    case varDouble:
    case varDate: try { return Round(FDouble);
      } catch (const Exception&) { CastError(varInteger); }
    case varString: {
      long long v = 0;
      if (TryStrToInt64(FString, v)) return v;
      long double d = 0;
      if (TryStrToFloat(FString, d)) {
        try {
          return Round(d);
        } catch (const Exception&) {}
      }
      CastError(varInteger);
    }
    default: CastError(varInteger);
  }
}

int Variant::AsInteger() const {
  long long v = AsInt64();
  if (v < INT_MIN || v > INT_MAX)
    throw EVariantError("Overflow while converting variant of type (" + AnsiString(VarTypeName(FType)) +
                        ") into type (Integer)");
  return static_cast<int>(v);
}

double Variant::AsDouble() const {
  switch (FType) {
    case varEmpty: return 0;
    case varInteger: return static_cast<double>(FInt);
    case varBoolean: return FInt ? -1 : 0;
    case varDouble:
    case varDate: return FDouble;
    case varString: {
      long double d = 0;
      if (TryStrToFloat(FString, d)) return static_cast<double>(d);
      CastError(varDouble);
    }
    default: CastError(varDouble);
  }
}

bool Variant::AsBoolean() const {
  switch (FType) {
    case varEmpty: return false;
    case varInteger:
    case varBoolean: return FInt != 0;
    case varDouble:
    case varDate: return FDouble != 0;
    case varString: {
      if (SameText(FString, "True")) return true;
      if (SameText(FString, "False")) return false;
      long double d = 0;
      if (TryStrToFloat(FString, d)) return d != 0;
      CastError(varBoolean);
    }
    default: CastError(varBoolean);
  }
}

AnsiString Variant::AsString() const {
  switch (FType) {
    case varEmpty: return {};
    case varInteger: return IntToStr(FInt);
    case varBoolean: return FInt ? "True" : "False";
    case varDouble: return FloatToStr(FDouble);
    case varDate: return DateTimeToStr(FDouble);
    case varString: return FString;
    default: CastError(varString);
  }
}

TDateTime Variant::AsDateTime() const {
  switch (FType) {
    case varEmpty: return 0;
    case varInteger:
    case varBoolean:
    case varDouble: return AsDouble();
    case varDate: return FDouble;
    case varString: {
      TDateTime d = 0;
      if (TryStrToDateTime(FString, d)) return d;
      CastError(varDate);
    }
    default: CastError(varDate);
  }
}

bool Variant::operator==(const Variant& Other) const {
  auto numeric = [](TVariantType t) { return t == varInteger || t == varDouble || t == varDate || t == varBoolean; };
  if (FType == varNull || Other.FType == varNull) return FType == Other.FType;
  if (FType == varEmpty || Other.FType == varEmpty) return FType == Other.FType;
  if (FType == varArray || Other.FType == varArray) {
    if (FType != Other.FType || FArray->size() != Other.FArray->size()) return false;
    for (std::size_t i = 0; i < FArray->size(); ++i)
      if (!((*FArray)[i] == (*Other.FArray)[i])) return false;
    return true;
  }
  if (numeric(FType) && numeric(Other.FType)) {
    if (FType == varInteger && Other.FType == varInteger) return FInt == Other.FInt;
    return AsDouble() == Other.AsDouble();
  }
  return AsString() == Other.AsString();
}

Variant VarArrayOf(std::initializer_list<Variant> Values) { return Variant::Array(std::vector<Variant>(Values)); }
Variant VarArrayOf(const std::vector<Variant>& Values) { return Variant::Array(Values); }

AnsiString VarToStr(const Variant& V) {
  if (V.IsNull() || V.IsEmpty()) return {};
  return V.AsString();
}
