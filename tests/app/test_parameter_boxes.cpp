#include "app/IniFile.h"
#include "app/ParameterBoxes.h"
#include "platform/DialogService.h"
#include "platform/NumberText.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A small catalogue: a video profile with H.264 extras, an audio-only profile,
// a profile with a trailing comma and a malformed extra.
const char* const kCatalogue = R"([formatInfo1]
Format=ipod
FileExt=mp4
VideoSize=320x240,640x480,as source
VideoBitRate=768,1500,as source
FrameRate=25,29.97,as source
VideoEncoder=MPEG-4,H264
AudioBitRate=96,128,160
SampleRate=44100,48000
AudioEncoder=AAC
Channel=stereo 2 channels,mono 1 channel
Volume=50%,100%,110%,200%
iVideoSize=1
iVideoBitRate=1
iFrameRate=1
iVideoEncoder=1
iAudioBitRate=1
iSampleRate=0
iChannel=0
iVolume=1
iAudioEncoder=0
paraBitExact=True
paraMaxBitrate=1500
paraBufferSize=0
paraLevel=30
paraQscale=
paraGop=250
paraCoder=0

[formatInfo500]
Format=mp3
FileExt=mp3
VideoSize=null
VideoBitRate=null
FrameRate=null
VideoEncoder=null
AudioBitRate=128,192
SampleRate=44100
AudioEncoder=MP3
Channel=stereo 2 channels
Volume=100%
iAudioBitRate=1

[formatInfo7]
VideoSize=320x240,640x480,
VideoEncoder=H264
AudioEncoder=
paraLevel=abc
paraGop=250
)";

class ParameterBoxesTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString settingsPath = dir.filePath(QStringLiteral("settings.ini"));
    QString catalogPath = dir.filePath(QStringLiteral("catalogue.ini"));
    TRecordingDialogs dialogs;
    TScopedDialogs scoped{dialogs};
    TParameterBoxes boxes{settingsPath, catalogPath};

    void SetUp() override
    {
        QFile f(catalogPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kCatalogue);
    }
    IniFile settings() const { return IniFile(settingsPath); }
    QString stored(const char* key) const
    {
        return settings().ReadString(boxes.Section(), QLatin1String(key), QStringLiteral("<missing>"));
    }
    void putSettings(const QByteArray& content)
    {
        QFile f(settingsPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
    const TParamBoxState& box(TParamBox b) const { return boxes.Box(b); }
    QStringList texts() const
    {
        QStringList t;
        for (const auto& b : dialogs.Boxes)
            t << b.Text;
        return t;
    }
};

TEST_F(ParameterBoxesTest, LoadingFillsListsAndRestoresTheUsersChoices)
{
    putSettings("[formatInfo1]\nparaVideoSize=640X480\nparaVideoBitRate=999\nparaSampleRate=48000\n"
                "iFrameRate=2\niVideoEncoder=1\niChannel=1\niVolume=7\nparaZoom=pan\n");
    boxes.SetFormatCode("1");
    boxes.LoadProfile();

    EXPECT_EQ(box(TParamBox::VideoSize).Items, (QStringList{"320x240", "640x480", "as source"}));
    EXPECT_EQ(box(TParamBox::VideoSize).ItemIndex, 1) << "matched without regard to case";
    EXPECT_EQ(box(TParamBox::VideoSize).Text, "640x480");
    EXPECT_EQ(box(TParamBox::VideoBitRate).ItemIndex, -1);
    EXPECT_EQ(box(TParamBox::VideoBitRate).Text, "999") << "an unknown value is shown as typed text";
    EXPECT_EQ(box(TParamBox::SampleRate).ItemIndex, 1);
    EXPECT_EQ(box(TParamBox::AudioBitRate).Text, "96") << "missing value: its default text";
    EXPECT_EQ(box(TParamBox::FrameRate).Text, "as source");
    EXPECT_EQ(box(TParamBox::VideoEncoder).Text, "H264");
    EXPECT_EQ(box(TParamBox::Channel).Text, "mono 1 channel");
    EXPECT_EQ(box(TParamBox::Volume).ItemIndex, -1) << "an index outside the list selects nothing";
    EXPECT_EQ(box(TParamBox::Zoom).Items, (QStringList{"Full Screen", "Letter Box", "Pan and Scan"}));
    EXPECT_EQ(box(TParamBox::Zoom).ItemIndex, 2);
    EXPECT_EQ(box(TParamBox::FrameRate).DropDownCount, 3);
    for (int i = 0; i < ParamBoxCount; ++i) {
        EXPECT_TRUE(boxes.Box(TParamBox(i)).Enabled) << i;
        EXPECT_FALSE(boxes.Box(TParamBox(i)).GreyText) << i;
    }
    EXPECT_TRUE(dialogs.Boxes.empty());
}

TEST_F(ParameterBoxesTest, AudioOnlyProfileDisablesTheVideoBoxes)
{
    putSettings("[formatInfo500]\nparaZoom=center\n");
    boxes.SetFormatCode("500");
    boxes.LoadProfile();
    for (TParamBox b : {TParamBox::VideoSize, TParamBox::VideoBitRate, TParamBox::FrameRate,
                        TParamBox::VideoEncoder, TParamBox::Zoom}) {
        EXPECT_FALSE(box(b).Enabled) << int(b);
        EXPECT_TRUE(box(b).GreyText) << int(b);
    }
    EXPECT_TRUE(box(TParamBox::VideoEncoder).Items.isEmpty());
    EXPECT_EQ(box(TParamBox::Zoom).ItemIndex, -1) << "\"center\" selects no item";
    EXPECT_TRUE(box(TParamBox::AudioEncoder).Enabled);

    boxes.SetFormatCode("7");
    boxes.LoadProfile();
    EXPECT_EQ(box(TParamBox::VideoSize).Items, (QStringList{"320x240", "640x480", ""}))
        << "a trailing comma gives a last, empty item";
    EXPECT_TRUE(box(TParamBox::AudioEncoder).Items.isEmpty()) << "an empty list disables the box";
    EXPECT_FALSE(box(TParamBox::SampleRate).Enabled);
}

TEST_F(ParameterBoxesTest, MissingCatalogueSectionDisablesEverything)
{
    boxes.SetFormatCode("999");
    boxes.LoadProfile();
    for (int i = 0; i < ParamBoxCount; ++i)
        EXPECT_FALSE(boxes.Box(TParamBox(i)).Enabled) << i;

    // Its defaults are nothing to convert: no error, no message.
    EXPECT_NO_THROW(boxes.LoadProfileWithDefaults());
    EXPECT_TRUE(dialogs.Boxes.empty()) << texts().join('|').toStdString();
    EXPECT_EQ(stored("paraVolume"), "<missing>");
}

TEST_F(ParameterBoxesTest, DefaultRunsTheTenHandlersInOrder)
{
    boxes.SetFormatCode("1");
    boxes.LoadProfile();
    boxes.Default();
    // A new section lists its keys in the order they were first written.
    EXPECT_EQ(settings().ReadSection("formatInfo1"),
              (QStringList{"iVideoEncoder", "paraVideoEncoder", "paraBitExact", "paraMaxBitrate", "paraLevel",
                           "paraGop", "paraCoder", "iVideoSize", "paraVideoSize", "iFrameRate", "paraFrameRate",
                           "iVideoBitRate", "paraVideoBitRate", "paraZoom", "iAudioEncoder", "paraAudioEncoder",
                           "iAudioBitRate", "paraAudioBitRate", "iSampleRate", "paraSampleRate", "iChannel",
                           "paraChannel", "iVolume", "paraVolume"}));
    const struct {
        const char* key;
        const char* value;
    } expected[] = {{"paraVideoEncoder", "libx264"}, {"paraBitExact", "True"}, {"paraMaxBitrate", "1500"},
                    {"paraLevel", "30"}, {"paraGop", "250"}, {"paraCoder", "0"}, {"paraVideoSize", "640x480"},
                    {"iVideoSize", "1"}, {"paraFrameRate", "29.97"}, {"paraVideoBitRate", "1500"},
                    {"paraZoom", "full"}, {"paraAudioEncoder", "libfaac"}, {"paraAudioBitRate", "128"},
                    {"paraSampleRate", "44100"}, {"paraChannel", "2"}, {"paraVolume", "256"}};
    for (const auto& e : expected)
        EXPECT_EQ(stored(e.key), e.value) << e.key;
    EXPECT_EQ(stored("paraBufferSize"), "<missing>") << "a zero extra is not copied";
    EXPECT_EQ(stored("paraQscale"), "<missing>") << "an empty extra is not copied";
    EXPECT_TRUE(dialogs.Boxes.empty());
}

TEST_F(ParameterBoxesTest, NeverEditedProfileGetsItsDefaultsWithLetterBox)
{
    boxes.SetFormatCode("1");
    boxes.LoadProfileWithDefaults();
    EXPECT_EQ(stored("paraVideoEncoder"), "libx264");
    EXPECT_EQ(stored("paraVideoSize"), "640x480");
    EXPECT_EQ(stored("paraZoom"), "lbox");
    EXPECT_EQ(box(TParamBox::Zoom).Text, "Letter Box");
    EXPECT_EQ(box(TParamBox::VideoSize).Text, "640x480");
    EXPECT_EQ(box(TParamBox::VideoEncoder).Text, "H264");

    // Once the section exists the user's own choices are loaded, never overwritten.
    settings().WriteString("formatInfo1", "paraVideoSize", "320x240");
    boxes.LoadProfileWithDefaults();
    EXPECT_EQ(stored("paraVideoSize"), "320x240");
    EXPECT_EQ(box(TParamBox::VideoSize).Text, "320x240");
}

TEST_F(ParameterBoxesTest, DefaultOfAnAudioProfileAsksNothingAboutDisabledVideoBoxes)
{
    boxes.SetFormatCode("500");
    boxes.LoadProfileWithDefaults();
    EXPECT_TRUE(dialogs.Boxes.empty()) << texts().join('|').toStdString();
    EXPECT_EQ(stored("paraAudioEncoder"), "libmp3lame");
    EXPECT_EQ(stored("paraAudioBitRate"), "192");
    EXPECT_EQ(stored("paraVideoEncoder"), "<missing>") << "the profile converts without video";
    EXPECT_TRUE(boxes.VideoSizeExit()) << "Start on an audio profile validates nothing";
    EXPECT_TRUE(dialogs.Boxes.empty());
}

TEST_F(ParameterBoxesTest, MalformedH264ExtraStopsTheCopyWithAConversionError)
{
    boxes.SetFormatCode("7");
    boxes.LoadProfile();
    boxes.SelectItem(TParamBox::VideoEncoder, 0);
    EXPECT_THROW(boxes.VideoEncoderChange(), EConvertError);
    EXPECT_EQ(stored("paraVideoEncoder"), "libx264") << "keys written before the error stay";
    EXPECT_EQ(stored("paraGop"), "<missing>") << "extras after the malformed one are not copied";
}

TEST_F(ParameterBoxesTest, FrameSizeValidation)
{
    boxes.SetFormatCode("1");
    boxes.LoadProfile();
    const struct {
        const char* typed;
        const char* message;  // nullptr: no message
        const char* boxText;  // what the box shows afterwards
        const char* stored;   // "paraVideoSize" afterwards, or "<missing>"
    } cases[] = {
        {"641x480", "Frame Size must be a multiple of 2.\nThe correct value:640x480", "640x480", "640x480"},
        {"0x480", "Frame Size must be a multiple of 2.\nThe correct value:2x480", "2x480", "2x480"},
        {"1x1", "Frame Size must be a multiple of 2.\nThe correct value:2x2", "2x2", "2x2"},
        {"720X576", "Frame Size is not a valid value!", "640x480", "<missing>"},
        {"720", "Frame Size is not a valid value!", "640x480", "<missing>"},
        {"axb", "Frame Size is not a valid value!", "640x480", "<missing>"},
        {"-2x480", "Frame Size is not a valid value!", "640x480", "<missing>"},
        {"As Source", nullptr, "As Source", "<missing>"},
        {"1280x720", nullptr, "1280x720", "1280x720"},
        {"12x34x56", "Frame Size is not a valid value!", "640x480", "<missing>"},
    };
    for (const auto& c : cases) {
        QFile::remove(settingsPath);
        dialogs.Boxes.clear();
        boxes.SetText(TParamBox::VideoSize, QString::fromLatin1(c.typed));
        boxes.VideoSizeExit();
        if (c.message) {
            ASSERT_EQ(dialogs.Boxes.size(), 1u) << c.typed;
            EXPECT_EQ(dialogs.Boxes[0].Text, c.message) << c.typed;
        } else {
            EXPECT_TRUE(dialogs.Boxes.empty()) << c.typed;
        }
        EXPECT_EQ(box(TParamBox::VideoSize).Text, c.boxText) << c.typed;
        EXPECT_EQ(stored("paraVideoSize"), c.stored) << c.typed;
    }
    boxes.SetText(TParamBox::VideoSize, "641x480");
    dialogs.Boxes.clear();
    boxes.VideoSizeExit();
    EXPECT_EQ(dialogs.Boxes[0].Caption, "Input Error!");
    EXPECT_EQ(stored("iVideoSize"), "0") << "a typed size matching no item stores index 0";
    boxes.SelectItem(TParamBox::VideoSize, 2);
    boxes.VideoSizeSelect();
    EXPECT_EQ(stored("paraVideoSize"), "as source");
    EXPECT_EQ(stored("iVideoSize"), "2");
}

TEST_F(ParameterBoxesTest, BitRateAndSampleRateValidation)
{
    boxes.SetFormatCode("1");
    boxes.LoadProfile();
    const struct {
        TParamBox box;
        const char* typed;
        bool accepted;
        const char* key;
        const char* message;
    } cases[] = {
        {TParamBox::VideoBitRate, "1200", true, "paraVideoBitRate", nullptr},
        {TParamBox::VideoBitRate, "as source", true, "paraVideoBitRate", nullptr},
        {TParamBox::VideoBitRate, "As Source", false, "paraVideoBitRate", "Video BitRate is not a valid value!"},
        {TParamBox::VideoBitRate, "", false, "paraVideoBitRate", "Video BitRate is not a valid value!"},
        {TParamBox::VideoBitRate, "12.5", false, "paraVideoBitRate", "Video BitRate is not a valid value!"},
        {TParamBox::SampleRate, "22050", true, "paraSampleRate", nullptr},
        {TParamBox::SampleRate, "x", false, "paraSampleRate", "Audio SampleRate is not a valid value!"},
        {TParamBox::AudioBitRate, "12.5", true, "paraAudioBitRate", nullptr},
        {TParamBox::AudioBitRate, "", false, "paraAudioBitRate", "Audio BitRate is not a valid value!"},
    };
    for (const auto& c : cases) {
        QFile::remove(settingsPath);
        dialogs.Boxes.clear();
        boxes.SetText(c.box, QString::fromLatin1(c.typed));
        switch (c.box) {
        case TParamBox::VideoBitRate: boxes.VideoBitRateChange(); break;
        case TParamBox::SampleRate: boxes.SampleRateChange(); break;
        default: boxes.AudioBitRateChange(); break;
        }
        if (c.accepted) {
            EXPECT_EQ(stored(c.key), c.typed) << c.typed;
            EXPECT_TRUE(dialogs.Boxes.empty()) << c.typed;
        } else {
            EXPECT_EQ(stored(c.key), "<missing>") << c.typed;
            ASSERT_EQ(dialogs.Boxes.size(), 1u) << c.typed;
            EXPECT_EQ(dialogs.Boxes[0].Text, c.message);
            EXPECT_EQ(box(c.box).ItemIndex, 1) << "a rejected box shows its second item";
        }
    }
}

TEST_F(ParameterBoxesTest, ListHandlersStoreTheirVocabulary)
{
    boxes.SetFormatCode("1");
    boxes.LoadProfile();
    boxes.SelectItem(TParamBox::Volume, 1);
    boxes.VolumeChange();
    EXPECT_EQ(stored("paraVolume"), "256");
    boxes.SelectItem(TParamBox::Volume, 2); // 110%
    boxes.VolumeChange();
    EXPECT_EQ(stored("iVolume"), "2");
    EXPECT_EQ(stored("paraVolume"), "256") << "110 percent stores nothing";
    boxes.SelectItem(TParamBox::Channel, 1);
    boxes.ChannelChange();
    EXPECT_EQ(stored("paraChannel"), "1");
    boxes.SelectItem(TParamBox::Zoom, 1);
    boxes.ZoomChange();
    EXPECT_EQ(stored("paraZoom"), "lbox");
    boxes.SelectItem(TParamBox::VideoEncoder, 0);
    boxes.VideoEncoderChange();
    EXPECT_EQ(stored("paraVideoEncoder"), "mpeg4");
    EXPECT_EQ(stored("paraLevel"), "<missing>") << "extras are copied for H264 only";
}

TEST_F(ParameterBoxesTest, KeyFilters)
{
    boxes.SetFormatCode("1");
    boxes.LoadProfile();
    EXPECT_TRUE(boxes.NumericKeyPress(TParamBox::VideoBitRate, '7'));
    EXPECT_TRUE(boxes.NumericKeyPress(TParamBox::AudioBitRate, '\b'));
    EXPECT_TRUE(dialogs.Boxes.empty());
    EXPECT_FALSE(boxes.NumericKeyPress(TParamBox::SampleRate, '.'));
    ASSERT_EQ(dialogs.Boxes.size(), 1u);
    EXPECT_EQ(dialogs.Boxes[0].Text, "Please enter numerical.");
    EXPECT_EQ(dialogs.Beeps, 1);

    dialogs.Boxes.clear();
    boxes.SetText(TParamBox::VideoSize, "640");
    EXPECT_TRUE(boxes.VideoSizeKeyPress('x'));
    boxes.SetText(TParamBox::VideoSize, "640x");
    EXPECT_FALSE(boxes.VideoSizeKeyPress('x'));
    EXPECT_FALSE(boxes.VideoSizeKeyPress('a'));
    EXPECT_TRUE(boxes.VideoSizeKeyPress('4'));
    EXPECT_TRUE(boxes.VideoSizeKeyPress('\b'));
    EXPECT_EQ(dialogs.Beeps, 3);
    EXPECT_TRUE(dialogs.Boxes.empty()) << "the size box beeps without a message";
    boxes.SetText(TParamBox::VideoSize, "");
    EXPECT_TRUE(boxes.VideoSizeKeyPress('a')) << "an empty box takes any key";
}

} // namespace
