#include "jobs/RunPriority.h"

std::optional<TThreadPriority> PriorityFromSetting(int value)
{
    switch (value) {
    case 0:
        return TThreadPriority::Idle;
    case 1:
        return TThreadPriority::Normal;
    case 2:
        return TThreadPriority::Lower;
    case 3:
        return TThreadPriority::Lowest;
    default:
        return std::nullopt;
    }
}
