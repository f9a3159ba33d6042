// Lays out and paints a vertical layout of 10,000 fixed-height children in a 900 by 700
// window and prints the time of one full layout and of one paint.
#include <windows.h>

#include <cstdio>

#include "skinui/ControlUI.h"
#include "skinui/PaintHostUI.h"
#include "skinui/VerticalLayoutUI.h"

using namespace SkinUI;

namespace {

CPaintHostUI* g_host = nullptr;

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_host != nullptr && g_host->GetPaintWindow() == hwnd) {
        LRESULT result = 0;
        if (g_host->MessageHandler(msg, wParam, lParam, result))
            return result;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

double Ms(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER freq)
{
    return (b.QuadPart - a.QuadPart) * 1000.0 / freq.QuadPart;
}

} // namespace

int main()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SkinLayoutBench";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "bench", WS_POPUP | WS_VISIBLE, 0, 0, 900, 700, nullptr,
                                nullptr, wc.hInstance, nullptr);
    CPaintHostUI host;
    host.Init(hwnd);
    g_host = &host;

    auto* column = new CVerticalLayoutUI;
    column->EnableScrollBar(true, false);
    for (int i = 0; i < 10000; ++i) {
        auto* row = new CControlUI;
        row->SetFixedHeight(24);
        row->SetBkColor(i % 2 ? 0xFFF0F0F0 : 0xFFFFFFFF);
        row->SetBorderColor(0xFFCFD5DA);
        row->SetBorderSizes(RECT{0, 0, 0, 1});
        column->Add(row);
    }
    host.AttachDialog(column);

    LARGE_INTEGER freq, t0, t1, t2, t3;
    QueryPerformanceFrequency(&freq);
    const RECT rc = {0, 0, 900, 700};
    QueryPerformanceCounter(&t0);
    const int layouts = 20;
    for (int i = 0; i < layouts; ++i)
        column->SetPos(rc);
    QueryPerformanceCounter(&t1);

    // One paint of the whole window through the host (off-screen image, then to the window).
    const int paints = 20;
    QueryPerformanceCounter(&t2);
    for (int i = 0; i < paints; ++i)
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    QueryPerformanceCounter(&t3);

    std::printf("10,000 rows of 24 px, 900x700: one full layout %.3f ms (mean of %d), one paint %.3f ms (mean of %d), "
                "scroll range %ld\n",
                Ms(t0, t1, freq) / layouts, layouts, Ms(t2, t3, freq) / paints, paints,
                static_cast<long>(column->GetScrollRange().cy));
    g_host = nullptr;
    DestroyWindow(hwnd);
    return 0;
}
