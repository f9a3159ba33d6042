#pragma once
// Code page 936 (GBK) aware string helpers. A GBK double-byte character is a lead byte
// 0x81..0xFE followed by a trail byte 0x40..0xFE; trail bytes include '\\' (0x5C) and the
// ASCII letters, so byte-wise searching and case folding would cut or change characters.
#include <string>

namespace mbs {

inline bool IsLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

// Index of the last backslash that is a character of its own, or npos.
size_t FindLastBackslash(const std::string& s);

// True when s holds a backslash that is a character of its own.
bool HasBackslash(const std::string& s);

// Folds ASCII letters to lower case; double-byte characters are kept as they are.
std::string FoldCase(const std::string& s);
void FoldCaseInPlace(std::string& s);

// Case-insensitive equality with double-byte characters compared as units.
bool EqualNoCase(const std::string& a, const std::string& b);

// Whether the text is valid UTF-8 that holds at least one non-ASCII character.
bool IsNonAsciiUtf8(const std::string& s);

} // namespace mbs
