#include "app/ParameterVocabulary.h"

#include "platform/NumberText.h"

#include <array>
#include <utility>

QStringList ParseChoiceList(const QString& value)
{
    QStringList entries;
    QString current;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const bool last = i == value.size() - 1;
        if (value[i] == ',') {
            entries << current;
            current.clear();
            if (last)
                entries << QString(); // the last character ends an (empty) entry too
        } else {
            current += value[i];
            if (last)
                entries << current;
        }
    }
    return entries;
}

namespace {

using Pair = std::pair<const char*, const char*>;

constexpr std::array<Pair, 27> kVideoEncoders{{
    {"mpeg-4", "mpeg4"},       {"xvid", "libxvid"},       {"h264", "libx264"},
    {"3gp", "3gp"},            {"3g2", "3g2"},            {"mov", "mov"},
    {"wmv1", "wmv1"},          {"wmv2", "wmv2"},          {"wmv3", "wmv3"},
    {"flv", "flv"},            {"swf", "swf"},            {"msmpeg4", "msmpeg4"},
    {"msmpeg4v1", "msmpeg4v1"}, {"msmpeg4v2", "msmpeg4v2"}, {"mpeg1video", "mpeg1video"},
    {"mpeg2video", "mpeg2video"}, {"h263", "h263"},       {"h263p", "h263p"},
    {"rawvideo", "rawvideo"},  {"rv10", "rv10"},          {"rv20", "rv20"},
    {"dvvideo", "dvvideo"},    {"huffyuv", "huffyuv"},    {"ljpeg", "ljpeg"},
    {"mjpeg", "mjpeg"},        {"svq1", "svq1"},          {"zlib", "zlib"},
}};

// "pcm_mulaw " carries its trailing blank in the stored catalogue vocabulary.
constexpr std::array<Pair, 15> kAudioEncoders{{
    {"mp3", "libmp3lame"},     {"ogg", "vorbis"},          {"mp2", "mp2"},
    {"aac", "libfaac"},        {"ac-3", "ac3"},            {"flac", "libflac"},
    {"amr_nb", "libopencore_amrnb"}, {"pcm_s16", "pcm_s16le"}, {"pcm_u16", "pcm_u16le"},
    {"pcm_alaw", "pcm_alaw"},  {"pcm_mulaw ", "pcm_mulaw"}, {"adpcm_ms", "adpcm_ms"},
    {"adpcm_ima_wav", "adpcm_ima_wav"}, {"wma1", "wmav1"}, {"wma2", "wmav2"},
}};

template <std::size_t N>
std::optional<QString> lookUp(const std::array<Pair, N>& table, const QString& key)
{
    for (const auto& [display, stored] : table)
        if (key == QLatin1String(display))
            return QString::fromLatin1(stored);
    return std::nullopt;
}

} // namespace

std::optional<QString> VideoEncoderValue(const QString& displayText)
{
    return lookUp(kVideoEncoders, displayText.toLower());
}

bool IsH264EncoderDisplay(const QString& displayText)
{
    return displayText.toLower() == QLatin1String("h264");
}

std::optional<QString> AudioEncoderValue(const QString& displayText)
{
    return lookUp(kAudioEncoders, displayText.toLower());
}

std::optional<QString> ChannelValue(const QString& displayText)
{
    if (displayText == QLatin1String("as source"))
        return QStringLiteral("as source");
    if (displayText == QLatin1String("mono 1 channel"))
        return QStringLiteral("1");
    if (displayText == QLatin1String("stereo 2 channels"))
        return QStringLiteral("2");
    return std::nullopt;
}

std::optional<QString> VolumeValue(const QString& displayText)
{
    const int percent = StrToInt(displayText.left(displayText.size() - 1));
    static constexpr std::array<int, 12> kPercents{25, 50, 75, 100, 125, 150, 175, 200, 250, 300, 350, 400};
    for (int p : kPercents)
        if (p == percent)
            return QString::number(percent * 256 / 100);
    return std::nullopt;
}

std::optional<QString> ZoomValueForIndex(int index)
{
    switch (index) {
    case 0: return QStringLiteral("full");
    case 1: return QStringLiteral("lbox");
    case 2: return QStringLiteral("pan");
    default: return std::nullopt;
    }
}

int ZoomIndexForValue(const QString& value)
{
    if (value == QLatin1String("full"))
        return 0;
    if (value == QLatin1String("lbox"))
        return 1;
    if (value == QLatin1String("pan"))
        return 2;
    return -1;
}

QStringList ZoomItems()
{
    return {QStringLiteral("Full Screen"), QStringLiteral("Letter Box"), QStringLiteral("Pan and Scan")};
}
