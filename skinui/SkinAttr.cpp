#include "skinui/SkinAttr.h"

#include <climits>

namespace SkinUI {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The next number of a list starts one character after the previous one ended, unless the
// previous one ended at the terminator (then the list is over).
const char* StepPast(const char* end)
{
    return *end ? end + 1 : end;
}

} // namespace

bool ParseBool(const char* value)
{
    return value && value[0] == 't' && value[1] == 'r' && value[2] == 'u' && value[3] == 'e' &&
           value[4] == '\0';
}

int ParseDecimal(const char* value, const char** end)
{
    if (!value) {
        if (end)
            *end = value;
        return 0;
    }
    const char* p = value;
    while (IsSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (*p < '0' || *p > '9') {
        if (end)
            *end = value; // no digits: nothing consumed
        return 0;
    }
    long long n = 0;
    while (*p >= '0' && *p <= '9') {
        if (n <= static_cast<long long>(INT_MAX) + 1)
            n = n * 10 + (*p - '0');
        ++p;
    }
    if (end)
        *end = p;
    if (negative)
        n = -n;
    if (n > INT_MAX)
        return INT_MAX;
    if (n < INT_MIN)
        return INT_MIN;
    return static_cast<int>(n);
}

SIZE ParseSizePair(const char* value)
{
    SIZE size = {0, 0};
    if (!value)
        return size;
    const char* end = value;
    size.cx = ParseDecimal(value, &end);
    size.cy = ParseDecimal(StepPast(end));
    return size;
}

RECT ParseQuadruple(const char* value)
{
    RECT rc = {0, 0, 0, 0};
    if (!value)
        return rc;
    LONG* fields[4] = {&rc.left, &rc.top, &rc.right, &rc.bottom};
    const char* p = value;
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            p = StepPast(p);
        const char* end = p;
        *fields[i] = ParseDecimal(p, &end);
        p = end;
    }
    return rc;
}

DWORD ParseColor(const char* value)
{
    if (!value)
        return 0;
    const char* p = value;
    while (*p > 0 && *p <= ' ') // any blank or control character before the colour
        ++p;
    if (*p == '#')
        ++p;
    unsigned long long v = 0;
    for (int d; (d = HexDigit(*p)) >= 0; ++p) {
        v = v * 16 + static_cast<unsigned>(d);
        if (v > 0xFFFFFFFFull)
            v = 0xFFFFFFFFull; // saturate like strtoul
    }
    return static_cast<DWORD>(v);
}

std::vector<std::pair<std::string, std::string>> ParseAttributeList(const char* list)
{
    std::vector<std::pair<std::string, std::string>> items;
    if (!list)
        return items;
    const char* p = list;
    while (*p) {
        const char* nameStart = p;
        while (*p && *p != '=')
            ++p;
        if (*p != '=' || p[1] != '"')
            break;
        std::string name(nameStart, p);
        p += 2;
        const char* valueStart = p;
        while (*p && *p != '"')
            ++p;
        if (*p != '"')
            break;
        items.emplace_back(std::move(name), std::string(valueStart, p));
        // The closing quote must be followed by one space and more text.
        if (p[1] != ' ' || p[2] == '\0')
            break;
        p += 2;
    }
    return items;
}

} // namespace SkinUI
