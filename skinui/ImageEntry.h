#pragma once
// A decoded skin image: a 32-bit top-down BGRA DIB section, premultiplied where it has alpha.
// The entry owns its bitmap.
#include <windows.h>

#include <string>

namespace SkinUI {

struct ImageEntry {
    ImageEntry() = default;
    ~ImageEntry()
    {
        if (bitmap)
            DeleteObject(bitmap);
    }
    ImageEntry(const ImageEntry&) = delete;
    ImageEntry& operator=(const ImageEntry&) = delete;

    HBITMAP bitmap = nullptr;
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    std::string resourceType; // empty: from the skin package or a file
    DWORD mask = 0;           // 0xAARRGGBB made transparent at load; 0 for none
};

} // namespace SkinUI
