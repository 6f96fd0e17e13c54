#include "engine/ConvertThread.h"

#include "media/FFLogger.h"

TConvertThread::TConvertThread(std::function<void()> body, TThreadPriority priority, const void* logSender)
    : FBody(std::move(body)), FPriority(priority), FLogSender(logSender)
{
}

TConvertThread::~TConvertThread()
{
    if (!FThread.joinable())
        return;
    if (IsCurrent())
        FThread.detach();
    else
        FThread.join();
}

void TConvertThread::Resume()
{
    if (FThread.joinable())
        return;
    FThread = std::thread([this] {
        QString reason;
        if (!SetThreadPriority(CurrentThreadId(), FPriority, &reason))
            DefaultLogger()->Log(FLogSender, llWarning,
                                 QString("Cannot set the priority of the conversion thread: %1").arg(reason));
        FBody();
    });
}

bool TConvertThread::IsCurrent() const
{
    return FThread.get_id() == std::this_thread::get_id();
}
