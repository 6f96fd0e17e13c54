#pragma once

#include <QString>

// Priority of the conversion threads. The values are those stored under
// "priority" in the settings file.
enum class TThreadPriority { Idle = 0, Normal = 1, Lower = 2, Lowest = 3 };

// The nice value that stands for a priority: idle 19, normal 0, lower 5, lowest 10.
int NiceValue(TThreadPriority priority);

// The kernel's id of the calling thread (what setpriority takes for one thread).
long CurrentThreadId();

// Gives one thread the nice value of the priority. False, with the reason in
// `error` when given, when the system refuses (raising the priority of a
// thread needs a privilege).
bool SetThreadPriority(long threadId, TThreadPriority priority, QString* error = nullptr);

// The nice value the thread runs at now; false when it cannot be read.
bool GetThreadNice(long threadId, int& nice);
