#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "skinui/ButtonUI.h"
#include "skinui/HorizontalLayoutUI.h"
#include "skinui/PaintHostUI.h"
#include "skinui/TestHostWindow.h"
#include "skinui/VerticalLayoutUI.h"

using namespace SkinUI;

namespace {

using Types = std::vector<std::string>;

// A control that records the events it is given and can be a tab stop.
class CRecorderUI : public CControlUI {
public:
    explicit CRecorderUI(std::vector<std::string>* log, bool tabStop = false) : m_log(log), m_tabStop(tabStop) {}
    UINT GetControlFlags() const override { return m_tabStop ? static_cast<UINT>(UIFLAG_TABSTOP) : 0u; }
    void DoEvent(TControlEvent& event) override
    {
        static const char* names[] = {"?", "keydown", "keyup", "char", "syskey", "move", "leave", "enter",
                                      "hover", "down", "up", "rdown", "dblclick", "menu", "wheel",
                                      "killfocus", "setfocus", "size", "cursor", "timer"};
        m_log->push_back(GetName() + ":" + names[event.Type]);
        if (event.Type == UIEVENT_TIMER)
            lastTimerId = event.wParam;
        if (event.Type == UIEVENT_TIMER && handleTimer)
            return;
        CControlUI::DoEvent(event);
    }
    WPARAM lastTimerId = 0;
    bool handleTimer = false;

private:
    std::vector<std::string>* m_log;
    bool m_tabStop;
};

// A 300 by 100 window: recorders a, b, c side by side (100 px each), all tab stops.
class InputTest : public testing::Test {
protected:
    void SetUp() override
    {
        row = new CHorizontalLayoutUI;
        for (const char* name : {"a", "b", "c"}) {
            auto* r = new CRecorderUI(&log, true);
            r->SetName(name);
            r->SetFixedWidth(100);
            row->Add(r);
            rec.push_back(r);
        }
        window.Attach(row);
        log.clear();
        window.heard.clear();
    }

    // Runs the message loop until pred holds or the time is up.
    template <class Pred>
    bool PumpUntil(Pred pred, DWORD ms = 2000)
    {
        DWORD start = GetTickCount();
        while (!pred()) {
            if (GetTickCount() - start > ms)
                return false;
            CTestHostWindow::Pump();
            Sleep(5);
        }
        return true;
    }

    std::vector<std::string> log;
    CTestHostWindow window{300, 100};
    CHorizontalLayoutUI* row = nullptr;
    std::vector<CRecorderUI*> rec;
};

} // namespace

TEST_F(InputTest, MouseGoesToTheControlUnderThePointAndTheCaptureHolder)
{
    window.MouseMove(50, 50);
    window.MouseMove(150, 50);
    EXPECT_EQ((Types{"a:enter", "a:move", "a:leave", "b:enter", "b:move"}), log);
    EXPECT_TRUE(rec[1]->IsHot());
    EXPECT_FALSE(rec[0]->IsHot());

    // Pressed on b, dragged over c: b keeps the moves and the release.
    log.clear();
    window.ButtonDown(150, 50);
    window.MouseMove(250, 50);
    window.ButtonUp(250, 50);
    EXPECT_EQ((Types{"b:down", "b:leave", "c:enter", "b:move", "b:up"}), log);
    EXPECT_EQ(nullptr, window.host.GetClick());

    log.clear();
    window.Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(50, 50));
    window.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.Hwnd()), MAKELPARAM(-1, -1));
    window.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(250, 50));
    EXPECT_EQ((Types{"a:rdown", "a:menu", "c:dblclick"}), log);
}

TEST_F(InputTest, PressingAButtonMovingOffAndReleasingSendsNoClick)
{
    auto* column = new CVerticalLayoutUI;
    auto* button = new CButtonUI;
    button->SetName("btn");
    button->SetFixedHeight(50);
    column->Add(button);
    window.Attach(column);
    window.heard.clear();

    window.MouseMove(50, 25);
    window.ButtonDown(50, 25);
    window.MouseMove(50, 80);
    window.ButtonUp(50, 80);
    EXPECT_TRUE(window.TypesFrom(button).empty());
    window.Click(50, 25);
    EXPECT_EQ(Types{"click"}, window.TypesFrom(button));
}

TEST_F(InputTest, KeysGoToTheFocusAndTabMovesItInTreeOrder)
{
    // The first paint focused the first tab stop.
    EXPECT_EQ(rec[0], window.host.GetFocus());
    window.host.SetFocus(rec[2]);
    EXPECT_EQ((Types{"a:killfocus", "c:setfocus"}), log);
    EXPECT_EQ((Types{"killfocus", "setfocus"}), window.Types());

    log.clear();
    window.Key('X');
    window.Send(WM_CHAR, 'x', 1);
    EXPECT_EQ((Types{"c:keydown", "c:keyup", "c:char"}), log);

    // Tab (through the loop's pre-translation) wraps from the last to the first.
    LRESULT r = 0;
    EXPECT_TRUE(window.host.PreMessageHandler(WM_KEYDOWN, VK_TAB, 0, r));
    EXPECT_EQ(rec[0], window.host.GetFocus());
    rec[1]->SetVisible(false); // hidden controls are skipped
    window.Paint();
    EXPECT_TRUE(window.host.PreMessageHandler(WM_KEYDOWN, VK_TAB, 0, r));
    EXPECT_EQ(rec[2], window.host.GetFocus());

    // Hiding the focused control clears the focus; a disabled one cannot take it.
    rec[2]->SetVisible(false);
    EXPECT_EQ(nullptr, window.host.GetFocus());
    rec[0]->SetEnabled(false);
    window.host.SetFocus(rec[0]);
    EXPECT_EQ(nullptr, window.host.GetFocus());
}

TEST_F(InputTest, AltShortcutFocusesAndActivates)
{
    rec[1]->SetShortcut('k');
    LRESULT r = 0;
    EXPECT_TRUE(window.host.PreMessageHandler(WM_SYSCHAR, 'K', 0, r));
    EXPECT_EQ(rec[1], window.host.GetFocus());
    EXPECT_FALSE(window.host.PreMessageHandler(WM_SYSCHAR, 'Q', 0, r));
}

TEST_F(InputTest, TimersCarryTheControlsOwnIdAndNotifyWhenUnhandled)
{
    ASSERT_TRUE(window.host.SetTimer(rec[0], 7, 10));
    EXPECT_FALSE(window.host.SetTimer(rec[0], 7, 10)) << "already running";
    ASSERT_TRUE(PumpUntil([&] { return !window.TypesFrom(rec[0]).empty(); }));
    EXPECT_EQ(7u, rec[0]->lastTimerId);
    EXPECT_EQ("timer", window.TypesFrom(rec[0]).front());

    // A killed timer stays quiet; setting it again restarts it.
    EXPECT_TRUE(window.host.KillTimer(rec[0], 7));
    CTestHostWindow::Pump();
    log.clear();
    Sleep(60);
    CTestHostWindow::Pump();
    EXPECT_TRUE(log.empty());
    rec[1]->handleTimer = true;
    ASSERT_TRUE(window.host.SetTimer(rec[1], 7, 10));
    ASSERT_TRUE(window.host.SetTimer(rec[0], 7, 10));
    window.heard.clear();
    ASSERT_TRUE(PumpUntil([&] { return rec[1]->lastTimerId == 7 && !window.TypesFrom(rec[0]).empty(); }));
    EXPECT_TRUE(window.TypesFrom(rec[1]).empty()) << "a control that handles its timer sends nothing";

    // A destroyed control's timers go with it.
    row->SetDelayedDestroy(false);
    row->Remove(rec[0]);
    log.clear();
    Sleep(40);
    CTestHostWindow::Pump();
    ASSERT_FALSE(log.empty());
    for (const std::string& entry : log)
        EXPECT_EQ("b:timer", entry) << "only b's timer is left";
}

TEST_F(InputTest, RemovedChildrenAreDestroyedAfterTheCurrentMessage)
{
    bool destroyed = false;
    rec[1]->OnDestroy.Add([&](void*) {
        destroyed = true;
        return true;
    });
    window.MouseMove(150, 50);
    ASSERT_EQ(rec[1], window.host.GetHover());
    ASSERT_TRUE(row->Remove(rec[1]));
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(nullptr, window.host.GetHover()) << "the host forgets it at once";
    EXPECT_EQ(nullptr, window.host.FindControl("b"));
    CTestHostWindow::Pump(); // the posted cleanup message
    EXPECT_TRUE(destroyed);
}

TEST_F(InputTest, FiltersAndListenersRunInOrder)
{
    struct Filter : IMessageFilterUI {
        UINT eat = 0;
        int seen = 0;
        LRESULT MessageHandler(UINT msg, WPARAM, LPARAM, bool& handled) override
        {
            ++seen;
            handled = msg == eat;
            return 42;
        }
    } filter;
    filter.eat = WM_LBUTTONDOWN;
    window.host.AddMessageFilter(&filter);
    EXPECT_EQ(42, window.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50)));
    EXPECT_TRUE(log.empty()) << "the filter consumed the press";
    window.host.RemoveMessageFilter(&filter);
    window.ButtonDown(50, 50);
    EXPECT_EQ(Types{"a:down"}, log);

    struct Listener : INotifyUI {
        std::vector<std::string>* order;
        std::string name;
        void Notify(TNotifyMsg& msg) override { order->push_back(name + ":" + msg.sType); }
    };
    std::vector<std::string> order;
    Listener one{}, two{};
    one.order = two.order = &order;
    one.name = "one";
    two.name = "two";
    window.host.AddNotifier(&one);
    window.host.AddNotifier(&two);
    window.host.SendNotify(rec[2], "custom", 1, 2);
    window.host.RemoveNotifier(&one);
    window.host.SendNotify(rec[2], "again");
    EXPECT_EQ((Types{"one:custom", "two:custom", "two:again"}), order);
    window.host.RemoveNotifier(&two);
}

TEST_F(InputTest, WheelScrollsTheContainerUnderThePoint)
{
    auto* column = new CVerticalLayoutUI;
    column->EnableScrollBar(true, false);
    for (int i = 0; i < 10; ++i) {
        auto* r = new CRecorderUI(&log);
        r->SetName("row" + std::to_string(i));
        r->SetFixedHeight(30);
        r->SetMouseEnabled(false); // rows pass the wheel up to the column
        column->Add(r);
    }
    window.Attach(column);
    ASSERT_EQ(200, column->GetScrollRange().cy);
    POINT screen = {50, 50};
    ClientToScreen(window.Hwnd(), &screen);
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(screen.x, screen.y));
    const int line = window.host.GetDefaultFontInfo().tmHeight + 8;
    EXPECT_EQ(line, column->GetScrollPos().cy);
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(0, column->GetScrollPos().cy);
}
