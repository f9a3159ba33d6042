// Whole-scan benchmark: times CServerClearDBMgr::ScanService on the installation that
// bench/run-scan-bench builds, and, in the same run, the bare enumeration of the directories
// that scan opens (the disk roots and every directory marked as holding known ones).
// Prints figures; it is not a test.
#include "app/AppSettings.h"
#include "app/MasterServerClearDB.h"
#include "app/ServerClearDB.h"
#include "app/ServerClearDBMgr.h"
#include "comm/LogFile.h"
#include "comm/UniqueHandle.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Lists one directory the way the walk does (narrow API, "\*.*"), counting entries.
size_t Enumerate(const std::string& dir)
{
    WIN32_FIND_DATAA data;
    CFindHandle find(FindFirstFileA((dir + "\\*.*").c_str(), &data));
    if (!find)
        return 0;
    size_t count = 1;
    while (FindNextFileA(find.Get(), &data))
        ++count;
    return count;
}

// The main-server scanner with its steps callable one by one, for the breakdown.
class CSteppedScanner : public CMasterServerClearDB {
public:
    using CMasterServerClearDB::CMasterServerClearDB;
    using CMasterServerClearDB::GameRootDirInit;
    using CMasterServerClearDB::LoadGamePathInit;
    using CMasterServerClearDB::UnLoadGamePathInit;
};

double Ms(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

} // namespace

int main()
{
    CLogFile::Instance().SetLogDir("C:\\Tarnwell\\log\\");
    CLogFile::Instance().SetFilePrefix("Tarnwell");
    CLogFile::Instance().SetOutputs(2);
    const char* service = FindServerCatalogEntry(1)->serviceName;
    constexpr int kRuns = 5;

    CServerClearDBMgr manager;
    std::vector<double> scanMs;
    std::vector<double> enumMs;
    size_t entries = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto t0 = std::chrono::steady_clock::now();
        const bool ok = manager.ScanService(service);
        const auto t1 = std::chrono::steady_clock::now();
        if (!ok) {
            std::fprintf(stderr, "scan failed: is the benchmark installation in place?\n");
            return 1;
        }
        scanMs.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());

        // The directories this scan opened: each disk root and each "TRUE" directory.
        CServerClearDB* scanner = manager.CurrentScanner();
        std::vector<std::string> dirs;
        GameDiskList disks;
        scanner->GetDiskList(disks);
        for (const auto& disk : disks)
            dirs.push_back(disk.first.substr(0, 1) + ":");
        for (const auto& known : scanner->KnownPaths()) {
            const DWORD attrs = GetFileAttributesA(known.first.c_str());
            if (known.second == CServerClearDB::kKnownAbove && attrs != INVALID_FILE_ATTRIBUTES &&
                (attrs & FILE_ATTRIBUTE_DIRECTORY))
                dirs.push_back(known.first);
        }
        const auto e0 = std::chrono::steady_clock::now();
        entries = 0;
        for (const std::string& dir : dirs)
            entries += Enumerate(dir);
        const auto e1 = std::chrono::steady_clock::now();
        enumMs.push_back(std::chrono::duration<double, std::milli>(e1 - e0).count());

        if (run == kRuns - 1) {
            CandidateList candidates;
            scanner->GetCandidates(candidates);
            std::printf("directories opened: %zu, entries listed: %zu, known paths: %zu, candidates: %zu\n",
                        dirs.size(), entries, scanner->KnownPaths().size(), candidates.size());
        }
    }
    const double scan = Median(scanMs);
    const double enumeration = Median(enumMs);
    std::printf("whole scan:        median %.1f ms (min %.1f) over %d runs\n", scan,
                *std::min_element(scanMs.begin(), scanMs.end()), kRuns);
    std::printf("bare enumeration:  median %.1f ms (min %.1f)\n", enumeration,
                *std::min_element(enumMs.begin(), enumMs.end()));
    std::printf("ratio scan/enumeration: %.2f (goal: at most 1.30)\n", scan / enumeration);

    // Where the time goes: the same scan again, step by step.
    std::vector<double> probe, root, load, walk;
    for (int run = 0; run < kRuns; ++run) {
        CServerClearDBMgr stepManager;
        const auto t0 = std::chrono::steady_clock::now();
        stepManager.IsMainServer(service);
        const auto t1 = std::chrono::steady_clock::now();
        CSteppedScanner scanner(stepManager.BarServerDBPath());
        scanner.GameRootDirInit();
        const auto t2 = std::chrono::steady_clock::now();
        scanner.LoadGamePathInit();
        const auto t3 = std::chrono::steady_clock::now();
        scanner.UnLoadGamePathInit();
        const auto t4 = std::chrono::steady_clock::now();
        probe.push_back(Ms(t0, t1));
        root.push_back(Ms(t1, t2));
        load.push_back(Ms(t2, t3));
        walk.push_back(Ms(t3, t4));
    }
    std::printf("steps (medians): probes and main-server check %.1f ms, disks %.1f ms, "
                "known paths %.1f ms, walk %.1f ms (walk/enumeration %.2f)\n",
                Median(probe), Median(root), Median(load), Median(walk), Median(walk) / enumeration);
    return 0;
}
