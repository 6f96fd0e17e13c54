// Options of the next input or output as a whole: container format, times,
// program, muxing delays, metadata and creation time.

#include "engine/TCustomFFmpeg.h"
#include "media/FFLogger.h"

void TCustomFFmpeg::SetFormat(const QString& format)
{
    if (format.isEmpty())
        return;
    if (format == QLatin1String("pgmyuv")) {
        DefaultLogger()->Log(this, llInfo, QStringLiteral("pgmyuv format is deprecated, use image2"));
        FOpts.PgmyuvCompatibility = true;
        FOpts.FormatName = QStringLiteral("image2");
        return;
    }
    FOpts.FormatName = format;
}

void TCustomFFmpeg::SetStartTime(qint64 microseconds)
{
    if (microseconds != NoTimestamp)
        FOpts.StartTime = microseconds;
}

void TCustomFFmpeg::SetRecordingTime(qint64 microseconds)
{
    if (microseconds == NoTimestamp)
        return;
    FOpts.RecordingTime = microseconds;
    TotalDuration = microseconds;
}

void TCustomFFmpeg::SetProgramID(int programId)
{
    if (programId >= 0)
        FOpts.ProgramId = programId;
}

void TCustomFFmpeg::SetMuxDelay(float seconds)
{
    if (seconds > 0)
        FOpts.MuxMaxDelay = seconds;
}

void TCustomFFmpeg::SetMuxPreload(float seconds)
{
    if (seconds > 0)
        FOpts.MuxPreload = seconds;
}

void TCustomFFmpeg::AddMetadata(const QString& key, const QString& value)
{
    FOpts.Metadata.emplace_back(key, value);
}

void TCustomFFmpeg::SetRecordTimestamp(qint64 secondsSince1970)
{
    FOpts.RecTimestamp = secondsSince1970;
}
