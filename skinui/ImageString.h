#pragma once
// Parser of image strings: either a bare image name ("tarnwell.png") or items
// key='value' ("file='Default_Btn.png' source='0,0,74,26' corner='4,4,4,4'"), with an optional
// modifier string in the same syntax whose items are read after the image string's and so
// override them. One string can name several images; each becomes one TImageDraw in order.
// Pure parsing: loading and drawing are the painter's and the host's business.
#include <windows.h>

#include <string>
#include <vector>

namespace SkinUI {

struct TImageDraw {
    std::string name;         // image file name, or resource name when resourceType is set
    std::string resourceType; // from restype; non-empty means a resource of the executable
    bool fromResource = false;  // named by a res item
    bool hasDest = false;       // dest given: relative to the control rectangle (see below)
    RECT dest = {0, 0, 0, 0};
    RECT source = {0, 0, 0, 0}; // all zero: the whole image
    RECT corner = {0, 0, 0, 0}; // nine-grid insets
    DWORD mask = 0;             // 0xAARRGGBB made transparent at load; 0 none
    BYTE fade = 255;
    bool hole = false;
    bool xtiled = false;
    bool ytiled = false;
};

// The images an image string (plus modifier) draws, in drawing order. A file item, or a
// restype item completing a res item, completes an image; a further file, res or restype
// item first emits the completed image with the settings gathered so far (settings carry
// over to the next image). A malformed item ends parsing; items with an empty value are
// ignored. A string whose very first item is malformed is a bare image name.
std::vector<TImageDraw> ParseImageString(const std::string& image, const std::string& modifier = "");

// The target rectangle of `draw` inside control rectangle rc: rc itself without dest;
// otherwise left = rc.left + l, top = rc.top + t, right = min(rc.right, rc.left + r),
// bottom = min(rc.bottom, rc.top + b).
RECT ImageDestRect(const TImageDraw& draw, const RECT& rc);

// The source rectangle inside an image of the given size: all zero means the whole image;
// right and bottom are clamped to the image size.
RECT ImageSourceRect(const TImageDraw& draw, int imageWidth, int imageHeight);

} // namespace SkinUI
