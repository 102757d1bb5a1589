// File-name and zero-terminated-text helpers of the engine.
#pragma once

#include "platform/rtl/cp1251.h"

// name with extension added when its file name has none; the extension may
// be given with or without its dot ("DBF" or ".DBF").
AnsiString xbDefaultExtension(const AnsiString& name, const AnsiString& extension);
// The file name without folder and extension ("C:\DATA\T.DBF" -> "T").
AnsiString xbStripExtension(const AnsiString& name);

// Pads the zero-terminated text with c up to length characters and ends it
// with a zero; the buffer must hold length + 1 bytes. Longer text stays.
void xbPadPChar(char* text, char c, int length);
// Removes the trailing blanks of a zero-terminated text.
void xbTrimPChar(char* text);

// Compare zero-terminated texts by the locale's collation, with and without
// regard to case; <0, 0, >0. A null pointer counts as an empty text.
int xbCompareStr(const char* a, const char* b);
int xbCompareText(const char* a, const char* b);
