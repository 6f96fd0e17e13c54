// Opening an output of a task: its container format, the streams the option
// state asks for (and the inputs can feed), its metadata and its file. The
// header is written later, by Transcode.

#include "engine/TCustomFFmpeg.h"

#include "media/FFLogger.h"
#include "media/FFmpegException.h"
#include "media/FormatIO.h"
#include "media/MediaHelpers.h"
#include "media/UnicodeProtocol.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <QDateTime>
#include <QFileInfo>

namespace {

struct TStreamKinds
{
    bool Video = false;
    bool Audio = false;
    bool Subtitle = false;
};

bool IsTextSubtitle(AVCodecID id)
{
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(id);
    return descriptor && (descriptor->props & AV_CODEC_PROP_TEXT_SUB);
}

// Sets a private option of the muxer when it has one of that name.
void SetMuxerOption(AVFormatContext* output, const char* name, int64_t value)
{
    if (output->priv_data && av_opt_find(output->priv_data, name, nullptr, 0, 0))
        av_opt_set_int(output->priv_data, name, value, 0);
}

// The input of the task that is the very file about to be overwritten, or -1.
int InputOverwrittenBy(const TFileTables& files, const QString& fileName)
{
    const QFileInfo output(fileName);
    if (!output.exists())
        return -1;
    for (int i = 0; i < files.InputCount(); ++i) {
        const QFileInfo input(URLToFileName(files.Input(i)->url ? files.Input(i)->url : ""));
        if (input.exists() && input.canonicalFilePath() == output.canonicalFilePath())
            return i;
    }
    return -1;
}

} // namespace

int TCustomFFmpeg::OpenOutputFile(const QString& fileName, bool join)
{
    TOptionState& o = FOpts;
    const QByteArray name8 = fileName.toUtf8();

    // 1. A joined output is the task's only output.
    if (Joined) {
        SetLastErrMsg("Cannot join more than one output file.");
        return -1;
    }
    if (Files.OutputCount() >= MaxOutputFiles) {
        SetLastErrMsg(QString::asprintf("max output files %d reached", MaxOutputFiles));
        return -1;
    }
    // Overwriting a file the task reads would destroy the source.
    if (const int input = InputOverwrittenBy(Files, fileName); input >= 0) {
        SetLastErrMsg(QString::asprintf("%s: the output would overwrite input file #%d", name8.constData(), input));
        return -1;
    }

    // 2.-4. The output format (the one asked for, else the one the name suggests) and its context.
    const std::string url = FileNameToURL(fileName);
    const AVOutputFormat* format = nullptr;
    if (!o.FormatName.isEmpty()) {
        const QString formatName = o.FormatName;
        o.FormatName.clear();
        // The feed format and its server are gone from the library.
        if (formatName == QLatin1String("ffm")) {
            SetLastErrMsg("Requested output format 'ffm' is not a suitable output format: "
                          "the ffm feed is not supported by the installed media libraries");
            return -1;
        }
        format = av_guess_format(formatName.toUtf8().constData(), nullptr, nullptr);
        if (!format) {
            SetLastErrMsg(QString::asprintf("Requested output format '%s' is not a suitable output format",
                                            formatName.toUtf8().constData()));
            return -1;
        }
    } else {
        format = av_guess_format(nullptr, name8.constData(), nullptr);
        if (!format) {
            SetLastErrMsg(
                QString::asprintf("Unable to find a suitable output format for '%s'", name8.constData()));
            return -1;
        }
    }
    AVFormatContext* context = nullptr;
    if (avformat_alloc_output_context2(&context, format, nullptr, url.c_str()) < 0 || !context)
        throw FFmpegException("avformat_alloc_context failed");
    Files.PendingOutput = std::make_shared<TOutputFile>();
    Files.PendingOutput->Context.reset(context);
    Files.PendingOutput->FileName = fileName;
    // Whatever happens below, the pending output is either registered or freed.
    struct TPendingGuard
    {
        TFileTables& Files;
        ~TPendingGuard() { Files.PendingOutput.reset(); }
    } pendingGuard{Files};

    // 6. The kinds of stream: those the options or the format ask for and the inputs can feed.
    TStreamKinds kinds;
    kinds.Video = o.VideoStreamCopy || format->video_codec != AV_CODEC_ID_NONE || !o.VideoCodecName.isEmpty();
    kinds.Audio = o.AudioStreamCopy || format->audio_codec != AV_CODEC_ID_NONE || !o.AudioCodecName.isEmpty();
    const bool subtitleAsked = o.SubtitleStreamCopy || !o.SubtitleCodecName.isEmpty();
    kinds.Subtitle = subtitleAsked || format->subtitle_codec != AV_CODEC_ID_NONE;
    if (Files.InputCount() > 0) {
        TStreamKinds present;
        // The format's default subtitle encoder takes text only; bitmap
        // subtitles reach an output only when asked for.
        bool textSubtitle = false;
        const int examined = join ? 1 : Files.InputCount();
        for (int i = 0; i < examined; ++i) {
            const AVFormatContext* input = Files.Input(i);
            for (unsigned s = 0; s < input->nb_streams; ++s) {
                const AVCodecParameters* parameters = input->streams[s]->codecpar;
                switch (parameters->codec_type) {
                case AVMEDIA_TYPE_VIDEO:
                    present.Video = true;
                    break;
                case AVMEDIA_TYPE_AUDIO:
                    present.Audio = true;
                    break;
                case AVMEDIA_TYPE_SUBTITLE:
                    present.Subtitle = true;
                    textSubtitle = textSubtitle || IsTextSubtitle(parameters->codec_id);
                    break;
                case AVMEDIA_TYPE_UNKNOWN:
                case AVMEDIA_TYPE_DATA:
                case AVMEDIA_TYPE_ATTACHMENT:
                    break;
                default:
                    SetLastErrMsg("check_audio_video_sub_inputs fail: invalid codec_type of input file");
                    return -1;
                }
            }
        }
        kinds.Video = kinds.Video && present.Video;
        kinds.Audio = kinds.Audio && present.Audio;
        kinds.Subtitle = kinds.Subtitle && present.Subtitle && (subtitleAsked || textSubtitle);
    }
    if (o.AudioDisable)
        kinds.Audio = false;
    if (o.VideoDisable)
        kinds.Video = false;

    // 7. The streams.
    const auto createStream = [&](void (TCustomFFmpeg::*create)(AVFormatContext*), const char* failure) {
        try {
            (this->*create)(context);
            return true;
        } catch (const FFmpegException& error) {
            SetLastErrMsg(QString::asprintf(failure, error.what()));
            return false;
        }
    };
    if (kinds.Video && !createStream(&TCustomFFmpeg::CreateVideoStream, "new_video_stream fail: %s"))
        return -1;
    if (kinds.Audio && !createStream(&TCustomFFmpeg::CreateAudioStream, "new_audio_stream fail: %s"))
        return -1;
    if (kinds.Subtitle && !o.SubtitleDisable &&
        !createStream(&TCustomFFmpeg::CreateSubtitleStream, "new_subtitle_stream fail: %s"))
        return -1;

    // 8. Creation time; muxers read it from the metadata.
    if (o.RecTimestamp != 0)
        av_dict_set(&context->metadata, "creation_time",
                    QDateTime::fromSecsSinceEpoch(o.RecTimestamp, Qt::UTC)
                        .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.000000Z"))
                        .toUtf8()
                        .constData(),
                    0);

    // 9. Metadata, last added first, so that of two pairs with one key the first
    // added wins. Muxers convert the names for their format when writing.
    for (auto pair = o.Metadata.rbegin(); pair != o.Metadata.rend(); ++pair)
        av_dict_set(&context->metadata, pair->first.toUtf8().constData(), pair->second.toUtf8().constData(), 0);
    o.Metadata.clear();

    // 10. Register the output.
    std::shared_ptr<TOutputFile> output = Files.PendingOutput;
    Files.OutputFiles.push_back(output);
    const auto unregister = [&] { Files.OutputFiles.pop_back(); };

    // 11. Picture-sequence formats need a frame number in the name.
    if ((format->flags & AVFMT_NEEDNUMBER) && !av_filename_number_test(url.c_str())) {
        SetLastErrMsg(ErrorText(fileName, AVERROR(EDOM)));
        unregister();
        return -1;
    }

    // 12. Create (or overwrite) the file.
    if (!(format->flags & AVFMT_NOFILE)) {
        const int result = OpenOutputIO(context, url, AVIO_FLAG_WRITE);
        if (result < 0) {
            SetLastErrMsg(ErrorText(fileName, result));
            unregister();
            return -1;
        }
        output->FileOpened = true;
    }

    // 13. There are no separate output parameters to set any more.
    // 14. Muxing delays, output loop, non-blocking writes and the generic container options.
    context->max_delay = static_cast<int>(o.MuxMaxDelay * AV_TIME_BASE);
    SetMuxerOption(context, "preload", static_cast<int64_t>(o.MuxPreload * AV_TIME_BASE));
    SetMuxerOption(context, "loop", o.LoopOutput);
    context->flags |= AVFMT_FLAG_NONBLOCK;
    ApplyOptions(o.Options, context, o.Options.FormatOptions.get(), AV_OPT_FLAG_ENCODING_PARAM);

    // 15. Stream ids are per output.
    o.StreamIdMap.fill(0);

    // 16. Join: this output takes every input, one after the other.
    if (join && Files.InputCount() > 1) {
        Joined = true;
        qint64 total = 0;
        for (int i = 0; i < Files.InputCount(); ++i)
            if (Files.Input(i)->duration != AV_NOPTS_VALUE && Files.Input(i)->duration > 0)
                total += Files.Input(i)->duration;
        TotalDuration = total != 0 ? total : -1;
        for (int i = 1; i < Files.InputCount(); ++i)
            Files.OutputFiles.push_back(output);
    }

    // 17.
    return Files.OutputCount();
}
