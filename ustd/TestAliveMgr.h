#pragma once
// The liveness watchdog: a thread manager that signals the named event
// "Global\<executable file name>.tsa" about once a second and, every ten seconds, ends the
// process if a watched manager has hung. The thread-manager registry creates it with the
// first manager and destroys it after the last one.
#include "comm/UniqueHandle.h"
#include "ustd/ThreadMgr.h"

#include <mutex>
#include <set>
#include <string>

class CTestAliveMgr : public CThreadMgr<CTestAliveMgr> {
public:
    static constexpr DWORD kReportIntervalMs = 1000;
    static constexpr DWORD kCheckIntervalMs = 10000;

    CTestAliveMgr();
    ~CTestAliveMgr() override;

    bool CheckTimeout(std::string& info) override; // the watchdog never counts as hung
    bool Init() override;
    void Uninit() override;
    void OnIdle() override;

    void AddWatch(CThreadMgrBase* mgr);
    void RemoveWatch(CThreadMgrBase* mgr);

    // "Global\Tarnwell.exe.tsa" for "C:\Tarnwell\Tarnwell.exe".
    static std::string AliveEventName(const std::string& exePath);

private:
    CKernelHandle aliveEvent_;
    DWORD lastReport_;
    DWORD lastCheck_;
    std::mutex watchLock_;
    std::set<CThreadMgrBase*> watched_; // not owned
};

// The watchdog, created on the first call. Only the thread-manager registry calls this.
CTestAliveMgr* GetTestAliveMgr();
// The watchdog if it exists, without creating it.
CTestAliveMgr* PeekTestAliveMgr();
// Hands the watchdog to the caller, who stops and destroys it; afterwards none exists.
CTestAliveMgr* ReleaseTestAliveMgr();
