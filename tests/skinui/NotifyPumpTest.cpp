#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skinui/ControlUI.h"
#include "skinui/NotifyPump.h"

using namespace SkinUI;

namespace {

// A base window class with its own map, and a derived one linking to it.
class CBaseWnd : public CNotifyPump {
public:
    std::vector<std::string> calls;
    void OnBaseClick(TNotifyMsg& msg) { calls.push_back("base click " + msg.pSender->GetName()); }
    void OnBaseScroll(WPARAM w, LPARAM l) { calls.push_back("base scroll " + std::to_string(w) + "," + std::to_string(l)); }
    static const TNotifyMap& Map()
    {
        static const TNotifyMap map{nullptr,
                                    {NotifyEntry<CBaseWnd>("click", "", &CBaseWnd::OnBaseClick),
                                     NotifyEntryWL<CBaseWnd>("scroll", "", &CBaseWnd::OnBaseScroll)}};
        return map;
    }

protected:
    const TNotifyMap* GetNotifyMap() const override { return &Map(); }
};

class CMainWnd : public CBaseWnd {
public:
    void OnAnyClick(TNotifyMsg&) { calls.push_back("any click"); }
    void OnLastAnyClick(TNotifyMsg&) { calls.push_back("last any click"); }
    void OnOkClick(TNotifyMsg&) { calls.push_back("ok click"); }
    void OnSelect(TNotifyMsg&) { calls.push_back("select"); }
    static const TNotifyMap& Map()
    {
        // The named entry stands last on purpose: it still wins over the empty-name ones.
        static const TNotifyMap map{&CBaseWnd::Map(),
                                    {NotifyEntry<CMainWnd>("click", "", &CMainWnd::OnAnyClick),
                                     NotifyEntry<CMainWnd>("click", "", &CMainWnd::OnLastAnyClick),
                                     NotifyEntry<CMainWnd>("itemselect", "List", &CMainWnd::OnSelect),
                                     NotifyEntry<CMainWnd>("click", "BtnOk", &CMainWnd::OnOkClick)}};
        return map;
    }

protected:
    const TNotifyMap* GetNotifyMap() const override { return &Map(); }
};

TNotifyMsg Msg(const std::string& type, CControlUI* sender, WPARAM w = 0, LPARAM l = 0)
{
    TNotifyMsg msg;
    msg.sType = type;
    msg.pSender = sender;
    msg.wParam = w;
    msg.lParam = l;
    return msg;
}

} // namespace

TEST(NotifyPumpTest, NamedEntriesWinThenTheLastUnnamedThenTheBaseMap)
{
    CControlUI ok, other, list;
    ok.SetName("BtnOk");
    other.SetName("Other");
    list.SetName("List2");
    CMainWnd wnd;

    struct Case {
        TNotifyMsg msg;
        bool handled;
        const char* call;
    } cases[] = {
        {Msg("click", &ok), true, "ok click"},
        {Msg("click", &other), true, "last any click"},
        {Msg("scroll", &other, 3, 4), true, "base scroll 3,4"},
        {Msg("itemselect", &list), false, nullptr}, // named for another control, no fallback
        {Msg("Click", &ok), false, nullptr},        // types compare exactly
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.msg.sType + " from " + c.msg.pSender->GetName());
        wnd.calls.clear();
        EXPECT_EQ(c.handled, wnd.NotifyPump(c.msg));
        if (c.call != nullptr)
            EXPECT_EQ(std::vector<std::string>{c.call}, wnd.calls);
        else
            EXPECT_TRUE(wnd.calls.empty());
    }

    CBaseWnd base;
    TNotifyMsg click = Msg("click", &ok);
    EXPECT_TRUE(base.NotifyPump(click));
    EXPECT_EQ(std::vector<std::string>{"base click BtnOk"}, base.calls);
}

TEST(NotifyPumpTest, VirtualWindowsDispatchFirstIgnoringCase)
{
    CControlUI ok;
    ok.SetName("BtnOk");
    CMainWnd page;
    CBaseWnd outer;
    ASSERT_TRUE(outer.AddVirtualWnd("Page", &page));
    EXPECT_FALSE(outer.AddVirtualWnd("Page", &page));

    TNotifyMsg msg = Msg("click", &ok);
    msg.sVirtualWnd = "PAGE";
    EXPECT_TRUE(outer.NotifyPump(msg));
    EXPECT_EQ(std::vector<std::string>{"ok click"}, page.calls);
    EXPECT_TRUE(outer.calls.empty());

    ASSERT_TRUE(outer.RemoveVirtualWnd("Page"));
    EXPECT_TRUE(outer.NotifyPump(msg));
    EXPECT_EQ(std::vector<std::string>{"base click BtnOk"}, outer.calls);
}
