#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// An event that stays signalled until it is reset, so any number of waiters
// see one completion, however late they come.
class TManualResetEvent
{
public:
    explicit TManualResetEvent(bool signalled) : FSignalled(signalled) {}

    void Set();
    void Reset();
    bool IsSet() const;
    void Wait() const;
    // False when the time passed without the event being set.
    bool WaitFor(std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex FLock;
    mutable std::condition_variable FChanged;
    bool FSignalled; // --- protected by FLock
};

// Waits for the event. On the main thread it wakes every stepMs milliseconds to
// run pending main-thread calls and window messages, so that a thread blocked
// in a delivery to the main thread can finish and set the event.
void WaitPumping(const TManualResetEvent& event, int stepMs = 20);
