// Applying presets: built-in rows, rows named after the current codec, and
// preset files.

#include "engine/LegacyOptions.h"
#include "engine/Presets.h"
#include "engine/TCustomFFmpeg.h"
#include "media/FFmpegException.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// Preset files are a few lines; anything far larger is not one.
constexpr qint64 MaxPresetFileSize = 1024 * 1024;

QString NormalisedLines(const QString& text)
{
    QString normalised = text.trimmed();
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normalised;
}

} // namespace

void TCustomFFmpeg::ApplyPreset(char kind, const QString& name)
{
    if (name.isEmpty())
        return;
    const TBuiltInPreset* row = nullptr;
    if (kind != 'f') {
        row = FindBuiltInPreset(name);
        const QString& codecName = kind == 'v'   ? FOpts.VideoCodecName
                                   : kind == 'a' ? FOpts.AudioCodecName
                                                 : FOpts.SubtitleCodecName;
        if (!row && !codecName.isEmpty())
            row = FindBuiltInPreset(codecName + QLatin1Char('-') + name);
    }
    if (row) {
        if (QString::fromLatin1(row->Name).startsWith(QLatin1String("libx264-"), Qt::CaseInsensitive))
            ApplyLegacyX264Defaults();
        ApplyPresetText(QString::fromLatin1(row->Name), QString::fromLatin1(row->Text));
        return;
    }

    const QFileInfo info(name);
    QFile file(name);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw FFmpegException(QStringLiteral("Preset \"%1\" not found").arg(name));
    if (file.size() > MaxPresetFileSize)
        throw FFmpegException(QStringLiteral("Preset \"%1\" is too large to be a preset file").arg(name));
    ApplyPresetText(name, QString::fromUtf8(file.readAll()));
}

void TCustomFFmpeg::ApplyPresetText(const QString& presetName, const QString& text)
{
    const QString lines = NormalisedLines(text);
    if (lines.isEmpty())
        return;
    for (const QString& rawLine : lines.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString key = equals < 0 ? line : line.left(equals).trimmed();
        const QString value = equals < 0 ? QString() : line.mid(equals + 1).trimmed();
        if (equals < 0 || key.isEmpty() || value.isEmpty())
            throw FFmpegException(QStringLiteral("%1: Invalid syntax: \"%2\"").arg(presetName, line));
        if (key.compare(QLatin1String("acodec"), Qt::CaseInsensitive) == 0)
            SetAudioCodec(value);
        else if (key.compare(QLatin1String("vcodec"), Qt::CaseInsensitive) == 0)
            SetVideoCodec(value);
        else if (key.compare(QLatin1String("scodec"), Qt::CaseInsensitive) == 0)
            SetSubtitleCodec(value);
        else if (!SetGenericOption(key, value))
            throw FFmpegException(
                QStringLiteral("%1: Invalid option or argument: \"%2\", parsed as \"%3\" = \"%4\"")
                    .arg(presetName, line, key, value));
    }
}

void TCustomFFmpeg::ApplyLegacyX264Defaults()
{
    // Only what nothing has set yet, so a setting given before the preset stays.
    const auto alreadySet = [this](const QString& name) {
        for (const std::string& stored : FOpts.Options.OptionNames)
            if (QString::fromStdString(stored) == name)
                return true;
        for (const TPrivateCodecOption& option : FOpts.VideoPrivateOptions)
            if (option.Name == name)
                return true;
        return false;
    };
    for (const QString& line :
         QString::fromLatin1(LegacyX264Defaults).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString key = line.section(QLatin1Char('='), 0, 0);
        const QString value = line.section(QLatin1Char('='), 1);
        if (key == QLatin1String("flags2")) {
            // One flag word at a time: each became an option of its own.
            for (const QString& word :
                 value.split(QRegularExpression(QStringLiteral("(?=[+-])")), Qt::SkipEmptyParts)) {
                const TLegacyTranslation translation = TranslateLegacyOption(
                    key, word, [](const QString&) { return QString(); },
                    [](const QString&, const QString&) { return false; });
                if (!translation.Assignments.empty() && !alreadySet(translation.Assignments.front().Name))
                    SetGenericOption(key, word);
            }
            continue;
        }
        const TLegacyTranslation translation = TranslateLegacyOption(
            key, value, [](const QString&) { return QString(); },
            [](const QString&, const QString&) { return false; });
        const QString effectiveName = translation.IsLegacy && !translation.Assignments.empty()
                                          ? translation.Assignments.front().Name
                                          : key;
        if (!alreadySet(effectiveName))
            SetGenericOption(key, value);
    }
}
