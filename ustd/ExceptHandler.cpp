#include "ustd/ExceptHandler.h"

#include "comm/LogFile.h"
#include "ustd/ModulePath.h"

#include <windows.h>
#include <dbghelp.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

const char kSource[] = "ustd/ExceptHandler";

// Where the crash-report library uploads its reports; the library is optional and this
// installation has no report service of its own.
const wchar_t kCrashReportUrl[] = L"https://crashreport.tarnwell.invalid/upload";

using InstallCrashReportFn = int(__cdecl*)(int, const wchar_t*);

// Stand-ins when the report library lacks a handler: fault, so that the library's own crash
// handling takes over; end the process should the fault come back.
void __cdecl FaultForReportLibrary()
{
    // Read through a volatile pointer so the compiler keeps the store as written.
    volatile int* volatile target = reinterpret_cast<volatile int*>(0x45);
    *target = 0;
    TerminateProcess(GetCurrentProcess(), 1);
}
void __cdecl FaultForReportLibraryInvalidParameter(const wchar_t*, const wchar_t*, const wchar_t*,
                                                   unsigned, uintptr_t)
{
    FaultForReportLibrary();
}

struct MemoryUse {
    unsigned long current = 0;
    unsigned long peak = 0;
};

MemoryUse ReadMemoryUse()
{
    MemoryUse use;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        use.current = counters.WorkingSetSize;
        use.peak = counters.PeakWorkingSetSize;
    }
    return use;
}

std::string Narrow(const wchar_t* text)
{
    if (!text)
        return std::string();
    const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

// Lower case for a comparison key; second bytes of double-byte characters stay as they are.
std::string LowerKey(const std::string& text)
{
    std::string out = text;
    for (size_t i = 0; i < out.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(out[i]);
        if (b >= 0x81 && b <= 0xFE && i + 1 < out.size()) {
            ++i;
            continue;
        }
        if (b >= 'A' && b <= 'Z')
            out[i] = static_cast<char>(b - 'A' + 'a');
    }
    return out;
}

bool IsWritable(DWORD protect)
{
    if (protect & (PAGE_GUARD | PAGE_NOACCESS))
        return false;
    return (protect & (PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY)) != 0;
}

// True when all 8 bytes at address are committed writable memory (checked without touching
// them, so a bad frame pointer never faults inside the crash report).
bool EightBytesWritable(uint32_t address)
{
    const uint32_t last = address + 7;
    if (last < address)
        return false;
    for (uint32_t at : {address, last}) {
        MEMORY_BASIC_INFORMATION info = {};
        if (VirtualQuery(reinterpret_cast<const void*>(static_cast<uintptr_t>(at)), &info, sizeof info) == 0)
            return false;
        if (info.State != MEM_COMMIT || !IsWritable(info.Protect))
            return false;
    }
    return true;
}

} // namespace

CExceptHandler& GetExceptHandler()
{
    static std::mutex creationLock;
    static CExceptHandler* instance = nullptr; // never destroyed: the hooks point into it
    std::lock_guard<std::mutex> guard(creationLock);
    if (!instance)
        instance = new CExceptHandler;
    return *instance;
}

CExceptHandler::CExceptHandler()
{
    reportLibrary_.Reset(LoadLibraryA("breakpad.dll"));
    if (reportLibrary_) {
        HMODULE library = reportLibrary_.Get();
        if (auto install = reinterpret_cast<InstallCrashReportFn>(
                reinterpret_cast<void*>(GetProcAddress(library, "InstallCrashReport"))))
            install(0, kCrashReportUrl);
        auto purecall = reinterpret_cast<_purecall_handler>(
            reinterpret_cast<void*>(GetProcAddress(library, "HandlePureVirtualCall")));
        auto invalidParameter = reinterpret_cast<_invalid_parameter_handler>(
            reinterpret_cast<void*>(GetProcAddress(library, "HandleInvalidParameter")));
        _set_purecall_handler(purecall ? purecall : &FaultForReportLibrary);
        _set_invalid_parameter_handler(invalidParameter ? invalidParameter : &FaultForReportLibraryInvalidParameter);
        usesReportLibrary_ = true;
        return;
    }
    SetUnhandledExceptionFilter(&CExceptHandler::TopLevelFilter);
    _set_invalid_parameter_handler(&CExceptHandler::myInvalidParameterHandler);
    _set_purecall_handler(&CExceptHandler::myPurecallHandler);
}

void CExceptHandler::ProcessException(const EXCEPTION_RECORD* record)
{
    if (!record || record->ExceptionCode != kThrownExceptionCode)
        return;
    WriteLog(LOG_ERROR, kSource, __LINE__, "CExceptHandler::ProcessException",
             "ProcessException 应用程序初始化失败 ExceptionFlags=%d ExceptionAddress=%p NumberParameters=%d",
             static_cast<int>(record->ExceptionFlags), record->ExceptionAddress,
             static_cast<int>(record->NumberParameters));
    const MemoryUse use = ReadMemoryUse();
    WriteLog(LOG_ERROR, kSource, __LINE__, "CExceptHandler::ProcessException",
             "ProcessException 当前使用内存=%d，使用内存高峰=%d", static_cast<int>(use.current),
             static_cast<int>(use.peak));
    GetExceptHandler();
    OnCatchException(nullptr);
    TerminateProcess(GetCurrentProcess(), 0xFFFFFFFF);
}

bool CExceptHandler::OnCatchException(EXCEPTION_POINTERS* info)
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    const std::string dir = ExeDirectory() + "\\Dump";
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string victim = PickDumpToDelete(FindDumpFiles(dir));
    if (!victim.empty()) {
        WriteLog(LOG_INFO, kSource, __LINE__, "CExceptHandler::OnCatchException", "Delete Dump File: %s",
                 victim.c_str());
        DeleteFileA(victim.c_str());
    }
    const std::string path = DumpFilePath(dir, now);
    WriteLog(LOG_INFO, kSource, __LINE__, "CExceptHandler::OnCatchException", "Dump File: %s", path.c_str());
    CreateMiniDumpFile(path, info);
    return true;
}

bool CExceptHandler::CreateMiniDumpFile(const std::string& path, EXCEPTION_POINTERS* info)
{
    const MemoryUse use = ReadMemoryUse();
    WriteLog(LOG_ERROR, kSource, __LINE__, "CExceptHandler::CreateMiniDumpFile",
             "CreateMiniDumpFile 当前使用内存=%d，使用内存高峰=%d", static_cast<int>(use.current),
             static_cast<int>(use.peak));
    CFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    WriteLog(LOG_INFO, kSource, __LINE__, "CExceptHandler::CreateMiniDumpFile", "Create Dump File %s.",
             path.c_str());
    if (!file) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CExceptHandler::CreateMiniDumpFile",
                 "Create Dump File %s Failed.", path.c_str());
        return false;
    }
    MINIDUMP_EXCEPTION_INFORMATION exception = {};
    exception.ThreadId = GetCurrentThreadId();
    exception.ExceptionPointers = info;
    exception.ClientPointers = FALSE; // the information is in this process's memory
    MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file.Get(), MiniDumpWithFullMemory,
                      info ? &exception : nullptr, nullptr, nullptr);
    return true;
}

std::vector<std::string> CExceptHandler::FindDumpFiles(const std::string& dir)
{
    std::vector<std::string> found;
    WIN32_FIND_DATAA data = {};
    CFindHandle find(FindFirstFileA((dir + "\\*.dmp").c_str(), &data));
    if (!find)
        return found;
    do {
        const DWORD attributes = data.dwFileAttributes;
        const bool plainDirectory = (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
                                    !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        if (!plainDirectory)
            found.push_back(dir + "\\" + data.cFileName);
    } while (FindNextFileA(find.Get(), &data));
    return found;
}

std::string CExceptHandler::PickDumpToDelete(const std::vector<std::string>& dumps)
{
    if (dumps.size() < kKeptDumps)
        return std::string();
    size_t pick = 0;
    std::string pickKey = LowerKey(dumps[0]);
    for (size_t i = 1; i < dumps.size(); ++i) {
        std::string key = LowerKey(dumps[i]);
        if (key < pickKey) {
            pick = i;
            pickKey = std::move(key);
        }
    }
    return dumps[pick];
}

std::string CExceptHandler::DumpFilePath(const std::string& dir, const SYSTEMTIME& time)
{
    char name[64];
    std::snprintf(name, sizeof name, "\\meltrow%04d-%02d-%02d-%02d-%02d-%02d.dmp", time.wYear, time.wMonth,
                  time.wDay, time.wHour, time.wMinute, time.wSecond);
    return dir + name;
}

std::string CExceptHandler::GetExceptionDesc(DWORD code)
{
    switch (code) {
    case 0x80000001: return "GUARD_PAGE";
    case 0x80000002: return "DATATYPE_MISALIGNMENT";
    case 0x80000003: return "BREAKPOINT";
    case 0x80000004: return "SINGLE_STEP";
    case 0xC0000005: return "ACCESS_VIOLATION";
    case 0xC0000006: return "IN_PAGE_ERROR";
    case 0xC0000008: return "INVALID_HANDLE";
    case 0xC000001D: return "ILLEGAL_INSTRUCTION";
    case 0xC0000025: return "NONCONTINUABLE_EXCEPTION";
    case 0xC0000026: return "INVALID_DISPOSITION";
    case 0xC000008C: return "ARRAY_BOUNDS_EXCEEDED";
    case 0xC000008D: return "FLT_DENORMAL_OPERAND";
    case 0xC000008E: return "FLT_DIVIDE_BY_ZERO";
    case 0xC000008F: return "FLT_INEXACT_RESULT";
    case 0xC0000090: return "FLT_INVALID_OPERATION";
    case 0xC0000091: return "FLT_OVERFLOW";
    case 0xC0000092: return "FLT_STACK_CHECK";
    case 0xC0000093: return "FLT_UNDERFLOW";
    case 0xC0000094: return "INT_DIVIDE_BY_ZERO";
    case 0xC0000095: return "INT_OVERFLOW";
    case 0xC0000096: return "PRIV_INSTRUCTION";
    case 0xC00000FD: return "STACK_OVERFLOW";
    default: break;
    }
    return ModuleMessageText(GetModuleHandleA("NTDLL.DLL"), code);
}

std::string CExceptHandler::ModuleMessageText(HMODULE module, DWORD code)
{
    char text[261] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, module, code, 0,
                                   text, sizeof text - 1, nullptr);
    std::string desc(text, n < sizeof text ? n : sizeof text - 1);
    // Message texts end with a line break, which would split the log line.
    while (!desc.empty() && (desc.back() == '\n' || desc.back() == '\r' || desc.back() == ' '))
        desc.pop_back();
    return desc;
}

bool CExceptHandler::GetLogicalAddress(const void* address, std::string& module, DWORD& section, DWORD& offset)
{
    module.clear();
    section = 0;
    offset = 0;
    MEMORY_BASIC_INFORMATION info = {};
    if (VirtualQuery(address, &info, sizeof info) == 0 || !info.AllocationBase)
        return false;
    auto base = static_cast<HMODULE>(info.AllocationBase);
    char path[MAX_PATH + 1] = {};
    if (GetModuleFileNameA(base, path, MAX_PATH) == 0)
        return false;
    module = path;

    const auto* bytes = reinterpret_cast<const unsigned char*>(base);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(bytes + dos->e_lfanew);
    const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
    const uintptr_t rva = reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(bytes);
    for (unsigned i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
        const IMAGE_SECTION_HEADER& s = sections[i];
        const uintptr_t start = s.VirtualAddress;
        const uintptr_t length = s.Misc.VirtualSize > s.SizeOfRawData ? s.Misc.VirtualSize : s.SizeOfRawData;
        if (rva >= start && rva <= start + length) {
            section = i + 1;
            offset = static_cast<DWORD>(rva - start);
            return true;
        }
    }
    return true;
}

std::vector<CExceptHandler::StackFrame> CExceptHandler::WalkFrameChain(uint32_t pc, uint32_t frame)
{
    // A chain that only ever climbs ends at the top of the stack; the cap keeps a corrupted
    // chain through writable heap memory from flooding the log.
    constexpr size_t kMaxFrames = 1024;
    std::vector<StackFrame> frames;
    frames.push_back({pc, frame});
    while (frames.size() < kMaxFrames && EightBytesWritable(frame)) {
        const auto* words = reinterpret_cast<const uint32_t*>(static_cast<uintptr_t>(frame));
        const uint32_t nextFrame = words[0];
        const uint32_t nextPc = words[1];
        if ((nextFrame & 3) != 0 || nextFrame <= frame || !EightBytesWritable(nextFrame))
            break;
        frame = nextFrame;
        pc = nextPc;
        frames.push_back({pc, frame});
    }
    return frames;
}

LONG WINAPI CExceptHandler::TopLevelFilter(EXCEPTION_POINTERS* info)
{
    OnCatchException(info);
    GenerateExceptionReport(info);
    return EXCEPTION_EXECUTE_HANDLER;
}

void CExceptHandler::GenerateExceptionReport(EXCEPTION_POINTERS* info)
{
    const char* fn = "CExceptHandler::GenerateExceptionReport";
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    const CONTEXT* context = info->ContextRecord;
    WriteLog(LOG_ERROR, kSource, __LINE__, fn, "GenerateExceptionReport......");
    WriteLog(LOG_ERROR, kSource, __LINE__, fn, "ExceptionCode=%08X ExceptionDesc=%s",
             static_cast<unsigned>(record->ExceptionCode), GetExceptionDesc(record->ExceptionCode).c_str());
    std::string module;
    DWORD section = 0;
    DWORD offset = 0;
    GetLogicalAddress(record->ExceptionAddress, module, section, offset);
    WriteLog(LOG_ERROR, kSource, __LINE__, fn, "Fault Address: %08X %02X:%08X %s",
             static_cast<unsigned>(reinterpret_cast<uintptr_t>(record->ExceptionAddress)),
             static_cast<unsigned>(section), static_cast<unsigned>(offset), module.c_str());
#if defined(__i386__)
    WriteLog(LOG_ERROR, kSource, __LINE__, fn,
             "Registers: EAX=%08X EBX=%08X ECX=%08X EDX=%08X ESI=%08X EDI=%08X.",
             static_cast<unsigned>(context->Eax), static_cast<unsigned>(context->Ebx),
             static_cast<unsigned>(context->Ecx), static_cast<unsigned>(context->Edx),
             static_cast<unsigned>(context->Esi), static_cast<unsigned>(context->Edi));
    WriteLog(LOG_ERROR, kSource, __LINE__, fn, "Registers: CS:EIP=%04X:%08X SS:ESP=%04X:%08X.",
             static_cast<unsigned>(context->SegCs), static_cast<unsigned>(context->Eip),
             static_cast<unsigned>(context->SegSs), static_cast<unsigned>(context->Esp));
    WriteLog(LOG_ERROR, kSource, __LINE__, fn, "Registers: DS=%04X ES=%04X FS=%04X GS=%04X Flags=%08X.",
             static_cast<unsigned>(context->SegDs), static_cast<unsigned>(context->SegEs),
             static_cast<unsigned>(context->SegFs), static_cast<unsigned>(context->SegGs),
             static_cast<unsigned>(context->EFlags));
#endif
    IntelStackWalk(context);
    WriteLog(LOG_INFO, kSource, __LINE__, fn, "GenerateExceptionReport TerminateProcess");
    TerminateProcess(GetCurrentProcess(), 0xFFFFFFFF);
}

void CExceptHandler::IntelStackWalk(const CONTEXT* context)
{
    const char* fn = "CExceptHandler::IntelStackWalk";
    WriteLog(LOG_ERROR, kSource, __LINE__, fn, "IntelStackWalk Call Stack......");
#if defined(__i386__)
    for (const StackFrame& f : WalkFrameChain(context->Eip, context->Ebp)) {
        std::string module;
        DWORD section = 0;
        DWORD offset = 0;
        GetLogicalAddress(reinterpret_cast<const void*>(static_cast<uintptr_t>(f.pc)), module, section, offset);
        WriteLog(LOG_ERROR, kSource, __LINE__, fn, "Addr=%08X Frame=%08X LogicalAddr=%04X:%08X Module=%s.",
                 static_cast<unsigned>(f.pc), static_cast<unsigned>(f.frame), static_cast<unsigned>(section),
                 static_cast<unsigned>(offset), module.c_str());
    }
#else
    (void)context;
#endif
}

void __cdecl CExceptHandler::myInvalidParameterHandler(const wchar_t* expression, const wchar_t* function,
                                                       const wchar_t* file, unsigned line, uintptr_t /*reserved*/)
{
    WriteLog(LOG_ERROR, kSource, __LINE__, "CExceptHandler::myInvalidParameterHandler",
             "myInvalidParameterHandler:Expression=%s,Function=%s,File=%s,Line=%d", Narrow(expression).c_str(),
             Narrow(function).c_str(), Narrow(file).c_str(), static_cast<int>(line));
    throw 1;
}

void __cdecl CExceptHandler::myPurecallHandler()
{
    WriteLog(LOG_ERROR, kSource, __LINE__, "CExceptHandler::myPurecallHandler", "myPurecallHandler");
    throw 1;
}
