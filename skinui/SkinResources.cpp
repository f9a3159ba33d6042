#include "skinui/SkinResources.h"

#include <memory>

#include "comm/LogFile.h"
#include "comm/UniqueHandle.h"
#include "skinui/SkinArchive.h"

namespace SkinUI {

namespace {

const char kMemBuffer[] = "membuffer";

struct ResourceState {
    HINSTANCE instance = nullptr;
    std::string resourcePath;
    std::string zipName;
    std::unique_ptr<SkinArchive> archive;
};

ResourceState& State()
{
    static ResourceState state;
    return state;
}

bool AllDigits(const char* s)
{
    if (!s || !*s)
        return false;
    for (; *s; ++s)
        if (*s < '0' || *s > '9')
            return false;
    return true;
}

// A resource name or type: decimal digits are a numeric id.
LPCSTR ResourceId(const char* s)
{
    return AllDigits(s) ? MAKEINTRESOURCEA(atoi(s)) : s;
}

bool ReadResourceBytes(LPCSTR name, LPCSTR type, std::vector<char>& out)
{
    HINSTANCE instance = CSkinResources::GetResourceInstance();
    HRSRC res = FindResourceA(instance, name, type);
    if (!res)
        return false;
    const DWORD size = SizeofResource(instance, res);
    HGLOBAL global = LoadResource(instance, res); // module resources need no freeing
    if (!global || size == 0)
        return false;
    const void* data = LockResource(global);
    if (!data)
        return false;
    const char* p = static_cast<const char*>(data);
    out.assign(p, p + size);
    return true;
}

void SetError(std::string* error, const char* text)
{
    if (error)
        *error = text;
}

} // namespace

HINSTANCE CSkinResources::GetResourceInstance()
{
    ResourceState& s = State();
    return s.instance ? s.instance : GetModuleHandleA(nullptr);
}

void CSkinResources::SetResourceInstance(HINSTANCE instance)
{
    State().instance = instance;
}

std::string CSkinResources::GetInstancePath()
{
    char path[MAX_PATH * 2] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (n == 0 || n >= sizeof(path))
        return std::string();
    std::string p(path, n);
    // Cut after the last '\' that is a character of its own, not the second byte of one.
    size_t cut = std::string::npos;
    for (size_t i = 0; i < p.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c >= 0x81 && c <= 0xFE && i + 1 < p.size()) {
            ++i;
            continue;
        }
        if (c == '\\' || c == '/')
            cut = i;
    }
    return cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
}

void CSkinResources::SetResourcePath(const char* path)
{
    std::string& p = State().resourcePath;
    p = path ? path : "";
    if (p.empty())
        return;
    // A trailing '\' is one only when it is not the second byte of a double-byte character.
    bool endsWithSlash = false;
    for (size_t i = 0; i < p.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c >= 0x81 && c <= 0xFE && i + 1 < p.size()) {
            ++i;
            endsWithSlash = false;
            continue;
        }
        endsWithSlash = c == '\\' || c == '/';
    }
    if (!endsWithSlash)
        p += '\\';
}

const std::string& CSkinResources::GetResourcePath()
{
    return State().resourcePath;
}

const std::string& CSkinResources::GetResourceZip()
{
    return State().zipName;
}

bool CSkinResources::SetResourceZip(const void* data, size_t length)
{
    ResourceState& s = State();
    if (s.zipName == kMemBuffer)
        return s.archive != nullptr;
    s.archive.reset();
    s.zipName = kMemBuffer;
    s.archive = SkinArchive::OpenFromMemory(data, length);
    if (!s.archive)
        WriteLog(LOG_ERROR, "skinui/SkinResources", __LINE__, "CSkinResources::SetResourceZip",
                 "the skin package in memory (%u bytes) is not a zip archive",
                 static_cast<unsigned>(length));
    return s.archive != nullptr;
}

bool CSkinResources::SetResourceZip(const char* fileName)
{
    ResourceState& s = State();
    const std::string name = fileName ? fileName : "";
    if (!name.empty() && s.zipName == name && s.archive)
        return true;
    s.archive.reset();
    s.zipName = name;
    if (name.empty())
        return false;
    s.archive = SkinArchive::OpenFromFile(s.resourcePath + name);
    if (!s.archive)
        WriteLog(LOG_ERROR, "skinui/SkinResources", __LINE__, "CSkinResources::SetResourceZip",
                 "cannot open the skin package %s%s", s.resourcePath.c_str(), name.c_str());
    return s.archive != nullptr;
}

bool CSkinResources::SetResourceZipFromResource(UINT id, const char* type)
{
    std::vector<char> bytes;
    if (!ReadResourceBytes(MAKEINTRESOURCEA(id), ResourceId(type), bytes)) {
        WriteLog(LOG_ERROR, "skinui/SkinResources", __LINE__,
                 "CSkinResources::SetResourceZipFromResource", "resource %u of type %s is missing",
                 id, type ? type : "");
        return false;
    }
    ResourceState& s = State();
    if (s.zipName == kMemBuffer)
        return s.archive != nullptr; // the first window opened it; keep that one
    return SetResourceZip(bytes.data(), bytes.size());
}

SkinArchive* CSkinResources::GetArchive()
{
    return State().archive.get();
}

bool CSkinResources::ReadWholeFile(const std::string& path, std::vector<char>& out,
                                   size_t maxSize, std::string* error)
{
    CFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        SetError(error, "Error opening file");
        return false;
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size)) {
        SetError(error, "Could not read file");
        return false;
    }
    if (size.QuadPart == 0) {
        SetError(error, "File is empty");
        return false;
    }
    if (size.QuadPart > static_cast<LONGLONG>(maxSize)) {
        SetError(error, "File too large");
        return false;
    }
    out.assign(static_cast<size_t>(size.QuadPart), 0);
    DWORD read = 0;
    if (!ReadFile(file.Get(), out.data(), static_cast<DWORD>(out.size()), &read, nullptr) ||
        read != out.size()) {
        out.clear();
        SetError(error, "Could not read file");
        return false;
    }
    return true;
}

bool CSkinResources::ReadSkinFile(const std::string& name, std::vector<char>& out,
                                  size_t maxSize, std::string* error)
{
    ResourceState& s = State();
    if (s.zipName.empty())
        return ReadWholeFile(s.resourcePath + name, out, maxSize, error);

    // An archive opened just for this read is closed again when it ends.
    std::unique_ptr<SkinArchive> temporary;
    SkinArchive* archive = s.archive.get();
    if (!archive) {
        if (s.zipName != kMemBuffer)
            temporary = SkinArchive::OpenFromFile(s.resourcePath + s.zipName);
        archive = temporary.get();
        if (!archive) {
            SetError(error, "Error opening zip file");
            return false;
        }
    }
    int index = -1;
    uint32_t size = 0;
    if (!archive->Find(name.c_str(), &index, &size)) {
        SetError(error, "Could not find ziped file");
        return false;
    }
    if (size == 0) {
        SetError(error, "File is empty");
        return false;
    }
    if (size > maxSize) {
        SetError(error, "File too large");
        return false;
    }
    out.assign(size, 0);
    if (!archive->Extract(index, out.data(), out.size())) {
        out.clear();
        SetError(error, "Could not unzip file");
        return false;
    }
    return true;
}

bool CSkinResources::ReadResource(const char* name, const char* type, std::vector<char>& out)
{
    if (!name || !*name || !type || !*type)
        return false;
    return ReadResourceBytes(ResourceId(name), ResourceId(type), out);
}

bool CSkinResources::ReadResource(UINT id, const char* type, std::vector<char>& out)
{
    if (!type || !*type)
        return false;
    return ReadResourceBytes(MAKEINTRESOURCEA(id), ResourceId(type), out);
}

void CSkinResources::Reset()
{
    ResourceState& s = State();
    s.instance = nullptr;
    s.resourcePath.clear();
    s.zipName.clear();
    s.archive.reset();
}

} // namespace SkinUI
