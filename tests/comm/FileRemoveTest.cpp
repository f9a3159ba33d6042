#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "comm/FileRemove.h"
#include "comm/UniqueHandle.h"
#include "support/TempDir.h"

namespace {

// 誠 is D5 5C in GBK: its second byte is a backslash.
const char kTrailSlashChar[] = "誠";

std::wstring Absolute(const std::wstring& path) { return L"\\\\?\\" + path; }

bool ExistsW(const std::wstring& path)
{
    return GetFileAttributesW(Absolute(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFileW(const std::wstring& path, DWORD attrs = FILE_ATTRIBUTE_NORMAL)
{
    CFileHandle file(CreateFileW(Absolute(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 attrs, nullptr));
    ASSERT_TRUE(file) << "cannot create fixture file, error " << GetLastError();
    DWORD written = 0;
    WriteFile(file.Get(), "x", 1, &written, nullptr);
}

// Narrow directory chain below root with one component repeated until the path passes
// minBytes; returns the deepest directory.
std::string MakeDeepNarrowDir(const std::string& root, const std::string& component,
                              size_t minBytes)
{
    std::string dir = root;
    while (dir.size() < minBytes) {
        dir += "\\" + component;
        const std::wstring wide = AnsiToWide(dir);
        EXPECT_FALSE(wide.empty());
        CreateDirectoryW(Absolute(wide).c_str(), nullptr);
    }
    return dir;
}

// The temp folder's own clean-up works with the narrow calls and cannot reach paths past
// MAX_PATH, so a test that made such paths takes its folder away itself.
struct LongTreeCleanup {
    const TempDir& dir;
    ~LongTreeCleanup() { RemoveTreeW(AnsiToWide(dir.Path())); }
};

} // namespace

TEST(AnsiToWide, ConvertsWithTheAnsiCodePage)
{
    struct Case {
        std::string narrow;
        std::wstring wide;
    };
    const std::vector<Case> cases = {
        {"", L""},
        {"C:\\Games\\abc.txt", L"C:\\Games\\abc.txt"},
        {"D:\\游戏盘\\x", L"D:\\\u6E38\u620F\u76D8\\x"},
        // The trail byte 0x5C belongs to the character, not a separator.
        {std::string("E:\\") + kTrailSlashChar + "\\" + kTrailSlashChar,
         L"E:\\\u8AA0\\\u8AA0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.wide, AnsiToWide(c.narrow)) << c.narrow;
}

TEST(AnsiToWide, InvalidInCodePageGivesEmpty)
{
    // A lead byte without its trail byte, at the end and before a byte that cannot trail.
    for (const std::string& bad : {std::string("abc\x81"), std::string("\x81\x0A" "abc")})
        EXPECT_TRUE(AnsiToWide(bad).empty()) << bad;
}

TEST(AddLongPathPrefix, RewritesOnlyAsDescribed)
{
    const std::wstring at248 = L"C:\\" + std::wstring(245, L'a');
    const std::wstring at249 = at248 + L"b";
    const std::wstring longSlashes = L"C:/" + std::wstring(300, L'a');
    const std::wstring longUnc = L"\\\\server\\share\\" + std::wstring(300, L'a');
    struct Case {
        std::wstring in;
        std::wstring out;
    };
    const std::vector<Case> cases = {
        {L"", L""},
        {L"C:\\x", L"C:\\x"},
        {at248, at248},
        {at249, L"\\\\?\\" + at249},
        {L"\\\\?\\" + at249, L"\\\\?\\" + at249},
        {L"\\\\?\\C:\\x", L"\\\\?\\C:\\x"},
        {L"\\\\.\\C:\\x", L"\\\\?\\C:\\x"},
        {L"\\\\.\\" + at249, L"\\\\?\\" + at249},
        // No other rewriting: slashes stay, a UNC path gets the plain prefix.
        {longSlashes, L"\\\\?\\" + longSlashes},
        {longUnc, L"\\\\?\\" + longUnc},
        {L"\\\\?", L"\\\\?"},
    };
    for (const Case& c : cases) {
        std::wstring path = c.in;
        AddLongPathPrefix(path);
        EXPECT_EQ(c.out, path) << "input length " << c.in.size();
    }
}

TEST(ForceDeleteFile, DeletesPlainReadOnlyAndLongPaths)
{
    TempDir tmp;
    LongTreeCleanup cleanup{tmp};
    const std::string asciiDeep = MakeDeepNarrowDir(tmp.Path(), "abcdefghijklmnopqrstuvwxyz", 300);
    const std::string gbkDeep =
        MakeDeepNarrowDir(tmp.Path(), std::string("游戏") + kTrailSlashChar + "盘", 300);
    struct Case {
        std::string path;
        DWORD attrs;
    };
    const std::vector<Case> cases = {
        {tmp / "plain.txt", FILE_ATTRIBUTE_NORMAL},
        {tmp / "ro.txt", FILE_ATTRIBUTE_READONLY},
        {tmp / "hidden_system_ro.txt",
         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
        {tmp / (std::string(kTrailSlashChar) + ".txt"), FILE_ATTRIBUTE_READONLY},
        // Past MAX_PATH: only the prefixed wide calls reach these.
        {asciiDeep + "\\long.txt", FILE_ATTRIBUTE_NORMAL},
        {asciiDeep + "\\long_ro.txt", FILE_ATTRIBUTE_READONLY},
        {gbkDeep + "\\" + kTrailSlashChar, FILE_ATTRIBUTE_READONLY},
    };
    for (const Case& c : cases) {
        const std::wstring wide = AnsiToWide(c.path);
        ASSERT_FALSE(wide.empty());
        MakeFileW(wide, c.attrs);
        ASSERT_TRUE(ExistsW(wide)) << c.path;
        EXPECT_TRUE(ForceDeleteFile(c.path)) << c.path;
        EXPECT_FALSE(ExistsW(wide)) << c.path;
    }
}

TEST(ForceDeleteFile, FailsForMissingFileAndLeavesDirectories)
{
    TempDir tmp;
    EXPECT_FALSE(ForceDeleteFile(tmp / "missing.txt"));
    MakeDirs(tmp / "dir");
    EXPECT_FALSE(ForceDeleteFile(tmp / "dir"));
    EXPECT_TRUE(PathExists(tmp / "dir"));
}

TEST(ForceDeleteFile, FileHeldOpenWithoutDeleteSharingStays)
{
    TempDir tmp;
    const std::string path = tmp / "busy.txt";
    WriteTextFile(path, "busy");
    {
        CFileHandle busy(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                     nullptr));
        ASSERT_TRUE(busy);
        EXPECT_FALSE(ForceDeleteFile(path));
        EXPECT_TRUE(PathExists(path));
    }
    EXPECT_TRUE(ForceDeleteFile(path));
}

TEST(IsDirectory, TellsDirectoriesFromFilesAndMissingPaths)
{
    TempDir tmp;
    MakeDirs(tmp / "dir");
    MakeDirs(tmp / kTrailSlashChar); // last byte of the path is 0x5C
    WriteTextFile(tmp / "file.txt", "x");
    LongTreeCleanup cleanup{tmp};
    const std::string deep = MakeDeepNarrowDir(tmp.Path(), "abcdefghijklmnopqrstuvwxyz", 300);
    struct Case {
        std::string path;
        bool isDir;
    };
    const std::vector<Case> cases = {
        {tmp / "dir", true},
        {tmp / "dir\\", true},
        {tmp / kTrailSlashChar, true},
        {tmp / (std::string(kTrailSlashChar) + "\\"), true},
        {tmp / "file.txt", false},
        {tmp / "missing", false},
        {deep, true},
        {deep + "\\", true},
        {"", false},
        {tmp / "dir\x81", false}, // not valid GBK
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.isDir, IsDirectory(c.path)) << c.path;
        EXPECT_EQ(c.isDir, IsDirectoryW(AnsiToWide(c.path))) << c.path;
    }
}
