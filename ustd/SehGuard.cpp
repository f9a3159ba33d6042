#include "ustd/SehGuard.h"

#ifndef EXCEPTION_UNWINDING
#define EXCEPTION_UNWINDING 0x2
#endif
#ifndef EXCEPTION_EXIT_UNWIND
#define EXCEPTION_EXIT_UNWIND 0x4
#endif

// The frame chain lives in the thread information block at fs:[0] (32-bit x86 only).
#if defined(__i386__)
static void* CurrentFrameList()
{
    void* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}
static void SetFrameList(void* head)
{
    asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}
#endif

CSehGuard::CSehGuard(Filter filter, void* context)
{
    frame_.handler = reinterpret_cast<void*>(&CSehGuard::Dispatch);
    frame_.filter = filter;
    frame_.context = context;
#if defined(__i386__)
    frame_.next = static_cast<Frame*>(CurrentFrameList());
    SetFrameList(&frame_);
#else
    frame_.next = nullptr;
#endif
}

CSehGuard::~CSehGuard()
{
#if defined(__i386__)
    // Guards are strictly nested (stack objects), so this frame is the head of the chain.
    SetFrameList(frame_.next);
#endif
}

EXCEPTION_DISPOSITION __cdecl CSehGuard::Dispatch(EXCEPTION_RECORD* record, void* frame,
                                                  CONTEXT* context, void* /*dispatcherContext*/)
{
    // The unwind pass runs after some outer frame chose to handle the fault; the filter has
    // already seen it in the search pass.
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    const Frame* self = static_cast<const Frame*>(frame);
    EXCEPTION_POINTERS info = {record, context};
    if (self->filter)
        self->filter(self->context, &info);
    return ExceptionContinueSearch;
}
