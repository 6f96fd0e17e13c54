#pragma once

#include <mutex>

// The process-wide lock around every codec open and close (and the stream
// information search, which opens codecs): the codec library's open and close
// are not safe to run concurrently. Recursive, so a holder may open nested.
std::recursive_mutex& CodecLock();

// Holds CodecLock for a scope.
class TCodecLockGuard
{
public:
    TCodecLockGuard() { CodecLock().lock(); }
    ~TCodecLockGuard() { CodecLock().unlock(); }
    TCodecLockGuard(const TCodecLockGuard&) = delete;
    TCodecLockGuard& operator=(const TCodecLockGuard&) = delete;
};
