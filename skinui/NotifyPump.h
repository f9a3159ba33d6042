#pragma once
// Message maps: a window class lists which notification types (and, optionally, which
// control names) go to which of its handlers, linked to its base class's map.
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "skinui/NotifyMsg.h"

namespace SkinUI {

class CNotifyPump;

struct TNotifyMapEntry {
    std::string sType;
    std::string sCtrlName; // empty: any control
    int nKind = 0;         // 1: handler (wParam, lParam); 2: handler (record)
    std::function<void(CNotifyPump*, WPARAM, LPARAM)> pfnWL;
    std::function<void(CNotifyPump*, TNotifyMsg&)> pfnMsg;
};

struct TNotifyMap {
    const TNotifyMap* pBase = nullptr;
    std::vector<TNotifyMapEntry> entries;
};

// Entry makers for a class T derived (non-virtually) from CNotifyPump.
template <class T>
TNotifyMapEntry NotifyEntry(const std::string& type, const std::string& ctrlName,
                            void (T::*handler)(TNotifyMsg&))
{
    TNotifyMapEntry e;
    e.sType = type;
    e.sCtrlName = ctrlName;
    e.nKind = 2;
    e.pfnMsg = [handler](CNotifyPump* pump, TNotifyMsg& msg) { (static_cast<T*>(pump)->*handler)(msg); };
    return e;
}

template <class T>
TNotifyMapEntry NotifyEntryWL(const std::string& type, const std::string& ctrlName,
                              void (T::*handler)(WPARAM, LPARAM))
{
    TNotifyMapEntry e;
    e.sType = type;
    e.sCtrlName = ctrlName;
    e.nKind = 1;
    e.pfnWL = [handler](CNotifyPump* pump, WPARAM w, LPARAM l) { (static_cast<T*>(pump)->*handler)(w, l); };
    return e;
}

class CNotifyPump {
public:
    virtual ~CNotifyPump() = default;

    // Virtual windows: names compared without regard to case when dispatching.
    bool AddVirtualWnd(const std::string& name, CNotifyPump* pump);
    bool RemoveVirtualWnd(const std::string& name);
    // Dispatches through virtual windows, then this class's map and its bases.
    // Returns true when some entry handled the record.
    bool NotifyPump(TNotifyMsg& msg);

protected:
    // The map of the most derived class; the base pump has none.
    virtual const TNotifyMap* GetNotifyMap() const { return nullptr; }

private:
    bool LoopDispatch(TNotifyMsg& msg);
    std::map<std::string, CNotifyPump*> m_virtualWnds;
};

} // namespace SkinUI
