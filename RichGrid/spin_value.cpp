#include "RichGrid/spin_value.h"

#include <algorithm>
#include <cmath>

#include "platform/rtl/sysutils.h"

namespace {

template <typename T>
T Clamp(T v, T lo, T hi) {
  if (lo == hi) return v;
  return std::max(lo, std::min(hi, v));
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The 0-based number of the field the caret stands in: how many separators
// lie before it.
int FieldAt(const AnsiString& text, char separator, int caret) {
  int field = 0;
  for (int i = 0; i < caret && i < static_cast<int>(text.size()); ++i)
    field += text[static_cast<std::size_t>(i)] == separator;
  return std::min(field, 2);
}

bool SelectionHolds(const AnsiString& text, char c, int selStart, int selLength) {
  if (selLength <= 0) return false;
  return text.substr(static_cast<std::size_t>(std::max(0, selStart)), static_cast<std::size_t>(selLength)).find(c) !=
         AnsiString::npos;
}

// The character is already in the text, outside the selection.
bool AlreadyThere(const AnsiString& text, char c, int selStart, int selLength) {
  const auto n = std::count(text.begin(), text.end(), c);
  return n > 0 && !(n == 1 && SelectionHolds(text, c, selStart, selLength));
}

}  // namespace

TSpinValueModel::TSpinValueModel(TSpinFamily family) : family_(family) {
  if (family == TSpinFamily::Rsg) {
    MaxValue = 100;
    MaxFloatValue = 100.0;
  }
}

void TSpinValueModel::SetSpinType(TRichSpinType v) {
  if (v == sptHex && family_ == TSpinFamily::Rsg) v = sptNormal;
  if (v == type_) return;
  // The value as the old kind reads it, written in the new kind's form.
  const double asNumber = type_ == sptFloat ? FloatValue() : type_ == sptHex ? HexValue() : Value();
  const TDateTime asDate = type_ == sptDate ? DateValue() : type_ == sptTime ? TimeValue() : dateValue_;
  type_ = v;
  switch (type_) {
    case sptNormal: SetValue(static_cast<int>(asNumber)); break;
    case sptFloat: SetFloatValue(asNumber); break;
    case sptHex: SetHexValue(static_cast<int>(asNumber)); break;
    case sptDate: SetDateValue(asDate); break;
    case sptTime: SetTimeValue(asDate); break;
  }
}

void TSpinValueModel::SetPrecision(int v) {
  precision_ = std::max(0, v);
  if (type_ == sptFloat) SetFloatValue(FloatValue());
}

int TSpinValueModel::Value() const {
  int v = 0;
  return TryStrToInt(text_, v) ? v : MinValue;
}

void TSpinValueModel::SetValue(int v) { text_ = IntToStr(Clamp(v, MinValue, MaxValue)); }

double TSpinValueModel::FloatValue() const {
  long double v = 0;
  return TryStrToFloat(text_, v) ? static_cast<double>(v) : MinValue;
}

void TSpinValueModel::SetFloatValue(double v) {
  v = Clamp(v, MinFloatValue, MaxFloatValue);
  text_ = precision_ > 0 ? FloatToStrF(v, ffFixed, 15, precision_) : FloatToStr(v);
}

TDateTime TSpinValueModel::DateValue() const {
  TDateTime v = 0;
  return TryStrToDate(text_, v) ? v : MinDateValue;
}

void TSpinValueModel::SetDateValue(TDateTime v) {
  dateValue_ = Clamp(v, MinDateValue, MaxDateValue);
  text_ = DateToStr(dateValue_);
}

TDateTime TSpinValueModel::TimeValue() const {
  TDateTime v = 0;
  return TryStrToTime(text_, v) ? v : 0;
}

void TSpinValueModel::SetTimeValue(TDateTime v) {
  dateValue_ = Clamp(v, MinDateValue, MaxDateValue);
  text_ = TimeToStr(dateValue_);
}

int TSpinValueModel::HexValue() const {
  const AnsiString digits = text_.size() > 2 ? text_.substr(2) : AnsiString();
  std::uint32_t v = 0;
  std::size_t i = 0;
  for (; i + 1 < digits.size(); i += 2) {
    const int hi = HexDigit(digits[i]), lo = HexDigit(digits[i + 1]);
    if (hi < 0 || lo < 0) return 0;
    v = v * 256 + static_cast<std::uint32_t>(hi * 16 + lo);
  }
  if (i < digits.size()) {
    const int d = HexDigit(digits[i]);
    if (d < 0) return 0;
    v = v * 16 + static_cast<std::uint32_t>(d);
  }
  return static_cast<int>(v);
}

void TSpinValueModel::SetHexValue(int v) { text_ = "0x" + IntToHex(v, 1); }

void TSpinValueModel::Reclamp() {
  switch (type_) {
    case sptNormal: {
      const int v = Value();
      if (Clamp(v, MinValue, MaxValue) != v) SetValue(v);
      break;
    }
    case sptFloat: {
      const double v = FloatValue();
      if (Clamp(v, MinFloatValue, MaxFloatValue) != v) SetFloatValue(v);
      break;
    }
    case sptDate:
    case sptTime: {
      const TDateTime v = type_ == sptDate ? DateValue() : TimeValue();
      if (Clamp(v, MinDateValue, MaxDateValue) != v) type_ == sptDate ? SetDateValue(v) : SetTimeValue(v);
      break;
    }
    case sptHex: break;
  }
}

void TSpinValueModel::Step(int direction, int caret) {
  switch (type_) {
    case sptNormal: SetValue(Value() + direction * Increment); break;
    case sptFloat: SetFloatValue(FloatValue() + direction * IncrementFloat); break;
    case sptHex: SetHexValue(HexValue() + direction * Increment); break;
    case sptDate: StepDate(direction, caret); break;
    case sptTime: StepTime(direction, caret); break;
  }
}

void TSpinValueModel::StepDate(int direction, int caret) {
  const TDateTime date = DateValue();
  // Which part (0 day, 1 month, 2 year) the caret's field holds.
  const AnsiString format = UpperCase(FormatSettings.ShortDateFormat);
  const std::size_t at[3] = {format.find('D'), format.find('M'), format.find('Y')};
  int order[3] = {0, 1, 2};
  std::stable_sort(order, order + 3, [&](int a, int b) { return at[a] < at[b]; });
  const int part = order[FieldAt(text_, FormatSettings.DateSeparator, caret)];
  if (part == 0) {
    SetDateValue(date + direction);
    return;
  }
  Word y, m, d;
  DecodeDate(date, y, m, d);
  int year = y, month = m;
  if (part == 1) {
    const int total = year * 12 + (month - 1) + direction;
    year = total / 12;
    month = total % 12 + 1;
  } else {
    year += direction;
  }
  if (year < 1 || year > 9999) return;
  const int day = std::min<int>(d, DaysInAMonth(year, month));
  SetDateValue(EncodeDate(year, month, day));
}

void TSpinValueModel::StepTime(int direction, int caret) {
  static const int kSeconds[3] = {3600, 60, 1};
  const int field = FieldAt(text_, FormatSettings.TimeSeparator, caret);
  long long seconds = std::llround(TimeValue() * SecsPerDay) + direction * kSeconds[field];
  seconds = ((seconds % 86400) + 86400) % 86400;
  SetTimeValue(static_cast<double>(seconds) / SecsPerDay);
}

bool TSpinValueModel::IsValidChar(char& key, int selStart, int selLength) const {
  const bool control = static_cast<unsigned char>(key) < 32;
  if (!EditorEnabled) return control && key != '\b';
  if (type_ == sptHex) {
    if (selStart < 2 || (key == '\b' && selStart == 2 && selLength == 0)) return false;
    return control || HexDigit(key) >= 0;
  }
  if (control) return key != '\r';
  const char decimal = FormatSettings.DecimalSeparator;
  if (family_ == TSpinFamily::Rsg && type_ == sptFloat && key == FormatSettings.ThousandSeparator) key = decimal;
  const bool isDecimal = key == decimal;
  const bool isDate = key == FormatSettings.DateSeparator && type_ == sptDate;
  const bool isTime = key == FormatSettings.TimeSeparator && type_ == sptTime;
  const bool accepted = (key >= '0' && key <= '9') || key == '+' || key == '-' || isDecimal || isDate || isTime;
  if (!accepted) return false;
  if (type_ == sptFloat) {
    const std::size_t sep = text_.find(decimal);
    if (key == decimal && AlreadyThere(text_, decimal, selStart, selLength)) return false;
    if (precision_ >= 1 && sep != AnsiString::npos && selLength == 0 && selStart > static_cast<int>(sep) &&
        static_cast<int>(text_.size() - sep - 1) >= precision_)
      return false;
  }
  if (type_ == sptTime && key == FormatSettings.TimeSeparator &&
      AlreadyThere(text_, FormatSettings.TimeSeparator, selStart, selLength))
    return false;
  return true;
}
