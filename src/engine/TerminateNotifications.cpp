#include "engine/TerminateNotifications.h"

#include "media/FFLogger.h"

#include <algorithm>
#include <exception>

TTerminateNotifications::~TTerminateNotifications()
{
    WaitAll();
}

void TTerminateNotifications::Post(std::function<void()> delivery, bool afterHolds)
{
    std::lock_guard<std::mutex> guard(FLock);
    JoinFinished();
    auto previous = FLastDone;
    auto done = std::make_shared<TManualResetEvent>(false);
    FLastDone = done;
    std::thread thread([this, previous, done, afterHolds, delivery = std::move(delivery)] {
        if (previous)
            previous->Wait();
        if (afterHolds)
            WaitUntilNotHeld();
        try {
            delivery();
        } catch (const std::exception& error) {
            DefaultLogger()->Log(this, llError, QString("Error occurs OnTerminate: %1").arg(error.what()));
        } catch (...) {
            DefaultLogger()->Log(this, llError, "Error occurs OnTerminate");
        }
        done->Set();
    });
    FDeliveries.push_back({std::move(thread), done});
}

void TTerminateNotifications::Hold()
{
    std::lock_guard<std::mutex> guard(FLock);
    ++FHolds;
}

void TTerminateNotifications::Release()
{
    std::lock_guard<std::mutex> guard(FLock);
    --FHolds;
    FHoldChanged.notify_all();
}

void TTerminateNotifications::WaitUntilNotHeld()
{
    std::unique_lock<std::mutex> guard(FLock);
    FHoldChanged.wait(guard, [this] { return FHolds == 0; });
}

void TTerminateNotifications::JoinFinished()
{
    for (auto it = FDeliveries.begin(); it != FDeliveries.end();) {
        if (it->Done->IsSet() && it->Thread.get_id() != std::this_thread::get_id()) {
            it->Thread.join();
            it = FDeliveries.erase(it);
        } else {
            ++it;
        }
    }
}

bool TTerminateNotifications::IsDeliveryThread() const
{
    std::lock_guard<std::mutex> guard(FLock);
    for (const TDelivery& delivery : FDeliveries)
        if (delivery.Thread.get_id() == std::this_thread::get_id())
            return true;
    return false;
}

void TTerminateNotifications::WaitAll()
{
    for (;;) {
        std::shared_ptr<TManualResetEvent> pending;
        {
            std::lock_guard<std::mutex> guard(FLock);
            JoinFinished();
            if (FDeliveries.empty())
                return;
            const bool onDeliveryThread =
                std::any_of(FDeliveries.begin(), FDeliveries.end(), [](const TDelivery& d) {
                    return d.Thread.get_id() == std::this_thread::get_id();
                });
            if (onDeliveryThread) {
                // Everything posted before the calling delivery has returned, and
                // what came after waits for it: none of it can be waited for here.
                for (TDelivery& delivery : FDeliveries)
                    delivery.Thread.detach();
                FDeliveries.clear();
                return;
            }
            pending = FDeliveries.front().Done;
        }
        WaitPumping(*pending);
    }
}
