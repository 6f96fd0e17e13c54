#include "engine/LoopContext.h"

#include "media/FFLogger.h"
#include "media/FFmpegException.h"

extern "C" {
#include <libavutil/time.h>
}

bool TGrowingBuffer::Reserve(size_t size)
{
    if (size <= FCapacity)
        return true;
    // Half again as much as asked, so a slowly growing need does not reallocate every time.
    const size_t capacity = size + size / 2;
    AVMemoryPtr<uint8_t> data(static_cast<uint8_t*>(av_malloc(capacity)));
    if (!data)
        return false;
    if (FData && FCapacity > 0)
        memcpy(data.get(), FData.get(), FCapacity);
    FData = std::move(data);
    FCapacity = capacity;
    return true;
}

double TMuxedStream::EndTimeSeconds() const
{
    if (EndTime == AV_NOPTS_VALUE)
        return 0;
    return double(EndTime) * av_q2d(Stream->time_base);
}

TLoopContext::TLoopContext(TCustomFFmpeg& task)
    : Task(task), Opts(task.Opts()), Files(task.Files), DecodedFrame(av_frame_alloc()),
      PreprocessPicture(av_frame_alloc()), ReadPacket(av_packet_alloc()), EncodedPacket(av_packet_alloc())
{
    if (!DecodedFrame || !PreprocessPicture || !ReadPacket || !EncodedPacket)
        throw FFmpegException("Out of memory");
    NoPacket.assign(Files.InputCount(), 0);
    TrailerWritten.assign(Files.OutputCount(), 0);
    InputWork.resize(Files.InputStreams.size());
    OutputWork.resize(Files.OutputStreams.size());
    for (size_t i = 0; i < Files.OutputStreams.size(); ++i) {
        const AVStream* stream = Files.OutputStreams[i]->Stream;
        TMuxedStream* muxed = nullptr;
        for (TMuxedStream& known : MuxedStreams)
            if (known.Stream == stream)
                muxed = &known;
        if (!muxed) {
            MuxedStreams.push_back(TMuxedStream{});
            muxed = &MuxedStreams.back();
            muxed->Stream = stream;
        }
        OutputWork[i].Muxed = muxed;
    }
}

TLoopContext::~TLoopContext()
{
    sws_freeContext(FromRgbScaler);
    for (TOutputStreamWork& work : OutputWork)
        av_channel_layout_uninit(&work.ResamplerLayout);
    for (TInputStreamWork& work : InputWork) {
        av_channel_layout_uninit(&work.ConverterLayout);
        av_channel_layout_uninit(&work.DecodedLayout);
    }
}

int TLoopContext::InputStreamIndex(const TInputStream& ist) const
{
    return Files.InputFileRecords[ist.FileIndex].IstIndex + ist.Index;
}

TOutputStreamWork& TLoopContext::WorkOf(const TOutputStream& ost)
{
    for (size_t i = 0; i < Files.OutputStreams.size(); ++i)
        if (Files.OutputStreams[i].get() == &ost)
            return OutputWork[i];
    throw FFmpegException("output stream record not found");
}

void TLoopContext::Log(TLogLevel level, const QString& message) const
{
    DefaultLogger()->Log(&Task, level, message);
}

void TLoopContext::RaiseOrLog(const QString& message) const
{
    if (Opts.ExitOnError)
        throw FFmpegException(message);
    Log(llError, message);
}

int64_t LoopClockNow()
{
    return av_gettime_relative();
}

AVMediaType OutputStreamType(const TOutputStream& ost)
{
    return ost.Stream->codecpar->codec_type;
}
