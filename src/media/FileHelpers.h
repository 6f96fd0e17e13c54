#pragma once

#include "media/FFmpegHandles.h"

#include <QString>

// Size of a file in bytes; -1 when it does not exist or is a folder.
qint64 FileSizeOf(const QString& fileName);

// Reads a whole file into a buffer from the library allocator with a 0 byte
// appended; size is the file size + 1. Returns 0, -1 when the file cannot be
// opened or read, -12 when the memory cannot be had.
int ReadWholeFile(const QString& fileName, AVMemoryPtr<char>& buffer, qint64& size);
