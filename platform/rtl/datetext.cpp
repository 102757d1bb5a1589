// Dates and times <-> text (FormatDateTime, StrToDate and friends).
#include <cmath>

#include "platform/rtl/dateutils.h"

namespace {

char Up(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

AnsiString Pad2(int v) {
  AnsiString s = IntToStr(v);
  if (v >= 0 && v < 10) s.insert(s.begin(), '0');
  return s;
}

AnsiString Pad(int v, std::size_t width) {
  AnsiString s = IntToStr(v);
  while (s.size() < width) s.insert(s.begin(), '0');
  return s;
}

bool StartsWithText(const AnsiString& s, std::size_t i, const char* word) {
  for (std::size_t k = 0; word[k]; ++k)
    if (i + k >= s.size() || Up(s[i + k]) != Up(word[k])) return false;
  return true;
}

class DateFormatter {
 public:
  explicit DateFormatter(TDateTime dt) {
    Word y, m, d, dow, h, n, s, z;
    DecodeDateFully(dt, y, m, d, dow);
    DecodeTime(dt, h, n, s, z);
    year_ = y, month_ = m, day_ = d, dow_ = dow, hour_ = h, min_ = n, sec_ = s, msec_ = z;
  }

  void Append(const AnsiString& format, AnsiString& out, int depth) {
    if (depth > 2) return;  // a format setting that names itself
    bool lastWasHour = false;
    std::size_t i = 0;
    const std::size_t n = format.size();
    auto run = [&](char c) {
      std::size_t k = i;
      while (k < n && Up(format[k]) == c) ++k;
      return k - i;
    };
    while (i < n) {
      const char c = format[i];
      const char u = Up(c);
      if (c == '\'' || c == '"') {
        const std::size_t end = format.find(c, i + 1);
        const std::size_t stop = end == AnsiString::npos ? n : end;
        out.append(format, i + 1, stop - i - 1);
        i = stop == n ? n : stop + 1;
        continue;
      }
      if (u == 'A') {
        if (StartsWithText(format, i, "AM/PM")) {
          out += hour_ < 12 ? "am" : "pm";
          if (format.compare(i, 5, "AM/PM") == 0) out.replace(out.size() - 2, 2, hour_ < 12 ? "AM" : "PM");
          i += 5;
        } else if (StartsWithText(format, i, "A/P")) {
          const bool upper = format[i] == 'A';
          out += hour_ < 12 ? (upper ? "A" : "a") : (upper ? "P" : "p");
          i += 3;
        } else if (StartsWithText(format, i, "AMPM")) {
          out += hour_ < 12 ? FormatSettings.TimeAMString : FormatSettings.TimePMString;
          i += 4;
        } else {
          out += c;
          ++i;
        }
        lastWasHour = false;
        continue;
      }
      switch (u) {
        case 'C':
          Append(FormatSettings.ShortDateFormat, out, depth + 1);
          if (hour_ || min_ || sec_ || msec_) {
            out += ' ';
            Append(FormatSettings.LongTimeFormat, out, depth + 1);
          }
          ++i;
          break;
        case 'D': {
          const std::size_t k = run('D');
          if (k == 1) out += IntToStr(day_);
          else if (k == 2) out += Pad2(day_);
          else if (k == 3) out += dow_ ? FormatSettings.ShortDayNames[dow_ - 1] : AnsiString();
          else if (k == 4) out += dow_ ? FormatSettings.LongDayNames[dow_ - 1] : AnsiString();
          else if (k == 5) Append(FormatSettings.ShortDateFormat, out, depth + 1);
          else Append(FormatSettings.LongDateFormat, out, depth + 1);
          i += std::min<std::size_t>(k, 6);
          break;
        }
        case 'M': {
          const std::size_t k = run('M');
          if (lastWasHour && k <= 2) {
            out += k == 1 ? IntToStr(min_) : Pad2(min_);
          } else if (k == 1) {
            out += IntToStr(month_);
          } else if (k == 2) {
            out += Pad2(month_);
          } else if (month_ >= 1) {
            out += k == 3 ? FormatSettings.ShortMonthNames[month_ - 1] : FormatSettings.LongMonthNames[month_ - 1];
          }
          i += std::min<std::size_t>(k, 4);
          break;
        }
        case 'Y': {
          const std::size_t k = run('Y');
          out += k <= 2 ? Pad2(year_ % 100) : Pad(year_, 4);
          i += k;
          break;
        }
        case 'H': {
          const std::size_t k = run('H');
          int h = hour_;
          if (TwelveHourFollows(format, i + k)) {
            h %= 12;
            if (h == 0) h = 12;
          }
          out += k == 1 ? IntToStr(h) : Pad2(h);
          i += std::min<std::size_t>(k, 2);
          lastWasHour = true;
          continue;
        }
        case 'N': {
          const std::size_t k = run('N');
          out += k == 1 ? IntToStr(min_) : Pad2(min_);
          i += std::min<std::size_t>(k, 2);
          break;
        }
        case 'S': {
          const std::size_t k = run('S');
          out += k == 1 ? IntToStr(sec_) : Pad2(sec_);
          i += std::min<std::size_t>(k, 2);
          break;
        }
        case 'Z': {
          const std::size_t k = run('Z');
          out += k < 3 ? IntToStr(msec_) : Pad(msec_, 3);
          i += std::min<std::size_t>(k, 3);
          break;
        }
        case 'T': {
          const std::size_t k = run('T');
          Append(k == 1 ? FormatSettings.ShortTimeFormat : FormatSettings.LongTimeFormat, out, depth + 1);
          i += std::min<std::size_t>(k, 2);
          break;
        }
        case '/':
          if (FormatSettings.DateSeparator) out += FormatSettings.DateSeparator;
          ++i;
          continue;
        case ':':
          if (FormatSettings.TimeSeparator) out += FormatSettings.TimeSeparator;
          ++i;
          continue;
        default:
          out += c;
          ++i;
          continue;  // a plain character keeps "after an hour" for a following m
      }
      lastWasHour = false;
    }
  }

 private:
  static bool TwelveHourFollows(const AnsiString& format, std::size_t from) {
    for (std::size_t i = from; i < format.size(); ++i) {
      if (format[i] == '\'' || format[i] == '"') {
        const std::size_t end = format.find(format[i], i + 1);
        if (end == AnsiString::npos) return false;
        i = end;
        continue;
      }
      if (StartsWithText(format, i, "AM/PM") || StartsWithText(format, i, "A/P") || StartsWithText(format, i, "AMPM"))
        return true;
      if (Up(format[i]) == 'H') return false;
    }
    return false;
  }

  int year_, month_, day_, dow_, hour_, min_, sec_, msec_;
};

// --- parsing

struct Scanner {
  const AnsiString& s;
  std::size_t i = 0;

  void Blanks() {
    while (i < s.size() && s[i] == ' ') ++i;
  }
  bool Char(char c) {
    Blanks();
    if (c != 0 && i < s.size() && s[i] == c) {
      ++i;
      return true;
    }
    return false;
  }
  // Up to 4 digits; `digits` receives how many were read.
  bool Number(int& value, int& digits) {
    Blanks();
    value = 0;
    digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      if (++digits > 4) return false;
      value = value * 10 + (s[i++] - '0');
    }
    return digits > 0;
  }
  bool AtEnd() {
    Blanks();
    return i == s.size();
  }
};

enum class DateOrder { DMY, MDY, YMD };

DateOrder OrderOf(const AnsiString& format) {
  for (char c : format) {
    const char u = Up(c);
    if (u == 'D') return DateOrder::DMY;
    if (u == 'M') return DateOrder::MDY;
    if (u == 'Y') return DateOrder::YMD;
  }
  return DateOrder::DMY;
}

bool ScanDate(Scanner& sc, TDateTime& date, const TFormatSettings& settings) {
  int n1, n2, n3 = 0, l1, l2, l3 = 0;
  const char sep = settings.DateSeparator;
  if (!sc.Number(n1, l1) || !sc.Char(sep) || !sc.Number(n2, l2)) return false;
  const std::size_t save = sc.i;
  bool three = false;
  if (sc.Char(sep)) {
    if (sc.Number(n3, l3)) three = true;
    else sc.i = save;
  }
  Word cy, cm, cd;
  DecodeDate(Date(), cy, cm, cd);
  int y, m, d, yl;
  const DateOrder order = OrderOf(settings.ShortDateFormat);
  if (!three) {
    y = cy;
    yl = 4;
    if (order == DateOrder::MDY) m = n1, d = n2;
    else if (order == DateOrder::DMY) d = n1, m = n2;
    else m = n1, d = n2;
  } else if (order == DateOrder::MDY) {
    m = n1, d = n2, y = n3, yl = l3;
  } else if (order == DateOrder::DMY) {
    d = n1, m = n2, y = n3, yl = l3;
  } else {
    y = n1, yl = l1, m = n2, d = n3;
  }
  if (yl <= 2) {
    const int window = settings.TwoDigitYearCenturyWindow;
    const int pivot = cy - window;
    y += pivot / 100 * 100;
    if (window > 0 && y < pivot) y += 100;
  }
  return TryEncodeDate(y, m, d, date);
}

bool ScanTime(Scanner& sc, TDateTime& time) {
  int h, n = 0, s = 0, z = 0, l;
  if (!sc.Number(h, l)) return false;
  const char sep = FormatSettings.TimeSeparator;
  if (sc.Char(sep)) {
    if (!sc.Number(n, l)) return false;
    if (sc.Char(sep)) {
      if (!sc.Number(s, l)) return false;
      if (sc.Char(FormatSettings.DecimalSeparator) && !sc.Number(z, l)) return false;
    }
  } else {
    return false;  // a lone number is not a time
  }
  sc.Blanks();
  int ampm = -1;
  if (StartsWithText(sc.s, sc.i, "AM") || StartsWithText(sc.s, sc.i, FormatSettings.TimeAMString.c_str())) {
    ampm = 0;
  } else if (StartsWithText(sc.s, sc.i, "PM") || StartsWithText(sc.s, sc.i, FormatSettings.TimePMString.c_str())) {
    ampm = 1;
  }
  if (ampm >= 0) {
    sc.i += 2;
    if (h == 0 || h > 12) return false;
    if (h == 12) h = 0;
    h += ampm * 12;
  }
  return TryEncodeTime(h, n, s, z, time);
}

}  // namespace

AnsiString FormatDateTime(const AnsiString& format, TDateTime dateTime) {
  AnsiString out;
  DateFormatter f(dateTime);
  f.Append(format.empty() ? AnsiString("c") : format, out, 0);
  return out;
}

AnsiString DateToStr(TDateTime date) { return FormatDateTime("ddddd", date); }
AnsiString TimeToStr(TDateTime time) { return FormatDateTime("tt", time); }
AnsiString DateTimeToStr(TDateTime dateTime) { return FormatDateTime("c", dateTime); }

bool TryStrToDate(const AnsiString& s, TDateTime& date) { return TryStrToDate(s, date, FormatSettings); }

bool TryStrToDate(const AnsiString& s, TDateTime& date, const TFormatSettings& settings) {
  Scanner sc{s};
  TDateTime d;
  if (!ScanDate(sc, d, settings) || !sc.AtEnd()) return false;
  date = d;
  return true;
}

TDateTime StrToDate(const AnsiString& s) { return StrToDate(s, FormatSettings); }

TDateTime StrToDate(const AnsiString& s, const TFormatSettings& settings) {
  TDateTime d;
  if (!TryStrToDate(s, d, settings)) throw EConvertError("'" + s + "' is not a valid date");
  return d;
}

bool TryStrToTime(const AnsiString& s, TDateTime& time) {
  Scanner sc{s};
  TDateTime t;
  if (!ScanTime(sc, t) || !sc.AtEnd()) return false;
  time = t;
  return true;
}

TDateTime StrToTime(const AnsiString& s) {
  TDateTime t;
  if (!TryStrToTime(s, t)) throw EConvertError("'" + s + "' is not a valid time");
  return t;
}

bool TryStrToDateTime(const AnsiString& s, TDateTime& dateTime) {
  Scanner sc{s};
  TDateTime d, t = 0;
  if (!ScanDate(sc, d, FormatSettings)) {
    // A time alone is a time on day 0.
    Scanner ts{s};
    if (!ScanTime(ts, t) || !ts.AtEnd()) return false;
    dateTime = t;
    return true;
  }
  if (!sc.AtEnd() && (!ScanTime(sc, t) || !sc.AtEnd())) return false;
  dateTime = d < 0 ? d - t : d + t;
  return true;
}

TDateTime StrToDateTime(const AnsiString& s) {
  TDateTime dt;
  if (!TryStrToDateTime(s, dt)) throw EConvertError("'" + s + "' is not a valid date and time");
  return dt;
}
