#include "cli/CliConverter.h"

#include "app/IniFile.h"
#include "app/ProfileCatalogue.h"
#include "cli/CliArguments.h"
#include "cli/CliConsole.h"
#include "cli/CliContext.h"
#include "cli/CliConversion.h"
#include "cli/CliDestinations.h"
#include "cli/CliDialogs.h"
#include "cli/CliExitCodes.h"
#include "cli/CliHelpText.h"
#include "cli/CliInfo.h"
#include "cli/CliPrintOptions.h"
#include "cli/CliProfile.h"
#include "cli/CliTaskSetup.h"
#include "platform/NumberText.h"

#include <QFileInfo>

#include <vector>

namespace {

int ListProfiles(TCliConsole& console)
{
    QStringList lines;
    for (int code : ProfileCodes())
        lines << QString::number(code) + QLatin1Char('\t') + ProfileNameForCode(code).value_or(QString());
    console.Out(lines.join(QLatin1Char('\n')));
    return CliExitSuccess;
}

// The files that could be prepared, in the order given; the others reported.
struct TPreparedTasks
{
    std::vector<TCliTask> Tasks;
    bool SomeFailed = false;
};

TPreparedTasks PrepareTasks(const TCliRequest& request, const TCliProfile& profile,
                            TCliDestinations& destinations, TCliConsole& console)
{
    TPreparedTasks prepared;
    for (int i = 0; i < request.Files.size(); ++i) {
        const QString& given = request.Files[i];
        // A row holds the full path of its source.
        const QString source = QFileInfo(given).absoluteFilePath();
        QString reason;
        std::optional<TCliTask> task = PrepareCliTask(source, i, request, profile, destinations, reason);
        if (task) {
            prepared.Tasks.push_back(std::move(*task));
        } else {
            // The probe's reasons mostly begin with the path already.
            const bool named = reason.startsWith(source) || reason.startsWith(given);
            console.Err(CliMessage(named ? reason : given + QStringLiteral(": ") + reason));
            prepared.SomeFailed = true;
        }
    }
    return prepared;
}

int PrintOrConvert(const TCliRequest& request, TCliConsole& console)
{
    QString reason;
    const std::unique_ptr<TCliContext> context = TCliContext::Open(request, reason);
    if (!context) {
        console.Err(CliMessage(reason));
        return CliExitUsage;
    }
    TCliDialogs dialogs(console);
    TScopedDialogs dialogScope(dialogs);

    const std::optional<TCliProfile> profile = PrepareCliProfile(request, *context, reason);
    if (!profile) {
        console.Err(CliMessage(reason));
        return CliExitUsage;
    }
    const std::unique_ptr<TCliDestinations> destinations =
        TCliDestinations::Make(request.OutputDir, context->SettingsFile(), reason);
    if (!destinations) {
        console.Err(CliMessage(reason));
        return CliExitUsage;
    }

    TPreparedTasks prepared;
    try {
        prepared = PrepareTasks(request, *profile, *destinations, console);
    } catch (const EConvertError& e) {
        // The same for every file: the profile's settings cannot be used.
        console.Err(CliMessage(QStringLiteral("the settings of profile %1 in %2 cannot be used: %3")
                                   .arg(profile->Code)
                                   .arg(context->SettingsFile(), QString::fromUtf8(e.what()))));
        return CliExitUsage;
    } catch (const EIniFileException& e) {
        console.Err(CliMessage(QStringLiteral("cannot write the settings file %1: %2")
                                   .arg(context->SettingsFile(), QString::fromUtf8(e.what()))));
        return CliExitUsage;
    }

    bool allConverted = !prepared.SomeFailed;
    if (request.Mode == TCliMode::PrintOptions) {
        for (size_t i = 0; i < prepared.Tasks.size(); ++i)
            PrintCliTaskOptions(prepared.Tasks[i], i == 0, console);
    } else {
        const TCliRunOutcome outcome = RunCliConversion(prepared.Tasks, request, console);
        if (outcome == TCliRunOutcome::Interrupted)
            return CliExitInterrupted;
        allConverted = allConverted && outcome == TCliRunOutcome::AllConverted;
    }
    return allConverted ? CliExitSuccess : CliExitSomeFailed;
}

} // namespace

int RunClarvixConvert(const QStringList& arguments)
{
    TCliConsole console;
    const TCliParseResult parsed = ParseCliArguments(arguments);
    if (!parsed.Request) {
        console.Err(CliMessage(parsed.Error));
        console.Err(CliUsageHint());
        return CliExitUsage;
    }
    const TCliRequest& request = *parsed.Request;
    switch (request.Mode) {
    case TCliMode::Help:
        console.Out(CliHelpText().chopped(1));
        return CliExitSuccess;
    case TCliMode::ListProfiles:
        return ListProfiles(console);
    case TCliMode::Info:
        return RunCliInfo(request.Files, console);
    case TCliMode::PrintOptions:
    case TCliMode::Convert:
        break;
    }
    return PrintOrConvert(request, console);
}
