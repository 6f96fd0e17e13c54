#include "probe/AVProbe.h"

#include "media/CodecLock.h"
#include "media/FFLogger.h"
#include "media/FFmpegException.h"
#include "media/FFmpegLoader.h"
#include "media/FileHelpers.h"
#include "media/MediaHelpers.h"
#include "media/UnicodeProtocol.h"
#include "probe/ContainerTags.h"
#include "probe/ProbeInfoText.h"
#include "probe/StreamCodecContext.h"

extern "C" {
#include <libavutil/mathematics.h>
}

#include <QFileInfo>
#include <QStringList>
#include <limits>
#include <vector>

namespace {

const QString FileNotLoaded = QStringLiteral("file not loaded.");

// The libraries report 64-bit rates; the records hold 32-bit ones.
qint32 ClampToInt32(int64_t value)
{
    if (value > std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    if (value < std::numeric_limits<qint32>::min())
        return std::numeric_limits<qint32>::min();
    return static_cast<qint32>(value);
}

qint64 KnownOrMinusOne(int64_t value)
{
    return value == AV_NOPTS_VALUE ? -1 : value;
}

} // namespace

TCustomAVProbe::TCustomAVProbe(QObject* owner) : TFFBaseComponent(ProbeLibraries, owner) {}

TCustomAVProbe::~TCustomAVProbe()
{
    Close();
}

void TCustomAVProbe::CheckLibraries() const
{
    const TFFmpegLoader& loader = FFLoader();
    if (!loader.IsLoaded(libAVCodec))
        throw FFmpegException("LibAVCodec not loaded.");
    if (!loader.IsLoaded(libAVFormat))
        throw FFmpegException("LibAVFormat not loaded.");
    if (!loader.IsLoaded(libAVUtil))
        throw FFmpegException("LibAVUtil not loaded.");
    if (!loader.IsLoaded(libSwScale))
        throw FFmpegException("LibSwScale not loaded.");
}

bool TCustomAVProbe::Open(const QString& fileName, const QString& forcedFormat)
{
    CheckLibraries();
    Close();

    const AVInputFormat* format = nullptr;
    if (!forcedFormat.isEmpty()) {
        format = av_find_input_format(forcedFormat.toUtf8().constData());
        if (!format) {
            SetLastErrMsg(QStringLiteral("Unknown input format: %1").arg(forcedFormat));
            return false;
        }
    }

    FOwnsContext = true;
    AVFormatContext* context = nullptr;
    const int opened = OpenInputFile(&context, FileNameToURL(fileName), format, nullptr);
    if (opened < 0) {
        ReportError(llError, ErrorText(fileName, opened));
        Close();
        return false;
    }
    FOwnedContext.reset(context);
    FFormatContext = context;

    int found;
    {
        // The search opens decoders to read the codec parameters.
        TCodecLockGuard codecLock;
        found = avformat_find_stream_info(context, nullptr);
    }
    if (found < 0) {
        SetLastErrMsg(QStringLiteral("%1: could not find codec parameters").arg(fileName));
        Close();
        return false;
    }

    CollectInfo();
    FForcedFormat = forcedFormat;
    return true;
}

void TCustomAVProbe::Attach(AVFormatContext* context)
{
    CheckLibraries();
    Close();
    FOwnsContext = false;
    FFormatContext = context;
    CollectInfo();
}

void TCustomAVProbe::Close()
{
    FForcedFormat.clear();
    if (FFormatContext) {
        if (FOwnsContext)
            FOwnedContext.reset();
        FFormatContext = nullptr;
    }
    FOwnsContext = false;
    CollectInfo();
}

qint64 TCustomAVProbe::ContextFileSize() const
{
    // A context without byte I/O, or one that cannot tell its size, reports 0.
    qint64 reported = 0;
    if (FFormatContext->pb) {
        const int64_t size = avio_size(FFormatContext->pb);
        reported = size > 0 ? size : 0;
    }
    if (reported > 0)
        return reported;
    const QString name = FileName();
    if (!name.isEmpty() && QFileInfo(name).isFile())
        return FileSizeOf(name);
    return reported;
}

void TCustomAVProbe::CollectInfo()
{
    FFileSize = -1;
    FStreamCount = FProgramCount = -1;
    FAudioStreamCount = FVideoStreamCount = FSubtitleStreamCount = -1;
    FAudioStreamIndex = FVideoStreamIndex = FSubtitleStreamIndex = -1;
    if (!FFormatContext)
        return;

    FFileSize = ContextFileSize();
    FStreamCount = static_cast<int>(FFormatContext->nb_streams);
    FProgramCount = static_cast<int>(FFormatContext->nb_programs);
    FAudioStreamCount = FVideoStreamCount = FSubtitleStreamCount = 0;
    for (int i = 0; i < FStreamCount; ++i) {
        switch (FFormatContext->streams[i]->codecpar->codec_type) {
        case AVMEDIA_TYPE_VIDEO:
            ++FVideoStreamCount;
            if (FVideoStreamIndex == -1)
                FVideoStreamIndex = i;
            break;
        case AVMEDIA_TYPE_AUDIO:
            ++FAudioStreamCount;
            if (FAudioStreamIndex == -1)
                FAudioStreamIndex = i;
            break;
        case AVMEDIA_TYPE_SUBTITLE:
            ++FSubtitleStreamCount;
            if (FSubtitleStreamIndex == -1)
                FSubtitleStreamIndex = i;
            break;
        default:
            break;
        }
    }
}

void TCustomAVProbe::ReportError(TLogLevel level, const QString& text)
{
    SetLastErrMsg(text);
    DefaultLogger()->Log(this, level, text);
}

void TCustomAVProbe::GetFileStreamInfo(TFileStreamInfo& info)
{
    info = TFileStreamInfo();
    if (!FFormatContext) {
        ReportError(llWarning, FileNotLoaded);
        return;
    }
    const AVDictionary* tags = FFormatContext->metadata;
    info.StartTime = KnownOrMinusOne(FFormatContext->start_time);
    info.Duration = KnownOrMinusOne(FFormatContext->duration);
    info.BitRate = ClampToInt32(FFormatContext->bit_rate);
    info.Timestamp = ContainerTimestamp(tags);
    info.Year = ContainerYear(tags);
    info.Track = ContainerTrack(tags);
    info.Title = MetadataValue(tags, QStringLiteral("title"), QString());
    info.Author = MetadataValue(tags, QStringLiteral("author"), QString());
    info.Copyright = MetadataValue(tags, QStringLiteral("copyright"), QString());
    info.Comment = MetadataValue(tags, QStringLiteral("comment"), QString());
    info.Album = MetadataValue(tags, QStringLiteral("album"), QString());
    info.Genre = MetadataValue(tags, QStringLiteral("genre"), QString());
}

AVStream* TCustomAVProbe::QueriedStream(int& index, AVMediaType type)
{
    const bool video = type == AVMEDIA_TYPE_VIDEO;
    if (!FFormatContext) {
        ReportError(llWarning, FileNotLoaded);
        return nullptr;
    }
    if (index < 0) {
        index = video ? FVideoStreamIndex : FAudioStreamIndex;
        if (index == -1) {
            ReportError(llError,
                        video ? QStringLiteral("no video stream.") : QStringLiteral("no audio stream."));
            return nullptr;
        }
    } else if (index >= FStreamCount) {
        ReportError(llError, QStringLiteral("stream index #%1 is invalid.").arg(index));
        return nullptr;
    }
    AVStream* stream = FFormatContext->streams[index];
    if (stream->codecpar->codec_type != type) {
        ReportError(llError, video ? QStringLiteral("stream #%1 is not video stream.").arg(index)
                                   : QStringLiteral("stream #%1 is not audio stream.").arg(index));
        return nullptr;
    }
    return stream;
}

void TCustomAVProbe::FillTimes(AVStream* stream, qint64& startTime, qint64& startTimeUS, qint64& duration,
                               qint64& durationUS) const
{
    // A damaged header can leave a zero denominator; rescaling must never divide by it.
    if (stream->time_base.den == 0)
        stream->time_base.den = stream->time_base.num != 0 ? stream->time_base.num : 1;
    startTime = stream->start_time;
    if (stream->start_time != AV_NOPTS_VALUE)
        startTimeUS = av_rescale_q(stream->start_time, stream->time_base, AV_TIME_BASE_Q);
    duration = stream->duration;
    if (stream->duration != AV_NOPTS_VALUE)
        durationUS = av_rescale_q(stream->duration, stream->time_base, AV_TIME_BASE_Q);
}

void TCustomAVProbe::GetVideoStreamInfo(int index, TVideoStreamInfo& info)
{
    info = TVideoStreamInfo();
    AVStream* stream = QueriedStream(index, AVMEDIA_TYPE_VIDEO);
    if (!stream)
        return;
    const AVCodecParameters* par = stream->codecpar;
    info.Language = MetadataValue(stream->metadata, QStringLiteral("language"), QString());
    if (const CodecContextPtr codec = StreamCodecContext(stream))
        info.CodecName = CodecText(codec.get(), false);
    FillTimes(stream, info.StreamStartTime, info.StartTimeUS, info.StreamDuration, info.DurationUS);
    info.BitRate = ClampToInt32(par->bit_rate);
    info.Height = par->height;
    info.Width = par->width;
    info.PixelFormat = par->format;
    // An unknown aspect (0/1) gives 0; a zero denominator or height gives no ratio at all.
    if (par->sample_aspect_ratio.den != 0 && info.Height != 0)
        info.DisplayAspectRatio =
            static_cast<float>(av_q2d(par->sample_aspect_ratio) * info.Width / info.Height);
    info.FrameRateNum = stream->r_frame_rate.num;
    info.FrameRateDen = stream->r_frame_rate.den;
}

void TCustomAVProbe::GetAudioStreamInfo(int index, TAudioStreamInfo& info)
{
    info = TAudioStreamInfo();
    AVStream* stream = QueriedStream(index, AVMEDIA_TYPE_AUDIO);
    if (!stream)
        return;
    const AVCodecParameters* par = stream->codecpar;
    info.Language = MetadataValue(stream->metadata, QStringLiteral("language"), QString());
    if (const CodecContextPtr codec = StreamCodecContext(stream))
        info.CodecName = CodecText(codec.get(), false);
    FillTimes(stream, info.StreamStartTime, info.StartTimeUS, info.StreamDuration, info.DurationUS);
    info.BitRate = ClampToInt32(par->bit_rate);
    info.Channels = par->ch_layout.nb_channels;
    info.SampleRate = par->sample_rate;
    info.SampleFormat = par->format;
}

bool TCustomAVProbe::IsVideoStream(int index)
{
    if (!FFormatContext) {
        ReportError(llWarning, FileNotLoaded);
        return false;
    }
    if (index < 0 || index >= FStreamCount) {
        ReportError(llError, QStringLiteral("stream index #%1 is invalid.").arg(index));
        return false;
    }
    return FFormatContext->streams[index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO;
}

bool TCustomAVProbe::IsAudioStream(int index)
{
    if (!FFormatContext) {
        ReportError(llWarning, FileNotLoaded);
        return false;
    }
    if (index < 0 || index >= FStreamCount) {
        ReportError(llError, QStringLiteral("stream index #%1 is invalid.").arg(index));
        return false;
    }
    return FFormatContext->streams[index]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
}

QString TCustomAVProbe::FileName() const
{
    if (!FFormatContext || !FFormatContext->url)
        return {};
    return URLToFileName(FFormatContext->url);
}

QString TCustomAVProbe::FormatName() const
{
    if (!FFormatContext || !FFormatContext->iformat)
        return {};
    return QString::fromUtf8(FFormatContext->iformat->name);
}

QString TCustomAVProbe::InfoText()
{
    if (!FFormatContext) {
        ReportError(llWarning, FileNotLoaded);
        return {};
    }
    TFileStreamInfo file;
    GetFileStreamInfo(file);
    const AVInputFormat* format = FFormatContext->iformat;

    QStringList lines;
    lines << QStringLiteral("File Name: %1").arg(FileName());
    lines << QStringLiteral("Format Name: %1").arg(FormatName());
    lines << QStringLiteral("Format Long Name: %1")
                 .arg(format && format->long_name ? QString::fromUtf8(format->long_name) : QString());
    lines << QStringLiteral("File Size: %1").arg(SizeToStr(FFileSize));
    lines << (file.Duration < 0 ? QStringLiteral("Duration: N/A")
                                : QStringLiteral("Duration: %1").arg(TimeToStr(file.Duration)));
    if (file.StartTime >= 0)
        lines << QStringLiteral("StartTime: %1").arg(FractionalSecondsText(file.StartTime));
    lines << (file.BitRate < 1 ? QStringLiteral("Bit Rate: N/A")
                               : QStringLiteral("Bit Rate: %1 kb/s").arg(file.BitRate / 1000));
    if (file.Timestamp > 0)
        lines << QStringLiteral("Time Stamp: %1")
                     .arg(
                         UnixToLocalDateTime(file.Timestamp).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    AppendMetadataBlock(lines, FFormatContext->metadata, QString());

    std::vector<bool> shown(FFormatContext->nb_streams, false);
    const auto appendStream = [&](unsigned index) {
        lines << StreamLine(FFormatContext, static_cast<int>(index));
        AppendMetadataBlock(lines, FFormatContext->streams[index]->metadata, QStringLiteral("  "));
        shown[index] = true;
    };
    for (unsigned p = 0; p < FFormatContext->nb_programs; ++p) {
        const AVProgram* program = FFormatContext->programs[p];
        // The transport-stream reader of this library generation names the
        // program's tags "service_provider" and "service_name".
        const QString provider = MetadataValue(
            program->metadata, QStringLiteral("provider_name"),
            MetadataValue(program->metadata, QStringLiteral("service_provider"), QStringLiteral("N/A")));
        const QString name =
            MetadataValue(program->metadata, QStringLiteral("name"),
                          MetadataValue(program->metadata, QStringLiteral("service_name"), QStringLiteral("N/A")));
        lines << QStringLiteral("Program %1 %2@%3").arg(program->id).arg(provider, name);
        AppendMetadataBlock(lines, program->metadata, QStringLiteral("  "));
        for (unsigned j = 0; j < program->nb_stream_indexes; ++j)
            if (program->stream_index[j] < FFormatContext->nb_streams)
                appendStream(program->stream_index[j]);
    }
    for (unsigned i = 0; i < FFormatContext->nb_streams; ++i)
        if (!shown[i])
            appendStream(i);

    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}
