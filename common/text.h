// Text conversions and searches over 8-bit texts in the ANSI code page.
// Free of windows.h: tested directly and natively.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Full-width forms are narrowed to ASCII, leading blanks are skipped and the
// longest prefix that reads as a decimal number is taken. Empty or non-numeric
// texts give 0.
double TextToNumber(std::string_view text);

// As TextToNumber, but reading only a sign and decimal digits; saturates at the
// limits of a 32-bit integer.
int32_t TextToInteger(std::string_view text);

// "%.13g": 4 gives "4", -1 gives "-1", 0.5 gives "0.5".
std::string NumberToText(double value);

// Replaces the code page 936 full-width forms of ASCII (0xA3A1..0xA3FE) and the
// ideographic space (0xA1A1) by their ASCII bytes; everything else is kept.
std::string NarrowFullWidth(std::string_view text);

// A byte of 0x80 or more begins a double-byte character.
inline bool IsLeadByte(unsigned char c) {
    return c >= 0x80;
}

// Folds A..Z to a..z; bytes of double-byte characters are left as they are.
std::string FoldAsciiLower(std::string_view text);

// Position of the first occurrence of fragment in text, trying only positions at
// which a character begins, or npos. An empty fragment occurs at 0 in any text that
// is not empty, and in no empty text. A lone lead byte at the end is stepped over
// without reading past the text.
size_t FindText(std::string_view text, std::string_view fragment);
bool ContainsText(std::string_view text, std::string_view fragment);
bool ContainsTextIgnoringCase(std::string_view text, std::string_view fragment);
