#include "ChildProcess.h"
#include "TestLog.h"
#include "support/TempDir.h"
#include "ustd/ModulePath.h"
#include "ustd/TestAliveMgr.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class CPlainMgr : public CThreadMgr<CPlainMgr> {
public:
    CPlainMgr() : CThreadMgr<CPlainMgr>("PlainMgr") {}
    ~CPlainMgr() override { Stop(); }
    bool Init() override { return true; }
    void Uninit() override {}
};

std::string OwnEventName()
{
    return CTestAliveMgr::AliveEventName(ExeFilePath());
}

} // namespace

TEST(TestAliveMgr, EventNameIsTheExecutableFileName)
{
    const struct { const char* path; const char* event; } cases[] = {
        {"C:\\Tarnwell\\Tarnwell.exe", "Global\\Tarnwell.exe.tsa"},
        {"C:/tools/Tarnwell.exe", "Global\\Tarnwell.exe.tsa"},
        {"C:\\tools\\Tarnwell.exe\\\\", "Global\\Tarnwell.exe.tsa"},
        {"Tarnwell.exe", "Global\\Tarnwell.exe.tsa"},
        // 0xB0 0x5C is one double-byte character whose second byte is a backslash.
        {"C:\\\xB0\x5C\\\xB0\x5C.exe", "Global\\\xB0\x5C.exe.tsa"},
        {"C:\\游戏\\清理\xB0\x5C", "Global\\清理\xB0\x5C.tsa"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.event, CTestAliveMgr::AliveEventName(c.path)) << c.path;
    EXPECT_EQ("C:\\\xB0\x5C", ParentPath("C:\\\xB0\x5C\\x.exe"));
    EXPECT_EQ("C:\\a", ParentPath("C:\\a\\\xB0\x5C"));
}

TEST(TestAliveMgr, EventExistsWhileAManagerLivesAndIsClosedAfterTheLast)
{
    const std::string name = OwnEventName();
    EXPECT_EQ(nullptr, OpenEventA(SYNCHRONIZE, FALSE, name.c_str()));
    {
        CPlainMgr mgr;
        ASSERT_TRUE(mgr.Create(CPlainMgr::kNotWatched));
        CKernelHandle event(OpenEventA(SYNCHRONIZE, FALSE, name.c_str()));
        ASSERT_TRUE(event) << name;
        // Signalled within about a second.
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(event.Get(), 2500));
    }
    CKernelHandle after(OpenEventA(SYNCHRONIZE, FALSE, name.c_str()));
    EXPECT_FALSE(after) << "the watchdog must close its event when it stops";
}

TEST(TestAliveMgr, EventCreationFailureLeavesTheManagerRunningWithoutWatchdog)
{
    const std::string name = OwnEventName();
    // An object of another kind holds the name.
    CKernelHandle squatter(CreateMutexA(nullptr, FALSE, name.c_str()));
    ASSERT_TRUE(squatter);
    LogCapture log;
    {
        CPlainMgr mgr;
        ASSERT_TRUE(mgr.Create(0));
        std::atomic<bool> ran{false};
        ASSERT_TRUE(mgr.PostFunc([&](CPlainMgr&) { ran = true; return true; }, "StillWorks"));
        const DWORD start = GetTickCount();
        while (!ran && GetTickCount() - start < 5000)
            Sleep(5);
        EXPECT_TRUE(ran);
    }
    const auto errors = log.Find("Error", "TestAliveMgr CreateEvent Failed");
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(0u, errors[0].find("TestAliveMgr CreateEvent Failed EvtName=" + name + " LastErr="));
    EXPECT_EQ(1u, log.Find("Error", "Mgr Init Failed.").size());
    EXPECT_EQ(0, CThreadMgrBase::ManagerCount());
}

TEST(TestAliveMgrProcess, EventIsSignalledAboutOnceASecondUntilTheLastManagerGoes)
{
    TempDir dir;
    const std::string exe = PlaceChild(dir.Path(), "AliveProbe.exe");
    ChildProcess child(exe, "alive 5000");
    ASSERT_TRUE(child.Started());

    CKernelHandle event;
    const DWORD start = GetTickCount();
    while (!event && GetTickCount() - start < 10000) {
        event.Reset(OpenEventA(SYNCHRONIZE, FALSE, "Global\\AliveProbe.exe.tsa"));
        if (!event)
            Sleep(10);
    }
    ASSERT_TRUE(event);
    std::vector<DWORD> signals;
    while (signals.size() < 20 && WaitForSingleObject(event.Get(), 2500) == WAIT_OBJECT_0)
        signals.push_back(GetTickCount());

    ASSERT_GE(signals.size(), 3u);
    EXPECT_LE(signals.size(), 7u);
    for (size_t i = 1; i < signals.size(); ++i) {
        const DWORD gap = signals[i] - signals[i - 1];
        EXPECT_GE(gap, 900u) << "signal " << i;
        EXPECT_LE(gap, 1800u) << "signal " << i;
    }
    DWORD code = 1;
    DWORD elapsed = 0;
    ASSERT_TRUE(child.Wait(10000, code, elapsed));
    EXPECT_EQ(0u, code);
    // The signals stopped because the manager, and with it the watchdog, went away.
    const auto log = ParseLogLines(ReadLogFolder(dir.Path() + "\\log"));
    const auto destroyed = Matching(log, "Info", "Destroy Mgr=");
    ASSERT_EQ(2u, destroyed.size());
    EXPECT_EQ(0u, destroyed[0].find("Destroy Mgr=AliveMgr"));
    EXPECT_NE(std::string::npos, destroyed[0].find("MgrCnt=1"));
    EXPECT_EQ(0u, destroyed[1].find("Destroy Mgr=TestAliveMgr"));
    EXPECT_NE(std::string::npos, destroyed[1].find("MgrCnt=0"));
}

// Waits out the binding one-minute limit once: about 70 s.
TEST(TestAliveMgrProcess, HungWatchedManagerEndsTheProcessUnwatchedOneNever)
{
    TempDir dir;
    ChildProcess child(PlaceChild(dir.Path(), "HangProbe.exe"), "hang");
    ASSERT_TRUE(child.Started());
    DWORD code = 0;
    DWORD elapsed = 0;
    ASSERT_TRUE(child.Wait(110000, code, elapsed)) << "the watchdog did not end the process";
    EXPECT_EQ(0xFFFFFFFFu, code);
    // The watched command started about 2 s in; the end comes 60 to 70 s after that.
    EXPECT_GE(elapsed, 61000u);
    EXPECT_LE(elapsed, 80000u);
    std::printf("[ hang    ] process ended after %lu ms\n", static_cast<unsigned long>(elapsed));

    const auto log = ParseLogLines(ReadLogFolder(dir.Path() + "\\log"));
    const auto hung = Matching(log, "Error", "线程超时，应用程序退出，Info=");
    ASSERT_EQ(1u, hung.size());
    EXPECT_NE(std::string::npos, hung[0].find(",Name=HangMgr,Func=LongCmd,Detail=.")) << hung[0];
    EXPECT_EQ(0u, hung[0].find("线程超时，应用程序退出，Info=ThreadId=0x"));
    EXPECT_TRUE(Matching(log, "Error", "Name=FreeMgr").empty()) << "the unwatched manager was reported";
    EXPECT_FALSE(PathExists(dir.Path() + "\\Dump")) << "a hang ends the process without a dump";
}
