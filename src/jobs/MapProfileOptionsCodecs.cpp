#include "jobs/MapProfileOptionsCodecs.h"

#include "engine/OptionRecords.h"

namespace {

const int TargetDvd = 3;

} // namespace

const QStringList& PlainVideoEncoders()
{
    static const QStringList encoders = {"mpeg4",     "libxvid", "mpeg1video", "msmpeg4",  "msmpeg4v1",
                                         "msmpeg4v2", "huffyuv", "dvvideo",    "rawvideo", "h263p",
                                         "h263",      "rv10",    "rv20",       "ljpeg",    "mjpeg",
                                         "svq1",      "zlib",    "wmv1",       "wmv2"};
    return encoders;
}

QString H264PresetFor(const QString& format)
{
    const QString keyword = format.toLower();
    if (keyword == QLatin1String("psp"))
        return QStringLiteral("libx264-psp");
    if (keyword == QLatin1String("ipod"))
        return QStringLiteral("libx264-ipod");
    if (keyword == QLatin1String("ps3"))
        return QStringLiteral("libx264-ps3");
    return QStringLiteral("libx264-mp4");
}

void ApplyVideoEncoder(const QString& encoder, const QString& format, TOutputOptions& output)
{
    if (PlainVideoEncoders().contains(encoder)) {
        output.VideoCodec = encoder;
    } else if (encoder == QLatin1String("mpeg2video")) {
        output.VideoCodec = encoder;
        output.TargetType = TargetDvd;
    } else if (encoder == QLatin1String("libx264")) {
        output.VideoCodec = encoder;
        output.VideoPreset = H264PresetFor(format);
    }
}
