// Child process for the process-level tests of the thread managers, the watchdog and the
// crash handler. It logs to <exeDir>\log like the program and does what argv[1] asks:
//   throw       a command throws                      -> dump, exit 0xFFFFFFFF
//   initthrow   a manager's Init throws               -> dump, exit 0xFFFFFFFF
//   av          a command faults, no hooks installed  -> reaches the process-level filter
//   avhooked    the same after the crash handler's hooks were installed -> dump, report
//   hang        a watched command runs 75 s           -> the watchdog ends the process
//   alive <ms>  one idle manager for <ms>, then destroyed, then 3 s more -> exit 0
//   breakpad    reports how the hooks were installed with a breakpad.dll beside it
#include "comm/LogFile.h"
#include "ustd/ExceptHandler.h"
#include "ustd/ModulePath.h"
#include "ustd/ThreadMgr.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

class CChildMgr : public CThreadMgr<CChildMgr> {
public:
    CChildMgr(const char* name, bool throwInInit) : CThreadMgr<CChildMgr>(name), throwInInit_(throwInInit) {}
    ~CChildMgr() override { Stop(); }
    bool Init() override
    {
        if (throwInInit_)
            throw std::runtime_error("init failed hard");
        return true;
    }
    void Uninit() override {}

private:
    bool throwInInit_;
};

// Stands in for the platform's own handling in the "av" case: it shows that the fault went on
// past the managers' filters, and ends the process without a debugger or a dialog.
LONG WINAPI ProcessLevelFilter(EXCEPTION_POINTERS* info)
{
    WriteLog(LOG_ERROR, "tests/ustd/child", __LINE__, "ProcessLevelFilter", "ProcessLevelFilter Code=%08X",
             static_cast<unsigned>(info->ExceptionRecord->ExceptionCode));
    TerminateProcess(GetCurrentProcess(), 0x4D);
    return EXCEPTION_EXECUTE_HANDLER;
}

void Fault()
{
    volatile int* volatile target = nullptr;
    *target = 7;
}

int RunFault(const std::string& mode)
{
    if (mode == "av")
        SetUnhandledExceptionFilter(&ProcessLevelFilter);
    if (mode == "avhooked")
        GetExceptHandler();
    const bool initThrow = mode == "initthrow";
    CChildMgr mgr("CrashMgr", initThrow);
    mgr.Create(CChildMgr::kNotWatched);
    if (mode == "throw")
        mgr.PostFunc([](CChildMgr&) -> bool { throw std::runtime_error("command failed"); }, "ThrowingCmd");
    else if (mode == "av" || mode == "avhooked")
        mgr.PostFunc([](CChildMgr&) { Fault(); return true; }, "FaultingCmd");
    Sleep(20000);
    return 0; // the fault never came
}

int RunHang()
{
    // The unwatched manager is "hung" first and longest; only the watched one may end the process.
    CChildMgr free("FreeMgr", false);
    free.Create(CChildMgr::kNotWatched);
    free.PostFunc([](CChildMgr&) { Sleep(200000); return true; }, "EndlessCmd");
    Sleep(2000);
    CChildMgr watched("HangMgr", false);
    watched.Create(0);
    watched.PostFunc([](CChildMgr&) { Sleep(75000); return true; }, "LongCmd");
    Sleep(120000);
    return 0;
}

int RunAlive(int ms)
{
    {
        CChildMgr mgr("AliveMgr", false);
        mgr.Create(CChildMgr::kNotWatched);
        Sleep(static_cast<DWORD>(ms));
        mgr.Stop();
    }
    Sleep(3000);
    return 0;
}

int RunBreakpad()
{
    // Returns a bit for each thing that is not as it should be.
    int faults = 0;
    CExceptHandler& handler = GetExceptHandler();
    HMODULE library = GetModuleHandleA("breakpad.dll");
    if (!handler.UsesReportLibrary() || !library)
        return 1;
    using CallsFn = const wchar_t* (*)(int*);
    auto calls = reinterpret_cast<CallsFn>(reinterpret_cast<void*>(GetProcAddress(library, "FakeInstallCalls")));
    int installCount = 0;
    const wchar_t* url = calls ? calls(&installCount) : nullptr;
    if (installCount != 1 || !url || std::wcsncmp(url, L"http", 4) != 0)
        faults |= 2;
    void* purecall = reinterpret_cast<void*>(_set_purecall_handler(nullptr));
    if (purecall != reinterpret_cast<void*>(GetProcAddress(library, "HandlePureVirtualCall")))
        faults |= 4;
    // The library has no HandleInvalidParameter: a stand-in of our own, not our normal handler.
    void* invalid = reinterpret_cast<void*>(_set_invalid_parameter_handler(nullptr));
    if (!invalid || invalid == reinterpret_cast<void*>(&CExceptHandler::myInvalidParameterHandler))
        faults |= 8;
    // The process filter stays the platform's.
    LPTOP_LEVEL_EXCEPTION_FILTER filter = SetUnhandledExceptionFilter(nullptr);
    if (filter == &CExceptHandler::TopLevelFilter)
        faults |= 16;
    return faults;
}

} // namespace

int main(int argc, char** argv)
{
    CLogFile::Instance().SetLogDir(ExeDirectory() + "\\log");
    CLogFile::Instance().SetFilePrefix("Tarnwell");
    CLogFile::Instance().SetOutputs(2);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "throw" || mode == "initthrow" || mode == "av" || mode == "avhooked")
        return RunFault(mode);
    if (mode == "hang")
        return RunHang();
    if (mode == "alive")
        return RunAlive(argc > 2 ? std::atoi(argv[2]) : 5000);
    if (mode == "breakpad")
        return RunBreakpad();
    std::fprintf(stderr, "unknown mode\n");
    return 2;
}
