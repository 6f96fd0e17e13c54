#pragma once

#include "engine/ManualResetEvent.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Runs termination deliveries of a threaded run, each on a short-lived thread
// of its own, so that a handler never holds up the worker that finished (or
// the next task it starts). A delivery begins only after the one posted before
// it has returned: the owner sees the tasks' notifications in the order they
// ended and the end-of-run notification last.
class TTerminateNotifications
{
public:
    TTerminateNotifications() = default;
    ~TTerminateNotifications(); // WaitAll
    TTerminateNotifications(const TTerminateNotifications&) = delete;
    TTerminateNotifications& operator=(const TTerminateNotifications&) = delete;

    // Starts the thread of one delivery. An exception escaping the delivery
    // is logged at llError, never left to end the program. With afterHolds
    // the delivery also waits until no hold is left (see Hold).
    void Post(std::function<void()> delivery, bool afterHolds = false);

    // While held, deliveries posted with afterHolds wait: the end-of-run
    // notification must not reach a handler that clears the tasks while
    // StopTasks (or pause, resume) still walks through them.
    void Hold();
    void Release();

    // Returns once every posted delivery has returned (pumping main-thread
    // calls while it waits on the main thread). Called from within a delivery
    // it cannot wait for that one or the later ones (they wait for it): it
    // lets them finish on their own.
    void WaitAll();

    // The calling thread is one of the delivery threads.
    bool IsDeliveryThread() const;

private:
    struct TDelivery
    {
        std::thread Thread;
        std::shared_ptr<TManualResetEvent> Done;
    };
    void JoinFinished(); // with FLock held
    void WaitUntilNotHeld();

    mutable std::mutex FLock;
    std::vector<TDelivery> FDeliveries;           // --- protected by FLock
    std::shared_ptr<TManualResetEvent> FLastDone; // --- protected by FLock
    std::condition_variable FHoldChanged;
    int FHolds = 0; // --- protected by FLock
};
