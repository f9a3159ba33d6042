#include <gtest/gtest.h>

#include "comm/FileFind.h"
#include "support/TempDir.h"

#include <set>
#include <string>

TEST(FileFind, PatternLengthLimit)
{
    OS::CFileFind find;
    std::string tooLong = "C:\\" + std::string(257, 'a'); // 260 characters
    SetLastError(0);
    EXPECT_FALSE(find.FindFile(tooLong.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_ARGUMENTS), GetLastError());
    EXPECT_FALSE(find.FindNext());

    std::string longest = "C:\\" + std::string(256, 'a'); // 259: accepted, but names nothing
    SetLastError(0);
    EXPECT_FALSE(find.FindFile(longest.c_str()));
    EXPECT_NE(static_cast<DWORD>(ERROR_BAD_ARGUMENTS), GetLastError());
}

TEST(FileFind, MissingDirectoryReportsThePlatformError)
{
    TempDir dir;
    OS::CFileFind find;
    SetLastError(0);
    EXPECT_FALSE(find.FindFile((dir / "missing\\*.*").c_str()));
    const DWORD error = GetLastError();
    EXPECT_TRUE(error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) << error;
}

TEST(FileFind, SingleEntryIsCurrentAfterTheLastFindNext)
{
    TempDir dir;
    MakeDirs(dir / "one");
    WriteTextFile(dir / "one\\game.txt", "x");
    OS::CFileFind find;
    ASSERT_TRUE(find.FindFile((dir / "one\\*.txt").c_str()));
    EXPECT_EQ("", find.GetFileName()) << "no current entry before the first FindNext";
    int64_t t = 42;
    EXPECT_FALSE(find.GetLastWriteTime(t));
    EXPECT_EQ(42, t);
    EXPECT_FALSE(find.MatchesMask(0xFFFFFFFF));

    EXPECT_FALSE(find.FindNext());
    EXPECT_EQ("game.txt", find.GetFileName());
    EXPECT_EQ("game", find.GetFileTitle());
    EXPECT_EQ(dir / "one\\", find.GetRoot());
    EXPECT_EQ(dir / "one\\game.txt", find.GetFilePath());
    EXPECT_EQ("file://" + (dir / "one\\game.txt"), find.GetFileURL());
    EXPECT_TRUE(find.GetLastWriteTime(t));
    const int64_t now = _time64(nullptr);
    EXPECT_LT(std::llabs(now - t), 120) << "written just now";
    FILETIME raw{};
    EXPECT_TRUE(find.GetCreationTime(raw));
    EXPECT_NE(0u, raw.dwHighDateTime);
}

TEST(FileFind, DotsAndDirectoriesAndGbkNames)
{
    TempDir dir;
    MakeDirs(dir / "誠");        // trail byte 0x5C
    WriteTextFile(dir / "..x", "x");
    WriteTextFile(dir / "游戏.txt", "x");
    OS::CFileFind find;
    ASSERT_TRUE(find.FindFile((dir.Path() + "\\*.*").c_str()));
    std::set<std::string> names;
    int dots = 0;
    bool more = true;
    while (more) {
        more = find.FindNext();
        if (find.IsDots()) {
            ++dots;
            continue;
        }
        names.insert(find.GetFileName());
        if (find.GetFileName() == "誠") {
            EXPECT_TRUE(find.MatchesMask(FILE_ATTRIBUTE_DIRECTORY));
            EXPECT_EQ(dir / "誠", find.GetFilePath());
        }
        if (find.GetFileName() == "..x") {
            EXPECT_FALSE(find.IsDots());
        }
    }
    EXPECT_EQ(2, dots);
    EXPECT_EQ((std::set<std::string>{"..x", "游戏.txt", "誠"}), names);
}

TEST(FileFind, RootOfADriveHasNoDoubledSeparator)
{
    TempDir dir("R:\\");
    OS::CFileFind find;
    ASSERT_TRUE(find.FindFile("R:\\*.*"));
    EXPECT_EQ("R:\\", find.GetRoot());
    bool more = true;
    bool seen = false;
    const std::string name = dir.Path().substr(3);
    while (more) {
        more = find.FindNext();
        if (find.GetFileName() == name) {
            seen = true;
            EXPECT_EQ(dir.Path(), find.GetFilePath());
        }
    }
    EXPECT_TRUE(seen);
}

TEST(FileFind, CloseFindEndsTheSearch)
{
    TempDir dir;
    WriteTextFile(dir / "a", "x");
    WriteTextFile(dir / "b", "x");
    OS::CFileFind find;
    ASSERT_TRUE(find.FindFile((dir.Path() + "\\*").c_str()));
    find.CloseFind();
    EXPECT_FALSE(find.FindNext());
}
