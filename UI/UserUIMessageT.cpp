#include "UI/UserUIMessageT.h"

#include "comm/LogFile.h"

namespace {
constexpr DWORD kSlowCallMs = 500;
}

bool UserMessageTookTooLong(DWORD startTick, DWORD endTick)
{
    return endTick - startTick > kSlowCallMs;
}

void LogSlowUserMessage(const char* function, const char* callName)
{
    // The line number is the one this warning has always been reported under.
    WriteLog(LOG_WARNING, "UI/UserUIMessageT", 206, function, "ExecuteUserMessage [%s] timeout",
             callName ? callName : "");
}
