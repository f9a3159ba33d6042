#include "../ustd/TestLog.h"
#include "UI/UserUIMessageT.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// A minimal native window whose procedure hands every message to the UI-call hook first,
// as the framework's window procedures do.
class CProbeWnd : public CUserUIMessageT<CProbeWnd> {
public:
    CProbeWnd()
    {
        Register();
        hwnd_ = CreateWindowExA(0, kClass, "UI call probe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, GetModuleHandleA(nullptr), this);
    }
    ~CProbeWnd()
    {
        if (hwnd_)
            DestroyWindow(hwnd_);
    }
    HWND Hwnd() const { return hwnd_; }
    void Destroy()
    {
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }

    // What the calls did, in order, with the thread each ran on.
    std::vector<std::string> ran;
    std::vector<DWORD> ranOn;
    int unhandled1074 = 0; // the message reached the ordinary handling afterwards

private:
    static constexpr const char* kClass = "TwUserUiProbe";
    static void Register()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &CProbeWnd::WndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassA(&wc); // fails harmlessly once registered
    }
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
        auto* self = reinterpret_cast<CProbeWnd*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self) {
            self->UserMessageHook(hwnd, msg, wp, lp);
            if (msg == WM_USER_UI_CALL)
                ++self->unhandled1074;
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }

    HWND hwnd_ = nullptr;
};

// Runs the UI thread's message loop for a while.
void Pump(DWORD ms)
{
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    } while (GetTickCount() - start < ms);
}

CProbeWnd::UserMessageFunc Recorder(const std::string& what)
{
    return [what](CProbeWnd& wnd) {
        wnd.ran.push_back(what);
        wnd.ranOn.push_back(GetCurrentThreadId());
        return true;
    };
}

} // namespace

TEST(UserUIMessage, CallsFromAWorkerRunOnTheUIThreadInPostingOrder)
{
    CProbeWnd wnd;
    ASSERT_NE(nullptr, wnd.Hwnd());
    ASSERT_EQ(wnd.Hwnd(), wnd.UserMessageWindow());
    std::vector<bool> posted;
    std::thread worker([&] {
        for (const char* name : {"One", "Two", "Three"})
            posted.push_back(wnd.PostUserMessage(Recorder(name), name));
    });
    worker.join();
    Pump(100);
    EXPECT_EQ((std::vector<bool>{true, true, true}), posted);
    EXPECT_EQ((std::vector<std::string>{"One", "Two", "Three"}), wnd.ran);
    for (DWORD id : wnd.ranOn)
        EXPECT_EQ(GetCurrentThreadId(), id);
    EXPECT_EQ(3, wnd.unhandled1074);
}

TEST(UserUIMessage, PostFromTheUIThreadRunsLaterFromTheLoop)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.PostUserMessage(Recorder("Later"), "Later"));
    EXPECT_TRUE(wnd.ran.empty()) << "the call ran inside the post";
    Pump(50);
    EXPECT_EQ((std::vector<std::string>{"Later"}), wnd.ran);
}

TEST(UserUIMessage, ClosingWindowRefusesPostsAndDropsQueuedCallsUnrun)
{
    CProbeWnd wnd;
    auto queued = std::make_shared<int>(0);
    ASSERT_TRUE(wnd.PostUserMessage([queued](CProbeWnd& w) { w.ran.push_back("queued"); return true; }, "Queued"));
    wnd.SetClosing(); // as the close button does, before WM_CLOSE

    auto refused = std::make_shared<int>(0);
    EXPECT_FALSE(wnd.PostUserMessage([refused](CProbeWnd& w) { w.ran.push_back("refused"); return true; }, "Refused"));
    EXPECT_EQ(1, refused.use_count()) << "a refused call is destroyed at once";
    Pump(50);
    EXPECT_TRUE(wnd.ran.empty());
    EXPECT_EQ(1, queued.use_count()) << "the queued call is destroyed when its message arrives";
    EXPECT_TRUE(wnd.IsClosing());
}

TEST(UserUIMessage, WindowWithoutNativeHandleRefusesPosts)
{
    CProbeWnd wnd;
    wnd.Destroy();
    EXPECT_EQ(nullptr, wnd.UserMessageWindow()) << "WM_NCDESTROY clears the handle copy";
    auto token = std::make_shared<int>(0);
    EXPECT_FALSE(wnd.PostUserMessage([token](CProbeWnd&) { return true; }, "TooLate"));
    EXPECT_EQ(1, token.use_count());
}

TEST(UserUIMessage, SlowCallIsReportedAfterItFinished)
{
    CProbeWnd wnd;
    LogCapture log;
    ASSERT_TRUE(wnd.PostUserMessage([](CProbeWnd&) { Sleep(150); return true; }, "QuickCall"));
    ASSERT_TRUE(wnd.PostUserMessage([](CProbeWnd& w) { Sleep(700); w.ran.push_back("slow"); return true; }, "SlowCall"));
    Pump(1200);
    ASSERT_EQ((std::vector<std::string>{"slow"}), wnd.ran);
    const auto warnings = log.Find("Warning", "ExecuteUserMessage");
    ASSERT_EQ(1u, warnings.size());
    EXPECT_EQ("ExecuteUserMessage [SlowCall] timeout", warnings[0]);
}

TEST(UserUIMessage, SlowMeansMoreThan500MsAcrossATickWrap)
{
    const struct { DWORD start, end; bool slow; } cases[] = {
        {1000, 1500, false}, {1000, 1501, true}, {0xFFFFFF00u, 0x000000F4u, false}, // 500 across the wrap
        {0xFFFFFF00u, 0x000000F5u, true}, {5, 5, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.slow, UserMessageTookTooLong(c.start, c.end)) << c.start << " -> " << c.end;
}
