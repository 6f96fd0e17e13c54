#pragma once

#include "platform/ThreadPriority.h"

#include <optional>

// The conversion threads' priority stored as "priority" in section
// "settings" (default 1): 0 idle, 1 normal, 2 lower, 3 lowest. Any other
// value names no priority and leaves the engine's as it is.
inline constexpr int DefaultPrioritySetting = 1;
std::optional<TThreadPriority> PriorityFromSetting(int value);
