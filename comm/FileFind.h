#pragma once
// Enumerates the entries of one directory that match a wildcard pattern.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "comm/UniqueHandle.h"

namespace OS {

class CFileFind {
public:
    // Longest pattern the search accepts, in characters.
    static constexpr size_t kMaxPattern = 259;

    CFileFind();
    virtual ~CFileFind();
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    virtual std::string GetFileName() const;
    virtual std::string GetFilePath() const;
    virtual std::string GetFileTitle() const;
    virtual std::string GetFileURL() const;
    virtual std::string GetRoot() const;
    // Seconds since 1970 (local calendar time converted back), or the raw FILETIME value.
    virtual bool GetLastWriteTime(int64_t& time) const;
    virtual bool GetLastWriteTime(FILETIME& time) const;
    virtual bool GetLastAccessTime(int64_t& time) const;
    virtual bool GetLastAccessTime(FILETIME& time) const;
    virtual bool GetCreationTime(int64_t& time) const;
    virtual bool GetCreationTime(FILETIME& time) const;
    virtual bool MatchesMask(DWORD mask) const;
    virtual bool IsDots() const;
    // pattern null means "*.*".
    virtual bool FindFile(const char* pattern = nullptr);
    virtual bool FindNext();
    virtual void CloseFind();

    bool IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    bool IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }

private:
    void EndSearch();
    static int64_t ToTimeValue(const FILETIME& ft);

    std::unique_ptr<WIN32_FIND_DATAA> foundInfo_;
    std::unique_ptr<WIN32_FIND_DATAA> nextInfo_;
    CFindHandle findHandle_;
    std::string root_;
    char separator_;
};

} // namespace OS
