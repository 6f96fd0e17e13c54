#include "jobs/RunProgressTexts.h"

#include <QString>
#include <gtest/gtest.h>

#include <limits>

TEST(RunProgressTexts, AReportWithAKnownTotal)
{
    TProgressValues values;
    values.CurrentDuration = 12345678;
    values.TotalDuration = 61000000;
    values.CurrentSize = 1234567;
    values.TaskIndex = 0;
    values.TaskCount = 2;
    const TRunProgressTexts texts = MakeRunProgressTexts(values, QStringLiteral("/clips/holiday.avi"));
    ASSERT_TRUE(texts.Percent.has_value());
    EXPECT_EQ(*texts.Percent, 20);
    EXPECT_EQ(texts.BarPosition, 20);
    EXPECT_EQ(texts.BarText, QStringLiteral("20%"));
    EXPECT_EQ(texts.RowText, QStringLiteral("20%"));
    EXPECT_EQ(texts.Time, QStringLiteral("12 Second"));
    EXPECT_EQ(texts.Length, QStringLiteral("61 Second"));
    EXPECT_EQ(texts.Size, QStringLiteral("1234 kb"));
    EXPECT_EQ(texts.TaskNumber, QStringLiteral("[1/2]"));
    EXPECT_EQ(texts.File, QStringLiteral("/clips/holiday.avi"));
}

TEST(RunProgressTexts, AnUnknownTotalShowsTheElapsedTimeInsteadOfAPercentage)
{
    for (const qint64 total : {qint64(0), qint64(-1), std::numeric_limits<qint64>::min()}) {
        TProgressValues values;
        values.CurrentDuration = 12345678;
        values.TotalDuration = total;
        values.CurrentSize = 999;
        values.TaskIndex = 1;
        values.TaskCount = 2;
        const TRunProgressTexts texts = MakeRunProgressTexts(values, QStringLiteral("/clips/stream.ts"));
        EXPECT_FALSE(texts.Percent.has_value()) << total;
        EXPECT_EQ(texts.BarPosition, 0) << total;
        EXPECT_EQ(texts.BarText, QStringLiteral("12 Second")) << total;
        EXPECT_EQ(texts.RowText, QStringLiteral("12 Second")) << total;
        EXPECT_EQ(texts.Time, QStringLiteral("12 Second")) << total;
        EXPECT_EQ(texts.Length, QString()) << total;
        EXPECT_EQ(texts.Size, QStringLiteral("0 kb")) << total;
        EXPECT_EQ(texts.TaskNumber, QStringLiteral("[2/2]")) << total;
    }
}

TEST(RunProgressTexts, PercentStaysWithinTheBar)
{
    struct Case
    {
        qint64 Current;
        qint64 Total;
        int Percent;
    };
    const Case cases[] = {
        {0, 61000000, 0},
        {609999, 61000000, 0}, // truncated, not rounded
        {610000, 61000000, 1},
        {60999999, 61000000, 99},
        {61000000, 61000000, 100},
        {61040000, 61000000, 100}, // an output stream ends a little after the expected total
        {-40000, 61000000, 0},     // before the first packet's time
        {std::numeric_limits<qint64>::max(), 1, 100},
        {std::numeric_limits<qint64>::max() / 100 + 1, std::numeric_limits<qint64>::max(), 100},
        {std::numeric_limits<qint64>::max() / 100, std::numeric_limits<qint64>::max(), 0},
    };
    for (const Case& c : cases) {
        const auto percent = ProgressPercent(c.Current, c.Total);
        ASSERT_TRUE(percent.has_value()) << c.Current << " of " << c.Total;
        EXPECT_EQ(*percent, c.Percent) << c.Current << " of " << c.Total;
    }
}

TEST(RunProgressTexts, SecondsAndKilobytesAreTruncated)
{
    EXPECT_EQ(SecondsText(999999), QStringLiteral("0 Second"));
    EXPECT_EQ(SecondsText(61000000), QStringLiteral("61 Second"));
    EXPECT_EQ(SecondsText(3600LL * 1000000 * 30), QStringLiteral("108000 Second"));
    EXPECT_EQ(KilobytesText(999), QStringLiteral("0 kb"));
    EXPECT_EQ(KilobytesText(1000), QStringLiteral("1 kb"));
    EXPECT_EQ(KilobytesText(5LL * 1000 * 1000 * 1000 * 1000), QStringLiteral("5000000000 kb"));
    EXPECT_EQ(TaskNumberText(0, 1), QStringLiteral("[1/1]"));
    EXPECT_EQ(TaskNumberText(2, 3), QStringLiteral("[3/3]"));
    EXPECT_EQ(FinishedRowText(), QStringLiteral("100%"));
}

TEST(RunProgressTexts, LongSourcesKeepTheirHeadAndExtension)
{
    const QString folder = QStringLiteral("/home/someone/videos/summer/"); // 28 characters
    struct Case
    {
        const char* Name;
        QString Source;
        QString Shown;
    };
    const QString fifty = folder + QStringLiteral("holiday_at_the_sea.mp4");     // 50
    const QString fiftyOne = folder + QStringLiteral("holiday_at_the_sea1.mp4"); // 51
    const QString sixty = folder + QStringLiteral("holiday_at_the_sea_with_frie.avi");
    const QString noExtension = folder + QStringLiteral("holiday_at_the_sea_with_friends");
    const QString dottedFolder = QStringLiteral("/home/someone/v.ideos/holiday_at_the_sea_with_friends");
    const QString twoDots = folder + QStringLiteral("holiday_at_the_sea.backup.tar.gz");
    const Case cases[] = {
        {"50 characters stay whole", fifty, fifty},
        {"51 characters are shortened", fiftyOne, fiftyOne.left(44) + QStringLiteral("...mp4")},
        {"60 characters", sixty, sixty.left(44) + QStringLiteral("...avi")},
        {"no extension", noExtension, noExtension.left(44) + QStringLiteral("..")},
        {"a dot in a folder is no extension", dottedFolder, dottedFolder.left(44) + QStringLiteral("..")},
        {"only the last extension", twoDots, twoDots.left(44) + QStringLiteral("...gz")},
    };
    ASSERT_EQ(fifty.size(), 50);
    ASSERT_EQ(fiftyOne.size(), 51);
    ASSERT_EQ(sixty.size(), 60);
    for (const Case& c : cases)
        EXPECT_EQ(ShortSourceText(c.Source), c.Shown) << c.Name;
}

TEST(RunProgressTexts, ACharacterBeyondTheBasicPlaneIsNeverCutInHalf)
{
    // 43 ASCII characters, then a character made of two UTF-16 units at
    // positions 43 and 44.
    const QString head = QString(43, QLatin1Char('a'));
    const QString emoji = QString::fromUtf8("\xF0\x9F\x8E\xAC");
    const QString source = head + emoji + QStringLiteral("_________________.mkv");
    ASSERT_GE(source.size(), 51);
    const QString shown = ShortSourceText(source);
    EXPECT_EQ(shown, head + QStringLiteral("...mkv"));
    EXPECT_TRUE(shown.isValidUtf16());
}
