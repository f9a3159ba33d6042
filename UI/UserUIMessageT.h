#pragma once
// UI calls: how a worker thread has something run on the UI thread. The worker allocates a
// callable bound to the target window and posts it with a static name under message 1074;
// the window procedure runs it on the UI thread and destroys it. A window that is closing
// refuses new calls and drops queued ones unrun.
//
// Every framework window class derives from CUserUIMessageT<itself> and its window procedure
// calls UserMessageHook first with every message, before its own handling:
//
//   LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
//   {
//       CWnd* wnd = ...;                 // found or attached at WM_NCCREATE
//       wnd->UserMessageHook(hwnd, msg, wp, lp);
//       ... ordinary handling; message 1074 is not handled there ...
//   }
//
// A subclassed window, which never sees its WM_NCCREATE, calls AttachUserMessageWindow.
#include "ustd/TypeName.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

// The message that carries a UI call: wParam the heap callable, lParam its static name.
constexpr UINT WM_USER_UI_CALL = WM_USER + 50; // 1074

// A call took too long when more than 500 ms passed between start and end (tick counts,
// so a wrap of the counter does no harm).
bool UserMessageTookTooLong(DWORD startTick, DWORD endTick);
// The slow-call warning.
void LogSlowUserMessage(const char* function, const char* callName);

template <class TWnd>
class CUserUIMessageT {
public:
    using UserMessageFunc = std::function<bool(TWnd&)>;

    CUserUIMessageT() = default;
    CUserUIMessageT(const CUserUIMessageT&) = delete;
    CUserUIMessageT& operator=(const CUserUIMessageT&) = delete;

    // Any thread. Ownership of func passes in; it is destroyed here if the window is closing,
    // has no native window, or the post fails. name must be a string literal.
    bool PostUserMessage(std::unique_ptr<UserMessageFunc> func, const char* name)
    {
        const HWND target = m_hOwnWnd.load();
        if (m_bClosing.load() || !target)
            return false;
        if (!PostMessageA(target, WM_USER_UI_CALL, reinterpret_cast<WPARAM>(func.get()),
                          reinterpret_cast<LPARAM>(name)))
            return false;
        func.release(); // the message owns it now
        return true;
    }
    bool PostUserMessage(UserMessageFunc func, const char* name)
    {
        return PostUserMessage(std::make_unique<UserMessageFunc>(std::move(func)), name);
    }

    // UI thread, from the window procedure. Takes ownership of func and destroys it, run or
    // not; warns when the call took more than 500 ms.
    void ExecuteUserMessage(UserMessageFunc* func, const char* name)
    {
        std::unique_ptr<UserMessageFunc> owned(func);
        if (m_bClosing.load())
            return;
        const DWORD start = GetTickCount();
        if (owned && *owned)
            (*owned)(static_cast<TWnd&>(*this));
        if (UserMessageTookTooLong(start, GetTickCount()))
            LogSlowUserMessage(ExecuteFunctionName().c_str(), name);
    }

    // The window procedure's first step for every message: keeps the handle copy and runs
    // UI calls. The message then goes on to the window's ordinary handling.
    void UserMessageHook(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_NCCREATE:
            m_hOwnWnd = hwnd;
            break;
        case WM_USER_UI_CALL:
            ExecuteUserMessage(reinterpret_cast<UserMessageFunc*>(wParam), reinterpret_cast<const char*>(lParam));
            break;
        case WM_NCDESTROY:
            m_hOwnWnd = nullptr;
            break;
        default:
            break;
        }
    }

    void AttachUserMessageWindow(HWND hwnd) { m_hOwnWnd = hwnd; }
    void DetachUserMessageWindow() { m_hOwnWnd = nullptr; }
    HWND UserMessageWindow() const { return m_hOwnWnd.load(); }

    // UI thread, by the close paths just before they post WM_CLOSE. Never cleared.
    void SetClosing() { m_bClosing = true; }
    bool IsClosing() const { return m_bClosing.load(); }

protected:
    ~CUserUIMessageT() = default; // not a polymorphic base

private:
    static const std::string& ExecuteFunctionName()
    {
        static const std::string name = TemplateInstanceName<TWnd>("CUserUIMessageT") + "::ExecuteUserMessage";
        return name;
    }

    std::atomic<HWND> m_hOwnWnd{nullptr};
    std::atomic<bool> m_bClosing{false};
};
