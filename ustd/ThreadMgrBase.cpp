#include "ustd/ThreadMgrBase.h"

#include "comm/LogFile.h"
#include "ustd/TestAliveMgr.h"

#include <cstdint>
#include <mutex>

namespace {

const char kSource[] = "ustd/threadmgrbase";

struct Registry {
    // Recursive: constructing the first manager constructs the watchdog under this lock.
    std::recursive_mutex lock;
    int managerCount = 0;
    bool watchdogStarted = false;
};

Registry& TheRegistry()
{
    // Never destroyed: managers may outlive static destruction order.
    static Registry* registry = new Registry;
    return *registry;
}

} // namespace

CThreadMgrBase::CThreadMgrBase(const char* name, bool isWatchdog) : name_(name ? name : "")
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::recursive_mutex> guard(registry.lock);
    WriteLog(LOG_INFO, kSource, __LINE__, "CThreadMgrBase::CThreadMgrBase",
             "Create Mgr=%s, this=0x%08x, MgrCnt=%d.", name_.c_str(),
             static_cast<unsigned>(reinterpret_cast<uintptr_t>(this)), registry.managerCount + 1);
    if (!registry.watchdogStarted && !isWatchdog) {
        registry.watchdogStarted = true;
        GetTestAliveMgr()->Create(0);
    }
    ++registry.managerCount;
}

CThreadMgrBase::~CThreadMgrBase()
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::recursive_mutex> guard(registry.lock);
    WriteLog(LOG_INFO, kSource, __LINE__, "CThreadMgrBase::~CThreadMgrBase",
             "Destroy Mgr=%s, this=0x%p, MgrCnt=%d", name_.c_str(), static_cast<void*>(this),
             registry.managerCount - 1);
    const int before = registry.managerCount--;
    if (before == 2 && registry.watchdogStarted) {
        // Only the watchdog is left. Its own destruction comes back here with a count of 1.
        // The flag is cleared so that a manager created later starts a fresh watchdog.
        registry.watchdogStarted = false;
        CTestAliveMgr* watchdog = ReleaseTestAliveMgr();
        if (watchdog && watchdog != this) {
            watchdog->Stop();
            delete watchdog;
        }
    }
}

int CThreadMgrBase::ManagerCount()
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::recursive_mutex> guard(registry.lock);
    return registry.managerCount;
}

void CThreadMgrBase::WatchdogAdd(CThreadMgrBase* mgr)
{
    if (CTestAliveMgr* watchdog = PeekTestAliveMgr())
        watchdog->AddWatch(mgr);
}

void CThreadMgrBase::WatchdogRemove(CThreadMgrBase* mgr)
{
    if (CTestAliveMgr* watchdog = PeekTestAliveMgr())
        watchdog->RemoveWatch(mgr);
}
