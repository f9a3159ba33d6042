#pragma once
// Where the skin lives, process-wide: the module whose resources are searched, the resource
// folder, and the skin package (a zip archive opened from a file or from a "ZIPRES" resource).
// The window host's resource statics forward here. UI thread only; no locking.
#include <windows.h>

#include <string>
#include <vector>

namespace SkinUI {

class SkinArchive;

// Largest layout file the markup reader accepts (4 MiB).
constexpr size_t kMaxLayoutFileSize = 4 * 1024 * 1024;
// Largest other skin file (images) read whole; guards against absurd declared sizes.
constexpr size_t kMaxSkinFileSize = 64 * 1024 * 1024;

class CSkinResources {
public:
    // The module whose resources are searched; the executable unless set.
    static HINSTANCE GetResourceInstance();
    static void SetResourceInstance(HINSTANCE instance);

    // Directory of the running executable, with a trailing '\'.
    static std::string GetInstancePath();

    // Stored with a trailing '\' added when it ends in neither '\' nor '/'; empty or null
    // clears it.
    static void SetResourcePath(const char* path);
    static const std::string& GetResourcePath();

    // Archive name: empty (no archive), a file name relative to the resource path, or
    // "membuffer" when the archive was opened from memory.
    static const std::string& GetResourceZip();

    // Opens the archive over a copy of the given bytes, unless the archive name is already
    // "membuffer" (then nothing happens). The caller keeps its block. False when the bytes
    // are not a zip archive (the archive name is "membuffer" either way, as the host expects).
    static bool SetResourceZip(const void* data, size_t length);
    // Opens resource path + name, unless that name is already the archive name.
    static bool SetResourceZip(const char* fileName);
    // Finds resource `id` of type `type` ("ZIPRES") in the resource instance and opens it
    // as the archive. False when the resource is missing, empty or cannot be loaded; true
    // without reloading when an archive is already open from memory.
    static bool SetResourceZipFromResource(UINT id, const char* type = "ZIPRES");

    // The open archive, or null.
    static SkinArchive* GetArchive();

    // The bytes of skin file `name`: the archive entry when an archive name is set (opening
    // resource path + archive name for this call only when no archive is open), otherwise
    // the file resource path + name. On failure `error` receives the layout loader's text:
    // "Error opening zip file", "Could not find ziped file", "File is empty",
    // "File too large", "Could not unzip file", "Error opening file", "Could not read file".
    static bool ReadSkinFile(const std::string& name, std::vector<char>& out, size_t maxSize,
                             std::string* error = nullptr);

    // Bytes of a resource of the resource instance. `name` and `type` that are all decimal
    // digits are taken as numeric ids. False when missing or empty.
    static bool ReadResource(const char* name, const char* type, std::vector<char>& out);
    static bool ReadResource(UINT id, const char* type, std::vector<char>& out);

    // Bytes of a whole file on disk (narrow path); false when missing, empty, larger than
    // maxSize or short.
    static bool ReadWholeFile(const std::string& path, std::vector<char>& out, size_t maxSize,
                              std::string* error = nullptr);

    // Back to the start-up state (no path, no archive, executable as instance). For tests.
    static void Reset();
};

} // namespace SkinUI
