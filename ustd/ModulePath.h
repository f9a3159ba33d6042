#pragma once
// The running executable's path and the cuts the watchdog and the crash handler make in it.
// Paths are narrow text in code page 936: a cut only ever happens at a single-byte
// separator, never at the second byte of a double-byte character (which may be 0x5C).
#include <string>

// Full path of the running executable ("" if the system cannot tell).
std::string ExeFilePath();

// Directory of the running executable without a trailing backslash.
std::string ExeDirectory();

// The last component of path after dropping trailing backslashes and slashes:
// "C:\\Tarnwell\\Tarnwell.exe" gives "Tarnwell.exe".
std::string LastPathComponent(const std::string& path);

// Everything before the last backslash or slash ("" if there is none).
std::string ParentPath(const std::string& path);
