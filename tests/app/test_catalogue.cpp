#include "app/IniFile.h"
#include "app/ParameterVocabulary.h"
#include "app/ProfileCatalogue.h"
#include "platform/NumberText.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

std::string str(const QString& text)
{
    return text.toStdString();
}

// ---------------------------------------------------------------------------
// The profile table

TEST(ProfileCatalogue, CategoriesInOrderWithTheirCodes)
{
    const struct {
        const char* name;
        std::vector<int> codes;
    } expected[] = {
        {"Apple iPod", {0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {"Apple iPhone", {100, 101, 102, 103, 104}},
        {"Apple TV", {200, 201, 202, 203, 204, 205}},
        {"Quick Time Video - MOV", {300}},
        {"General Video formates", {400, 401, 402, 403, 404, 405, 406, 407, 408, 409}},
        {"General Audio formates", {500, 501, 502, 503, 504, 505, 506}},
    };
    const auto& categories = ProfileCategories();
    ASSERT_EQ(categories.size(), std::size(expected));

    std::vector<int> allCodes;
    for (std::size_t i = 0; i < categories.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(categories[i].Index, int(i));
        EXPECT_EQ(categories[i].Name, QString::fromLatin1(expected[i].name));
        std::vector<int> codes;
        for (int position = 0; position < categories[i].ProfileNames.size(); ++position) {
            EXPECT_FALSE(categories[i].ProfileNames[position].isEmpty());
            codes.push_back(FormatCodeOf(categories[i].Index, position));
        }
        EXPECT_EQ(codes, expected[i].codes);
        allCodes.insert(allCodes.end(), codes.begin(), codes.end());
    }
    EXPECT_EQ(allCodes.size(), 38u);
    EXPECT_EQ(ProfileCodes(), allCodes);
}

TEST(ProfileCatalogue, NamesAndCodesLookUpBothWays)
{
    // Character for character, including the spellings users' settings hold.
    const struct {
        int code;
        const char* name;
    } profiles[] = {
        {0, "iPod Video MPEG-4 (*.mp4)"},
        {2, "iPod MPEG-4 Excellent (320 x 240)(*.mp4)"},
        {6, "iPod Touch MPEG-4 (480 x 320) (*.mp4)"},
        {8, "iPod Touch MPEG-4 Wide Screen (*.mp4)"},
        {104, "iPhone Movie for 576p TV Out (*.mp4)"},
        {200, "Apple TV (640 x 480) MPEG-4 Excellent (*.mp4)"},
        {205, "Apple H.264 720p (1280 x 720) (*.mp4)"},
        {300, "MOV - Quick Time Video (*.mov)"},
        {403, "H.264/MPEG-4 AVC Video (*.mp4)"},
        {408, "DV - NTSC -Digital Video Format (*.dv)"},
        {409, "DV - PAL -Digital Video Format (*.dv)"},
        {501, "AAC Advenced Audio Codec (*.aac)"},
        {503, "WMA - Windows Meida Audio (*.wma)"},
        {506, "AC-3 Audio Codec (*.ac3)"},
    };
    for (const auto& p : profiles) {
        SCOPED_TRACE(p.code);
        EXPECT_EQ(ProfileNameForCode(p.code), QString::fromLatin1(p.name));
        EXPECT_EQ(ProfileCodeForName(QString::fromLatin1(p.name)), p.code);
        EXPECT_EQ(ProfileCodeForName(QString::fromLatin1(p.name).toUpper()), p.code) << "case-insensitive";
    }

    QSet<QString> seen;
    for (int code : ProfileCodes()) {
        const auto name = ProfileNameForCode(code);
        ASSERT_TRUE(name.has_value()) << code;
        EXPECT_FALSE(seen.contains(name->toLower())) << "names must be unique: " << str(*name);
        seen.insert(name->toLower());
        EXPECT_EQ(ProfileCodeForName(*name), code);
    }

    for (int code : {-1, -100, 9, 99, 105, 206, 301, 410, 507, 600, 5100})
        EXPECT_FALSE(ProfileNameForCode(code).has_value()) << code;
    for (const char* name : {"", "iPod Video MPEG-4", "Apple iPod Video MPEG-4 Movie (*.mp4)", "Apple iPod",
                             " MOV - Quick Time Video (*.mov)"})
        EXPECT_FALSE(ProfileCodeForName(QString::fromLatin1(name)).has_value()) << name;

    EXPECT_EQ(FormatSectionName(203), "formatInfo203");
    EXPECT_EQ(FormatSectionName(0), "formatInfo0");
}

// ---------------------------------------------------------------------------
// The shipped catalogue file

const QString kCatalogueFile = QStringLiteral(CLARVIX_SOURCE_DIR "/data/quenvoipodformat.ini");

// The nine choice lists, in the order of their boxes.
const QStringList kListKeys{"VideoSize",  "VideoBitRate", "FrameRate", "VideoEncoder", "AudioBitRate",
                            "SampleRate", "AudioEncoder", "Channel",   "Volume"};
const QStringList kVideoListKeys{"VideoSize", "VideoBitRate", "FrameRate", "VideoEncoder"};
const QStringList kH264Extras{"paraBitExact", "paraMaxBitrate", "paraBufferSize", "paraLevel",
                              "paraQscale",   "paraGop",        "paraCoder"};

// One profile's catalogue section, read through the settings store as the
// program reads it.
class TShippedProfile {
public:
    TShippedProfile(const IniFile& ini, int code) : ini_(ini), code_(code), section_(FormatSectionName(code)) {}

    int Code() const { return code_; }
    QString Value(const QString& key) const { return ini_.ReadString(section_, key, QStringLiteral("null")); }
    bool Has(const QString& key) const { return ini_.ValueExists(section_, key); }
    // The entries of a choice list; none for "null".
    QStringList List(const QString& key) const
    {
        const QString value = Value(key);
        return value == QLatin1String("null") ? QStringList() : ParseChoiceList(value);
    }
    int DefaultIndex(const QString& key) const { return ini_.ReadInteger(section_, QLatin1Char('i') + key, -1); }
    QString DefaultChoice(const QString& key) const { return List(key).value(DefaultIndex(key)); }
    bool IsAudioOnly() const { return List(QStringLiteral("VideoEncoder")).isEmpty(); }
    QStringList StoredVideoEncoders() const
    {
        QStringList stored;
        for (const QString& display : List(QStringLiteral("VideoEncoder")))
            stored << VideoEncoderValue(display).value_or(QString());
        return stored;
    }
    QStringList StoredAudioEncoders() const
    {
        QStringList stored;
        for (const QString& display : List(QStringLiteral("AudioEncoder")))
            stored << AudioEncoderValue(display).value_or(QString());
        return stored;
    }
    bool OffersH264() const { return StoredVideoEncoders().contains(QStringLiteral("libx264")); }

private:
    const IniFile& ini_;
    int code_;
    QString section_;
};

class ShippedCatalogue : public ::testing::Test {
protected:
    IniFile ini{kCatalogueFile};

    std::vector<TShippedProfile> profiles() const
    {
        std::vector<TShippedProfile> all;
        for (int code : ProfileCodes())
            all.emplace_back(ini, code);
        return all;
    }
};

bool isPositiveInteger(const QString& text)
{
    int value = 0;
    return TryStrToInt(text, value) && value > 0 && text.trimmed() == text;
}

bool isPositiveNumber(const QString& text)
{
    double value = 0;
    return (isPositiveInteger(text) || (TryStrToFloat(text, value) && value > 0)) && text.trimmed() == text;
}

bool isAsSource(const QString& text)
{
    return text == QLatin1String("as source");
}

// Width and height of a "WxH" entry; false for anything else.
bool parseFrameSize(const QString& text, int& width, int& height)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    return parts.size() == 2 && isPositiveInteger(parts[0]) && isPositiveInteger(parts[1]) &&
           TryStrToInt(parts[0], width) && TryStrToInt(parts[1], height);
}

// Why an entry cannot stand in its box, or empty when it can.
QString entryFault(const QString& key, const QString& entry)
{
    if (key == QLatin1String("VideoSize")) {
        int width = 0, height = 0;
        if (isAsSource(entry))
            return {};
        if (!parseFrameSize(entry, width, height))
            return QStringLiteral("not WxH");
        return width % 2 == 0 && height % 2 == 0 ? QString() : QStringLiteral("odd frame size");
    }
    if (key == QLatin1String("VideoBitRate") || key == QLatin1String("SampleRate"))
        return isAsSource(entry) || isPositiveInteger(entry) ? QString() : QStringLiteral("not an integer");
    if (key == QLatin1String("FrameRate") || key == QLatin1String("AudioBitRate"))
        return isAsSource(entry) || isPositiveNumber(entry) ? QString() : QStringLiteral("not a number");
    if (key == QLatin1String("VideoEncoder"))
        return VideoEncoderValue(entry) ? QString() : QStringLiteral("no video encoder");
    if (key == QLatin1String("AudioEncoder"))
        return AudioEncoderValue(entry) ? QString() : QStringLiteral("no audio encoder");
    if (key == QLatin1String("Channel"))
        return ChannelValue(entry) ? QString() : QStringLiteral("no channel choice");
    if (key == QLatin1String("Volume")) {
        try {
            return VolumeValue(entry) ? QString() : QStringLiteral("no volume step");
        } catch (const EConvertError&) {
            return QStringLiteral("not a percentage");
        }
    }
    return QStringLiteral("unknown box");
}

TEST_F(ShippedCatalogue, HoldsExactlyOneSectionPerProfile)
{
    ASSERT_TRUE(QFile::exists(kCatalogueFile));
    QStringList expected;
    for (int code : ProfileCodes())
        expected << FormatSectionName(code);
    QStringList sections = ini.ReadSections();
    EXPECT_EQ(sections.size(), 38);
    EXPECT_EQ(QSet<QString>(sections.begin(), sections.end()).size(), sections.size()) << "a section appears twice";
    std::sort(expected.begin(), expected.end());
    std::sort(sections.begin(), sections.end());
    EXPECT_EQ(sections, expected);
}

TEST_F(ShippedCatalogue, EveryListEntryFitsItsBoxAndEveryDefaultIsInItsList)
{
    for (const auto& profile : profiles()) {
        SCOPED_TRACE(profile.Code());
        const bool audioOnly = profile.Code() / 100 == 5;
        for (const QString& key : kListKeys) {
            SCOPED_TRACE(str(key));
            ASSERT_TRUE(profile.Has(key));
            ASSERT_TRUE(profile.Has(QLatin1Char('i') + key));
            const QStringList entries = profile.List(key);
            if (audioOnly && kVideoListKeys.contains(key)) {
                EXPECT_EQ(profile.Value(key), "null") << "audio profiles disable the video boxes";
                continue;
            }
            ASSERT_FALSE(entries.isEmpty()) << "an empty box would reject its own default";
            for (const QString& entry : entries)
                EXPECT_EQ(entryFault(key, entry), QString()) << '"' << str(entry) << '"';
            EXPECT_EQ(QSet<QString>(entries.begin(), entries.end()).size(), entries.size())
                << "the boxes select by text, so a repeated entry is ambiguous";
            const int index = profile.DefaultIndex(key);
            EXPECT_GE(index, 0);
            EXPECT_LT(index, entries.size());
        }
    }
}

TEST_F(ShippedCatalogue, ContainerAndExtensionMatchTheProfile)
{
    static const QRegularExpression nameExtension(QStringLiteral("\\(\\*\\.(\\w+)\\)$"));
    static const QSet<QString> targets{"ntsc-dvd", "pal-dvd", "ntsc-vcd", "pal-vcd", "ntsc-svcd", "pal-svcd"};
    for (const auto& profile : profiles()) {
        SCOPED_TRACE(profile.Code());
        const auto match = nameExtension.match(*ProfileNameForCode(profile.Code()));
        ASSERT_TRUE(match.hasMatch());
        EXPECT_EQ(profile.Value("FileExt"), match.captured(1));

        const QString format = profile.Value("Format").toLower();
        if (!targets.contains(format)) {
            EXPECT_NE(av_guess_format(format.toUtf8().constData(), nullptr, nullptr), nullptr)
                << "no muxer named " << str(format);
        }
        const QByteArray fileName = ("x." + profile.Value("FileExt")).toUtf8();
        EXPECT_NE(av_guess_format(nullptr, fileName.constData(), nullptr), nullptr);
    }
}

// The installed library's names for the encoders the settings store.
QString installedEncoderName(const QString& stored)
{
    if (stored == QLatin1String("libfaac"))
        return QStringLiteral("aac");
    if (stored == QLatin1String("vorbis"))
        return QStringLiteral("libvorbis");
    if (stored == QLatin1String("libflac"))
        return QStringLiteral("flac");
    return stored;
}

const AVCodec* installedEncoder(const QString& stored)
{
    return avcodec_find_encoder_by_name(installedEncoderName(stored).toUtf8().constData());
}

// The muxer a conversion with this profile writes: the video path takes the
// catalogue's keyword when the conversion acts on it, otherwise (and always on
// the audio path) the output file's extension decides.
const AVOutputFormat* outputMuxer(const TShippedProfile& profile)
{
    static const QSet<QString> actedOn{"ipod", "3gp", "3g2", "avi", "psp", "mov", "vcd", "flv", "mpegts", "vob"};
    const QString format = profile.Value("Format").toLower();
    if (!profile.IsAudioOnly() && actedOn.contains(format))
        return av_guess_format(format.toUtf8().constData(), nullptr, nullptr);
    return av_guess_format(nullptr, ("x." + profile.Value("FileExt")).toUtf8().constData(), nullptr);
}

TEST_F(ShippedCatalogue, OfferedEncodersExistInTheInstalledLibraryAndFitTheContainer)
{
    for (const auto& profile : profiles()) {
        SCOPED_TRACE(profile.Code());
        const AVOutputFormat* muxer = outputMuxer(profile);
        ASSERT_NE(muxer, nullptr);
        for (const QString& stored : profile.StoredVideoEncoders() + profile.StoredAudioEncoders()) {
            SCOPED_TRACE(str(stored));
            const AVCodec* encoder = installedEncoder(stored);
            ASSERT_NE(encoder, nullptr) << "the installed FFmpeg has no such encoder";
            // 0 means the muxer refuses the codec; a negative answer means it does not say.
            EXPECT_NE(avformat_query_codec(muxer, encoder->id, FF_COMPLIANCE_NORMAL), 0)
                << muxer->name << " cannot hold " << encoder->name;
        }
    }
}

TEST_F(ShippedCatalogue, OfferedRatesAndChannelsAreOnesTheEncodersTake)
{
    for (const auto& profile : profiles()) {
        SCOPED_TRACE(profile.Code());
        for (const QString& stored : profile.StoredAudioEncoders()) {
            const AVCodec* encoder = installedEncoder(stored);
            ASSERT_NE(encoder, nullptr) << str(stored);
            SCOPED_TRACE(encoder->name);
            if (encoder->supported_samplerates)
                for (const QString& rate : profile.List("SampleRate")) {
                    if (isAsSource(rate))
                        continue;
                    bool supported = false;
                    for (const int* r = encoder->supported_samplerates; *r; ++r)
                        supported = supported || *r == rate.toInt();
                    EXPECT_TRUE(supported) << str(rate) << " Hz";
                }
            if (encoder->ch_layouts)
                for (const QString& channel : profile.List("Channel")) {
                    const int count = ChannelValue(channel).value_or(QString()).toInt();
                    if (count <= 0)
                        continue;
                    bool supported = false;
                    for (const AVChannelLayout* l = encoder->ch_layouts; l->nb_channels; ++l)
                        supported = supported || l->nb_channels == count;
                    EXPECT_TRUE(supported) << count << " channels";
                }
        }
        // MPEG-1 and MPEG-2 video know only the rates of their standard table;
        // the library lists further ones that it refuses at normal strictness.
        static const double mpegRates[] = {24000.0 / 1001, 24, 25, 30000.0 / 1001, 30, 50, 60000.0 / 1001, 60};
        for (const QString& stored : profile.StoredVideoEncoders()) {
            if (stored != "mpeg1video" && stored != "mpeg2video")
                continue;
            for (const QString& rate : profile.List("FrameRate")) {
                ASSERT_FALSE(isAsSource(rate)) << str(stored) << " needs a rate of its table";
                const bool supported = std::any_of(std::begin(mpegRates), std::end(mpegRates),
                                                   [&](double r) { return std::abs(r - rate.toDouble()) < 0.01; });
                EXPECT_TRUE(supported) << str(rate) << " fps for " << str(stored);
            }
        }
    }
}

TEST_F(ShippedCatalogue, MpegAndDvProfilesKeepTheirStandardsRules)
{
    // DV has one frame size and rate per TV standard and carries 16-bit PCM at 48 kHz.
    const struct {
        int code;
        QString size;
        QString rate;
    } dv[] = {{408, "720x480", "29.97"}, {409, "720x576", "25"}};
    for (const auto& d : dv) {
        SCOPED_TRACE(d.code);
        const TShippedProfile profile(ini, d.code);
        EXPECT_EQ(profile.StoredVideoEncoders(), QStringList{"dvvideo"});
        EXPECT_EQ(profile.List("VideoSize"), QStringList{d.size});
        EXPECT_EQ(profile.List("FrameRate"), QStringList{d.rate});
        EXPECT_EQ(profile.StoredAudioEncoders(), QStringList{"pcm_s16le"});
        EXPECT_EQ(profile.List("SampleRate"), QStringList{"48000"});
        EXPECT_EQ(profile.List("Channel"), QStringList{"stereo 2 channels"});
    }

    // An MPEG-2 video encoder gets the DVD target, whose peak rate of 9000
    // kbit/s the encoder refuses to exceed.
    for (const auto& profile : profiles()) {
        if (!profile.StoredVideoEncoders().contains("mpeg2video"))
            continue;
        SCOPED_TRACE(profile.Code());
        for (const QString& rate : profile.List("VideoBitRate")) {
            ASSERT_TRUE(isPositiveInteger(rate)) << str(rate) << ": a source's rate may exceed the peak";
            EXPECT_LE(rate.toInt(), 9000);
        }
    }
}

TEST_F(ShippedCatalogue, H264ExtrasAreCopyableWhereH264IsOffered)
{
    for (const auto& profile : profiles()) {
        if (!profile.OffersH264())
            continue;
        SCOPED_TRACE(profile.Code());
        for (const QString& key : kH264Extras)
            EXPECT_TRUE(profile.Has(key)) << str(key);
        const QString bitExact = profile.Value("paraBitExact").toLower();
        EXPECT_TRUE(bitExact == "true" || bitExact == "false") << str(bitExact);
        // Copying converts these to integers; text that is not one would stop the copy.
        for (const QString& key : kH264Extras.mid(1)) {
            int value = -1;
            EXPECT_TRUE(TryStrToInt(profile.Value(key), value) && value >= 0) << str(key);
        }
        const int coder = StrToIntDef(profile.Value("paraCoder"), -1);
        EXPECT_TRUE(coder == 0 || coder == 1) << "entropy coder " << coder;
        static const QSet<int> levels{0, 10, 11, 12, 13, 20, 21, 22, 30, 31, 32, 40, 41, 42, 50, 51, 52};
        EXPECT_TRUE(levels.contains(StrToIntDef(profile.Value("paraLevel"), -1))) << str(profile.Value("paraLevel"));
    }
}

// What the Apple devices play, as published for each family.
struct TAppleLimits {
    int firstCode, lastCode;
    int maxWidth, maxHeight, maxFps;
    int h264MaxKbps, h264MaxLevel;
    bool h264BaselineOnly;
    int mpeg4MaxKbps;
};

const TAppleLimits kAppleLimits[] = {
    {0, 8, 640, 480, 30, 1500, 30, true, 2500},       // iPod
    {100, 102, 640, 480, 30, 1500, 30, true, 2500},   // iPhone
    {103, 103, 720, 480, 30, 1500, 30, true, 2500},   // iPhone, 480p TV out
    {104, 104, 720, 576, 30, 1500, 30, true, 2500},   // iPhone, 576p TV out
    {200, 205, 1280, 720, 30, 5000, 31, false, 3000}, // Apple TV
};

// H.264 level limits: frame size in macroblocks, macroblocks per second, and
// the coded picture buffer of the Baseline and Main profiles in kbit.
struct TH264Level {
    int level, maxFrameMbs, maxMbsPerSecond, maxCpbKbit;
};
constexpr TH264Level kH264Levels[] = {{30, 1620, 40500, 10000}, {31, 3600, 108000, 14000}};

TEST_F(ShippedCatalogue, AppleProfilesOfferOnlyWhatTheDevicesPlay)
{
    // Every choice is checked, so the defaults and anything the user picks
    // from the lists stay playable.
    int checked = 0;
    for (const auto& limits : kAppleLimits)
        for (int code = limits.firstCode; code <= limits.lastCode; ++code) {
            SCOPED_TRACE(code);
            ++checked;
            const TShippedProfile profile(ini, code);
            const QStringList video = profile.StoredVideoEncoders();
            ASSERT_FALSE(video.isEmpty());
            int maxKbps = 1 << 30;
            for (const QString& encoder : video) {
                ASSERT_TRUE(encoder == "mpeg4" || encoder == "libx264") << str(encoder);
                maxKbps = std::min(maxKbps, encoder == "libx264" ? limits.h264MaxKbps : limits.mpeg4MaxKbps);
            }

            int maxFrameMbs = 0;
            for (const QString& size : profile.List("VideoSize")) {
                int width = 0, height = 0;
                ASSERT_TRUE(parseFrameSize(size, width, height)) << str(size);
                EXPECT_LE(width, limits.maxWidth) << str(size);
                EXPECT_LE(height, limits.maxHeight) << str(size);
                maxFrameMbs = std::max(maxFrameMbs, ((width + 15) / 16) * ((height + 15) / 16));
            }
            double maxFps = 0;
            for (const QString& rate : profile.List("FrameRate")) {
                ASSERT_TRUE(isPositiveNumber(rate)) << str(rate);
                EXPECT_LE(rate.toDouble(), limits.maxFps) << str(rate);
                maxFps = std::max(maxFps, rate.toDouble());
            }
            for (const QString& rate : profile.List("VideoBitRate")) {
                ASSERT_TRUE(isPositiveInteger(rate)) << str(rate);
                EXPECT_LE(rate.toInt(), maxKbps) << str(rate);
            }

            EXPECT_EQ(profile.StoredAudioEncoders(), QStringList{"libfaac"}) << "AAC-LC only";
            for (const QString& rate : profile.List("AudioBitRate")) {
                ASSERT_TRUE(isPositiveNumber(rate)) << str(rate);
                EXPECT_LE(rate.toDouble(), 160) << str(rate);
            }
            for (const QString& rate : profile.List("SampleRate"))
                EXPECT_TRUE(rate == "44100" || rate == "48000") << str(rate);
            for (const QString& channel : profile.List("Channel")) {
                const int count = ChannelValue(channel).value_or(QString()).toInt();
                EXPECT_TRUE(count == 1 || count == 2) << str(channel);
            }

            if (!profile.OffersH264())
                continue;
            const int level = StrToIntDef(profile.Value("paraLevel"), 0);
            EXPECT_GT(level, 0);
            EXPECT_LE(level, limits.h264MaxLevel);
            const auto* spec = std::find_if(std::begin(kH264Levels), std::end(kH264Levels),
                                            [&](const TH264Level& l) { return l.level == level; });
            ASSERT_NE(spec, std::end(kH264Levels)) << "level " << level;
            EXPECT_LE(maxFrameMbs, spec->maxFrameMbs) << "a frame size exceeds level " << level;
            EXPECT_LE(maxFrameMbs * maxFps, spec->maxMbsPerSecond) << "a size and rate exceed level " << level;
            const int maxRate = StrToIntDef(profile.Value("paraMaxBitrate"), 0);
            EXPECT_GT(maxRate, 0);
            EXPECT_LE(maxRate, limits.h264MaxKbps);
            const int buffer = StrToIntDef(profile.Value("paraBufferSize"), 0);
            EXPECT_GT(buffer, 0);
            EXPECT_LE(buffer, spec->maxCpbKbit);
            if (limits.h264BaselineOnly) {
                EXPECT_EQ(profile.Value("paraCoder"), "0") << "Baseline has no CABAC";
            }
        }
    EXPECT_EQ(checked, 20) << "every Apple profile has its limits";
}

} // namespace
