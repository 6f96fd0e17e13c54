// Turning the option records into option calls, in the order that decides
// what overrides what: codec defaults, then presets, then the extra options,
// then the typed fields; additional streams once the output is open.

#include "engine/TCustomFFmpeg.h"

namespace {

QString NumberText(int value)
{
    return QString::number(value);
}

} // namespace

void TCustomFFmpeg::ApplyExtOptions(const QString& text, bool allowCodecKeys)
{
    static const QStringList skipped = {"newvideo", "newaudio", "newsubtitle", "apre",
                                        "vpre",     "spre",     "vfilters",    "vf"};
    static const QStringList codecKeys = {"acodec", "vcodec", "scodec", "s"};
    for (const auto& [key, value] : ReadOptionLines(text)) {
        if (skipped.contains(key))
            continue;
        if (codecKeys.contains(key) && !allowCodecKeys)
            continue;
        SetOption(key, value);
    }
}

void TCustomFFmpeg::ApplyInputOptions(TInputOptions& options, const QString& fileName)
{
    if (options.FileName.isEmpty())
        options.FileName = fileName;
    StoreInputOptions(Files.InputCount(), options);
    ApplyExtOptions(options.ExtOptions, true);
    SetFormat(options.FileFormat);
    SetStartTime(options.StartTime);
    SetProgramID(options.ProgramID);
}

bool TCustomFFmpeg::ApplyOutputOptions(TOutputOptions& options, const QString& fileName,
                                       const THookCallback& hook)
{
    // 1. the record's own copy
    if (options.FileName.isEmpty())
        options.FileName = fileName;
    StoreOutputOptions(Files.OutputCount(), options);

    // 2. the defaults list
    const TOutputDefaults defaults(options);

    // 3. target preset
    static const char* const targetTypes[] = {"vcd", "svcd", "dvd"};
    if (options.TargetType >= 1 && options.TargetType <= 3)
        ApplyTarget(QLatin1String(targetTypes[options.TargetType - 1]),
                    options.TargetNorm == 1   ? QStringLiteral("pal")
                    : options.TargetNorm == 2 ? QStringLiteral("ntsc")
                                              : QStringLiteral("auto"),
                    options.TargetDefaultNorm == 1 ? QStringLiteral("pal") : QStringLiteral("ntsc"));

    // 4. codecs, 5. presets, 6. extra options
    SetAudioCodec(defaults.Value(QStringLiteral("def_acodec")));
    SetVideoCodec(defaults.Value(QStringLiteral("def_vcodec")));
    SetSubtitleCodec(defaults.Value(QStringLiteral("def_scodec")));
    ApplyPreset('a', defaults.Value(QStringLiteral("def_apre")));
    ApplyPreset('v', defaults.Value(QStringLiteral("def_vpre")));
    ApplyPreset('s', defaults.Value(QStringLiteral("def_spre")));
    ApplyExtOptions(options.ExtOptions, false);

    // 7. the typed fields, in this order
    SetFormat(options.FileFormat);
    if (options.PacketSize > 0)
        SetGenericOption(QStringLiteral("packetsize"), NumberText(options.PacketSize));
    if (options.MuxRate > 0)
        SetGenericOption(QStringLiteral("muxrate"), NumberText(options.MuxRate));
    SetMuxDelay(options.MuxDelay);
    SetMuxPreload(options.MuxPreload);
    if (options.DisableAudio)
        FOpts.AudioDisable = true;
    SetAudioVolume(options.AudioVolume);
    SetAudioChannels(options.AudioChannels);
    SetAudioSampleRate(options.AudioSampleRate);
    if (options.AudioBitrate > 0)
        SetGenericOption(QStringLiteral("ab"), NumberText(options.AudioBitrate));
    if (options.AudioBitrateTolerance > 0)
        SetGenericOption(QStringLiteral("abt"), NumberText(options.AudioBitrateTolerance));
    FOpts.AudioLanguage = options.AudioLanguage;
    SetAudioSync(options.AudioSync);
    SetAudioTag(options.AudioTag);
    if (options.DisableVideo)
        FOpts.VideoDisable = true;
    SetFrameRate(options.FrameRate);
    SetAspectRatio(options.AspectRatio);
    SetCropTop(options.CropTop);
    SetCropBottom(options.CropBottom);
    SetCropLeft(options.CropLeft);
    SetCropRight(options.CropRight);
    const std::pair<const char*, int> videoRates[] = {
        {"g", options.GopSize},
        {"vb", options.VideoBitrate},
        {"maxrate", options.VideoMaxRate},
        {"minrate", options.VideoMinRate},
        {"bt", options.VideoBitrateTolerance},
        {"bufsize", options.VideoBufSize},
    };
    for (const auto& [name, value] : videoRates)
        if (value > 0)
            SetGenericOption(QLatin1String(name), NumberText(value));
    SetVideoSync(options.VideoSync);
    SetVideoTag(options.VideoTag);
    FOpts.VideoLanguage = options.VideoLanguage;
    if (options.DisableSubtitle)
        FOpts.SubtitleDisable = true;
    FOpts.SubtitleLanguage = options.SubtitleLanguage;
    FOpts.InputSync = options.InputSync;
    if (options.CopyTimestamps)
        FOpts.CopyTs = true;
    SetStartTime(options.StartTime);
    SetRecordingTime(options.RecordingTime);

    const TStreamInfo& info = options.Info;
    if (info.Timestamp >= 0)
        SetRecordTimestamp(CreationTimeFromTimestamp(info.Timestamp));
    if (info.Year > 0)
        AddMetadata(QStringLiteral("year"), NumberText(info.Year));
    if (info.Track > 0)
        AddMetadata(QStringLiteral("track"), NumberText(info.Track));
    const std::pair<const char*, const QString*> texts[] = {
        {"title", &info.Title},     {"author", &info.Author}, {"copyright", &info.Copyright},
        {"comment", &info.Comment}, {"album", &info.Album},   {"genre", &info.Genre},
    };
    for (const auto& [key, value] : texts)
        if (!value->isEmpty())
            AddMetadata(QLatin1String(key), *value);

    // 8. size and filters after the crops (which work on the input's size)
    SetFrameSize(defaults.Value(QStringLiteral("def_s")));
    SetVideoFilters(defaults.Value(QStringLiteral("def_vf")));

    // 9. the frame hook
    if (options.CustomHook)
        HookCallback = hook;

    // 10.
    return options.JoinInputs;
}

void TCustomFFmpeg::AddRecordStreams(const TOutputOptions& options)
{
    TOutputDefaults defaults(options);
    const auto take = [&](const char* key) {
        SetOption(QLatin1String(key), defaults.Take(QLatin1String(key)));
    };
    for (const auto& [key, value] : ReadOptionLines(options.ExtOptions)) {
        if (key == QLatin1String("newaudio")) {
            take("acodec");
            take("apre");
        } else if (key == QLatin1String("newvideo")) {
            take("vcodec");
            take("vpre");
            take("s");
            take("vf");
        } else if (key == QLatin1String("newsubtitle")) {
            take("scodec");
            take("spre");
        } else {
            continue;
        }
        SetOption(key, value);
    }
}
