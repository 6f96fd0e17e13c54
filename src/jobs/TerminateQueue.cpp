#include "jobs/TerminateQueue.h"

#include <QCoreApplication>
#include <QObject>

#include <deque>
#include <mutex>

// Lock order: only FMutex, never held while the handler runs.
struct TTerminateQueue::TState
{
    std::mutex Mutex;
    // --- protected by Mutex
    std::deque<TTerminateNotice> Pending;
    QObject* Receiver =
        nullptr;            // main-thread object the deliveries are queued to; null once the queue is gone
    int ExpectedTasks = 0;  // task notices the open run sends
    int DeliveredTasks = 0; // task notices handled in the open run
    bool RunOpen = false;
    // --- main thread only
    THandler Handler;
    int Holds = 0;
    bool Delivering = false;

    void Post(const std::shared_ptr<TState>& self, const TTerminateNotice& notice);
    void QueueDelivery(const std::shared_ptr<TState>& self);
    void DeliverPending();
    // Under Mutex: takes the first notice that may go now.
    bool TakeNext(TTerminateNotice& notice);
};

void TTerminateQueue::TState::Post(const std::shared_ptr<TState>& self, const TTerminateNotice& notice)
{
    std::lock_guard lock(Mutex);
    if (Receiver == nullptr)
        return;
    Pending.push_back(notice);
    std::weak_ptr<TState> weak = self;
    QMetaObject::invokeMethod(
        Receiver,
        [weak] {
            if (auto state = weak.lock())
                state->DeliverPending();
        },
        Qt::QueuedConnection);
}

void TTerminateQueue::TState::QueueDelivery(const std::shared_ptr<TState>& self)
{
    std::lock_guard lock(Mutex);
    if (Receiver == nullptr || Pending.empty())
        return;
    std::weak_ptr<TState> weak = self;
    QMetaObject::invokeMethod(
        Receiver,
        [weak] {
            if (auto state = weak.lock())
                state->DeliverPending();
        },
        Qt::QueuedConnection);
}

bool TTerminateQueue::TState::TakeNext(TTerminateNotice& notice)
{
    for (auto it = Pending.begin(); it != Pending.end(); ++it) {
        if (it->TaskIndex < 0 && RunOpen && DeliveredTasks < ExpectedTasks)
            continue; // the run's end waits for the tasks still on their way
        notice = std::move(*it);
        Pending.erase(it);
        if (notice.TaskIndex >= 0)
            ++DeliveredTasks;
        return true;
    }
    return false;
}

void TTerminateQueue::TState::DeliverPending()
{
    if (Holds > 0 || Delivering)
        return;
    Delivering = true;
    try {
        for (;;) {
            TTerminateNotice notice;
            {
                std::lock_guard lock(Mutex);
                if (!TakeNext(notice))
                    break;
            }
            if (Handler)
                Handler(notice);
            if (notice.TaskIndex < 0) {
                std::lock_guard lock(Mutex);
                RunOpen = false;
            }
            if (Holds > 0)
                break; // the handler is inside a held engine call; the rest goes after it
        }
    } catch (...) {
        Delivering = false;
        throw;
    }
    Delivering = false;
}

TTerminateQueue::TTerminateQueue(THandler handler) : FState(std::make_shared<TState>())
{
    FState->Handler = std::move(handler);
    auto* receiver = new QObject;
    if (QCoreApplication::instance() != nullptr)
        receiver->moveToThread(QCoreApplication::instance()->thread());
    FState->Receiver = receiver;
}

TTerminateQueue::~TTerminateQueue()
{
    QObject* receiver = nullptr;
    {
        std::lock_guard lock(FState->Mutex);
        receiver = FState->Receiver;
        FState->Receiver = nullptr;
        FState->Pending.clear();
    }
    // Deleting the receiver discards the deliveries still queued to it.
    delete receiver;
}

void TTerminateQueue::BeginRun(int taskCount)
{
    std::lock_guard lock(FState->Mutex);
    FState->ExpectedTasks = taskCount;
    FState->DeliveredTasks = 0;
    FState->RunOpen = true;
}

void TTerminateQueue::AbandonRun()
{
    std::lock_guard lock(FState->Mutex);
    FState->ExpectedTasks = 0;
    FState->DeliveredTasks = 0;
    FState->RunOpen = false;
}

bool TTerminateQueue::RunOpen() const
{
    std::lock_guard lock(FState->Mutex);
    return FState->RunOpen;
}

void TTerminateQueue::Post(const TTerminateNotice& notice)
{
    FState->Post(FState, notice);
}

std::function<void(const TTerminateNotice&)> TTerminateQueue::Poster() const
{
    std::weak_ptr<TState> weak = FState;
    return [weak](const TTerminateNotice& notice) {
        if (auto state = weak.lock())
            state->Post(state, notice);
    };
}

void TTerminateQueue::DeliverPending()
{
    FState->DeliverPending();
}

TTerminateQueue::THold::THold(TTerminateQueue& queue) : FQueue(queue)
{
    ++FQueue.FState->Holds;
}

TTerminateQueue::THold::~THold()
{
    if (--FQueue.FState->Holds == 0)
        FQueue.FState->QueueDelivery(FQueue.FState);
}
