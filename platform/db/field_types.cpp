// The field classes: conversions between the native buffer formats and the
// typed accessors.
#include "platform/db/field_types.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/db/dataset.h"
#include "platform/rtl/dateutils.h"

using namespace vx;

// ---------------------------------------------------------------------------
// TStringField

TStringField::TStringField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftString);
  TField::SetSize(20);
  SetTransliterate(true);
}

bool TStringField::GetValue(AnsiString& Value) {
  std::vector<char> buffer(static_cast<std::size_t>(DataSize()) + 1, '\0');
  if (!GetData(buffer.data())) return false;
  buffer.back() = '\0';
  if (Transliterate() && DataSet() != nullptr) {
    std::vector<char> translated(buffer.size(), '\0');
    DataSet()->Translate(buffer.data(), translated.data(), false);
    translated.back() = '\0';
    Value.assign(translated.data());
  } else {
    Value.assign(buffer.data());
  }
  return true;
}

Variant TStringField::Value() {
  AnsiString s;
  if (!GetValue(s)) return Variant::Null();
  return Variant(s);
}

AnsiString TStringField::GetAsString() {
  AnsiString s;
  GetValue(s);
  return s;
}

void TStringField::SetAsStringValue(const AnsiString& Value) {
  std::vector<char> buffer(static_cast<std::size_t>(DataSize()), '\0');
  std::size_t n = std::min(Value.size(), static_cast<std::size_t>(Size()));
  std::memcpy(buffer.data(), Value.data(), n);
  if (Transliterate() && DataSet() != nullptr) {
    std::vector<char> translated(buffer.size(), '\0');
    DataSet()->Translate(buffer.data(), translated.data(), true);
    translated.back() = '\0';
    SetData(translated.data());
  } else {
    SetData(buffer.data());
  }
}

int TStringField::GetAsInteger() { return StrToInt(GetAsString()); }
void TStringField::SetAsIntegerValue(int Value) { SetAsStringValue(IntToStr(Value)); }
double TStringField::GetAsFloat() { return static_cast<double>(StrToFloat(GetAsString())); }
void TStringField::SetAsFloatValue(double Value) { SetAsStringValue(FloatToStr(Value)); }

bool TStringField::GetAsBoolean() {
  AnsiString s = GetAsString();
  return !s.empty() && (s[0] == 'T' || s[0] == 't' || s[0] == 'Y' || s[0] == 'y');
}

void TStringField::SetAsBooleanValue(bool Value) { SetAsStringValue(Value ? "T" : "F"); }
TDateTime TStringField::GetAsDateTime() { return StrToDateTime(GetAsString()); }
void TStringField::SetAsDateTimeValue(TDateTime Value) { SetAsStringValue(DateTimeToStr(Value)); }

// ---------------------------------------------------------------------------
// TIntegerField, TSmallintField

TIntegerField::TIntegerField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftInteger); }

TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner) {
  SetDataType(ftSmallint);
  FMinValue = -32768;
  FMaxValue = 32767;
}

bool TIntegerField::GetValue(int& Value) {
  if (DataSize() == 2) {
    std::int16_t v = 0;
    if (!GetData(&v)) return false;
    Value = v;
    return true;
  }
  std::int32_t v = 0;
  if (!GetData(&v)) return false;
  Value = v;
  return true;
}

Variant TIntegerField::Value() {
  int v = 0;
  if (!GetValue(v)) return Variant::Null();
  return Variant(v);
}

AnsiString TIntegerField::GetAsString() {
  int v = 0;
  return GetValue(v) ? IntToStr(v) : AnsiString();
}

int TIntegerField::GetAsInteger() {
  int v = 0;
  GetValue(v);
  return v;
}

double TIntegerField::GetAsFloat() { return GetAsInteger(); }

void TIntegerField::CheckRange(long long Value, long long Min, long long Max) {
  if ((Min != 0 || Max != 0) && (Value < Min || Value > Max))
    DatabaseErrorFmt(dbtext::FieldRangeError, {IntToStr(Value), DisplayName(), IntToStr(Min), IntToStr(Max)});
}

void TIntegerField::SetAsIntegerValue(int Value) {
  CheckRange(Value, FMinValue, FMaxValue);
  if (DataSize() == 2) {
    auto v = static_cast<std::int16_t>(Value);
    SetData(&v);
  } else {
    std::int32_t v = Value;
    SetData(&v);
  }
}

void TIntegerField::SetAsStringValue(const AnsiString& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  int v = 0;
  if (!TryStrToInt(Value, v)) ConvertError(dbtext::InvalidIntegerValue, Value);
  SetAsIntegerValue(v);
}

// Rounds (halves to even) into the 32-bit range; false outside it.
static bool RoundToInt(double value, int& result) {
  if (!std::isfinite(value) || std::fabs(value) > 4e9) return false;
  long long r = Round(value);
  if (r < INT_MIN || r > INT_MAX) return false;
  result = static_cast<int>(r);
  return true;
}

void TIntegerField::SetAsFloatValue(double Value) {
  // A value outside the 32-bit range is an error, never a wrapped number.
  int v = 0;
  if (!RoundToInt(Value, v))
    DatabaseErrorFmt(dbtext::FieldRangeError, {FloatToStr(Value), DisplayName(), IntToStr(INT_MIN), IntToStr(INT_MAX)});
  SetAsIntegerValue(v);
}

// ---------------------------------------------------------------------------
// TFloatField

TFloatField::TFloatField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftFloat); }

bool TFloatField::GetValue(double& Value) {
  double v = 0;
  if (!GetData(&v)) return false;
  Value = v;
  return true;
}

Variant TFloatField::Value() {
  double v = 0;
  if (!GetValue(v)) return Variant::Null();
  return Variant(v);
}

AnsiString TFloatField::GetAsString() {
  double v = 0;
  return GetValue(v) ? FloatToStrF(v, ffGeneral, FPrecision, 0) : AnsiString();
}

double TFloatField::GetAsFloat() {
  double v = 0;
  GetValue(v);
  return v;
}

int TFloatField::GetAsInteger() {
  int v = 0;
  if (!RoundToInt(GetAsFloat(), v)) DatabaseErrorFmt(dbtext::FieldAccessError, {DisplayName(), "Integer"});
  return v;
}

void TFloatField::SetAsFloatValue(double Value) {
  if ((FMinValue != 0 || FMaxValue != 0) && (Value < FMinValue || Value > FMaxValue))
    DatabaseErrorFmt(dbtext::FieldRangeError,
                     {FloatToStr(Value), DisplayName(), FloatToStr(FMinValue), FloatToStr(FMaxValue)});
  SetData(&Value);
}

void TFloatField::SetAsStringValue(const AnsiString& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  double v = 0;
  if (!TryStrToFloat(Value, v)) ConvertError(dbtext::InvalidFloatValue, Value);
  SetAsFloatValue(v);
}

// ---------------------------------------------------------------------------
// TBooleanField

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBoolean); }

void TBooleanField::SetDisplayValues(const AnsiString& Value) {
  FDisplayValues = Value;
  auto semi = Value.find(';');
  if (Value.empty()) {
    FTrueText = "True";
    FFalseText = "False";
  } else if (semi == AnsiString::npos) {
    FTrueText = Value;
    FFalseText.clear();
  } else {
    FTrueText = Value.substr(0, semi);
    FFalseText = Value.substr(semi + 1);
  }
}

bool TBooleanField::GetValue(bool& Value) {
  std::int16_t v = 0;
  if (!GetData(&v)) return false;
  Value = v != 0;
  return true;
}

Variant TBooleanField::Value() {
  bool v = false;
  if (!GetValue(v)) return Variant::Null();
  return Variant(v);
}

AnsiString TBooleanField::GetAsString() {
  bool v = false;
  if (!GetValue(v)) return {};
  return v ? FTrueText : FFalseText;
}

bool TBooleanField::GetAsBoolean() {
  bool v = false;
  GetValue(v);
  return v;
}

void TBooleanField::SetAsBooleanValue(bool Value) {
  std::int16_t v = Value ? 1 : 0;
  SetData(&v);
}

void TBooleanField::SetAsStringValue(const AnsiString& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  // A prefix of either text is enough ("T", "fa").
  auto matches = [&](const AnsiString& text) {
    return !text.empty() && AnsiSameText(Value, text.substr(0, std::min(Value.size(), text.size()))) &&
           Value.size() <= text.size();
  };
  if (matches(FFalseText)) SetAsBooleanValue(false);
  else if (matches(FTrueText)) SetAsBooleanValue(true);
  else ConvertError(dbtext::InvalidBoolValue, Value);
}

// ---------------------------------------------------------------------------
// TDateTimeField, TDateField

TDateTimeField::TDateTimeField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftDateTime); }

TDateField::TDateField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataType(ftDate); }

bool TDateTimeField::GetValue(TDateTime& Value) {
  if (DataSize() == 4) {
    std::int32_t days = 0;
    if (!GetData(&days)) return false;
    Value = static_cast<double>(days) - dbformat::DateDelta;
    return true;
  }
  double msecs = 0;
  if (!GetData(&msecs)) return false;
  // Whole days and the time of day; the time is always a positive
  // fraction of the day, also before 1899-12-30.
  double days = std::trunc(msecs / dbformat::MSecsPerDay);
  double time = (msecs - days * dbformat::MSecsPerDay) / dbformat::MSecsPerDay;
  double date = days - dbformat::DateDelta;
  Value = date >= 0 ? date + time : date - time;
  return true;
}

void TDateTimeField::SetAsDateTimeValue(TDateTime Value) {
  if (DataSize() == 4) {
    double days = std::trunc(Value) + dbformat::DateDelta;
    if (!(days >= 1 && days <= 3652059))  // 0001-01-01 .. 9999-12-31
      DatabaseErrorFmt(dbtext::InvalidDateValue, {FloatToStr(Value)});
    auto v = static_cast<std::int32_t>(days);
    SetData(&v);
    return;
  }
  if (!std::isfinite(Value)) DatabaseErrorFmt(dbtext::InvalidDateTimeValue, {FloatToStr(Value)});
  double days = std::trunc(Value) + dbformat::DateDelta;
  double time = std::round(std::fabs(Value - std::trunc(Value)) * dbformat::MSecsPerDay);
  double msecs = days * dbformat::MSecsPerDay + time;
  SetData(&msecs);
}

Variant TDateTimeField::Value() {
  TDateTime v = 0;
  if (!GetValue(v)) return Variant::Null();
  return Variant::FromDateTime(v);
}

TDateTime TDateTimeField::GetAsDateTime() {
  TDateTime v = 0;
  GetValue(v);
  return v;
}

AnsiString TDateTimeField::GetAsString() {
  AnsiString text;
  GetText(text, false);
  return text;
}

void TDateTimeField::GetText(AnsiString& Text, bool DisplayText) {
  TDateTime v = 0;
  if (!GetValue(v)) {
    Text.clear();
    return;
  }
  if (DisplayText && !FDisplayFormat.empty()) Text = FormatDateTime(FDisplayFormat, v);
  else if (DataType() == ftDate) Text = DateToStr(v);
  else Text = DateTimeToStr(v);
}

void TDateTimeField::SetAsStringValue(const AnsiString& Value) {
  if (Value.empty()) {
    Clear();
    return;
  }
  TDateTime v = 0;
  if (DataType() == ftDate) {
    if (!TryStrToDate(Value, v)) ConvertError(dbtext::InvalidDateValue, Value);
  } else {
    if (!TryStrToDateTime(Value, v)) ConvertError(dbtext::InvalidDateTimeValue, Value);
  }
  SetAsDateTimeValue(v);
}

// ---------------------------------------------------------------------------

TField* CreateFieldOfType(TFieldType DataType, TComponent* Owner) {
  switch (DataType) {
    case ftString: return new TStringField(Owner);
    case ftSmallint: return new TSmallintField(Owner);
    case ftInteger: return new TIntegerField(Owner);
    case ftFloat: return new TFloatField(Owner);
    case ftBoolean: return new TBooleanField(Owner);
    case ftDate: return new TDateField(Owner);
    case ftDateTime: return new TDateTimeField(Owner);
    case ftBlob: return new TBlobField(Owner);
    case ftMemo: return new TMemoField(Owner);
    default: return nullptr;
  }
}

const char* FieldTypeName(TFieldType DataType) {
  static const char* const names[] = {"Unknown",  "String", "Smallint", "Integer", "Word",     "Boolean", "Float",
                                      "Currency", "BCD",    "Date",     "Time",    "DateTime", "Bytes",   "VarBytes",
                                      "AutoInc",  "Blob",   "Memo",     "Graphic", "FmtMemo"};
  auto i = static_cast<std::size_t>(DataType);
  return i < std::size(names) ? names[i] : "Unknown";
}
