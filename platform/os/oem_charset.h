// The original platform's character calls on ANSI (code page 1251) text:
// conversion to and from the OEM code page (866) and in-place case mapping.
//
// The conversions use the program's 256-entry tables; a character that the
// other code page lacks becomes the table's stand-in character. Source and
// destination may be the same buffer (conversion in place). Lengths are
// byte counts; the zero-terminated forms stop at the first zero byte and
// write the terminator.
//
// Case mapping follows code page 1251: ASCII letters and the Cyrillic letters
// (Ё/ё and the other letters of the code page included) change case; every
// other byte stays.
#pragma once

#include <cstdint>

bool CharToOemBuff(const char* source, char* destination, std::uint32_t length);
bool OemToCharBuff(const char* source, char* destination, std::uint32_t length);
bool CharToOem(const char* source, char* destination);
bool OemToChar(const char* source, char* destination);

// Return the number of bytes processed.
std::uint32_t CharUpperBuff(char* text, std::uint32_t length);
std::uint32_t CharLowerBuff(char* text, std::uint32_t length);
// Zero-terminated, in place; return text.
char* CharUpper(char* text);
char* CharLower(char* text);
