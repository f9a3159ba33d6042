#pragma once
// Drawing primitives every control paints with: colours, gradients, lines, outlines, text
// and nine-grid images. Coordinates are client pixels of the drawing context.
#include <windows.h>

#include "skinui/ImageEntry.h"

namespace SkinUI {

class CPaintHostUI;

// Text style flags; the values are those of the platform's DrawText flags.
enum TextStyle : UINT {
    TS_LEFT = 0x0,
    TS_CENTER = 0x1,
    TS_RIGHT = 0x2,
    TS_TOP = 0x0,
    TS_VCENTER = 0x4,
    TS_BOTTOM = 0x8,
    TS_WORDBREAK = 0x10,
    TS_SINGLELINE = 0x20,
    TS_CALCRECT = 0x400,
    TS_NOPREFIX = 0x800,
    TS_END_ELLIPSIS = 0x8000,
};

class CSkinPainter {
public:
    // Colours are 0xAARRGGBB. Alpha 0 draws nothing, 255 fills, anything else blends.
    static void DrawColor(HDC hdc, const RECT& rc, DWORD color);
    // Vertical gradient in `steps` bands from top to bottom colour; its opacity is the
    // average of the two alphas.
    static void DrawGradient(HDC hdc, const RECT& rc, DWORD top, DWORD bottom, int steps);
    // Lines and outlines use the colour's red, green and blue only.
    static void DrawLine(HDC hdc, POINT from, POINT to, int width, DWORD color, int style = PS_SOLID);
    // Outline of `width` pixels lying inside rc.
    static void DrawRect(HDC hdc, const RECT& rc, int width, DWORD color);
    static void DrawRoundRect(HDC hdc, const RECT& rc, int width, int cornerWidth, int cornerHeight,
                              DWORD color);
    // Transparent text in the host's font at fontIndex (default font when out of range);
    // TS_NOPREFIX is always added. With TS_CALCRECT, rc receives the measured rectangle.
    static void DrawText(HDC hdc, CPaintHostUI* host, RECT& rc, const char* text, DWORD color,
                         int fontIndex, UINT style);
    // Nine-grid drawing of `image`: `source` part of the image onto `target`, corners kept
    // at their size, edges and centre stretched (or the centre tiled, or left out with
    // hole). Pieces that miss `paint` are skipped. Opaque images at fade 255 are copied;
    // everything else is blended with the premultiplied per-pixel alpha and `fade`.
    static void DrawImage(HDC hdc, const ImageEntry& image, const RECT& target, const RECT& paint,
                          const RECT& source, const RECT& corners, BYTE fade = 255, bool hole = false,
                          bool xtiled = false, bool ytiled = false);
    // Parses the image string (and the modifier string after it), loads each image through
    // the host's cache and draws it where its target meets both rcItem and rcPaint. True
    // whenever a host and a drawing context are given, even if an image failed to load.
    static bool DrawImageString(HDC hdc, CPaintHostUI* host, const RECT& rcItem, const RECT& rcPaint,
                                const char* imageString, const char* modifier = nullptr);
};

} // namespace SkinUI
