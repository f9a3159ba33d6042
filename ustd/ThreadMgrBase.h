#pragma once
// What every thread manager shares: its name, the process-wide registry of managers that
// starts the liveness watchdog with the first manager and ends it after the last, and the
// hang check the watchdog calls.
#include <string>

class CThreadMgrBase {
public:
    virtual ~CThreadMgrBase();
    CThreadMgrBase(const CThreadMgrBase&) = delete;
    CThreadMgrBase& operator=(const CThreadMgrBase&) = delete;

    // Called from the watchdog's thread. Fills info and returns true when the manager counts
    // as hung.
    virtual bool CheckTimeout(std::string& info) = 0;

    const std::string& Name() const { return name_; }

    // Number of live managers, the watchdog included.
    static int ManagerCount();

protected:
    // isWatchdog is true only for the watchdog itself, which never starts a watchdog.
    CThreadMgrBase(const char* name, bool isWatchdog);

    // Watchdog registration; nothing happens while no watchdog exists.
    static void WatchdogAdd(CThreadMgrBase* mgr);
    static void WatchdogRemove(CThreadMgrBase* mgr);

    std::string name_;
};
