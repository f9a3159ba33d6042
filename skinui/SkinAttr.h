#pragma once
// Parsers of the attribute value forms used by layouts: boolean, decimal, size pair,
// quadruple, colour, and the attribute lists of default lists. Pure functions, no Win32 calls
// beyond the RECT/SIZE types. A null string parses like an empty one.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace SkinUI {

// Exactly "true" (lower case) is true; anything else is false.
bool ParseBool(const char* value);

// Leading whitespace and a sign allowed, digits up to the first other character; no digits
// gives 0 (and *end = value, as strtol does). Out-of-range values clamp to the int range.
// When end is given it receives the first character not used.
int ParseDecimal(const char* value, const char** end = nullptr);

// A decimal, then a second one starting one character after the first one ended
// ("900,700"). A missing second number is 0.
SIZE ParseSizePair(const char* value);

// Four decimals, left, top, right, bottom, each starting one character after the previous
// one ended; missing trailing numbers are 0: "1,1" is (1,1,0,0), "10,0,00" is (10,0,0,0).
RECT ParseQuadruple(const char* value);

// Optional '#', then hexadecimal digits read as 0xAARRGGBB; no digits gives 0 (no colour).
DWORD ParseColor(const char* value);

// A default attribute list: items name="value" separated by one space. The name runs to
// the first '=', which must be followed directly by '"'; the value runs to the next '"'.
// A further item follows only when the character after the closing quote is a space and the
// list goes on. Anything else ends the list silently; the items read so far are returned.
std::vector<std::pair<std::string, std::string>> ParseAttributeList(const char* list);

} // namespace SkinUI
