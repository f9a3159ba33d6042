#pragma once
// A plain native window whose messages go to a CPaintHostUI, for tests that need real
// input routing, capture, focus and painting. It records every notification it hears.
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "skinui/ControlUI.h"
#include "skinui/PaintHostUI.h"
#include "skinui/SkinInterfaces.h"

class CTestHostWindow : public SkinUI::INotifyUI {
public:
    // Notifications heard: type and sender.
    struct Heard {
        std::string type;
        SkinUI::CControlUI* sender;
    };

    // One visible native window serves every test of the process: under Wine and Xvfb,
    // hiding or destroying a visible window costs two seconds. Each test gets a fresh host
    // on it, sized as asked.
    CTestHostWindow(int width, int height)
    {
        hwnd_ = SharedWindow();
        SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
        current_ = this;
        host.Init(hwnd_);
        host.AddNotifier(this);
    }
    ~CTestHostWindow() override
    {
        host.RemoveNotifier(this);
        if (GetCapture() == hwnd_)
            ReleaseCapture();
        current_ = nullptr;
        Pump();
    }
    CTestHostWindow(const CTestHostWindow&) = delete;
    CTestHostWindow& operator=(const CTestHostWindow&) = delete;

    HWND Hwnd() const { return hwnd_; }

    // Attaches the tree and lays it out by painting once.
    void Attach(SkinUI::CControlUI* root)
    {
        host.AttachDialog(root);
        Paint();
    }
    void Paint()
    {
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Pump();
    }

    LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) { return SendMessageA(hwnd_, msg, wParam, lParam); }
    void MouseMove(int x, int y) { Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    void ButtonDown(int x, int y) { Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void ButtonUp(int x, int y) { Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
    void Click(int x, int y)
    {
        MouseMove(x, y);
        ButtonDown(x, y);
        ButtonUp(x, y);
    }
    void Key(WPARAM vk)
    {
        Send(WM_KEYDOWN, vk, 1);
        Send(WM_KEYUP, vk, 0xC0000001);
    }

    // The types heard, in order.
    std::vector<std::string> Types() const
    {
        std::vector<std::string> types;
        for (const Heard& h : heard)
            types.push_back(h.type);
        return types;
    }
    // The types heard from one sender, leaving out focus and window notifications.
    std::vector<std::string> TypesFrom(const SkinUI::CControlUI* sender) const
    {
        std::vector<std::string> types;
        for (const Heard& h : heard)
            if (h.sender == sender && h.type != "setfocus" && h.type != "killfocus" && h.type != "windowinit")
                types.push_back(h.type);
        return types;
    }

    void Notify(SkinUI::TNotifyMsg& msg) override
    {
        heard.push_back(Heard{msg.sType, msg.pSender});
        if (onNotify)
            onNotify(msg);
    }

    static void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    SkinUI::CPaintHostUI host;
    std::vector<Heard> heard;
    std::function<void(SkinUI::TNotifyMsg&)> onNotify;

private:
    static HWND SharedWindow()
    {
        static HWND hwnd = [] {
            WNDCLASSEXA wc = {};
            wc.cbSize = sizeof(wc);
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = WndProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
            wc.lpszClassName = "TarnwellSkinTestHost";
            RegisterClassExA(&wc);
            return CreateWindowExA(WS_EX_NOACTIVATE, wc.lpszClassName, "skin test", WS_POPUP | WS_VISIBLE, 0, 0,
                                   100, 100, nullptr, nullptr, wc.hInstance, nullptr);
        }();
        return hwnd;
    }

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (current_ != nullptr && current_->host.GetPaintWindow() == hwnd) {
            LRESULT result = 0;
            if (current_->host.MessageHandler(msg, wParam, lParam, result))
                return result;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    static inline CTestHostWindow* current_ = nullptr;
    HWND hwnd_ = nullptr;
};
