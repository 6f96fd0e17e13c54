#pragma once

#include "media/FFmpegHandles.h"

#include <string>

// Opening and closing files with the container library. Every place that
// opens a file goes through here, so that unicode URLs (UnicodeProtocol.h)
// open through the program's own I/O, also for the files a muxer or demuxer
// opens by itself (image sequences, segments).

// As avformat_open_input: *context may hold a preallocated context (freed on
// failure) or be null. Returns 0 or a negative library error code.
int OpenInputFile(AVFormatContext** context, const std::string& url, const AVInputFormat* format,
                  AVDictionary** options);
// As avformat_close_input, also closing the program's own I/O.
void CloseInputFile(AVFormatContext** context);

// Opens the file of an output context (unless its format writes no file)
// with AVIO_FLAG_WRITE or the flags given. Returns 0 or a negative error code.
int OpenOutputIO(AVFormatContext* context, const std::string& url, int flags = AVIO_FLAG_WRITE,
                 AVDictionary** options = nullptr);
// Closes the file of an output context; returns 0 or the close error.
int CloseOutputIO(AVFormatContext* context);

// Lets the context open further files through the program's I/O; the open
// functions above do this themselves.
void InstallUnicodeIOHooks(AVFormatContext* context);

struct TInputFormatCloser
{
    void operator()(AVFormatContext* context) const { CloseInputFile(&context); }
};
struct TOutputFormatCloser
{
    void operator()(AVFormatContext* context) const
    {
        CloseOutputIO(context);
        avformat_free_context(context);
    }
};
// An opened input; released with CloseInputFile.
using InputFormatPtr = std::unique_ptr<AVFormatContext, TInputFormatCloser>;
// An output context; its file (if open) is closed, then the context freed.
// The trailer is the owner's business before that.
using OutputFormatPtr = std::unique_ptr<AVFormatContext, TOutputFormatCloser>;
