#pragma once

#include "app/ProfileCatalogue.h"

#include <QMetaType>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// The rows of the profile picker without the widget: which rows a category
// shows, the codes they carry and how tall the drop-up list is.

// What one row of the picker stands for; each row owns a copy.
struct TItemInfo
{
    bool IsProfile = false;
    bool IsCategory = false;
    bool Collapsed = true;     // a category whose profiles are hidden
    std::int32_t ItemCode = 0; // category: its index; profile: its FormatCode
};
Q_DECLARE_METATYPE(TItemInfo)

// Profile names by category and position; an empty entry is no profile.
constexpr int ProfileNamesSize = 51;
using TProfileNames = std::array<std::array<QString, ProfileNamesSize>, ProfileNamesSize>;

// The last position a category shows when the picker is built, and when a
// category is expanded later.
constexpr int LastPositionWhenBuilt = 30;
constexpr int LastPositionWhenExpanded = 49;

struct TPickerRow
{
    QString Text;
    TItemInfo Info;
};

// Empties every entry, then enters the names of every catalogue category.
void FillProfileNames(TProfileNames& names, const std::vector<TProfileCategory>& categories);

// The profile rows of one category, positions 0 to `lastPosition` with a
// non-empty name, in position order.
std::vector<TPickerRow> ProfileRowsOf(const TProfileNames& names, int categoryIndex, int lastPosition);

// Every row of a freshly built picker: each category row, followed by its
// profile rows when `collapsed(category index)` is false.
std::vector<TPickerRow> BuildPickerRows(const TProfileNames& names,
                                        const std::vector<TProfileCategory>& categories,
                                        const std::function<bool(int)>& collapsed);

// Heights of the list with `rowCount` rows of `PickerRowHeight` pixels: as
// built (its bottom `BuiltPickerGapAboveEdit` pixels above the profile edit)
// and after a click or when opened (its bottom at the edit's top).
constexpr int PickerRowHeight = 20;
constexpr int BuiltPickerGapAboveEdit = 36;
int BuiltPickerHeight(int rowCount);
int ClickedPickerHeight(int rowCount);
