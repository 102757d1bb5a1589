#include "tables/dbf/xb_fields.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/rtl/scope_guard.h"
#include "tables/base/xb_dates.h"
#include "tables/base/xb_errors.h"
#include "tables/base/xb_settings.h"
#include "tables/base/xb_tools.h"
#include "tables/dbf/xbo_memo.h"

namespace {

constexpr std::int64_t kJulianOffset = 1721425;  // julian day of 0001-01-01 minus one
constexpr std::int64_t kEmptyDateTimeDay = 2415019;
constexpr double kMsPerDay = 86400000.0;
constexpr std::uint32_t kFourBlanks = 0x20202020;

bool IsNumberByte(unsigned char c) { return c <= 0x20; }

// Numbers in fields are trimmed of every byte up to 0x20 (other programs pad
// with zeros as well as blanks).
AnsiString TrimNumberText(const AnsiString& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsNumberByte(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && IsNumberByte(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

AnsiString TrimRightBlanks(const AnsiString& s) {
  std::size_t e = s.size();
  while (e > 0 && static_cast<unsigned char>(s[e - 1]) <= 0x20) --e;
  return s.substr(0, e);
}

AnsiString TrimLeftBlanks(const AnsiString& s) {
  std::size_t b = 0;
  while (b < s.size() && static_cast<unsigned char>(s[b]) <= 0x20) ++b;
  return s.substr(b);
}

// A decimal number with '.' (sign, digits, optional fraction and exponent);
// false for anything else, "inf" and "nan" included.
bool ParseNumber(const AnsiString& text, double& value) {
  if (text.empty()) return false;
  for (char c : text)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  bool negative = false;
  if (*first == '+' || *first == '-') {
    negative = *first == '-';
    ++first;
  }
  if (first == last || *first == '+' || *first == '-') return false;
  const auto r = std::from_chars(first, last, value, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != last) return false;
  if (negative) value = -value;
  return true;
}

// A whole number read in place: bytes up to 0x20 around it, an optional
// sign and at most 18 digits, nothing else (nothing at all reads as 0). False for every other text,
// which then goes through ParseNumber. Up to 18 digits fit an int64 and
// convert to the double that ParseNumber gives.
// Inlined into both of its callers: the loop at the heart of every walk that
// reads numbers.
[[gnu::always_inline]] inline bool ParseWholeNumber(const char* p, std::size_t length, double& value) {
  const char* end = p + length;
  // Right-aligned numbers: most of a wide field is blanks, taken 8 at a time.
  constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
  for (std::uint64_t eight; end - p >= 8; p += 8) {
    std::memcpy(&eight, p, 8);
    if (eight != kBlanks) break;
  }
  while (p < end && IsNumberByte(static_cast<unsigned char>(*p))) ++p;
  while (end > p && IsNumberByte(static_cast<unsigned char>(end[-1]))) --end;
  if (p == end) {
    value = 0;
    return true;
  }
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  if (p == end || end - p > 18) return false;
  std::int64_t v = 0;
  for (; p < end; ++p) {
    const unsigned digit = static_cast<unsigned char>(*p) - unsigned('0');
    if (digit > 9) return false;
    v = v * 10 + std::int64_t(digit);
  }
  value = double(v);
  if (negative) value = -value;
  return true;
}

// value in fixed notation with `decimals` decimals and '.', padded on the
// left with blanks to `width`.
AnsiString FormatNumber(double value, int width, int decimals) {
  char buf[1024];
  if (value == 0) value = 0;  // no "-0"
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  AnsiString text = r.ec == std::errc() ? AnsiString(buf, r.ptr) : AnsiString(std::size_t(width) + 1, '*');
  if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("-0.") == AnsiString::npos) text.erase(0, 1);
  if (int(text.size()) < width) text.insert(0, std::size_t(width) - text.size(), ' ');
  return text;
}

std::uint32_t GetLE32(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return std::uint32_t(u[0]) | std::uint32_t(u[1]) << 8 | std::uint32_t(u[2]) << 16 | std::uint32_t(u[3]) << 24;
}
void PutLE32(char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = char(std::uint8_t(v >> (8 * i)));
}
std::uint64_t GetLE64(const char* p) { return std::uint64_t(GetLE32(p)) | std::uint64_t(GetLE32(p + 4)) << 32; }
void PutLE64(char* p, std::uint64_t v) {
  PutLE32(p, std::uint32_t(v));
  PutLE32(p + 4, std::uint32_t(v >> 32));
}

bool IsTrueLetter(char c) { return c != 0 && xbTrueLetters.find(c) != AnsiString::npos; }
bool IsFalseLetter(char c) { return c != 0 && xbFalseLetters.find(c) != AnsiString::npos; }

bool HoldsMemo(const XBFieldDesc* f, std::uint8_t version) { return f && dbf_format::HoldsMemo(f->Type, version); }

// A memo block number held in a field; anything that is not a block number
// (negative, beyond 32 bits, not finite) means no entry.
std::int64_t BlockNumber(double value) {
  if (!(value >= 1 && value < 4294967296.0)) return 0;
  return std::int64_t(value);
}

int RawSize(char t) {
  switch (t) {
    case 'B':
    case 'T':
    case 'Y': return 8;
    case 'G':
    case 'I':
    case 'M': return 4;
    default: return 0;
  }
}

}  // namespace

// ------------------------------------------------------------------ lookup

const XBFieldDesc* XBO_dBaseFld::FieldAt(int n) const {
  if (n < 1 || n > FieldCount) return nullptr;
  return &FFields[std::size_t(n - 1)];
}

int XBO_dBaseFld::FieldNumber(const AnsiString& name) const {
  const AnsiString wanted = TrimRight(name);
  for (const XBFieldDesc& f : FFields)
    if (AnsiSameText(f.Name, wanted)) return f.Number;
  return 0;
}

const XBFieldDesc* XBO_dBaseFld::FindFieldDescriptor(const AnsiString& name) {
  const int n = FieldNumber(name);
  if (n == 0) {
    FoundErrorHook(xbErrBadFieldName, xbCtxFieldName, ShownName() + "->" + name);
    return nullptr;
  }
  FLastField = FieldAt(n);
  return FLastField;
}

const XBFieldDesc* XBO_dBaseFld::TypedField(const AnsiString& name, char wanted) {
  const XBFieldDesc* f = FindFieldDescriptor(name);
  if (!f || f->Type == wanted) return f;
  const char t = f->Type;
  const bool accepted = (wanted == 'N' && (t == 'B' || t == 'F' || t == 'G' || t == 'I' || t == 'M')) ||
                        (wanted == 'G' && (t == 'B' || t == 'M'));
  if (accepted) return f;
  FoundErrorHook(xbErrBadFieldType, xbCtxFieldType, name);
  return nullptr;
}

bool XBO_dBaseFld::IsRawType(const XBFieldDesc& f) const {
  const int size = RawSize(f.Type);
  return Version == dbf_format::kVersionVisualFox && size > 0 && f.Length >= size;
}

void XBO_dBaseFld::MarkChanged(const XBFieldDesc& f) {
  FieldChanged[std::size_t(f.Number)] = 1;
  RecordModified = true;
}

AnsiString XBO_dBaseFld::BaseName() const { return xbStripExtension(FileName()); }

void XBO_dBaseFld::ReadRecord(int code) {
  XBO_dBaseDBF::ReadRecord(code);
  std::fill(FieldChanged.begin(), FieldChanged.end(), 0);
}

// -------------------------------------------------------------- descriptors

int XBO_dBaseFld::FieldDecimals(int n) {
  const XBFieldDesc* f = FieldAt(n);
  return f ? f->Decimals : 0;
}
int XBO_dBaseFld::FieldLength(int n) {
  const XBFieldDesc* f = FieldAt(n);
  return f ? f->Length : 0;
}
int XBO_dBaseFld::FieldOffset(int n) {
  const XBFieldDesc* f = FieldAt(n);
  return f ? f->Offset : 0;
}
AnsiString XBO_dBaseFld::FieldName(int n) {
  const XBFieldDesc* f = FieldAt(n);
  return f ? f->Name : AnsiString();
}
char XBO_dBaseFld::FieldType(int n) {
  const XBFieldDesc* f = FieldAt(n);
  return f ? f->Type : '\0';
}

int XBO_dBaseFld::ExternalFunction(const AnsiString&, const AnsiString&, char&, void*) { return -1; }

// --------------------------------------------------------------------- text

AnsiString XBO_dBaseFld::GetFieldText(int n) {
  const XBFieldDesc* f = FieldAt(n);
  if (!f) return {};
  FLastField = f;
  return AnsiString(CurRecord + f->Offset, std::size_t(f->Length));
}

bool XBO_dBaseFld::PutFieldText(int n, const AnsiString& text) {
  const XBFieldDesc* f = FieldAt(n);
  if (!f) return false;
  FLastField = f;
  char* field = CurRecord + f->Offset;
  std::memset(field, ' ', std::size_t(f->Length));
  const std::size_t len = std::min(text.size(), std::size_t(f->Length));
  const bool left = f->Type == 'C' || f->Type == 'D' || f->Type == 'L';
  std::memcpy(left ? field : field + (f->Length - len), text.data(), len);
  MarkChanged(*f);
  return true;
}

AnsiString XBO_dBaseFld::GetFieldTextByName(const AnsiString& name) {
  const XBFieldDesc* f = FindFieldDescriptor(name);
  return f ? GetFieldText(f->Number) : AnsiString();
}

bool XBO_dBaseFld::PutFieldTextByName(const AnsiString& name, const AnsiString& text) {
  const XBFieldDesc* f = FindFieldDescriptor(name);
  return f && PutFieldText(f->Number, text);
}

// -------------------------------------------------------------------- dates

std::int32_t XBO_dBaseFld::GetDate(int n) {
  if (!FieldAt(n)) return 0;
  return xbDBFDate.CTOD(GetFieldText(n));
}

bool XBO_dBaseFld::PutDate(int n, std::int32_t day) {
  const XBFieldDesc* f = FieldAt(n);
  if (!f || f->Type != 'D') return false;
  if (day == -1) {
    FoundErrorHook(xbErrBadFieldType, xbCtxBadDate, "");
    return false;
  }
  return PutFieldText(n, xbDBFDate.DTOS(day));
}

std::int32_t XBO_dBaseFld::GetDateByName(const AnsiString& name) {
  const XBFieldDesc* f = TypedField(name, 'D');
  return f ? GetDate(f->Number) : 0;
}

bool XBO_dBaseFld::PutDateByName(const AnsiString& name, std::int32_t day) {
  const XBFieldDesc* f = TypedField(name, 'D');
  return f && PutDate(f->Number, day);
}

// ----------------------------------------------------------------- logicals

bool XBO_dBaseFld::GetLogical(int n) {
  const XBFieldDesc* f = FieldAt(n);
  if (!f || f->Length < 1) return false;
  return IsTrueLetter(CurRecord[f->Offset]);
}

bool XBO_dBaseFld::PutLogical(int n, bool value) {
  const XBFieldDesc* f = FieldAt(n);
  if (!f) return false;
  if (f->Type != 'L') {
    FoundErrorHook(xbErrBadFieldType, xbCtxFieldType, "");
    return false;
  }
  return PutFieldText(n, value ? "T" : "F");
}

bool XBO_dBaseFld::GetLogicalByName(const AnsiString& name) {
  const XBFieldDesc* f = TypedField(name, 'L');
  return f && GetLogical(f->Number);
}

bool XBO_dBaseFld::PutLogicalByName(const AnsiString& name, bool value) {
  const XBFieldDesc* f = TypedField(name, 'L');
  return f && PutLogical(f->Number, value);
}

// ------------------------------------------------------------------ numbers

double XBO_dBaseFld::GetNumber(int n) {
  const XBFieldDesc* f = FieldAt(n);
  if (!f) return 0;
  FLastField = f;
  const char* p = CurRecord + f->Offset;
  if (IsRawType(*f)) {
    switch (f->Type) {
      case 'B': {
        double d;
        std::memcpy(&d, p, 8);
        return d;
      }
      case 'G':
      case 'I':
      case 'M': {
        const std::uint32_t v = GetLE32(p);
        return v == kFourBlanks ? 0.0 : double(std::int32_t(v));
      }
      case 'T': {
        const std::uint32_t dayBits = GetLE32(p);
        const std::uint32_t msBits = GetLE32(p + 4);
        std::int64_t day = std::int32_t(dayBits);
        if (dayBits == kFourBlanks || day == 0) day = kEmptyDateTimeDay;
        const std::int64_t ms = msBits == kFourBlanks ? 0 : std::int32_t(msBits);
        return double(day - kJulianOffset) * kMsPerDay + double(ms);
      }
      case 'Y': return double(std::int64_t(GetLE64(p))) / 10000.0;
    }
  }
  double whole = 0;
  if (f->Decimals == 0 && ParseWholeNumber(p, std::size_t(f->Length), whole)) return whole;
  const AnsiString text = TrimNumberText(AnsiString(p, std::size_t(f->Length)));
  if (text.empty()) return 0;
  double value = 0;
  if (!ParseNumber(text, value)) {
    FoundErrorHook(xbErrBadFieldType, xbNoSubCode,
                   "Invalid number in field " + BaseName() + "->" + f->Name + " (" + text + ")");
    return 0;
  }
  return value;
}

bool XBO_dBaseFld::GetWholeNumber(const XBFieldDesc& f, double& value) {
  FLastField = &f;
  return f.Decimals == 0 && ParseWholeNumber(CurRecord + f.Offset, std::size_t(f.Length), value);
}

bool XBO_dBaseFld::PutNumber(int n, double value) {
  const XBFieldDesc* f = FieldAt(n);
  const char t = f ? f->Type : '\0';
  const bool numeric = t == 'B' || t == 'F' || t == 'G' || t == 'M' || t == 'N' ||
                       (Version == dbf_format::kVersionVisualFox && (t == 'I' || t == 'T' || t == 'Y'));
  if (!f || n > xbMaxNumberField || !numeric) {
    FoundErrorHook(xbErrBadFieldType, xbCtxFieldType, f ? f->Name : AnsiString());
    return false;
  }
  FLastField = f;
  if (!std::isfinite(value)) {
    FoundErrorHook(xbErrNumberTooLarge, xbCtxNumberText, f->Name + " - " + FormatNumber(value, 0, 0));
    return false;
  }
  char* p = CurRecord + f->Offset;
  if (IsRawType(*f)) {
    auto tooLarge = [&] {
      FoundErrorHook(xbErrNumberTooLarge, xbCtxNumberText, f->Name + " - " + FormatNumber(value, 0, 4));
      return false;
    };
    switch (t) {
      case 'B': std::memcpy(p, &value, 8); break;
      case 'G':
      case 'I':
      case 'M': {
        const double v = std::trunc(value);
        if (v < INT32_MIN || v > INT32_MAX) return tooLarge();
        PutLE32(p, std::uint32_t(std::int32_t(v)));
        break;
      }
      case 'T': {
        const double day = std::trunc(value / kMsPerDay);
        const double ms = std::trunc(value - day * kMsPerDay);
        const double stored = day + double(kJulianOffset);
        if (stored < INT32_MIN || stored > INT32_MAX || ms < INT32_MIN || ms > INT32_MAX) return tooLarge();
        PutLE32(p, std::uint32_t(std::int32_t(stored)));
        PutLE32(p + 4, std::uint32_t(std::int32_t(ms)));
        break;
      }
      case 'Y': {
        const double scaled = std::round(value * 10000.0);
        if (!(scaled > -9.2e18 && scaled < 9.2e18)) return tooLarge();
        PutLE64(p, std::uint64_t(std::int64_t(scaled)));
        break;
      }
    }
    MarkChanged(*f);
    return true;
  }
  const AnsiString text = FormatNumber(value, f->Length, f->Decimals);
  if (int(text.size()) > f->Length) {
    FoundErrorHook(xbErrNumberTooLarge, xbCtxNumberText, f->Name + " - " + text);
    return false;
  }
  return PutFieldText(n, text);
}

double XBO_dBaseFld::GetNumberByName(const AnsiString& name) {
  const XBFieldDesc* f = TypedField(name, 'N');
  return f ? GetNumber(f->Number) : 0;
}

bool XBO_dBaseFld::PutNumberByName(const AnsiString& name, double value) {
  const XBFieldDesc* f = TypedField(name, 'N');
  return f && PutNumber(f->Number, value);
}

// -------------------------------------------------------------- conversions

bool XBO_dBaseFld::PutString(int n, const AnsiString& text) {
  const XBFieldDesc* f = FieldAt(n);
  if (!f) return false;
  switch (f->Type) {
    case 'D': return PutDate(n, xbDBFDate.CTOD(text));
    case 'N': {
      const AnsiString trimmed = TrimNumberText(text);
      double value = 0;
      if (!trimmed.empty() && !ParseNumber(trimmed, value)) {
        FoundErrorHook(xbErrBadFieldType, xbCtxNumberText, "");
        return false;
      }
      return PutNumber(n, value);
    }
    case 'L': {
      const char c = text.empty() ? 'F' : text[0];
      if (IsTrueLetter(c)) return PutLogical(n, true);
      if (IsFalseLetter(c)) return PutLogical(n, false);
      double value = 0;
      if (!ParseNumber(AnsiString(1, c), value)) {
        FoundErrorHook(xbErrBadFieldType, xbCtxLogicalText, f->Name);
        return false;
      }
      return PutLogical(n, value != 0);
    }
    default: return PutFieldText(n, text);
  }
}

bool XBO_dBaseFld::PutStringByName(const AnsiString& name, const AnsiString& text) {
  const XBFieldDesc* f = FindFieldDescriptor(name);
  return f && PutString(f->Number, text);
}

AnsiString XBO_dBaseFld::GetDisplayText(int n) {
  const XBFieldDesc* f = FieldAt(n);
  if (!f) return {};
  const AnsiString text = TrimRightBlanks(GetFieldText(n));
  auto filled = [&](const char* upper, const char* lower) {
    AnsiString test = TrimLeftBlanks(text);
    if (f->Type == 'M' && IsRawType(*f)) test = GetNumber(n) > 0.1 ? "1" : "0";
    return AnsiString(test > "0" ? upper : lower);
  };
  switch (f->Type) {
    case 'B': return filled("--BINARY--", "--binary--");
    case 'G': return filled("-GENERAL--", "-general--");
    case 'M': return filled("---MEMO---", "---memo---");
    case 'D': return TrimRightBlanks(xbDBFDate.DTOC(xbDBFDate.CTOD(text)));
    case 'F':
    case 'N': {
      const AnsiString left = TrimLeftBlanks(text);
      return left.empty() ? TrimLeftBlanks(FormatNumber(0, f->Length, f->Decimals)) : left;
    }
    case 'L': return IsTrueLetter(text.empty() ? '\0' : text[0]) ? "T" : "F";
    default: return text;
  }
}

AnsiString XBO_dBaseFld::GetDisplayTextByName(const AnsiString& name) {
  const XBFieldDesc* f = FindFieldDescriptor(name);
  return f ? GetDisplayText(f->Number) : AnsiString();
}

// ------------------------------------------------------------------ records

void XBO_dBaseFld::BlankRecord() {
  std::memset(CurRecord, ' ', std::size_t(RecordLength));
  const bool visualFox = Version == dbf_format::kVersionVisualFox;
  for (const XBFieldDesc& f : FFields) {
    const char t = f.Type;
    // The raw binary fields of 0x30 tables blank to zero bytes, as their
    // writers leave them (a zero time stamp is no date, not the year 1).
    if (visualFox && IsRawType(f)) std::memset(CurRecord + f.Offset, 0, std::size_t(f.Length));
    else if (t == 'F' || t == 'N') PutNumber(f.Number, 0);
  }
  std::fill(FieldChanged.begin(), FieldChanged.end(), 1);
  RecordChanged(xbStatusBlanked, 0);
}

void XBO_dBaseFld::DeleteRecord() {
  if (CurRecord[0] == dbf_format::kDeletedFlag) return;
  CurRecord[0] = dbf_format::kDeletedFlag;
  FieldChanged[0] = 1;
  WriteRecord(RecNo);
}

void XBO_dBaseFld::UndeleteRecord() {
  CurRecord[0] = dbf_format::kLiveFlag;
  FieldChanged[0] = 1;
  WriteRecord(RecNo);
}

// -------------------------------------------------------------------- memos

std::int64_t XBO_dBaseFld::MemoLength(int n) {
  const XBFieldDesc* f = FieldAt(n);
  if (!HoldsMemo(f, Version)) return 0;
  XBobjMemo* memo = MemoFile();
  if (!memo) return 0;
  return memo->MemoSize(BlockNumber(GetNumber(n)));
}

std::int64_t XBO_dBaseFld::MemoRead(int n, void* buffer, std::int64_t length) {
  const XBFieldDesc* f = FieldAt(n);
  if (!HoldsMemo(f, Version)) return 0;
  XBobjMemo* memo = MemoFile();
  if (!memo) return 0;
  return memo->MemoGet(BlockNumber(GetNumber(n)), buffer, length);
}

AnsiString XBO_dBaseFld::MemoRead(int n) {
  const XBFieldDesc* f = FieldAt(n);
  if (!HoldsMemo(f, Version)) return {};
  XBobjMemo* memo = MemoFile();
  if (!memo) return {};
  return memo->MemoText(BlockNumber(GetNumber(n)));
}

bool XBO_dBaseFld::MemoWrite(int n, const void* buffer, std::int64_t length) {
  const XBFieldDesc* f = FieldAt(n);
  if (!HoldsMemo(f, Version)) return false;
  XBobjMemo* memo = MemoFile();
  if (!memo) return false;
  if (length <= 0) {
    // No entry: blanks as dBase leaves them (other readers take a stored
    // "0" for block 0, the memo file's header), zero bytes in a binary field.
    std::memset(CurRecord + f->Offset, IsRawType(*f) ? 0 : ' ', std::size_t(f->Length));
    MarkChanged(*f);
    return true;
  }
  const std::int64_t block = memo->MemoPut(BlockNumber(GetNumber(n)), buffer, length);
  return PutNumber(n, double(block));
}

void XBO_dBaseFld::FillFromValues(char* buffer, const AnsiString& fieldList, const std::vector<AnsiString>& values) {
  vx::RestoreOnExit<char*> current(CurRecord, buffer);
  BlankRecord();
  std::size_t start = 0, i = 0;
  while (start <= fieldList.size() && i < values.size()) {
    std::size_t end = fieldList.find(';', start);
    if (end == AnsiString::npos) end = fieldList.size();
    const AnsiString name = Trim(fieldList.substr(start, end - start));
    PutStringByName(name, values[i]);
    ++i;
    start = end + 1;
  }
}
