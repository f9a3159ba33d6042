#include "skinui/SkinArchive.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "comm/LogFile.h"
#include "comm/UniqueHandle.h"

namespace SkinUI {

namespace {

constexpr uint32_t kLocalSig = 0x04034b50;
constexpr uint32_t kCentralSig = 0x02014b50;
constexpr uint32_t kEndSig = 0x06054b50;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kEndRecordSize = 22;
constexpr size_t kMaxNameLength = 256;
// A skin package is a few hundred KiB; refuse files that cannot be one.
constexpr size_t kMaxArchiveFileSize = 256u * 1024 * 1024;

uint16_t U16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t U32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// [offset, offset + length) lies inside a buffer of `size` bytes.
bool InBounds(size_t offset, size_t length, size_t size)
{
    return offset <= size && length <= size - offset;
}

bool IsGbkLead(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

char FoldAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::unique_ptr<SkinArchive> SkinArchive::OpenFromMemory(const void* data, size_t length)
{
    if (!data || length == 0)
        return nullptr;
    const auto* p = static_cast<const unsigned char*>(data);
    return OpenFromMemory(std::vector<unsigned char>(p, p + length));
}

std::unique_ptr<SkinArchive> SkinArchive::OpenFromMemory(std::vector<unsigned char> bytes)
{
    std::unique_ptr<SkinArchive> archive(new SkinArchive());
    archive->bytes_ = std::move(bytes);
    if (!archive->Parse())
        return nullptr;
    return archive;
}

std::unique_ptr<SkinArchive> SkinArchive::OpenFromFile(const std::string& path)
{
    CFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        WriteLog(LOG_WARNING, "skinui/SkinArchive", __LINE__, "SkinArchive::OpenFromFile",
                 "cannot open %s, error %lu", path.c_str(), GetLastError());
        return nullptr;
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 ||
        size.QuadPart > static_cast<LONGLONG>(kMaxArchiveFileSize))
        return nullptr;
    std::vector<unsigned char> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size())
        return nullptr;
    return OpenFromMemory(std::move(bytes));
}

bool SkinArchive::Parse()
{
    const unsigned char* base = bytes_.data();
    const size_t size = bytes_.size();
    if (size < kEndRecordSize)
        return false;

    // The end record sits at the end, possibly followed by an archive comment.
    size_t endPos = 0;
    bool found = false;
    const size_t lowest = size > kEndRecordSize + 0xFFFF ? size - kEndRecordSize - 0xFFFF : 0;
    for (size_t pos = size - kEndRecordSize + 1; pos-- > lowest;) {
        if (U32(base + pos) == kEndSig) {
            endPos = pos;
            found = true;
            break;
        }
    }
    if (!found)
        return false;

    const unsigned char* end = base + endPos;
    const size_t count = U16(end + 10);
    const size_t dirSize = U32(end + 12);
    const size_t dirOffset = U32(end + 16);
    if (!InBounds(dirOffset, dirSize, endPos))
        return false;

    size_t pos = dirOffset;
    const size_t dirEnd = dirOffset + dirSize;
    for (size_t i = 0; i < count; ++i) {
        if (!InBounds(pos, kCentralHeaderSize, dirEnd) || U32(base + pos) != kCentralSig)
            break;
        const unsigned char* h = base + pos;
        const uint16_t flags = U16(h + 8);
        const uint16_t method = U16(h + 10);
        const uint32_t crc = U32(h + 16);
        const uint32_t compressed = U32(h + 20);
        const uint32_t uncompressed = U32(h + 24);
        const size_t nameLen = U16(h + 28);
        const size_t extraLen = U16(h + 30);
        const size_t commentLen = U16(h + 32);
        const size_t localOffset = U32(h + 42);
        const size_t recordLen = kCentralHeaderSize + nameLen + extraLen + commentLen;
        if (!InBounds(pos, recordLen, dirEnd))
            break;
        std::string name(reinterpret_cast<const char*>(h + kCentralHeaderSize), nameLen);
        pos += recordLen;

        // Encrypted entries and other methods are not for us; skip them.
        if ((flags & 1) != 0 || (method != Stored && method != Deflated))
            continue;
        if (!InBounds(localOffset, kLocalHeaderSize, size) ||
            U32(base + localOffset) != kLocalSig)
            continue;
        const unsigned char* l = base + localOffset;
        const size_t dataOffset = localOffset + kLocalHeaderSize + U16(l + 26) + U16(l + 28);
        if (!InBounds(dataOffset, compressed, size))
            continue;

        Entry entry;
        entry.name = std::move(name);
        entry.method = method;
        entry.compressedSize = compressed;
        entry.uncompressedSize = uncompressed;
        entry.dataOffset = static_cast<uint32_t>(dataOffset);
        entry.crc32 = crc;
        entries_.push_back(std::move(entry));
    }
    return true;
}

bool SkinArchive::NamesEqual(const char* wanted, const std::string& entryName)
{
    size_t i = 0;
    const size_t n = entryName.size();
    for (; wanted[i]; ++i) {
        if (i >= n)
            return false;
        const unsigned char c = static_cast<unsigned char>(wanted[i]);
        if (IsGbkLead(c) && wanted[i + 1]) {
            // A double-byte character compares as it is: its second byte may look like '\'
            // or a letter.
            if (i + 1 >= n || entryName[i] != wanted[i] || entryName[i + 1] != wanted[i + 1])
                return false;
            ++i;
            continue;
        }
        const char w = c == '\\' ? '/' : static_cast<char>(c);
        if (FoldAscii(w) != FoldAscii(entryName[i]))
            return false;
    }
    return i == n;
}

bool SkinArchive::Find(const char* name, int* index, uint32_t* uncompressedSize) const
{
    if (!name || strnlen(name, kMaxNameLength) >= kMaxNameLength)
        return false;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (NamesEqual(name, entries_[i].name)) {
            if (index)
                *index = static_cast<int>(i);
            if (uncompressedSize)
                *uncompressedSize = entries_[i].uncompressedSize;
            return true;
        }
    }
    return false;
}

bool SkinArchive::Extract(int index, void* buffer, size_t bufferSize) const
{
    if (index < 0 || static_cast<size_t>(index) >= entries_.size() || (!buffer && bufferSize))
        return false;
    const Entry& e = entries_[static_cast<size_t>(index)];
    const unsigned char* data = bytes_.data() + e.dataOffset;
    const size_t want = std::min<size_t>(bufferSize, e.uncompressedSize);
    const bool whole = want == e.uncompressedSize;
    auto* out = static_cast<unsigned char*>(buffer);

    if (e.method == Stored) {
        if (e.compressedSize != e.uncompressedSize)
            return false;
        if (want)
            memcpy(out, data, want);
    } else {
        z_stream zs = {};
        if (inflateInit2(&zs, -MAX_WBITS) != Z_OK)
            return false;
        zs.next_in = const_cast<Bytef*>(data);
        zs.avail_in = e.compressedSize;
        unsigned char spare[16];
        zs.next_out = want ? out : spare;
        zs.avail_out = static_cast<uInt>(want);
        int rc = Z_OK;
        while (zs.avail_out > 0) {
            rc = inflate(&zs, Z_NO_FLUSH);
            if (rc != Z_OK)
                break;
        }
        const size_t produced = want - zs.avail_out;
        bool ok = produced == want && (rc == Z_OK || rc == Z_STREAM_END || rc == Z_BUF_ERROR);
        if (ok && whole && rc != Z_STREAM_END) {
            // The declared size is filled: the stream must end here without another byte.
            zs.next_out = spare;
            zs.avail_out = sizeof(spare);
            rc = inflate(&zs, Z_FINISH);
            ok = rc == Z_STREAM_END && zs.avail_out == sizeof(spare);
        }
        inflateEnd(&zs);
        if (!ok)
            return false;
    }
    if (whole && crc32(0L, out, static_cast<uInt>(want)) != e.crc32)
        return false;
    return true;
}

bool SkinArchive::ReadEntry(const char* name, std::vector<char>& out, size_t maxSize) const
{
    int index = -1;
    uint32_t size = 0;
    if (!Find(name, &index, &size) || size > maxSize)
        return false;
    out.assign(size, 0);
    return Extract(index, out.data(), out.size());
}

} // namespace SkinUI
