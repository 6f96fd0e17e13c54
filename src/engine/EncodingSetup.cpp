// An output stream that is encoded from its decoded source: the scaler,
// crop and filter graph of video, the FIFO and conversion state of audio,
// the kind check and styles of subtitles, and the statistics file of
// two-pass encoding.

#include "engine/TranscodeSetupSteps.h"

#include "media/FFmpegException.h"
#include "media/FileHelpers.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <cstdio>

namespace {

enum class TSubtitleKind { Unknown, Text, Bitmap };

TSubtitleKind SubtitleKindOf(AVCodecID id)
{
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(id);
    if (!descriptor)
        return TSubtitleKind::Unknown;
    if (descriptor->props & AV_CODEC_PROP_TEXT_SUB)
        return TSubtitleKind::Text;
    if (descriptor->props & AV_CODEC_PROP_BITMAP_SUB)
        return TSubtitleKind::Bitmap;
    return TSubtitleKind::Unknown;
}

const char* SubtitleKindName(TSubtitleKind kind)
{
    return kind == TSubtitleKind::Text ? "text" : "bitmap";
}

// Text encoders read the decoder's text and bitmap encoders its pictures;
// neither can make the other's, and some would read past what they are
// given. Refused here, before any file is written, rather than mid-way.
void CheckSubtitleKinds(const TOutputStream& ost, const TInputStream& ist)
{
    const AVCodecContext* encoder = ost.Encoder();
    const TSubtitleKind from = SubtitleKindOf(ist.Stream->codecpar->codec_id);
    const TSubtitleKind to = SubtitleKindOf(encoder->codec_id);
    if (from == TSubtitleKind::Unknown || to == TSubtitleKind::Unknown || from == to)
        return;
    const char* encoderName = encoder->codec ? encoder->codec->name : avcodec_get_name(encoder->codec_id);
    throw FFmpegException(QString::asprintf("Cannot encode the %s subtitles of input stream #%d.%d as %s "
                                            "subtitles (%s) for output stream #%d.%d",
                                            SubtitleKindName(from), ist.FileIndex, ist.Index,
                                            SubtitleKindName(to), encoderName, ost.FileIndex, ost.Index));
}

void PrepareAudioEncoding(const TOptionState& o, TOutputStream& ost, TInputStream& ist)
{
    AVCodecContext* encoder = ost.Encoder();
    AVCodecContext* decoder = ist.DecoderContext.get();
    ost.Fifo.reset(av_fifo_alloc2(1024, 1, AV_FIFO_FLAG_AUTO_GROW));
    if (!ost.Fifo)
        throw FFmpegException("av_fifo_alloc fail");
    ost.ReformatPair = NoReformatPair;
    ost.AudioResample = encoder->sample_rate != decoder->sample_rate || o.AudioSyncMethod > 1;
    // Decoders that can mix down do it themselves to the channels wanted.
    if (encoder->ch_layout.nb_channels < decoder->ch_layout.nb_channels) {
        AVChannelLayout wanted{};
        av_channel_layout_default(&wanted, encoder->ch_layout.nb_channels);
        if (av_opt_find(decoder, "downmix", nullptr, 0, AV_OPT_SEARCH_CHILDREN))
            av_opt_set_chlayout(decoder, "downmix", &wanted, AV_OPT_SEARCH_CHILDREN);
        av_channel_layout_uninit(&wanted);
    }
}

void PrepareVideoEncoding(TCustomFFmpeg& task, TOutputStream& ost, TInputStream& ist)
{
    const TOptionState& o = task.Opts();
    AVCodecContext* encoder = ost.Encoder();
    const AVCodecContext* decoder = ist.DecoderContext.get();
    if (encoder->pix_fmt == AV_PIX_FMT_NONE)
        throw FFmpegException("Video pixel format is unknown, stream cannot be encoded");

    ost.VideoCrop = o.TopBand != 0 || o.BottomBand != 0 || o.LeftBand != 0 || o.RightBand != 0;
    ost.TopBand = ost.OriginalTopBand = o.TopBand;
    ost.BottomBand = ost.OriginalBottomBand = o.BottomBand;
    ost.LeftBand = ost.OriginalLeftBand = o.LeftBand;
    ost.RightBand = ost.OriginalRightBand = o.RightBand;

    const int croppedWidth = decoder->width - (o.LeftBand + o.RightBand);
    const int croppedHeight = decoder->height - (o.TopBand + o.BottomBand);
    ost.VideoResample =
        croppedWidth != encoder->width || croppedHeight != encoder->height || decoder->pix_fmt != encoder->pix_fmt;
    if (ost.VideoResample) {
        ost.PictTmp.reset(av_frame_alloc());
        if (!ost.PictTmp)
            throw FFmpegException("Cannot allocate temp picture, check pix fmt");
        ost.PictTmp->format = encoder->pix_fmt;
        ost.PictTmp->width = encoder->width;
        ost.PictTmp->height = encoder->height;
        if (av_frame_get_buffer(ost.PictTmp.get(), 0) < 0)
            throw FFmpegException("Cannot allocate temp picture, check pix fmt");
        int64_t swsFlags = o.SwsFlags;
        if (o.Options.ScaleOptions)
            av_opt_get_int(o.Options.ScaleOptions.get(), "sws_flags", 0, &swsFlags);
        task.Opts().SwsFlags = static_cast<int>(swsFlags);
        ost.ResampleContext.reset(sws_getContext(croppedWidth, croppedHeight, decoder->pix_fmt, encoder->width,
                                                 encoder->height, encoder->pix_fmt, static_cast<int>(swsFlags),
                                                 nullptr, nullptr, nullptr));
        if (!ost.ResampleContext)
            throw FFmpegException("Cannot get resampling context");
        if (o.VideoFilters.isEmpty()) {
            ost.OriginalWidth = decoder->width;
            ost.OriginalHeight = decoder->height;
        }
        encoder->bits_per_raw_sample = 0;
    }
    ost.ResampleHeight = croppedHeight;
    ost.ResampleWidth = croppedWidth;
    ost.ResamplePixFmt = decoder->pix_fmt;

    ost.EncodingNeeded = true;
    ist.DecodingNeeded = true;
    task.SetLastErrMsg(QString());
    if (!o.VideoFilters.isEmpty() && task.ConfigureFilters(ist, ost) != 0)
        throw FFmpegException(task.LastErrMsg().isEmpty() ? QStringLiteral("Error opening filters!")
                                                           : QStringLiteral("Error opening filters: ") + task.LastErrMsg());
}

// First pass: a fresh statistics file; second pass: its text for the encoder.
void PrepareStatisticsFile(const TOptionState& o, TOutputStream& ost, int streamNumber)
{
    AVCodecContext* encoder = ost.Encoder();
    if (!(encoder->flags & (AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2)))
        return;
    const QString prefix = o.PassLogFileName.isEmpty() ? QStringLiteral("ffmpeg2pass") : o.PassLogFileName;
    const QString fileName = (prefix + QStringLiteral("-%1.log").arg(streamNumber)).left(1023);
    const QByteArray name8 = fileName.toUtf8();
    // Encoders that keep their own statistics file (H.264) are told its name.
    if (encoder->priv_data && av_opt_find(encoder->priv_data, "stats", nullptr, 0, 0))
        av_opt_set(encoder->priv_data, "stats", name8.constData(), 0);
    if (encoder->flags & AV_CODEC_FLAG_PASS1) {
        ost.LogFile.reset(std::fopen(name8.constData(), "wb"));
        if (!ost.LogFile)
            throw FFmpegException(QString::asprintf("Cannot write log file %s for pass-1 encoding", name8.constData()));
    } else {
        AVMemoryPtr<char> text;
        qint64 size = 0;
        const int result = ReadWholeFile(fileName, text, size);
        if (result == -12)
            throw FFmpegException(QString::asprintf(
                "Could not allocate file buffer: Error reading log file \"%s\" for pass-2 encoding", name8.constData()));
        if (result != 0)
            throw FFmpegException(QString::asprintf(
                "Cannot read file: Error reading log file \"%s\" for pass-2 encoding", name8.constData()));
        ost.StatsIn = std::move(text);
        encoder->stats_in = ost.StatsIn.get();
    }
}

} // namespace

void PrepareEncoding(TCustomFFmpeg& task, TOutputStream& ost, TInputStream& ist, int streamNumber)
{
    switch (ost.Encoder()->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
        PrepareAudioEncoding(task.Opts(), ost, ist);
        ost.EncodingNeeded = true;
        ist.DecodingNeeded = true;
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        CheckSubtitleKinds(ost, ist);
        ost.EncodingNeeded = true;
        ist.DecodingNeeded = true;
        break;
    case AVMEDIA_TYPE_VIDEO:
        PrepareVideoEncoding(task, ost, ist);
        break;
    default:
        throw FFmpegException("invalid codec_type of output stream");
    }
    PrepareStatisticsFile(task.Opts(), ost, streamNumber);
}

void TakeSubtitleStyles(TOutputStream& ost, const TInputStream& ist, const AVFormatContext* input)
{
    AVCodecContext* encoder = ost.Encoder();
    const AVCodecContext* decoder = ist.DecoderContext.get();
    if (!encoder || !decoder)
        return;
    // The text decoders describe their styles as a header in the subtitle
    // markup every text encoder starts from; without it they refuse to open.
    if (!encoder->subtitle_header && !CopySubtitleHeader(encoder, decoder))
        throw FFmpegException("Out of memory");
    // Bitmap encoders place their pictures on the source's canvas; a source
    // that names none is drawn on the picture of its input's first video.
    if (encoder->width == 0 && encoder->height == 0) {
        encoder->width = decoder->width;
        encoder->height = decoder->height;
        for (unsigned i = 0; encoder->width == 0 && encoder->height == 0 && i < input->nb_streams; ++i) {
            const AVCodecParameters* parameters = input->streams[i]->codecpar;
            if (parameters->codec_type == AVMEDIA_TYPE_VIDEO) {
                encoder->width = parameters->width;
                encoder->height = parameters->height;
            }
        }
    }
}
