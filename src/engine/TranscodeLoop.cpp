// The packet loop of a task: which input to read next, reading and
// re-timing packets, the recording-time and file-size limits, switching
// inputs in join mode, and the end of the loop with flushing, trailers, the
// final report and closing the codecs.

#include "engine/LoopStages.h"
#include "engine/TCustomFFmpeg.h"
#include "media/CodecLock.h"
#include "media/FFmpegException.h"
#include "media/MediaHelpers.h"

extern "C" {
#include <libavutil/time.h>
}

#include <QFile>
#include <cmath>
#include <limits>

namespace {

constexpr int64_t NoRecordingLimit = std::numeric_limits<int64_t>::max();

int FrameLimitOf(const TLoopContext& loop, const TOutputStream& ost)
{
    const int type = OutputStreamType(ost);
    if (type < 0 || type >= int(loop.Opts.MaxFrames.size()))
        return std::numeric_limits<int>::max();
    return loop.Opts.MaxFrames[type];
}

bool FrameLimitReached(const TLoopContext& loop, const TOutputStream& ost)
{
    return ost.FrameNumber >= FrameLimitOf(loop, ost);
}

// The input to read next, or -1 when none can be (all at their end, every
// stream past the recording time, a frame limit reached).
int ChooseInput(TLoopContext& loop)
{
    TFileTables& files = loop.Files;
    if (loop.Task.Joined) {
        const int first = loop.JoinIndex * loop.SegmentStreams;
        for (int i = first; i < first + loop.SegmentStreams && i < int(files.OutputStreams.size()); ++i)
            if (FrameLimitReached(loop, loop.Ost(i)))
                return -1;
        return loop.JoinIndex;
    }

    int chosen = -1;
    double smallestInputTime = 1e100, smallestOutputTime = 1e100;
    for (size_t i = 0; i < files.OutputStreams.size(); ++i) {
        const TOutputStream& ost = loop.Ost(int(i));
        const TInputStream& ist = loop.Ist(ost.SourceIndex);
        if (ist.IsPastRecordingTime || loop.NoPacket[ist.FileIndex])
            continue;
        const double outputTime = loop.OutputWork[i].Muxed->EndTimeSeconds();
        const double inputTime = double(ist.Pts);
        if (!files.InputFileRecords[ist.FileIndex].EofReached) {
            if (inputTime < smallestInputTime) {
                smallestInputTime = inputTime;
                if (loop.Opts.InputSync)
                    chosen = ist.FileIndex;
            }
            if (outputTime < smallestOutputTime) {
                smallestOutputTime = outputTime;
                if (!loop.Opts.InputSync)
                    chosen = ist.FileIndex;
            }
        }
        if (FrameLimitReached(loop, ost))
            return -1;
    }
    return chosen;
}

bool FileSizeLimitReached(const TLoopContext& loop)
{
    if (loop.Opts.LimitFileSize == 0 || loop.Files.OutputCount() == 0)
        return false;
    AVIOContext* io = loop.Files.Output(0)->pb;
    return io && avio_tell(io) > loop.Opts.LimitFileSize;
}

// Input offsets and scales, and the correction of timestamp jumps of
// containers that allow them.
void CorrectTimestamps(TLoopContext& loop, AVPacket& packet, TInputStream& ist, int fileIndex)
{
    const AVRational streamTimeBase = ist.Stream->time_base;
    const int64_t offset = av_rescale_q(loop.Files.InputTsOffsets[fileIndex], AV_TIME_BASE_Q, streamTimeBase);
    if (packet.dts != AV_NOPTS_VALUE)
        packet.dts += offset;
    if (packet.pts != AV_NOPTS_VALUE)
        packet.pts += offset;

    const double scale = packet.stream_index < MaxStreamsPerFile
                             ? loop.Files.InputTsScales[fileIndex][packet.stream_index]
                             : 0.0;
    if (scale != 0) {
        if (packet.dts != AV_NOPTS_VALUE)
            packet.dts = std::llrint(double(packet.dts) * scale);
        if (packet.pts != AV_NOPTS_VALUE)
            packet.pts = std::llrint(double(packet.pts) * scale);
    }

    const AVFormatContext* input = loop.Files.Input(fileIndex);
    if (packet.dts == AV_NOPTS_VALUE || ist.NextPts == AV_NOPTS_VALUE ||
        !(input->iformat->flags & AVFMT_TS_DISCONT))
        return;
    const int64_t packetDts = av_rescale_q(packet.dts, streamTimeBase, AV_TIME_BASE_Q);
    const int64_t delta = packetDts - ist.NextPts;
    const bool jumped = double(std::llabs(delta)) > double(loop.Opts.DtsDeltaThreshold) * AV_TIME_BASE ||
                        packetDts + 1 < ist.Pts;
    if (!jumped || loop.Opts.CopyTs)
        return;
    loop.Files.InputTsOffsets[fileIndex] -= delta;
    if (loop.Opts.Verbose >= 3)
        loop.Log(llVerbose,
                 QString::asprintf("timestamp discontinuity %lld, new offset= %lld", (long long)delta,
                                   (long long)loop.Files.InputTsOffsets[fileIndex]));
    const int64_t shift = av_rescale_q(delta, AV_TIME_BASE_Q, streamTimeBase);
    packet.dts -= shift;
    if (packet.pts != AV_NOPTS_VALUE)
        packet.pts -= shift;
}

bool PastRecordingTime(const TLoopContext& loop, const AVPacket& packet, const TInputStream& ist)
{
    if (loop.Opts.RecordingTime == NoRecordingLimit || packet.pts == AV_NOPTS_VALUE)
        return false;
    return av_compare_ts(packet.pts, ist.Stream->time_base, loop.Opts.RecordingTime + loop.Opts.StartTime,
                         AV_TIME_BASE_Q) >= 0;
}

QString OutputStreamName(const TOutputStream& ost)
{
    return QString::asprintf("#%d.%d (%s)", ost.FileIndex, ost.Index,
                             qPrintable(StreamTypeName(OutputStreamType(ost))));
}

// The end of input JoinIndex in join mode: flush its decoders and the
// shared encoders, re-open those for the next input and let the next input's
// timestamps continue where this one's output ended. False after the last input.
bool SwitchJoinInput(TLoopContext& loop)
{
    TFileTables& files = loop.Files;
    const TInputFileRecord& record = files.InputFileRecords[loop.JoinIndex];
    for (int i = record.IstIndex; i < record.IstIndex + record.NbStreams; ++i) {
        TInputStream& ist = loop.Ist(i);
        if (!ist.DecodingNeeded)
            continue;
        OutputPacket(loop, ist, nullptr);
        if (ist.DecoderContext)
            avcodec_flush_buffers(ist.DecoderContext.get());
        ist.Flushed = true;
    }

    const bool lastInput = loop.JoinIndex + 1 >= files.InputCount();
    for (int i = 0; i < loop.SegmentStreams; ++i) {
        TOutputStream& ost = loop.Ost(i);
        if (!ost.EncodingNeeded || !ost.Encoder())
            continue;
        AVCodecContext* encoder = ost.Encoder();
        if (encoder->codec && (encoder->codec->capabilities & AV_CODEC_CAP_ENCODER_FLUSH))
            avcodec_flush_buffers(encoder);
        if (lastInput)
            continue;
        const AVCodec* codec = loop.Task.EncoderFor(ost);
        if (!codec)
            throw FFmpegException("Unsupported codec for output stream " + OutputStreamName(ost));
        if (loop.Task.ReopenEncoder(ost, codec) < 0)
            throw FFmpegException("Error while opening codec for output stream " + OutputStreamName(ost) +
                                  " - maybe incorrect parameters such as bit_rate, rate, width or height");
        loop.OutputWork[i].Muxed->Reopened = true;
    }

    const int segmentEnd = (loop.JoinIndex + 1) * loop.SegmentStreams;
    for (int i = segmentEnd; i < int(files.OutputStreams.size()); ++i) {
        loop.Ost(i).SyncOpts = loop.Ost(i - loop.SegmentStreams).SyncOpts;
        loop.Ost(i).FrameNumber = loop.Ost(i - loop.SegmentStreams).FrameNumber;
    }

    double end = 0;
    for (int i = loop.JoinIndex * loop.SegmentStreams; i < segmentEnd && i < int(files.OutputStreams.size());
         ++i) {
        end = std::max(end, loop.OutputWork[i].Muxed->EndTimeSeconds());
        loop.Ost(i).Active = false;
    }
    if (lastInput)
        return false;
    files.InputTsOffsets[loop.JoinIndex + 1] += std::llrint(end * 1000000);
    ++loop.JoinIndex;
    return true;
}

void RunPackets(TLoopContext& loop)
{
    TCustomFFmpeg& task = loop.Task;
    TFileTables& files = loop.Files;
    AVPacket& packet = *loop.ReadPacket;
    while (!task.StopRequested) {
        task.WaitWhilePaused();
        if (task.StopRequested)
            break;

        const int fileIndex = ChooseInput(loop);
        if (fileIndex < 0) {
            if (task.Joined || loop.NoPacketCount == 0)
                break;
            std::fill(loop.NoPacket.begin(), loop.NoPacket.end(), 0);
            loop.NoPacketCount = 0;
            av_usleep(10000);
            continue;
        }
        if (FileSizeLimitReached(loop))
            break;

        AVFormatContext* input = files.Input(fileIndex);
        const int readResult = av_read_frame(input, &packet);
        if (readResult == AVERROR(EAGAIN)) {
            loop.NoPacket[fileIndex] = 1;
            ++loop.NoPacketCount;
            continue;
        }
        if (readResult < 0) {
            files.InputFileRecords[fileIndex].EofReached = true;
            if (loop.Opts.OptShortest && !task.Joined)
                break;
            if (task.Joined && !SwitchJoinInput(loop))
                break;
            continue;
        }
        std::fill(loop.NoPacket.begin(), loop.NoPacket.end(), 0);
        loop.NoPacketCount = 0;
        if (loop.Opts.DoPktDump)
            av_pkt_dump_log2(nullptr, AV_LOG_INFO, &packet, loop.Opts.DoHexDump,
                             input->streams[packet.stream_index]);

        const TInputFileRecord& record = files.InputFileRecords[fileIndex];
        bool decodeError = false;
        if (packet.stream_index < record.NbStreams) {
            TInputStream& ist = loop.Ist(record.IstIndex + packet.stream_index);
            if (!ist.Discard) {
                CorrectTimestamps(loop, packet, ist, fileIndex);
                if (PastRecordingTime(loop, packet, ist))
                    ist.IsPastRecordingTime = true;
                else if (OutputPacket(loop, ist, &packet) < 0) {
                    const QString message =
                        QString::asprintf("Error while decoding stream #%d.%d (%s)", ist.FileIndex, ist.Index,
                                          qPrintable(StreamTypeName(ist.Stream->codecpar->codec_type)));
                    if (loop.Opts.ExitOnError)
                        throw FFmpegException(message);
                    if (loop.Opts.Verbose >= 0)
                        loop.Log(llVerbose, message);
                    decodeError = true;
                }
            }
        }
        av_packet_unref(&packet);
        if (decodeError)
            continue;

        const int64_t now = LoopClockNow();
        if (now - loop.LastReport > task.ProgressInterval) {
            loop.LastReport = now;
            PrintReport(loop, false, fileIndex);
        }
    }
}

int OutputsWithTrailers(const TLoopContext& loop)
{
    // A joined output appears once per input in the table but is one file.
    return loop.Task.Joined ? std::min(1, loop.Files.OutputCount()) : loop.Files.OutputCount();
}

// Writes the trailer of output i once. A trailer the container refuses leaves
// a file players cannot read: such an output is closed and deleted instead.
// False when that happened; note receives what was done.
bool FinishOutputFile(TLoopContext& loop, int i, int& result, QString& note)
{
    TOutputFile& output = *loop.Files.OutputFiles[i];
    result = 0;
    if (!output.HeaderWritten || loop.TrailerWritten[i])
        return true;
    loop.TrailerWritten[i] = 1;
    result = av_write_trailer(output.Context.get());
    if (result >= 0)
        return true;
    CloseOutputIO(output.Context.get());
    if (output.FileOpened && QFile::remove(output.FileName)) {
        output.FileOpened = false;
        note = QStringLiteral("\nThe incomplete output was deleted: ") + output.FileName;
    }
    return false;
}

void WriteTrailers(TLoopContext& loop)
{
    for (int i = 0; i < OutputsWithTrailers(loop); ++i) {
        int result = 0;
        QString note;
        if (!FinishOutputFile(loop, i, result, note))
            throw FFmpegException(ErrorText(QStringLiteral("av_write_trailer()"), result) + note);
    }
}

void CloseLoopCodecs(TLoopContext& loop)
{
    const int encoders = loop.Task.Joined ? loop.SegmentStreams : int(loop.Files.OutputStreams.size());
    for (int i = 0; i < encoders && i < int(loop.Files.OutputStreams.size()); ++i) {
        TOutputStream& ost = loop.Ost(i);
        if (ost.EncodingNeeded && ost.Encoder())
            loop.Task.CloseEncoder(ost);
    }
    for (auto& ist : loop.Files.InputStreams)
        if (ist->DecoderOpened)
            loop.Task.CloseDecoder(*ist);
}

void FinishLoop(TLoopContext& loop)
{
    for (auto& ist : loop.Files.InputStreams)
        if (ist->DecodingNeeded && !ist->Flushed)
            OutputPacket(loop, *ist, nullptr);
    WriteTrailers(loop);
    PrintReport(loop, true, -1);
    CloseLoopCodecs(loop);
    loop.VideoStats.Close();
    loop.Task.Finished = !loop.Task.StopRequested;
    loop.Files.ClearStreamRecords();
}

// After a failure: an output whose header was written gets its trailer when
// its container still takes one, so that what was converted stays playable;
// one that cannot be finished is deleted rather than left damaged. Returns
// what happened, for the task's failure text.
QString FinishOutputsAfterFailure(TLoopContext& loop)
{
    QString notes;
    for (int i = 0; i < OutputsWithTrailers(loop); ++i) {
        const bool pending = loop.Files.OutputFiles[i]->HeaderWritten && !loop.TrailerWritten[i];
        int result = 0;
        QString note;
        if (FinishOutputFile(loop, i, result, note)) {
            if (pending)
                notes += QStringLiteral("\nThe part converted before the failure was kept: ") +
                         loop.Files.OutputFiles[i]->FileName;
        } else
            notes += note;
    }
    return notes;
}

void RunLoop(TCustomFFmpeg& task)
{
    TLoopContext loop(task);
    loop.TimerStart = loop.LastReport = LoopClockNow();
    if (task.Joined && task.Files.OutputCount() > 0)
        loop.SegmentStreams = int(task.Files.Output(0)->nb_streams);
    try {
        RunPackets(loop);
        FinishLoop(loop);
    } catch (const std::exception& failure) {
        const QString notes = FinishOutputsAfterFailure(loop);
        if (notes.isEmpty())
            throw;
        throw FFmpegException(QString::fromUtf8(failure.what()) + notes);
    }
}

} // namespace

void TCustomFFmpeg::Transcode()
{
    SetUpTranscode();
    RunLoop(*this);
}
