// Sound options of the next audio streams, and the two synchronisation methods.

#include "engine/TCustomFFmpeg.h"
#include "media/FFLogger.h"

extern "C" {
#include <libavutil/samplefmt.h>
}

void TCustomFFmpeg::SetAudioChannels(int channels)
{
    if (channels > 0)
        FOpts.AudioChannels = channels;
}

void TCustomFFmpeg::SetAudioSampleRate(int rate)
{
    if (rate > 0)
        FOpts.AudioSampleRate = rate;
}

void TCustomFFmpeg::SetAudioVolume(int volume)
{
    if (volume >= 0)
        FOpts.AudioVolume = volume;
}

void TCustomFFmpeg::SetAudioSync(int method)
{
    FOpts.AudioSyncMethod = method;
}

void TCustomFFmpeg::SetVideoSync(int method)
{
    FOpts.VideoSyncMethod = method;
}

void TCustomFFmpeg::SetSampleFormat(const QString& value)
{
    if (value == QLatin1String("list")) {
        // The header line (index -1), then the formats of the older generation, 0 to 4.
        char line[128];
        for (int index = -1; index <= 4; ++index) {
            av_get_sample_fmt_string(line, sizeof line, static_cast<AVSampleFormat>(index));
            DefaultLogger()->Log(this, llInfo, QString::fromUtf8(line).trimmed());
        }
        return;
    }
    FOpts.AudioSampleFmt = av_get_sample_fmt(value.toUtf8().constData());
}
