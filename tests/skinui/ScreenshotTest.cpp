#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "skinui/LayoutBuilder.h"
#include "skinui/SkinResources.h"
#include "skinui/TestHostWindow.h"

using namespace SkinUI;

namespace {

// <folder of the test exe>\..\artifacts, i.e. the build folder's artifacts.
std::string ArtifactsDir()
{
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string dir(exe);
    dir.resize(dir.find_last_of('\\'));
    dir.resize(dir.find_last_of('\\'));
    dir += "\\artifacts";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

// Copies the window's client area from the screen into 0x00RRGGBB pixels, top-down.
std::vector<DWORD> Grab(HWND hwnd, int cx, int cy)
{
    std::vector<DWORD> pixels(static_cast<size_t>(cx) * cy);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(hwnd);
    CMemoryDc mem(CreateCompatibleDC(screen));
    CGdiObject bmp(CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    HGDIOBJ old = SelectObject(mem.Get(), bmp.Get());
    BitBlt(mem.Get(), 0, 0, cx, cy, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD* src = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = src[i] & 0xFFFFFF;
    SelectObject(mem.Get(), old);
    ReleaseDC(hwnd, screen);
    return pixels;
}

bool WriteBmp(const std::string& path, const std::vector<DWORD>& pixels, int cx, int cy)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof(ih);
    ih.biWidth = cx;
    ih.biHeight = -cy;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size() * 4);
    bool ok = std::fwrite(&fh, sizeof(fh), 1, f) == 1 && std::fwrite(&ih, sizeof(ih), 1, f) == 1
        && std::fwrite(pixels.data(), 4, pixels.size(), f) == pixels.size();
    std::fclose(f);
    return ok;
}

} // namespace

// The main-window layout in a real window, saved as artifacts\TarnwellWnd.bmp for people to
// look at, and checked on a few pixels of its skin colours.
TEST(ScreenshotTest, MainWindowLayoutInARealWindow)
{
    CSkinResources::Reset();
    ASSERT_TRUE(CSkinResources::SetResourceZipFromResource(101, "ZIPRES"));
    CTestHostWindow window(900, 700);
    CLayoutBuilder builder;
    CControlUI* root = builder.Create("TarnwellWnd.xml", "", nullptr, &window.host, nullptr);
    ASSERT_NE(nullptr, root) << builder.GetLastErrorMessage();
    SetWindowPos(window.Hwnd(), HWND_TOPMOST, 0, 0, 900, 700, SWP_SHOWWINDOW);
    window.Attach(root);
    window.Paint();

    std::vector<DWORD> shot = Grab(window.Hwnd(), 900, 700);
    const std::string path = ArtifactsDir() + "\\TarnwellWnd.bmp";
    EXPECT_TRUE(WriteBmp(path, shot, 900, 700)) << path;
    std::printf("screenshot: %s\n", path.c_str());

    auto at = [&](int x, int y) { return shot[static_cast<size_t>(y) * 900 + x]; };
    EXPECT_EQ(0x454A4Du, at(0, 300)) << "window border";
    EXPECT_EQ(0xC6CACCu, at(400, 12)) << "title bar";
    EXPECT_EQ(0xFEFEFEu, at(400, 400)) << "window background";
    EXPECT_NE(0xC6CACCu, at(883, 12)) << "close button image drawn";
    EXPECT_NE(0xFEFEFEu, at(30, 44)) << "select-all check box mark drawn";
    CSkinResources::Reset();
}
