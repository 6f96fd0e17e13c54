#pragma once

// Owning handles for the media libraries' objects: each one is a unique_ptr
// whose deleter is the library's own release function, so no caller frees an
// FFmpeg object by hand.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <type_traits>

// Calls Release(p) when the release function takes the object, Release(&p)
// when it takes the address of the pointer (the *_free(T**) family).
template <auto Release> struct TFFReleaser
{
    template <class T> void operator()(T* object) const
    {
        if constexpr (std::is_invocable_v<decltype(Release), T*>)
            Release(object);
        else
            Release(&object);
    }
};

template <class T, auto Release> using TFFHandle = std::unique_ptr<T, TFFReleaser<Release>>;

using CodecContextPtr = TFFHandle<AVCodecContext, avcodec_free_context>;
using FramePtr = TFFHandle<AVFrame, av_frame_free>;
using PacketPtr = TFFHandle<AVPacket, av_packet_free>;
// A format context that was allocated but never opened as an input (options
// store, output before its I/O is attached).
using FormatContextPtr = TFFHandle<AVFormatContext, avformat_free_context>;
using SwsContextPtr = TFFHandle<SwsContext, sws_freeContext>;
using SwrContextPtr = TFFHandle<SwrContext, swr_free>;
using FilterGraphPtr = TFFHandle<AVFilterGraph, avfilter_graph_free>;
using DictionaryPtr = TFFHandle<AVDictionary, av_dict_free>;
// Memory from av_malloc and its relatives.
template <class T> using AVMemoryPtr = TFFHandle<T, av_free>;

// Input and output format contexts whose file may sit on the program's own
// "unicode" I/O are released through FormatIO.h (InputFormatPtr, OutputFormatPtr).
