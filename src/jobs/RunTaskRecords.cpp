#include "jobs/RunTaskRecords.h"

#include "app/GlobalObject.h"
#include "app/IniFile.h"
#include "jobs/MapProfileOptions.h"
#include "jobs/RunOptions.h"
#include "jobs/TlvFilesRecord.h"
#include "probe/AVProbe.h"

#include <stdexcept>

namespace {

const QString SettingsSection = QStringLiteral("settings");

} // namespace

const TGlobalObject& RunContext()
{
    if (GlobalObject == nullptr)
        throw std::logic_error("A conversion run needs the application context");
    return *GlobalObject;
}

TRunProfile ReadRunProfile(const TRunOptions& options)
{
    const IniFile settings(RunContext().SettingsFile());
    const IniFile catalogue(RunContext().FormatFile());
    TRunProfile profile;
    profile.FormatCode =
        options.ProfileCode.value_or(settings.ReadInteger(SettingsSection, QStringLiteral("FormatCode"), 1));
    profile.Section = QStringLiteral("formatInfo") + QString::number(profile.FormatCode);
    profile.Suffix = ConversionSuffix(
        catalogue.ReadString(profile.Section, QStringLiteral("FileExt"), QStringLiteral("mp4")));
    profile.OutputFolder = options.OutputFolder;
    profile.Zoom = options.Zoom;
    return profile;
}

QString MakeRowTaskRecords(const TRunProfile& profile, TlvFilesRecord& record, TAVProbe& probe,
                           TNamesHandedOut& handedOut, TInputOptions& input, TOutputOptions& output)
{
    const QString destination =
        profile.OutputFolder
            ? MakeDestinationNameInFolder(*profile.OutputFolder, probe.FileName(), profile.Suffix, &handedOut)
            : MakeDestinationName(probe.FileName(), profile.Suffix, &handedOut);
    // Read for every row, as Start always has: the zoom a row was given by
    // the crop editor gives way to the profile's.
    record.Zoom = profile.Zoom.value_or(
        IniFile(RunContext().SettingsFile())
            .ReadString(profile.Section, QStringLiteral("parazoom"), QStringLiteral("lbox")));
    MapTaskOptions(record, profile.FormatCode, destination, probe, input, output);
    return destination;
}
