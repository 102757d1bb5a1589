#include "tables/base/xb_variant.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/rtl/sysutils.h"
#include "tables/base/xb_dates.h"
#include "tables/base/xb_errors.h"
#include "tables/base/xb_settings.h"
#include "tables/base/xb_sysapi.h"

TxbVariant::TxbVariant(int capacity) {
  if (capacity > 0) data_.reserve(static_cast<std::size_t>(capacity));
}

void TxbVariant::Clear() { std::string().swap(data_); }

void TxbVariant::Assign(const TxbVariant& other) {
  if (this == &other) return;
  data_.assign(other.data_);
  type_ = other.type_;
}

void TxbVariant::PutString(const AnsiString& text) {
  data_.assign(text);
  type_ = xbvtText;
}

void TxbVariant::PutPChar(const char* text) {
  data_.assign(text ? text : "");
  type_ = xbvtText;
}

void TxbVariant::PutNumber(double value) {
  data_.assign(reinterpret_cast<const char*>(&value), sizeof value);
  type_ = xbvtNumber;
}

void TxbVariant::PutDate(std::int32_t day) {
  data_.assign(reinterpret_cast<const char*>(&day), sizeof day);
  type_ = xbvtDate;
}

void TxbVariant::PutBoolean(bool value) {
  data_.assign(1, value ? '\1' : '\0');
  type_ = xbvtLogical;
}

void TxbVariant::PutRaw(const void* data, int length) {
  if (length > 0 && data) data_.assign(static_cast<const char*>(data), static_cast<std::size_t>(length));
  else data_.clear();
  type_ = xbvtRaw;
}

void TxbVariant::AppendRaw(const void* data, int length) {
  if (length > 0 && data) data_.append(static_cast<const char*>(data), static_cast<std::size_t>(length));
  type_ = xbvtRaw;
}

void TxbVariant::ReadPadded(void* out, std::size_t count) const {
  std::memset(out, 0, count);
  std::memcpy(out, data_.data(), std::min(count, data_.size()));
}

AnsiString TxbVariant::GetString() const {
  if (data_.empty()) return AnsiString();
  switch (type_) {
    case xbvtNumber: return FloatToStr(GetNumber());
    case xbvtDate: return xbDBFDate.DTOC(GetDate());
    case xbvtLogical: {
      const AnsiString& letters = data_[0] != 0 ? xbTrueLetters : xbFalseLetters;
      return letters.empty() ? AnsiString() : AnsiString(1, letters[0]);
    }
    default: return data_;
  }
}

const char* TxbVariant::GetPChar() const { return data_.c_str(); }

double TxbVariant::GetNumber() const {
  if (data_.empty()) return 0;
  switch (type_) {
    case xbvtText: return static_cast<double>(StrToFloat(data_));
    case xbvtDate: return GetDate();
    case xbvtLogical: return data_[0] != 0 ? 1 : 0;
    default: {
      double value = 0;
      ReadPadded(&value, sizeof value);
      return value;
    }
  }
}

std::int32_t TxbVariant::GetDate() const {
  if (data_.empty()) return 0;
  switch (type_) {
    case xbvtText: return xbDBFDate.CTOD(data_);
    case xbvtNumber: {
      const double value = GetNumber();
      // A value no day number can hold is no date at all.
      if (!(std::fabs(value) < 2147483648.0)) return 0;
      return xbDBFDate.CTOD(xbDBFDate.DTOS(static_cast<std::int32_t>(std::trunc(value))));
    }
    case xbvtLogical: return 0;
    default: {
      std::int32_t day = 0;
      ReadPadded(&day, sizeof day);
      return day;
    }
  }
}

bool TxbVariant::GetBoolean() const {
  if (data_.empty()) return false;
  switch (type_) {
    case xbvtText: return xbTrueLetters.find(data_[0]) != AnsiString::npos;
    case xbvtNumber: return std::fabs(GetNumber()) >= 1.0;  // Trunc(value) <> 0
    case xbvtDate: return false;
    default: return data_[0] != 0;
  }
}

void TxbVariant::Translate(const std::uint8_t* table) {
  if (type_ != xbvtText || data_.empty()) return;
  if (!table) {
    SysXb_CharUpperBuff(data_.data(), static_cast<int>(data_.size()));
    return;
  }
  for (char& c : data_) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
}

void TxbVariant::SetTextLength(int n) {
  if (type_ != xbvtText) return;
  data_.resize(static_cast<std::size_t>(std::max(n, 0)), ' ');
}

void TxbVariant::TrimRight() {
  if (type_ != xbvtText) return;
  std::size_t n = data_.size();
  while (n > 0 && static_cast<unsigned char>(data_[n - 1]) <= ' ') --n;
  data_.resize(n);
}

int TxbVariant::CompareBytes(const TxbVariant& other, std::uint8_t type, int length, int& position, int partial) const {
  std::size_t left = data_.size();
  std::size_t right = other.data_.size();
  if (length > 0) {
    left = std::min(left, static_cast<std::size_t>(length));
    right = std::min(right, static_cast<std::size_t>(length));
  }
  const std::size_t n = std::min(left, right);
  const auto* a = reinterpret_cast<const unsigned char*>(data_.data());
  const auto* b = reinterpret_cast<const unsigned char*>(other.data_.data());
  for (std::size_t i = 0; i < n; ++i) {
    position = static_cast<int>(i + 1);
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  position = static_cast<int>(n);
  if (left == right) return 0;
  if (left > right) return 1;
  return type == xbvtText ? partial : -1;
}

namespace {

// The type both sides compare as; raw and unassigned sides take the other's.
std::uint8_t CommonType(std::uint8_t a, std::uint8_t b) {
  const auto adaptable = [](std::uint8_t t) { return t == TxbVariant::xbvtRaw || t == TxbVariant::xbvtNone; };
  if (adaptable(a)) return adaptable(b) ? std::uint8_t{TxbVariant::xbvtRaw} : b;
  if (adaptable(b) || a == b) return a;
  throw EXBaseError("Variant types mismatch for compare");
}

template <class T>
int Order(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

int TxbVariant::Compare(const TxbVariant& other, int length, int& position, int partial) const {
  const std::uint8_t type = CommonType(type_, other.type_);
  position = 0;
  if (data_.empty() || other.data_.empty()) return Order(!data_.empty(), !other.data_.empty());
  switch (type) {
    case xbvtNumber: return Order(GetNumber(), other.GetNumber());
    case xbvtDate: return Order(GetDate(), other.GetDate());
    case xbvtLogical:
      if (data_[0] == other.data_[0]) return 0;
      return GetBoolean() ? 1 : -1;
    default: return CompareBytes(other, type, length, position, partial);
  }
}

int TxbVariant::CompareRaw(const TxbVariant& other, int length, int& position, int partial) const {
  const std::uint8_t type = CommonType(type_, other.type_);
  position = 0;
  if (data_.empty() || other.data_.empty()) return Order(!data_.empty(), !other.data_.empty());
  return CompareBytes(other, type, length, position, partial);
}
