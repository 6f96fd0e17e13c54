// Pausing a task: a flag its worker waits on at the top of the packet loop,
// where it holds none of the engine's locks, so a paused task never blocks
// another thread.

#include "engine/TCustomFFmpeg.h"

#include "media/MainThread.h"

#include <chrono>

void TCustomFFmpeg::Pause()
{
    if (!Running)
        return;
    std::lock_guard<std::mutex> guard(Run.PauseLock);
    Run.Paused = true;
}

void TCustomFFmpeg::Resume()
{
    std::lock_guard<std::mutex> guard(Run.PauseLock);
    Run.Paused = false;
    Run.PauseChanged.notify_all();
}

bool TCustomFFmpeg::IsPaused()
{
    std::lock_guard<std::mutex> guard(Run.PauseLock);
    return Run.Paused;
}

void TCustomFFmpeg::WaitWhilePaused()
{
    std::unique_lock<std::mutex> guard(Run.PauseLock);
    if (!IsMainThread()) {
        Run.PauseChanged.wait(guard, [this] { return !Run.Paused || StopRequested; });
        return;
    }
    // A synchronous run on the main thread: only the program's own event
    // handling can resume it, so keep it going while we wait.
    while (Run.Paused && !StopRequested) {
        guard.unlock();
        ProcessPendingMessages();
        guard.lock();
        Run.PauseChanged.wait_for(guard, std::chrono::milliseconds(20),
                                  [this] { return !Run.Paused || StopRequested; });
    }
}
