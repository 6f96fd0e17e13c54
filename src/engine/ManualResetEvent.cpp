#include "engine/ManualResetEvent.h"

#include "media/MainThread.h"

void TManualResetEvent::Set()
{
    // Notified under the lock: a waiter that wakes may free the event at once.
    std::lock_guard<std::mutex> guard(FLock);
    FSignalled = true;
    FChanged.notify_all();
}

void TManualResetEvent::Reset()
{
    std::lock_guard<std::mutex> guard(FLock);
    FSignalled = false;
}

bool TManualResetEvent::IsSet() const
{
    std::lock_guard<std::mutex> guard(FLock);
    return FSignalled;
}

void TManualResetEvent::Wait() const
{
    std::unique_lock<std::mutex> guard(FLock);
    FChanged.wait(guard, [this] { return FSignalled; });
}

bool TManualResetEvent::WaitFor(std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> guard(FLock);
    return FChanged.wait_for(guard, timeout, [this] { return FSignalled; });
}

void WaitPumping(const TManualResetEvent& event, int stepMs)
{
    if (!IsMainThread()) {
        event.Wait();
        return;
    }
    while (!event.WaitFor(std::chrono::milliseconds(stepMs)))
        ProcessPendingMessages();
}
