#pragma once
// The test process's log goes to a scratch folder set before the first line is written (the
// writer keeps its day file open), and a capture reads what was written after it began.
#include "comm/LogFile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class TestLogEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        CLogFile::Instance().SetLogDir(Dir());
        CLogFile::Instance().SetFilePrefix("test");
        CLogFile::Instance().SetOutputs(2);
    }
    static std::string Dir()
    {
        char tmp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, tmp);
        char name[64];
        std::snprintf(name, sizeof name, "tw_testlog_%lu", GetCurrentProcessId());
        return std::string(tmp) + name;
    }
};

inline testing::Environment* const g_testLogEnvironment =
    testing::AddGlobalTestEnvironment(new TestLogEnvironment);

// One log line split into its level word and its message.
struct LogEntry {
    std::string level;
    std::string message;
};

// Reads the log lines of a folder: all "*.log" files in it, in name order.
inline std::string ReadLogFolder(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data = {};
    HANDLE find = FindFirstFileA((dir + "\\*.log").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do
            names.push_back(data.cFileName);
        while (FindNextFileA(find, &data));
        FindClose(find);
    }
    std::sort(names.begin(), names.end());
    std::string text;
    for (const auto& name : names) {
        std::ifstream in(dir + "\\" + name, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        text += content.str();
    }
    return text;
}

// "[time]|[tid]|[Level]|message" lines to entries.
inline std::vector<LogEntry> ParseLogLines(const std::string& text)
{
    std::vector<LogEntry> entries;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') // the day file is written in text mode
            line.pop_back();
        // The level is the third bracketed field; the message follows its "]|".
        size_t end = std::string::npos;
        size_t from = 0;
        for (int field = 0; field < 3; ++field) {
            end = line.find("]|", from);
            if (end == std::string::npos)
                break;
            from = end + 2;
        }
        if (end == std::string::npos)
            continue;
        const size_t open = line.rfind('[', end);
        entries.push_back({line.substr(open + 1, end - open - 1), line.substr(end + 2)});
    }
    return entries;
}

// Messages of the given level (or all levels for "") containing needle.
inline std::vector<std::string> Matching(const std::vector<LogEntry>& entries, const std::string& level,
                                         const std::string& needle)
{
    std::vector<std::string> out;
    for (const auto& e : entries)
        if ((level.empty() || e.level == level) && e.message.find(needle) != std::string::npos)
            out.push_back(e.message);
    return out;
}

class LogCapture {
public:
    LogCapture() : start_(ReadLogFolder(TestLogEnvironment::Dir()).size()) {}
    std::vector<LogEntry> Entries() const
    {
        const std::string text = ReadLogFolder(TestLogEnvironment::Dir());
        return ParseLogLines(start_ < text.size() ? text.substr(start_) : std::string());
    }
    std::vector<std::string> Find(const std::string& level, const std::string& needle) const
    {
        return Matching(Entries(), level, needle);
    }

private:
    size_t start_;
};
