#include "app/ParameterVocabulary.h"

#include "platform/NumberText.h"

#include <gtest/gtest.h>

TEST(ParameterVocabulary, ChoiceListParsing)
{
    const struct {
        QString value;
        QStringList entries;
    } cases[] = {
        {"320x240,640x480", {"320x240", "640x480"}},
        {"320x240,640x480,", {"320x240", "640x480", ""}},
        {"a,,b", {"a", "", "b"}},
        {"single", {"single"}},
        {",", {"", ""}},
        {"", {}},
        {"pcm_mulaw ,AAC", {"pcm_mulaw ", "AAC"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseChoiceList(c.value), c.entries) << c.value.toStdString();
}

TEST(ParameterVocabulary, EncoderDisplayTexts)
{
    const struct {
        const char* display;
        std::optional<QString> video;
        std::optional<QString> audio;
    } cases[] = {
        {"MPEG-4", "mpeg4", std::nullopt}, {"XviD", "libxvid", std::nullopt}, {"H264", "libx264", std::nullopt},
        {"WMV2", "wmv2", std::nullopt},    {"mjpeg", "mjpeg", std::nullopt},  {"mpeg4", std::nullopt, std::nullopt},
        {"MP3", std::nullopt, "libmp3lame"}, {"OGG", std::nullopt, "vorbis"},  {"AAC", std::nullopt, "libfaac"},
        {"AC-3", std::nullopt, "ac3"},     {"FLAC", std::nullopt, "libflac"}, {"PCM_S16", std::nullopt, "pcm_s16le"},
        {"pcm_mulaw ", std::nullopt, "pcm_mulaw"}, {"pcm_mulaw", std::nullopt, std::nullopt},
        {"WMA2", std::nullopt, "wmav2"},  {"amr_nb", std::nullopt, "libopencore_amrnb"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VideoEncoderValue(c.display), c.video) << c.display;
        EXPECT_EQ(AudioEncoderValue(c.display), c.audio) << c.display;
    }
    EXPECT_TRUE(IsH264EncoderDisplay("H264"));
    EXPECT_FALSE(IsH264EncoderDisplay("h.264"));
}

TEST(ParameterVocabulary, ChannelVolumeAndZoom)
{
    EXPECT_EQ(ChannelValue("as source"), "as source");
    EXPECT_EQ(ChannelValue("mono 1 channel"), "1");
    EXPECT_EQ(ChannelValue("stereo 2 channels"), "2");
    EXPECT_EQ(ChannelValue("Stereo 2 channels"), std::nullopt) << "channel texts compare exactly";

    const struct {
        const char* display;
        std::optional<QString> stored;
    } volumes[] = {{"25%", "64"},   {"100%", "256"}, {"125%", "320"}, {"400%", "1024"},
                   {"110%", std::nullopt}, {"0%", std::nullopt}};
    for (const auto& v : volumes)
        EXPECT_EQ(VolumeValue(v.display), v.stored) << v.display;
    EXPECT_THROW(VolumeValue("loud"), EConvertError);
    EXPECT_THROW(VolumeValue(""), EConvertError);

    EXPECT_EQ(ZoomValueForIndex(0), "full");
    EXPECT_EQ(ZoomValueForIndex(1), "lbox");
    EXPECT_EQ(ZoomValueForIndex(2), "pan");
    EXPECT_EQ(ZoomValueForIndex(-1), std::nullopt);
    EXPECT_EQ(ZoomIndexForValue("pan"), 2);
    EXPECT_EQ(ZoomIndexForValue("center"), -1);
}
