// Small text conversions of the grid: line breaks and their encodings in
// files and INI values, quoting, URLs, cell references, the kind of a cell
// text and of a number text.
//
// Pure functions over CP1251 text. Separators are read from the mutable
// FormatSettings. Positions are 1-based with 0 for "none", as the callers
// (file readers, clipboard, painting) count them.
#pragma once

#include "platform/gui/draw/graphics.h"
#include "platform/rtl/cp1251.h"

int Max(int a, int b);
int Min(int a, int b);

// Pos(sub, s), also stored in p.
int VarPos(const AnsiString& sub, const AnsiString& s, int& p);

// The text before the first ','; it and the comma are removed from s. With
// no ',' the result is empty and s stays.
AnsiString CutBeforeComma(AnsiString& s);

// The first character of s that `inSet` accepts, or character 0.
template <typename Pred>
char FirstCharOfSet(const AnsiString& s, Pred inSet) {
  for (char c : s)
    if (inSet(c)) return c;
  return '\0';
}

// "R<row>C<col>" (any case, at least 4 characters): true with both numbers.
bool IsCellReference(const AnsiString& s, int& col, int& row);

// Holds "://" or "mailto:".
bool IsURL(const AnsiString& s);
// Everything up to and including "://" (else "mailto:") removed.
AnsiString StripURLScheme(const AnsiString& s);

enum TCellTextKind { ctPlain = 0, ctMarkup = 1, ctRichText = 2, ctFormula = 3 };
// 3 formula ('=' first), 2 rich text ("{\" first), 1 mark-up (holds "</",
// "<B" or "<I", with htmlEnabled), else 0; a one-character text is 0.
int TextType(const AnsiString& s, bool htmlEnabled);

// Thousand separators dropped, the decimal separator turned into '.'.
AnsiString NormalizeNumberText(const AnsiString& s);
// Each CR becomes "<br>".
AnsiString CRToBR(const AnsiString& s);
// Six upper-case hexadecimal digits: red, green, blue (system colours resolved).
AnsiString ColorToHTMLHex(TColor color);

enum TNumberTextKind { ntWhole = 0, ntDecimal = 1, ntText = 2 };
// 0: digits with an optional leading '-'; 1: digits, an optional leading
// '-', at most one decimal separator and thousand separators at least three
// digits apart; 2: anything else, a text without digits included.
int TextNumberType(const AnsiString& s);

// "\n" (backslash, n) <-> CR; LF are dropped on the way to escapes.
AnsiString EscapesToLineBreaks(const AnsiString& s);
AnsiString LineBreaksToEscapes(const AnsiString& s);

AnsiString FillChars(const AnsiString& s, char c);
// Code page 866 to code page 1251.
AnsiString OemToAnsi(const AnsiString& s);
// Every run of c becomes one c.
AnsiString CollapseRepeatedChar(char c, const AnsiString& s);
// CR LF become LF, then the whole is enclosed in double quotes.
AnsiString QuoteText(const AnsiString& s);
AnsiString LFToCRLF(const AnsiString& s);
AnsiString TildeToCRLF(const AnsiString& s);
// ASCII letters only.
AnsiString UpCaseText(const AnsiString& s);

// Cell-file encoding of line breaks: when the text holds a CR, CR becomes
// character 9 and LF character 8. Decoding applies when the text holds a
// character 8; without multiLine only the first line is kept.
AnsiString EncodeLineBreaks(const AnsiString& s);
AnsiString DecodeLineBreaks(const AnsiString& s, bool multiLine);

// The text before the first CR (an LF after it is skipped as well); with
// keepRest s keeps what follows, else s is emptied.
AnsiString CutFirstLine(AnsiString& s, bool keepRest);
// CR-separated lines with multiLine, else 1.
int LineCount(const AnsiString& s, bool multiLine);
// A "single" c is neither preceded nor followed by c, or is the last
// character. Position of the first (0 when none) / their number.
int SingleCharPos(char c, const AnsiString& s);
int SingleCharCount(char c, const AnsiString& s);
AnsiString StripCR(const AnsiString& s);
