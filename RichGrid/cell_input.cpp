#include "RichGrid/cell_input.h"

#include <algorithm>

#include "RichGrid/text_routines.h"
#include "platform/rtl/sysutils.h"

namespace {

bool IsDecimalMark(char c) { return c == '.' || c == ','; }

// The text outside the selection holds a character that `match` accepts.
template <typename Pred>
bool OutsideSelectionHas(const AnsiString& text, int selStart, int selLength, Pred match) {
  const int n = static_cast<int>(text.size());
  const int from = std::clamp(selStart, 0, n), to = std::clamp(selStart + std::max(selLength, 0), from, n);
  for (int i = 0; i < n; ++i)
    if ((i < from || i >= to) && match(text[static_cast<std::size_t>(i)])) return true;
  return false;
}

bool IsLetter(char c) {
  const AnsiString s(1, c);
  return AnsiUpperCase(s) != AnsiLowerCase(s);
}

char Upper(char c) { return AnsiUpperCase(AnsiString(1, c))[0]; }
char Lower(char c) { return AnsiLowerCase(AnsiString(1, c))[0]; }

bool StartsWord(char before) {
  return before == ' ' || before == '\'' || before == ',' || before == '-' || before == '.';
}

}  // namespace

bool NumberKeyAllowed(TNumberInput kind, const AnsiString& text, int selStart, int selLength, char key) {
  if (key == '\b' || key == '\t' || key == '\r' || key == '\n') return true;
  if (key >= '0' && key <= '9') return true;
  if (key == '-' && kind != TNumberInput::PositiveInteger)
    return selStart <= 0 && !OutsideSelectionHas(text, selStart, selLength, [](char c) { return c == '-'; });
  if (IsDecimalMark(key) && kind == TNumberInput::Float)
    return !OutsideSelectionHas(text, selStart, selLength, IsDecimalMark);
  return false;
}

bool NumberTextAllowed(TNumberInput kind, const AnsiString& text) {
  const int type = TextNumberType(text);
  switch (kind) {
    case TNumberInput::Integer: return type == ntWhole;
    case TNumberInput::PositiveInteger: return type == ntWhole && text.find('-') == AnsiString::npos;
    case TNumberInput::Float: return type == ntWhole || type == ntDecimal;
  }
  return false;
}

AnsiString MixedCase(const AnsiString& s) {
  AnsiString out = s;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const char c = out[i];
    if (!IsLetter(c)) continue;
    bool up = i == 0 || StartsWord(out[i - 1]);
    // "Mc" at the start of a word: the next letter is a capital too (McDonald).
    if (!up && i >= 2 && (out[i - 2] == 'M' || out[i - 2] == 'm') && (out[i - 1] == 'c' || out[i - 1] == 'C') &&
        (i == 2 || StartsWord(out[i - 3])))
      up = true;
    out[i] = up ? Upper(c) : Lower(c);
  }
  // A final Roman one or two stays as it was typed in capitals.
  for (const char* suffix : {" I", " II"}) {
    const std::size_t n = std::char_traits<char>::length(suffix);
    if (s.size() >= n && UpperCase(s.substr(s.size() - n)) == suffix) out.replace(out.size() - n, n, suffix);
  }
  return out;
}

AnsiString ReplaceSelection(const AnsiString& text, int selStart, int selLength, const AnsiString& insert, int& caret) {
  const int n = static_cast<int>(text.size());
  const int from = std::clamp(selStart, 0, n), to = std::clamp(selStart + std::max(selLength, 0), from, n);
  caret = from + static_cast<int>(insert.size());
  return text.substr(0, static_cast<std::size_t>(from)) + insert + text.substr(static_cast<std::size_t>(to));
}
