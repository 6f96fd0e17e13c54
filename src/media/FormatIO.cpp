#include "media/FormatIO.h"

#include "media/UnicodeProtocol.h"

namespace {

using TIOOpen = int (*)(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**);
using TIOClose2 = int (*)(AVFormatContext*, AVIOContext*);

// The library's own open and close callbacks, as a fresh context has them.
struct TDefaultIO
{
    TIOOpen Open = nullptr;
    TIOClose2 Close2 = nullptr;
};

const TDefaultIO& DefaultIO()
{
    static const TDefaultIO defaults = [] {
        TDefaultIO result;
        if (AVFormatContext* context = avformat_alloc_context()) {
            result.Open = context->io_open;
            result.Close2 = context->io_close2;
            avformat_free_context(context);
        }
        return result;
    }();
    return defaults;
}

int HookedOpen(AVFormatContext* context, AVIOContext** io, const char* url, int flags, AVDictionary** options)
{
    if (IsUnicodeURL(url))
        return OpenUnicodeIO(io, url, flags);
    return DefaultIO().Open(context, io, url, flags, options);
}

int HookedClose2(AVFormatContext* context, AVIOContext* io)
{
    if (IsUnicodeIO(io))
        return CloseUnicodeIO(&io);
    if (DefaultIO().Close2)
        return DefaultIO().Close2(context, io);
    return avio_close(io);
}

} // namespace

void InstallUnicodeIOHooks(AVFormatContext* context)
{
    if (!DefaultIO().Open)
        return;
    context->io_open = HookedOpen;
    context->io_close2 = HookedClose2;
}

int OpenInputFile(AVFormatContext** context, const std::string& url, const AVInputFormat* format,
                  AVDictionary** options)
{
    if (!*context && !(*context = avformat_alloc_context()))
        return AVERROR(ENOMEM);
    InstallUnicodeIOHooks(*context);
    // The main file of a unicode URL is opened here and handed over as the
    // caller's own I/O, which the library never closes by itself.
    AVIOContext* own = nullptr;
    if (IsUnicodeURL(url) && !(format && (format->flags & AVFMT_NOFILE))) {
        const int result = OpenUnicodeIO(&own, url, AVIO_FLAG_READ);
        if (result < 0) {
            avformat_free_context(*context);
            *context = nullptr;
            return result;
        }
        (*context)->pb = own;
    }
    const int result = avformat_open_input(context, url.c_str(), format, options);
    if (result < 0)
        CloseUnicodeIO(&own); // the library has freed the context but left the I/O
    return result;
}

void CloseInputFile(AVFormatContext** context)
{
    if (!context || !*context)
        return;
    AVIOContext* own = IsUnicodeIO((*context)->pb) ? (*context)->pb : nullptr;
    if (own)
        (*context)->flags |= AVFMT_FLAG_CUSTOM_IO;
    avformat_close_input(context);
    CloseUnicodeIO(&own);
}

int OpenOutputIO(AVFormatContext* context, const std::string& url, int flags, AVDictionary** options)
{
    InstallUnicodeIOHooks(context);
    if (context->oformat && (context->oformat->flags & AVFMT_NOFILE))
        return 0;
    if (IsUnicodeURL(url))
        return OpenUnicodeIO(&context->pb, url, flags);
    return avio_open2(&context->pb, url.c_str(), flags, &context->interrupt_callback, options);
}

int CloseOutputIO(AVFormatContext* context)
{
    if (!context || !context->pb)
        return 0;
    if (IsUnicodeIO(context->pb))
        return CloseUnicodeIO(&context->pb);
    // Neither a format that writes no file nor the caller's own I/O is ours to close.
    if ((context->oformat && (context->oformat->flags & AVFMT_NOFILE)) ||
        (context->flags & AVFMT_FLAG_CUSTOM_IO))
        return 0;
    return avio_closep(&context->pb);
}
