#include "RichGrid/cell_compare.h"

#include <charconv>

#include "RichGrid/markup.h"
#include "RichGrid/text_routines.h"
#include "platform/rtl/dateutils.h"

namespace {

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }

template <typename T>
int Sign(T a, T b) {
  return a < b ? -1 : b < a ? 1 : 0;
}

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// A '.'-based number after optional blanks and sign, nothing after it.
bool ParseDotNumber(const char* begin, const char* end, double& value) {
  while (begin < end && *begin == ' ') ++begin;
  if (begin < end && *begin == '+') ++begin;
  if (begin == end) return false;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  return ec == std::errc() && ptr == end;
}

void EraseFirst(AnsiString& s, const AnsiString& part) {
  if (part.empty()) return;
  const std::size_t p = s.find(part);
  if (p != AnsiString::npos) s.erase(p, part.size());
}

int CompareUpperAscii(const AnsiString& a, const AnsiString& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return x < y ? -1 : 1;
  }
  return Sign(a.size(), b.size());
}

bool IsDateStyle(TSortStyle s) { return s == ssDate || s == ssShortDateEU || s == ssShortDateUS; }

}  // namespace

TSortStyle AutomaticStyle(const AnsiString& text) {
  if (text.empty()) return ssNumeric;
  const int kind = TextNumberType(text);
  if (kind == ntWhole || kind == ntDecimal) return ssNumeric;
  const std::size_t slash = text.find('/');
  if ((slash == 1 || slash == 2) && slash + 1 < text.size() && IsDigitChar(text[slash - 1]) &&
      IsDigitChar(text[slash + 1]))
    return ssDate;
  return ssAlphabetic;
}

bool SortNumber(const AnsiString& text, const AnsiString& prefix, const AnsiString& suffix, bool financial,
                double& value) {
  const char decimal = FormatSettings.DecimalSeparator;
  const bool plain =
      prefix.empty() && suffix.empty() && !financial && (decimal == '.' || text.find(decimal) == AnsiString::npos);
  if (plain) return ParseDotNumber(text.data(), text.data() + text.size(), value);
  AnsiString s = text;
  EraseFirst(s, prefix);
  EraseFirst(s, suffix);
  if (financial) std::erase(s, FormatSettings.ThousandSeparator);
  if (decimal != '.') {
    const std::size_t p = s.find(decimal);
    if (p != AnsiString::npos) s[p] = '.';
  }
  return ParseDotNumber(s.data(), s.data() + s.size(), value);
}

double SortDate(const AnsiString& text) {
  TDateTime value = 0;
  return TryStrToDateTime(text, value) ? value : 0;
}

double ShortDate(const AnsiString& text, bool dayFirst) {
  AnsiString rest = text;
  int parts[2] = {0, 0};
  for (int& part : parts) {
    std::size_t p = rest.find('-');
    if (p == AnsiString::npos) p = rest.find('/');
    if (p == AnsiString::npos) p = rest.find('.');
    if (p == AnsiString::npos || !TryStrToInt(rest.substr(0, p), part)) return 0;
    rest.erase(0, p + 1);
  }
  int year = 0;
  if (!TryStrToInt(rest, year)) return 0;
  if (year >= 0 && year <= 25) year += 2000;
  else if (year >= 26 && year <= 99) year += 1900;
  TDateTime value = 0;
  const int day = dayFirst ? parts[0] : parts[1], month = dayFirst ? parts[1] : parts[0];
  return TryEncodeDate(year, month, day, value) ? value : 0;
}

SortKey MakeSortKey(const AnsiString& text, const TCellFormat& format, bool withDate) {
  SortKey k;
  TSortStyle style = format.Style;
  if (style == ssAutomatic) {
    k.Style = AutomaticStyle(text);
    style = ssNumeric;
  }
  if (style == ssNumeric || style == ssFinancial) {
    k.NumberOk = SortNumber(text, format.Prefix, format.Suffix, style == ssFinancial, k.Number) || text.empty();
    if (!k.NumberOk || text.empty()) k.Number = 0;
  }
  if (withDate || IsDateStyle(format.Style) || k.Style == ssDate) {
    if (format.Style == ssShortDateEU || format.Style == ssShortDateUS)
      k.Date = ShortDate(text, format.Style == ssShortDateEU);
    else k.Date = SortDate(text);
  }
  return k;
}

int CompareSortKeys(const TCellFormat& format, const SortKey& ka, const SortKey& kb, const AnsiString& a,
                    const AnsiString& b) {
  const TSortStyle style = format.Style == ssAutomatic ? ka.Style : format.Style;
  switch (style) {
    case ssNumeric:
    case ssFinancial: return ka.NumberOk && kb.NumberOk ? Sign(ka.Number, kb.Number) : 0;
    case ssDate:
    case ssShortDateEU:
    case ssShortDateUS: return Sign(ka.Date, kb.Date);
    case ssAlphaNoCase: return CompareUpperAscii(a, b);
    case ssAnsiAlphaCase: return Sign(AnsiCompareStr(a, b));
    case ssAnsiAlphaNoCase: return Sign(AnsiCompareText(a, b));
    case ssAlphabetic:
    case ssAlphaCase:
    case ssHTML: return Sign(a.compare(b));
    default: return 0;
  }
}

int CompareCellTexts(const TCellFormat& format, const AnsiString& a, const AnsiString& b) {
  const SortKey ka = MakeSortKey(a, format, false);
  // Under the automatic format the first text decides; the second needs a
  // date when the first is one.
  const SortKey kb = MakeSortKey(b, format, ka.Style == ssDate && format.Style == ssAutomatic);
  if (format.Style == ssHTML) return CompareSortKeys(format, ka, kb, StripMarkup(a), StripMarkup(b));
  return CompareSortKeys(format, ka, kb, a, b);
}
