#pragma once
// Turns skin images into ImageEntry bitmaps: a 32-bit top-down BGRA DIB section with
// premultiplied alpha, and the mask colour made fully transparent.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "skinui/ImageEntry.h"

namespace SkinUI {

// Pure pixel step: rgba (width*height*4 bytes, R,G,B,A) to 0xAARRGGBB words in memory order
// B,G,R,A. Alpha 255 is copied; lower alpha is premultiplied (channel * alpha / 255, integer
// division) and sets *hasAlpha. Then every resulting pixel equal to mask (when mask != 0)
// becomes 0 and sets *hasAlpha.
void ConvertRgbaToPremultipliedBgra(const unsigned char* rgba, int width, int height,
                                    DWORD mask, uint32_t* bgra, bool* hasAlpha);

// A 32-bit top-down DIB section (pixels 0xAARRGGBB, memory order B,G,R,A); bits receives
// its pixel memory. Null on failure.
HBITMAP CreateTopDownDib(int width, int height, void** bits);

class CImageLoader {
public:
    // Loads image `name` by the skin's rules: ".ico"/".ICO" names as an icon file from disk;
    // with a resource type, the named resource of the resource instance; otherwise the skin
    // file (archive entry or resource path + name); failing that, name as a file path. The
    // bytes are decoded by stb_image. Null when nothing could be loaded or decoded. The entry
    // owns its bitmap.
    static std::unique_ptr<ImageEntry> Load(const std::string& name, const char* resourceType,
                                            DWORD mask);

    // Decodes image file bytes (PNG or anything stb_image reads). Null when undecodable.
    static std::unique_ptr<ImageEntry> LoadFromMemory(const void* data, size_t length,
                                                      DWORD mask);
};

} // namespace SkinUI
