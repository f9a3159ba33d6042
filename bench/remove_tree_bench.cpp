// Removes two identical trees, one with RemoveTreeW and one with the platform's own
// "cmd /c rmdir /s /q", and prints both times and their ratio.
//
//   remove_tree_bench [folder] [rounds]
//
// folder defaults to the temp folder; each round builds both trees afresh and alternates
// which removal goes first.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "comm/FileRemove.h"
#include "comm/UniqueHandle.h"

namespace {

constexpr int kTopDirs = 50;
constexpr int kSubDirsPerTop = 39;           // 50 + 50 * 39 = 2,000 directories
constexpr int kFilesPerDir = 10;             // 20,000 files
constexpr int kDirCount = kTopDirs + kTopDirs * kSubDirsPerTop;

double NowMs()
{
    LARGE_INTEGER freq, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(freq.QuadPart);
}

bool FillDir(const std::wstring& dir, int& files)
{
    if (!CreateDirectoryW(dir.c_str(), nullptr))
        return false;
    for (int f = 0; f < kFilesPerDir; ++f) {
        const std::wstring name = dir + L"\\file_" + std::to_wstring(f) + L".dat";
        CFileHandle file(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
        DWORD written = 0;
        WriteFile(file.Get(), name.c_str(), 64, &written, nullptr);
        ++files;
    }
    return true;
}

bool BuildTree(const std::wstring& root, int& dirs, int& files)
{
    dirs = 0;
    files = 0;
    if (!CreateDirectoryW(root.c_str(), nullptr))
        return false;
    for (int t = 0; t < kTopDirs; ++t) {
        const std::wstring top = root + L"\\game_" + std::to_wstring(t);
        if (!FillDir(top, files))
            return false;
        ++dirs;
        for (int s = 0; s < kSubDirsPerTop; ++s) {
            if (!FillDir(top + L"\\data_" + std::to_wstring(s), files))
                return false;
            ++dirs;
        }
    }
    return true;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

double TimeRemoveTree(const std::wstring& root, bool& ok)
{
    const double start = NowMs();
    ok = RemoveTreeW(root);
    const double elapsed = NowMs() - start;
    ok = ok && !Exists(root);
    return elapsed;
}

double TimeCmdRmdir(const std::wstring& root, bool& ok)
{
    std::wstring cmd = L"cmd.exe /c rmdir /s /q \"" + root + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    const double start = NowMs();
    ok = CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    if (ok) {
        CKernelHandle process(pi.hProcess);
        CKernelHandle thread(pi.hThread);
        WaitForSingleObject(process.Get(), INFINITE);
    }
    const double elapsed = NowMs() - start;
    ok = ok && !Exists(root);
    return elapsed;
}

} // namespace

int main(int argc, char** argv)
{
    std::wstring base;
    if (argc > 1) {
        base = AnsiToWide(argv[1]);
    } else {
        wchar_t tmp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, tmp);
        base = tmp;
    }
    if (!base.empty() && base.back() == L'\\')
        base.pop_back();
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 1;
    const std::wstring ours = base + L"\\tw_bench_removetree_" + std::to_wstring(GetCurrentProcessId());
    const std::wstring theirs = base + L"\\tw_bench_rmdir_" + std::to_wstring(GetCurrentProcessId());

    std::printf("trees: %d directories, %d files each\n", kDirCount, kDirCount * kFilesPerDir);
    double sumOurs = 0, sumTheirs = 0;
    for (int round = 0; round < rounds; ++round) {
        int dirs = 0, files = 0;
        const double buildStart = NowMs();
        if (!BuildTree(ours, dirs, files) || !BuildTree(theirs, dirs, files)) {
            std::printf("cannot build the trees under %ls\n", base.c_str());
            return 1;
        }
        std::printf("round %d: built 2 x (%d dirs, %d files) in %.0f ms\n", round + 1, dirs,
                    files, NowMs() - buildStart);
        bool okOurs = false, okTheirs = false;
        double tOurs, tTheirs;
        if (round % 2 == 0) {
            tOurs = TimeRemoveTree(ours, okOurs);
            tTheirs = TimeCmdRmdir(theirs, okTheirs);
        } else {
            tTheirs = TimeCmdRmdir(theirs, okTheirs);
            tOurs = TimeRemoveTree(ours, okOurs);
        }
        std::printf("round %d: RemoveTreeW %.0f ms (%s), cmd rmdir /s /q %.0f ms (%s), ratio %.2f\n",
                    round + 1, tOurs, okOurs ? "gone" : "LEFT", tTheirs,
                    okTheirs ? "gone" : "LEFT", tOurs / tTheirs);
        if (!okOurs || !okTheirs)
            return 1;
        sumOurs += tOurs;
        sumTheirs += tTheirs;
    }
    std::printf("total: RemoveTreeW %.0f ms, cmd rmdir /s /q %.0f ms, ratio %.2f (goal <= 1.50)\n",
                sumOurs, sumTheirs, sumOurs / sumTheirs);
    return 0;
}
