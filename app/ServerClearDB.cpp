#include "app/ServerClearDB.h"

#include <windows.h>

#include <cctype>

#include "comm/FileFind.h"
#include "comm/MbString.h"

CServerClearDB::CServerClearDB(std::string dbPath)
    : CModuleLog("ServerClearDB"), dbPath_(std::move(dbPath))
{
}

CServerClearDB::~CServerClearDB() = default;

bool CServerClearDB::LoadAndScan()
{
    if (!GameRootDirInit()) {
        DebugTrace(LOG_ERROR, "GameRootDirInit Error");
        return false;
    }
    if (!LoadGamePathInit()) {
        DebugTrace(LOG_ERROR, "LoadGamePathInit Error");
        return false;
    }
    if (!UnLoadGamePathInit()) {
        DebugTrace(LOG_ERROR, "UnLoadGamePathInit Error");
        return false;
    }
    return true;
}

bool CServerClearDB::GetDiskList(GameDiskList& out)
{
    std::lock_guard<std::mutex> guard(lock_);
    if (disks_.empty())
        return false;
    out = disks_;
    return true;
}

bool CServerClearDB::GetCandidates(CandidateList& out)
{
    std::lock_guard<std::mutex> guard(lock_);
    out.clear();
    if (candidates_.empty())
        return false;
    out = candidates_;
    return true;
}

bool CServerClearDB::IsDownloadDisk(char letter)
{
    const char upper = (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 'a' + 'A') : letter;
    std::lock_guard<std::mutex> guard(lock_);
    for (const auto& disk : disks_) {
        if (!disk.first.empty() && disk.first[0] == upper)
            return (disk.second & GameDisk::kGameDiskBit) == 0;
    }
    return false;
}

void CServerClearDB::SetDiskBits(const std::string& symbol, int32_t bits)
{
    std::lock_guard<std::mutex> guard(lock_);
    disks_[symbol] |= bits;
}

void CServerClearDB::SetDiskPurpose(const std::string& symbol, int32_t purpose)
{
    std::lock_guard<std::mutex> guard(lock_);
    disks_[symbol] = purpose;
}

void CServerClearDB::SetKnownMarker(const std::string& path, const std::string& marker)
{
    std::lock_guard<std::mutex> guard(lock_);
    knownPaths_[path] = marker;
    knownIndexStale_ = true;
}

void CServerClearDB::AddKnownPath(std::string path)
{
    if (path.empty())
        return;
    std::lock_guard<std::mutex> guard(lock_);
    knownIndexStale_ = true;
    if (mbs::FindLastBackslash(path) != path.size() - 1)
        path += '\\';

    const auto sameLetter = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    const std::string* symbol = nullptr;
    for (const auto& disk : disks_) {
        if (!disk.first.empty() && sameLetter(disk.first[0], path[0])) {
            symbol = &disk.first;
            break;
        }
    }
    if (!symbol)
        return;
    const std::string drive = std::string(1, (*symbol)[0]) + ":";

    path.resize(mbs::FindLastBackslash(path));
    knownPaths_[path] = kKnownDir;
    for (;;) {
        const size_t cut = mbs::FindLastBackslash(path);
        if (cut == std::string::npos)
            break;
        path.resize(cut);
        if (path.empty() || mbs::EqualNoCase(path, drive))
            break;
        knownPaths_.emplace(path, kKnownAbove); // an existing key keeps its marker
    }
}

bool Utf8ToCodePage936(const std::string& utf8, std::string& out)
{
    if (!mbs::IsNonAsciiUtf8(utf8))
        return false;
    const int wideLen = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                            static_cast<int>(utf8.size()), nullptr, 0);
    if (wideLen <= 0)
        return false;
    std::wstring wide(wideLen, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                        &wide[0], wideLen);
    BOOL lossy = FALSE;
    const int len = WideCharToMultiByte(936, 0, wide.data(), wideLen, nullptr, 0, nullptr, &lossy);
    if (len <= 0 || lossy)
        return false;
    out.assign(len, '\0');
    WideCharToMultiByte(936, 0, wide.data(), wideLen, &out[0], len, nullptr, &lossy);
    return !lossy;
}

void CServerClearDB::AddKnownPathAnyEncoding(const std::string& path)
{
    AddKnownPath(path);
    std::string gbk;
    if (Utf8ToCodePage936(path, gbk))
        AddKnownPath(gbk);
}

void CServerClearDB::SetKnownDirAnyEncoding(const std::string& path)
{
    SetKnownMarker(path, kKnownDir);
    std::string gbk;
    if (Utf8ToCodePage936(path, gbk))
        SetKnownMarker(gbk, kKnownDir);
}

bool CServerClearDB::UnLoadGamePathInit()
{
    {
        std::lock_guard<std::mutex> guard(lock_);
        candidates_.clear();
    }
    std::vector<std::string> roots;
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (const auto& disk : disks_) {
            if (!disk.first.empty())
                roots.push_back(std::string(1, disk.first[0]) + ":");
        }
    }
    for (const auto& root : roots)
        FindDir(root, kWalkDepth);
    return true;
}

void CServerClearDB::RebuildKnownIndex()
{
    // Folding maps exactly the paths that compare equal without regard to case onto one
    // text; walking the map in order and keeping the first key per text gives the first
    // match in map order, as a search of every key would.
    knownIndex_.clear();
    knownIndex_.reserve(knownPaths_.size());
    for (const auto& entry : knownPaths_)
        knownIndex_.emplace(mbs::FoldCase(entry.first), &entry);
    knownIndexStale_ = false;
}

const CServerClearDB::KnownPathMap::value_type* CServerClearDB::FindKnownNoCase(const std::string& path)
{
    if (knownIndexStale_)
        RebuildKnownIndex();
    foldBuffer_.assign(path);
    mbs::FoldCaseInPlace(foldBuffer_);
    const auto it = knownIndex_.find(foldBuffer_);
    return it == knownIndex_.end() ? nullptr : it->second;
}

bool CServerClearDB::FindDir(const std::string& path, int depthBudget)
{
    if (ChecksDisk()) {
        if (path.empty())
            return true;
        std::lock_guard<std::mutex> guard(lock_);
        if (disks_.find(path.substr(0, 1)) == disks_.end())
            return true;
    }
    if (depthBudget <= 0)
        return true;

    // "D:" alone names the drive's current directory; the walk means its root.
    const std::string probe = (path.size() == 2 && path[1] == ':') ? path + "\\" : path;
    const DWORD attrs = GetFileAttributesA(probe.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY))
        return false;

    OS::CFileFind find;
    bool more = find.FindFile((path + "\\*.*").c_str());
    if (!more) {
        DebugTrace(LOG_ERROR, "FindDir FindFil Error");
        return true;
    }
    const bool parentKnown = knownPaths_.count(path) != 0;
    while (more) {
        more = find.FindNext();
        if (find.MatchesMask(FILE_ATTRIBUTE_HIDDEN) || find.IsDots())
            continue;
        std::string full = find.GetFilePath();
        const bool isDirectory = find.MatchesMask(FILE_ATTRIBUTE_DIRECTORY);
        if (const auto* known = FindKnownNoCase(full)) {
            if (isDirectory && known->second == kKnownAbove) {
                descended_ = true;
                FindDir(full, depthBudget - 1);
            }
            continue;
        }
        CleanupCandidate candidate{isDirectory, parentKnown && (!isDirectory || descended_),
                                   find.GetFileName(), full};
        std::lock_guard<std::mutex> guard(lock_);
        candidates_.insert_or_assign(std::move(full), std::move(candidate));
    }
    return true;
}
