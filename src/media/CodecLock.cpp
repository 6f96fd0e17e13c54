#include "media/CodecLock.h"

std::recursive_mutex& CodecLock()
{
    static std::recursive_mutex lock;
    return lock;
}
