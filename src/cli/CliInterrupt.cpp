#include "cli/CliInterrupt.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace {

int SignalPipe[2] = {-1, -1};

extern "C" void OnSigInt(int)
{
    // Only async-signal-safe calls here.
    std::signal(SIGINT, SIG_DFL);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(SignalPipe[1], &byte, 1);
}

} // namespace

TCliInterrupt::TCliInterrupt(std::function<void()> onInterrupt) : FOnInterrupt(std::move(onInterrupt))
{
    if (::pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // without the pipe Ctrl-C keeps its default action
    FNotifier = std::make_unique<QSocketNotifier>(SignalPipe[0], QSocketNotifier::Read);
    connect(FNotifier.get(), &QSocketNotifier::activated, this, [this] { Arrived(); });
    struct sigaction action
    {
    };
    action.sa_handler = OnSigInt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    // A parent may hand the signal down blocked (the mask survives exec);
    // Ctrl-C must still arrive.
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    ::pthread_sigmask(SIG_UNBLOCK, &interrupt, nullptr);
}

TCliInterrupt::~TCliInterrupt()
{
    std::signal(SIGINT, SIG_DFL);
    FNotifier.reset();
    for (int& fd : SignalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void TCliInterrupt::Arrived()
{
    char buffer[16];
    while (::read(SignalPipe[0], buffer, sizeof buffer) > 0) {
    }
    if (FInterrupted)
        return;
    FInterrupted = true;
    if (FOnInterrupt)
        FOnInterrupt();
}
