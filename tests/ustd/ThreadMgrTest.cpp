#include "TestLog.h"
#include "ustd/TestAliveMgr.h"
#include "ustd/ThreadMgr.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// A manager that records what its worker did.
class CProbeMgr : public CThreadMgr<CProbeMgr> {
public:
    explicit CProbeMgr(const char* name = "ProbeMgr", bool initResult = true)
        : CThreadMgr<CProbeMgr>(name), initResult_(initResult)
    {
    }
    ~CProbeMgr() override { Stop(); }

    bool Init() override
    {
        workerId = GetCurrentThreadId();
        Record("Init");
        return initResult_;
    }
    void Uninit() override
    {
        uninitThread = GetCurrentThreadId();
        Record("Uninit");
    }
    void OnIdle() override
    {
        ++idleCount;
        if (recordIdle)
            Record("Idle");
    }

    void Record(const std::string& what)
    {
        std::lock_guard<std::mutex> guard(lock_);
        events_.push_back(what);
    }
    std::vector<std::string> Events()
    {
        std::lock_guard<std::mutex> guard(lock_);
        return events_;
    }
    // Events other than idle calls.
    std::vector<std::string> Commands()
    {
        std::vector<std::string> out;
        for (auto& e : Events())
            if (e != "Idle" && e != "Init")
                out.push_back(e);
        return out;
    }
    std::string HangTextForTest() const { return HangText(); }

    std::atomic<DWORD> workerId{0};
    std::atomic<DWORD> uninitThread{0};
    std::atomic<int> idleCount{0};
    std::atomic<bool> recordIdle{false};

private:
    bool initResult_;
    std::mutex lock_;
    std::vector<std::string> events_;
};

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(5);
    }
    return true;
}

// Holds the worker inside a command until released.
struct Gate {
    CKernelHandle entered{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    CKernelHandle release{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    CThreadMgr<CProbeMgr>::Func Command()
    {
        return [this](CProbeMgr&) {
            SetEvent(entered.Get());
            WaitForSingleObject(release.Get(), 10000);
            return true;
        };
    }
    void WaitEntered() { ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(entered.Get(), 5000)); }
    void Open() { SetEvent(release.Get()); }
};

} // namespace

TEST(ThreadMgr, PostBeforeCreateIsRefusedAndDestroysTheCallable)
{
    CProbeMgr mgr;
    auto token = std::make_shared<int>(0);
    EXPECT_FALSE(mgr.PostFunc([token](CProbeMgr&) { return true; }, "Early"));
    EXPECT_EQ(1, token.use_count());
    EXPECT_EQ(CProbeMgr::kConstructed, mgr.GetState());
}

TEST(ThreadMgr, CommandsRunOnTheWorkerOneAfterAnotherInPostingOrder)
{
    CProbeMgr mgr;
    ASSERT_TRUE(mgr.Create(CProbeMgr::kNotWatched));
    EXPECT_EQ(CProbeMgr::kRunning, mgr.GetState());
    EXPECT_EQ(mgr.workerId.load(), mgr.GetThreadId());
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false};
    std::atomic<bool> offWorker{false};
    for (const char* name : {"A", "B", "C"}) {
        ASSERT_TRUE(mgr.PostFunc(
            [&, name](CProbeMgr& self) {
                if (running++ != 0)
                    overlapped = true;
                if (GetCurrentThreadId() != self.workerId)
                    offWorker = true;
                Sleep(30);
                self.Record(name);
                --running;
                return true;
            },
            name));
    }
    ASSERT_TRUE(WaitFor([&] { return mgr.Commands().size() == 3; }));
    EXPECT_EQ((std::vector<std::string>{"A", "B", "C"}), mgr.Commands());
    EXPECT_FALSE(overlapped);
    EXPECT_FALSE(offWorker);
}

TEST(ThreadMgr, CommandPostedByTheOnlyQueuedCommandRunsAfterItAndAfterAnIdleCall)
{
    CProbeMgr mgr;
    ASSERT_TRUE(mgr.Create(CProbeMgr::kNotWatched));
    mgr.recordIdle = true;
    ASSERT_TRUE(mgr.PostFunc(
        [](CProbeMgr& self) {
            self.Record("first:start");
            self.PostFunc([](CProbeMgr& s) { s.Record("second"); return true; }, "Second");
            Sleep(50); // the posted command must not run inside this one
            self.Record("first:end");
            return true;
        },
        "First"));
    ASSERT_TRUE(WaitFor([&] { return mgr.Commands().size() == 3; }));
    const auto events = mgr.Events();
    auto at = [&](const std::string& what) { return std::find(events.begin(), events.end(), what) - events.begin(); };
    EXPECT_EQ((std::vector<std::string>{"first:start", "first:end", "second"}), mgr.Commands());
    const auto idleBetween = std::find(events.begin() + at("first:end"), events.begin() + at("second"), "Idle");
    EXPECT_NE(events.begin() + at("second"), idleBetween) << "no idle call between the two commands";
}

TEST(ThreadMgr, IdleHookRunsAboutFiftyTimesASecondWhenNothingIsQueued)
{
    CProbeMgr mgr;
    ASSERT_TRUE(mgr.Create(CProbeMgr::kNotWatched));
    const int before = mgr.idleCount;
    Sleep(1000);
    const int calls = mgr.idleCount - before;
    // 20 ms waits: about 50; a worker that spins would make thousands, one that never wakes none.
    EXPECT_GE(calls, 15);
    EXPECT_LE(calls, 70);
}

TEST(ThreadMgr, StopEndsTheWorkerAfterUninitAndDiscardsQueuedCommandsUnrun)
{
    CProbeMgr mgr;
    ASSERT_TRUE(mgr.Create(CProbeMgr::kNotWatched));
    Gate gate;
    ASSERT_TRUE(mgr.PostFunc(gate.Command(), "Blocker"));
    gate.WaitEntered();
    // Posted while the pass runs its last command: they wait for a pass that never comes.
    auto token = std::make_shared<int>(0);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(mgr.PostFunc([token](CProbeMgr& self) { self.Record("late"); return true; }, "Late"));
    std::thread stopper([&] { mgr.Stop(); });
    ASSERT_TRUE(WaitFor([&] { return mgr.GetState() == CProbeMgr::kStopping; }));
    gate.Open();
    stopper.join();

    EXPECT_EQ(CProbeMgr::kEnded, mgr.GetState());
    EXPECT_EQ(mgr.workerId.load(), mgr.uninitThread.load());
    EXPECT_EQ(0u, mgr.GetThreadId());
    EXPECT_EQ(1, token.use_count()) << "queued commands must be destroyed by Stop";
    EXPECT_EQ((std::vector<std::string>{"Uninit"}), mgr.Commands());
    EXPECT_FALSE(mgr.PostFunc([](CProbeMgr&) { return true; }, "AfterStop"));
}

TEST(ThreadMgr, StopFromTheWorkerRaisesResourceDeadlock)
{
    CProbeMgr mgr;
    ASSERT_TRUE(mgr.Create(CProbeMgr::kNotWatched));
    std::atomic<int> code{0};
    ASSERT_TRUE(mgr.PostFunc(
        [&](CProbeMgr& self) {
            try {
                self.Stop();
                code = -1;
            } catch (const std::system_error& e) {
                code = e.code() == std::errc::resource_deadlock_would_occur ? 1 : -2;
            }
            return true;
        },
        "SelfStop"));
    ASSERT_TRUE(WaitFor([&] { return code != 0; }));
    EXPECT_EQ(1, code.load());
    EXPECT_EQ(CProbeMgr::kRunning, mgr.GetState()) << "the failed Stop must leave the manager running";
}

TEST(ThreadMgr, InitFailureMakesCreateFailAndIsLogged)
{
    LogCapture log;
    CProbeMgr mgr("FailingMgr", false);
    EXPECT_FALSE(mgr.Create(0));
    EXPECT_EQ(CProbeMgr::kInitFailed, mgr.GetState());
    EXPECT_FALSE(mgr.PostFunc([](CProbeMgr&) { return true; }, "Refused"));
    EXPECT_EQ(1u, log.Find("Error", "Mgr Init Failed.").size());
}

TEST(ThreadMgr, SlowCommandIsReportedWithItsNameAndPoster)
{
    CProbeMgr mgr("SlowMgr");
    ASSERT_TRUE(mgr.Create(CProbeMgr::kNotWatched));
    LogCapture log;
    std::atomic<int> done{0};
    mgr.PostFunc([&](CProbeMgr&) { Sleep(300); ++done; return true; }, "Quick");
    mgr.PostFunc([&](CProbeMgr&) { Sleep(700); ++done; return true; }, "Slow");
    ASSERT_TRUE(WaitFor([&] { return done == 2; }));
    Sleep(50);
    const auto warnings = log.Find("Warning", "ThreadMgr[SlowMgr]");
    ASSERT_EQ(1u, warnings.size());
    char poster[32];
    std::snprintf(poster, sizeof poster, ",OwnThreadId=0x%04x.", static_cast<unsigned>(GetCurrentThreadId()));
    EXPECT_EQ(0u, warnings[0].find("ThreadMgr[SlowMgr] 处理Func[Slow]过长,使用"));
    EXPECT_NE(std::string::npos, warnings[0].find(poster)) << warnings[0];
    const int used = std::atoi(warnings[0].c_str() + warnings[0].find("使用") + std::strlen("使用"));
    EXPECT_GE(used, 690);
    EXPECT_LT(used, 2000);
}

TEST(ThreadMgr, QueueBeyond512CommandsIsReported)
{
    CProbeMgr mgr("BusyMgr");
    ASSERT_TRUE(mgr.Create(CProbeMgr::kNotWatched));
    Gate gate;
    ASSERT_TRUE(mgr.PostFunc(gate.Command(), "Blocker"));
    gate.WaitEntered();
    LogCapture log;
    std::atomic<int> ran{0};
    for (int i = 0; i < 512; ++i)
        ASSERT_TRUE(mgr.PostFunc([&](CProbeMgr&) { ++ran; return true; }, "Fill"));
    EXPECT_TRUE(log.Find("Warning", "PostCommand").empty()) << "512 queued is within the limit";
    ASSERT_TRUE(mgr.PostFunc([&](CProbeMgr&) { ++ran; return true; }, "Extra"));
    const auto warnings = log.Find("Warning", "PostCommand");
    ASSERT_EQ(1u, warnings.size());
    char expected[128];
    std::snprintf(expected, sizeof expected, "Mgr[%04x BusyMgr] PostCommand MoreCmdCount=513,Cmd[Extra],ExecCmd[Blocker].",
                  static_cast<unsigned>(mgr.GetThreadId()));
    EXPECT_EQ(expected, warnings[0]);
    gate.Open();
    ASSERT_TRUE(WaitFor([&] { return ran == 513; }));
}

TEST(ThreadMgr, FreshManagerIsNotHungAndItsHangTextNamesIt)
{
    CProbeMgr mgr("TextMgr");
    ASSERT_TRUE(mgr.Create(CProbeMgr::kNotWatched));
    std::string info = "untouched";
    EXPECT_FALSE(mgr.CheckTimeout(info));
    EXPECT_EQ("untouched", info);
    char expected[96];
    std::snprintf(expected, sizeof expected, "ThreadId=0x%04x,Name=TextMgr,Func=OnIdle,Detail=.",
                  static_cast<unsigned>(mgr.GetThreadId()));
    ASSERT_TRUE(WaitFor([&] { return mgr.idleCount > 0; }));
    EXPECT_EQ(expected, mgr.HangTextForTest());
}

TEST(ThreadMgrRegistry, FirstManagerStartsTheWatchdogAndTheLastOneEndsIt)
{
    ASSERT_EQ(0, CThreadMgrBase::ManagerCount());
    ASSERT_EQ(nullptr, PeekTestAliveMgr());
    LogCapture log;
    auto first = std::make_unique<CProbeMgr>("FirstMgr");
    EXPECT_EQ(2, CThreadMgrBase::ManagerCount());
    CTestAliveMgr* watchdog = PeekTestAliveMgr();
    ASSERT_NE(nullptr, watchdog);
    EXPECT_EQ(CTestAliveMgr::kRunning, watchdog->GetState());
    auto second = std::make_unique<CProbeMgr>("SecondMgr");
    EXPECT_EQ(3, CThreadMgrBase::ManagerCount());
    EXPECT_EQ(watchdog, PeekTestAliveMgr()) << "one watchdog for all managers";

    first.reset();
    EXPECT_EQ(watchdog, PeekTestAliveMgr());
    second.reset();
    EXPECT_EQ(nullptr, PeekTestAliveMgr());
    EXPECT_EQ(0, CThreadMgrBase::ManagerCount());

    // ("Thread Create Mgr=" lines of Create also contain the text.)
    std::vector<std::string> created;
    for (const auto& line : log.Find("Info", "Create Mgr="))
        if (line.rfind("Create Mgr=", 0) == 0)
            created.push_back(line);
    ASSERT_EQ(3u, created.size());
    EXPECT_EQ(0u, created[0].find("Create Mgr=FirstMgr, this=0x"));
    EXPECT_NE(std::string::npos, created[0].find(", MgrCnt=1."));
    EXPECT_EQ(0u, created[1].find("Create Mgr=TestAliveMgr, this=0x"));
    EXPECT_NE(std::string::npos, created[1].find(", MgrCnt=1."));
    EXPECT_NE(std::string::npos, created[2].find(", MgrCnt=3."));
    const auto destroyed = log.Find("Info", "Destroy Mgr=");
    ASSERT_EQ(3u, destroyed.size());
    EXPECT_EQ(0u, destroyed[0].find("Destroy Mgr=FirstMgr"));
    EXPECT_NE(std::string::npos, destroyed[0].find(", MgrCnt=2"));
    EXPECT_EQ(0u, destroyed[1].find("Destroy Mgr=SecondMgr"));
    EXPECT_NE(std::string::npos, destroyed[1].find(", MgrCnt=1"));
    EXPECT_EQ(0u, destroyed[2].find("Destroy Mgr=TestAliveMgr"));
    EXPECT_NE(std::string::npos, destroyed[2].find(", MgrCnt=0"));

    // A manager created afterwards starts a fresh watchdog.
    CProbeMgr again("AgainMgr");
    EXPECT_NE(nullptr, PeekTestAliveMgr());
}
