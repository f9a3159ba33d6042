#pragma once
// The process-wide log: one text line per call, one file per calendar day.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>

// Log levels: single bits; a level with several bits is written as "Unknown".
enum : unsigned {
    LOG_STARTUP = 1,
    LOG_SHUTDOWN = 2,
    LOG_INFO = 4,
    LOG_WARNING = 8,
    LOG_TRACE = 16,
    LOG_ERROR = 32,
    LOG_DEBUG = 64,
};

// The word written for a level.
const char* LogLevelWord(unsigned level);

// The wall clock the writer reads: milliseconds since 1970-01-01 UTC. Tests replace it to
// cross midnight without waiting for it.
using LogClock = std::function<int64_t()>;
int64_t SystemLogClock();

// Local calendar time of a clock value.
struct LogTime {
    unsigned year, month, day, hour, minute, second, millisecond;
};
LogTime ToLocalLogTime(int64_t epochMs);

// Builds one log line into out (at least kLogLineArea bytes): prefix, message cut so that
// the line holds at most 2047 characters, then "\n". Returns the length with the newline.
constexpr size_t kLogLineArea = 2050;
size_t FormatLogLine(char* out, unsigned prefixes, const LogTime& time, unsigned threadId,
                     unsigned level, const char* format, va_list args);

class CLogFile {
public:
    static constexpr uint64_t kDefaultSizeLimit = 0x40000000ull; // 1 GiB

    CLogFile();
    ~CLogFile();
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    static CLogFile& Instance();

    void SetLogDir(const std::string& dir);
    void SetFilePrefix(const std::string& prefix);
    void SetOutputs(unsigned outputs);
    void Write(unsigned level, const char* format, va_list args);

    unsigned LevelMask() const { return levelMask_; }
    std::string LogDir() const;

    // For tests: the program keeps the defaults.
    void SetClock(LogClock clock);
    void SetSizeLimit(uint64_t limit);
    void SetKeepDays(int days);
    void SetLevelMask(unsigned mask);

private:
    void DeleteOldFiles(int64_t nowMs);
    void TruncateIfFull();

    std::mutex lock_;
    unsigned outputs_ = 15;
    unsigned prefixes_ = 15;
    unsigned levelMask_ = 127;
    int keepDays_ = 30;
    uint64_t sizeLimit_ = kDefaultSizeLimit;
    std::string logDir_ = "./log";
    std::string filePrefix_ = "N_A";
    char currentName_[16] = {};
    FILE* file_ = nullptr;
    LogClock clock_ = SystemLogClock;
};

// The log call of the whole system. sourceFile, line and function identify the caller and
// are not written.
void WriteLog(unsigned level, const char* sourceFile, int line, const char* function,
              const char* format, ...)
#ifdef __GNUC__
    __attribute__((format(gnu_printf, 5, 6)))
#endif
    ;
