#pragma once

#include <QtGlobal>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

// The libraries log a line in several chunks, from many threads at once.
// This keeps each thread's unfinished line apart and gives back the lines a
// chunk completes.
class TLogLineBuffers
{
public:
    // Adds one chunk of the thread's output. prefix starts a line and is
    // dropped when the chunk continues an unfinished one. Returns the lines
    // completed by the chunk, without their line feeds.
    std::vector<std::string> Append(quint32 threadID, const std::string& prefix, const char* chunk);

private:
    std::mutex FLock; // guards FPending
    // Unfinished line per thread; threads with nothing pending have no entry.
    std::unordered_map<quint32, std::string> FPending;
};
