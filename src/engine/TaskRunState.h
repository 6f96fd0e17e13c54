#pragma once

#include "engine/ConvertThread.h"
#include "engine/ManualResetEvent.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

// The part of a task's run state that only the run control touches: its
// threads, their completion events and the pause flag. Declared in this order
// so that the threads are joined before the events they signal go away.
// Lock order: StateLock before ThreadLock; PauseLock is never held with either.
struct TTaskRunState
{
    // Makes starting and terminating a task exclusive, so that a task that
    // StopTasks terminates before it started is never started as well.
    // --- TerminationClaimed and the changes of the task's Running,
    // Terminated and StopRequested protected by StateLock
    std::mutex StateLock;
    // A termination without a run was begun (by Terminate, or by Start whose
    // start conditions failed).
    bool TerminationClaimed = false;

    // Set while no worker runs the task: reset when a worker is made, set by
    // that worker as the very last thing it does for the task.
    TManualResetEvent ThreadDone{true};
    // The same for the thread that terminates a task that never ran.
    TManualResetEvent TerminateDone{true};

    // PauseTasks/ResumeTasks; the worker waits at the top of its packet loop,
    // where it holds no lock. --- Paused protected by PauseLock
    std::mutex PauseLock;
    std::condition_variable PauseChanged;
    bool Paused = false;

    // The task's worker is inside a delivery that runs in the main thread, and
    // the main thread is running it: a stop request made by that very handler
    // cannot wait for the worker.
    std::atomic<bool> InMainThreadDelivery{false};

    // The worker of a threaded run (kept until the task is freed, so it can
    // be joined) and the thread that terminates a never-started task.
    // --- both protected by ThreadLock
    std::mutex ThreadLock;
    std::unique_ptr<TConvertThread> ConvertThread;
    std::thread TerminateThread;

    TTaskRunState() = default;
    ~TTaskRunState()
    {
        if (TerminateThread.joinable()) {
            if (TerminateThread.get_id() == std::this_thread::get_id())
                TerminateThread.detach();
            else
                TerminateThread.join();
        }
    }
    TTaskRunState(const TTaskRunState&) = delete;
    TTaskRunState& operator=(const TTaskRunState&) = delete;
};
