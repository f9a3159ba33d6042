#include "app/ServerClearDB.h"

#include <windows.h>

#include <cctype>
#include <future>

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
    // The disk roots hold most of the entries a scan lists. Reading them on a second thread
    // while the known paths load lets the disk and the database work at the same time; the
    // walk then takes each root's entries from here instead of listing the root again.
    std::atomic<bool> cancel{false};
    auto roots = std::async(std::launch::async, [&cancel, paths = WalkRoots()] {
        std::map<std::string, DirListing> listings;
        for (const auto& root : paths)
            listings[root] = ListDirectory(root, cancel);
        return listings;
    });
    if (!LoadGamePathInit()) {
        cancel = true;
        roots.wait();
        DebugTrace(LOG_ERROR, "LoadGamePathInit Error");
        return false;
    }
    rootListings_ = roots.get();
    const bool walked = UnLoadGamePathInit();
    rootListings_.clear();
    if (!walked) {
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

std::vector<std::string> CServerClearDB::WalkRoots()
{
    std::vector<std::string> roots;
    std::lock_guard<std::mutex> guard(lock_);
    for (const auto& disk : disks_) {
        if (!disk.first.empty())
            roots.push_back(std::string(1, disk.first[0]) + ":");
    }
    return roots;
}

bool CServerClearDB::UnLoadGamePathInit()
{
    {
        std::lock_guard<std::mutex> guard(lock_);
        candidates_.clear();
    }
    for (const auto& root : WalkRoots())
        FindDir(root, kWalkDepth);
    return true;
}

CServerClearDB::DirListing CServerClearDB::ListDirectory(const std::string& path, const std::atomic<bool>& cancel)
{
    DirListing listing;
    OS::CFileFind find;
    bool more = find.FindFile((path + "\\*.*").c_str());
    listing.listed = more;
    while (more && !cancel) {
        more = find.FindNext();
        if (find.MatchesMask(FILE_ATTRIBUTE_HIDDEN) || find.IsDots())
            continue;
        listing.entries.push_back(
            DirEntry{find.GetFileName(), find.GetFilePath(), find.MatchesMask(FILE_ATTRIBUTE_DIRECTORY)});
    }
    return listing;
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

    DirListing listing;
    const auto ahead = rootListings_.find(path);
    if (ahead != rootListings_.end()) {
        listing = std::move(ahead->second);
        rootListings_.erase(ahead);
    } else {
        listing = ListDirectory(path, std::atomic<bool>{false});
    }
    if (!listing.listed) {
        DebugTrace(LOG_ERROR, "FindDir FindFil Error");
        return true;
    }
    const bool parentKnown = knownPaths_.count(path) != 0;
    for (DirEntry& entry : listing.entries) {
        if (const auto* known = FindKnownNoCase(entry.path)) {
            if (entry.isDirectory && known->second == kKnownAbove) {
                descended_ = true;
                FindDir(entry.path, depthBudget - 1);
            }
            continue;
        }
        const bool ticked = parentKnown && (!entry.isDirectory || descended_);
        std::string key = entry.path;
        CleanupCandidate candidate{entry.isDirectory, ticked, std::move(entry.name), std::move(entry.path)};
        std::lock_guard<std::mutex> guard(lock_);
        candidates_.insert_or_assign(std::move(key), std::move(candidate));
    }
    return true;
}
