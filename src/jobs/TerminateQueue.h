#pragma once

#include <QString>

#include <functional>
#include <memory>

// What one termination notice of the engine says.
struct TTerminateNotice
{
    int TaskIndex = -1;    // -1: the whole run is over
    bool Finished = false; // the task ran to its end without a stop request
    bool Exception = false;
    QString ExceptionMsg;
};

// Brings the engine's termination notices into the main thread before they
// touch a window or a row. The engine sends each one on a short-lived thread
// of its own, so they arrive in any order and may overlap: in particular the
// end-of-run notice (-1) can overtake the last task's. The queue hands them
// to its handler on the main thread one at a time, in the order they arrived,
// except that the end-of-run notice waits until every task of the run has
// had its own: the row of the last task is marked and the after-conversion
// actions run before the run is torn down.
//
// Posting never waits for the main thread. Created, used and destroyed on the
// main thread, apart from Post and the poster, which any thread may call;
// notices posted after the queue is gone are dropped.
class TTerminateQueue
{
public:
    using THandler = std::function<void(const TTerminateNotice&)>;

    explicit TTerminateQueue(THandler handler);
    ~TTerminateQueue();
    TTerminateQueue(const TTerminateQueue&) = delete;
    TTerminateQueue& operator=(const TTerminateQueue&) = delete;

    // Before a run starts: the run sends one notice for each of taskCount
    // tasks, then the end-of-run notice.
    void BeginRun(int taskCount);
    // True from BeginRun until the end-of-run notice has been handled.
    bool RunOpen() const;
    // The run never started after all: no notices are awaited for it.
    void AbandonRun();

    // Any thread.
    void Post(const TTerminateNotice& notice);
    // A callable for the engine's threads that stays safe to call after the
    // queue is gone (it then drops the notice).
    std::function<void(const TTerminateNotice&)> Poster() const;

    // Hands every notice that may go now to the handler. Does nothing while
    // deliveries are held or while the handler is already running further
    // up the stack (the notices then go once it returns).
    void DeliverPending();

    // Holds deliveries while the main thread is inside an engine call that
    // processes events as it waits (stopping the tasks with waiting): a
    // notice handled in there could clear the very tasks the call is still
    // walking. The held notices go from the event loop once the hold ends.
    class THold
    {
    public:
        explicit THold(TTerminateQueue& queue);
        ~THold();
        THold(const THold&) = delete;
        THold& operator=(const THold&) = delete;

    private:
        TTerminateQueue& FQueue;
    };

    struct TState;

private:
    std::shared_ptr<TState> FState;
};
