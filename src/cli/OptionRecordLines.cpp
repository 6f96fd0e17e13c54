#include "cli/OptionRecordLines.h"

#include "engine/OptionRecords.h"

#include <QRegularExpression>

namespace {

QString ValueText(const QString& v)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return QString(v).replace(lineBreak, QStringLiteral("<CRLF>"));
}
QString ValueText(bool v)
{
    return v ? QStringLiteral("true") : QStringLiteral("false");
}
QString ValueText(int v)
{
    return QString::number(v);
}
QString ValueText(qint64 v)
{
    return QString::number(v);
}
QString ValueText(double v)
{
    return QString::number(v, 'g', 17);
}
QString ValueText(float v)
{
    return QString::number(double(v), 'g', 9);
}

} // namespace

#define CLI_FIELD(record, name) lines << QStringLiteral(#name "=") + ValueText(record.name)

QStringList OptionRecordLines(const TInputOptions& r)
{
    QStringList lines;
    CLI_FIELD(r, FileName);
    CLI_FIELD(r, FileFormat);
    CLI_FIELD(r, StartTime);
    CLI_FIELD(r, ProgramID);
    CLI_FIELD(r, ExtOptions);
    return lines;
}

QStringList OptionRecordLines(const TOutputOptions& r)
{
    QStringList lines;
    CLI_FIELD(r, FileName);
    CLI_FIELD(r, FileFormat);
    CLI_FIELD(r, PacketSize);
    CLI_FIELD(r, MuxRate);
    CLI_FIELD(r, MuxDelay);
    CLI_FIELD(r, MuxPreload);
    CLI_FIELD(r, AudioCodec);
    CLI_FIELD(r, AudioPreset);
    CLI_FIELD(r, DisableAudio);
    CLI_FIELD(r, AudioVolume);
    CLI_FIELD(r, AudioChannels);
    CLI_FIELD(r, AudioSampleRate);
    CLI_FIELD(r, AudioBitrate);
    CLI_FIELD(r, AudioBitrateTolerance);
    CLI_FIELD(r, AudioLanguage);
    CLI_FIELD(r, AudioSync);
    CLI_FIELD(r, AudioTag);
    CLI_FIELD(r, VideoCodec);
    CLI_FIELD(r, VideoPreset);
    CLI_FIELD(r, DisableVideo);
    CLI_FIELD(r, FrameRate);
    CLI_FIELD(r, FrameSize);
    CLI_FIELD(r, AspectRatio);
    CLI_FIELD(r, CropTop);
    CLI_FIELD(r, CropBottom);
    CLI_FIELD(r, CropLeft);
    CLI_FIELD(r, CropRight);
    CLI_FIELD(r, GopSize);
    CLI_FIELD(r, VideoBitrate);
    CLI_FIELD(r, VideoMaxRate);
    CLI_FIELD(r, VideoMinRate);
    CLI_FIELD(r, VideoBitrateTolerance);
    CLI_FIELD(r, VideoBufSize);
    CLI_FIELD(r, VideoSync);
    CLI_FIELD(r, VideoTag);
    CLI_FIELD(r, VideoFilters);
    CLI_FIELD(r, VideoLanguage);
    CLI_FIELD(r, SubtitleCodec);
    CLI_FIELD(r, SubtitlePreset);
    CLI_FIELD(r, DisableSubtitle);
    CLI_FIELD(r, SubtitleLanguage);
    CLI_FIELD(r, InputSync);
    CLI_FIELD(r, CopyTimestamps);
    CLI_FIELD(r, StartTime);
    CLI_FIELD(r, RecordingTime);
    CLI_FIELD(r, Info.Timestamp);
    CLI_FIELD(r, Info.Year);
    CLI_FIELD(r, Info.Track);
    CLI_FIELD(r, Info.Title);
    CLI_FIELD(r, Info.Author);
    CLI_FIELD(r, Info.Copyright);
    CLI_FIELD(r, Info.Comment);
    CLI_FIELD(r, Info.Album);
    CLI_FIELD(r, Info.Genre);
    CLI_FIELD(r, TargetType);
    CLI_FIELD(r, TargetNorm);
    CLI_FIELD(r, TargetDefaultNorm);
    CLI_FIELD(r, CustomHook);
    CLI_FIELD(r, JoinInputs);
    CLI_FIELD(r, ExtOptions);
    return lines;
}

#undef CLI_FIELD
