#include "jobs/MapProfileOptionsAudio.h"

#include "app/IniFile.h"
#include "engine/OptionRecords.h"
#include "jobs/MapProfileOptionsValues.h"
#include "platform/NumberText.h"

namespace {

// 100 %: the volume list's value that leaves the samples unchanged. Also the
// default, so a profile without the key converts at full volume.
const QString UnchangedVolume = QStringLiteral("256");

const QString DefaultChannels = QStringLiteral("2");
const QString DefaultSampleRate = QStringLiteral("44100");
const QString DefaultAudioBitRate = QStringLiteral("128");

// A positive integer setting other than "as source"; -1 when there is none.
int PositiveIntegerSetting(const QString& text)
{
    int value = 0;
    if (text != AsSource && TryStrToInt(text, value) && value > 0)
        return value;
    return -1;
}

void ApplySampleRate(const IniFile& settings, const QString& section, TOutputOptions& output)
{
    const int rate =
        PositiveIntegerSetting(settings.ReadString(section, "paraSampleRate", DefaultSampleRate));
    if (rate > 0)
        output.AudioSampleRate = rate;
}

void ApplyAudioBitRate(const IniFile& settings, const QString& section, TOutputOptions& output)
{
    const QString text = settings.ReadString(section, "paraAudioBitRate", DefaultAudioBitRate);
    if (text == AsSource || !IsNumberText(text) || text.trimmed().isEmpty())
        return;
    const int bits = KilobitsToBits(NumberTextValue(text));
    if (bits > 0)
        output.AudioBitrate = bits;
}

void ApplyVolume(const IniFile& settings, const QString& section, TOutputOptions& output)
{
    const QString text = settings.ReadString(section, "paraVolume", UnchangedVolume);
    if (text != UnchangedVolume)
        output.AudioVolume = StrToInt(text);
}

} // namespace

void ApplyAudioOnlyValues(const IniFile& settings, const QString& section, TOutputOptions& output,
                          TInputOptions& input)
{
    output.AudioCodec = settings.ReadString(section, "paraAudioEncoder", QStringLiteral("libfaac"));
    const int channels = PositiveIntegerSetting(settings.ReadString(section, "paraChannel", DefaultChannels));
    if (channels > 0)
        output.AudioChannels = channels;
    ApplySampleRate(settings, section, output);
    ApplyAudioBitRate(settings, section, output);
    ApplyVolume(settings, section, output);
    input.ExtOptions = QStringLiteral("vn=1");
    output.DisableVideo = true;
    output.DisableSubtitle = true;
}

void ApplyVideoPathAudioValues(const IniFile& settings, const QString& section, TOutputOptions& output)
{
    QString encoder = settings.ReadString(section, "paraAudioEncoder", QString());
    if (encoder == QLatin1String("libamr_nb"))
        encoder = QStringLiteral("libopencore_amrnb");
    output.AudioCodec = encoder;
    if (encoder.trimmed().isEmpty())
        output.DisableAudio = true;

    const QString channels = settings.ReadString(section, "paraChannel", DefaultChannels);
    int value = 0;
    if (channels != AsSource && TryStrToInt(channels, value))
        output.AudioChannels = value; // 0 or below leaves the engine's default
    ApplySampleRate(settings, section, output);
    ApplyAudioBitRate(settings, section, output);
    ApplyVolume(settings, section, output);
}
