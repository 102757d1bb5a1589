// What the cell editors let a user type: the key rules of number cells and
// the case rules of the case-converting cells. Pure functions over CP1251
// text; the selection is [selStart, selStart + selLength) of the text.
#pragma once

#include "platform/rtl/cp1251.h"

enum class TNumberInput {
  Integer,          // digits and one '-' at the start
  PositiveInteger,  // digits only
  Float             // as Integer, plus one decimal mark ('.' or ',')
};

// Whether `key` may replace the selection. Backspace, Tab and Enter always
// pass; '-' only at the start and only when the text outside the selection
// has none; a decimal mark only when the text outside the selection has none.
bool NumberKeyAllowed(TNumberInput kind, const AnsiString& text, int selStart, int selLength, char key);

// Whether the whole text is one a number cell of that kind may hold after
// a paste: an integer (or, for Float, an integer or a decimal number).
bool NumberTextAllowed(TNumberInput kind, const AnsiString& text);

// A letter is upper-cased at the start and after a space, an apostrophe,
// ',', '-' or '.'; other letters are lower-cased; the letter after "Mc" at
// the start of a word is upper-cased, and a final " I" or " II" stays
// upper-case.
AnsiString MixedCase(const AnsiString& s);

// The text with the selection replaced by `insert`, and where the caret
// goes (after the inserted text).
AnsiString ReplaceSelection(const AnsiString& text, int selStart, int selLength, const AnsiString& insert, int& caret);
