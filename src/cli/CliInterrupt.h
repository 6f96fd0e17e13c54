#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

// Brings Ctrl-C (SIGINT) into the main thread: the signal handler only writes
// one byte into a pipe, and a notifier on the pipe calls the handler from the
// event loop, where stopping the engine is allowed. After the first Ctrl-C
// the default action is back, so a second one ends the program at once
// should stopping ever hang. One instance at a time.
class TCliInterrupt : public QObject
{
public:
    explicit TCliInterrupt(std::function<void()> onInterrupt);
    ~TCliInterrupt() override;

    bool Interrupted() const { return FInterrupted; }

private:
    void Arrived();

    std::function<void()> FOnInterrupt;
    std::unique_ptr<QSocketNotifier> FNotifier;
    bool FInterrupted = false;
};
