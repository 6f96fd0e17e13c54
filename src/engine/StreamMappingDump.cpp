// The stream-mapping dump: what the log shows after the set-up, and before
// the message of a set-up failure, so that the failing stream can be found.

#include "engine/TranscodeSetupSteps.h"

#include "media/FFLogger.h"
#include "media/FFmpegException.h"
#include "media/MediaHelpers.h"

void DumpStreamMapping(TCustomFFmpeg& task)
{
    const TFileTables& files = task.Files;
    const int dumped = task.Joined ? std::min(1, files.OutputCount()) : files.OutputCount();
    for (int i = 0; i < dumped; ++i)
        av_dump_format(files.Output(i), i, files.Output(i)->url, 1);
    if (task.Opts().Verbose < 0)
        return;
    TFFLogger* logger = DefaultLogger();
    logger->Log(&task, llVerbose, QStringLiteral("Stream mapping:"));
    for (const auto& ost : files.OutputStreams) {
        const TInputStream& source = *files.InputStreams[ost->SourceIndex];
        const QByteArray type = OutputStreamTypeName(*ost).toUtf8();
        logger->LogFmt(&task, llVerbose, "  Stream #%d.%d -> #%d.%d (%s)", source.FileIndex, source.Index,
                       task.Joined ? 0 : ost->FileIndex, ost->Index, type.constData());
        if (ost->SyncIst && ost->SyncIst != &source)
            logger->LogFmt(&task, llVerbose, " [sync #%d.%d (%s)]", ost->SyncIst->FileIndex, ost->SyncIst->Index,
                           StreamTypeName(ost->SyncIst->Stream->codecpar->codec_type).toUtf8().constData());
    }
}

void FailWithStreamMapping(TCustomFFmpeg& task, const QString& message)
{
    DumpStreamMapping(task);
    DefaultLogger()->Log(&task, llError, message);
    throw FFmpegException(message);
}
