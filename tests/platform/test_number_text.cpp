#include "platform/NumberText.h"

#include <gtest/gtest.h>

struct IntCase {
    const char* text;
    bool ok;
    int value;
};

TEST(NumberText, IntegerTexts)
{
    const IntCase cases[] = {
        {"0", true, 0},          {"42", true, 42},          {"-17", true, -17},
        {"+5", true, 5},         {" 12 ", true, 12},        {"0x1F", true, 31},
        {"0X1f", true, 31},      {"$ff", true, 255},        {"$FFFFFFFF", true, -1},
        {"2147483647", true, 2147483647}, {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0}, {"", false, 0},           {"abc", false, 0},
        {"12abc", false, 0},     {"1.5", false, 0},         {"0x", false, 0},
        {"$", false, 0},         {"-", false, 0},           {"1 2", false, 0},
        {"$1FFFFFFFF", false, 0}, {"\xd9\xa3", false, 0},
    };
    for (const auto& c : cases) {
        int v = -999;
        EXPECT_EQ(TryStrToInt(QString::fromUtf8(c.text), v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
        EXPECT_EQ(StrToIntDef(QString::fromUtf8(c.text), 77), c.ok ? c.value : 77) << c.text;
    }
}

TEST(NumberText, StrToIntNamesTheText)
{
    try {
        StrToInt(QStringLiteral("abc"));
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
}

TEST(NumberText, FloatTexts)
{
    double v = 0;
    EXPECT_TRUE(TryStrToFloat(QStringLiteral("29.97"), v));
    EXPECT_DOUBLE_EQ(v, 29.97);
    EXPECT_TRUE(TryStrToFloat(QStringLiteral("96"), v));
    EXPECT_DOUBLE_EQ(v, 96);
    EXPECT_TRUE(TryStrToFloat(QStringLiteral("1e3"), v));
    for (const char* bad : {"", "inf", "nan", "1,5", "12kb", "."})
        EXPECT_FALSE(TryStrToFloat(QString::fromLatin1(bad), v)) << bad;
    EXPECT_THROW(StrToFloat(QStringLiteral("x")), EConvertError);
}

TEST(NumberText, Int64Texts)
{
    qint64 v = 0;
    EXPECT_TRUE(TryStrToInt64(QStringLiteral("9000000000"), v));
    EXPECT_EQ(v, 9000000000LL);
    EXPECT_FALSE(TryStrToInt64(QStringLiteral("99999999999999999999"), v));
}
