#include "cli/CliArguments.h"

#include "app/ProfileCatalogue.h"
#include "effects/WatermarkPicture.h"
#include "platform/NumberText.h"

#include <cmath>
#include <functional>
#include <vector>

namespace {

// The modes an option means something in.
enum TModeMask : unsigned {
    InInfo = 1u << 0,
    InPrint = 1u << 1,
    InConvert = 1u << 2,
    InAnyRun = InPrint | InConvert,
};

unsigned MaskOf(TCliMode mode)
{
    switch (mode) {
    case TCliMode::Info:
        return InInfo;
    case TCliMode::PrintOptions:
        return InPrint;
    case TCliMode::Convert:
        return InConvert;
    default:
        return 0;
    }
}

// Sets one field from an option's value; returns the reason when the value is refused.
using TValueReader = std::function<QString(const QString& value, TCliRequest& request)>;

struct TValueOption
{
    const char* Name;
    unsigned Modes;
    TValueReader Read;
};

QString Quoted(const QString& text)
{
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

// A decimal integer within [low, high]; the reason it is not otherwise.
QString ReadInteger(const QString& option, const QString& text, int low, int high, int& value)
{
    if (!TryStrToInt(text, value))
        return QStringLiteral("%1 needs a whole number, got %2").arg(option, Quoted(text));
    if (value < low || value > high)
        return QStringLiteral("%1 must be from %2 to %3, got %4").arg(option).arg(low).arg(high).arg(text);
    return QString();
}

TValueReader IntegerInto(const char* option, int low, int high, std::optional<int> TCliJobEdits::*field)
{
    return [=](const QString& text, TCliRequest& request) {
        int value = 0;
        QString error = ReadInteger(QLatin1String(option), text, low, high, value);
        if (error.isEmpty())
            request.Edits.*field = value;
        return error;
    };
}

// Seconds, fractions allowed, as microseconds.
TValueReader SecondsInto(const char* option, bool zeroAllowed, std::optional<qint64> TCliJobEdits::*field)
{
    return [=](const QString& text, TCliRequest& request) {
        double seconds = 0;
        if (!TryStrToFloat(text, seconds) || !std::isfinite(seconds))
            return QStringLiteral("%1 needs a number of seconds, got %2")
                .arg(QLatin1String(option), Quoted(text));
        if (seconds < 0 || (!zeroAllowed && seconds == 0) || seconds > MaxCliSeconds)
            return QStringLiteral("%1 must be %2 %3 seconds, got %4")
                .arg(QLatin1String(option),
                     zeroAllowed ? QStringLiteral("from 0 to") : QStringLiteral("above 0 and at most"))
                .arg(qint64(MaxCliSeconds))
                .arg(text);
        request.Edits.*field = std::llround(seconds * 1e6);
        return QString();
    };
}

// "A,B" or "A,B,C,D": whole numbers from 0 to MaxCliPixels.
QString ReadPixelList(const QString& option, const QString& text, const char* shape, std::vector<int>& values,
                      int count)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count)
        return QStringLiteral("%1 needs %2, got %3").arg(option, QLatin1String(shape), Quoted(text));
    values.clear();
    for (const QString& part : parts) {
        int value = 0;
        QString error = ReadInteger(option, part, 0, MaxCliPixels, value);
        if (!error.isEmpty())
            return QStringLiteral("%1 needs %2 with numbers from 0 to %3, got %4")
                .arg(option, QLatin1String(shape))
                .arg(MaxCliPixels)
                .arg(Quoted(text));
        values.push_back(value);
    }
    return QString();
}

TValueReader PointInto(const char* option, std::optional<TCliPoint> TCliJobEdits::*field)
{
    return [=](const QString& text, TCliRequest& request) {
        std::vector<int> v;
        QString error = ReadPixelList(QLatin1String(option), text, "X,Y", v, 2);
        if (error.isEmpty())
            request.Edits.*field = TCliPoint{v[0], v[1]};
        return error;
    };
}

QString ReadCrop(const QString& text, TCliRequest& request)
{
    std::vector<int> v;
    QString error = ReadPixelList(QStringLiteral("--crop"), text, "TOP,BOTTOM,LEFT,RIGHT", v, 4);
    if (!error.isEmpty())
        return error;
    for (int value : v)
        if (value % 2 != 0)
            return QStringLiteral("--crop values are even source pixels, got %1").arg(Quoted(text));
    request.Edits.Crop = TCliCrop{v[0], v[1], v[2], v[3]};
    return QString();
}

QString ReadZoom(const QString& text, TCliRequest& request)
{
    static const QStringList modes{QStringLiteral("full"), QStringLiteral("lbox"), QStringLiteral("pan"),
                                   QStringLiteral("center")};
    if (!modes.contains(text))
        return QStringLiteral("--zoom must be full, lbox, pan or center, got %1").arg(Quoted(text));
    request.Edits.Zoom = text;
    return QString();
}

// "NAME,SIZE"; the name may hold commas itself, the size follows the last one.
QString ReadFont(const QString& text, TCliRequest& request)
{
    const qsizetype comma = text.lastIndexOf(QLatin1Char(','));
    const QString name = comma < 0 ? QString() : text.left(comma).trimmed();
    if (name.isEmpty())
        return QStringLiteral("--font needs NAME,SIZE, got %1").arg(Quoted(text));
    int size = 0;
    QString error = ReadInteger(QStringLiteral("--font size"), text.mid(comma + 1), 1, MaxCliFontSize, size);
    if (!error.isEmpty())
        return error;
    request.Edits.Font = TCliFont{name, size};
    return QString();
}

QString ReadImage(const QString& text, TCliRequest& request)
{
    // Checked now: during the conversion a picture that does not load would
    // only leave every frame without it.
    try {
        LoadWatermarkPicture(text);
    } catch (const EWatermarkPictureError& e) {
        return QStringLiteral("--image: ") + QString::fromUtf8(e.what());
    }
    request.Edits.Image = text;
    return QString();
}

QString ReadProfile(const QString& text, TCliRequest& request)
{
    int code = -1;
    if (!TryStrToInt(text, code) || !ProfileNameForCode(code))
        return QStringLiteral("unknown profile code %1 (--list-profiles shows the codes)").arg(Quoted(text));
    request.ProfileCode = code;
    return QString();
}

QString ReadJobs(const QString& text, TCliRequest& request)
{
    return ReadInteger(QStringLiteral("--jobs"), text, 1, MaxCliJobs, request.Jobs);
}

QString ReadPath(const char* option, const QString& text, std::optional<QString>& field)
{
    if (text.isEmpty())
        return QStringLiteral("%1 needs a path").arg(QLatin1String(option));
    field = text;
    return QString();
}

const std::vector<TValueOption>& ValueOptions()
{
    using E = TCliJobEdits;
    static const std::vector<TValueOption> options{
        {"--profile", InAnyRun, ReadProfile},
        {"--output-dir", InAnyRun,
         [](const QString& v, TCliRequest& r) { return ReadPath("--output-dir", v, r.OutputDir); }},
        {"--settings", InAnyRun,
         [](const QString& v, TCliRequest& r) { return ReadPath("--settings", v, r.SettingsFile); }},
        {"--catalogue", InAnyRun,
         [](const QString& v, TCliRequest& r) { return ReadPath("--catalogue", v, r.CatalogueFile); }},
        {"--start", InAnyRun, SecondsInto("--start", true, &E::StartTime)},
        {"--duration", InAnyRun, SecondsInto("--duration", false, &E::TrimDuration)},
        {"--crop", InAnyRun, ReadCrop},
        {"--zoom", InAnyRun, ReadZoom},
        {"--text", InAnyRun,
         [](const QString& v, TCliRequest& r) {
             r.Edits.Text = v;
             return QString();
         }},
        {"--text-pos", InAnyRun, PointInto("--text-pos", &E::TextPos)},
        {"--font", InAnyRun, ReadFont},
        {"--image", InAnyRun, ReadImage},
        {"--image-pos", InAnyRun, PointInto("--image-pos", &E::ImagePos)},
        {"--alpha", InAnyRun, IntegerInto("--alpha", 0, 255, &E::Alpha)},
        {"--style", InAnyRun, IntegerInto("--style", 1, 2, &E::Style)},
        {"--brightness", InAnyRun, IntegerInto("--brightness", 0, 512, &E::Brightness)},
        {"--contrast", InAnyRun, IntegerInto("--contrast", -100, 100, &E::Contrast)},
        {"--saturation", InAnyRun, IntegerInto("--saturation", 0, 512, &E::Saturation)},
        {"--exposure", InAnyRun, IntegerInto("--exposure", -255, 512, &E::Exposure)},
        {"--jobs", InConvert, ReadJobs},
    };
    return options;
}

const TValueOption* FindValueOption(const QString& name)
{
    for (const TValueOption& option : ValueOptions())
        if (name == QLatin1String(option.Name))
            return &option;
    return nullptr;
}

QString ModeOptionName(TCliMode mode)
{
    switch (mode) {
    case TCliMode::Help:
        return QStringLiteral("--help");
    case TCliMode::ListProfiles:
        return QStringLiteral("--list-profiles");
    case TCliMode::Info:
        return QStringLiteral("--info");
    case TCliMode::PrintOptions:
        return QStringLiteral("--print-options");
    case TCliMode::Convert:
        break;
    }
    return QString();
}

std::optional<TCliMode> ModeOfSwitch(const QString& name)
{
    if (name == QLatin1String("--help") || name == QLatin1String("-h"))
        return TCliMode::Help;
    if (name == QLatin1String("--list-profiles"))
        return TCliMode::ListProfiles;
    if (name == QLatin1String("--info"))
        return TCliMode::Info;
    if (name == QLatin1String("--print-options"))
        return TCliMode::PrintOptions;
    return std::nullopt;
}

TCliParseResult Refuse(const QString& error)
{
    TCliParseResult result;
    result.Error = error;
    return result;
}

} // namespace

TCliParseResult ParseCliArguments(const QStringList& arguments)
{
    TCliRequest request;
    std::optional<TCliMode> chosenMode;
    QString chosenSwitch;
    // The options given, for the check that each means something in the mode.
    std::vector<std::pair<QString, unsigned>> given;
    bool quietGiven = false;
    bool optionsEnded = false;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            request.Files << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? argument : argument.left(equals);

        if (const auto mode = ModeOfSwitch(name)) {
            if (equals >= 0)
                return Refuse(QStringLiteral("%1 takes no value").arg(name));
            if (chosenMode && *chosenMode != *mode)
                return Refuse(QStringLiteral("%1 and %2 cannot be combined").arg(chosenSwitch, name));
            chosenMode = mode;
            chosenSwitch = name;
            continue;
        }
        if (name == QLatin1String("--quiet")) {
            if (equals >= 0)
                return Refuse(QStringLiteral("--quiet takes no value"));
            request.Quiet = true;
            quietGiven = true;
            continue;
        }
        const TValueOption* option = FindValueOption(name);
        if (!option)
            return Refuse(QStringLiteral("unknown option %1 (--help lists the options)").arg(Quoted(name)));
        QString value;
        if (equals >= 0) {
            value = argument.mid(equals + 1);
        } else {
            if (i + 1 >= arguments.size())
                return Refuse(QStringLiteral("%1 needs a value").arg(name));
            value = arguments[++i];
        }
        const QString error = option->Read(value, request);
        if (!error.isEmpty())
            return Refuse(error);
        given.emplace_back(name, option->Modes);
    }

    request.Mode = chosenMode.value_or(TCliMode::Convert);
    if (request.Mode == TCliMode::Help)
        return {request, QString()};

    const unsigned mask = MaskOf(request.Mode);
    for (const auto& [name, modes] : given)
        if ((modes & mask) == 0)
            return Refuse(QStringLiteral("%1 cannot be used with %2")
                              .arg(name, request.Mode == TCliMode::Convert ? QStringLiteral("a conversion")
                                                                           : ModeOptionName(request.Mode)));
    if (quietGiven && request.Mode != TCliMode::Convert)
        return Refuse(QStringLiteral("--quiet cannot be used with %1").arg(ModeOptionName(request.Mode)));

    if (request.Mode == TCliMode::ListProfiles) {
        if (!request.Files.isEmpty())
            return Refuse(QStringLiteral("--list-profiles takes no files"));
    } else if (request.Files.isEmpty()) {
        return Refuse(QStringLiteral("no input files given"));
    }
    return {request, QString()};
}
