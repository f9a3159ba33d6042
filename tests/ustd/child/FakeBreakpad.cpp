// A stand-in for the crash-report library: it records how it was installed and offers one
// of the two runtime handlers, so that the other one's stand-in is exercised too.
#include <windows.h>

namespace {
int g_installCalls = 0;
wchar_t g_url[256] = {};
}

extern "C" __declspec(dllexport) int __cdecl InstallCrashReport(int flags, const wchar_t* url)
{
    ++g_installCalls;
    if (flags == 0 && url)
        lstrcpynW(g_url, url, 256);
    return 1;
}

extern "C" __declspec(dllexport) void __cdecl HandlePureVirtualCall()
{
    TerminateProcess(GetCurrentProcess(), 0x50);
}

extern "C" __declspec(dllexport) const wchar_t* FakeInstallCalls(int* count)
{
    *count = g_installCalls;
    return g_url;
}
