#pragma once
// Builds small zip archives in memory for the reader tests: stored or deflated entries, with
// the declared sizes open to tampering so damaged archives can be made on purpose.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace SkinTest {

struct ZipItem {
    std::string name;
    std::string data;
    bool deflate = true;
    // When not -1, written as the declared uncompressed size instead of the true one.
    int64_t declaredSize = -1;
    bool badCrc = false;
};

inline std::string RawDeflate(const std::string& in)
{
    z_stream zs = {};
    deflateInit2(&zs, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&zs, static_cast<uLong>(in.size())) + 16, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    zs.avail_in = static_cast<uInt>(in.size());
    zs.next_out = reinterpret_cast<Bytef*>(&out[0]);
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

inline void Put16(std::string& s, uint32_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

inline void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

inline void Poke32(std::string& s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The archive bytes; centralOffsets receives where each central record starts, endOffset the
// end record, so tests can damage them.
inline std::string MakeZip(const std::vector<ZipItem>& items,
                           std::vector<size_t>* centralOffsets = nullptr,
                           size_t* endOffset = nullptr)
{
    std::string out;
    std::string central;
    std::vector<size_t> centralAt;
    for (const ZipItem& item : items) {
        const std::string body = item.deflate ? RawDeflate(item.data) : item.data;
        uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(item.data.data()), static_cast<uInt>(item.data.size())));
        if (item.badCrc)
            crc ^= 0x1234;
        const uint32_t size = item.declaredSize >= 0 ? static_cast<uint32_t>(item.declaredSize)
                                                     : static_cast<uint32_t>(item.data.size());
        const uint32_t localAt = static_cast<uint32_t>(out.size());
        Put32(out, 0x04034b50);
        Put16(out, 20);
        Put16(out, 0);
        Put16(out, item.deflate ? 8 : 0);
        Put32(out, 0);
        Put32(out, crc);
        Put32(out, static_cast<uint32_t>(body.size()));
        Put32(out, size);
        Put16(out, static_cast<uint32_t>(item.name.size()));
        Put16(out, 0);
        out += item.name;
        out += body;

        centralAt.push_back(central.size());
        Put32(central, 0x02014b50);
        Put16(central, 20);
        Put16(central, 20);
        Put16(central, 0);
        Put16(central, item.deflate ? 8 : 0);
        Put32(central, 0);
        Put32(central, crc);
        Put32(central, static_cast<uint32_t>(body.size()));
        Put32(central, size);
        Put16(central, static_cast<uint32_t>(item.name.size()));
        Put16(central, 0);
        Put16(central, 0);
        Put16(central, 0);
        Put16(central, 0);
        Put32(central, 0);
        Put32(central, localAt);
        central += item.name;
    }
    const uint32_t centralStart = static_cast<uint32_t>(out.size());
    if (centralOffsets) {
        centralOffsets->clear();
        for (size_t at : centralAt)
            centralOffsets->push_back(centralStart + at);
    }
    out += central;
    if (endOffset)
        *endOffset = out.size();
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<uint32_t>(items.size()));
    Put16(out, static_cast<uint32_t>(items.size()));
    Put32(out, static_cast<uint32_t>(central.size()));
    Put32(out, centralStart);
    Put16(out, 0);
    return out;
}

} // namespace SkinTest
