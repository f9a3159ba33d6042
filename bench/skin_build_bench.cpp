// Builds the main-window layout from the package embedded in this executable 1,000 times
// and prints the time per build. Without the resource linked in, the package zip given as the
// first argument is opened from memory the same way the embedded one is.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "skinui/ControlUI.h"
#include "skinui/LayoutBuilder.h"
#include "skinui/PaintHostUI.h"
#include "skinui/SkinResources.h"

using namespace SkinUI;

int main(int argc, char** argv)
{
    if (CSkinResources::SetResourceZipFromResource(101, "ZIPRES")) {
        std::printf("package: embedded resource ZIPRES 101\n");
    } else {
        if (argc < 2) {
            std::printf("no embedded package; usage: skin_build_bench <Tarnwell.zip>\n");
            return 1;
        }
        std::ifstream in(argv[1], std::ios::binary);
        std::vector<char> zip((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (zip.empty() || !CSkinResources::SetResourceZip(zip.data(), zip.size())) {
            std::printf("cannot open %s\n", argv[1]);
            return 1;
        }
        std::printf("package: %s opened from memory\n", argv[1]);
    }
    const int runs = 1000;
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    for (int i = 0; i < runs; ++i) {
        CPaintHostUI host;
        CLayoutBuilder builder;
        CControlUI* root = builder.Create("TarnwellWnd.xml", "", nullptr, &host, nullptr);
        if (root == nullptr) {
            std::printf("build failed: %s\n", builder.GetLastErrorMessage().c_str());
            return 1;
        }
        delete root;
    }
    QueryPerformanceCounter(&t1);
    double ms = (t1.QuadPart - t0.QuadPart) * 1000.0 / freq.QuadPart;
    std::printf("TarnwellWnd.xml from the embedded package: %d builds in %.1f ms, %.3f ms per build\n", runs, ms,
                ms / runs);
    return 0;
}
