#include "ChildProcess.h"
#include "TestLog.h"
#include "support/TempDir.h"
#include "ustd/ExceptHandler.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD kCrashExit = 0xFFFFFFFF;

// Index of the first message at or after from that contains needle, or npos.
size_t IndexOf(const std::vector<LogEntry>& entries, const std::string& needle, size_t from = 0)
{
    for (size_t i = from; i < entries.size(); ++i)
        if (entries[i].message.find(needle) != std::string::npos)
            return i;
    return std::string::npos;
}

// The log lines must appear in this order (each found after the previous).
void ExpectInOrder(const std::vector<LogEntry>& entries, const std::vector<std::string>& needles)
{
    size_t at = 0;
    for (const auto& needle : needles) {
        const size_t found = IndexOf(entries, needle, at);
        ASSERT_NE(std::string::npos, found) << "missing, or out of order: " << needle;
        at = found + 1;
    }
}

std::vector<LogEntry> ChildLog(const TempDir& dir)
{
    return ParseLogLines(ReadLogFolder(dir.Path() + "\\log"));
}

// The path in the "Dump File: %s" line.
std::string LoggedDumpPath(const std::vector<LogEntry>& entries)
{
    const size_t at = IndexOf(entries, "Dump File: ");
    return at == std::string::npos ? std::string() : entries[at].message.substr(std::strlen("Dump File: "));
}

bool HasMemoryList(const DumpSummary& dump)
{
    return dump.streams.count(MemoryListStream) || dump.streams.count(Memory64ListStream);
}

} // namespace

TEST(ExceptHandler, ExceptionNamesFromTheTableAndFromTheSystem)
{
    const struct { DWORD code; const char* name; } table[] = {
        {0x80000001, "GUARD_PAGE"}, {0x80000003, "BREAKPOINT"}, {0xC0000005, "ACCESS_VIOLATION"},
        {0xC000001D, "ILLEGAL_INSTRUCTION"}, {0xC000008E, "FLT_DIVIDE_BY_ZERO"},
        {0xC0000094, "INT_DIVIDE_BY_ZERO"}, {0xC0000096, "PRIV_INSTRUCTION"}, {0xC00000FD, "STACK_OVERFLOW"},
    };
    for (const auto& c : table)
        EXPECT_EQ(c.name, CExceptHandler::GetExceptionDesc(c.code)) << std::hex << c.code;

    // Outside the table: the system's text for the status from NTDLL.DLL (this Wine has no
    // message table there, so it may be empty) ...
    EXPECT_EQ(CExceptHandler::ModuleMessageText(GetModuleHandleA("ntdll.dll"), 0xC0000409),
              CExceptHandler::GetExceptionDesc(0xC0000409));
    // ... taken as one line: a module that has a table shows how the text is cut.
    const std::string text = CExceptHandler::ModuleMessageText(GetModuleHandleA("kernelbase.dll"), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(std::string::npos, text.find_first_of("\r\n")) << text;
    EXPECT_EQ("", CExceptHandler::ModuleMessageText(GetModuleHandleA("ntdll.dll"), 0x12345678));
}

TEST(ExceptHandler, OldestDumpIsPickedOnlyWhenThreeArePresent)
{
    const std::vector<std::string> two = {"D\\meltrow2017-03-29-14-05-09.dmp", "D\\meltrow2016-01-01-00-00-00.dmp"};
    EXPECT_EQ("", CExceptHandler::PickDumpToDelete({}));
    EXPECT_EQ("", CExceptHandler::PickDumpToDelete(two));
    // Compared lower-cased: the upper-case name is not "older" for its case alone.
    const std::vector<std::string> three = {"D\\MELTROW2019-05-01-10-00-00.dmp", "D\\meltrow2018-12-31-23-59-59.dmp",
                                            "D\\meltrow2020-01-01-00-00-00.dmp"};
    EXPECT_EQ("D\\meltrow2018-12-31-23-59-59.dmp", CExceptHandler::PickDumpToDelete(three));

    SYSTEMTIME t = {};
    t.wYear = 2017, t.wMonth = 3, t.wDay = 29, t.wHour = 14, t.wMinute = 5, t.wSecond = 9;
    EXPECT_EQ("C:\\x\\Dump\\meltrow2017-03-29-14-05-09.dmp", CExceptHandler::DumpFilePath("C:\\x\\Dump", t));
}

TEST(ExceptHandler, LogicalAddressNamesModuleSectionAndOffset)
{
    std::string module;
    DWORD section = 0;
    DWORD offset = 0;
    const void* code = reinterpret_cast<const void*>(&CExceptHandler::GetLogicalAddress);
    ASSERT_TRUE(CExceptHandler::GetLogicalAddress(code, module, section, offset));
    EXPECT_EQ(ExeFilePath(), module);
    ASSERT_GE(section, 1u);
    // The section found holds the address, and it is the code section.
    const auto* base = reinterpret_cast<const unsigned char*>(GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_SECTION_HEADER& s = IMAGE_FIRST_SECTION(nt)[section - 1];
    EXPECT_EQ(".text", std::string(reinterpret_cast<const char*>(s.Name), 5));
    EXPECT_EQ(static_cast<uintptr_t>(reinterpret_cast<const unsigned char*>(code) - base), s.VirtualAddress + offset);

    // Heap memory is in no module.
    std::vector<char> heap(64);
    module = "stale";
    EXPECT_FALSE(CExceptHandler::GetLogicalAddress(heap.data(), module, section, offset));
    EXPECT_EQ("", module);
    EXPECT_EQ(0u, section);
    EXPECT_EQ(0u, offset);
}

TEST(ExceptHandler, FrameWalkStopsAtTheFirstBadFramePointer)
{
    // Two pages: a writable one holding the frames, then a read-only one.
    auto* page = static_cast<uint32_t*>(VirtualAlloc(nullptr, 0x2000, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(nullptr, page);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(reinterpret_cast<char*>(page) + 0x1000, 0x1000, PAGE_READONLY, &old));
    const auto addr = [&](size_t word) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(page + word)); };
    const uint32_t readOnly = addr(0x1000 / 4 + 8);

    struct Case {
        const char* what;
        uint32_t lastNext; // what the third frame points on to
        size_t frames;     // frames walked
    } cases[] = {
        {"misaligned", addr(40) + 2, 3},
        {"not above", addr(4), 3},
        {"equal", addr(32), 3},
        {"read-only", readOnly, 3},
        {"unmapped", 0x10, 3},
        {"good fourth frame", addr(48), 4},
    };
    for (const auto& c : cases) {
        // frame 0 at word 8 -> word 16 -> word 32 -> lastNext
        page[8] = addr(16), page[9] = 0x401111;
        page[16] = addr(32), page[17] = 0x402222;
        page[32] = c.lastNext, page[33] = 0x403333;
        page[48] = 0, page[49] = 0x404444; // a fourth frame ends the chain at 0
        const auto frames = CExceptHandler::WalkFrameChain(0x400000, addr(8));
        ASSERT_EQ(c.frames, frames.size()) << c.what;
        EXPECT_EQ(0x400000u, frames[0].pc);
        EXPECT_EQ(addr(16), frames[1].frame);
        EXPECT_EQ(0x401111u, frames[1].pc);
        EXPECT_EQ(0x402222u, frames[2].pc);
    }
    // A first frame pointer that is no memory at all is logged, never read.
    EXPECT_EQ(1u, CExceptHandler::WalkFrameChain(0x400000, 0).size());
    EXPECT_EQ(1u, CExceptHandler::WalkFrameChain(0x400000, readOnly).size());
    VirtualFree(page, 0, MEM_RELEASE);
}

TEST(ExceptHandlerProcess, ThrownExceptionInACommandIsLoggedDumpedAndEndsTheProcess)
{
    TempDir dir;
    const std::string exe = PlaceChild(dir.Path(), "CrashProbe.exe");
    DWORD code = 0;
    ASSERT_TRUE(RunChild(exe, "throw", 60000, code));
    EXPECT_EQ(kCrashExit, code);

    const auto log = ChildLog(dir);
    ExpectInOrder(log, {",Name=CrashMgr,Func=ThrowingCmd,Detail=..",
                        "ThreadMgrSEHExceptionHandle ExceptionCode=0xe06d7363 ExceptionFlags=1,",
                        "ProcessException 应用程序初始化失败 ExceptionFlags=1 ExceptionAddress=",
                        "ProcessException 当前使用内存=", "Dump File: ", "Create Dump File "});
    EXPECT_EQ(0u, log[IndexOf(log, ",Func=ThrowingCmd,")].message.find("ThreadMgrSEHExceptionHandle Info=ThreadId=0x"));
    EXPECT_EQ(std::string::npos, IndexOf(log, "Exception Step=")) << "the loop's filter ends it first";

    const std::string path = LoggedDumpPath(log);
    const auto dumps = ListFiles(dir.Path() + "\\Dump", "*.dmp");
    ASSERT_EQ(1u, dumps.size());
    EXPECT_EQ(dumps[0], path);
    const std::string name = LastPathComponent(path);
    EXPECT_EQ(0u, name.find("meltrow"));
    EXPECT_EQ(std::string("meltrowYYYY-MM-DD-hh-mm-ss.dmp").size(), name.size());

    const DumpSummary dump = ReadDump(path);
    ASSERT_TRUE(dump.valid);
    EXPECT_TRUE(dump.streams.count(ThreadListStream));
    EXPECT_TRUE(dump.streams.count(ModuleListStream));
    EXPECT_TRUE(HasMemoryList(dump));
    std::printf("[ dump    ] %s holds %s\n", name.c_str(),
                dump.streams.count(Memory64ListStream) ? "Memory64ListStream (9)" : "MemoryListStream (5)");
}

TEST(ExceptHandlerProcess, ThrowInInitIsReportedWithTheRoutineStep)
{
    TempDir dir;
    DWORD code = 0;
    ASSERT_TRUE(RunChild(PlaceChild(dir.Path(), "InitProbe.exe"), "initthrow", 60000, code));
    EXPECT_EQ(kCrashExit, code);
    const auto log = ChildLog(dir);
    ExpectInOrder(log, {"ThreadMgrSEHExceptionHandle ThreadMgr Exception Step=0.",
                        "ThreadMgrSEHExceptionHandle ExceptionCode=0xe06d7363", "ProcessException 应用程序初始化失败",
                        "Dump File: "});
    EXPECT_EQ(1u, ListFiles(dir.Path() + "\\Dump", "*.dmp").size());
}

TEST(ExceptHandlerProcess, AccessViolationPassesBothFiltersToTheProcessLevel)
{
    TempDir dir;
    DWORD code = 0;
    ASSERT_TRUE(RunChild(PlaceChild(dir.Path(), "FaultProbe.exe"), "av", 60000, code));
    EXPECT_EQ(0x4Du, code) << "the child's process-level filter was not reached";
    const auto log = ChildLog(dir);
    ExpectInOrder(log, {",Name=CrashMgr,Func=FaultingCmd,Detail=..",
                        "ThreadMgrSEHExceptionHandle ExceptionCode=0xc0000005",
                        "ThreadMgrSEHExceptionHandle ThreadMgr Exception Step=2.",
                        "ThreadMgrSEHExceptionHandle ExceptionCode=0xc0000005", "ProcessLevelFilter Code=C0000005"});
    EXPECT_EQ(0u, log[IndexOf(log, ",Func=FaultingCmd,")].message.find("ThreadMgrSEHExceptionHandle Info=ThreadId=0x"));
    EXPECT_EQ(std::string::npos, IndexOf(log, "ProcessException"));
    EXPECT_FALSE(PathExists(dir.Path() + "\\Dump")) << "no dump unless the hooks were installed";
}

TEST(ExceptHandlerProcess, AccessViolationWithHooksInstalledIsDumpedAndReported)
{
    TempDir dir;
    DWORD code = 0;
    ASSERT_TRUE(RunChild(PlaceChild(dir.Path(), "HookedProbe.exe"), "avhooked", 60000, code));
    EXPECT_EQ(kCrashExit, code);
    const auto log = ChildLog(dir);
    ExpectInOrder(log, {"ThreadMgrSEHExceptionHandle ExceptionCode=0xc0000005",
                        "ThreadMgrSEHExceptionHandle ThreadMgr Exception Step=2.", "Dump File: ",
                        "Create Dump File ", "GenerateExceptionReport......",
                        "ExceptionCode=C0000005 ExceptionDesc=ACCESS_VIOLATION", "Fault Address: ",
                        "Registers: EAX=", "Registers: CS:EIP=", "Registers: DS=", "IntelStackWalk Call Stack......",
                        "Addr=", "GenerateExceptionReport TerminateProcess"});
    // The faulting code is in the child itself.
    const size_t fault = IndexOf(log, "Fault Address: ");
    ASSERT_NE(std::string::npos, fault);
    EXPECT_NE(std::string::npos, log[fault].message.find("HookedProbe.exe")) << log[fault].message;

    const DumpSummary dump = ReadDump(LoggedDumpPath(log));
    ASSERT_TRUE(dump.valid);
    EXPECT_TRUE(dump.streams.count(ThreadListStream));
    EXPECT_TRUE(dump.streams.count(ModuleListStream));
    EXPECT_TRUE(HasMemoryList(dump));
    EXPECT_EQ(0xC0000005u, dump.exceptionCode);
}

TEST(ExceptHandlerProcess, ThreeDumpsAreKeptByDeletingTheOldest)
{
    TempDir dir;
    const std::string dumpDir = dir.Path() + "\\Dump";
    MakeDirs(dumpDir);
    const std::string oldest = dumpDir + "\\meltrow2017-03-29-14-05-09.dmp";
    const std::string older = dumpDir + "\\meltrow2018-01-02-03-04-05.dmp";
    WriteTextFile(oldest, "x");
    WriteTextFile(older, "x");
    const std::string exe = PlaceChild(dir.Path(), "RotateProbe.exe");

    // Two present: none deleted.
    DWORD code = 0;
    ASSERT_TRUE(RunChild(exe, "throw", 60000, code));
    EXPECT_EQ(kCrashExit, code);
    EXPECT_EQ(3u, ListFiles(dumpDir, "*.dmp").size());
    EXPECT_EQ(std::string::npos, IndexOf(ChildLog(dir), "Delete Dump File"));

    Sleep(1100); // the next dump gets a name of its own
    ASSERT_TRUE(RunChild(exe, "throw", 60000, code));
    const auto log = ChildLog(dir);
    const size_t deleted = IndexOf(log, "Delete Dump File: ");
    ASSERT_NE(std::string::npos, deleted);
    EXPECT_EQ("Delete Dump File: " + oldest, log[deleted].message);
    EXPECT_EQ(std::string::npos, IndexOf(log, "Delete Dump File: ", deleted + 1));
    const auto left = ListFiles(dumpDir, "*.dmp");
    EXPECT_EQ(3u, left.size());
    EXPECT_FALSE(PathExists(oldest));
    EXPECT_TRUE(PathExists(older));
}

TEST(ExceptHandlerProcess, ReportLibraryTakesTheRuntimeHooks)
{
    TempDir dir;
    const std::string exe = PlaceChild(dir.Path(), "BreakpadProbe.exe");
    ASSERT_TRUE(CopyFileA(BuiltProgram("fake_breakpad.dll").c_str(), (dir.Path() + "\\breakpad.dll").c_str(), FALSE));
    DWORD code = 0;
    ASSERT_TRUE(RunChild(exe, "breakpad", 30000, code));
    EXPECT_EQ(0u, code) << "bits: 1 library not used, 2 InstallCrashReport call, 4 pure-call hook, "
                           "8 invalid-parameter stand-in, 16 process filter";
}
