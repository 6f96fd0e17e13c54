#include "app/ProfilePickerRows.h"

#include <algorithm>

namespace {

constexpr int BuiltHeightLimit = 363; // rows up to this many pixels grow the list
constexpr int BuiltHeightCapped = 362;
constexpr int ClickedHeightCap = 386;

} // namespace

void FillProfileNames(TProfileNames& names, const std::vector<TProfileCategory>& categories)
{
    for (auto& category : names)
        category.fill(QString());
    for (const TProfileCategory& category : categories) {
        if (category.Index < 0 || category.Index >= ProfileNamesSize)
            continue;
        const int count = std::min<int>(int(category.ProfileNames.size()), ProfileNamesSize);
        for (int position = 0; position < count; ++position)
            names[category.Index][position] = category.ProfileNames[position];
    }
}

std::vector<TPickerRow> ProfileRowsOf(const TProfileNames& names, int categoryIndex, int lastPosition)
{
    std::vector<TPickerRow> rows;
    if (categoryIndex < 0 || categoryIndex >= ProfileNamesSize)
        return rows;
    const int last = std::min(lastPosition, ProfileNamesSize - 1);
    for (int position = 0; position <= last; ++position) {
        const QString& name = names[categoryIndex][position];
        if (name.isEmpty())
            continue;
        TItemInfo info;
        info.IsProfile = true;
        info.ItemCode = FormatCodeOf(categoryIndex, position);
        rows.push_back({name, info});
    }
    return rows;
}

std::vector<TPickerRow> BuildPickerRows(const TProfileNames& names,
                                        const std::vector<TProfileCategory>& categories,
                                        const std::function<bool(int)>& collapsed)
{
    std::vector<TPickerRow> rows;
    for (const TProfileCategory& category : categories) {
        TItemInfo info;
        info.IsCategory = true;
        info.ItemCode = category.Index;
        info.Collapsed = collapsed(category.Index);
        rows.push_back({category.Name, info});
        if (!info.Collapsed)
            for (TPickerRow& row : ProfileRowsOf(names, category.Index, LastPositionWhenBuilt))
                rows.push_back(std::move(row));
    }
    return rows;
}

int BuiltPickerHeight(int rowCount)
{
    return rowCount * PickerRowHeight < BuiltHeightLimit ? (rowCount + 1) * PickerRowHeight
                                                         : BuiltHeightCapped;
}

int ClickedPickerHeight(int rowCount)
{
    return std::min(rowCount * PickerRowHeight + PickerRowHeight, ClickedHeightCap);
}
