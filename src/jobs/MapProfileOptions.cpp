#include "jobs/MapProfileOptions.h"

#include "app/GlobalObject.h"
#include "app/IniFile.h"
#include "app/ProfileCatalogue.h"
#include "engine/OptionRecords.h"
#include "jobs/MapProfileOptionsAudio.h"
#include "jobs/MapProfileOptionsCodecs.h"
#include "jobs/MapProfileOptionsGeometry.h"
#include "jobs/MapProfileOptionsTargets.h"
#include "jobs/MapProfileOptionsValues.h"
#include "jobs/TlvFilesRecord.h"
#include "platform/NumberText.h"
#include "probe/AVProbe.h"

#include <stdexcept>

namespace {

void ApplyVideoBitRate(const QString& text, const TSourceVideo& source, TOutputOptions& output)
{
    int kilobits = 0;
    if (text != AsSource && TryStrToInt(text, kilobits)) {
        if (kilobits > 0)
            output.VideoBitrate = KilobitsToBits(kilobits);
    } else {
        output.VideoBitrate = source.BitRate;
    }
}

void ApplyFrameRate(const QString& text, TOutputOptions& output)
{
    if (text != AsSource && IsNumberText(text) && NumberTextValue(text) > 0)
        output.FrameRate = text;
}

TRowCrop RowCropOf(const TlvFilesRecord& row)
{
    return {row.CropTop, row.CropLeft, row.CropBottom, row.CropRight};
}

const TGlobalObject& Context()
{
    if (!GlobalObject)
        throw std::logic_error("MapProfileOptions: the application context does not exist");
    return *GlobalObject;
}

} // namespace

TSourceVideo ReadSourceVideo(TAVProbe& probe)
{
    TSourceVideo source;
    source.VideoStreamCount = probe.VideoStreamCount();
    if (source.VideoStreamCount < 1)
        return source;
    TVideoStreamInfo info;
    probe.GetVideoStreamInfo(probe.VideoStreamIndex(), info);
    source.Width = info.Width;
    source.Height = info.Height;
    source.BitRate = info.BitRate;
    return source;
}

void MapProfileOptions(const IniFile& catalogue, const IniFile& settings, const TlvFilesRecord& ARow,
                       int AFormatCode, TOutputOptions& AOutputOptions, const TSourceVideo& ASource,
                       TInputOptions& AInputOptions)
{
    const QString section = FormatSectionName(AFormatCode);
    const QString format = catalogue.ReadString(section, "Format", "null");
    const QString sizeText = settings.ReadString(section, "paraVideoSize", "null");
    ApplyTargetKeyword(format, sizeText, AOutputOptions);

    const QString videoEncoder = settings.ReadString(section, "paraVideoEncoder", QString());
    if (videoEncoder.trimmed().isEmpty()) {
        ApplyAudioOnlyValues(settings, section, AOutputOptions, AInputOptions);
        return;
    }

    ApplyVideoEncoder(videoEncoder, format, AOutputOptions);
    if (ASource.VideoStreamCount < 1) {
        AOutputOptions.DisableVideo = true;
    } else {
        ApplyVideoBitRate(settings.ReadString(section, "paraVideoBitRate", "512"), ASource, AOutputOptions);
        ApplyFrameRate(settings.ReadString(section, "paraFrameRate", "29.97"), AOutputOptions);
        ApplyContainerKeyword(format, AOutputOptions);
        const TFrameSize frame =
            OutputFrameSize(sizeText, AOutputOptions.VideoCodec, ASource.Width, ASource.Height);
        ApplyZoom(ARow.Zoom, ASource.Width, ASource.Height, frame, RowCropOf(ARow), AOutputOptions);
    }
    ApplyVideoPathAudioValues(settings, section, AOutputOptions);
}

void MapProfileOptions(const TlvFilesRecord& ARow, int AFormatCode, TOutputOptions& AOutputOptions,
                       TAVProbe& AProbe, TInputOptions& AInputOptions)
{
    const TGlobalObject& context = Context();
    const IniFile catalogue(context.FormatFile());
    const IniFile settings(context.SettingsFile());
    MapProfileOptions(catalogue, settings, ARow, AFormatCode, AOutputOptions, ReadSourceVideo(AProbe),
                      AInputOptions);
}

void MapTaskOptions(const TlvFilesRecord& ARow, int AFormatCode, const QString& ADestination,
                    TAVProbe& AProbe, TInputOptions& AInputOptions, TOutputOptions& AOutputOptions)
{
    AInputOptions = TInputOptions();
    AInputOptions.FileName = ARow.FileName;
    if (ARow.StartTime >= 0)
        AInputOptions.StartTime = ARow.StartTime;
    AOutputOptions = TOutputOptions();
    AOutputOptions.FileName = ADestination;

    MapProfileOptions(ARow, AFormatCode, AOutputOptions, AProbe, AInputOptions);

    AOutputOptions.CustomHook = true;
    if (ARow.TrimDuration > 0)
        AOutputOptions.RecordingTime = ARow.TrimDuration;
}
