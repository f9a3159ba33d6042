#pragma once
// A decoded skin image: a 32-bit top-down BGRA DIB section, premultiplied where it has alpha.
#include <windows.h>

#include <string>

namespace SkinUI {

struct ImageEntry {
    HBITMAP bitmap = nullptr; // owned by the host's image cache
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    std::string resourceType; // empty: from the skin package or a file
    DWORD mask = 0;           // 0xAARRGGBB made transparent at load; 0 for none
};

} // namespace SkinUI
