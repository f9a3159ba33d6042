// Times the disk walk on a synthetic disk against a bare FindFirstFileA/FindNextFileA listing
// of the same directories. Usage: walk_bench [drive letter, default S] (the drive's root must
// be an empty folder the benchmark may fill; it is emptied again at the end).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <cstdio>
#include <string>
#include <vector>

#include "app/ServerClearDB.h"

namespace {

constexpr int kTopDirs = 10000;  // top-level directories, of which kTrueDirs hold known ones
constexpr int kTopFiles = 10000;
constexpr int kTrueDirs = 200;
constexpr int kEntriesPerTrueDir = 100; // half of them known

class BenchScanner : public CServerClearDB {
public:
    BenchScanner(char drive, const std::vector<std::string>& known)
        : CServerClearDB("bench"), drive_(drive), known_(known) {}
    // The timed walk: the loads run untimed first, as a scan does them before its walk.
    bool Walk()
    {
        walking_ = true;
        return UnLoadGamePathInit();
    }

protected:
    bool GameRootDirInit() override
    {
        SetDiskPurpose(std::string(1, drive_), 1);
        return true;
    }
    bool LoadGamePathInit() override
    {
        for (const auto& path : known_)
            AddKnownPath(path);
        return true;
    }

    bool UnLoadGamePathInit() override { return walking_ ? CServerClearDB::UnLoadGamePathInit() : true; }

private:
    bool walking_ = false;
    char drive_;
    const std::vector<std::string>& known_;
};

double Seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

size_t BareListing(const std::vector<std::string>& dirs)
{
    size_t entries = 0;
    for (const auto& dir : dirs) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "\\*.*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            continue;
        do
            ++entries;
        while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    return entries;
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string full = path + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full), RemoveDirectoryA(full.c_str());
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
}

void Touch(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
}

} // namespace

int main(int argc, char** argv)
{
    const char drive = argc > 1 ? argv[1][0] : 'S';
    const std::string root = std::string(1, drive) + ":";
    std::printf("building the synthetic disk on %s ...\n", root.c_str());
    RemoveTree(root);

    std::vector<std::string> known;
    std::vector<std::string> opened{root};
    for (int i = 0; i < kTopDirs; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "\\Dir%05d", i);
        const std::string dir = root + name;
        CreateDirectoryA(dir.c_str(), nullptr);
        if (i < kTrueDirs) {
            opened.push_back(dir);
            for (int k = 0; k < kEntriesPerTrueDir; ++k) {
                char child[32];
                std::snprintf(child, sizeof child, "\\Game%03d", k);
                CreateDirectoryA((dir + child).c_str(), nullptr);
                if (k % 2 == 0)
                    known.push_back(dir + child);
            }
        } else if (i % 2 == 0) {
            known.push_back(dir); // a known top-level directory
        }
    }
    for (int i = 0; i < kTopFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "\\file%05d.dat", i);
        Touch(root + name);
    }
    // Known paths elsewhere on the disk (a product's stale records), to reach 20,000 keys.
    for (int i = 0; known.size() < 20000; ++i) {
        char name[48];
        std::snprintf(name, sizeof name, "\\Gone\\Pkg%05d", i);
        known.push_back(root + name);
    }

    BareListing(opened); // warms the file system caches
    std::printf("known paths: %zu, directories opened: %zu\n", known.size(), opened.size());

    constexpr int kRuns = 7;
    std::vector<double> walk, bare;
    size_t entries = 0;
    CandidateList candidates;
    for (int run = 0; run < kRuns; ++run) {
        auto t0 = std::chrono::steady_clock::now();
        entries = BareListing(opened);
        // A fresh scanner per run, as each scan makes one; its loads are not timed.
        auto scanner = std::make_unique<BenchScanner>(drive, known);
        scanner->LoadAndScan();
        auto t1 = std::chrono::steady_clock::now();
        scanner->Walk();
        auto t2 = std::chrono::steady_clock::now();
        scanner->GetCandidates(candidates);
        bare.push_back(Seconds(t1 - t0));
        walk.push_back(Seconds(t2 - t1));
    }
    std::sort(walk.begin(), walk.end());
    std::sort(bare.begin(), bare.end());
    std::printf("entries listed: %zu, candidates: %zu\n", entries, candidates.size());
    std::printf("bare enumeration: median %.1f ms (min %.1f)\n", bare[kRuns / 2] * 1e3, bare[0] * 1e3);
    std::printf("walk:             median %.1f ms (min %.1f)\n", walk[kRuns / 2] * 1e3, walk[0] * 1e3);
    std::printf("ratio walk/bare:  %.2f (median)\n", walk[kRuns / 2] / bare[kRuns / 2]);
    RemoveTree(root);
    return 0;
}
