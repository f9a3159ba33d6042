#include "comm/ModuleLog.h"

#include <cstdio>
#include <cstring>

CModuleLog::CModuleLog(const char* moduleName)
{
    if (moduleName)
        std::strncpy(moduleName_, moduleName, sizeof moduleName_ - 1);
}

void CModuleLog::DebugTrace(unsigned level, const char* format, ...) const
{
    if ((level & CLogFile::Instance().LevelMask()) == 0)
        return;
    char text[2048] = {};
    int len = std::snprintf(text, sizeof text, "[%s] ", moduleName_);
    if (len > 0 && static_cast<size_t>(len) < sizeof text) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(text + len, sizeof text - len, format, args);
        va_end(args);
    }
    WriteLog(level, "comm/ModuleLog", 30, "CModuleLog::DebugTrace", "%s", text);
}
