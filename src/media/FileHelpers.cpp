#include "media/FileHelpers.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <memory>

qint64 FileSizeOf(const QString& fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists() || info.isDir())
        return -1;
    return info.size();
}

int ReadWholeFile(const QString& fileName, AVMemoryPtr<char>& buffer, qint64& size)
{
    // A folder opens like a file here; it must not count as one.
    if (QFileInfo(fileName).isDir())
        return -1;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(QFile::encodeName(fileName).constData(), "rb"),
                                               std::fclose);
    if (!file)
        return -1;
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return -1;
    const long length = std::ftell(file.get());
    if (length < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return -1;
    AVMemoryPtr<char> data(static_cast<char*>(av_malloc(static_cast<size_t>(length) + 1)));
    if (!data)
        return -12;
    // A short read would hand uninitialised bytes on as file content.
    if (std::fread(data.get(), 1, static_cast<size_t>(length), file.get()) != static_cast<size_t>(length))
        return -1;
    data.get()[length] = 0;
    buffer = std::move(data);
    size = length + 1;
    return 0;
}
