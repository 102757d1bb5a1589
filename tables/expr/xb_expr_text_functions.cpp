// Text functions of the expression language.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tables/expr/xb_expr_builtins.h"
#include "tables/expr/xb_expr_handler.h"
#include "tables/expr/xb_expr_support.h"

namespace vx::expr::builtin {

namespace {

void TrimRightBlanks(AnsiString& s) {
  const std::size_t end = s.find_last_not_of(' ');
  s.erase(end == AnsiString::npos ? 0 : end + 1);
}

void TrimLeftBlanks(AnsiString& s) {
  const std::size_t begin = s.find_first_not_of(' ');
  s.erase(0, begin == AnsiString::npos ? s.size() : begin);
}

std::size_t CountArg(TxbExpFunction& call, int i) {
  ExprValue v;
  call.Arg(i, xtNumber, v);
  return CountChecked(v.Number);
}

// Position (1-based) of the n-th occurrence of search in text, searching on
// after each match; the last one found when fewer occur; 0 when none.
double FindOccurrence(const AnsiString& search, const AnsiString& text, std::int64_t n) {
  if (search.empty()) return 0;
  std::size_t from = 0, found = 0;
  for (std::int64_t k = 0; k < n; ++k) {
    const std::size_t p = text.find(search, from);
    if (p == AnsiString::npos) break;
    found = p + 1;
    from = p + search.size();
  }
  return static_cast<double>(found);
}

void AtCommon(TxbExpFunction& call, ExprValue& out, bool ignoreCase) {
  ExprValue search, occurrence;
  call.Arg(0, xtText, search);
  call.Arg(1, xtText, out);
  call.EvaluateArg(2, occurrence);
  std::int64_t n = 1;
  if (occurrence.Type != xtUndetermined) {
    call.Arg(2, xtNumber, occurrence);
    n = std::max<std::int64_t>(1, TruncChecked(occurrence.Number));
  }
  if (ignoreCase) {
    search.Text = UpperText(search.Text);
    out.Text = UpperText(out.Text);
  }
  out.SetNumber(FindOccurrence(search.Text, out.Text, n));
}

// The text form of any value, as the pad functions use it.
AnsiString ValueText(const ExprValue& v) {
  switch (v.Type) {
    case xtText:
    case xtOther: return v.Text;
    case xtDate: return DayToText(DayChecked(v.Number));
    case xtBoolean: return v.Boolean ? "T" : "F";
    default: return NumberToText(v.Number);
  }
}

enum class PadSide { Left, Right, Center };

void Pad(TxbExpFunction& call, ExprValue& out, PadSide side) {
  ExprValue value, length, fill;
  call.EvaluateArg(0, value);
  if (value.Type == xtUndetermined || value.Type == xtNone) RaiseArgumentNeeded("Value", 1, "Pad");
  call.Arg(1, xtNumber, length);
  call.EvaluateArg(2, fill);
  char padChar = ' ';
  if (fill.Type != xtUndetermined) {
    if (fill.Type != xtText || fill.Text.size() != 1) RaiseValueInvalid("Char");
    padChar = fill.Text[0];
  }
  const std::size_t width = CountChecked(length.Number);
  AnsiString text = ValueText(value);
  if (text.size() < width) {
    const std::size_t surplus = width - text.size();
    const std::size_t before = side == PadSide::Left ? surplus : side == PadSide::Right ? 0 : surplus / 2;
    text.insert(0, before, padChar);
    text.append(surplus - before, padChar);
  }
  out.SetText(text);
}

// STR's formatting: fixed notation with `decimals` places, padded on the
// left to `width`; "*" x width when it does not fit.
AnsiString FormatNumber(double value, std::size_t width, std::size_t decimals) {
  if (!std::isfinite(value)) RaiseValueInvalid("Number");
  // More decimals than the width can never fit.
  if (decimals >= width && width > 0 && decimals > 0) return AnsiString(width, '*');
  const int needed = std::snprintf(nullptr, 0, "%.*f", static_cast<int>(decimals), value);
  if (needed <= 0) RaiseValueInvalid("Number");
  std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
  std::snprintf(buffer.data(), buffer.size(), "%.*f", static_cast<int>(decimals), value);
  AnsiString s(buffer.data(), static_cast<std::size_t>(needed));
  // A value that rounds to zero shows no sign.
  if (s[0] == '-' && s.find_first_not_of("0.", 1) == AnsiString::npos) s.erase(0, 1);
  if (s.size() > width) return AnsiString(width, '*');
  return AnsiString(width - s.size(), ' ') + s;
}

AnsiString StrCommon(TxbExpFunction& call) {
  ExprValue number, width, decimals;
  call.Arg(0, xtNumber, number);
  call.EvaluateArg(1, width);
  call.EvaluateArg(2, decimals);
  const int defaultWidth = call.Handler->UserLink() ? call.Handler->UserLink()->DefaultWidth : 10;
  const std::size_t w = IsNumericType(width.Type) ? CountChecked(width.Number) : CountChecked(defaultWidth);
  const std::size_t d = IsNumericType(decimals.Type) ? CountChecked(decimals.Number) : 0;
  return FormatNumber(number.Number, w, d);
}

}  // namespace

void Alltrim(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtText, out);
  TrimRightBlanks(out.Text);
  TrimLeftBlanks(out.Text);
}

void Ltrim(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtText, out);
  TrimLeftBlanks(out.Text);
}

void Trim(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtText, out);
  TrimRightBlanks(out.Text);
}

void Asc(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtText, out);
  out.SetNumber(out.Text.empty() ? 0 : static_cast<unsigned char>(out.Text[0]));
}

void At(TxbExpFunction& call, ExprValue& out) { AtCommon(call, out, false); }
void Atc(TxbExpFunction& call, ExprValue& out) { AtCommon(call, out, true); }

void Chr(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtNumber, out);
  const double code = std::trunc(out.Number);
  if (!(code >= 0 && code <= 255)) RaiseValueInvalid("Byte");
  out.SetText(AnsiString(1, static_cast<char>(static_cast<unsigned char>(code))));
}

void Left(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtText, out);
  const std::size_t n = CountArg(call, 1);
  if (n < out.Text.size()) out.Text.resize(n);
}

void Right(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtText, out);
  const std::size_t n = CountArg(call, 1);
  if (n < out.Text.size()) out.Text.erase(0, out.Text.size() - n);
}

void Len(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtText, out);
  out.SetNumber(static_cast<double>(out.Text.size()));
}

void Lower(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtText, out);
  out.Text = LowerText(out.Text);
}

void Upper(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtText, out);
  out.Text = UpperText(out.Text);
}

void Padc(TxbExpFunction& call, ExprValue& out) { Pad(call, out, PadSide::Center); }
void Padl(TxbExpFunction& call, ExprValue& out) { Pad(call, out, PadSide::Left); }
void Padr(TxbExpFunction& call, ExprValue& out) { Pad(call, out, PadSide::Right); }

void Proper(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtText, out);
  bool wordStart = true;
  for (char& c : out.Text) {
    c = wordStart ? UpperChar(c) : LowerChar(c);
    wordStart = c == ' ';
  }
}

void Soundex(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtText, out);
  const AnsiString upper = UpperText(out.Text);
  AnsiString code;
  std::size_t i = 0;
  while (i < upper.size() && !IsNameLetter(static_cast<unsigned char>(upper[i]))) ++i;
  if (i < upper.size()) code += upper[i++];
  for (; i < upper.size() && code.size() < 4; ++i) {
    switch (upper[i]) {
      case 'B':
      case 'F':
      case 'P':
      case 'V': code += '1'; break;
      case 'C':
      case 'G':
      case 'J':
      case 'K':
      case 'Q':
      case 'S':
      case 'X':
      case 'Z': code += '2'; break;
      case 'D':
      case 'T': code += '3'; break;
      case 'L': code += '4'; break;
      case 'M':
      case 'N': code += '5'; break;
      case 'R': code += '6'; break;
      default: break;
    }
  }
  code += "0000";
  code.resize(4);
  out.SetText(code);
}

void Space(TxbExpFunction& call, ExprValue& out) { out.SetText(AnsiString(CountArg(call, 0), ' ')); }

void Str(TxbExpFunction& call, ExprValue& out) { out.SetText(StrCommon(call)); }

void Strzero(TxbExpFunction& call, ExprValue& out) {
  AnsiString s = StrCommon(call);
  const std::size_t digits = s.find_first_not_of(' ');
  if (digits != AnsiString::npos && digits > 0) {
    if (s[digits] == '-') {
      // The sign goes in front of the zeros: STRZERO(-5,4) is "-005".
      s[digits] = '0';
      s[0] = '-';
      for (std::size_t k = 1; k < digits; ++k) s[k] = '0';
    } else {
      for (std::size_t k = 0; k < digits; ++k) s[k] = '0';
    }
  }
  out.SetText(s);
}

void Strtran(TxbExpFunction& call, ExprValue& out) {
  ExprValue search, replacement, first, count;
  call.Arg(0, xtText, out);
  call.Arg(1, xtText, search);
  call.EvaluateArg(2, replacement);
  if (replacement.Type != xtUndetermined) call.Arg(2, xtText, replacement);
  call.EvaluateArg(3, first);
  std::int64_t from = 1;
  if (first.Type != xtUndetermined) {
    call.Arg(3, xtNumber, first);
    from = std::max<std::int64_t>(1, TruncChecked(first.Number));
  }
  call.EvaluateArg(4, count);
  std::int64_t limit = -1;  // all
  if (count.Type != xtUndetermined) {
    call.Arg(4, xtNumber, count);
    limit = std::max<std::int64_t>(0, TruncChecked(count.Number));
  }
  const AnsiString& text = out.Text;
  if (text.empty() || search.Text.empty()) return;
  const std::size_t cap = std::max(kMaxGrownText, text.size());
  AnsiString result;
  std::size_t pos = 0;
  std::int64_t seen = 0, replaced = 0;
  for (;;) {
    const std::size_t p = text.find(search.Text, pos);
    if (p == AnsiString::npos) break;
    ++seen;
    result.append(text, pos, p - pos);
    if (seen >= from && (limit < 0 || replaced < limit)) {
      result += replacement.Text;
      ++replaced;
    } else {
      result += search.Text;
    }
    if (result.size() > cap) RaiseValueInvalid("Text");
    pos = p + search.Text.size();
  }
  result.append(text, pos, AnsiString::npos);
  if (result.size() > cap) RaiseValueInvalid("Text");
  out.Text.swap(result);
}

void Substr(TxbExpFunction& call, ExprValue& out) {
  ExprValue start, count;
  call.Arg(0, xtText, out);
  call.Arg(1, xtNumber, start);
  const std::int64_t s = TruncChecked(start.Number);
  call.EvaluateArg(2, count);
  std::size_t n = AnsiString::npos;
  if (count.Type != xtUndetermined) {
    call.Arg(2, xtNumber, count);
    n = CountChecked(count.Number);
  }
  if (s < 1 || static_cast<std::uint64_t>(s) > out.Text.size() || n == 0) {
    out.Text.clear();
    return;
  }
  out.Text = out.Text.substr(static_cast<std::size_t>(s - 1), n);
}

void Val(TxbExpFunction& call, ExprValue& out) {
  call.Arg(0, xtText, out);
  double v = 0;
  if (!ParseDecimal(out.Text, v)) v = 0;
  out.SetNumber(v);
}

}  // namespace vx::expr::builtin
