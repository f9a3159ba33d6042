#include "app/AppSettings.h"

#include <windows.h>

#include <cctype>
#include <climits>

namespace {
const ServerCatalogEntry kCatalogue[] = {
    {1, "Korvex游戏清理工具", "Korvex服务"},
    {2, "PellorVIP游戏清理工具", "PellorVIP服务"},
    {3, "Quorra7游戏清理工具", "newCoreServer"},
};

std::mutex g_instanceLock;
CAppSettings* g_instance = nullptr;
} // namespace

const ServerCatalogEntry* FindServerCatalogEntry(ServerType serverType)
{
    for (const ServerCatalogEntry& entry : kCatalogue) {
        if (entry.serverType == serverType)
            return &entry;
    }
    return nullptr;
}

ServerType ParseServerType(const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p && std::isspace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    // Accumulate in 64 bits and saturate: an absurdly long number must stay invalid rather
    // than wrap around to a valid type.
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (value <= INT_MAX)
            value = value * 10 + (*p - '0');
    }
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<ServerType>(negative ? -value : value);
}

CAppSettings& CAppSettings::Instance()
{
    std::lock_guard<std::mutex> guard(g_instanceLock);
    if (!g_instance)
        g_instance = new CAppSettings(); // lives until the process ends
    return *g_instance;
}

ServerType CAppSettings::Load(const std::string& settingsPath)
{
    path = settingsPath;
    // A read-only, hidden or system file is still read; failing to clear them is harmless.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    char value[32] = {};
    const DWORD read = GetPrivateProfileStringA("General", "Type", "", value, sizeof value, path.c_str());
    serverType = read == 0 ? 0 : ParseServerType(value);
    return serverType;
}
