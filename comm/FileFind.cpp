#include "comm/FileFind.h"

#include <cstring>
#include <ctime>

#include "comm/MbString.h"

namespace OS {

CFileFind::CFileFind() : separator_('\\') {}

CFileFind::~CFileFind()
{
    EndSearch();
}

void CFileFind::EndSearch()
{
    foundInfo_.reset();
    nextInfo_.reset();
    CloseFind();
}

// Closing also forgets the handle, so a later FindNext or the destructor never reuses or
// closes it a second time.
void CFileFind::CloseFind()
{
    findHandle_.Reset();
}

bool CFileFind::FindFile(const char* pattern)
{
    EndSearch();
    if (!pattern)
        pattern = "*.*";
    if (std::strlen(pattern) > kMaxPattern) {
        SetLastError(ERROR_BAD_ARGUMENTS);
        return false;
    }
    nextInfo_ = std::make_unique<WIN32_FIND_DATAA>();
    HANDLE h = FindFirstFileA(pattern, nextInfo_.get());
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        EndSearch();
        SetLastError(error);
        return false;
    }
    findHandle_.Reset(h);

    char full[MAX_PATH + 1] = {};
    char* filePart = nullptr;
    const DWORD n = GetFullPathNameA(pattern, MAX_PATH, full, &filePart);
    if (n == 0 || n >= MAX_PATH) {
        root_.clear();
        EndSearch();
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    // The system splits off the name part; it knows where double-byte characters are.
    root_.assign(full, filePart ? static_cast<size_t>(filePart - full) : std::strlen(full));
    return true;
}

bool CFileFind::FindNext()
{
    if (!findHandle_)
        return false;
    if (!foundInfo_)
        foundInfo_ = std::make_unique<WIN32_FIND_DATAA>();
    std::swap(foundInfo_, nextInfo_);
    return FindNextFileA(findHandle_.Get(), nextInfo_.get()) != FALSE;
}

std::string CFileFind::GetFileName() const
{
    return foundInfo_ ? std::string(foundInfo_->cFileName) : std::string();
}

std::string CFileFind::GetFilePath() const
{
    std::string path = root_;
    // A final 0x5C that is the trail byte of a double-byte character is no separator.
    const bool endsInSeparator =
        !path.empty() && (path.back() == '/' || mbs::FindLastBackslash(path) == path.size() - 1);
    if (!endsInSeparator)
        path += separator_;
    return path + GetFileName();
}

std::string CFileFind::GetFileTitle() const
{
    std::string name = GetFileName();
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string CFileFind::GetFileURL() const
{
    return "file://" + GetFilePath();
}

std::string CFileFind::GetRoot() const
{
    return root_;
}

int64_t CFileFind::ToTimeValue(const FILETIME& ft)
{
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&ft, &local) || !FileTimeToSystemTime(&local, &st))
        return 0;
    if (st.wYear < 1900)
        return 0;
    struct tm t = {};
    t.tm_year = st.wYear - 1900;
    t.tm_mon = st.wMonth - 1;
    t.tm_mday = st.wDay;
    t.tm_hour = st.wHour;
    t.tm_min = st.wMinute;
    t.tm_sec = st.wSecond;
    t.tm_isdst = -1;
    const __time64_t value = _mktime64(&t);
    return value == -1 ? 0 : static_cast<int64_t>(value);
}

#define TW_TIME_GETTERS(Name, field)                                 \
    bool CFileFind::Name(int64_t& time) const                        \
    {                                                                \
        if (!foundInfo_)                                             \
            return false;                                            \
        time = ToTimeValue(foundInfo_->field);                       \
        return true;                                                 \
    }                                                                \
    bool CFileFind::Name(FILETIME& time) const                       \
    {                                                                \
        if (!foundInfo_)                                             \
            return false;                                            \
        time = foundInfo_->field;                                    \
        return true;                                                 \
    }

TW_TIME_GETTERS(GetLastWriteTime, ftLastWriteTime)
TW_TIME_GETTERS(GetLastAccessTime, ftLastAccessTime)
TW_TIME_GETTERS(GetCreationTime, ftCreationTime)
#undef TW_TIME_GETTERS

bool CFileFind::MatchesMask(DWORD mask) const
{
    return foundInfo_ && (foundInfo_->dwFileAttributes & mask) != 0;
}

bool CFileFind::IsDots() const
{
    if (!MatchesMask(FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const char* name = foundInfo_->cFileName;
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

} // namespace OS
