#include "media/FFLogger.h"
#include "media/FFmpegLoader.h"
#include "media/OptionStore.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

extern "C" {
#include <libavutil/opt.h>
}

namespace {

class OptionStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFLoader().LoadSet(EngineLibraries)) << FFLoader().LastError().toStdString();
        DefaultLogger()->SetTriggerEventInMainThread(false);
        DefaultLogger()->SetOnLog([this](const void*, quint32, TLogLevel level, const QString& msg) {
            Logged.push_back({level, msg});
        });
    }
    void TearDown() override
    {
        DefaultLogger()->SetOnLog({});
        DefaultLogger()->SetTriggerEventInMainThread(true);
    }

    TOptionStore Store;
    std::vector<std::pair<TLogLevel, QString>> Logged;
};

TEST_F(OptionStoreTest, StoresEachOptionOnTheContextsThatKnowIt)
{
    const struct
    {
        const char* Name;
        const char* Value;
        const char* StoredName;
        std::function<void(const TOptionStore&)> Check;
    } table[] = {
        {"g", "25", "g",
         [](const TOptionStore& s) {
             EXPECT_EQ(s.CodecOptions[AVMEDIA_TYPE_VIDEO]->gop_size, 25);
             EXPECT_NE(s.CodecOptions[AVMEDIA_TYPE_AUDIO]->gop_size, 25) << "a video-only option";
         }},
        {"acutoff", "15000", "cutoff",
         [](const TOptionStore& s) {
             EXPECT_EQ(s.CodecOptions[AVMEDIA_TYPE_AUDIO]->cutoff, 15000);
             EXPECT_EQ(s.CodecOptions[AVMEDIA_TYPE_VIDEO]->cutoff, 0);
         }},
        {" probesize ", " 123456 ", "probesize",
         [](const TOptionStore& s) { EXPECT_EQ(s.FormatOptions->probesize, 123456); }},
        {"sws_flags", "bilinear", "sws_flags",
         [](const TOptionStore& s) {
             int64_t flags = 0;
             ASSERT_GE(av_opt_get_int(s.ScaleOptions.get(), "sws_flags", 0, &flags), 0);
             EXPECT_EQ(flags, SWS_BILINEAR);
         }},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.Name);
        EXPECT_TRUE(SetDefaultOption(Store, QLatin1String(row.Name), QLatin1String(row.Value)));
        ASSERT_FALSE(Store.OptionNames.empty());
        EXPECT_EQ(Store.OptionNames.back(), row.StoredName);
        row.Check(Store);
    }
    EXPECT_EQ(Store.OptionCount(), 4);
    EXPECT_TRUE(Logged.empty());
}

TEST_F(OptionStoreTest, ABadValueIsLoggedAndAnUnknownNameIsRefusedSilently)
{
    EXPECT_FALSE(SetDefaultOption(Store, QStringLiteral("g"), QStringLiteral("many")));
    // The library explains its own parse failure first; the store's line comes last.
    ASSERT_FALSE(Logged.empty());
    EXPECT_EQ(Logged.back().first, llError);
    EXPECT_EQ(Logged.back().second, QStringLiteral("Invalid value \"many\" for option \"g\""));

    Logged.clear();
    EXPECT_FALSE(SetDefaultOption(Store, QStringLiteral("no_such_option"), QStringLiteral("1")));
    EXPECT_FALSE(SetDefaultOption(Store, QStringLiteral("g"), QStringLiteral("  ")));
    EXPECT_TRUE(Logged.empty());
    EXPECT_EQ(Store.OptionCount(), 0);
}

TEST_F(OptionStoreTest, ApplyOptionsCopiesTheStoredOptionsThatCarryTheMask)
{
    ASSERT_TRUE(SetDefaultOption(Store, QStringLiteral("g"), QStringLiteral("25")));
    ASSERT_TRUE(SetDefaultOption(Store, QStringLiteral("b"), QStringLiteral("64000")));
    CodecContextPtr encoder(avcodec_alloc_context3(nullptr));
    const int gopDefault = encoder->gop_size;

    // "g" is a video option, "b" a video and audio one.
    ApplyOptions(Store, encoder.get(), Store.CodecOptions[AVMEDIA_TYPE_AUDIO].get(),
                 AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
    EXPECT_EQ(encoder->bit_rate, 64000);
    EXPECT_EQ(encoder->gop_size, gopDefault);

    ApplyOptions(Store, encoder.get(), Store.CodecOptions[AVMEDIA_TYPE_VIDEO].get(),
                 AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
    EXPECT_EQ(encoder->gop_size, 25);
}

} // namespace
