#include "cli/CliConverter.h"

#include "app/IniFile.h"
#include "app/ProfileCatalogue.h"
#include "cli/CliArguments.h"
#include "cli/CliConsole.h"
#include "cli/CliContext.h"
#include "cli/CliConversion.h"
#include "cli/CliDialogs.h"
#include "cli/CliExitCodes.h"
#include "cli/CliHelpText.h"
#include "cli/CliInfo.h"
#include "cli/CliOutputFolder.h"
#include "cli/CliPrintOptions.h"
#include "cli/CliProfile.h"
#include "cli/CliTaskSetup.h"
#include "jobs/RunOptions.h"
#include "jobs/RunTaskRecords.h"
#include "platform/NumberText.h"

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

// --print-options: the records of every file that can be prepared, printed
// once all are (a profile whose settings cannot be used prints nothing).
bool PrintOptions(std::vector<TCliFile>& files, const TRunOptions& options, TCliConsole& console)
{
    const TRunProfile profile = ReadRunProfile(options);
    TNamesHandedOut handedOut;
    std::vector<TCliTaskRecords> prepared;
    bool allPrepared = true;
    for (TCliFile& file : files) {
        QString reason;
        std::optional<TCliTaskRecords> records = PrepareCliTaskRecords(file, profile, handedOut, reason);
        if (records) {
            prepared.push_back(std::move(*records));
        } else {
            console.Err(CliFileFailure(file, reason));
            allPrepared = false;
        }
    }
    for (size_t i = 0; i < prepared.size(); ++i)
        PrintCliTaskOptions(prepared[i], i == 0, console);
    return allPrepared;
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
    TRunOptions options;
    options.ProfileCode = profile->Code;
    options.ParallelTasks = request.Jobs;
    options.Zoom = request.Edits.Zoom;
    if (!PrepareCliOutputFolder(request.OutputDir, options.OutputFolder, reason)) {
        console.Err(CliMessage(reason));
        return CliExitUsage;
    }

    std::vector<TCliFile> files = CliFiles(request);
    try {
        if (request.Mode == TCliMode::PrintOptions)
            return PrintOptions(files, options, console) ? CliExitSuccess : CliExitSomeFailed;
        switch (RunCliConversion(files, request, options, console)) {
        case TCliRunOutcome::AllConverted:
            return CliExitSuccess;
        case TCliRunOutcome::SomeFailed:
            return CliExitSomeFailed;
        case TCliRunOutcome::Interrupted:
            return CliExitInterrupted;
        }
    } catch (const EConvertError& e) {
        // The same for every file: the profile's settings cannot be used.
        console.Err(CliMessage(QStringLiteral("the settings of profile %1 in %2 cannot be used: %3")
                                   .arg(profile->Code)
                                   .arg(context->SettingsFile(), QString::fromUtf8(e.what()))));
    } catch (const EIniFileException& e) {
        console.Err(CliMessage(QStringLiteral("cannot write the settings file %1: %2")
                                   .arg(context->SettingsFile(), QString::fromUtf8(e.what()))));
    }
    return CliExitUsage;
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
