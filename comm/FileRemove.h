#pragma once
// Removal of files and directory trees on local drives, and the narrow-to-wide path
// conversion shared with the database layer. Free functions without state; every result
// is a plain bool (or an empty string on failure), nothing logs or throws.
#include <string>

// Narrow path in the system ANSI code page to UTF-16. Empty if the input is empty, cannot
// be converted, or is not valid in that code page.
std::wstring AnsiToWide(const std::string& narrow);
