#pragma once

// The files and streams of one task: what OpenInputFile and OpenOutputFile
// open (kept until CloseFiles) and the stream records Transcode builds for
// its loop (kept until the loop ends or CloseFiles).
//
// Threads: the tables are filled on the caller's thread by AddTask and
// SetOutputFile, then used only by the task's worker (Transcode); nothing
// here is shared between tasks.

#include "media/FFmpegHandles.h"
#include "media/FormatIO.h"

extern "C" {
#include <libavcodec/bsf.h>
#include <libavutil/fifo.h>
}

#include <QString>
#include <array>
#include <cstdio>
#include <memory>
#include <vector>

inline constexpr int MaxInputFiles = 20;
inline constexpr int MaxOutputFiles = 20;
// Streams per file that the per-stream option tables ("itsscale", "streamid") address.
inline constexpr int MaxStreamsPerFile = 20;
// The encoded-video buffer is never smaller than this.
inline constexpr int MinBitBufferSize = 262144;
// ReformatPair value of an output stream without a sample-format converter.
inline constexpr int NoReformatPair = -6;

using BsfContextPtr = TFFHandle<AVBSFContext, av_bsf_free>;
// The bit-stream filters of one stream, in order. Created by the option
// parser without parameters; Transcode gives them their input parameters and
// initialises them once the stream's codec parameters are final.
using TBitStreamFilterChain = std::vector<BsfContextPtr>;
using FifoPtr = TFFHandle<AVFifo, av_fifo_freep2>;

struct TStdioFileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using StdioFilePtr = std::unique_ptr<std::FILE, TStdioFileCloser>;

// One stream of an opened input, from OpenInputFile until Transcode takes it.
struct TInputStreamCodec
{
    // Decoder settings made when the input was opened (codec parameters,
    // generic decoding options, thread count); not opened. Transcode moves
    // it into the stream record and opens it there when the stream is decoded.
    CodecContextPtr Context;
    // The decoder found by name when a decoder name was set, else none.
    const AVCodec* ForcedDecoder = nullptr;
    // The codec's own time base and ticks per frame as the library saw them
    // while reading the stream information (a stream has no codec context of
    // its own any more).
    AVRational CodecTimeBase{0, 1};
    int TicksPerFrame = 1;
};

// One stream of an output, from its creation until CloseFiles.
struct TOutputStreamCodec
{
    // The stream's codec: for an encoded stream the encoder context (opened
    // by Transcode), for a copied stream the settings made at creation
    // (sample aspect ratio, tag, flags). Null after the encoder was closed.
    CodecContextPtr Context;
    // Join mode: an unopened copy of the encoder's settings from just before
    // it was first opened, so that it can be opened again for every input.
    CodecContextPtr ReopenTemplate;
    const AVCodec* Encoder = nullptr; // the encoder found by name; none = by codec id
    AVCodecID CodecId = AV_CODEC_ID_NONE; // chosen at creation, kept for re-opening
    bool StreamCopy = false;
    // Fixed-quality encoding: the quality every picture is encoded with
    // (quantiser x lambda factor), 0 = none.
    float Quality = 0;
    TBitStreamFilterChain Bsfs; // moved from the option state at creation
};

// One opened input.
struct TInputFile
{
    InputFormatPtr Context;
    std::vector<TInputStreamCodec> Streams; // by stream index, as read when it was opened
};

// One output. In join mode the output table holds the same output once per input.
struct TOutputFile
{
    OutputFormatPtr Context;
    QString FileName; // as given, for the empty-file rule of CloseFiles
    bool FileOpened = false;   // the program opened (and so created) the file
    bool HeaderWritten = false;
    std::vector<TOutputStreamCodec> Streams; // by stream index
};

// The per-stream record of an input stream during Transcode.
struct TInputStream
{
    int FileIndex = 0;
    int Index = 0;
    AVStream* Stream = nullptr;
    CodecContextPtr DecoderContext; // taken over from the input's TInputStreamCodec
    const AVCodec* ForcedDecoder = nullptr;
    AVRational CodecTimeBase{0, 1};
    int TicksPerFrame = 1;
    bool Discard = true;         // until an output stream takes it as its source
    bool DecodingNeeded = false; // some output stream encodes from it
    bool DecoderOpened = false;
    qint64 Start = 0;                 // wall-clock microseconds at the start ("re")
    qint64 NextPts = AV_NOPTS_VALUE;  // predicted presentation time, microseconds
    qint64 Pts = 0;                   // current presentation time, microseconds
    bool IsStart = true;
    bool ShowedMultiPacketWarning = false;
    bool IsPastRecordingTime = false;
    bool Flushed = false; // join mode: its decoder was flushed at its input's end
    // The filter graph carrying this stream's decoded video to its encoder
    // (VideoFilters only): the graph, its buffer source and sink, and the
    // last picture taken from the sink.
    FilterGraphPtr FilterGraph;
    AVFilterContext* InputVideoFilter = nullptr;
    AVFilterContext* OutputVideoFilter = nullptr;
    FramePtr FilteredPicture;
};

// The per-input record during Transcode.
struct TInputFileRecord
{
    int IstIndex = 0; // index of its first stream record
    int NbStreams = 0;
    bool EofReached = false;
};

// The per-stream record of an output stream during Transcode.
struct TOutputStream
{
    int FileIndex = 0; // output table entry (in join mode the input it belongs to)
    int Index = 0;
    int SourceIndex = 0; // index of its input stream record
    AVStream* Stream = nullptr;
    TOutputStreamCodec* Codec = nullptr; // the stream's entry in its output (shared in join mode)
    bool EncodingNeeded = false; // false = stream copy
    int FrameNumber = 0;
    TInputStream* SyncIst = nullptr; // the stream whose clock it follows
    qint64 SyncOpts = 0; // output time in encoder time-base units (frames, samples)

    // Video scaling and cropping.
    bool VideoResample = false;
    SwsContextPtr ResampleContext;
    FramePtr PictTmp; // the scaled picture, in the encoder's format and size
    bool VideoCrop = false;
    int TopBand = 0, BottomBand = 0, LeftBand = 0, RightBand = 0;
    // The bands as first set, from which they are recomputed when the input size changes.
    int OriginalTopBand = 0, OriginalBottomBand = 0, OriginalLeftBand = 0, OriginalRightBand = 0;
    int ResampleWidth = 0, ResampleHeight = 0, ResamplePixFmt = AV_PIX_FMT_NONE;
    int OriginalWidth = 0, OriginalHeight = 0;

    // Audio resampling, sample-format conversion and the sample FIFO.
    bool AudioResample = false;
    SwrContextPtr ResampleCtx;
    SwrContextPtr ReformatCtx;
    int ReformatPair = NoReformatPair;
    FifoPtr Fifo; // bytes

    StdioFilePtr LogFile;        // first-pass statistics
    AVMemoryPtr<char> StatsIn;   // second-pass statistics handed to the encoder
    bool Active = false; // join mode: only the current input's streams count for reports
    AVCodecID SavedCodecId = AV_CODEC_ID_NONE; // join mode: the codec to re-open with

    AVCodecContext* Encoder() const { return Codec ? Codec->Context.get() : nullptr; }
};

struct TFileTables
{
    // Inputs, in the order they were opened.
    std::vector<TInputFile> InputFiles;
    std::array<qint64, MaxInputFiles> InputTsOffsets{}; // microseconds
    // Per input (also the one opened next) and stream: time scale, 0 = none.
    std::array<std::array<double, MaxStreamsPerFile>, MaxInputFiles> InputTsScales{};
    // Outputs; in join mode one entry per input, all the same file.
    std::vector<std::shared_ptr<TOutputFile>> OutputFiles;
    // The output OpenOutputFile is making, until it is registered.
    std::shared_ptr<TOutputFile> PendingOutput;

    // Transcode's records.
    std::vector<TInputFileRecord> InputFileRecords;
    std::vector<std::unique_ptr<TInputStream>> InputStreams;
    std::vector<std::unique_ptr<TOutputStream>> OutputStreams;
    // Codecs still open, so that everything can be closed after a failure.
    std::vector<TOutputStream*> OpenedEncoders;
    std::vector<TInputStream*> OpenedDecoders;
    AVMemoryPtr<uint8_t> BitBuffer;
    int BitBufferSize = MinBitBufferSize;

    int InputCount() const { return static_cast<int>(InputFiles.size()); }
    int OutputCount() const { return static_cast<int>(OutputFiles.size()); }
    AVFormatContext* Input(int index) const { return InputFiles[index].Context.get(); }
    AVFormatContext* Output(int index) const { return OutputFiles[index]->Context.get(); }
    // The output (being opened or registered) that owns a container context; null when none does.
    TOutputFile* OutputOf(const AVFormatContext* context) const
    {
        if (PendingOutput && PendingOutput->Context.get() == context)
            return PendingOutput.get();
        for (const auto& output : OutputFiles)
            if (output->Context.get() == context)
                return output.get();
        return nullptr;
    }
    // Drops the stream records (and so the decoders and filter graphs they own).
    void ClearStreamRecords()
    {
        OpenedEncoders.clear();
        OpenedDecoders.clear();
        OutputStreams.clear();
        InputStreams.clear();
        InputFileRecords.clear();
    }
};
