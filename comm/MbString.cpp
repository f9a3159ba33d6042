#include "comm/MbString.h"

namespace mbs {

namespace {

// Length in bytes of the character starting at s[i]: 2 for a lead byte with a byte after it.
size_t CharLen(const std::string& s, size_t i)
{
    return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

size_t FindLastBackslash(const std::string& s)
{
    size_t found = std::string::npos;
    for (size_t i = 0; i < s.size(); i += CharLen(s, i)) {
        if (s[i] == '\\')
            found = i;
    }
    return found;
}

bool HasBackslash(const std::string& s)
{
    return FindLastBackslash(s) != std::string::npos;
}

void FoldCaseInPlace(std::string& s)
{
    for (size_t i = 0; i < s.size();) {
        const size_t n = CharLen(s, i);
        if (n == 1)
            s[i] = LowerAscii(s[i]);
        i += n;
    }
}

std::string FoldCase(const std::string& s)
{
    std::string out = s;
    FoldCaseInPlace(out);
    return out;
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size();) {
        const size_t n = CharLen(a, i);
        if (n != CharLen(b, i))
            return false;
        if (n == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
        } else if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
        i += n;
    }
    return true;
}

bool IsNonAsciiUtf8(const std::string& s)
{
    bool nonAscii = false;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t extra;
        unsigned min;
        unsigned cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, min = 0x80, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, min = 0x800, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, min = 0x10000, cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= s.size())
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            const unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        nonAscii = true;
        i += extra + 1;
    }
    return nonAscii;
}

} // namespace mbs
