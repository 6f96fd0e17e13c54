// Options of the older library generation translated to the installed
// libraries' names, and the effect the translated device presets keep.

#include "LoopTesting.h"
#include "OptionTesting.h"

#include "engine/LegacyOptions.h"
#include "support/TemporaryFolder.h"
#include "support/TestMedia.h"

#include <gtest/gtest.h>

namespace {

// Current private values for a translation, and the generic flag words it may keep.
TLegacyTranslation Translate(const QString& name, const QString& value, const QString& current = QString())
{
    return TranslateLegacyOption(
        name, value, [&](const QString&) { return current; },
        [](const QString&, const QString& flag) {
            return flag == "fast" || flag == "psnr" || flag == "loop";
        });
}

QString Assigned(const TLegacyTranslation& translation, const QString& name)
{
    for (const TOptionAssignment& assignment : translation.Assignments)
        if (assignment.Name == name)
            return assignment.Value;
    return "<unset>";
}

TEST(LegacyOptions, PartitionFlagsChangeThePartitionListChosenSoFar)
{
    const struct
    {
        const char* Value;
        const char* Current;
        const char* Expected;
    } cases[] = {
        {"+parti4x4+parti8x8+partp8x8", "", "p8x8,i8x8,i4x4"},
        {"+parti8x8+parti4x4+partp8x8+partp4x4+partb8x8", "", "p8x8,p4x4,b8x8,i8x8,i4x4"},
        {"-parti8x8", "p8x8,i8x8", "p8x8"},
        {"-partp8x8", "p8x8", "none"},
        {"+partb8x8", "none", "b8x8"},
        {"-parti4x4", "all", "p8x8,p4x4,b8x8,i8x8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Value);
        EXPECT_EQ(Assigned(Translate("partitions", c.Value, c.Current), "partitions"), c.Expected);
    }
}

TEST(LegacyOptions, FlagWordsSplitIntoGenericFlagsAndOptionsOfTheirOwn)
{
    const TLegacyTranslation mixed = Translate("flags2", "+bpyramid-wpred+fast");
    EXPECT_TRUE(mixed.IsLegacy);
    EXPECT_EQ(Assigned(mixed, "flags2"), "+fast");
    EXPECT_EQ(Assigned(mixed, "b-pyramid"), "normal");
    EXPECT_EQ(Assigned(mixed, "weightb"), "0");

    EXPECT_FALSE(Translate("flags", "+psnr").IsLegacy);
    EXPECT_FALSE(Translate("b", "1000").IsLegacy);

    const TLegacyTranslation gone = Translate("flags2", "+skiprd-dct8x8");
    EXPECT_EQ(gone.NoEquivalent, QStringList{"flags2=+skiprd"});
    EXPECT_EQ(Assigned(gone, "8x8dct"), "0");

    // The loop filter bit stays generic, and switches the H.264 encoder's deblocking.
    const TLegacyTranslation loopOff = Translate("flags", "-loop+psnr", "qp=4");
    EXPECT_EQ(Assigned(loopOff, "flags"), "-loop+psnr");
    EXPECT_EQ(Assigned(loopOff, "x264-params"), "qp=4:no-deblock=1");
    EXPECT_EQ(Assigned(Translate("flags", "+loop", "no-deblock=1"), "x264-params"), "");
}

TEST(LegacyOptions, RenamedOptionsAndTwoPartOptions)
{
    EXPECT_EQ(Assigned(Translate("me_method", "full"), "motion-est"), "esa");
    EXPECT_EQ(Assigned(Translate("me_method", "epzs"), "motion-est"), "dia");
    EXPECT_EQ(Assigned(Translate("me_method", "log"), "motion-est"), "hex");
    EXPECT_EQ(Assigned(Translate("wpredp", "2"), "weightp"), "2");
    EXPECT_EQ(Assigned(Translate("cqp", "0"), "qp"), "0");
    EXPECT_EQ(Assigned(Translate("deblockalpha", "-1"), "deblock"), "-1:0");
    EXPECT_EQ(Assigned(Translate("deblockbeta", "2", "-1:0"), "deblock"), "-1:2");
    EXPECT_EQ(Assigned(Translate("psy_trellis", "0.2"), "psy-rd"), "1.0:0.2");
}

TEST(LegacyOptions, OptionsWithoutEquivalentAreLoggedAsWarnings)
{
    auto task = NewTask();
    TLogCapture log;
    EXPECT_TRUE(task->SetGenericOption("flags2", "+skiprd"));
    EXPECT_TRUE(log.Contains(llWarning,
                             "Option flags2=+skiprd has no equivalent in the installed libraries; ignored"));
    EXPECT_FALSE(task->SetGenericOption("motion-est", "sideways"));
    EXPECT_TRUE(log.Contains(llError, "Invalid value \"sideways\" for option \"motion-est\""));
}

// The device presets keep what they were written for when the installed
// encoder runs them: the iPod preset gives Baseline pictures without
// B-frames, the PSP preset Main pictures with them.
class TranslatedDevicePresets : public ::testing::TestWithParam<std::pair<const char*, const char*>>
{
};

TEST_P(TranslatedDevicePresets, KeepTheirProfile)
{
    const auto [preset, profile] = GetParam();
    TTemporaryFolder folder;
    TConversion conversion;
    conversion.Inputs.push_back({TestMediaPath(TTestMedia::VideoAudioMp4), TInputOptions{}});
    conversion.OutputFile = folder.FilePath("out.mp4");
    conversion.Output.FileFormat = "ipod";
    conversion.Output.VideoCodec = "libx264";
    conversion.Output.VideoPreset = preset;
    conversion.Output.DisableAudio = true;
    const TConversionResult result = RunConversion(conversion);
    ASSERT_FALSE(result.Exception) << result.ExceptionMsg.toStdString();
    const QJsonObject video = StreamFacts(conversion.OutputFile, "video");
    EXPECT_EQ(video.value("codec_name").toString(), "h264");
    EXPECT_EQ(video.value("profile").toString(), profile);
    EXPECT_EQ(video.value("level").toInt(), 30);
}

INSTANTIATE_TEST_SUITE_P(Presets, TranslatedDevicePresets,
                         ::testing::Values(std::make_pair("libx264-ipod", "Constrained Baseline"),
                                           std::make_pair("libx264-psp", "Main")));

} // namespace
