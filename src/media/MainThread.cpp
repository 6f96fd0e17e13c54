#include "media/MainThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <chrono>
#include <thread>
#include <unistd.h>

bool IsMainThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void CallInMainThread(const std::function<void()>& call)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(
        app, [&call] { call(); }, Qt::BlockingQueuedConnection);
}

bool ProcessPendingMessages()
{
    if (!IsMainThread())
        return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return true;
}

void WaitWhilePumping(const std::function<bool()>& finished, int stepMs)
{
    const bool pump = IsMainThread();
    while (!finished()) {
        if (pump)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (finished())
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(stepMs));
    }
}

quint32 CurrentThreadID()
{
    return static_cast<quint32>(gettid());
}
