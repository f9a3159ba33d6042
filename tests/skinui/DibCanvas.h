#pragma once
// Test helpers for checking drawing on pixels: a 32-bit top-down DIB section selected into
// a memory context, and images built pixel by pixel.
#include <windows.h>

#include <cstdlib>
#include <functional>

#include "skinui/ImageEntry.h"

class CDibCanvas {
public:
    CDibCanvas(int width, int height, DWORD rgb = 0xFFFFFF) : width_(width), height_(height)
    {
        bitmap_ = Create(width, height, &bits_);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
        Fill(rgb);
    }
    ~CDibCanvas()
    {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    CDibCanvas(const CDibCanvas&) = delete;
    CDibCanvas& operator=(const CDibCanvas&) = delete;

    HDC Dc() const { return dc_; }
    void Fill(DWORD rgb)
    {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i)
            bits_[i] = rgb & 0xFFFFFF;
    }
    // 0x00RRGGBB of one pixel; GDI leaves the alpha byte undefined, so it is dropped.
    DWORD Pixel(int x, int y) const
    {
        GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }

    static HBITMAP Create(int width, int height, DWORD** bits)
    {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = -height;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        HBITMAP bmp = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &p, nullptr, 0);
        *bits = static_cast<DWORD*>(p);
        return bmp;
    }

private:
    int width_;
    int height_;
    DWORD* bits_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// An image whose pixel (x, y) is pixel(x, y) as 0xAARRGGBB (premultiplied by the caller).
class CTestImage {
public:
    CTestImage(int width, int height, bool hasAlpha, const std::function<DWORD(int, int)>& pixel)
    {
        DWORD* bits = nullptr;
        entry.bitmap = CDibCanvas::Create(width, height, &bits);
        entry.width = width;
        entry.height = height;
        entry.hasAlpha = hasAlpha;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bits[y * width + x] = pixel(x, y);
    }
    CTestImage(const CTestImage&) = delete;
    CTestImage& operator=(const CTestImage&) = delete;

    SkinUI::ImageEntry entry;
};

// Channels within `tolerance` of each other.
inline bool NearColor(DWORD a, DWORD b, int tolerance)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > tolerance)
            return false;
    }
    return true;
}
