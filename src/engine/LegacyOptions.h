#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Generic options of the older library generation the presets and profiles
// were written for, translated to the installed libraries' names. Most of the
// H.264 encoder's settings were generic codec options then and are private
// options of the encoder now; several flag bits became options of their own.

struct TOptionAssignment
{
    QString Name;
    QString Value;
};

struct TLegacyTranslation
{
    // False: the option is not one of the older generation's; use it as it is.
    bool IsLegacy = false;
    // What to set instead, in the installed libraries' names, in order.
    std::vector<TOptionAssignment> Assignments;
    // Parts that have no equivalent any more ("flags2=+skiprd" -> "skiprd").
    QStringList NoEquivalent;
};

// The current value of an already translated private option ("" when unset);
// several old options (partition flags, the two deblocking strengths, the
// two psycho-visual strengths) change only a part of one new option.
using TCurrentPrivateValue = std::function<QString(const QString& name)>;

// Whether name is a flag word known to the installed generic codec option
// of that name ("flags", "flags2").
using TGenericFlagKnown = std::function<bool(const QString& option, const QString& flag)>;

TLegacyTranslation TranslateLegacyOption(const QString& name, const QString& value,
                                         const TCurrentPrivateValue& currentValue,
                                         const TGenericFlagKnown& genericFlagKnown);
