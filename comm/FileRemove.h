#pragma once
// Removal of files and directory trees on local drives, and the narrow-to-wide path
// conversion shared with the database layer. Free functions without state; every result
// is a plain bool (or an empty string on failure), nothing logs or throws.
//
// Narrow paths are in the system ANSI code page (936 on the target machines); wide paths
// are UTF-16. Paths longer than kLongPathThreshold go through the wide calls with the
// "\\?\" prefix.
//
// Links: a directory junction, a symbolic link or any other reparse point met by the
// removal is removed as itself and never followed, so nothing outside the path given is
// touched. Where the platform cannot open the link itself (it resolves every open to the
// target), the link is left in place and the removal reports failure.
#include <cstddef>
#include <string>

// A path longer than this many units (bytes of a narrow path, UTF-16 units of a wide one)
// takes the prefixed wide calls. 248, not 260: a directory path must leave room for a
// file name in 8.3 form.
constexpr std::size_t kLongPathThreshold = 248;

// Narrow path in the system ANSI code page to UTF-16. Empty if the input is empty, cannot
// be converted, or is not valid in that code page.
std::wstring AnsiToWide(const std::string& narrow);

// Puts "\\?\" in front of a path longer than kLongPathThreshold; a path starting with
// "\\?\" is left alone, and one starting with "\\.\" gets "?" as its third character.
void AddLongPathPrefix(std::wstring& path);

// Wide primitives: prefixed when long; true when the platform call returned TRUE.
bool PathExistsLong(const std::wstring& path);
bool DeleteFileLong(const std::wstring& path);
bool RemoveDirectoryLong(const std::wstring& path);
bool SetNormalAttributesLong(const std::wstring& path);

// Removes a reparse point (junction, symbolic link) itself, never its target. Opens the
// path without following it, checks that what was opened really is the reparse point and
// deletes it through that handle, clearing a read-only attribute once if needed. False
// when the path cannot be opened, or the platform opened the target instead of the link.
bool RemoveReparsePointLong(const std::wstring& path);

// Narrow front ends: the ANSI call for a short path, the wide primitive for a long one.
bool DeleteFileNarrow(const std::string& path);
bool SetNormalAttributesNarrow(const std::string& path);

// Deletes a file; if the first attempt fails, clears its attributes and tries once more.
bool ForceDeleteFile(const std::string& path);

// The path exists and is a directory (a link to a directory counts).
bool IsDirectory(const std::string& path);
bool IsDirectoryW(const std::wstring& path);

// Removes a directory with everything below it, going on past entries that resist. True
// when the directory itself was removed or did not exist; false for an empty path or a
// directory that cannot be listed.
bool DeleteDirectoryTreeW(const std::wstring& path);

// Removes a directory tree; true exactly when the path no longer exists afterwards. An
// empty path is a failure.
bool RemoveTreeW(const std::wstring& path);
