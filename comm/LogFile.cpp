#include "comm/LogFile.h"

#include <windows.h>
#include <io.h>

#include <cstring>
#include <ctime>

const char* LogLevelWord(unsigned level)
{
    switch (level) {
    case LOG_STARTUP: return "Startup";
    case LOG_SHUTDOWN: return "Shutdown";
    case LOG_INFO: return "Info";
    case LOG_WARNING: return "Warning";
    case LOG_TRACE: return "Trace";
    case LOG_ERROR: return "Error";
    case LOG_DEBUG: return "Debug";
    default: return "Unknown";
    }
}

int64_t SystemLogClock()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    // 100 ns ticks since 1601 to milliseconds since 1970.
    return static_cast<int64_t>(t.QuadPart / 10000) - 11644473600000ll;
}

LogTime ToLocalLogTime(int64_t epochMs)
{
    __time64_t seconds = epochMs / 1000;
    struct tm local = {};
    _localtime64_s(&local, &seconds);
    return LogTime{static_cast<unsigned>(local.tm_year + 1900), static_cast<unsigned>(local.tm_mon + 1),
                   static_cast<unsigned>(local.tm_mday), static_cast<unsigned>(local.tm_hour),
                   static_cast<unsigned>(local.tm_min), static_cast<unsigned>(local.tm_sec),
                   static_cast<unsigned>(epochMs % 1000)};
}

size_t FormatLogLine(char* out, unsigned prefixes, const LogTime& time, unsigned threadId,
                     unsigned level, const char* format, va_list args)
{
    constexpr size_t kMaxLine = 2047; // characters before the newline
    size_t len = 0;
    if (prefixes & 1)
        len += std::snprintf(out + len, kMaxLine + 1 - len, "[%02u:%02u:%02u.%03u]|", time.hour,
                             time.minute, time.second, time.millisecond);
    if (prefixes & 2)
        len += std::snprintf(out + len, kMaxLine + 1 - len, "[%04x]|", threadId);
    len += std::snprintf(out + len, kMaxLine + 1 - len, "[%s]|", LogLevelWord(level));
    int n = std::vsnprintf(out + len, kMaxLine + 1 - len, format, args);
    if (n > 0)
        len += static_cast<size_t>(n);
    if (len > kMaxLine)
        len = kMaxLine;
    out[len++] = '\n';
    out[len] = '\0';
    return len;
}

CLogFile::CLogFile() = default;

CLogFile::~CLogFile()
{
    if (file_)
        std::fclose(file_);
}

CLogFile& CLogFile::Instance()
{
    // Function-local static: destroyed at process exit, created by the first log call.
    static CLogFile writer;
    return writer;
}

void CLogFile::SetLogDir(const std::string& dir)
{
    std::lock_guard<std::mutex> guard(lock_);
    logDir_ = dir;
    if (logDir_.empty() || logDir_.back() != '\\')
        logDir_ += '\\';
    CreateDirectoryA(logDir_.c_str(), nullptr);
}

std::string CLogFile::LogDir() const
{
    return logDir_;
}

void CLogFile::SetFilePrefix(const std::string& prefix)
{
    std::lock_guard<std::mutex> guard(lock_);
    filePrefix_ = prefix;
}

void CLogFile::SetOutputs(unsigned outputs)
{
    outputs_ = outputs;
}

void CLogFile::SetClock(LogClock clock)
{
    std::lock_guard<std::mutex> guard(lock_);
    clock_ = std::move(clock);
}

void CLogFile::SetSizeLimit(uint64_t limit)
{
    sizeLimit_ = limit;
}

void CLogFile::SetKeepDays(int days)
{
    keepDays_ = days;
}

void CLogFile::SetLevelMask(unsigned mask)
{
    levelMask_ = mask;
}

void CLogFile::Write(unsigned level, const char* format, va_list args)
{
    if ((level & levelMask_) == 0)
        return;
    const int64_t nowMs = clock_();
    const LogTime now = ToLocalLogTime(nowMs);
    char line[kLogLineArea];
    const size_t len = FormatLogLine(line, prefixes_, now, GetCurrentThreadId(), level, format, args);

    if (outputs_ & 1) {
        std::fwrite(line, 1, len, stdout);
        std::fflush(stdout);
    }
    if ((outputs_ & 2) == 0)
        return;

    std::lock_guard<std::mutex> guard(lock_);
    char name[16];
    std::snprintf(name, sizeof name, "%04u%02u%02u.log", now.year, now.month, now.day);
    if (std::strcmp(name, currentName_) != 0) {
        if (file_) {
            std::fclose(file_);
            file_ = nullptr;
        }
        DeleteOldFiles(nowMs);
        const std::string path = logDir_ + filePrefix_ + name;
        file_ = std::fopen(path.c_str(), "a+");
        if (file_)
            std::fseek(file_, 0, SEEK_END);
        std::memcpy(currentName_, name, sizeof name);
    }
    if (!file_)
        return;
    std::fwrite(line, 1, len, file_);
    std::fflush(file_);
    TruncateIfFull();
}

void CLogFile::TruncateIfFull()
{
    const int fd = _fileno(file_);
    const long long size = _filelengthi64(fd);
    if (size >= 0 && static_cast<uint64_t>(size) >= sizeLimit_) {
        _chsize_s(fd, 0);
        std::fseek(file_, 0, SEEK_SET);
    }
}

void CLogFile::DeleteOldFiles(int64_t nowMs)
{
    if (keepDays_ > 30)
        return;
    constexpr int64_t kDayMs = 86400ll * 1000;
    int64_t t = nowMs - (keepDays_ + 1) * kDayMs;
    for (int i = 0; i < 31 - keepDays_; ++i, t -= kDayMs) {
        const LogTime day = ToLocalLogTime(t);
        char name[16];
        std::snprintf(name, sizeof name, "%04u%02u%02u.log", day.year, day.month, day.day);
        DeleteFileA((logDir_ + filePrefix_ + name).c_str());
    }
}

void WriteLog(unsigned level, const char* /*sourceFile*/, int /*line*/, const char* /*function*/,
              const char* format, ...)
{
    va_list args;
    va_start(args, format);
    CLogFile::Instance().Write(level, format, args);
    va_end(args);
}
