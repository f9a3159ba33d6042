#pragma once
// Interfaces windows and controls implement to hear from a host or a builder.
#include <windows.h>

#include <string>

#include "skinui/NotifyMsg.h"

namespace SkinUI {

class CControlUI;

// A listener of a host's notifications.
class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void Notify(TNotifyMsg& msg) = 0;
};

// Sees a window's messages before the host routes them; setting handled ends the processing.
class IMessageFilterUI {
public:
    virtual ~IMessageFilterUI() = default;
    virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;
};

// Asked by the message loop; returns 0 when it consumed the message.
class ITranslateAccelerator {
public:
    virtual ~ITranslateAccelerator() = default;
    virtual LRESULT TranslateAccelerator(MSG* pMsg) = 0;
};

// Lets a window supply controls for element names the builder does not know.
class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    virtual CControlUI* CreateControl(const std::string& className) = 0;
};

} // namespace SkinUI
