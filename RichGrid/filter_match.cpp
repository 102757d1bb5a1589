#include "RichGrid/filter_match.h"

#include <algorithm>

#include "RichGrid/date_parts.h"
#include "platform/rtl/sysutils.h"

namespace {

bool IsOperator(char c) { return c == '&' || c == ';' || c == '^'; }

// The filter trimmed, without the blanks next to an operator.
AnsiString SqueezeOperators(const AnsiString& filter) {
  const AnsiString s = Trim(filter);
  AnsiString out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == ' ') {
      std::size_t j = i;
      while (j < s.size() && s[j] == ' ') ++j;
      const bool afterOp = !out.empty() && IsOperator(out.back());
      const bool beforeOp = j < s.size() && IsOperator(s[j]);
      if (!afterOp && !beforeOp) out.append(j - i, ' ');
      i = j - 1;
      continue;
    }
    out += c;
  }
  return out;
}

// The operand after a comparison sign at `pos`: blanks skipped, up to a
// blank, '&', '|' or the end.
AnsiString OperandAt(const AnsiString& s, std::size_t pos) {
  while (pos < s.size() && s[pos] == ' ') ++pos;
  std::size_t end = pos;
  while (end < s.size() && s[end] != ' ' && s[end] != '&' && s[end] != '|') ++end;
  return s.substr(pos, end - pos);
}

// <0, 0, >0: value against operand as numbers, dates or texts.
int CompareOperands(const AnsiString& value, const AnsiString& operand) {
  long double a = 0, b = 0;
  if (TryStrToFloat(value, a) && TryStrToFloat(operand, b)) return a < b ? -1 : a > b ? 1 : 0;
  TDateTime da = 0, db = 0;
  if (StrToDateByFormat(value, da) && StrToDateByFormat(operand, db)) return da < db ? -1 : da > db ? 1 : 0;
  const std::string_view x = std::string_view(value).substr(0, 255);
  const std::string_view y = std::string_view(operand).substr(0, 255);
  const int c = x.compare(y);  // char_traits<char> compares as unsigned bytes
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

struct Comparison {
  bool present = false;
  bool result = false;
};

// The comparison introduced by `sign` ('>' or '<'), when the condition holds one.
Comparison Compare(const AnsiString& condition, const AnsiString& value, char sign) {
  Comparison c;
  const std::size_t p = condition.find(sign);
  if (p == AnsiString::npos) return c;
  const bool orEqual = p + 1 < condition.size() && condition[p + 1] == '=';
  const int order = CompareOperands(value, OperandAt(condition, p + (orEqual ? 2 : 1)));
  c.present = true;
  c.result = sign == '>' ? (order > 0 || (orEqual && order == 0)) : (order < 0 || (orEqual && order == 0));
  return c;
}

// '*' any run, '?' any one character, others equal. Greedy: on a mismatch
// the last star takes one more character.
bool WildcardMatch(std::string_view pattern, std::string_view text) {
  std::size_t p = 0, t = 0;
  std::size_t starP = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      while (p < pattern.size() && pattern[p] == '*') ++p;
      starP = p;
      starT = t;
    } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
      ++p;
      ++t;
    } else if (starP != std::string_view::npos) {
      p = starP;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchMask(const AnsiString& condition, const AnsiString& value) {
  const Comparison greater = Compare(condition, value, '>');
  const Comparison less = Compare(condition, value, '<');
  bool negated = false;
  Comparison g = greater, l = less;
  const std::size_t bang = condition.find('!');
  if (bang != AnsiString::npos && !OperandAt(condition, bang + 1).empty()) {
    negated = true;
    g.present = true;
    l.present = true;
  }
  if (greater.present || less.present) {
    bool result;
    if (condition.find('^') != AnsiString::npos) result = g.result || l.result;
    else if (condition.find('&') != AnsiString::npos && g.present && l.present) result = g.result && l.result;
    else result = (g.present && g.result) || (l.present && l.result);
    if (result) return true;
  }
  AnsiString pattern;
  pattern.reserve(condition.size());
  for (char c : condition) {
    if (c == '!') negated = true;
    else pattern += c;
  }
  return WildcardMatch(pattern, value) != negated;
}

bool MatchCondition(const AnsiString& condition, const AnsiString& value) {
  return MatchMask(condition.substr(0, condition.find('\0')), value.substr(0, value.find('\0')));
}

bool MatchFilter(const AnsiString& filter, const AnsiString& value) {
  const AnsiString s = SqueezeOperators(filter);
  bool result = false;
  char pendingOp = 0;
  std::size_t start = 0;
  for (;;) {
    const auto it = std::find_if(s.begin() + static_cast<std::ptrdiff_t>(start), s.end(), IsOperator);
    const std::size_t end = static_cast<std::size_t>(it - s.begin());
    const bool part = MatchCondition(s.substr(start, end - start), value);
    result = pendingOp == 0 ? part : pendingOp == '&' ? (result && part) : (result || part);
    if (end == s.size()) break;
    pendingOp = s[end];
    start = end + 1;
  }
  return result;
}
