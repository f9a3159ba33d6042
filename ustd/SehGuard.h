#pragma once
// A structured-exception frame for code built without __try/__except.
//
// While a CSehGuard lives on a thread's stack it is registered in that thread's chain of
// exception frames. When a fault (access violation and the like) is not handled by a frame
// nearer the fault, the system calls the guard's filter during its search pass with the
// exception record and the register context; the guard then always continues the search, so
// the next outer frame and finally the process-level unhandled-exception filter still see
// the fault. A guard therefore observes faults and never swallows them.
//
// Thrown C++ exceptions do not pass through these frames (they unwind through the compiler's
// own tables); callers pair a guard with catch (...).
#include <windows.h>

class CSehGuard {
public:
    using Filter = void (*)(void* context, EXCEPTION_POINTERS* info);

    CSehGuard(Filter filter, void* context);
    ~CSehGuard();
    CSehGuard(const CSehGuard&) = delete;
    CSehGuard& operator=(const CSehGuard&) = delete;

private:
    // The first two fields are the system's registration record (next frame, handler); the
    // handler finds the rest through the frame address it is given.
    struct Frame {
        Frame* next;
        void* handler;
        Filter filter;
        void* context;
    };
    static EXCEPTION_DISPOSITION __cdecl Dispatch(EXCEPTION_RECORD* record, void* frame,
                                                  CONTEXT* context, void* dispatcherContext);
    Frame frame_;
};
