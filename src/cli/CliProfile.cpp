#include "cli/CliProfile.h"

#include "app/IniFile.h"
#include "app/ParameterBoxes.h"
#include "app/ProfileCatalogue.h"
#include "cli/CliContext.h"

std::optional<TCliProfile> PrepareCliProfile(const TCliRequest& request, const TCliContext& context,
                                             QString& reason)
{
    const IniFile settings(context.SettingsFile());

    TCliProfile profile;
    if (request.ProfileCode) {
        profile.Code = *request.ProfileCode;
    } else {
        profile.Code = settings.ReadInteger(QStringLiteral("settings"), QStringLiteral("FormatCode"), 1);
        if (!ProfileNameForCode(profile.Code)) {
            reason = QStringLiteral("the settings file %1 names profile %2, which does not exist; choose one "
                                    "with --profile")
                         .arg(context.SettingsFile())
                         .arg(profile.Code);
            return std::nullopt;
        }
    }

    try {
        TParameterBoxes boxes(context.SettingsFile(), context.CatalogueFile());
        boxes.SetFormatCode(QString::number(profile.Code));
        boxes.LoadProfileWithDefaults();
    } catch (const EIniFileException& e) {
        reason = QStringLiteral("cannot write the settings file %1: %2")
                     .arg(context.SettingsFile(), QString::fromUtf8(e.what()));
        return std::nullopt;
    }
    return profile;
}
