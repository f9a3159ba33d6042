#pragma once
// Base of the product scanners: reads which disks and directories the product still uses
// (subclasses), then walks the disks and proposes everything else for deletion.
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/CleanupCandidate.h"
#include "app/GameDisk.h"
#include "comm/ModuleLog.h"

class CServerClearDB : public CModuleLog {
public:
    // Markers of the known-path map.
    static constexpr const char* kKnownDir = "FALSE";   // known directory: never listed
    static constexpr const char* kKnownAbove = "TRUE";  // holds known directories below it
    static constexpr int kWalkDepth = 10;

    using KnownPathMap = std::map<std::string, std::string>;

    explicit CServerClearDB(std::string dbPath);
    ~CServerClearDB() override;
    CServerClearDB(const CServerClearDB&) = delete;
    CServerClearDB& operator=(const CServerClearDB&) = delete;

    // Reads the databases and walks the disks; stops at the first step that fails.
    bool LoadAndScan();

    // Read-outs for the UI thread, safe while a scan runs.
    bool GetDiskList(GameDiskList& out);
    bool GetCandidates(CandidateList& out);
    virtual bool IsDownloadDisk(char letter);

    // Registers a known directory and marks its ancestors up to the drive.
    void AddKnownPath(std::string path);
    // Lists one directory, adding candidates and descending into directories marked TRUE.
    bool FindDir(const std::string& path, int depthBudget);

    const std::string& DbPath() const { return dbPath_; }
    // Worker-thread view of the known-path map (complete once the loads have run).
    const KnownPathMap& KnownPaths() const { return knownPaths_; }

protected:
    virtual bool GameRootDirInit() = 0;
    virtual bool LoadGamePathInit() = 0;
    // The walk that rebuilds the candidate list.
    virtual bool UnLoadGamePathInit();
    // Whether FindDir lists only directories on a disk whose symbol is one character.
    virtual bool ChecksDisk() const { return true; }

    // Helpers for the subclasses' loads; each takes the lock for its one update.
    void SetDiskBits(const std::string& symbol, int32_t bits);
    void SetDiskPurpose(const std::string& symbol, int32_t purpose);
    void SetKnownMarker(const std::string& path, const std::string& marker);

    // Database values may hold UTF-8 while the file system speaks code page 936: these
    // register the value as read and, when it is UTF-8 text that code page 936 can hold,
    // its code page 936 form too. A GBK value is registered exactly as read.
    void AddKnownPathAnyEncoding(const std::string& path);
    void SetKnownDirAnyEncoding(const std::string& path);

private:
    // One directory's entries as the walk sees them: hidden entries and dots left out.
    struct DirEntry {
        std::string name;
        std::string path;
        bool isDirectory;
    };
    struct DirListing {
        bool listed = false; // false: the enumeration could not start
        std::vector<DirEntry> entries;
    };
    static DirListing ListDirectory(const std::string& path, const std::atomic<bool>& cancel);
    std::vector<std::string> WalkRoots();

    // First key in map order equal to a path without regard to case, by folded path.
    void RebuildKnownIndex();
    const KnownPathMap::value_type* FindKnownNoCase(const std::string& path);

    std::string dbPath_;
    GameDiskList disks_;
    CandidateList candidates_;
    KnownPathMap knownPaths_;
    std::mutex lock_;
    bool descended_ = false;

    std::unordered_map<std::string, const KnownPathMap::value_type*> knownIndex_;
    bool knownIndexStale_ = true;
    std::string foldBuffer_; // reused by every lookup of the walk
    // Disk roots listed ahead while the known paths load; each is used once by the walk.
    std::map<std::string, DirListing> rootListings_;
};

// The code page 936 form of a UTF-8 text, if the text is valid UTF-8 holding non-ASCII
// characters that code page 936 represents; otherwise false.
bool Utf8ToCodePage936(const std::string& utf8, std::string& out);
