// Closing every file of a task and freeing what was allocated for them.
// Runs at the end of the worker body, at Reset and when a task is freed; an
// output file that stayed empty (a failed set-up) is deleted.

#include "engine/TCustomFFmpeg.h"

#include "media/CodecLock.h"
#include "media/FFmpegLoader.h"
#include "media/FileHelpers.h"
#include "media/FormatIO.h"

#include <QFile>

void TCustomFFmpeg::CloseFiles()
{
    if (!FFLoader().SetLoaded(EngineLibraries))
        return;
    TOptionState& o = FOpts;

    // Codecs and stream records first: they point into the files.
    CloseOpenedEncoders();
    CloseOpenedDecoders();
    Files.ClearStreamRecords();

    // Outputs (a joined output once).
    const int outputs = Joined ? std::min(1, Files.OutputCount()) : Files.OutputCount();
    for (int i = 0; i < outputs; ++i) {
        TOutputFile& output = *Files.OutputFiles[i];
        CloseOutputIO(output.Context.get());
        {
            // Encoder contexts still open (a set-up that never reached its records) close under the lock.
            TCodecLockGuard lock;
            output.Streams.clear();
        }
        output.Context.reset();
        if (output.FileOpened && FileSizeOf(output.FileName) == 0)
            QFile::remove(output.FileName);
    }
    Files.OutputFiles.clear();
    Files.PendingOutput.reset();

    // Inputs.
    Files.InputFiles.clear();
    Files.InputTsOffsets.fill(0);
    for (auto& scales : Files.InputTsScales)
        scales.fill(0);

    // What the option state allocated for the files.
    o.IntraMatrix.reset();
    o.InterMatrix.reset();
    o.VstatsFileName.clear();
    o.VideoCodecName.clear();
    o.AudioCodecName.clear();
    o.SubtitleCodecName.clear();
    o.VideoStandard.clear();
    o.RcOverride.clear();
    o.VideoLanguage.clear();
    o.AudioLanguage.clear();
    o.SubtitleLanguage.clear();
    o.SubtitleCodecTag = 0;
    Files.BitBuffer.reset();
    Files.BitBufferSize = MinBitBufferSize;
    VideoHooks.ReleaseAll();
    ResetFrameToBitmap(HookConverter);
    ResetFrameToBitmap(PreviewConverter);
    Previewer.reset();
    LastPreviewTime = 0;
}
