// Metadata maps and chapters: what the outputs take over from the inputs
// besides their streams.

#include "engine/TranscodeSetupSteps.h"

#include "media/FFmpegException.h"

extern "C" {
#include <libavutil/mathematics.h>
#include <libavutil/mem.h>
}

#include <limits>

void ApplyMetadataMaps(TCustomFFmpeg& task)
{
    const TFileTables& files = task.Files;
    for (const TMetadataMap& map : task.Opts().MetadataMaps) {
        const int out = map.OutputFile;
        const int in = map.InputFile;
        if (out < 0 || out >= files.OutputCount())
            FailWithStreamMapping(task,
                                  QString::asprintf("Invalid output file index %d map_meta_data(%d,%d)", out, out, in));
        if (in < 0 || in >= files.InputCount())
            FailWithStreamMapping(task,
                                  QString::asprintf("Invalid input file index %d map_meta_data(%d,%d)", in, out, in));
        // Muxers convert the names for their format when they write them.
        av_dict_copy(&files.Output(out)->metadata, files.Input(in)->metadata, AV_DICT_DONT_OVERWRITE);
    }
}

namespace {

void AppendChapter(AVFormatContext* output, const AVChapter* chapter, int64_t start, int64_t end)
{
    auto* copy = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
    if (!copy)
        throw FFmpegException("av_mallocz fail");
    copy->id = chapter->id;
    copy->time_base = chapter->time_base;
    copy->start = start;
    copy->end = end;
    av_dict_copy(&copy->metadata, chapter->metadata, 0);
    if (av_dynarray_add_nofree(&output->chapters, reinterpret_cast<int*>(&output->nb_chapters), copy) < 0) {
        av_dict_free(&copy->metadata);
        av_free(copy);
        throw FFmpegException("av_mallocz fail");
    }
}

} // namespace

// Chapters that end at or after the cut point, moved to the output's time
// line and cut to the recording time. A joined output is one file: every
// input's chapters go into it once, shifted by the inputs before it.
void CopyChapters(TCustomFFmpeg& task)
{
    const TFileTables& files = task.Files;
    const TOptionState& o = task.Opts();
    const int outputs = task.Joined ? std::min(1, files.OutputCount()) : files.OutputCount();
    const int inputs = files.InputCount();
    const bool limited = o.RecordingTime != std::numeric_limits<qint64>::max();
    int64_t joinedOffset = 0; // microseconds before this input in a joined output
    for (int i = 0; i < inputs; ++i) {
        const AVFormatContext* input = files.Input(i);
        for (int k = 0; k < outputs; ++k) {
            AVFormatContext* output = files.Output(k);
            for (unsigned c = 0; c < input->nb_chapters; ++c) {
                const AVChapter* chapter = input->chapters[c];
                const int64_t cut = av_rescale_q(o.StartTime - files.InputTsOffsets[i] - joinedOffset, AV_TIME_BASE_Q,
                                                 chapter->time_base);
                const int64_t limit = limited ? av_rescale_q(o.RecordingTime, AV_TIME_BASE_Q, chapter->time_base)
                                              : std::numeric_limits<int64_t>::max();
                if (chapter->end < cut)
                    continue;
                if (limited && chapter->start > limit + cut)
                    break;
                AppendChapter(output, chapter, std::max<int64_t>(0, chapter->start - cut),
                              std::min(limit, chapter->end - cut));
            }
        }
        if (!task.Joined)
            continue;
        // Later inputs follow this one; without its duration their place is unknown.
        if (input->duration == AV_NOPTS_VALUE || input->duration <= 0)
            break;
        joinedOffset += input->duration;
    }
}
