#include "comm/FileRemove.h"

#include <windows.h>
#include <shlwapi.h>

#include <climits>

#include "comm/UniqueHandle.h"

namespace {

const wchar_t kLongPrefix[] = L"\\\\?\\";
const wchar_t kDevicePrefix[] = L"\\\\.\\";

std::wstring Prefixed(const std::wstring& path)
{
    std::wstring copy = path;
    AddLongPathPrefix(copy);
    return copy;
}

bool IsDotOrDotDot(const wchar_t* name)
{
    return (name[0] == L'.' && name[1] == L'\0') ||
           (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

} // namespace

std::wstring AnsiToWide(const std::string& narrow)
{
    if (narrow.empty() || narrow.size() > static_cast<size_t>(INT_MAX))
        return std::wstring();
    // The C runtime's locale("") throws for locale names it does not know (Wine passes
    // LANG=zh_CN.UTF-8), so convert with the ANSI code page directly. MB_ERR_INVALID_CHARS
    // makes a byte sequence that is not valid in the code page a failure instead of a '?'.
    const int inLen = static_cast<int>(narrow.size());
    const int outLen = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), inLen,
                                           nullptr, 0);
    if (outLen <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(outLen), L'\0');
    const int written = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), inLen,
                                            &wide[0], outLen);
    if (written != outLen)
        return std::wstring();
    return wide;
}

void AddLongPathPrefix(std::wstring& path)
{
    if (path.compare(0, 4, kLongPrefix) == 0)
        return;
    if (path.compare(0, 4, kDevicePrefix) == 0) {
        path[2] = L'?';
        return;
    }
    if (path.size() > kLongPathThreshold)
        path.insert(0, kLongPrefix);
}

bool PathExistsLong(const std::wstring& path)
{
    return PathFileExistsW(Prefixed(path).c_str()) == TRUE;
}

bool DeleteFileLong(const std::wstring& path)
{
    return DeleteFileW(Prefixed(path).c_str()) == TRUE;
}

bool RemoveDirectoryLong(const std::wstring& path)
{
    return RemoveDirectoryW(Prefixed(path).c_str()) == TRUE;
}

bool SetNormalAttributesLong(const std::wstring& path)
{
    return SetFileAttributesW(Prefixed(path).c_str(), FILE_ATTRIBUTE_NORMAL) == TRUE;
}

bool RemoveReparsePointLong(const std::wstring& path)
{
    if (path.empty())
        return false;
    // RemoveDirectoryW/DeleteFileW by name are not enough here: a platform that resolves
    // links on open (Wine does) would delete the target instead. Open the link itself,
    // make sure the handle is the link, and delete through that very handle.
    CFileHandle link(CreateFileW(Prefixed(path).c_str(),
                                 DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                 nullptr));
    if (!link)
        return false;
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    if (!GetFileInformationByHandleEx(link.Get(), FileAttributeTagInfo, &tag, sizeof tag))
        return false;
    if (!(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false; // the open went through to the target: deleting it would follow the link
    FILE_DISPOSITION_INFO disposition = {};
    disposition.DeleteFile = TRUE;
    if (SetFileInformationByHandle(link.Get(), FileDispositionInfo, &disposition,
                                   sizeof disposition))
        return true; // the link goes when the handle closes
    // A read-only link refuses deletion; clear its attributes through the same handle (zero
    // times leave the times unchanged) and try once more.
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(link.Get(), FileBasicInfo, &basic, sizeof basic);
    return SetFileInformationByHandle(link.Get(), FileDispositionInfo, &disposition,
                                      sizeof disposition) == TRUE;
}

bool DeleteFileNarrow(const std::string& path)
{
    if (path.size() > kLongPathThreshold)
        return DeleteFileLong(AnsiToWide(path));
    return DeleteFileA(path.c_str()) == TRUE;
}

bool SetNormalAttributesNarrow(const std::string& path)
{
    if (path.size() > kLongPathThreshold)
        return SetNormalAttributesLong(AnsiToWide(path));
    return SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) == TRUE;
}

bool ForceDeleteFile(const std::string& path)
{
    if (DeleteFileNarrow(path))
        return true;
    SetNormalAttributesNarrow(path);
    return DeleteFileNarrow(path);
}

bool IsDirectory(const std::string& path)
{
    return IsDirectoryW(AnsiToWide(path));
}

bool IsDirectoryW(const std::wstring& path)
{
    if (!PathExistsLong(path))
        return false;
    std::wstring copy = path;
    if (!copy.empty() && copy.back() == L'\\')
        copy.pop_back();
    // The search takes the prefixed form too: without it a directory past MAX_PATH is not
    // found on Windows and would be taken for a file that then never goes away.
    AddLongPathPrefix(copy);
    WIN32_FIND_DATAW data;
    CFindHandle find(FindFirstFileW(copy.c_str(), &data));
    if (!find)
        return false;
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DeleteDirectoryTreeW(const std::wstring& path)
{
    if (path.empty())
        return false;
    std::wstring dir = path;
    // Looked at through the prefixed form, so a path past MAX_PATH is not taken for
    // missing and reported removed.
    const DWORD attrs = GetFileAttributesW(Prefixed(dir).c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES)
        return true; // nothing to delete
    if (attrs & FILE_ATTRIBUTE_REPARSE_POINT)
        return RemoveReparsePointLong(dir); // the path itself is a link: never list its target

    if (dir.back() != L'\\')
        dir += L'\\';
    AddLongPathPrefix(dir);

    WIN32_FIND_DATAW data;
    CFindHandle find(FindFirstFileW((dir + L"*.*").c_str(), &data));
    if (!find)
        return false;
    do {
        if (IsDotOrDotDot(data.cFileName))
            continue;
        const std::wstring full = dir + data.cFileName;
        // The 8.3 name is a second try for an entry whose long name the calls cannot take;
        // after a successful first try it finds nothing.
        const bool hasShort = lstrlenW(data.cAlternateFileName) != 0;
        const std::wstring shortName = hasShort ? dir + data.cAlternateFileName : std::wstring();
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // A junction or symbolic link: removed as itself, never descended into.
            RemoveReparsePointLong(full);
            if (hasShort)
                RemoveReparsePointLong(shortName);
        } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            DeleteDirectoryTreeW(full);
            if (hasShort)
                DeleteDirectoryTreeW(shortName);
        } else {
            SetNormalAttributesLong(full);
            DeleteFileLong(full);
            if (hasShort) {
                SetNormalAttributesLong(shortName);
                DeleteFileLong(shortName);
            }
        }
        // Results are not examined: an entry that resists is left, and the walk goes on.
    } while (FindNextFileW(find.Get(), &data));
    find.Reset();

    if (RemoveDirectoryLong(dir))
        return true;
    SetNormalAttributesLong(dir);
    return RemoveDirectoryLong(dir);
}

bool RemoveTreeW(const std::wstring& path)
{
    // An empty path (a narrow path the code page could not convert) names nothing that was
    // removed: report failure, not success.
    if (path.empty())
        return false;
    // No shell delete first: SHFileOperationW follows directory links into their targets
    // (Wine does), and the walk below removes everything the shell would.
    DeleteDirectoryTreeW(path);
    return !PathExistsLong(path);
}
