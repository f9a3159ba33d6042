#pragma once
// The crash handler: turns a fatal fault into log lines and a full-memory minidump in
// exeDir\Dump (three kept), then ends the process. It also owns the process-wide fault hooks
// (unhandled-exception filter, the runtime's invalid-parameter and pure-call handlers), or
// hands them to the crash-report library "breakpad.dll" when that is present.
#include "comm/UniqueHandle.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CExceptHandler {
public:
    // The code a thrown C++ exception carries as a structured exception on Windows.
    static constexpr DWORD kThrownExceptionCode = 0xE06D7363;
    // How many dumps stay in the dump directory.
    static constexpr size_t kKeptDumps = 3;

    CExceptHandler(const CExceptHandler&) = delete;
    CExceptHandler& operator=(const CExceptHandler&) = delete;

    // Entry from the thread managers' fault filters. Only a thrown exception is acted on: it
    // is logged, dumped, and the process ends with exit code 0xFFFFFFFF. Any other code
    // returns at once so that the fault goes on to the process-level handler.
    static void ProcessException(const EXCEPTION_RECORD* record);

    // Makes room in exeDir\Dump and writes a new dump there; info may be null.
    static bool OnCatchException(EXCEPTION_POINTERS* info);
    static bool CreateMiniDumpFile(const std::string& path, EXCEPTION_POINTERS* info);

    // Every "*.dmp" directly in dir that is not a plain directory, as full paths.
    static std::vector<std::string> FindDumpFiles(const std::string& dir);
    // The dump to delete before a new one is written: with more than two present, the one
    // whose lower-cased path sorts first (the oldest, given the time-stamped names); else "".
    static std::string PickDumpToDelete(const std::vector<std::string>& dumps);
    // dir\meltrowYYYY-MM-DD-hh-mm-ss.dmp
    static std::string DumpFilePath(const std::string& dir, const SYSTEMTIME& time);

    // Name of an exception code: the fixed table, else the system's message text for it.
    static std::string GetExceptionDesc(DWORD code);
    // A module's message-table text for code, without its closing line break, at most 260
    // characters; "" if the module has none.
    static std::string ModuleMessageText(HMODULE module, DWORD code);

    // Module path, section number (from 1) and offset in it of an address. False (section 0,
    // offset 0, empty path) when the address is not in a module.
    static bool GetLogicalAddress(const void* address, std::string& module, DWORD& section,
                                  DWORD& offset);

    struct StackFrame {
        uint32_t pc;
        uint32_t frame;
    };
    // Follows the frame-pointer chain from (pc, frame): each next frame must be 4-aligned,
    // above the previous one and 8 writable bytes; a frame that is not is never read.
    static std::vector<StackFrame> WalkFrameChain(uint32_t pc, uint32_t frame);

    static LONG WINAPI TopLevelFilter(EXCEPTION_POINTERS* info);
    // Logs the fault, its registers and call stack, then ends the process (0xFFFFFFFF).
    static void GenerateExceptionReport(EXCEPTION_POINTERS* info);
    static void IntelStackWalk(const CONTEXT* context);

    static void __cdecl myInvalidParameterHandler(const wchar_t* expression, const wchar_t* function,
                                                  const wchar_t* file, unsigned line, uintptr_t reserved);
    static void __cdecl myPurecallHandler();

    bool UsesReportLibrary() const { return usesReportLibrary_; }

private:
    friend CExceptHandler& GetExceptHandler();
    CExceptHandler(); // installs the fault hooks

    CModuleHandle reportLibrary_; // kept loaded: the object is never destroyed
    bool usesReportLibrary_ = false;
};

// The single crash handler, created (and the hooks installed) on first call.
CExceptHandler& GetExceptHandler();
