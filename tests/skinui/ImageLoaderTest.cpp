// Image loading: the pixel conversion on its own, then real PNGs through a DIB section.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <vector>

#include "comm/UniqueHandle.h"
#include "skinui/ImageLoader.h"
#include "skinui/SkinResources.h"
#include "support/TempDir.h"

using namespace SkinUI;

namespace {

struct Pixel {
    unsigned char r, g, b, a;
    uint32_t expected; // 0xAARRGGBB after conversion
};

// A DIB section's pixels as 0xAARRGGBB words.
std::vector<uint32_t> Pixels(const ImageEntry& e)
{
    DIBSECTION ds = {};
    if (GetObjectA(e.bitmap, sizeof(ds), &ds) != sizeof(ds) || !ds.dsBm.bmBits)
        return {};
    const auto* p = static_cast<const uint32_t*>(ds.dsBm.bmBits);
    return std::vector<uint32_t>(p, p + static_cast<size_t>(e.width) * e.height);
}

// A 2 x 2 RGBA PNG written by hand: stored deflate blocks and the real checksums.
std::string TinyPng(const unsigned char rgba[16])
{
    auto be32 = [](std::string& s, uint32_t v) {
        for (int i = 3; i >= 0; --i)
            s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto chunk = [&](std::string& out, const char* type, const std::string& data) {
        be32(out, static_cast<uint32_t>(data.size()));
        std::string body = std::string(type, 4) + data;
        out += body;
        be32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                              static_cast<uInt>(body.size()))));
    };
    std::string raw;
    for (int y = 0; y < 2; ++y) {
        raw += '\0';
        raw.append(reinterpret_cast<const char*>(rgba + y * 8), 8);
    }
    uLongf zlen = compressBound(static_cast<uLong>(raw.size()));
    std::string z(zlen, '\0');
    compress(reinterpret_cast<Bytef*>(&z[0]), &zlen, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
    z.resize(zlen);
    std::string ihdr;
    be32(ihdr, 2);
    be32(ihdr, 2);
    ihdr += std::string("\x08\x06\x00\x00\x00", 5);
    std::string png = "\x89PNG\r\n\x1a\n";
    chunk(png, "IHDR", ihdr);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", "");
    return png;
}

struct EntryOwner {
    std::unique_ptr<ImageEntry> e;
};

} // namespace

TEST(ImageLoader, PixelsArePremultipliedAndTheMaskBecomesTransparent)
{
    const Pixel cases[] = {
        {10, 20, 30, 255, 0xFF0A141E},   // opaque: copied
        {200, 100, 50, 128, 0x80643219}, // 200*128/255=100, 100*128/255=50, 50*128/255=25
        {255, 255, 255, 1, 0x01010101},
        {255, 0, 255, 0, 0x00000000},    // fully transparent: all zero
        {255, 0, 255, 255, 0xFFFF00FF},  // the mask colour when no mask is given
    };
    for (const Pixel& c : cases) {
        const unsigned char rgba[4] = {c.r, c.g, c.b, c.a};
        uint32_t out = 0x12345678;
        bool alpha = false;
        ConvertRgbaToPremultipliedBgra(rgba, 1, 1, 0, &out, &alpha);
        EXPECT_EQ(out, c.expected) << std::hex << c.expected;
        EXPECT_EQ(alpha, c.a < 255) << std::hex << c.expected;
    }

    // With a mask: only pixels exactly equal to it vanish, and the image then has alpha.
    const unsigned char row[12] = {255, 0, 255, 255, 254, 0, 255, 255, 1, 2, 3, 255};
    uint32_t out[3] = {};
    bool alpha = false;
    ConvertRgbaToPremultipliedBgra(row, 3, 1, 0xFFFF00FF, out, &alpha);
    EXPECT_EQ(out[0], 0u);
    EXPECT_EQ(out[1], 0xFFFE00FFu);
    EXPECT_EQ(out[2], 0xFF010203u);
    EXPECT_TRUE(alpha);
    // The mask compares the premultiplied value.
    const unsigned char half[4] = {255, 255, 255, 128};
    ConvertRgbaToPremultipliedBgra(half, 1, 1, 0x80808080, out, &alpha);
    EXPECT_EQ(out[0], 0u);
}

TEST(ImageLoader, DecodesAPngIntoATopDownPremultipliedDibSection)
{
    const unsigned char rgba[16] = {255, 0, 0, 255, 0, 255, 0, 128,  // top row
                                    0, 0, 255, 255, 255, 0, 255, 255}; // bottom row
    const std::string png = TinyPng(rgba);
    EntryOwner img{CImageLoader::LoadFromMemory(png.data(), png.size(), 0xFFFF00FF)};
    ASSERT_TRUE(img.e);
    EXPECT_EQ(img.e->width, 2);
    EXPECT_EQ(img.e->height, 2);
    EXPECT_TRUE(img.e->hasAlpha);
    EXPECT_EQ(img.e->mask, 0xFFFF00FFu);
    const auto px = Pixels(*img.e);
    ASSERT_EQ(px.size(), 4u);
    EXPECT_EQ(px[0], 0xFFFF0000u); // first row first: top-down
    EXPECT_EQ(px[1], 0x80008000u);
    EXPECT_EQ(px[2], 0xFF0000FFu);
    EXPECT_EQ(px[3], 0u); // magenta masked

    const unsigned char opaque[16] = {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255, 10, 11, 12, 255};
    const std::string png2 = TinyPng(opaque);
    EntryOwner solid{CImageLoader::LoadFromMemory(png2.data(), png2.size(), 0)};
    ASSERT_TRUE(solid.e);
    EXPECT_FALSE(solid.e->hasAlpha);

    EXPECT_FALSE(CImageLoader::LoadFromMemory("not an image", 12, 0));
    EXPECT_FALSE(CImageLoader::LoadFromMemory(png.data(), png.size() / 2, 0));
    EXPECT_FALSE(CImageLoader::LoadFromMemory(nullptr, 0, 0));
}

TEST(ImageLoader, LoadsFromTheResourceFolderOrAPathAndFailsOnMissingFiles)
{
    CSkinResources::Reset();
    TempDir dir;
    const unsigned char rgba[16] = {9, 9, 9, 255, 9, 9, 9, 255, 9, 9, 9, 255, 9, 9, 9, 255};
    WriteTextFile(dir / "a.png", TinyPng(rgba));
    WriteTextFile(dir / "bad.png", "garbage");

    CSkinResources::SetResourcePath(dir.Path().c_str());
    EntryOwner fromFolder{CImageLoader::Load("a.png", nullptr, 0)};
    ASSERT_TRUE(fromFolder.e);
    EXPECT_EQ(fromFolder.e->width, 2);
    EXPECT_TRUE(fromFolder.e->resourceType.empty());

    CSkinResources::SetResourcePath(nullptr);
    // Not in the (empty) resource folder: the name is tried as a path.
    EntryOwner fromPath{CImageLoader::Load(dir / "a.png", nullptr, 0)};
    EXPECT_TRUE(fromPath.e);
    EXPECT_FALSE(CImageLoader::Load(dir / "bad.png", nullptr, 0));
    EXPECT_FALSE(CImageLoader::Load(dir / "none.png", nullptr, 0));
    EXPECT_FALSE(CImageLoader::Load("", nullptr, 0));
    // A resource type that the executable does not hold.
    EXPECT_FALSE(CImageLoader::Load("7", "NOSUCHTYPE", 0));
    CSkinResources::Reset();
}

#ifdef TW_SKIN_ICO
TEST(ImageLoader, IconFilesLoadWithAlpha)
{
    EntryOwner icon{CImageLoader::Load(TW_SKIN_ICO, nullptr, 0)};
    ASSERT_TRUE(icon.e);
    EXPECT_TRUE(icon.e->hasAlpha);
    EXPECT_GT(icon.e->width, 0);
    const auto px = Pixels(*icon.e);
    ASSERT_FALSE(px.empty());
    EXPECT_EQ(px[0] >> 24, 0u); // the tile's rounded corner is transparent
    const uint32_t centre = px[static_cast<size_t>(icon.e->height / 2) * icon.e->width + icon.e->width / 2];
    EXPECT_EQ(centre >> 24, 0xFFu);
}
#endif
