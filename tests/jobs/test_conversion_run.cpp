#include "jobs/TerminateQueue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <set>
#include <thread>
#include <vector>

namespace {

// Processes the main thread's events until `done` holds or a generous limit
// has passed (the limit only keeps a broken run from hanging the test).
bool ProcessEventsUntil(const std::function<bool()>& done, int limitMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

TTerminateNotice Notice(int taskIndex, bool finished = true)
{
    TTerminateNotice notice;
    notice.TaskIndex = taskIndex;
    notice.Finished = finished;
    return notice;
}

// Posts from a thread of its own, as the engine does, and waits for that thread.
void PostFromThread(TTerminateQueue& queue, const TTerminateNotice& notice)
{
    std::thread poster([&] { queue.Post(notice); });
    poster.join();
}

// Records what the handler receives and on which thread.
struct TSeenNotices
{
    std::vector<int> Order;
    bool AllOnMainThread = true;
    int Depth = 0;
    int MaxDepth = 0;

    TTerminateQueue::THandler Handler(std::function<void(const TTerminateNotice&)> inside = {})
    {
        return [this, inside](const TTerminateNotice& notice) {
            ++Depth;
            MaxDepth = std::max(MaxDepth, Depth);
            AllOnMainThread = AllOnMainThread && QThread::currentThread() == qApp->thread();
            Order.push_back(notice.TaskIndex);
            if (inside)
                inside(notice);
            --Depth;
        };
    }
};

} // namespace

TEST(TerminateQueue, TheEndOfTheRunWaitsForEveryTaskAndAllArriveInTheMainThread)
{
    TSeenNotices seen;
    TTerminateQueue queue(seen.Handler());
    queue.BeginRun(3);
    // The end of the run overtakes the tasks, and the tasks arrive out of order.
    PostFromThread(queue, Notice(-1));
    PostFromThread(queue, Notice(2, false));
    PostFromThread(queue, Notice(0));
    EXPECT_TRUE(seen.Order.empty()) << "nothing is handled on the posting threads";
    PostFromThread(queue, Notice(1));

    ASSERT_TRUE(ProcessEventsUntil([&] { return seen.Order.size() == 4; }));
    EXPECT_EQ(seen.Order, (std::vector<int>{2, 0, 1, -1}));
    EXPECT_TRUE(seen.AllOnMainThread);
    EXPECT_FALSE(queue.RunOpen());
}

TEST(TerminateQueue, OverlappingNoticesFromManyThreadsEndWithTheRunsEnd)
{
    constexpr int Tasks = 6;
    for (int round = 0; round < 40; ++round) {
        TSeenNotices seen;
        TTerminateQueue queue(seen.Handler());
        queue.BeginRun(Tasks);
        std::atomic<bool> go{false};
        std::vector<std::thread> posters;
        for (int index = -1; index < Tasks; ++index)
            posters.emplace_back([&, index] {
                while (!go.load())
                    std::this_thread::yield();
                queue.Post(Notice(index));
            });
        go = true;
        for (std::thread& t : posters)
            t.join();

        ASSERT_TRUE(ProcessEventsUntil([&] { return seen.Order.size() == Tasks + 1; })) << round;
        EXPECT_EQ(seen.Order.back(), -1) << round;
        EXPECT_EQ(std::set<int>(seen.Order.begin(), seen.Order.end() - 1).size(), size_t(Tasks)) << round;
        EXPECT_TRUE(seen.AllOnMainThread) << round;
    }
}

TEST(TerminateQueue, NoticesWaitWhileTheMainThreadIsInsideAHeldEngineCall)
{
    TSeenNotices seen;
    TTerminateQueue queue(seen.Handler());
    queue.BeginRun(1);
    {
        TTerminateQueue::THold hold(queue);
        PostFromThread(queue, Notice(0, false));
        PostFromThread(queue, Notice(-1));
        // What a stop with waiting does while it waits: process events.
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        queue.DeliverPending();
        EXPECT_TRUE(seen.Order.empty());
        EXPECT_TRUE(queue.RunOpen());
    }
    ASSERT_TRUE(ProcessEventsUntil([&] { return seen.Order.size() == 2; }));
    EXPECT_EQ(seen.Order, (std::vector<int>{0, -1}));
}

TEST(TerminateQueue, AHandlerThatProcessesEventsIsNeverEnteredTwice)
{
    TSeenNotices seen;
    TTerminateQueue* queuePointer = nullptr;
    TTerminateQueue queue(seen.Handler([&](const TTerminateNotice& notice) {
        if (notice.TaskIndex == 0) {
            // More notices arrive while the first is handled, and the handler
            // itself runs the event loop (as a closing window does).
            PostFromThread(*queuePointer, Notice(-1));
            PostFromThread(*queuePointer, Notice(1));
            for (int i = 0; i < 20; ++i)
                QCoreApplication::processEvents();
        }
    }));
    queuePointer = &queue;
    queue.BeginRun(2);
    PostFromThread(queue, Notice(0));

    ASSERT_TRUE(ProcessEventsUntil([&] { return seen.Order.size() == 3; }));
    EXPECT_EQ(seen.Order, (std::vector<int>{0, 1, -1}));
    EXPECT_EQ(seen.MaxDepth, 1);
}

TEST(TerminateQueue, NoticesPostedAfterTheQueueIsGoneAreDropped)
{
    TSeenNotices seen;
    std::function<void(const TTerminateNotice&)> poster;
    {
        TTerminateQueue queue(seen.Handler());
        queue.BeginRun(1);
        poster = queue.Poster();
        PostFromThread(queue, Notice(0)); // queued, never handled
    }
    std::thread late([&] { poster(Notice(-1)); });
    late.join();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(seen.Order.empty());
}
