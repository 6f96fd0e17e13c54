#pragma once

#include <QtGlobal>
#include <functional>

// Running calls in the main thread (the thread of the application object).
//
// The rule that keeps this free of deadlocks:
// - Without an application object there is no main loop that could ever run
//   the call, so it runs at once on the calling thread (command-line use,
//   tests without an application).
// - On the main thread the call runs at once.
// - On any other thread the call is queued to the application object and the
//   caller waits until the main thread has run it. The main thread runs such
//   calls from its event loop and from ProcessPendingMessages. Main-thread code
//   that waits for a thread which may call CallInMainThread must therefore
//   wait through WaitWhilePumping (or pump itself), never by a plain join or
//   by a lock that thread holds while it delivers.
// - The application object must outlive every thread that calls here: the
//   components stop their threads before the program ends.
void CallInMainThread(const std::function<void()>& call);

// Processes the main thread's pending events, which runs the calls queued by
// CallInMainThread. Returns false, doing nothing, when there is no application
// object or when called off the main thread.
bool ProcessPendingMessages();

// Waits until finished() is true, checking every stepMs milliseconds; on the
// main thread it processes pending events after each step.
void WaitWhilePumping(const std::function<bool()>& finished, int stepMs = 20);

// Whether an application object exists and the calling thread is its thread.
bool IsMainThread();

// The system thread id of the calling thread.
quint32 CurrentThreadID();
