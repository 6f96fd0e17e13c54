#pragma once

#include "platform/ThreadPriority.h"

#include <functional>
#include <thread>

// The worker thread of one running task. It is made suspended (nothing runs
// yet) so the starter can remember it before it does anything, and it runs
// its body once Resume is called, at the priority it was made with.
class TConvertThread
{
public:
    // logSender: who a refused priority change is logged for (the task).
    TConvertThread(std::function<void()> body, TThreadPriority priority, const void* logSender);
    // Waits for the body to end; a thread cannot wait for itself, so there it lets go.
    ~TConvertThread();
    TConvertThread(const TConvertThread&) = delete;
    TConvertThread& operator=(const TConvertThread&) = delete;

    // Starts the body; later calls do nothing.
    void Resume();
    // The calling thread is this worker.
    bool IsCurrent() const;

private:
    std::function<void()> FBody;
    TThreadPriority FPriority;
    const void* FLogSender;
    std::thread FThread; // set by Resume, before anyone but the starter knows the worker
};
