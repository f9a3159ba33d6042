#include "skinui/SkinPainter.h"

#include <algorithm>

#include "comm/UniqueHandle.h"
#include "skinui/ImageLoader.h"
#include "skinui/ImageString.h"
#include "skinui/PaintHostUI.h"

namespace SkinUI {

namespace {

using AlphaBlendFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

// msimg32 is loaded on first use and kept for the rest of the process.
AlphaBlendFn GetAlphaBlend()
{
    static CModuleHandle module(LoadLibraryA("msimg32.dll"));
    static AlphaBlendFn fn =
        module ? reinterpret_cast<AlphaBlendFn>(reinterpret_cast<void*>(GetProcAddress(module.Get(), "AlphaBlend")))
               : nullptr;
    return fn;
}

// Puts the previous object back into the context when the scope ends.
class CSelection {
public:
    CSelection(HDC hdc, HGDIOBJ obj) : hdc_(hdc), old_(SelectObject(hdc, obj)) {}
    ~CSelection() { SelectObject(hdc_, old_); }
    CSelection(const CSelection&) = delete;
    CSelection& operator=(const CSelection&) = delete;

private:
    HDC hdc_;
    HGDIOBJ old_;
};

COLORREF ToColorRef(DWORD argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

int Width(const RECT& rc) { return rc.right - rc.left; }
int Height(const RECT& rc) { return rc.bottom - rc.top; }

bool Meets(const RECT& a, const RECT& b)
{
    RECT tmp;
    return IntersectRect(&tmp, &a, &b) != FALSE;
}

HBITMAP CreateDib(int width, int height, DWORD** bits)
{
    void* p = nullptr;
    HBITMAP bmp = CreateTopDownDib(width, height, &p);
    *bits = static_cast<DWORD*>(p);
    return bmp;
}

// Draws the pieces of a nine-grid with either the copy or the blend operation.
class CPieceDrawer {
public:
    CPieceDrawer(HDC hdc, HDC src, const RECT& paint, bool opaque, bool perPixelAlpha, BYTE fade)
        : hdc_(hdc), src_(src), paint_(paint), opaque_(opaque)
    {
        blend_.BlendOp = AC_SRC_OVER;
        blend_.BlendFlags = 0;
        blend_.SourceConstantAlpha = fade;
        blend_.AlphaFormat = perPixelAlpha ? AC_SRC_ALPHA : 0;
    }

    void Draw(const RECT& dst, const RECT& src) const
    {
        if (IsRectEmpty(&dst) || IsRectEmpty(&src) || !Meets(dst, paint_))
            return;
        if (opaque_) {
            if (Width(dst) == Width(src) && Height(dst) == Height(src))
                BitBlt(hdc_, dst.left, dst.top, Width(dst), Height(dst), src_, src.left, src.top, SRCCOPY);
            else
                StretchBlt(hdc_, dst.left, dst.top, Width(dst), Height(dst), src_, src.left, src.top,
                           Width(src), Height(src), SRCCOPY);
            return;
        }
        if (AlphaBlendFn alphaBlend = GetAlphaBlend())
            alphaBlend(hdc_, dst.left, dst.top, Width(dst), Height(dst), src_, src.left, src.top, Width(src),
                       Height(src), blend_);
    }

private:
    HDC hdc_;
    HDC src_;
    RECT paint_;
    bool opaque_;
    BLENDFUNCTION blend_;
};

// The centre of the nine-grid: stretched, or tiled in one or both directions. Tiles keep
// the source centre's size along the tiled axis; the last one is cut at the centre's edge.
void DrawCentre(const CPieceDrawer& drawer, const RECT& dst, const RECT& src, bool xtiled, bool ytiled)
{
    const int tileW = Width(src);
    const int tileH = Height(src);
    if (tileW <= 0 || tileH <= 0 || IsRectEmpty(&dst))
        return;
    if (xtiled && ytiled) {
        for (int y = dst.top; y < dst.bottom; y += tileH) {
            const int h = std::min(tileH, static_cast<int>(dst.bottom) - y);
            for (int x = dst.left; x < dst.right; x += tileW) {
                const int w = std::min(tileW, static_cast<int>(dst.right) - x);
                drawer.Draw(RECT{x, y, x + w, y + h}, RECT{src.left, src.top, src.left + w, src.top + h});
            }
        }
    } else if (xtiled) {
        for (int x = dst.left; x < dst.right; x += tileW) {
            const int w = std::min(tileW, static_cast<int>(dst.right) - x);
            drawer.Draw(RECT{x, dst.top, x + w, dst.bottom}, RECT{src.left, src.top, src.left + w, src.bottom});
        }
    } else if (ytiled) {
        for (int y = dst.top; y < dst.bottom; y += tileH) {
            const int h = std::min(tileH, static_cast<int>(dst.bottom) - y);
            drawer.Draw(RECT{dst.left, y, dst.right, y + h}, RECT{src.left, src.top, src.right, src.top + h});
        }
    } else {
        drawer.Draw(dst, src);
    }
}

} // namespace

void CSkinPainter::DrawColor(HDC hdc, const RECT& rc, DWORD color)
{
    const BYTE alpha = static_cast<BYTE>(color >> 24);
    if (!hdc || alpha == 0 || IsRectEmpty(&rc))
        return;
    if (alpha == 255) {
        CGdiObject brush(CreateSolidBrush(ToColorRef(color)));
        FillRect(hdc, &rc, static_cast<HBRUSH>(brush.Get()));
        return;
    }
    // Partial opacity: one opaque pixel of the colour stretched over the rectangle with a
    // constant opacity.
    AlphaBlendFn alphaBlend = GetAlphaBlend();
    if (!alphaBlend)
        return;
    DWORD* bits = nullptr;
    CGdiObject bmp(CreateDib(1, 1, &bits));
    CMemoryDc mem(CreateCompatibleDC(hdc));
    if (!bmp || !mem)
        return;
    bits[0] = color & 0x00FFFFFF;
    CSelection sel(mem.Get(), bmp.Get());
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, alpha, 0};
    alphaBlend(hdc, rc.left, rc.top, Width(rc), Height(rc), mem.Get(), 0, 0, 1, 1, bf);
}

void CSkinPainter::DrawGradient(HDC hdc, const RECT& rc, DWORD top, DWORD bottom, int steps)
{
    const int opacity = (static_cast<int>(top >> 24) + static_cast<int>(bottom >> 24)) / 2;
    if (!hdc || opacity == 0 || IsRectEmpty(&rc))
        return;
    steps = std::max(1, steps);
    const int w = Width(rc);
    const int h = Height(rc);
    DWORD* bits = nullptr;
    CGdiObject bmp(CreateDib(w, h, &bits));
    CMemoryDc mem(CreateCompatibleDC(hdc));
    if (!bmp || !mem)
        return;
    // Band i runs from row h*i/steps; its colour goes from the top colour (first band) to
    // the bottom colour (last band).
    for (int i = 0; i < steps; ++i) {
        DWORD band = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int a = static_cast<int>((top >> shift) & 0xFF);
            const int b = static_cast<int>((bottom >> shift) & 0xFF);
            const int c = steps > 1 ? a + (b - a) * i / (steps - 1) : a;
            band |= static_cast<DWORD>(c) << shift;
        }
        const int y0 = h * i / steps;
        const int y1 = h * (i + 1) / steps;
        std::fill(bits + static_cast<size_t>(y0) * w, bits + static_cast<size_t>(y1) * w, band);
    }
    CSelection sel(mem.Get(), bmp.Get());
    if (opacity == 255) {
        BitBlt(hdc, rc.left, rc.top, w, h, mem.Get(), 0, 0, SRCCOPY);
        return;
    }
    if (AlphaBlendFn alphaBlend = GetAlphaBlend()) {
        BLENDFUNCTION bf = {AC_SRC_OVER, 0, static_cast<BYTE>(opacity), 0};
        alphaBlend(hdc, rc.left, rc.top, w, h, mem.Get(), 0, 0, w, h, bf);
    }
}

void CSkinPainter::DrawLine(HDC hdc, POINT from, POINT to, int width, DWORD color, int style)
{
    if (!hdc)
        return;
    CGdiObject pen(CreatePen(style, width, ToColorRef(color)));
    if (!pen)
        return;
    CSelection sel(hdc, pen.Get());
    POINT old;
    MoveToEx(hdc, from.x, from.y, &old);
    LineTo(hdc, to.x, to.y);
    MoveToEx(hdc, old.x, old.y, nullptr);
}

void CSkinPainter::DrawRect(HDC hdc, const RECT& rc, int width, DWORD color)
{
    if (!hdc || width < 1 || IsRectEmpty(&rc))
        return;
    CGdiObject brush(CreateSolidBrush(ToColorRef(color)));
    const HBRUSH hbr = static_cast<HBRUSH>(brush.Get());
    if (2 * width >= Width(rc) || 2 * width >= Height(rc)) {
        FillRect(hdc, &rc, hbr); // the outline covers the whole rectangle
        return;
    }
    const RECT sides[4] = {
        {rc.left, rc.top, rc.right, rc.top + width},
        {rc.left, rc.bottom - width, rc.right, rc.bottom},
        {rc.left, rc.top + width, rc.left + width, rc.bottom - width},
        {rc.right - width, rc.top + width, rc.right, rc.bottom - width},
    };
    for (const RECT& side : sides)
        FillRect(hdc, &side, hbr);
}

void CSkinPainter::DrawRoundRect(HDC hdc, const RECT& rc, int width, int cornerWidth, int cornerHeight,
                                 DWORD color)
{
    if (!hdc || width < 1 || IsRectEmpty(&rc))
        return;
    CGdiObject pen(CreatePen(PS_INSIDEFRAME, width, ToColorRef(color)));
    if (!pen)
        return;
    CSelection selPen(hdc, pen.Get());
    CSelection selBrush(hdc, GetStockObject(NULL_BRUSH));
    RoundRect(hdc, rc.left, rc.top, rc.right, rc.bottom, cornerWidth, cornerHeight);
}

void CSkinPainter::DrawText(HDC hdc, CPaintHostUI* host, RECT& rc, const char* text, DWORD color, int fontIndex,
                            UINT style)
{
    if (!hdc || !text)
        return;
    HFONT font = host ? host->GetFont(fontIndex) : nullptr;
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    CSelection sel(hdc, font);
    const int oldMode = SetBkMode(hdc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(hdc, ToColorRef(color));
    ::DrawTextA(hdc, text, -1, &rc, style | TS_NOPREFIX);
    SetTextColor(hdc, oldColor);
    SetBkMode(hdc, oldMode);
}

void CSkinPainter::DrawImage(HDC hdc, const ImageEntry& image, const RECT& target, const RECT& paint,
                             const RECT& source, const RECT& corners, BYTE fade, bool hole, bool xtiled,
                             bool ytiled)
{
    if (!hdc || !image.bitmap || IsRectEmpty(&target) || IsRectEmpty(&source))
        return;
    CMemoryDc mem(CreateCompatibleDC(hdc));
    if (!mem)
        return;
    CSelection sel(mem.Get(), image.bitmap);
    const bool opaque = !image.hasAlpha && fade == 255;
    const bool noCorners = corners.left == 0 && corners.top == 0 && corners.right == 0 && corners.bottom == 0;

    if (opaque && noCorners && Width(target) == Width(source) && Height(target) == Height(source)) {
        RECT part;
        if (IntersectRect(&part, &target, &paint))
            BitBlt(hdc, part.left, part.top, Width(part), Height(part), mem.Get(),
                   source.left + (part.left - target.left), source.top + (part.top - target.top), SRCCOPY);
        return;
    }

    const int oldMode = SetStretchBltMode(hdc, HALFTONE);
    POINT oldOrg;
    SetBrushOrgEx(hdc, 0, 0, &oldOrg);

    const CPieceDrawer drawer(hdc, mem.Get(), paint, opaque, image.hasAlpha, fade);
    const RECT& t = target;
    const RECT& s = source;
    const RECT& c = corners;

    if (!hole) {
        DrawCentre(drawer, RECT{t.left + c.left, t.top + c.top, t.right - c.right, t.bottom - c.bottom},
                   RECT{s.left + c.left, s.top + c.top, s.right - c.right, s.bottom - c.bottom}, xtiled, ytiled);
    }
    // Corners at their own size, only when both of their insets are set.
    if (c.left > 0 && c.top > 0)
        drawer.Draw(RECT{t.left, t.top, t.left + c.left, t.top + c.top},
                    RECT{s.left, s.top, s.left + c.left, s.top + c.top});
    if (c.right > 0 && c.top > 0)
        drawer.Draw(RECT{t.right - c.right, t.top, t.right, t.top + c.top},
                    RECT{s.right - c.right, s.top, s.right, s.top + c.top});
    if (c.left > 0 && c.bottom > 0)
        drawer.Draw(RECT{t.left, t.bottom - c.bottom, t.left + c.left, t.bottom},
                    RECT{s.left, s.bottom - c.bottom, s.left + c.left, s.bottom});
    if (c.right > 0 && c.bottom > 0)
        drawer.Draw(RECT{t.right - c.right, t.bottom - c.bottom, t.right, t.bottom},
                    RECT{s.right - c.right, s.bottom - c.bottom, s.right, s.bottom});
    // Edges stretched along their length.
    if (c.left > 0)
        drawer.Draw(RECT{t.left, t.top + c.top, t.left + c.left, t.bottom - c.bottom},
                    RECT{s.left, s.top + c.top, s.left + c.left, s.bottom - c.bottom});
    if (c.top > 0)
        drawer.Draw(RECT{t.left + c.left, t.top, t.right - c.right, t.top + c.top},
                    RECT{s.left + c.left, s.top, s.right - c.right, s.top + c.top});
    if (c.right > 0)
        drawer.Draw(RECT{t.right - c.right, t.top + c.top, t.right, t.bottom - c.bottom},
                    RECT{s.right - c.right, s.top + c.top, s.right, s.bottom - c.bottom});
    if (c.bottom > 0)
        drawer.Draw(RECT{t.left + c.left, t.bottom - c.bottom, t.right - c.right, t.bottom},
                    RECT{s.left + c.left, s.bottom - c.bottom, s.right - c.right, s.bottom});

    SetBrushOrgEx(hdc, oldOrg.x, oldOrg.y, nullptr);
    SetStretchBltMode(hdc, oldMode);
}

bool CSkinPainter::DrawImageString(HDC hdc, CPaintHostUI* host, const RECT& rcItem, const RECT& rcPaint,
                                   const char* imageString, const char* modifier)
{
    if (!hdc || !host)
        return false;
    if (!imageString || !*imageString)
        return true;
    // Nothing is drawn outside the control, whatever the dest says.
    RECT clip;
    if (!IntersectRect(&clip, &rcItem, &rcPaint))
        return true;
    for (const TImageDraw& draw : ParseImageString(imageString, modifier ? modifier : "")) {
        if (draw.name.empty())
            continue;
        // A missing image is not cached, so it is looked for again at the next paint.
        const ImageEntry* image = host->GetImageEx(draw.name, draw.resourceType, draw.mask);
        if (!image || !image->bitmap)
            continue;
        const RECT target = ImageDestRect(draw, rcItem);
        if (!Meets(target, clip))
            continue;
        const RECT source = ImageSourceRect(draw, image->width, image->height);
        DrawImage(hdc, *image, target, clip, source, draw.corner, draw.fade, draw.hole, draw.xtiled, draw.ytiled);
    }
    return true;
}

} // namespace SkinUI
