// The set-up half of Transcode: stream records for every input and output
// stream, the choice of each output stream's source, copy or encoding
// set-up, the codecs opened, the input clocks, metadata, chapters and the
// headers. What the loop needs afterwards is all in the task's tables.

#include "engine/TranscodeSetupSteps.h"

#include "media/FFLogger.h"
#include "media/FFmpegException.h"
#include "media/MediaHelpers.h"

extern "C" {
#include <libavutil/time.h>
}

#include <climits>
#include <cmath>

namespace {

AVMediaType OutputType(const TOutputStream& ost)
{
    return ost.Encoder() ? ost.Encoder()->codec_type : ost.Stream->codecpar->codec_type;
}

void DumpOutputFormat(const TCustomFFmpeg& task, int outputIndex)
{
    const AVFormatContext* output = task.Files.Output(outputIndex);
    av_dump_format(const_cast<AVFormatContext*>(output), outputIndex, output->url, 1);
}

bool InProgram(const AVFormatContext* input, int programId, int streamIndex)
{
    for (unsigned p = 0; p < input->nb_programs; ++p) {
        const AVProgram* program = input->programs[p];
        if (program->id != programId)
            continue;
        for (unsigned s = 0; s < program->nb_stream_indexes; ++s)
            if (static_cast<int>(program->stream_index[s]) == streamIndex)
                return true;
    }
    return false;
}

// 1. One record per input file and per input stream.
void CreateInputRecords(TCustomFFmpeg& task)
{
    TFileTables& files = task.Files;
    const bool rateEmulation = task.Opts().RateEmu;
    for (int f = 0; f < files.InputCount(); ++f) {
        TInputFile& file = files.InputFiles[f];
        AVFormatContext* input = file.Context.get();
        TInputFileRecord record;
        record.IstIndex = static_cast<int>(files.InputStreams.size());
        record.NbStreams = static_cast<int>(input->nb_streams);
        files.InputFileRecords.push_back(record);
        for (unsigned s = 0; s < input->nb_streams; ++s) {
            auto ist = std::make_unique<TInputStream>();
            ist->FileIndex = f;
            ist->Index = static_cast<int>(s);
            ist->Stream = input->streams[s];
            if (s < file.Streams.size()) {
                TInputStreamCodec& codec = file.Streams[s];
                ist->DecoderContext = std::move(codec.Context);
                ist->ForcedDecoder = codec.ForcedDecoder;
                ist->CodecTimeBase = codec.CodecTimeBase;
                ist->TicksPerFrame = codec.TicksPerFrame;
            }
            // A stream that appeared after the input was opened gets its decoder settings now.
            if (!ist->DecoderContext) {
                const AVCodec* decoder = avcodec_find_decoder(ist->Stream->codecpar->codec_id);
                ist->DecoderContext.reset(avcodec_alloc_context3(decoder));
                if (!ist->DecoderContext ||
                    avcodec_parameters_to_context(ist->DecoderContext.get(), ist->Stream->codecpar) < 0)
                    throw FFmpegException("avcodec_alloc_context3 failed");
                ist->DecoderContext->thread_count = task.Opts().ThreadCount;
                ist->CodecTimeBase = av_stream_get_codec_timebase(ist->Stream);
            }
            if (rateEmulation)
                ist->Start = av_gettime_relative();
            files.InputStreams.push_back(std::move(ist));
        }
    }
}

// 2. Every output has streams; the maps name existing streams.
void CheckOutputsAndMaps(TCustomFFmpeg& task)
{
    const TFileTables& files = task.Files;
    const TOptionState& o = task.Opts();
    int outputStreams = 0;
    for (int i = 0; i < files.OutputCount(); ++i) {
        const int count = static_cast<int>(files.Output(i)->nb_streams);
        if (count == 0) {
            DumpOutputFormat(task, i);
            throw FFmpegException(QString::asprintf("Output file #%d does not contain any stream", i));
        }
        outputStreams += count;
    }
    if (o.StreamMaps.empty())
        return;
    if (static_cast<int>(o.StreamMaps.size()) != outputStreams)
        throw FFmpegException("Number of stream maps must match number of output streams");
    const auto exists = [&](int file, int stream) {
        return file >= 0 && file < files.InputCount() && stream >= 0 &&
               stream < files.InputFileRecords[file].NbStreams;
    };
    for (const TStreamMap& map : o.StreamMaps) {
        if (!exists(map.FileIndex, map.StreamIndex))
            throw FFmpegException(
                QString::asprintf("Could not find input stream #%d.%d", map.FileIndex, map.StreamIndex));
        if (!exists(map.SyncFileIndex, map.SyncStreamIndex))
            throw FFmpegException(
                QString::asprintf("Could not find sync stream #%d.%d", map.SyncFileIndex, map.SyncStreamIndex));
    }
}

TInputStream* MappedStream(TFileTables& files, int file, int stream)
{
    return files.InputStreams[files.InputFileRecords[file].IstIndex + stream].get();
}

// The untaken input stream of the output stream's type the library saw most
// frames of (a program's streams only, when a program is chosen; the entry's
// own input in join mode); else, when neither applies, the last stream of
// that type even if taken.
int ChooseSource(TCustomFFmpeg& task, const TOutputStream& ost, AVMediaType type)
{
    const TFileTables& files = task.Files;
    const int programId = task.Opts().ProgramId;
    int chosen = -1;
    int64_t mostFrames = -1;
    for (int j = 0; j < static_cast<int>(files.InputStreams.size()); ++j) {
        const TInputStream& ist = *files.InputStreams[j];
        if (!ist.Discard || ist.Stream->discard == AVDISCARD_ALL || ist.Stream->codecpar->codec_type != type)
            continue;
        if (programId != 0 && !InProgram(files.Input(ist.FileIndex), programId, ist.Index))
            continue;
        if (task.Joined && ist.FileIndex != ost.FileIndex)
            continue;
        // The container's frame count stands in for the frames seen while probing.
        if (ist.Stream->nb_frames > mostFrames) {
            mostFrames = ist.Stream->nb_frames;
            chosen = j;
        }
    }
    if (chosen < 0 && programId == 0 && !task.Joined)
        for (int j = 0; j < static_cast<int>(files.InputStreams.size()); ++j) {
            const TInputStream& ist = *files.InputStreams[j];
            if (ist.Stream->discard != AVDISCARD_ALL && ist.Stream->codecpar->codec_type == type)
                chosen = j;
        }
    return chosen;
}

// 3. Output stream records, each bound to its source.
void CreateOutputRecords(TCustomFFmpeg& task)
{
    TFileTables& files = task.Files;
    const TOptionState& o = task.Opts();
    int mapIndex = 0;
    for (int i = 0; i < files.OutputCount(); ++i) {
        TOutputFile& file = *files.OutputFiles[i];
        AVFormatContext* output = file.Context.get();
        for (unsigned j = 0; j < output->nb_streams; ++j) {
            auto ost = std::make_unique<TOutputStream>();
            ost->FileIndex = i;
            ost->Index = static_cast<int>(j);
            ost->Stream = output->streams[j];
            ost->Codec = j < file.Streams.size() ? &file.Streams[j] : nullptr;
            if (!ost->Codec)
                throw FFmpegException("invalid codec_type of output stream");
            const AVMediaType type = OutputType(*ost);
            if (!o.StreamMaps.empty()) {
                const TStreamMap& map = o.StreamMaps[mapIndex++];
                TInputStream* source = MappedStream(files, map.FileIndex, map.StreamIndex);
                if (source->Stream->codecpar->codec_type != type) {
                    DumpOutputFormat(task, i);
                    throw FFmpegException(QString::asprintf(
                        "Codec type mismatch for mapping #%d.%d (%s) -> #%d.%d (%s)", map.FileIndex, map.StreamIndex,
                        StreamTypeName(source->Stream->codecpar->codec_type).toUtf8().constData(), i,
                        static_cast<int>(j), StreamTypeName(type).toUtf8().constData()));
                }
                ost->SourceIndex = files.InputFileRecords[map.FileIndex].IstIndex + map.StreamIndex;
                ost->SyncIst = MappedStream(files, map.SyncFileIndex, map.SyncStreamIndex);
            } else {
                const int source = ChooseSource(task, *ost, type);
                if (source < 0) {
                    DumpOutputFormat(task, i);
                    throw FFmpegException(
                        QString::asprintf("Could not find input stream matching output stream #%d.%d (%s)", i,
                                          static_cast<int>(j), StreamTypeName(type).toUtf8().constData()));
                }
                ost->SourceIndex = source;
                ost->SyncIst = files.InputStreams[source].get();
            }
            files.InputStreams[ost->SourceIndex]->Discard = false;
            ost->Active = true;
            files.OutputStreams.push_back(std::move(ost));
        }
    }
}

// 4. Metadata of the source, then copy or encoding set-up; the video bit buffer.
void PrepareOutputStreams(TCustomFFmpeg& task)
{
    TFileTables& files = task.Files;
    for (int n = 0; n < static_cast<int>(files.OutputStreams.size()); ++n) {
        TOutputStream& ost = *files.OutputStreams[n];
        TInputStream& ist = *files.InputStreams[ost.SourceIndex];
        av_dict_copy(&ost.Stream->metadata, ist.Stream->metadata, AV_DICT_DONT_OVERWRITE);
        ost.Stream->disposition = ist.Stream->disposition;
        const AVCodecParameters* source = ist.Stream->codecpar;
        // A joined output takes its stream parameters from the first input only.
        const bool laterSegment = task.Joined && ost.FileIndex > 0;
        if (ost.Codec->StreamCopy) {
            // The copied parameters carry the raw bits and chroma location already.
            if (laterSegment)
                ost.EncodingNeeded = false;
            else
                PrepareStreamCopy(task, ost, ist);
        } else {
            ost.Encoder()->bits_per_raw_sample = source->bits_per_raw_sample;
            ost.Encoder()->chroma_sample_location = source->chroma_location;
            PrepareEncoding(task, ost, ist, n);
        }
        if (OutputType(ost) == AVMEDIA_TYPE_VIDEO) {
            const AVCodecParameters* shape = ost.EncodingNeeded ? nullptr : ost.Stream->codecpar;
            const int64_t width = shape ? shape->width : ost.Encoder()->width;
            const int64_t height = shape ? shape->height : ost.Encoder()->height;
            const int64_t needed = 6 * width * height + 200;
            if (needed > files.BitBufferSize && needed < INT_MAX)
                files.BitBufferSize = static_cast<int>(needed);
        }
    }
    files.BitBuffer.reset(static_cast<uint8_t*>(av_malloc(files.BitBufferSize)));
    if (!files.BitBuffer)
        throw FFmpegException(QString::asprintf("Cannot allocate %d bytes output buffer", files.BitBufferSize));
}

// The decoder of an input stream, opened (step 6).
void OpenDecoderOf(TCustomFFmpeg& task, TInputStream& ist)
{
    const AVCodecParameters* parameters = ist.Stream->codecpar;
    const QByteArray type = StreamTypeName(parameters->codec_type).toUtf8();
    const AVCodec* decoder = ist.ForcedDecoder ? ist.ForcedDecoder : avcodec_find_decoder(parameters->codec_id);
    if (!decoder)
        FailWithStreamMapping(task, QString::asprintf("Decoder (codec id %d) not found for input stream #%d.%d (%s)",
                                                      parameters->codec_id, ist.FileIndex, ist.Index,
                                                      type.constData()));
    if (task.OpenDecoder(ist, decoder) < 0)
        FailWithStreamMapping(task, QString::asprintf("Error while opening decoder for input stream #%d.%d (%s)",
                                                      ist.FileIndex, ist.Index, type.constData()));
}

// 5. Encoders (in join mode those of the first output entry).
void OpenEncoders(TCustomFFmpeg& task)
{
    for (const auto& ost : task.Files.OutputStreams) {
        if (!ost->EncodingNeeded || (task.Joined && ost->FileIndex > 0))
            continue;
        const AVCodec* encoder = task.EncoderFor(*ost);
        const QByteArray type = OutputStreamTypeName(*ost).toUtf8();
        if (!encoder)
            FailWithStreamMapping(task, QString::asprintf("Encoder (codec id %d) not found for output stream #%d.%d (%s)",
                                                          ost->Encoder() ? ost->Encoder()->codec_id : ost->Codec->CodecId,
                                                          ost->FileIndex, ost->Index, type.constData()));
        // A subtitle encoder starts from the styles its source's decoder
        // makes when it opens, so that decoder opens first.
        if (OutputType(*ost) == AVMEDIA_TYPE_SUBTITLE) {
            TInputStream& source = *task.Files.InputStreams[ost->SourceIndex];
            if (!source.DecoderOpened)
                OpenDecoderOf(task, source);
            TakeSubtitleStyles(*ost, source, task.Files.Input(source.FileIndex));
        }
        if (task.Joined) {
            ost->SavedCodecId = ost->Encoder()->codec_id;
            SaveEncoderForReopening(*ost);
        }
        if (task.OpenEncoder(*ost, encoder) < 0)
            FailWithStreamMapping(
                task, QString::asprintf("Error while opening encoder for output stream #%d.%d (%s) - maybe incorrect "
                                        "parameters such as bit_rate, rate, width or height. Please check error log "
                                        "message to find out more detail information.",
                                        ost->FileIndex, ost->Index, type.constData()));
        task.Counters.ExtraSize += ost->Encoder()->extradata_size;
    }
}

// 6. Decoders of the streams something is encoded from (those of subtitle
// sources are open already, see OpenEncoders).
void OpenDecoders(TCustomFFmpeg& task)
{
    for (const auto& ist : task.Files.InputStreams)
        if (ist->DecodingNeeded && !ist->DecoderOpened)
            OpenDecoderOf(task, *ist);
}

// 7. Input clocks: a decoder that holds back B-frames starts that many frames early.
void StartInputClocks(TCustomFFmpeg& task)
{
    for (const auto& ist : task.Files.InputStreams) {
        AVRational rate = ist->Stream->avg_frame_rate;
        if (rate.num <= 0 || rate.den <= 0)
            rate = ist->Stream->r_frame_rate;
        const int delayedFrames = ist->DecoderContext ? ist->DecoderContext->has_b_frames : 0;
        ist->Pts = rate.num > 0 && rate.den > 0
                       ? -std::llround(static_cast<double>(delayedFrames) * AV_TIME_BASE / av_q2d(rate))
                       : 0;
        ist->NextPts = AV_NOPTS_VALUE;
        ist->IsStart = true;
    }
}

// The header, with the muxer's own options the option state holds (target
// presets' "muxrate" and the like). One this muxer does not take is logged,
// not dropped unseen.
int WriteHeaderWithMuxerOptions(TCustomFFmpeg& task, AVFormatContext* output)
{
    AVDictionary* options = PrivateOptions(task.Opts().MuxerPrivateOptions).release();
    const int result = avformat_write_header(output, &options);
    const AVDictionaryEntry* unused = nullptr;
    while ((unused = av_dict_get(options, "", unused, AV_DICT_IGNORE_SUFFIX)))
        DefaultLogger()->LogFmt(&task, llWarning, "Option %s is not an option of the %s muxer; ignored",
                                unused->key, output->oformat->name);
    av_dict_free(&options);
    return result;
}

// 10. Headers (in join mode the first output entry's).
void WriteHeaders(TCustomFFmpeg& task)
{
    TFileTables& files = task.Files;
    const int count = task.Joined ? 1 : files.OutputCount();
    for (int i = 0; i < count; ++i) {
        for (const auto& ost : files.OutputStreams)
            if (ost->FileIndex == i)
                InitBitStreamFilters(*ost);
        if (WriteHeaderWithMuxerOptions(task, files.Output(i)) < 0)
            FailWithStreamMapping(
                task, QString::asprintf("Could not write header for output file #%d (incorrect codec parameters ?)", i));
        files.OutputFiles[i]->HeaderWritten = true;
    }
    bool allRtp = files.OutputCount() > 0;
    for (int i = 0; i < files.OutputCount(); ++i)
        allRtp = allRtp && QLatin1String(files.Output(i)->oformat->name) == QLatin1String("rtp");
    if (allRtp) {
        std::vector<AVFormatContext*> outputs;
        for (int i = 0; i < files.OutputCount(); ++i)
            outputs.push_back(files.Output(i));
        char sdp[2048] = {};
        av_sdp_create(outputs.data(), static_cast<int>(outputs.size()), sdp, sizeof(sdp));
        DefaultLogger()->Log(&task, llInfo, QStringLiteral("SDP:\r\n") + QString::fromUtf8(sdp));
    }
}

} // namespace

QString OutputStreamTypeName(const TOutputStream& ost)
{
    return StreamTypeName(OutputType(ost));
}

void TCustomFFmpeg::SetUpTranscode()
{
    Files.ClearStreamRecords();
    CreateInputRecords(*this);
    CheckOutputsAndMaps(*this);
    CreateOutputRecords(*this);
    PrepareOutputStreams(*this);
    OpenEncoders(*this);
    OpenDecoders(*this);
    StartInputClocks(*this);
    ApplyMetadataMaps(*this);
    CopyChapters(*this);
    WriteHeaders(*this);
    DumpStreamMapping(*this);
}
