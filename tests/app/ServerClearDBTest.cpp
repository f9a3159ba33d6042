#include <gtest/gtest.h>

#include "app/ServerClearDB.h"
#include "support/TempDir.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// A scanner whose loads are whatever the test says.
class TestScanner : public CServerClearDB {
public:
    explicit TestScanner(bool checksDisk = true) : CServerClearDB("test.db"), checksDisk_(checksDisk) {}

    std::function<bool(TestScanner&)> rootInit = [](TestScanner&) { return true; };
    std::function<bool(TestScanner&)> pathInit = [](TestScanner&) { return true; };

    void Disk(const std::string& symbol, int32_t purpose) { SetDiskPurpose(symbol, purpose); }
    void Known(const std::string& path, const std::string& marker) { SetKnownMarker(path, marker); }
    void KnownAnyEncoding(const std::string& path) { AddKnownPathAnyEncoding(path); }

protected:
    bool GameRootDirInit() override { return rootInit(*this); }
    bool LoadGamePathInit() override { return pathInit(*this); }
    bool ChecksDisk() const override { return checksDisk_; }

private:
    bool checksDisk_;
};

// The drive S: (a folder of the build) emptied before and after each test.
struct DiskFixture : testing::Test {
    const std::string root = "S:";
    void Clear()
    {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA("S:\\*", &fd);
        if (h == INVALID_HANDLE_VALUE)
            return;
        do {
            std::string name = fd.cFileName;
            if (name != "." && name != "..")
                RemoveTreeForTest("S:\\" + name);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Dir(const std::string& path) { MakeDirs(path); }
    static void File(const std::string& path) { WriteTextFile(path, "x"); }

    static std::vector<std::string> Describe(TestScanner& scanner)
    {
        CandidateList out;
        scanner.GetCandidates(out);
        std::vector<std::string> lines;
        for (const auto& entry : out) {
            EXPECT_EQ(entry.first, entry.second.path);
            lines.push_back(std::string(entry.second.isDirectory ? "dir " : "file ") +
                            (entry.second.ticked ? "ticked " : "unticked ") + entry.second.path);
        }
        return lines;
    }
};

using Lines = std::vector<std::string>;

} // namespace

TEST(KnownPaths, RegistrationRules)
{
    TestScanner s;
    s.Disk("D", 1);
    s.AddKnownPath("D:\\Games\\LOL");
    EXPECT_EQ((CServerClearDB::KnownPathMap{{"D:\\Games", "TRUE"}, {"D:\\Games\\LOL", "FALSE"}}), s.KnownPaths());
    s.AddKnownPath("D:\\Games\\");
    s.AddKnownPath("D:\\Games\\LOL\\Maps");
    EXPECT_EQ((CServerClearDB::KnownPathMap{
                  {"D:\\Games", "FALSE"}, {"D:\\Games\\LOL", "FALSE"}, {"D:\\Games\\LOL\\Maps", "FALSE"}}),
              s.KnownPaths());

    TestScanner t;
    t.Disk("D", 1);
    t.AddKnownPath("");
    t.AddKnownPath("E:\\Games\\LOL");   // not a disk
    t.AddKnownPath("D:Games");          // no backslash after the drive
    t.AddKnownPath("d:\\x\\y");         // drive letter matched without case; drive test too
    t.AddKnownPath("D:\\");             // the drive itself
    t.AddKnownPath("D:\\誠\\游戏");      // 誠 ends in byte 0x5C: not a separator
    EXPECT_EQ((CServerClearDB::KnownPathMap{{"D:", "FALSE"},
                                            {"D:Games", "FALSE"},
                                            {"D:\\誠", "TRUE"},
                                            {"D:\\誠\\游戏", "FALSE"},
                                            {"d:\\x", "TRUE"},
                                            {"d:\\x\\y", "FALSE"}}),
              t.KnownPaths());

    TestScanner u; // a known ancestor keeps FALSE whatever the order
    u.Disk("D", 1);
    u.AddKnownPath("D:\\A\\B");
    u.AddKnownPath("D:\\A");
    u.AddKnownPath("D:\\A\\C");
    EXPECT_EQ("FALSE", u.KnownPaths().at("D:\\A"));
}

TEST_F(DiskFixture, WorkedExample)
{
    Dir("S:\\Games\\LOL\\Data");
    Dir("S:\\Games\\Old");
    File("S:\\Games\\readme.txt");
    Dir("S:\\Junk\\deep");
    File("S:\\x.txt");
    TestScanner s;
    s.rootInit = [](TestScanner& t) { t.Disk("S", 1); return true; };
    s.pathInit = [](TestScanner& t) { t.AddKnownPath("S:\\Games\\LOL"); return true; };
    ASSERT_TRUE(s.LoadAndScan());
    EXPECT_EQ((Lines{"dir ticked S:\\Games\\Old", "file ticked S:\\Games\\readme.txt", "dir unticked S:\\Junk",
                     "file unticked S:\\x.txt"}),
              Describe(s));
}

TEST_F(DiskFixture, HiddenEntriesGbkNamesAndOtherCase)
{
    Dir("S:\\Games\\LOL");
    Dir("S:\\Games\\誠品");
    Dir("S:\\Games\\丄A");            // trail byte 'A': must not match 乤a
    Dir("S:\\Secret");
    SetFileAttributesA("S:\\Secret", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    File("S:\\Games\\hidden.dat");
    SetFileAttributesA("S:\\Games\\hidden.dat", FILE_ATTRIBUTE_HIDDEN);
    Dir("S:\\.dotted");               // reported hidden
    TestScanner s;
    s.rootInit = [](TestScanner& t) { t.Disk("S", 1); return true; };
    s.pathInit = [](TestScanner& t) {
        t.AddKnownPath("s:\\games\\lol");   // other case: protects, parent opened
        t.AddKnownPath("s:\\games\\誠品");
        t.AddKnownPath("s:\\games\\乤a");
        return true;
    };
    ASSERT_TRUE(s.LoadAndScan());
    // The parent is known only as s:\games, so the entries beside the known ones start unticked.
    EXPECT_EQ((Lines{"dir unticked S:\\Games\\丄A"}), Describe(s));
}

TEST_F(DiskFixture, ForwardSlashesProtectNothing)
{
    Dir("S:\\Games\\LOL");
    TestScanner s;
    s.rootInit = [](TestScanner& t) { t.Disk("S", 1); return true; };
    s.pathInit = [](TestScanner& t) { t.AddKnownPath("S:/Games/LOL"); return true; };
    ASSERT_TRUE(s.LoadAndScan());
    EXPECT_EQ((Lines{"dir unticked S:\\Games"}), Describe(s));
}

TEST_F(DiskFixture, DepthBudgetOpensNineLevelsBelowTheRoot)
{
    std::string path = "S:";
    for (int level = 1; level <= 11; ++level) {
        path += "\\L" + std::to_string(level);
        Dir(path);
        File(path + "\\junk.txt");
    }
    TestScanner s;
    const std::string known = path + "\\Game";
    s.rootInit = [](TestScanner& t) { t.Disk("S", 1); return true; };
    s.pathInit = [known](TestScanner& t) { t.AddKnownPath(known); return true; };
    ASSERT_TRUE(s.LoadAndScan());
    Lines expected;
    std::string dir = "S:";
    for (int level = 1; level <= 9; ++level) {
        dir += "\\L" + std::to_string(level);
        expected.push_back("file ticked " + dir + "\\junk.txt");
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, Describe(s));
}

TEST_F(DiskFixture, DiskCheckUnlistableRootsAndFailedSteps)
{
    File("S:\\a.txt");
    // "SS" is no one-character key: the disk check skips it; the VDisk walk lists it.
    for (bool checksDisk : {true, false}) {
        TestScanner s(checksDisk);
        s.rootInit = [](TestScanner& t) {
            t.Disk("K", 1); // no such drive: adds nothing, the walk goes on
            t.Disk("SS", 1);
            return true;
        };
        ASSERT_TRUE(s.LoadAndScan());
        EXPECT_EQ(checksDisk ? Lines{} : Lines{"file unticked S:\\a.txt"}, Describe(s)) << checksDisk;
    }
    EXPECT_TRUE(TestScanner(true).FindDir("K:", 10)) << "not a disk: not listed";
    EXPECT_FALSE(TestScanner(false).FindDir("K:", 10)) << "no such directory";

    TestScanner failing;
    bool pathInitRan = false;
    failing.rootInit = [](TestScanner& t) { t.Disk("S", 2); return false; };
    failing.pathInit = [&](TestScanner&) { pathInitRan = true; return true; };
    EXPECT_FALSE(failing.LoadAndScan());
    EXPECT_FALSE(pathInitRan);
    GameDiskList disks{{"old", 9}};
    EXPECT_TRUE(failing.GetDiskList(disks)) << "what the load filled stays readable";
    EXPECT_EQ((GameDiskList{{"S", 2}}), disks);
}

TEST(ScannerReadOut, EmptyResultsAndDownloadDiskTest)
{
    TestScanner s;
    GameDiskList disks{{"keep", 1}};
    EXPECT_FALSE(s.GetDiskList(disks));
    EXPECT_EQ(1u, disks.size()) << "left untouched";
    CandidateList candidates{{"x", CleanupCandidate{}}};
    EXPECT_FALSE(s.GetCandidates(candidates));
    EXPECT_TRUE(candidates.empty()) << "emptied";

    s.Disk("D", 2);
    s.Disk("E", 3);
    s.Disk("F", 1);
    s.Disk("g", 2);
    const struct { char letter; bool download; } cases[] = {
        {'D', true}, {'d', true}, {'E', false}, {'F', false}, {'g', false}, {'G', false}, {'Z', false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.download, s.IsDownloadDisk(c.letter)) << c.letter;
}

TEST_F(DiskFixture, Utf8KnownPathsAlsoProtectTheGbkDirectory)
{
    Dir("S:\\游戏\\英雄联盟");
    Dir("S:\\游戏\\旧游戏");
    TestScanner s;
    s.rootInit = [](TestScanner& t) { t.Disk("S", 1); return true; };
    // The product stored S:\游戏\英雄联盟 as UTF-8.
    s.pathInit = [](TestScanner& t) {
        t.KnownAnyEncoding("S:\\\xE6\xB8\xB8\xE6\x88\x8F\\\xE8\x8B\xB1\xE9\x9B\x84\xE8\x81\x94\xE7\x9B\x9F");
        return true;
    };
    ASSERT_TRUE(s.LoadAndScan());
    EXPECT_EQ((Lines{"dir ticked S:\\游戏\\旧游戏"}), Describe(s));
    EXPECT_EQ("FALSE", s.KnownPaths().at("S:\\游戏\\英雄联盟"));
    EXPECT_EQ(4u, s.KnownPaths().size()) << "both forms of the path and of its parent";
}

TEST_F(DiskFixture, FailedPathLoadWalksNothingAndTheRootsListedAheadAreDropped)
{
    File("S:\\a.txt");
    TestScanner s;
    s.rootInit = [](TestScanner& t) { t.Disk("S", 1); return true; };
    s.pathInit = [](TestScanner&) { return false; };
    EXPECT_FALSE(s.LoadAndScan());
    EXPECT_EQ(Lines{}, Describe(s));
    // A later walk lists the disk itself rather than reusing anything from the failed scan.
    File("S:\\b.txt");
    EXPECT_TRUE(s.FindDir("S:", CServerClearDB::kWalkDepth));
    EXPECT_EQ((Lines{"file unticked S:\\a.txt", "file unticked S:\\b.txt"}), Describe(s));
}
