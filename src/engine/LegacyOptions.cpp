#include "engine/LegacyOptions.h"

#include <QHash>
#include <QRegularExpression>

#include <array>
#include <utility>

namespace {

// A flag word with its sign: '+' sets, '-' clears (a word without a sign sets).
struct TSignedFlag
{
    bool Set = true;
    QString Word;
};

std::vector<TSignedFlag> SplitFlags(const QString& value)
{
    std::vector<TSignedFlag> flags;
    static const QRegularExpression word(QStringLiteral("([+-]?)([^+-]+)"));
    for (auto it = word.globalMatch(value); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        flags.push_back({match.captured(1) != QLatin1String("-"), match.captured(2).trimmed()});
    }
    return flags;
}

QString JoinFlags(const std::vector<TSignedFlag>& flags)
{
    QString text;
    for (const TSignedFlag& flag : flags)
        text += (flag.Set ? QLatin1Char('+') : QLatin1Char('-')) + flag.Word;
    return text;
}

// An old flag bit that became an option of its own: its name and the values
// for a set and a cleared bit.
struct TFlagOption
{
    const char* Name;
    const char* SetValue;
    const char* ClearValue;
};

// "flags2" bits of the H.264 encoder and of other encoders.
const QHash<QString, TFlagOption>& Flags2Options()
{
    static const QHash<QString, TFlagOption> table = {
        {QStringLiteral("bpyramid"), {"b-pyramid", "normal", "none"}},
        {QStringLiteral("wpred"), {"weightb", "1", "0"}},
        {QStringLiteral("mixed_refs"), {"mixed-refs", "1", "0"}},
        {QStringLiteral("dct8x8"), {"8x8dct", "1", "0"}},
        {QStringLiteral("fastpskip"), {"fast-pskip", "1", "0"}},
        {QStringLiteral("aud"), {"aud", "1", "0"}},
        {QStringLiteral("mbtree"), {"mbtree", "1", "0"}},
        {QStringLiteral("psy"), {"psy", "1", "0"}},
        {QStringLiteral("ssim"), {"ssim", "1", "0"}},
        {QStringLiteral("intra_refresh"), {"intra-refresh", "1", "0"}},
        {QStringLiteral("non_linear_q"), {"non_linear_quant", "1", "0"}},
        {QStringLiteral("drop_frame_timecode"), {"drop_frame_timecode", "1", "0"}},
        {QStringLiteral("ivlc"), {"intra_vlc", "1", "0"}},
        {QStringLiteral("reservoir"), {"reservoir", "1", "0"}},
    };
    return table;
}

// "flags" bits that became encoder options.
const QHash<QString, TFlagOption>& FlagsOptions()
{
    static const QHash<QString, TFlagOption> table = {
        {QStringLiteral("scan_offset"), {"scan_offset", "1", "0"}},
        {QStringLiteral("alt"), {"alternate_scan", "1", "0"}},
    };
    return table;
}

// The H.264 encoder's parameter list, as "key=value" pairs joined by ":".
QString WithX264Param(const QString& params, const QString& key, const QString& value)
{
    QStringList kept;
    for (const QString& pair : params.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (pair.section(QLatin1Char('='), 0, 0) != key)
            kept << pair;
    if (!value.isEmpty())
        kept << key + QLatin1Char('=') + value;
    return kept.join(QLatin1Char(':'));
}

// Old flag words of "flags" and "flags2": words the installed generic option
// still knows stay there; the others become the options they turned into.
TLegacyTranslation TranslateFlags(const QString& option, const QString& value,
                                  const QHash<QString, TFlagOption>& moved,
                                  const TCurrentPrivateValue& currentValue,
                                  const TGenericFlagKnown& genericFlagKnown)
{
    TLegacyTranslation result;
    std::vector<TSignedFlag> generic;
    for (const TSignedFlag& flag : SplitFlags(value)) {
        // The loop filter bit is still a generic flag, but the H.264 encoder
        // no longer reads it: its deblocking is switched through its own
        // parameter list.
        if (option == QLatin1String("flags") && flag.Word == QLatin1String("loop")) {
            result.IsLegacy = true;
            result.Assignments.push_back(
                {QStringLiteral("x264-params"),
                 WithX264Param(currentValue(QStringLiteral("x264-params")), QStringLiteral("no-deblock"),
                               flag.Set ? QString() : QStringLiteral("1"))});
        }
        if (genericFlagKnown(option, flag.Word)) {
            generic.push_back(flag);
            continue;
        }
        result.IsLegacy = true;
        const auto found = moved.constFind(flag.Word);
        if (found == moved.constEnd()) {
            result.NoEquivalent << option + QLatin1Char('=') +
                                       (flag.Set ? QLatin1Char('+') : QLatin1Char('-')) + flag.Word;
            continue;
        }
        result.Assignments.push_back({QString::fromLatin1(found->Name),
                                      QString::fromLatin1(flag.Set ? found->SetValue : found->ClearValue)});
    }
    if (result.IsLegacy && !generic.empty())
        result.Assignments.insert(result.Assignments.begin(), {option, JoinFlags(generic)});
    return result;
}

// Old partition flags, relative to the partitions chosen so far.
QString TranslatePartitions(const QString& value, const QString& current)
{
    // In the order the encoder's list names them.
    static const std::array<std::pair<const char*, const char*>, 5> partitions{{
        {"partp8x8", "p8x8"},
        {"partp4x4", "p4x4"},
        {"partb8x8", "b8x8"},
        {"parti8x8", "i8x8"},
        {"parti4x4", "i4x4"},
    }};
    QStringList chosen = current == QLatin1String("none") ? QStringList()
                         : current == QLatin1String("all")
                             ? QStringList{"p8x8", "p4x4", "b8x8", "i8x8", "i4x4"}
                             : current.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const TSignedFlag& flag : SplitFlags(value)) {
        for (const auto& [oldName, newName] : partitions) {
            if (flag.Word != QLatin1String(oldName))
                continue;
            chosen.removeAll(QLatin1String(newName));
            if (flag.Set)
                chosen << QLatin1String(newName);
        }
    }
    QStringList ordered;
    for (const auto& partition : partitions)
        if (chosen.contains(QLatin1String(partition.second)))
            ordered << QLatin1String(partition.second);
    return ordered.isEmpty() ? QStringLiteral("none") : ordered.join(QLatin1Char(','));
}

// Old motion-estimation method names; the encoder took the ones it did not
// have as its hexagon search.
QString TranslateMotionEstimation(const QString& value)
{
    static const QHash<QString, QString> methods = {
        {QStringLiteral("dia"), QStringLiteral("dia")},   {QStringLiteral("epzs"), QStringLiteral("dia")},
        {QStringLiteral("hex"), QStringLiteral("hex")},   {QStringLiteral("umh"), QStringLiteral("umh")},
        {QStringLiteral("full"), QStringLiteral("esa")},  {QStringLiteral("esa"), QStringLiteral("esa")},
        {QStringLiteral("tesa"), QStringLiteral("tesa")},
    };
    return methods.value(value.trimmed().toLower(), QStringLiteral("hex"));
}

// One part of a two-part "a:b" option.
QString WithPart(const QString& current, int part, const QString& value, const QString& defaultOther)
{
    QStringList parts = current.split(QLatin1Char(':'));
    if (parts.size() != 2)
        parts = QStringList{defaultOther, defaultOther};
    parts[part] = value;
    return parts.join(QLatin1Char(':'));
}

// Options that were renamed without a change of their values.
const QHash<QString, QString>& RenamedOptions()
{
    static const QHash<QString, QString> table = {
        {QStringLiteral("directpred"), QStringLiteral("direct-pred")},
        {QStringLiteral("wpredp"), QStringLiteral("weightp")},
        {QStringLiteral("cqp"), QStringLiteral("qp")},
        {QStringLiteral("rc_lookahead"), QStringLiteral("rc-lookahead")},
        {QStringLiteral("aq_mode"), QStringLiteral("aq-mode")},
        {QStringLiteral("aq_strength"), QStringLiteral("aq-strength")},
        {QStringLiteral("complexityblur"), QStringLiteral("cplxblur")},
        {QStringLiteral("bframebias"), QStringLiteral("b-bias")},
        {QStringLiteral("nr"), QStringLiteral("noise_reduction")},
    };
    return table;
}

} // namespace

TLegacyTranslation TranslateLegacyOption(const QString& name, const QString& value,
                                         const TCurrentPrivateValue& currentValue,
                                         const TGenericFlagKnown& genericFlagKnown)
{
    TLegacyTranslation result;
    if (name == QLatin1String("flags"))
        return TranslateFlags(name, value, FlagsOptions(), currentValue, genericFlagKnown);
    if (name == QLatin1String("flags2"))
        return TranslateFlags(name, value, Flags2Options(), currentValue, genericFlagKnown);

    result.IsLegacy = true;
    if (name == QLatin1String("partitions")) {
        result.Assignments.push_back(
            {name, TranslatePartitions(value, currentValue(QStringLiteral("partitions")))});
    } else if (name == QLatin1String("me_method")) {
        result.Assignments.push_back({QStringLiteral("motion-est"), TranslateMotionEstimation(value)});
    } else if (name == QLatin1String("deblockalpha") || name == QLatin1String("deblockbeta")) {
        result.Assignments.push_back(
            {QStringLiteral("deblock"),
             WithPart(currentValue(QStringLiteral("deblock")), name == QLatin1String("deblockalpha") ? 0 : 1,
                      value.trimmed(), QStringLiteral("0"))});
    } else if (name == QLatin1String("psy_rd") || name == QLatin1String("psy_trellis")) {
        const QString current = currentValue(QStringLiteral("psy-rd"));
        const QString defaults = QStringLiteral("1.0:0.0");
        result.Assignments.push_back(
            {QStringLiteral("psy-rd"),
             WithPart(current.isEmpty() ? defaults : current, name == QLatin1String("psy_rd") ? 0 : 1,
                      value.trimmed(), QStringLiteral("0.0"))});
    } else if (const auto renamed = RenamedOptions().constFind(name);
               renamed != RenamedOptions().constEnd()) {
        result.Assignments.push_back({*renamed, value});
    } else {
        result.IsLegacy = false;
    }
    return result;
}
