#pragma once
// The notification a control sends to the window's listeners ("click", "itemselect", ...).
#include <windows.h>

#include <string>

namespace SkinUI {

class CControlUI;

struct TNotifyMsg {
    std::string sType;        // "click", "selectchanged", "windowinit", ...
    std::string sVirtualWnd;  // the sender's virtual window, when the host has any
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;    // GetTickCount at sending
    POINT ptMouse = {0, 0};   // the host's last mouse position
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

} // namespace SkinUI
