#include "skinui/ImageLoader.h"

#include <cstring>
#include <vector>

#include "comm/LogFile.h"
#include "comm/UniqueHandle.h"
#include "skinui/SkinResources.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#include <stb_image.h> // /usr/include/stb, added to tw_skinui by skinui/package
#pragma GCC diagnostic pop

namespace SkinUI {

namespace {

// Skin images are small; anything larger is damaged or not meant for us.
constexpr int kMaxImageSide = 16384;

struct IconTraits {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { DestroyIcon(h); }
};
using CIconHandle = CUniqueHandle<IconTraits>;

std::unique_ptr<ImageEntry> MakeEntry(const unsigned char* rgba, int width, int height, DWORD mask)
{
    void* bits = nullptr;
    HBITMAP bitmap = CreateTopDownDib(width, height, &bits);
    if (!bitmap || !bits) {
        if (bitmap)
            DeleteObject(bitmap);
        return nullptr;
    }
    auto entry = std::make_unique<ImageEntry>();
    ConvertRgbaToPremultipliedBgra(rgba, width, height, mask, static_cast<uint32_t*>(bits),
                                   &entry->hasAlpha);
    entry->bitmap = bitmap;
    entry->width = width;
    entry->height = height;
    entry->mask = mask;
    return entry;
}

bool HasDrive(const std::string& name)
{
    return (name.size() >= 2 && name[1] == ':') || name.compare(0, 2, "\\\\") == 0;
}

// An icon file at its default size, as RGBA: its own alpha when it has one, else the AND mask.
std::unique_ptr<ImageEntry> LoadIconFile(const std::string& path, DWORD mask)
{
    CIconHandle icon(static_cast<HICON>(
        LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE)));
    if (!icon)
        return nullptr;
    ICONINFO info = {};
    if (!GetIconInfo(icon.Get(), &info))
        return nullptr;
    CGdiObject color(info.hbmColor);
    CGdiObject andMask(info.hbmMask);
    if (!color)
        return nullptr; // monochrome icons are not used by skins
    BITMAP bm = {};
    if (!GetObjectA(color.Get(), sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0 ||
        bm.bmWidth > kMaxImageSide || bm.bmHeight > kMaxImageSide)
        return nullptr;
    const int w = bm.bmWidth;
    const int h = bm.bmHeight;

    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    std::vector<unsigned char> bgra(static_cast<size_t>(w) * h * 4);
    std::vector<unsigned char> andBits(static_cast<size_t>(w) * h * 4);
    HDC screen = GetDC(nullptr);
    const bool ok = GetDIBits(screen, static_cast<HBITMAP>(color.Get()), 0, h, bgra.data(), &bmi,
                              DIB_RGB_COLORS) == h;
    const bool haveMask = andMask && GetDIBits(screen, static_cast<HBITMAP>(andMask.Get()), 0, h,
                                               andBits.data(), &bmi, DIB_RGB_COLORS) == h;
    ReleaseDC(nullptr, screen);
    if (!ok)
        return nullptr;

    bool anyAlpha = false;
    for (size_t i = 3; i < bgra.size(); i += 4)
        anyAlpha = anyAlpha || bgra[i] != 0;
    std::vector<unsigned char> rgba(bgra.size());
    for (size_t i = 0; i < bgra.size(); i += 4) {
        rgba[i] = bgra[i + 2];
        rgba[i + 1] = bgra[i + 1];
        rgba[i + 2] = bgra[i];
        if (anyAlpha)
            rgba[i + 3] = bgra[i + 3];
        else // AND mask: white means transparent
            rgba[i + 3] = (haveMask && andBits[i] != 0) ? 0 : 255;
    }
    auto entry = MakeEntry(rgba.data(), w, h, mask);
    if (entry)
        entry->hasAlpha = true;
    return entry;
}

} // namespace

void ConvertRgbaToPremultipliedBgra(const unsigned char* rgba, int width, int height, DWORD mask,
                                    uint32_t* bgra, bool* hasAlpha)
{
    bool alpha = false;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* p = rgba + i * 4;
        uint32_t r = p[0], g = p[1], b = p[2];
        const uint32_t a = p[3];
        if (a < 255) {
            r = r * a / 255;
            g = g * a / 255;
            b = b * a / 255;
            alpha = true;
        }
        uint32_t value = (a << 24) | (r << 16) | (g << 8) | b;
        if (mask != 0 && value == mask) {
            value = 0;
            alpha = true;
        }
        bgra[i] = value;
    }
    if (hasAlpha)
        *hasAlpha = alpha;
}

HBITMAP CreateTopDownDib(int width, int height, void** bits)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height; // negative: first row at the top
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, bits, nullptr, 0);
}

std::unique_ptr<ImageEntry> CImageLoader::LoadFromMemory(const void* data, size_t length, DWORD mask)
{
    if (!data || length == 0 || length > 0x7FFFFFFF)
        return nullptr;
    const auto* bytes = static_cast<const stbi_uc*>(data);
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(bytes, static_cast<int>(length), &w, &h, &channels) || w <= 0 ||
        h <= 0 || w > kMaxImageSide || h > kMaxImageSide)
        return nullptr;
    stbi_uc* rgba = stbi_load_from_memory(bytes, static_cast<int>(length), &w, &h, &channels, 4);
    if (!rgba)
        return nullptr;
    auto entry = MakeEntry(rgba, w, h, mask);
    stbi_image_free(rgba);
    return entry;
}

std::unique_ptr<ImageEntry> CImageLoader::Load(const std::string& name, const char* resourceType,
                                               DWORD mask)
{
    if (name.empty())
        return nullptr;
    const std::string type = resourceType ? resourceType : "";

    const std::string ext = name.size() >= 4 ? name.substr(name.size() - 4) : std::string();
    if (ext == ".ico" || ext == ".ICO") {
        const std::string path = HasDrive(name) ? name : CSkinResources::GetResourcePath() + name;
        auto entry = LoadIconFile(path, mask);
        if (entry)
            entry->resourceType = type;
        return entry;
    }

    std::vector<char> bytes;
    if (!type.empty())
        CSkinResources::ReadResource(name.c_str(), type.c_str(), bytes);
    else
        CSkinResources::ReadSkinFile(name, bytes, kMaxSkinFileSize);
    if (bytes.empty())
        CSkinResources::ReadWholeFile(name, bytes, kMaxSkinFileSize);
    if (bytes.empty()) {
        WriteLog(LOG_WARNING, "skinui/ImageLoader", __LINE__, "CImageLoader::Load",
                 "image %s not found", name.c_str());
        return nullptr;
    }
    auto entry = LoadFromMemory(bytes.data(), bytes.size(), mask);
    if (!entry) {
        WriteLog(LOG_WARNING, "skinui/ImageLoader", __LINE__, "CImageLoader::Load",
                 "image %s cannot be decoded", name.c_str());
        return nullptr;
    }
    entry->resourceType = type;
    return entry;
}

} // namespace SkinUI
