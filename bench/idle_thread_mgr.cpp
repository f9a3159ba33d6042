// Prints the CPU time an idle thread manager costs: one manager (plus the watchdog that comes
// with it) left idle for a while, measured with GetProcessTimes and GetThreadTimes.
//   idle_thread_mgr [seconds]      (default 60)
#include "ustd/TestAliveMgr.h"
#include "ustd/ThreadMgr.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

class CIdleMgr : public CThreadMgr<CIdleMgr> {
public:
    CIdleMgr() : CThreadMgr<CIdleMgr>("IdleMgr") {}
    ~CIdleMgr() override { Stop(); }
    bool Init() override { return true; }
    void Uninit() override {}
    void OnIdle() override { ++idleCalls; }
    std::atomic<long> idleCalls{0};
};

double Ms(const FILETIME& t)
{
    ULARGE_INTEGER v;
    v.LowPart = t.dwLowDateTime;
    v.HighPart = t.dwHighDateTime;
    return static_cast<double>(v.QuadPart) / 10000.0;
}

double ProcessCpuMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return Ms(kernel) + Ms(user);
}

double ThreadCpuMs(DWORD threadId)
{
    CKernelHandle thread(OpenThread(THREAD_QUERY_INFORMATION, FALSE, threadId));
    FILETIME created, exited, kernel, user;
    if (!thread || !GetThreadTimes(thread.Get(), &created, &exited, &kernel, &user))
        return -1;
    return Ms(kernel) + Ms(user);
}

} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    CLogFile::Instance().SetOutputs(0);
    CIdleMgr mgr;
    mgr.Create(CIdleMgr::kNotWatched);
    const DWORD watchdogThread = PeekTestAliveMgr() ? PeekTestAliveMgr()->GetThreadId() : 0;
    Sleep(1000); // past the start-up

    const double process0 = ProcessCpuMs();
    const double mgr0 = ThreadCpuMs(mgr.GetThreadId());
    const double dog0 = ThreadCpuMs(watchdogThread);
    const long idle0 = mgr.idleCalls;
    const DWORD tick0 = GetTickCount();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const double wallMs = GetTickCount() - tick0;
    const double process = ProcessCpuMs() - process0;
    const double mgrCpu = ThreadCpuMs(mgr.GetThreadId()) - mgr0;
    const double dogCpu = ThreadCpuMs(watchdogThread) - dog0;
    const long idle = mgr.idleCalls - idle0;

    std::printf("idle thread manager over %.1f s of wall time:\n", wallMs / 1000.0);
    std::printf("  process CPU time      %.1f ms (%.3f%% of one core)\n", process, 100.0 * process / wallMs);
    std::printf("  manager thread CPU    %.1f ms\n", mgrCpu);
    std::printf("  watchdog thread CPU   %.1f ms\n", dogCpu);
    std::printf("  manager idle calls    %ld (%.1f per second)\n", idle, idle * 1000.0 / wallMs);
    mgr.Stop();
    return 0;
}
