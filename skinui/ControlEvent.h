#pragma once
// The input event the host hands to one control.
#include <windows.h>

namespace SkinUI {

class CControlUI;

// Order matters: the mouse events form one range (move .. wheel), the key events another.
enum EventType {
    UIEVENT_UNKNOWN = 0,
    UIEVENT_KEYDOWN,
    UIEVENT_KEYUP,
    UIEVENT_CHAR,
    UIEVENT_SYSKEY,
    UIEVENT_MOUSEMOVE,
    UIEVENT_MOUSELEAVE,
    UIEVENT_MOUSEENTER,
    UIEVENT_MOUSEHOVER,
    UIEVENT_BUTTONDOWN,
    UIEVENT_BUTTONUP,
    UIEVENT_RBUTTONDOWN,
    UIEVENT_DBLCLICK,
    UIEVENT_CONTEXTMENU,
    UIEVENT_SCROLLWHEEL,
    UIEVENT_KILLFOCUS,
    UIEVENT_SETFOCUS,
    UIEVENT_WINDOWSIZE,
    UIEVENT_SETCURSOR,
    UIEVENT_TIMER,
};

inline bool IsKeyEvent(EventType t) { return t >= UIEVENT_KEYDOWN && t <= UIEVENT_SYSKEY; }
inline bool IsMouseEvent(EventType t) { return t >= UIEVENT_MOUSEMOVE && t <= UIEVENT_SCROLLWHEEL; }

// Key state bits of TControlEvent::wKeyState.
enum : WORD {
    UIKEY_LBUTTON = MK_LBUTTON,
    UIKEY_RBUTTON = MK_RBUTTON,
    UIKEY_SHIFT = MK_SHIFT,
    UIKEY_CONTROL = MK_CONTROL,
    UIKEY_ALT = 0x20,
};

struct TControlEvent {
    EventType Type = UIEVENT_UNKNOWN;
    CControlUI* pSender = nullptr; // addressed control; for focus events the other side
    DWORD dwTimestamp = 0;
    POINT ptMouse = {0, 0};
    char chKey = 0;
    WORD wKeyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

} // namespace SkinUI
