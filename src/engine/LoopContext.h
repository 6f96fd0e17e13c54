#pragma once

#include "engine/ReportText.h"
#include "engine/TCustomFFmpeg.h"
#include "engine/VideoStats.h"
#include "media/FFmpegHandles.h"
#include "media/LogLevel.h"

#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <vector>

// The state of one task's packet loop. The loop runs once per task, on the
// task's worker thread, so everything here belongs to that thread alone; the
// work buffers live as long as the loop and only ever grow, so steady-state
// packets allocate nothing.

// A byte buffer that only grows and keeps its content when it does not have to.
class TGrowingBuffer
{
public:
    // At least size bytes; false when the memory cannot be had (the old content is then kept).
    bool Reserve(size_t size);
    uint8_t* Data() const { return FData.get(); }
    size_t Capacity() const { return FCapacity; }

private:
    AVMemoryPtr<uint8_t> FData;
    size_t FCapacity = 0;
};

// What the encoder reported about the last frame it coded (packet side data).
struct TCodedFrameStats
{
    int Quality = 0; // lambda units: quantiser x 118
    AVPictureType PictureType = AV_PICTURE_TYPE_NONE;
    std::array<uint64_t, 3> Errors{}; // squared errors of Y, U, V (PSNR)
};

// One stream of an output container. In join mode every segment's output
// stream record writes into the same container stream and shares this.
struct TMuxedStream
{
    const AVStream* Stream = nullptr;
    int64_t EndTime = AV_NOPTS_VALUE; // end of the last packet written, in the stream's time base
    int64_t LastDts = AV_NOPTS_VALUE;
    // Join mode: an encoder opened again starts with its start-up delay once
    // more, so its first packets would go back in time. They and all after
    // them are moved by this much (stream time base) to follow the last packet.
    int64_t ReopenShift = 0;
    bool Reopened = false;
    TCodedFrameStats LastCoded;

    double EndTimeSeconds() const;
};

// Per input stream record.
struct TInputStreamWork
{
    // Decoded audio of any sample format becomes 16-bit interleaved here, the
    // form every later audio step works on.
    SwrContextPtr ToS16;
    int ConverterFormat = AV_SAMPLE_FMT_NONE;
    int ConverterRate = 0;
    AVChannelLayout ConverterLayout{};
    AVChannelLayout DecodedLayout{}; // of the last decoded block
    int DecodedRate = 0;
    int Quality = 0; // of the last decoded picture ("sameq")
};

// Per output stream record.
struct TOutputStreamWork
{
    TMuxedStream* Muxed = nullptr;
    FramePtr EncoderFrame;        // audio frame handed to the encoder; reused
    int EncoderFrameCapacity = 0; // samples its buffers hold
    // Audio: the source shape the resampler was made for.
    AVChannelLayout ResamplerLayout{};
    int ResamplerRate = 0;
    FramePtr CroppedView; // video: the cropped picture (no copy of the data)
    // Stream copy: in-band header handling for outputs that carry headers globally or per key frame.
    BsfContextPtr RemoveInbandHeaders;
    bool CopyHeadersChecked = false;
    PacketPtr FilteredCopy;
};

struct TLoopContext
{
    explicit TLoopContext(TCustomFFmpeg& task);
    ~TLoopContext();
    TLoopContext(const TLoopContext&) = delete;
    TLoopContext& operator=(const TLoopContext&) = delete;

    TCustomFFmpeg& Task;
    TOptionState& Opts;
    TFileTables& Files;

    // Loop-local state.
    int64_t TimerStart = 0; // microseconds (monotonic clock)
    int64_t LastReport = 0;
    std::vector<char> NoPacket; // per input: its last read asked to try again later
    int NoPacketCount = 0;
    int JoinIndex = 0;                // join mode: the input being read
    int SegmentStreams = 0;           // join mode: output streams per input's segment
    std::vector<char> TrailerWritten; // per output entry

    // Work buffers; they only grow.
    TGrowingBuffer AudioSamples; // decoded audio, 16-bit interleaved
    TGrowingBuffer AudioWork;    // resampled audio
    TGrowingBuffer Silence;      // silence put in front of a block
    TGrowingBuffer FifoTake;     // one encoder frame taken from a FIFO
    TGrowingBuffer SubtitleBuffer;
    FramePtr DecodedFrame;
    FramePtr PreprocessPicture;          // the picture the hook and deinterlacing work on
    SwsContext* FromRgbScaler = nullptr; // bitmap back into the picture (cached)
    PacketPtr ReadPacket;
    PacketPtr EncodedPacket;
    std::vector<PacketPtr> BsfPackets; // one per filter position of a chain

    // Per task, not per process: two tasks may run at once.
    TQpHistogram QpHistogram{};
    TVideoStatsFile VideoStats;

    std::vector<TInputStreamWork> InputWork;   // parallel to Files.InputStreams
    std::vector<TOutputStreamWork> OutputWork; // parallel to Files.OutputStreams
    std::deque<TMuxedStream> MuxedStreams;

    TInputStream& Ist(int index) { return *Files.InputStreams[index]; }
    TOutputStream& Ost(int index) { return *Files.OutputStreams[index]; }
    int InputStreamIndex(const TInputStream& ist) const;
    TInputStreamWork& WorkOf(const TInputStream& ist) { return InputWork[InputStreamIndex(ist)]; }
    TOutputStreamWork& WorkOf(const TOutputStream& ost);
    bool FeedsFrom(const TOutputStream& ost, const TInputStream& ist) const
    {
        return Files.InputStreams[ost.SourceIndex].get() == &ist;
    }

    void Log(TLogLevel level, const QString& message) const;
    // With ExitOnError the message is raised; otherwise it is logged at llError.
    void RaiseOrLog(const QString& message) const;
};

// Microseconds of the monotonic clock the loop's times are taken from.
int64_t LoopClockNow();

// The media type of an output stream's container stream.
AVMediaType OutputStreamType(const TOutputStream& ost);
