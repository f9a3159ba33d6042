#include "comm/FileRemove.h"

#include <windows.h>

#include <climits>

std::wstring AnsiToWide(const std::string& narrow)
{
    if (narrow.empty() || narrow.size() > static_cast<size_t>(INT_MAX))
        return std::wstring();
    // The C runtime's locale("") throws for locale names it does not know (Wine passes
    // LANG=zh_CN.UTF-8), so convert with the ANSI code page directly. MB_ERR_INVALID_CHARS
    // makes a byte sequence that is not valid GBK a failure instead of a '?'.
    const int inLen = static_cast<int>(narrow.size());
    const int outLen = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), inLen,
                                           nullptr, 0);
    if (outLen <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(outLen), L'\0');
    const int written = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), inLen,
                                            &wide[0], outLen);
    if (written != outLen)
        return std::wstring();
    return wide;
}
