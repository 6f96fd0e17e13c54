#include "app/ProfilePickerRows.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// A row as "+Name" / "-Name" for a collapsed / expanded category and the code
// for a profile, with the text checked separately where it matters.
std::vector<std::string> Shown(const std::vector<TPickerRow>& rows)
{
    std::vector<std::string> shown;
    for (const TPickerRow& row : rows) {
        EXPECT_NE(row.Info.IsCategory, row.Info.IsProfile);
        if (row.Info.IsCategory)
            shown.push_back((row.Info.Collapsed ? "+" : "-") + row.Text.toStdString());
        else
            shown.push_back(std::to_string(row.Info.ItemCode));
    }
    return shown;
}

std::vector<std::string> Codes(int first, int last)
{
    std::vector<std::string> codes;
    for (int code = first; code <= last; ++code)
        codes.push_back(std::to_string(code));
    return codes;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TProfileNames CatalogueNames()
{
    TProfileNames names;
    FillProfileNames(names, ProfileCategories());
    return names;
}

} // namespace

TEST(ProfilePickerRows, FillingEmptiesEveryEntryBeforeEnteringTheCatalogue)
{
    TProfileNames names;
    names[3][1] = QStringLiteral("left from an earlier build");
    names[50][50] = QStringLiteral("far corner");
    FillProfileNames(names, ProfileCategories());

    EXPECT_EQ(names[3][0], QStringLiteral("MOV - Quick Time Video (*.mov)"));
    EXPECT_TRUE(names[3][1].isEmpty());
    EXPECT_TRUE(names[50][50].isEmpty());
    EXPECT_EQ(names[2][5], QStringLiteral("Apple H.264 720p (1280 x 720) (*.mp4)"));
    EXPECT_TRUE(names[2][6].isEmpty());
    EXPECT_TRUE(names[6][0].isEmpty());
    int filled = 0;
    for (const auto& category : names)
        for (const QString& name : category)
            filled += name.isEmpty() ? 0 : 1;
    EXPECT_EQ(filled, 38);
}

TEST(ProfilePickerRows, FillingKeepsToTheTable)
{
    // A category beyond the table and one with more names than the table
    // holds must not write past it.
    QStringList many;
    for (int i = 0; i < 60; ++i)
        many << QStringLiteral("profile %1").arg(i);
    const std::vector<TProfileCategory> categories{{0, QStringLiteral("Many"), many},
                                                   {51, QStringLiteral("Beyond"), {QStringLiteral("x")}},
                                                   {-1, QStringLiteral("Before"), {QStringLiteral("y")}}};
    TProfileNames names;
    FillProfileNames(names, categories);
    EXPECT_EQ(names[0][50], QStringLiteral("profile 50"));
    EXPECT_TRUE(ProfileRowsOf(names, 51, 49).empty());
    EXPECT_TRUE(ProfileRowsOf(names, -1, 49).empty());
}

struct TBuildCase
{
    const char* name;
    std::set<int> expanded; // categories whose stored state is "expanded"
    std::vector<std::string> rows;
};

class ProfilePickerBuild : public testing::TestWithParam<TBuildCase>
{
};

TEST_P(ProfilePickerBuild, RowsFollowTheFoldStateOfEachCategory)
{
    const TBuildCase& c = GetParam();
    const TProfileNames names = CatalogueNames();
    const std::vector<TPickerRow> rows = BuildPickerRows(
        names, ProfileCategories(), [&c](int category) { return !c.expanded.count(category); });
    EXPECT_EQ(Shown(rows), c.rows);
    // A category carries its index, a profile its FormatCode and its name.
    for (const TPickerRow& row : rows) {
        if (row.Info.IsCategory)
            EXPECT_EQ(row.Text, ProfileCategories().at(size_t(row.Info.ItemCode)).Name);
        else
            EXPECT_EQ(row.Text, names[row.Info.ItemCode / 100][row.Info.ItemCode % 100]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfilePickerBuild,
    testing::Values(TBuildCase{"everything_collapsed",
                               {},
                               {"+Apple iPod", "+Apple iPhone", "+Apple TV", "+Quick Time Video - MOV",
                                "+General Video formates", "+General Audio formates"}},
                    TBuildCase{"apple_tv_expanded",
                               {2},
                               Join({{"+Apple iPod", "+Apple iPhone", "-Apple TV"},
                                     Codes(200, 205),
                                     {"+Quick Time Video - MOV", "+General Video formates",
                                      "+General Audio formates"}})},
                    TBuildCase{"first_and_last_expanded",
                               {0, 5},
                               Join({{"-Apple iPod"},
                                     Codes(0, 8),
                                     {"+Apple iPhone", "+Apple TV", "+Quick Time Video - MOV",
                                      "+General Video formates", "-General Audio formates"},
                                     Codes(500, 506)})},
                    TBuildCase{"everything_expanded",
                               {0, 1, 2, 3, 4, 5},
                               Join({{"-Apple iPod"},
                                     Codes(0, 8),
                                     {"-Apple iPhone"},
                                     Codes(100, 104),
                                     {"-Apple TV"},
                                     Codes(200, 205),
                                     {"-Quick Time Video - MOV"},
                                     Codes(300, 300),
                                     {"-General Video formates"},
                                     Codes(400, 409),
                                     {"-General Audio formates"},
                                     Codes(500, 506)})}),
    [](const testing::TestParamInfo<TBuildCase>& info) { return std::string(info.param.name); });

TEST(ProfilePickerRows, BuildingShowsPositionsUpTo30AndExpandingUpTo49SkippingGaps)
{
    TProfileNames names;
    for (int position : {0, 2, 30, 31, 49, 50})
        names[4][position] = QStringLiteral("at %1").arg(position);
    const std::vector<TProfileCategory> categories{{4, QStringLiteral("Sparse"), {}}};

    const std::vector<TPickerRow> built = BuildPickerRows(names, categories, [](int) { return false; });
    EXPECT_EQ(Shown(built), (std::vector<std::string>{"-Sparse", "400", "402", "430"}));
    EXPECT_EQ(built[3].Text, QStringLiteral("at 30"));

    EXPECT_EQ(Shown(ProfileRowsOf(names, 4, LastPositionWhenExpanded)),
              (std::vector<std::string>{"400", "402", "430", "431", "449"}));
}

struct THeightCase
{
    int rows;
    int built;   // as built: its bottom 36 pixels above the edit
    int clicked; // after a click or when opened
};

class ProfilePickerHeight : public testing::TestWithParam<THeightCase>
{
};

TEST_P(ProfilePickerHeight, GrowsByRowsUpToItsCap)
{
    const THeightCase& c = GetParam();
    EXPECT_EQ(BuiltPickerHeight(c.rows), c.built);
    EXPECT_EQ(ClickedPickerHeight(c.rows), c.clicked);
}

// 18 rows make 360 pixels, below the built limit of 363, so the built list
// is one row taller than it is later capped at.
INSTANTIATE_TEST_SUITE_P(Cases, ProfilePickerHeight,
                         testing::Values(THeightCase{0, 20, 20}, THeightCase{6, 140, 140},
                                         THeightCase{17, 360, 360}, THeightCase{18, 380, 380},
                                         THeightCase{19, 362, 386}, THeightCase{44, 362, 386}));
