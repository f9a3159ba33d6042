#include "ustd/TestAliveMgr.h"

#include "comm/LogFile.h"
#include "ustd/ModulePath.h"

#include <cstdio>

namespace {

const char kSource[] = "ustd/testalivemgr";

std::mutex g_creationLock;
CTestAliveMgr* g_instance = nullptr;

} // namespace

CTestAliveMgr* GetTestAliveMgr()
{
    std::lock_guard<std::mutex> guard(g_creationLock);
    if (!g_instance)
        g_instance = new CTestAliveMgr;
    return g_instance;
}

CTestAliveMgr* PeekTestAliveMgr()
{
    std::lock_guard<std::mutex> guard(g_creationLock);
    return g_instance;
}

CTestAliveMgr* ReleaseTestAliveMgr()
{
    std::lock_guard<std::mutex> guard(g_creationLock);
    CTestAliveMgr* instance = g_instance;
    g_instance = nullptr;
    return instance;
}

CTestAliveMgr::CTestAliveMgr()
    : CThreadMgr<CTestAliveMgr>("TestAliveMgr", true), lastReport_(GetTickCount()), lastCheck_(GetTickCount())
{
}

CTestAliveMgr::~CTestAliveMgr()
{
    std::lock_guard<std::mutex> guard(watchLock_);
    watched_.clear();
}

bool CTestAliveMgr::CheckTimeout(std::string& /*info*/)
{
    return false;
}

std::string CTestAliveMgr::AliveEventName(const std::string& exePath)
{
    char name[128];
    std::snprintf(name, sizeof name, "Global\\%s.tsa", LastPathComponent(exePath).c_str());
    return name;
}

bool CTestAliveMgr::Init()
{
    const std::string name = AliveEventName(ExeFilePath());
    // Auto-reset: each signal releases one waiter.
    aliveEvent_.Reset(CreateEventA(nullptr, FALSE, FALSE, name.c_str()));
    if (!aliveEvent_) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CTestAliveMgr::Init",
                 "TestAliveMgr CreateEvent Failed EvtName=%s LastErr=%d.", name.c_str(),
                 static_cast<int>(GetLastError()));
        return false;
    }
    return true;
}

void CTestAliveMgr::Uninit()
{
    aliveEvent_.Reset();
}

void CTestAliveMgr::OnIdle()
{
    const DWORD now = GetTickCount();
    if (now - lastReport_ > kReportIntervalMs) {
        if (!SetEvent(aliveEvent_.Get()))
            WriteLog(LOG_ERROR, kSource, __LINE__, "CTestAliveMgr::DoReportAlive",
                     "TestAliveMgr DoReportAlive SetEvent Failed");
        lastReport_ = GetTickCount();
    }
    if (now - lastCheck_ > kCheckIntervalMs) {
        std::string info;
        bool hung = false;
        {
            std::lock_guard<std::mutex> guard(watchLock_);
            for (CThreadMgrBase* mgr : watched_) {
                if (mgr->CheckTimeout(info)) {
                    hung = true;
                    break;
                }
            }
        }
        // Logged after the watch lock is released: no code holds two locks at once.
        if (hung) {
            WriteLog(LOG_ERROR, kSource, __LINE__, "CTestAliveMgr::DoCheckTimeout",
                     "线程超时，应用程序退出，Info=%s", info.c_str());
            TerminateProcess(GetCurrentProcess(), 0xFFFFFFFF);
            return;
        }
        lastCheck_ = GetTickCount();
    }
}

void CTestAliveMgr::AddWatch(CThreadMgrBase* mgr)
{
    std::lock_guard<std::mutex> guard(watchLock_);
    if (mgr && mgr != this)
        watched_.insert(mgr);
}

void CTestAliveMgr::RemoveWatch(CThreadMgrBase* mgr)
{
    std::lock_guard<std::mutex> guard(watchLock_);
    watched_.erase(mgr);
}
