#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "comm/FileRemove.h"
#include "comm/UniqueHandle.h"
#include "support/TempDir.h"

namespace {

std::wstring Absolute(const std::wstring& path) { return L"\\\\?\\" + path; }

bool ExistsW(const std::wstring& path)
{
    return GetFileAttributesW(Absolute(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeDirW(const std::wstring& path, DWORD attrs = 0)
{
    ASSERT_TRUE(CreateDirectoryW(Absolute(path).c_str(), nullptr)) << GetLastError();
    if (attrs)
        SetFileAttributesW(Absolute(path).c_str(), attrs);
}

void MakeFileW(const std::wstring& path, DWORD attrs = FILE_ATTRIBUTE_NORMAL)
{
    CFileHandle file(CreateFileW(Absolute(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 attrs, nullptr));
    ASSERT_TRUE(file) << "cannot create fixture file, error " << GetLastError();
    DWORD written = 0;
    WriteFile(file.Get(), "keep", 4, &written, nullptr);
}

// The Unix name of a Windows path, through Wine's kernel32 export; empty off Wine.
std::string UnixName(const std::wstring& path)
{
    using Fn = char*(CDECL*)(LPCWSTR);
    const auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"),
                                               "wine_get_unix_file_name")));
    if (!fn)
        return std::string();
    char* name = fn(path.c_str());
    if (!name)
        return std::string();
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Starts a program of the Unix side (Wine runs a native binary given by its Z: path). Wine
// hands back no process handle for it, so callers wait for its effect instead.
bool StartUnix(const std::wstring& program, const std::string& args)
{
    std::wstring cmd = program + L" " + AnsiToWide(args);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(program.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
        return false;
    CKernelHandle process(pi.hProcess);
    CKernelHandle thread(pi.hThread);
    return true;
}

bool WaitForExistence(const std::wstring& path, bool present)
{
    for (int i = 0; i < 6000; ++i) { // Wine starts the native program lazily under load
        if ((GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) == present)
            return true;
        Sleep(10);
    }
    return false;
}

// A Unix symbolic link at linkPath to the directory target: under Wine a directory
// reparse point, like a junction on Windows.
bool MakeDirectoryLink(const std::wstring& target, const std::wstring& linkPath)
{
    const std::string unixTarget = UnixName(target);
    const std::string unixLink = UnixName(linkPath);
    if (unixTarget.empty() || unixLink.empty())
        return false;
    return StartUnix(L"Z:\\bin\\ln", "-s \"" + unixTarget + "\" \"" + unixLink + "\"") &&
           WaitForExistence(linkPath, true);
}

// Takes away a link the platform could not remove, so the temp folder is cleaned up.
void DropLink(const std::wstring& linkPath)
{
    const std::string unixLink = UnixName(linkPath);
    if (!unixLink.empty() && StartUnix(L"Z:\\bin\\rm", "-f \"" + unixLink + "\""))
        WaitForExistence(linkPath, false);
}

std::string ReadW(const std::wstring& path)
{
    CFileHandle file(CreateFileW(Absolute(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    if (!file)
        return "<missing>";
    char buf[64] = {};
    DWORD got = 0;
    ReadFile(file.Get(), buf, sizeof buf - 1, &got, nullptr);
    return std::string(buf, got);
}

} // namespace

TEST(DeleteDirectoryTree, RemovesReadOnlyFilesAndDirectoriesAndGbkNames)
{
    TempDir tmp;
    const std::wstring root = AnsiToWide(tmp / "tree");
    // 誠 ends in byte 0x5C in GBK; the names below reach the calls as wide text.
    const std::wstring gbk = AnsiToWide("誠游戏");
    MakeDirW(root, FILE_ATTRIBUTE_READONLY);
    MakeFileW(root + L"\\a.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    MakeDirW(root + L"\\" + gbk, FILE_ATTRIBUTE_READONLY);
    MakeFileW(root + L"\\" + gbk + L"\\" + gbk + L".txt", FILE_ATTRIBUTE_READONLY);
    MakeDirW(root + L"\\" + gbk + L"\\empty", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
    MakeDirW(root + L"\\.hidden");
    MakeFileW(root + L"\\.hidden\\b", FILE_ATTRIBUTE_SYSTEM);

    EXPECT_TRUE(DeleteDirectoryTreeW(root));
    EXPECT_FALSE(ExistsW(root));
    EXPECT_TRUE(PathExists(tmp.Path())); // the parent stays
}

TEST(DeleteDirectoryTree, MissingEmptyAndFilePaths)
{
    TempDir tmp;
    WriteTextFile(tmp / "file.txt", "x");
    WriteTextFile(tmp / "other.txt", "x");
    EXPECT_TRUE(DeleteDirectoryTreeW(AnsiToWide(tmp / "missing")));
    EXPECT_TRUE(DeleteDirectoryTreeW(AnsiToWide(tmp / "missing\\")));
    EXPECT_FALSE(DeleteDirectoryTreeW(L""));
    // A file is not a directory that can be listed: left alone, reported as not removed.
    EXPECT_FALSE(DeleteDirectoryTreeW(AnsiToWide(tmp / "file.txt")));
    EXPECT_TRUE(PathExists(tmp / "file.txt"));
    EXPECT_TRUE(PathExists(tmp / "other.txt"));
}

TEST(DeleteDirectoryTree, TrailingBackslashIsAccepted)
{
    TempDir tmp;
    MakeDirs(tmp / "t\\sub");
    WriteTextFile(tmp / "t\\sub\\f", "x");
    EXPECT_TRUE(DeleteDirectoryTreeW(AnsiToWide(tmp / "t\\")));
    EXPECT_FALSE(PathExists(tmp / "t"));
}

TEST(RemoveTree, LongPathsBeyondMaxPath)
{
    TempDir tmp;
    // The root itself is longer than MAX_PATH and the tree goes deeper still.
    std::wstring root = AnsiToWide(tmp.Path());
    while (root.size() < 280)
        root += L"\\abcdefghijklmnopqrstuvwxyz0123456789";
    for (size_t i = AnsiToWide(tmp.Path()).size() + 1; i <= root.size(); ++i) {
        if (i == root.size() || root[i] == L'\\')
            CreateDirectoryW(Absolute(root.substr(0, i)).c_str(), nullptr);
    }
    std::wstring dir = root;
    for (int level = 0; level < 4; ++level) {
        dir += L"\\level_" + std::to_wstring(level) + L"_abcdefghijklmnopqrstuvwxyz";
        MakeDirW(dir, level % 2 ? FILE_ATTRIBUTE_READONLY : 0);
        MakeFileW(dir + L"\\f.txt", FILE_ATTRIBUTE_READONLY);
        MakeFileW(dir + L"\\g.txt");
    }
    ASSERT_GT(dir.size(), 400u);
    ASSERT_TRUE(IsDirectoryW(root));

    EXPECT_TRUE(RemoveTreeW(root));
    EXPECT_FALSE(ExistsW(root));
    EXPECT_TRUE(ExistsW(root.substr(0, root.rfind(L'\\'))));
}

TEST(RemoveTree, ResultIsWhetherThePathIsGone)
{
    TempDir tmp;
    const std::wstring root = AnsiToWide(tmp / "tree");
    MakeDirW(root);
    MakeDirW(root + L"\\a");
    MakeFileW(root + L"\\a\\busy.txt");
    MakeFileW(root + L"\\a\\free.txt", FILE_ATTRIBUTE_READONLY);
    MakeFileW(root + L"\\z.txt");
    {
        // A file held without delete sharing cannot go: the walk goes on past it and
        // removes the rest, and the result is false because the tree is still there.
        CFileHandle busy(CreateFileW(Absolute(root + L"\\a\\busy.txt").c_str(), GENERIC_READ, 0,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(busy);
        EXPECT_FALSE(RemoveTreeW(root));
        EXPECT_TRUE(ExistsW(root + L"\\a\\busy.txt"));
        EXPECT_FALSE(ExistsW(root + L"\\a\\free.txt"));
        EXPECT_FALSE(ExistsW(root + L"\\z.txt"));
    }
    EXPECT_TRUE(RemoveTreeW(root));
    EXPECT_FALSE(ExistsW(root));
    // Nothing there: already gone counts as removed; an empty path names nothing removed.
    EXPECT_TRUE(RemoveTreeW(root));
    EXPECT_FALSE(RemoveTreeW(L""));
    EXPECT_FALSE(RemoveTreeW(AnsiToWide("C:\\bad\x81")));
}

// A link inside a ticked tree, or the ticked entry itself being a link, must never lead
// the removal into the link's target.
class RemoveTreeLinks : public ::testing::Test {
protected:
    void SetUp() override
    {
        base = AnsiToWide(tmp.Path());
        outside = base + L"\\outside";
        emptyTarget = base + L"\\empty_target";
        tree = base + L"\\tree";
        MakeDirW(outside);
        MakeFileW(outside + L"\\keep.txt");
        MakeDirW(outside + L"\\sub");
        MakeFileW(outside + L"\\sub\\deep.txt", FILE_ATTRIBUTE_READONLY);
        MakeDirW(emptyTarget);
        MakeDirW(tree);
        MakeFileW(tree + L"\\a.txt");
        MakeDirW(tree + L"\\sub");
        MakeFileW(tree + L"\\sub\\b.txt", FILE_ATTRIBUTE_READONLY);
    }
    void TearDown() override
    {
        for (const std::wstring& link : links)
            DropLink(link);
    }
    void Link(const std::wstring& target, const std::wstring& linkPath)
    {
        ASSERT_TRUE(MakeDirectoryLink(target, linkPath));
        links.push_back(linkPath);
        const DWORD attrs = GetFileAttributesW(linkPath.c_str());
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, attrs);
        ASSERT_TRUE(attrs & FILE_ATTRIBUTE_REPARSE_POINT);
        ASSERT_TRUE(attrs & FILE_ATTRIBUTE_DIRECTORY);
    }
    void ExpectOutsideUntouched()
    {
        EXPECT_EQ("keep", ReadW(outside + L"\\keep.txt"));
        EXPECT_EQ("keep", ReadW(outside + L"\\sub\\deep.txt"));
        EXPECT_TRUE(GetFileAttributesW(Absolute(outside + L"\\sub\\deep.txt").c_str()) &
                    FILE_ATTRIBUTE_READONLY);
        EXPECT_TRUE(IsDirectoryW(emptyTarget));
    }

    TempDir tmp;
    std::wstring base, outside, emptyTarget, tree;
    std::vector<std::wstring> links;
};

TEST_F(RemoveTreeLinks, LinksInsideTheTreeAreNotFollowed)
{
    Link(outside, tree + L"\\to_outside");
    Link(outside, tree + L"\\sub\\to_outside_again");
    Link(emptyTarget, tree + L"\\to_empty");

    const bool removed = RemoveTreeW(tree);

    ExpectOutsideUntouched();
    EXPECT_FALSE(ExistsW(tree + L"\\a.txt"));
    EXPECT_FALSE(ExistsW(tree + L"\\sub\\b.txt"));
    EXPECT_EQ(!ExistsW(tree), removed);
    // Where the platform can open a link itself (Windows), the links go with the tree;
    // Wine resolves every open to the target, so there they stay and the result is false.
    for (const std::wstring& link : links) {
        if (removed) {
            EXPECT_FALSE(ExistsW(link));
        }
    }
}

TEST_F(RemoveTreeLinks, TheEntryItselfBeingALinkIsNotFollowed)
{
    Link(outside, base + L"\\entry_to_outside");
    Link(emptyTarget, base + L"\\entry_to_empty");
    ASSERT_TRUE(IsDirectoryW(base + L"\\entry_to_outside"));

    for (const std::wstring& link : links)
        EXPECT_EQ(!ExistsW(link), RemoveTreeW(link));
    EXPECT_FALSE(DeleteDirectoryTreeW(base + L"\\entry_to_outside") &&
                 ExistsW(base + L"\\entry_to_outside"));

    ExpectOutsideUntouched();
}

TEST_F(RemoveTreeLinks, ReparsePointRemovalNeverDeletesTheTarget)
{
    Link(emptyTarget, tree + L"\\to_empty");
    Link(outside, tree + L"\\to_outside");
    for (const std::wstring& link : links)
        EXPECT_EQ(!ExistsW(link), RemoveReparsePointLong(link));
    // An ordinary directory is not a reparse point and is left alone.
    EXPECT_FALSE(RemoveReparsePointLong(tree + L"\\sub"));
    EXPECT_TRUE(ExistsW(tree + L"\\sub\\b.txt"));
    ExpectOutsideUntouched();
}
