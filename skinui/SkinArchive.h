#pragma once
// A small zip reader for the skin package: stored and deflated entries only, from memory or
// from a file. Every offset and size taken from the archive is checked against the buffer,
// so a damaged or hostile archive fails cleanly instead of reading outside it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace SkinUI {

class SkinArchive {
public:
    enum Method : uint16_t { Stored = 0, Deflated = 8 };

    struct Entry {
        std::string name;         // as stored in the archive ('/' separated)
        uint16_t method = Stored; // Stored or Deflated; other methods are not listed
        uint32_t compressedSize = 0;
        uint32_t uncompressedSize = 0;
        uint32_t dataOffset = 0;  // start of the entry's data in the archive bytes
        uint32_t crc32 = 0;       // checked when a whole entry is extracted
    };

    // Null when the bytes are not a readable zip archive. The bytes are copied.
    static std::unique_ptr<SkinArchive> OpenFromMemory(const void* data, size_t length);
    static std::unique_ptr<SkinArchive> OpenFromMemory(std::vector<unsigned char> bytes);
    // Reads the whole file (narrow path, code page 936) and opens it from memory.
    static std::unique_ptr<SkinArchive> OpenFromFile(const std::string& path);

    // First entry, in archive order, whose name equals `name` with '\' read as '/' and the
    // ASCII letters compared without case. Names of 256 characters or more are not found.
    bool Find(const char* name, int* index, uint32_t* uncompressedSize) const;

    // Inflates entry `index` into buffer: true when the whole entry, or its first
    // bufferSize bytes when the buffer is smaller, was produced. Never writes past
    // bufferSize, and fails when the data inflates past the entry's declared size or is short.
    bool Extract(int index, void* buffer, size_t bufferSize) const;

    // Convenience: the whole entry; false when it is missing or cannot be inflated, or when
    // its declared size is larger than maxSize.
    bool ReadEntry(const char* name, std::vector<char>& out, size_t maxSize) const;

    size_t GetEntryCount() const { return entries_.size(); }
    const Entry& GetEntry(size_t index) const { return entries_[index]; }

    // Case-folding compare of archive names: '\' equals '/', only a-z fold to A-Z.
    static bool NamesEqual(const char* wanted, const std::string& entryName);

private:
    SkinArchive() = default;
    bool Parse();

    std::vector<unsigned char> bytes_;
    std::vector<Entry> entries_;
};

} // namespace SkinUI
