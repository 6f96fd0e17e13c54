#include "media/UnicodeProtocol.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include <QSet>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view UnicodePrefix = "unicode:utf8:";
constexpr int IOBufferSize = 32768;

std::atomic<bool> Registered{false};

// The protocols of the installed library, for input and for output.
const QSet<QString>& LibraryProtocols()
{
    static const QSet<QString> names = [] {
        QSet<QString> result;
        for (int output = 0; output <= 1; ++output) {
            void* opaque = nullptr;
            while (const char* name = avio_enum_protocols(&opaque, output))
                result.insert(QString::fromLatin1(name));
        }
        return result;
    }();
    return names;
}

// The per-connection state: one file descriptor.
struct TUnicodeFile
{
    int Descriptor = -1;
};

int UnicodeRead(void* opaque, uint8_t* buffer, int size)
{
    const int descriptor = static_cast<TUnicodeFile*>(opaque)->Descriptor;
    for (;;) {
        const ssize_t done = ::read(descriptor, buffer, static_cast<size_t>(size));
        if (done > 0)
            return static_cast<int>(done);
        if (done == 0)
            return AVERROR_EOF;
        if (errno != EINTR)
            return AVERROR(errno);
    }
}

// The library does not retry a short write, so the whole buffer goes out here.
int UnicodeWrite(void* opaque, uint8_t* buffer, int size)
{
    const int descriptor = static_cast<TUnicodeFile*>(opaque)->Descriptor;
    int written = 0;
    while (written < size) {
        const ssize_t done = ::write(descriptor, buffer + written, static_cast<size_t>(size - written));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return AVERROR(errno);
        }
        written += static_cast<int>(done);
    }
    return written;
}

int64_t UnicodeSeek(void* opaque, int64_t position, int whence)
{
    const int descriptor = static_cast<TUnicodeFile*>(opaque)->Descriptor;
    if (whence & AVSEEK_SIZE) {
        struct stat info
        {
        };
        if (fstat(descriptor, &info) != 0)
            return AVERROR(errno);
        return info.st_size;
    }
    whence &= ~AVSEEK_FORCE;
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END)
        return AVERROR(EINVAL);
    const off_t result = lseek(descriptor, static_cast<off_t>(position), whence);
    return result < 0 ? AVERROR(errno) : static_cast<int64_t>(result);
}

// The file name behind a unicode URL: the two prefix words removed.
QString UnicodeFileName(std::string_view url)
{
    QString name = QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size()));
    for (int word = 0; word < 2; ++word)
        name.remove(0, name.indexOf(QLatin1Char(':')) + 1);
    return name;
}

} // namespace

bool NeedsUnicodeURL(const QString& fileName)
{
    const qsizetype colon = fileName.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        const QString word = fileName.left(colon);
        // With a "/" before the colon the library takes the name for a path.
        if (!word.contains(QLatin1Char('/')))
            return word != QLatin1String("unicode") && !LibraryProtocols().contains(word);
    }
    return QString::fromLocal8Bit(fileName.toLocal8Bit()) != fileName;
}

std::string FileNameToURL(const QString& fileName)
{
    if (NeedsUnicodeURL(fileName))
        return std::string(UnicodePrefix) + fileName.toUtf8().toStdString();
    return fileName.toLocal8Bit().toStdString();
}

bool IsUnicodeURL(std::string_view url)
{
    return url.size() >= UnicodePrefix.size() + 1 && url.substr(0, UnicodePrefix.size()) == UnicodePrefix;
}

QString URLToFileName(std::string_view url)
{
    if (IsUnicodeURL(url))
        return UnicodeFileName(url);
    return QString::fromLocal8Bit(url.data(), static_cast<qsizetype>(url.size()));
}

void RegisterUnicodeProtocol()
{
    Registered = true;
}

bool UnicodeProtocolRegistered()
{
    return Registered.load();
}

int OpenUnicodeIO(AVIOContext** io, std::string_view url, int flags)
{
    *io = nullptr;
    if (!UnicodeProtocolRegistered())
        return AVERROR_PROTOCOL_NOT_FOUND;
    if (!IsUnicodeURL(url))
        return AVERROR(EINVAL);

    int mode = O_RDONLY;
    if ((flags & AVIO_FLAG_READ_WRITE) == AVIO_FLAG_READ_WRITE)
        mode = O_RDWR | O_CREAT | O_TRUNC;
    else if (flags & AVIO_FLAG_WRITE)
        mode = O_WRONLY | O_CREAT | O_TRUNC;
    const QByteArray path = UnicodeFileName(url).toLocal8Bit();
    const int descriptor = ::open(path.constData(), mode | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return AVERROR(errno);

    auto* file = new TUnicodeFile{descriptor};
    auto* buffer = static_cast<unsigned char*>(av_malloc(IOBufferSize));
    AVIOContext* context = buffer
                               ? avio_alloc_context(buffer, IOBufferSize, (flags & AVIO_FLAG_WRITE) ? 1 : 0,
                                                    file, UnicodeRead, UnicodeWrite, UnicodeSeek)
                               : nullptr;
    if (!context) {
        av_free(buffer);
        ::close(descriptor);
        delete file;
        return AVERROR(ENOMEM);
    }
    *io = context;
    return 0;
}

bool IsUnicodeIO(const AVIOContext* io)
{
    return io && io->seek == UnicodeSeek;
}

int CloseUnicodeIO(AVIOContext** io)
{
    if (!io || !*io)
        return 0;
    AVIOContext* context = *io;
    *io = nullptr;
    if (context->write_flag)
        avio_flush(context);
    int result = context->error;
    auto* file = static_cast<TUnicodeFile*>(context->opaque);
    if (::close(file->Descriptor) != 0 && result == 0)
        result = AVERROR(errno);
    delete file;
    av_freep(&context->buffer);
    avio_context_free(&context);
    return result;
}
