#include "ustd/ModulePath.h"

#include <windows.h>

#include <vector>

namespace {

bool IsLeadByte(char c)
{
    const unsigned char b = static_cast<unsigned char>(c);
    return b >= 0x81 && b <= 0xFE; // GBK lead bytes
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Position of the last single-byte separator in path[0, end), or npos.
size_t LastSeparator(const std::string& path, size_t end)
{
    size_t found = std::string::npos;
    for (size_t i = 0; i < end; ++i) {
        if (IsLeadByte(path[i]) && i + 1 < end) {
            ++i; // the trail byte is part of the character
            continue;
        }
        if (IsSeparator(path[i]))
            found = i;
    }
    return found;
}

// Length of path without trailing separators (double-byte characters kept whole).
size_t TrimmedLength(const std::string& path)
{
    size_t keep = 0; // end of the last character that is not a separator
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsLeadByte(path[i]) && i + 1 < path.size()) {
            ++i;
            keep = i + 1;
        } else if (!IsSeparator(path[i])) {
            keep = i + 1;
        }
    }
    return keep;
}

} // namespace

std::string ExeFilePath()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return std::string();
        if (n < buffer.size())
            return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExeDirectory()
{
    return ParentPath(ExeFilePath());
}

std::string LastPathComponent(const std::string& path)
{
    const size_t end = TrimmedLength(path);
    const size_t sep = LastSeparator(path, end);
    const size_t begin = (sep == std::string::npos) ? 0 : sep + 1;
    return path.substr(begin, end - begin);
}

std::string ParentPath(const std::string& path)
{
    const size_t sep = LastSeparator(path, path.size());
    return (sep == std::string::npos) ? std::string() : path.substr(0, sep);
}
