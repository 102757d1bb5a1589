// How two cell texts of a column compare when the grid sorts, by the
// column's sort style, prefix and suffix.
//
// A text is read once into a SortKey (its automatic style, its number, its
// date); two keys of the same format then compare without reading the texts
// again, so a sort parses each cell once. Comparing the texts directly
// (CompareCellTexts) gives the same answer as comparing their keys.
//
// The styles that ask the application (custom and raw comparison) or look
// at cell objects (images) are the grid's; here they compare equal.
// Conversions never fail: a number that does not convert makes the pair
// equal (an empty cell counts as 0), a date that does not convert is day 0.
#pragma once

#include "RichGrid/rich_grid_types.h"

struct TCellFormat {
  TSortStyle Style = ssAutomatic;
  AnsiString Prefix, Suffix;
};

// The style ssAutomatic stands for with this text: ssNumeric for whole and
// decimal numbers (and the empty text), ssDate for a text with a '/' at its
// second or third character between two digits, else ssAlphabetic.
TSortStyle AutomaticStyle(const AnsiString& text);

// The number ssNumeric (ssFinancial with financial) reads: the prefix and
// the suffix taken out where they first occur, thousand separators dropped
// (financial only), the first decimal separator read as '.'. False when the
// rest is no number.
bool SortNumber(const AnsiString& text, const AnsiString& prefix, const AnsiString& suffix, bool financial,
                double& value);

// ssDate: the text as a date and time in the short formats; 0 when it is none.
double SortDate(const AnsiString& text);

// ssShortDateEU (dayFirst) and ssShortDateUS: three numbers separated by
// '-', '/' or '.' (the first of these found, anew for the second
// separator); years 0..25 are 2000..2025, 26..99 are 1926..1999, others are
// taken as written. 0 when a part is no number or the day is impossible.
double ShortDate(const AnsiString& text, bool dayFirst);

struct SortKey {
  TSortStyle Style = ssAlphabetic;  // the style the text itself calls for (automatic format)
  bool NumberOk = false;            // converted, or empty
  double Number = 0;
  double Date = 0;
};

// The key of a text for a format. Dates are read only when the format's
// style (or the text's own, with ssAutomatic) is a date style, or when
// withDate asks for it.
SortKey MakeSortKey(const AnsiString& text, const TCellFormat& format, bool withDate);

// -1, 0 or 1 for texts a and b with their keys. ssHTML needs the texts with
// their mark-up taken out (pass those as a and b).
int CompareSortKeys(const TCellFormat& format, const SortKey& ka, const SortKey& kb, const AnsiString& a,
                    const AnsiString& b);

// The same comparison straight from the texts.
int CompareCellTexts(const TCellFormat& format, const AnsiString& a, const AnsiString& b);
