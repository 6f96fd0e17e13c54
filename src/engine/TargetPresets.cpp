// Target presets ("target", TargetType of the output record): the settings
// of video CD, super video CD, DVD and DV for a television norm.

#include "engine/TCustomFFmpeg.h"
#include "media/FFLogger.h"
#include "media/FFmpegException.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <cmath>

namespace {

enum TNorm { nmPAL, nmNTSC, nmFILM };

// The frame rate of each norm.
const char* const TargetFrameRates[] = {"25", "30000/1001", "24000/1001"};

int RoundedMilliRate(double rate)
{
    return static_cast<int>(std::lround(rate * 1000.0));
}

} // namespace

void TCustomFFmpeg::SetTargetOption(const QString& value)
{
    const QString trimmed = value.trimmed();
    for (const char* norm : {"pal-", "ntsc-", "film-"}) {
        if (trimmed.startsWith(QLatin1String(norm))) {
            const QString normName = QLatin1String(norm).chopped(1);
            ApplyTarget(trimmed.mid(normName.size() + 1), normName, QStringLiteral("ntsc"));
            return;
        }
    }
    ApplyTarget(trimmed, QStringLiteral("auto"), QStringLiteral("ntsc"));
}

void TCustomFFmpeg::ApplyTarget(const QString& type, const QString& norm, const QString& defaultNorm)
{
    TNorm resolved = nmPAL;
    if (norm == QLatin1String("pal")) {
        resolved = nmPAL;
    } else if (norm == QLatin1String("ntsc")) {
        resolved = nmNTSC;
    } else if (norm == QLatin1String("film")) {
        resolved = nmFILM;
    } else {
        if (FOpts.FrameRate.den == 0)
            throw FFmpegException("frame_rate is invalid.");
        std::optional<TNorm> found;
        const int rate = RoundedMilliRate(av_q2d(FOpts.FrameRate));
        if (rate == 25000)
            found = nmPAL;
        else if (rate == 23976 || rate == 29970)
            found = nmNTSC;
        // Otherwise the video streams of the opened inputs decide, in order.
        for (int input = 0; !found && input < Files.InputCount(); ++input) {
            const AVFormatContext* context = Files.Input(input);
            for (unsigned stream = 0; !found && stream < context->nb_streams; ++stream) {
                if (context->streams[stream]->codecpar->codec_type != AVMEDIA_TYPE_VIDEO)
                    continue;
                const auto& codecs = Files.InputFiles[input].Streams;
                const AVRational timeBase = stream < codecs.size() ? codecs[stream].CodecTimeBase
                                                                   : context->streams[stream]->time_base;
                if (timeBase.num == 0)
                    continue;
                const int streamRate = RoundedMilliRate(static_cast<double>(timeBase.den) / timeBase.num);
                if (streamRate == 25000)
                    found = nmPAL;
                else if (streamRate == 23976 || streamRate == 29970)
                    found = nmNTSC;
            }
        }
        if (!found)
            found = defaultNorm == QLatin1String("film")   ? nmFILM
                    : defaultNorm == QLatin1String("ntsc") ? nmNTSC
                                                           : nmPAL;
        resolved = *found;
        if (FOpts.Verbose > 0)
            DefaultLogger()->LogFmt(this, llVerbose, "Assuming %s for target.",
                                    resolved == nmPAL ? "PAL" : "NTSC");
    }

    const bool ntscLike = resolved != nmPAL;
    const QString frameRate = QLatin1String(TargetFrameRates[resolved]);
    const auto generic = [this](const char* name, const char* value) {
        SetGenericOption(QLatin1String(name), QLatin1String(value));
    };
    const auto assumeAspect = [this](const char* ratio) {
        if (FOpts.FrameAspectRatio != 0)
            return;
        SetAspectRatio(QLatin1String(ratio));
        DefaultLogger()->Log(this, llInfo,
                             QStringLiteral("Assuming %1 for aspect ratio").arg(QLatin1String(ratio)));
    };

    if (type == QLatin1String("vcd")) {
        SetVideoCodec(QStringLiteral("mpeg1video"));
        SetAudioCodec(QStringLiteral("mp2"));
        SetFormat(QStringLiteral("vcd"));
        SetFrameSize(ntscLike ? QStringLiteral("352x240") : QStringLiteral("352x288"));
        SetFrameRate(frameRate);
        generic("g", ntscLike ? "18" : "15");
        generic("b", "1150000");
        generic("maxrate", "1150000");
        generic("minrate", "1150000");
        generic("bufsize", "327680");
        generic("ab", "224000");
        FOpts.AudioSampleRate = 44100;
        FOpts.AudioChannels = 2;
        generic("packetsize", "2324");
        generic("muxrate", "1411200");
        FOpts.MuxPreload = 0.44f;
        assumeAspect("4:3");
    } else if (type == QLatin1String("svcd")) {
        SetVideoCodec(QStringLiteral("mpeg2video"));
        SetAudioCodec(QStringLiteral("mp2"));
        SetFormat(QStringLiteral("svcd"));
        SetFrameSize(ntscLike ? QStringLiteral("480x480") : QStringLiteral("480x576"));
        SetFrameRate(frameRate);
        generic("g", ntscLike ? "18" : "15");
        generic("b", "2040000");
        generic("maxrate", "2516000");
        generic("minrate", "0");
        generic("bufsize", "1835008");
        generic("flags", "+scan_offset");
        generic("ab", "224000");
        FOpts.AudioSampleRate = 44100;
        if (FOpts.AudioChannels == 1)
            FOpts.AudioChannels = 2;
        generic("packetsize", "2324");
        assumeAspect("4:3");
    } else if (type == QLatin1String("dvd")) {
        SetVideoCodec(QStringLiteral("mpeg2video"));
        SetAudioCodec(QStringLiteral("ac3"));
        SetFormat(QStringLiteral("dvd"));
        SetFrameSize(ntscLike ? QStringLiteral("720x480") : QStringLiteral("720x576"));
        SetFrameRate(frameRate);
        generic("g", ntscLike ? "18" : "15");
        generic("b", "6000000");
        generic("maxrate", "9000000");
        generic("minrate", "0");
        generic("bufsize", "1835008");
        generic("ab", "448000");
        FOpts.AudioSampleRate = 48000;
        if (FOpts.AudioChannels == 1)
            FOpts.AudioChannels = 2;
        generic("packetsize", "2048");
        generic("muxrate", "10080000");
        assumeAspect("16:9");
    } else if (type == QLatin1String("dv") || type == QLatin1String("dv50")) {
        SetFormat(QStringLiteral("dv"));
        SetFrameSize(ntscLike ? QStringLiteral("720x480") : QStringLiteral("720x576"));
        SetFrameRate(frameRate);
        FOpts.FramePixFmt = type == QLatin1String("dv50") ? AV_PIX_FMT_YUV422P
                            : ntscLike                    ? AV_PIX_FMT_YUV411P
                                                          : AV_PIX_FMT_YUV420P;
        FOpts.AudioSampleRate = 48000;
        FOpts.AudioChannels = 2;
    } else {
        throw FFmpegException("Unknown target type");
    }
}
