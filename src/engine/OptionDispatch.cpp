#include "engine/OptionValues.h"
#include "engine/TCustomFFmpeg.h"
#include "media/FFLogger.h"
#include "media/FFmpegException.h"
#include "platform/NumberText.h"

#include <QCoreApplication>
#include <QHash>
#include <QTime>

#include <vector>

namespace {

using TOptionHandler = void (*)(TCustomFFmpeg& task, TOptionState& o, const QString& name,
                                const QString& value);

struct TOptionEntry
{
    std::vector<const char*> Names;
    TOptionHandler Handler;
};

void LogDoNothing(TCustomFFmpeg& task, const QString& name)
{
    DefaultLogger()->Log(&task, llInfo, QStringLiteral("Do nothing: option - ") + name);
}

} // namespace

void TCustomFFmpeg::SetOption(const QString& name, const QString& value)
{
    // The dispatch table, in the order the names are compared; the first
    // entry that names an option handles it.
    // clang-format off
    static const std::vector<TOptionEntry> entries = {
        {{"L", "h", "version", "formats", "codecs", "bsfs", "protocols", "filters"},
         [](TCustomFFmpeg& t, TOptionState&, const QString& n, const QString&) { LogDoNothing(t, n); }},
        {{"loglevel"}, [](TCustomFFmpeg&, TOptionState&, const QString&, const QString& v) { DefaultLogger()->SetLogLevelName(v); }},
        {{"f"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetFormat(v); }},
        {{"i", "y"}, [](TCustomFFmpeg& t, TOptionState&, const QString& n, const QString&) { LogDoNothing(t, n); }},
        {{"map"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.AddStreamMap(v); }},
        {{"map_meta_data"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.AddMetadataMap(v); }},
        {{"t"}, [](TCustomFFmpeg& t, TOptionState&, const QString& n, const QString& v) { t.SetRecordingTime(TimeValue(n, v, true)); }},
        {{"fs"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.LimitFileSize = Int64Value(v); }},
        {{"ss"}, [](TCustomFFmpeg&, TOptionState& o, const QString& n, const QString& v) { o.StartTime = TimeValue(n, v, true); }},
        {{"itsoffset"}, [](TCustomFFmpeg&, TOptionState& o, const QString& n, const QString& v) { o.InputTsOffset = TimeValue(n, v, true); }},
        {{"itsscale"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetInputTsScale(v); }},
        {{"timestamp"}, [](TCustomFFmpeg& t, TOptionState&, const QString& n, const QString& v) {
             t.SetRecordTimestamp(qRound64(static_cast<double>(TimeValue(n, v, false)) / 1000000.0)); }},
        {{"metadata"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) {
             const qsizetype equals = v.indexOf(QLatin1Char('='));
             if (equals < 0)
                 throw FFmpegException("Missing =");
             t.AddMetadata(v.left(equals), v.mid(equals + 1)); }},
        {{"dframes"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.MaxFrames[flData] = IntegerValue(v); }},
        {{"benchmark"}, [](TCustomFFmpeg& t, TOptionState&, const QString& n, const QString&) { LogDoNothing(t, n); }},
        {{"timelimit"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString&) {
             DefaultLogger()->Log(&t, llWarning, QStringLiteral("Warning: -timelimit not implemented on Windows")); }},
        {{"dump"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.DoPktDump = FlagValue(v); }},
        {{"hex"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.DoHexDump = FlagValue(v); }},
        {{"re"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.RateEmu = FlagValue(v); }},
        {{"loop_input"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.LoopInput = FlagValue(v); }},
        {{"loop_output"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.LoopOutput = IntegerValue(v); }},
        {{"v"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetVerbose(IntegerValue(v)); }},
        {{"target"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetTargetOption(v); }},
        {{"threads"}, [](TCustomFFmpeg&, TOptionState&, const QString& n, const QString&) {
             // Codecs use one thread per core; there is nothing to choose.
             throw FFmpegException(QStringLiteral("TODO: option - ") + n); }},
        {{"vsync"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.VideoSyncMethod = IntegerValue(v); }},
        {{"async"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.AudioSyncMethod = IntegerValue(v); }},
        {{"adrift_threshold"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.AudioDriftThreshold = FloatValue(v); }},
        {{"vglobal"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.VideoGlobalHeader = IntegerValue(v); }},
        {{"copyts"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString&) { o.CopyTs = true; }},
        {{"shortest"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.OptShortest = FlagValue(v); }},
        {{"dts_delta_threshold"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.DtsDeltaThreshold = FloatValue(v); }},
        {{"programid"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.ProgramId = IntegerValue(v); }},
        {{"xerror"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString&) { o.ExitOnError = true; }},
        {{"copyinkf"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.CopyInitialNonKeyframes = IntegerValue(v); }},
        {{"b", "vb"}, [](TCustomFFmpeg& t, TOptionState&, const QString& n, const QString& v) { t.SetBitRate(n, v); }},
        {{"vframes"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.MaxFrames[flVideo] = IntegerValue(v); }},
        {{"r"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetFrameRate(v); }},
        {{"s"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetFrameSize(v); }},
        {{"aspect"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetAspectRatio(v); }},
        {{"pix_fmt"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetPixelFormat(v); }},
        {{"croptop"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetCropTop(IntegerValue(v)); }},
        {{"cropbottom"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetCropBottom(IntegerValue(v)); }},
        {{"cropleft"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetCropLeft(IntegerValue(v)); }},
        {{"cropright"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetCropRight(IntegerValue(v)); }},
        {{"padtop", "padbottom", "padleft", "padright", "padcolor"},
         [](TCustomFFmpeg&, TOptionState&, const QString&, const QString&) { throw FFmpegException("Please use vfilters=pad"); }},
        {{"intra"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.IntraOnly = FlagValue(v); }},
        {{"vn"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.VideoDisable = FlagValue(v); }},
        {{"vdt"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.VideoDiscard = IntegerValue(v); }},
        {{"qscale"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) {
             const float q = FloatValue(v);
             if (!(q > 0.0f && q <= 255.0f))
                 throw FFmpegException("qscale must be > 0.0 and <= 255");
             o.VideoQScale = q; }},
        {{"rc_override"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.RcOverride = v; }},
        {{"vcodec"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetVideoCodec(v); }},
        {{"me_threshold"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.MeThreshold = IntegerValue(v); }},
        {{"sameq"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.SameQuant = FlagValue(v); }},
        {{"pass"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) {
             int pass = 0;
             if (!TryStrToInt(v, pass) || (pass != 1 && pass != 2))
                 throw FFmpegException("pass number can be only 1 or 2");
             o.DoPass = pass; }},
        {{"passlogfile"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.PassLogFileName = v; }},
        {{"deinterlace"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.DoDeinterlace = FlagValue(v); }},
        {{"psnr"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.DoPsnr = FlagValue(v); }},
        {{"vstats"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString&) {
             o.VstatsFileName = QStringLiteral("%1vstats_%2.log")
                                    .arg(QCoreApplication::applicationDirPath() + QLatin1Char('/'),
                                         QTime::currentTime().toString(QStringLiteral("hhmmss"))); }},
        {{"vstats_file"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.VstatsFileName = v; }},
        {{"vhook"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.AddVideoHook(v); }},
        {{"vfilters", "vf"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetVideoFilters(v); }},
        {{"intra_matrix"}, [](TCustomFFmpeg& t, TOptionState& o, const QString&, const QString& v) { t.SetQuantMatrix(o.IntraMatrix, v); }},
        {{"inter_matrix"}, [](TCustomFFmpeg& t, TOptionState& o, const QString&, const QString& v) { t.SetQuantMatrix(o.InterMatrix, v); }},
        {{"top"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.TopFieldFirst = IntegerValue(v); }},
        {{"dc"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.IntraDcPrecision = IntegerValue(v); }},
        {{"vtag"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetVideoTag(v); }},
        {{"newvideo"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString&) { t.AddStream('v'); }},
        {{"vlang"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.VideoLanguage = v; }},
        {{"qphist"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.QpHist = FlagValue(v); }},
        {{"force_fps"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.ForceFps = FlagValue(v); }},
        {{"streamid"}, [](TCustomFFmpeg& t, TOptionState&, const QString& n, const QString& v) { t.SetStreamId(n, v); }},
        {{"ab"}, [](TCustomFFmpeg& t, TOptionState&, const QString& n, const QString& v) { t.SetBitRate(n, v); }},
        {{"aframes"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.MaxFrames[flAudio] = IntegerValue(v); }},
        {{"aq"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.AudioQScale = FloatValue(v); }},
        {{"ar"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetAudioSampleRate(IntegerValue(v)); }},
        {{"ac"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetAudioChannels(IntegerValue(v)); }},
        {{"an"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.AudioDisable = FlagValue(v); }},
        {{"acodec"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetAudioCodec(v); }},
        {{"atag"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetAudioTag(v); }},
        {{"vol"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.AudioVolume = IntegerValue(v); }},
        {{"newaudio"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString&) { t.AddStream('a'); }},
        {{"alang"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.AudioLanguage = v; }},
        {{"sample_fmt"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetSampleFormat(v); }},
        {{"sn"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.SubtitleDisable = FlagValue(v); }},
        {{"scodec"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetSubtitleCodec(v); }},
        {{"newsubtitle"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString&) { t.AddStream('s'); }},
        {{"slang"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.SubtitleLanguage = v; }},
        {{"stag"}, [](TCustomFFmpeg& t, TOptionState&, const QString&, const QString& v) { t.SetSubtitleTag(v); }},
        {{"vc"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.VideoChannel = IntegerValue(v); }},
        {{"tvstd"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.VideoStandard = v; }},
        {{"isync"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.InputSync = FlagValue(v); }},
        {{"muxdelay"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.MuxMaxDelay = FloatValue(v); }},
        {{"muxpreload"}, [](TCustomFFmpeg&, TOptionState& o, const QString&, const QString& v) { o.MuxPreload = FloatValue(v); }},
        {{"absf"}, [](TCustomFFmpeg& t, TOptionState& o, const QString&, const QString& v) { t.AddBitStreamFilter(o.AudioBsfs, v); }},
        {{"vbsf"}, [](TCustomFFmpeg& t, TOptionState& o, const QString&, const QString& v) { t.AddBitStreamFilter(o.VideoBsfs, v); }},
        {{"sbsf"}, [](TCustomFFmpeg& t, TOptionState& o, const QString&, const QString& v) { t.AddBitStreamFilter(o.SubtitleBsfs, v); }},
        {{"apre", "vpre", "spre", "fpre"}, [](TCustomFFmpeg& t, TOptionState&, const QString& n, const QString& v) {
             t.ApplyPreset(n.at(0).toLatin1(), v); }},
    };
    // clang-format on
    static const QHash<QString, TOptionHandler> handlers = [] {
        QHash<QString, TOptionHandler> byName;
        for (const TOptionEntry& entry : entries)
            for (const char* entryName : entry.Names)
                if (!byName.contains(QLatin1String(entryName)))
                    byName.insert(QLatin1String(entryName), entry.Handler);
        return byName;
    }();

    if (const auto handler = handlers.constFind(name); handler != handlers.constEnd())
        (*handler)(*this, FOpts, name, value);
    else
        SetGenericOption(name, value);
}

void TCustomFFmpeg::AddStream(char kind)
{
    if (Files.OutputCount() == 0)
        throw FFmpegException("At least one output file must be specified");
    AVFormatContext* output = Files.Output(Files.OutputCount() - 1);
    if (kind == 'v')
        CreateVideoStream(output);
    else if (kind == 'a')
        CreateAudioStream(output);
    else
        CreateSubtitleStream(output);
}
