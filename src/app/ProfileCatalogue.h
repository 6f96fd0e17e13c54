#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The output profiles the program offers, grouped by category. A profile is
// named by its FormatCode = category index x 100 + position in the category;
// the code selects the section "formatInfo" + code in the settings file and in
// the format catalogue, which holds what the profile produces. The names here
// are display texts only.

struct TProfileCategory {
    int Index;
    QString Name;
    QStringList ProfileNames; // by position
};

// The categories in display order; category i has Index i.
const std::vector<TProfileCategory>& ProfileCategories();

int FormatCodeOf(int categoryIndex, int position);

// The display name of a profile; nullopt for a code no profile has.
std::optional<QString> ProfileNameForCode(int code);
// The code of the profile with this display name, compared without regard to
// case; nullopt when no profile has it.
std::optional<int> ProfileCodeForName(const QString& name);

// Every profile code, in catalogue order.
std::vector<int> ProfileCodes();

// "formatInfo" + code: the section of a profile in both INI files.
QString FormatSectionName(int code);
