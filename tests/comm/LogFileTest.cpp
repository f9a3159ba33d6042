#include <gtest/gtest.h>

#include "comm/LogFile.h"
#include "comm/ModuleLog.h"
#include "support/TempDir.h"

#include <windows.h>
#include <io.h>

#include <cstdarg>
#include <ctime>
#include <string>

namespace {

// Milliseconds since 1970 of a local date and time.
int64_t LocalMs(int year, int month, int day, int hour, int minute, int second, int ms)
{
    struct tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return static_cast<int64_t>(_mktime64(&t)) * 1000 + ms;
}

void Log(CLogFile& log, unsigned level, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    log.Write(level, format, args);
    va_end(args);
}

std::string Format(unsigned prefixes, const LogTime& t, unsigned tid, unsigned level, const char* format, ...)
{
    char line[kLogLineArea];
    va_list args;
    va_start(args, format);
    size_t n = FormatLogLine(line, prefixes, t, tid, level, format, args);
    va_end(args);
    return std::string(line, n);
}

struct LogFixture : testing::Test {
    TempDir dir;
    CLogFile log;
    int64_t now = LocalMs(2017, 3, 29, 9, 5, 3, 42);

    void SetUp() override
    {
        log.SetLogDir(dir.Path() + "\\log");
        log.SetFilePrefix("Tarnwell");
        log.SetOutputs(2);
        log.SetClock([this] { return now; });
    }
    std::string DayFile(const char* date) const { return dir.Path() + "\\log\\Tarnwell" + date + ".log"; }
};

} // namespace

TEST(LogLine, FormatMatchesTheFixedLayout)
{
    LogTime t{2017, 3, 29, 9, 5, 3, 42};
    EXPECT_EQ("[09:05:03.042]|[0a1c]|[Error]|[ServerClearDB] GameRootDirInit Open Error\n",
              Format(3, t, 0x0a1c, LOG_ERROR, "%s", "[ServerClearDB] GameRootDirInit Open Error"));
    EXPECT_EQ("[12345]|[Info]|x\n", Format(2, t, 0x12345, LOG_INFO, "x"));
    EXPECT_EQ("[Warning]|x\n", Format(0, t, 1, LOG_WARNING, "x"));
}

TEST(LogLine, LevelWords)
{
    const struct { unsigned level; const char* word; } cases[] = {
        {1, "Startup"}, {2, "Shutdown"}, {4, "Info"}, {8, "Warning"}, {16, "Trace"},
        {32, "Error"}, {64, "Debug"}, {12, "Unknown"}, {3, "Unknown"}, {128, "Unknown"}, {0, "Unknown"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.word, LogLevelWord(c.level)) << c.level;
}

TEST(LogLine, LongMessageIsCutTo2047CharactersPlusNewline)
{
    std::string message(3000, 'x');
    LogTime t{2017, 3, 29, 9, 5, 3, 42};
    std::string line = Format(3, t, 1, LOG_INFO, "%s", message.c_str());
    ASSERT_EQ(2048u, line.size());
    EXPECT_EQ('\n', line.back());
    EXPECT_EQ('x', line[2046]);
}

TEST_F(LogFixture, WritesDayFileAndAppendsToAnExistingOne)
{
    WriteTextFile(DayFile("20170329"), "earlier\n");
    Log(log, LOG_ERROR, "%s", "first");
    Log(log, LOG_INFO, "second %d", 2);
    std::string text = ReadTextFile(DayFile("20170329"));
    char tid[16];
    std::snprintf(tid, sizeof tid, "%04lx", GetCurrentThreadId());
    // The day file is a text-mode stream: each newline lands as CR LF.
    EXPECT_EQ(std::string("earlier\n") + "[09:05:03.042]|[" + tid + "]|[Error]|first\r\n" +
                  "[09:05:03.042]|[" + tid + "]|[Info]|second 2\r\n",
              text);
}

TEST_F(LogFixture, LevelsOutsideTheMaskAreNotWritten)
{
    log.SetLevelMask(LOG_ERROR | LOG_INFO);
    Log(log, LOG_WARNING, "hidden");
    Log(log, 0, "never");
    EXPECT_FALSE(PathExists(DayFile("20170329"))) << "no line, no file";
    Log(log, LOG_WARNING | LOG_INFO, "two bits");
    EXPECT_NE(std::string::npos, ReadTextFile(DayFile("20170329")).find("[Unknown]|two bits\r\n"));
}

TEST_F(LogFixture, MidnightSwitchesFileAndDeletesTheOne31DaysBack)
{
    // 31 days before 2017-03-30 is 2017-02-27; older files are left alone.
    WriteTextFile(DayFile("20170227"), "old\n");
    WriteTextFile(DayFile("20170225"), "older\n");
    WriteTextFile(dir.Path() + "\\log\\Other20170227.log", "other prefix\n");
    now = LocalMs(2017, 3, 29, 23, 59, 59, 999);
    Log(log, LOG_INFO, "before");
    EXPECT_TRUE(PathExists(DayFile("20170227"))) << "the 29th's switch deletes the 26th's file only";
    now = LocalMs(2017, 3, 30, 0, 0, 0, 1);
    Log(log, LOG_INFO, "after");
    EXPECT_NE(std::string::npos, ReadTextFile(DayFile("20170329")).find("[23:59:59.999]"));
    EXPECT_NE(std::string::npos, ReadTextFile(DayFile("20170330")).find("after"));
    EXPECT_EQ(std::string::npos, ReadTextFile(DayFile("20170330")).find("before"));
    EXPECT_FALSE(PathExists(DayFile("20170227")));
    EXPECT_TRUE(PathExists(DayFile("20170225")));
    EXPECT_TRUE(PathExists(dir.Path() + "\\log\\Other20170227.log"));
}

TEST_F(LogFixture, ShorterKeepDaysDeletesARangeAndOver30DeletesNothing)
{
    for (const char* d : {"20170319", "20170318", "20170228"})
        WriteTextFile(DayFile(d), "x\n");
    log.SetKeepDays(10); // deletes the dates 11 to 31 days back
    Log(log, LOG_INFO, "x");
    EXPECT_TRUE(PathExists(DayFile("20170319"))); // 10 days back
    EXPECT_FALSE(PathExists(DayFile("20170318")));
    EXPECT_FALSE(PathExists(DayFile("20170228")));

    CLogFile other;
    other.SetLogDir(dir.Path() + "\\log");
    other.SetFilePrefix("Tarnwell");
    other.SetOutputs(2);
    other.SetKeepDays(31);
    other.SetClock([] { return LocalMs(2017, 4, 20, 1, 0, 0, 0); });
    Log(other, LOG_INFO, "x");
    EXPECT_TRUE(PathExists(DayFile("20170319")));
}

TEST_F(LogFixture, FileReachingTheLimitIsEmptiedAndLoggingGoesOn)
{
    log.SetSizeLimit(100);
    std::string chunk(40, 'a');
    Log(log, LOG_INFO, "%s", chunk.c_str()); // 29 + 40 + CR LF = 71 bytes
    EXPECT_EQ(29u + 40 + 2, ReadTextFile(DayFile("20170329")).size());
    Log(log, LOG_INFO, "%s", chunk.c_str()); // reaches 142: emptied
    EXPECT_EQ(0u, ReadTextFile(DayFile("20170329")).size());
    Log(log, LOG_INFO, "again");
    std::string text = ReadTextFile(DayFile("20170329"));
    EXPECT_EQ(0u, text.find("[09:05:03.042]"));
    EXPECT_NE(std::string::npos, text.find("again\r\n"));
}

TEST_F(LogFixture, UnopenableFileDropsLinesSilently)
{
    log.SetLogDir(dir.Path() + "\\missing\\deeper"); // one level only: not created
    Log(log, LOG_ERROR, "dropped");
    EXPECT_FALSE(PathExists(dir.Path() + "\\missing"));
}

TEST(ModuleLog, NameIsCutAt63AndPrefixesTheMessage)
{
    TempDir dir;
    CLogFile& log = CLogFile::Instance();
    log.SetLogDir(dir.Path());
    log.SetFilePrefix("Module");
    log.SetOutputs(2);
    std::string longName(70, 'm');
    CModuleLog module(longName.c_str());
    EXPECT_EQ(std::string(63, 'm'), module.ModuleName());
    CModuleLog named("ServerClearDB");
    named.DebugTrace(LOG_ERROR, "GameRootDirInit %s", "Open Error");
    CModuleLog none(nullptr);
    EXPECT_STREQ("", none.ModuleName());

    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir.Path() + "\\Module*.log").c_str(), &fd);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    FindClose(h);
    std::string text = ReadTextFile(dir.Path() + "\\" + fd.cFileName);
    EXPECT_NE(std::string::npos, text.find("]|[Error]|[ServerClearDB] GameRootDirInit Open Error\r\n"));
    log.SetLogDir(".\\log");
}
