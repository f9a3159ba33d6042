#pragma once
// A thread manager: a worker thread that runs named commands one at a time, in posting order,
// between calls of the idle hook. T derives from CThreadMgr<T> and supplies Init and Uninit.
//
//   class CScanMgr : public CThreadMgr<CScanMgr> { ... };
//   mgr.Create(CThreadMgr<CScanMgr>::kNotWatched);
//   mgr.PostFunc([](CScanMgr& self) { return self.Scan(); }, "Scan");
//   ...
//   mgr.Stop();   // always before destruction
//
// A thrown exception or a fault that escapes a command or a hook is logged with the name of
// what was running and handed to the crash handler; the worker never carries on after it.
#include "comm/LogFile.h"
#include "ustd/ExceptHandler.h"
#include "ustd/SehGuard.h"
#include "ustd/ThreadMgrBase.h"
#include "ustd/TypeName.h"

#include <windows.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

template <typename T>
class CThreadMgr : public CThreadMgrBase {
public:
    using Func = std::function<bool(T&)>;

    // Create flag: the watchdog does not watch this manager.
    static constexpr uint32_t kNotWatched = 2;

    enum State {
        kConstructed = 0,
        kCreating = 1,
        kInitialised = 2,
        kInitFailed = 3,
        kRunning = 4,
        kStopping = 5,
        kEnded = 6,
        kDestroyed = 7,
    };

    explicit CThreadMgr(const char* name) : CThreadMgr(name, false) {}
    // The owner calls Stop before destroying the manager: the worker must have ended.
    ~CThreadMgr() override
    {
        state_ = kDestroyed;
        std::lock_guard<std::mutex> guard(queueLock_);
        queue_.clear();
    }

    // Starts the worker and returns once its loop runs (true) or its Init failed (false).
    bool Create(uint32_t flags);
    // Hands a command to the worker; the manager owns func from here on, run or not.
    bool PostFunc(std::unique_ptr<Func> func, const char* name);
    bool PostFunc(Func func, const char* name) { return PostFunc(std::make_unique<Func>(std::move(func)), name); }
    // Ends the worker (after the pass it is in) and discards commands still queued. Must not
    // be called from the worker itself.
    void Stop();

    // Hung: more than a minute since the last command or idle call ended.
    bool CheckTimeout(std::string& info) override
    {
        if (GetTickCount() - lastActivity_.load() > kHangMs) {
            info = HangText();
            return true;
        }
        return false;
    }

    // Hooks, all run on the worker thread.
    virtual bool Init() = 0;   // before the loop; false aborts the start
    virtual void Uninit() = 0; // after the loop
    virtual void OnIdle() {}   // once per loop pass, about 50 times a second when idle
    virtual void OnTimer(uint32_t /*timerId*/) {}

    int GetState() const { return state_; }
    DWORD GetThreadId() const { return threadId_; }

protected:
    CThreadMgr(const char* name, bool isWatchdog);

    // "ThreadId=0x....,Name=...,Func=...,Detail=..." for hang and fault reports.
    std::string HangText() const;
    // Free text about the running command, shown in hang and fault reports.
    void SetCurrentDetail(const char* detail) { CopyText(currentDetail_, sizeof currentDetail_, detail); }

private:
    struct ThreadCommand {
        std::unique_ptr<Func> func;
        const char* name = nullptr; // static string, not copied
        DWORD postThreadId = 0;
    };

    static constexpr DWORD kHangMs = 60000;
    static constexpr DWORD kSlowCommandMs = 500;

    static const std::string& ClassName()
    {
        static const std::string name = TemplateInstanceName<T>("CThreadMgr");
        return name;
    }
    static std::string Fn(const char* method) { return ClassName() + "::" + method; }
    static void CopyText(char* out, size_t size, const char* text)
    {
        std::memset(out, 0, size);
        if (text)
            std::strncpy(out, text, size - 1);
    }
    // What the log shows for a thrown exception: MinGW's exceptions are not structured ones,
    // so the record is made up with the code a thrown exception carries on Windows.
    static EXCEPTION_RECORD ThrownExceptionRecord()
    {
        EXCEPTION_RECORD record = {};
        record.ExceptionCode = CExceptHandler::kThrownExceptionCode;
        record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
        return record;
    }
    static void LogRecord(const std::string& function, const EXCEPTION_RECORD& record)
    {
        WriteLog(LOG_ERROR, "ustd/ThreadMgr", __LINE__, function.c_str(),
                 "ThreadMgrSEHExceptionHandle ExceptionCode=0x%08x ExceptionFlags=%d,ExceptionAddress=%p,NumberParameters=%d",
                 static_cast<unsigned>(record.ExceptionCode), static_cast<int>(record.ExceptionFlags),
                 record.ExceptionAddress, static_cast<int>(record.NumberParameters));
    }
    // The loop's filter: names the command that failed.
    void LoopFault(const EXCEPTION_RECORD& record)
    {
        const std::string function = Fn("ThreadMgrSEHExceptionHandle");
        WriteLog(LOG_ERROR, "ustd/ThreadMgr", __LINE__, function.c_str(),
                 "ThreadMgrSEHExceptionHandle Info=%s.", HangText().c_str());
        LogRecord(function, record);
        CExceptHandler::ProcessException(&record);
    }
    // The routine's filter: names the step of the worker's life.
    void RoutineFault(const EXCEPTION_RECORD& record)
    {
        const std::string function = Fn("ThreadMgrSEHExceptionHandle");
        WriteLog(LOG_ERROR, "ustd/ThreadMgr", __LINE__, function.c_str(),
                 "ThreadMgrSEHExceptionHandle ThreadMgr Exception Step=%d.", routineStep_.load());
        LogRecord(function, record);
        CExceptHandler::ProcessException(&record);
    }
    static void LoopFilter(void* self, EXCEPTION_POINTERS* info)
    {
        static_cast<CThreadMgr*>(self)->LoopFault(*info->ExceptionRecord);
    }
    static void RoutineFilter(void* self, EXCEPTION_POINTERS* info)
    {
        static_cast<CThreadMgr*>(self)->RoutineFault(*info->ExceptionRecord);
    }

    void ThreadMgrRoutine();
    void RunLoop();
    bool CommandLoop();

    uint32_t flags_ = 0;
    std::atomic<int> state_{kConstructed};
    std::thread thread_;
    std::atomic<DWORD> threadId_{0};
    std::mutex queueLock_;
    std::list<ThreadCommand> queue_;
    std::condition_variable queueSignal_;
    std::chrono::milliseconds waitTime_{20};
    std::atomic<DWORD> lastActivity_;
    // Written by the worker, read by the watchdog's thread for its report.
    char currentFunc_[128] = {};
    char currentDetail_[256] = {};
    std::mutex lifecycleLock_;
    int maxQueueWarn_ = 512;
    std::atomic<int> routineStep_{0};
};

template <typename T>
CThreadMgr<T>::CThreadMgr(const char* name, bool isWatchdog)
    : CThreadMgrBase(name, isWatchdog), lastActivity_(GetTickCount())
{
}

template <typename T>
bool CThreadMgr<T>::Create(uint32_t flags)
{
    if (state_ != kConstructed)
        return false; // a manager starts once
    flags_ = flags;
    state_ = kCreating;
    thread_ = std::thread([this] { ThreadMgrRoutine(); });
    // The thread handle stays open until the join, so this works even if the worker ended.
    threadId_ = ::GetThreadId(static_cast<HANDLE>(pthread_gethandle(thread_.native_handle())));
    WriteLog(LOG_INFO, "ustd/ThreadMgr", __LINE__, Fn("Create").c_str(),
             "Thread Create Mgr=%s, this=0x%p, ThreadId=0x%04x.", name_.c_str(),
             static_cast<void*>(this), static_cast<unsigned>(threadId_.load()));
    if ((flags_ & kNotWatched) == 0)
        WatchdogAdd(this);
    while (state_ == kCreating || state_ == kInitialised)
        Sleep(10);
    if (state_ == kInitFailed) {
        thread_.join();
        // The worker unregisters on failure, but it may have done so before the line above
        // registered the manager: a failed manager must never stay watched.
        if ((flags_ & kNotWatched) == 0)
            WatchdogRemove(this);
        return false;
    }
    return true;
}

template <typename T>
bool CThreadMgr<T>::PostFunc(std::unique_ptr<Func> func, const char* name)
{
    const int state = state_;
    if (state != kRunning && state != kInitialised)
        return false; // func is destroyed unrun
    ThreadCommand command;
    command.func = std::move(func);
    command.name = name;
    command.postThreadId = GetCurrentThreadId();
    size_t count = 0;
    {
        std::lock_guard<std::mutex> guard(queueLock_);
        queue_.push_back(std::move(command));
        count = queue_.size();
    }
    if (count > static_cast<size_t>(maxQueueWarn_)) {
        char running[sizeof currentFunc_];
        std::memcpy(running, currentFunc_, sizeof running);
        running[sizeof running - 1] = '\0';
        WriteLog(LOG_WARNING, "ustd/ThreadMgr", __LINE__, Fn("PostFunc").c_str(),
                 "Mgr[%04x %s] PostCommand MoreCmdCount=%d,Cmd[%s],ExecCmd[%s].",
                 static_cast<unsigned>(threadId_.load()), name_.c_str(), static_cast<int>(count),
                 name ? name : "", running);
    }
    queueSignal_.notify_one();
    return true;
}

template <typename T>
void CThreadMgr<T>::Stop()
{
    if (threadId_ != 0 && GetCurrentThreadId() == threadId_)
        throw std::system_error(std::make_error_code(std::errc::resource_deadlock_would_occur),
                                "thread manager stopped from its own worker");
    if ((flags_ & kNotWatched) == 0)
        WatchdogRemove(this);
    {
        std::lock_guard<std::mutex> guard(lifecycleLock_);
        if (state_ == kRunning) {
            state_ = kStopping;
            thread_.join();
            threadId_ = 0;
        }
    }
    std::lock_guard<std::mutex> guard(queueLock_);
    queue_.clear();
}

template <typename T>
std::string CThreadMgr<T>::HangText() const
{
    char func[sizeof currentFunc_];
    char detail[sizeof currentDetail_];
    std::memcpy(func, currentFunc_, sizeof func);
    std::memcpy(detail, currentDetail_, sizeof detail);
    func[sizeof func - 1] = '\0';
    detail[sizeof detail - 1] = '\0';
    char text[256];
    std::snprintf(text, sizeof text, "ThreadId=0x%04x,Name=%s,Func=%s,Detail=%s.",
                  static_cast<unsigned>(threadId_.load()), name_.c_str(), func, detail);
    return text;
}

template <typename T>
void CThreadMgr<T>::ThreadMgrRoutine()
{
    threadId_ = GetCurrentThreadId();
    CSehGuard guard(&CThreadMgr::RoutineFilter, this);
    try {
        routineStep_ = 0;
        if (!Init()) {
            if ((flags_ & kNotWatched) == 0)
                WatchdogRemove(this);
            state_ = kInitFailed;
            WriteLog(LOG_ERROR, "ustd/ThreadMgr", __LINE__, Fn("ThreadMgrRoutine").c_str(), "Mgr Init Failed.");
            return;
        }
        routineStep_ = 1;
        state_ = kInitialised;
        routineStep_ = 2;
        RunLoop();
        routineStep_ = 3;
        Uninit();
        routineStep_ = 4;
        state_ = kEnded;
        routineStep_ = 5;
        if ((flags_ & kNotWatched) == 0)
            WatchdogRemove(this);
        routineStep_ = 6;
    } catch (...) {
        RoutineFault(ThrownExceptionRecord());
        throw; // not reached: the crash handler ends the process
    }
}

template <typename T>
void CThreadMgr<T>::RunLoop()
{
    CSehGuard guard(&CThreadMgr::LoopFilter, this);
    try {
        state_ = kRunning;
        while (CommandLoop()) {
            CopyText(currentFunc_, sizeof currentFunc_, "OnIdle");
            OnIdle();
            lastActivity_ = GetTickCount();
        }
    } catch (...) {
        LoopFault(ThrownExceptionRecord());
        throw; // not reached: the crash handler ends the process
    }
}

template <typename T>
bool CThreadMgr<T>::CommandLoop()
{
    if (state_ == kStopping)
        return false;
    bool empty = true;
    {
        // Waits even when commands are queued: a post made before the wait is not
        // remembered, so a pass never starts sooner than a post or 20 ms.
        std::unique_lock<std::mutex> lock(queueLock_);
        queueSignal_.wait_for(lock, waitTime_);
        empty = queue_.empty();
    }
    while (!empty) {
        ThreadCommand command;
        DWORD start = 0;
        {
            std::lock_guard<std::mutex> guard(queueLock_);
            start = GetTickCount();
            command = std::move(queue_.front());
            queue_.pop_front();
            empty = queue_.empty();
        }
        CopyText(currentFunc_, sizeof currentFunc_, command.name);
        currentDetail_[0] = '\0';
        if (!command.func)
            throw std::bad_function_call();
        (*command.func)(static_cast<T&>(*this));
        const DWORD used = GetTickCount() - start;
        if (used > kSlowCommandMs)
            WriteLog(LOG_WARNING, "ustd/ThreadMgr", __LINE__, Fn("CommandLoop").c_str(),
                     "ThreadMgr[%s] 处理Func[%s]过长,使用%d ms,OwnThreadId=0x%04x.", name_.c_str(),
                     currentFunc_, static_cast<int>(used), static_cast<unsigned>(command.postThreadId));
        command.func.reset();
        lastActivity_ = GetTickCount();
    }
    return true;
}
