#include "media/LogLineBuffers.h"

std::vector<std::string> TLogLineBuffers::Append(quint32 threadID, const std::string& prefix,
                                                 const char* chunk)
{
    std::vector<std::string> lines;
    std::lock_guard lock(FLock);
    std::string& text = FPending[threadID];
    if (text.empty())
        text = prefix;
    text += chunk;
    std::string::size_type start = 0;
    for (std::string::size_type feed; (feed = text.find('\n', start)) != std::string::npos; start = feed + 1)
        lines.emplace_back(text, start, feed - start);
    if (start == text.size())
        FPending.erase(threadID);
    else if (start > 0)
        text.erase(0, start);
    return lines;
}
