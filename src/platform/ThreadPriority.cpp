#include "platform/ThreadPriority.h"

#include <cerrno>
#include <cstring>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

int NiceValue(TThreadPriority priority)
{
    switch (priority) {
    case TThreadPriority::Idle:
        return 19;
    case TThreadPriority::Normal:
        return 0;
    case TThreadPriority::Lower:
        return 5;
    case TThreadPriority::Lowest:
        return 10;
    }
    return 0;
}

long CurrentThreadId()
{
    return static_cast<long>(::syscall(SYS_gettid));
}

bool SetThreadPriority(long threadId, TThreadPriority priority, QString* error)
{
    // On Linux PRIO_PROCESS with a thread id acts on that one thread.
    if (::setpriority(PRIO_PROCESS, static_cast<id_t>(threadId), NiceValue(priority)) == 0)
        return true;
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

bool GetThreadNice(long threadId, int& nice)
{
    // -1 is a valid nice value, so success is told by errno.
    errno = 0;
    const int value = ::getpriority(PRIO_PROCESS, static_cast<id_t>(threadId));
    if (value == -1 && errno != 0)
        return false;
    nice = value;
    return true;
}
