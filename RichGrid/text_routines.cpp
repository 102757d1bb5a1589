#include "RichGrid/text_routines.h"

#include <vector>

#include "platform/os/oem_charset.h"
#include "platform/rtl/sysutils.h"

namespace {

constexpr char CR = '\r', LF = '\n';

AnsiString ReplaceChar(const AnsiString& s, char from, const char* to) {
  AnsiString out;
  out.reserve(s.size());
  for (char c : s) {
    if (c == from) out += to;
    else out += c;
  }
  return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSingleAt(char c, const AnsiString& s, std::size_t i) {
  if (s[i] != c) return false;
  if (i + 1 == s.size()) return true;
  return (i == 0 || s[i - 1] != c) && s[i + 1] != c;
}

}  // namespace

int Max(int a, int b) { return a > b ? a : b; }
int Min(int a, int b) { return a < b ? a : b; }

int VarPos(const AnsiString& sub, const AnsiString& s, int& p) {
  p = Pos(sub, s);
  return p;
}

AnsiString CutBeforeComma(AnsiString& s) {
  const std::size_t comma = s.find(',');
  if (comma == AnsiString::npos) return AnsiString();
  AnsiString head = s.substr(0, comma);
  s.erase(0, comma + 1);
  return head;
}

bool IsCellReference(const AnsiString& s, int& col, int& row) {
  const AnsiString u = UpperCase(s);
  if (u.size() < 4 || u[0] != 'R') return false;
  const std::size_t c = u.find('C');
  if (c == AnsiString::npos) return false;
  return TryStrToInt(u.substr(1, c - 1), row) && TryStrToInt(u.substr(c + 1), col);
}

bool IsURL(const AnsiString& s) { return s.find("://") != AnsiString::npos || s.find("mailto:") != AnsiString::npos; }

AnsiString StripURLScheme(const AnsiString& s) {
  std::size_t p = s.find("://");
  if (p != AnsiString::npos) return s.substr(p + 3);
  p = s.find("mailto:");
  if (p != AnsiString::npos) return s.substr(p + 7);
  return s;
}

int TextType(const AnsiString& s, bool htmlEnabled) {
  if (s.size() <= 1) return ctPlain;
  if (s[0] == '=') return ctFormula;
  if (s.compare(0, 2, "{\\") == 0) return ctRichText;
  if (htmlEnabled &&
      (s.find("</") != AnsiString::npos || s.find("<B") != AnsiString::npos || s.find("<I") != AnsiString::npos))
    return ctMarkup;
  return ctPlain;
}

AnsiString NormalizeNumberText(const AnsiString& s) {
  AnsiString out;
  out.reserve(s.size());
  for (char c : s) {
    if (c == FormatSettings.ThousandSeparator) continue;
    out += c == FormatSettings.DecimalSeparator ? '.' : c;
  }
  return out;
}

AnsiString CRToBR(const AnsiString& s) { return ReplaceChar(s, CR, "<br>"); }

AnsiString ColorToHTMLHex(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return IntToHex(rgb & 0xFF, 2) + IntToHex((rgb >> 8) & 0xFF, 2) + IntToHex((rgb >> 16) & 0xFF, 2);
}

int TextNumberType(const AnsiString& s) {
  bool digits = false, decimalSeen = false, thousandSeen = false;
  int lastThousand = -1;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (IsDigit(c)) {
      digits = true;
    } else if (c == '-') {
      if (i != 0) return ntText;
    } else if (c == FormatSettings.DecimalSeparator) {
      if (decimalSeen) return ntText;
      decimalSeen = true;
    } else if (c == FormatSettings.ThousandSeparator) {
      if (lastThousand >= 0 && static_cast<int>(i) - lastThousand < 4) return ntText;
      lastThousand = static_cast<int>(i);
      thousandSeen = true;
    } else {
      return ntText;
    }
  }
  if (!digits) return ntText;
  return decimalSeen || thousandSeen ? ntDecimal : ntWhole;
}

AnsiString EscapesToLineBreaks(const AnsiString& s) {
  AnsiString out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'n') {
      out += CR;
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

AnsiString LineBreaksToEscapes(const AnsiString& s) {
  AnsiString out;
  out.reserve(s.size());
  for (char c : s) {
    if (c == CR) out += "\\n";
    else if (c != LF) out += c;
  }
  return out;
}

AnsiString FillChars(const AnsiString& s, char c) { return AnsiString(s.size(), c); }

AnsiString OemToAnsi(const AnsiString& s) {
  AnsiString out(s);
  if (!out.empty()) OemToCharBuff(s.data(), out.data(), static_cast<std::uint32_t>(s.size()));
  return out;
}

AnsiString CollapseRepeatedChar(char c, const AnsiString& s) {
  AnsiString out;
  out.reserve(s.size());
  for (char x : s)
    if (x != c || out.empty() || out.back() != c) out += x;
  return out;
}

AnsiString QuoteText(const AnsiString& s) {
  AnsiString out = "\"";
  for (std::size_t i = 0; i < s.size(); ++i)
    if (!(s[i] == CR && i + 1 < s.size() && s[i + 1] == LF)) out += s[i];
  return out + "\"";
}

AnsiString LFToCRLF(const AnsiString& s) { return ReplaceChar(s, LF, "\r\n"); }
AnsiString TildeToCRLF(const AnsiString& s) { return ReplaceChar(s, '~', "\r\n"); }
AnsiString UpCaseText(const AnsiString& s) { return UpperCase(s); }

AnsiString EncodeLineBreaks(const AnsiString& s) {
  if (s.find(CR) == AnsiString::npos) return s;
  AnsiString out(s);
  for (char& c : out) {
    if (c == CR) c = '\t';
    else if (c == LF) c = '\b';
  }
  return out;
}

AnsiString DecodeLineBreaks(const AnsiString& s, bool multiLine) {
  if (s.find('\b') == AnsiString::npos) return s;
  AnsiString out(s);
  for (char& c : out) {
    if (c == '\t') c = CR;
    else if (c == '\b') c = LF;
  }
  if (!multiLine) out.erase(std::min(out.find(CR), out.size()));
  return out;
}

AnsiString CutFirstLine(AnsiString& s, bool keepRest) {
  const std::size_t cr = s.find(CR);
  if (cr == AnsiString::npos) {
    AnsiString all = s;
    s.clear();
    return all;
  }
  AnsiString first = s.substr(0, cr);
  std::size_t rest = cr + 1;
  if (rest < s.size() && s[rest] == LF) ++rest;
  if (keepRest) s.erase(0, rest);
  else s.clear();
  return first;
}

int LineCount(const AnsiString& s, bool multiLine) {
  if (!multiLine) return 1;
  int n = 1;
  for (char c : s) n += c == CR;
  return n;
}

int SingleCharPos(char c, const AnsiString& s) {
  for (std::size_t i = 0; i < s.size(); ++i)
    if (IsSingleAt(c, s, i)) return static_cast<int>(i) + 1;
  return 0;
}

int SingleCharCount(char c, const AnsiString& s) {
  int n = 0;
  for (std::size_t i = 0; i < s.size(); ++i) n += IsSingleAt(c, s, i);
  return n;
}

AnsiString StripCR(const AnsiString& s) {
  AnsiString out;
  out.reserve(s.size());
  for (char c : s)
    if (c != CR) out += c;
  return out;
}
