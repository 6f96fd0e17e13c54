#include "jobs/FileListRules.h"

#include "app/IniFile.h"
#include "support/TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The filter exactly as the open dialog of the Add command must offer it.
const char* const ExpectedFilter =
    "All Supported Video Formats|"
    "*.AVI;*.AVM;*.ASF;*.WMV;*.AVS;*.FLV;*.MKV;*.MOV;*.3GP;*.3G2;*.M4V;*.MP4;*.MPG;*.MPEG;*.DAT;*.OGM"
    ";*.VOB;*.RM;*.RMVB;*.TS;*.TP;*.IFO;*.NSV;*.SWF;|All Supported Audio Formats|"
    "*.MP3;*.AAC;*.WAV;*.WMA;*.OGG;*.CDA;*.FLAC;*.M4A;*.MID;*.MKA;*.MP2;*.MPA;*.MPC;*.APE;*.OFR;*.OGG"
    ";*.RA;*.WV;*.TTA;*.AC3;*.DTS;|AVI files (*.avi)|*.avi|MPEG4 files (*.mp4)|*.mp4|"
    "MPEG files (*.mpg,*.mpeg)|*.mpg;*.mpeg|3GP files (*.3gp,*.3g2)|*.3gp;*.3g2|"
    "Itunes Video files (*.m4v)|*.m4v|Windows Media files (*.wmv,*.asf)|*.wmv;*.asf|"
    "Real Media files (*.rm,*.rmvb)|*.rm;*.rmvb|Video CD files (*.dat)|*.dat|"
    "Quick Time files (*.mov)|*.mov|Flash Video files (*.flv)|*.flv|Matroska Video files (*.mkv)|"
    "*.mkv|MJPEG Video files (*.mjpg,*.mjpeg)|*.mjpg;*.mjpeg|Animated GIF files (*.gif)|*.gif|"
    "H.264/MPEG4 AVC Video files (*.mts,*.m2ts)|*.mts;*.m2ts|DVD video object files (*.vob)|*.vob|"
    "MPEG-1 Video files (*.mpv)|*.mpv|Video Transport Stream files (*.ts)|*.ts|TP Video files (*.tp)|"
    "*.tp|Maceomeida Flash files (*.swf)|*.swf|MP3 Audio files (*.mp3)|*.mp3|"
    "Advanced Audio Coding files (*.aac)|*.aac|Monkey's Audio files (*.ape)|*.ape|"
    "Ogg Vorbis Audio files (*.ogg)|*.ogg|Windows Media Audio files (*.wma)|*.wma|"
    "MusePack Audio files (*.mpc)|*.mpc|MPEG Audio files (*.mpa)|*.mpa|MPEG-4 Audio files (*.m4a)|"
    "*.m4a|Matroska Audio files (*.mka)|*.mka|DTS Audio files (*.dts)|*.dts|"
    "Audio Codec 3 files (*.ac3)|*.ac3|Speex Audio files (*.spx)|*.spx|Real Audio files (*.ra,*.ram)|"
    "*.ra;*.ram|MPEG Layer II Compressed Audio files (*.mp2)|*.mp2|All files (*.*)|*.*";

} // namespace

TEST(OpenDialogFilter, IsTheWholeLiteral)
{
    EXPECT_EQ(OpenDialogFilterText(), QString::fromLatin1(ExpectedFilter));
}

TEST(OpenDialogFilter, BecomesOneQtFilterPerPair)
{
    const QStringList filters = OpenDialogNameFilters(OpenDialogFilterText());
    ASSERT_EQ(filters.size(), 36);
    // The trailing ";" of the first two lists gives no empty pattern.
    EXPECT_TRUE(filters[0].startsWith("All Supported Video Formats (*.AVI *.AVM *.ASF "));
    EXPECT_TRUE(filters[0].endsWith(" *.NSV *.SWF)"));
    EXPECT_TRUE(filters[1].startsWith("All Supported Audio Formats (*.MP3 *.AAC "));
    EXPECT_TRUE(filters[1].endsWith(" *.AC3 *.DTS)"));
    EXPECT_EQ(filters[4], QString("MPEG files (*.mpg,*.mpeg) (*.mpg *.mpeg)"));
    EXPECT_EQ(filters[20], QString("Maceomeida Flash files (*.swf) (*.swf)"));
    // "*.*" means every file, also names without a dot.
    EXPECT_EQ(filters.last(), QString("All files (*.*) (*)"));
}

TEST(OpenDialogFilter, OddTextsKeepWhatCanBeUsed)
{
    struct Case
    {
        const char* text;
        QStringList filters;
    };
    const Case cases[] = {
        {"", {}},
        {"Only a description", {}},
        {"Videos|*.avi;;*.mp4;|Dangling", {"Videos (*.avi *.mp4)"}},
        {"Nothing|;;|Any|*.*", {"Any (*)"}},
        {"Spaced| *.a ; *.b ", {"Spaced (*.a *.b)"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OpenDialogNameFilters(QString::fromLatin1(c.text)), c.filters) << c.text;
}

TEST(NewSources, DirectoriesAndListedPathsAreSkipped)
{
    TTemporaryFolder temp;
    const QString folder = temp.FilePath("clips");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = temp.FilePath("clip.mp4");
    const QStringList listed{file};

    EXPECT_EQ(DecideNewSource(folder, {}), TSourceDecision::SkipDirectory);
    EXPECT_EQ(DecideNewSource(file, listed), TSourceDecision::SkipListed);
    // Another case is another file here.
    EXPECT_EQ(DecideNewSource(temp.FilePath("CLIP.mp4"), listed), TSourceDecision::Add);
    EXPECT_EQ(DecideNewSource(temp.FilePath("clip.MP4"), listed), TSourceDecision::Add);
    // Whether a file can be opened is the engine's question, not this one's.
    EXPECT_EQ(DecideNewSource(temp.FilePath("not there.avi"), listed), TSourceDecision::Add);
}

class AddBatchTest : public ::testing::Test
{
protected:
    AddBatchTest() : Settings(Temp.FilePath("settings.ini")), Catalogue(Temp.FilePath("catalogue.ini")) {}

    TTemporaryFolder Temp;
    IniFile Settings;
    IniFile Catalogue;
};

TEST_F(AddBatchTest, WithoutAnyValueTheFirstProfileAndItsDefaults)
{
    const TAddBatch batch = ReadAddBatch(Settings, Catalogue);
    EXPECT_EQ(batch.FormatCode, 1);
    EXPECT_EQ(batch.Suffix, QString("_ipod.mp4"));
    EXPECT_EQ(batch.Zoom, QString("lbox"));
}

TEST_F(AddBatchTest, ReadsTheChosenProfilesExtensionAndZoom)
{
    Settings.WriteString("settings", "FormatCode", "300");
    Settings.WriteString("formatInfo300", "parazoom", "pan");
    Settings.WriteString("formatInfo1", "parazoom", "full"); // another profile's
    Catalogue.WriteString("formatInfo300", "FileExt", "mov");
    Catalogue.WriteString("formatInfo1", "FileExt", "m4v");

    const TAddBatch batch = ReadAddBatch(Settings, Catalogue);
    EXPECT_EQ(batch.FormatCode, 300);
    EXPECT_EQ(batch.Suffix, QString("_ipod.mov"));
    EXPECT_EQ(batch.Zoom, QString("pan"));
}

TEST_F(AddBatchTest, AFormatCodeThatIsNoNumberReadsAsTheFirstProfile)
{
    Settings.WriteString("settings", "FormatCode", "ipod");
    Catalogue.WriteString("formatInfo1", "FileExt", "m4v");
    EXPECT_EQ(ReadAddBatch(Settings, Catalogue).Suffix, QString("_ipod.m4v"));
}

TEST(NewRows, DurationsInWholeSeconds)
{
    const std::pair<qint64, qint32> cases[] = {
        {-1, 0}, {0, 0}, {999999, 0}, {1000000, 1}, {61999999, 61}, {7200000000LL, 7200},
    };
    for (const auto& [microseconds, seconds] : cases)
        EXPECT_EQ(WholeSeconds(microseconds), seconds) << microseconds;
}

TEST(NewRows, RecordAndColumnsOfANewRow)
{
    const TlvFilesRecord record =
        NewJobRecord(2, "/clips/holiday.avi", "/out/holiday_(new)_ipod.mp4", 61500000, "center");
    EXPECT_EQ(record.AddIndex, 2);
    EXPECT_EQ(record.FileName, QString("/clips/holiday.avi"));
    EXPECT_EQ(record.OutputFile, QString("/out/holiday_(new)_ipod.mp4"));
    EXPECT_EQ(record.Duration, 61);
    EXPECT_EQ(record.Zoom, QString("center"));
    // Everything the editors set starts neutral.
    EXPECT_EQ(record.StartTime, 0);
    EXPECT_EQ(record.TrimDuration, 0);
    EXPECT_EQ(record.CropTop + record.CropLeft + record.CropBottom + record.CropRight, 0);
    EXPECT_EQ(record.EditCropTop + record.EditCropLeft + record.EditCropBottom + record.EditCropRight, 0);
    EXPECT_TRUE(record.WaterMarkText.isEmpty());
    EXPECT_TRUE(record.WaterMarkImage.isEmpty());
    EXPECT_EQ(record.TextFont.Font.family(), QString("MS Sans Serif"));
    EXPECT_EQ(record.TextFont.Font.pointSize(), 8);
    EXPECT_EQ(record.TextFont.Color, QColor(Qt::black));
    EXPECT_EQ(record.ImageAlpha, 168);
    EXPECT_EQ(record.TransparentStyle, 1);
    EXPECT_EQ(record.Brightness, 255);
    EXPECT_EQ(record.Contrast, 0);
    EXPECT_EQ(record.Saturation, 255);
    EXPECT_EQ(record.Exposure, 0);
    EXPECT_FALSE(record.ProcessText);
    EXPECT_FALSE(record.ProcessImage);

    EXPECT_EQ(NewRowTexts(record),
              (QStringList{"/clips/holiday.avi", "61", "61", "holiday_(new)_ipod.mp4", ""}));
}

TEST(RemovingRows, TheSelectionMovesToTheRowNowAtThePosition)
{
    struct Case
    {
        int removed, left, selected;
    };
    const Case cases[] = {
        {4, 4, 3},  // the last of five: the new last row
        {1, 4, 1},  // a middle row: its follower moved up into its place
        {0, 4, 0},  // the first
        {0, 0, -1}, // the only row: nothing to select
    };
    for (const Case& c : cases)
        EXPECT_EQ(RowToSelectAfterRemoval(c.removed, c.left), c.selected)
            << c.removed << " of " << c.left + 1;
}

namespace {

std::vector<TFileListCommand> Commands(const std::vector<TCommandEnabling>& items)
{
    std::vector<TFileListCommand> commands;
    for (const TCommandEnabling& item : items)
        commands.push_back(item.Command);
    std::sort(commands.begin(), commands.end());
    return commands;
}

std::optional<bool> EnabledOf(const std::vector<TCommandEnabling>& items, TFileListCommand command)
{
    for (const TCommandEnabling& item : items)
        if (item.Command == command)
            return item.Enabled;
    return std::nullopt;
}

} // namespace

TEST(MenuEnabling, EachMenuSetsItsOwnItems)
{
    using C = TFileListCommand;
    EXPECT_EQ(Commands(MenuEnablingOnOpen(TFileListMenu::Edit, 1, true)),
              (std::vector<C>{C::Crop, C::Trim, C::WaterMark, C::CheckAll, C::UncheckAll, C::ReverseCheck,
                              C::Check, C::Uncheck}));
    EXPECT_EQ(Commands(MenuEnablingOnOpen(TFileListMenu::Popup, 1, true)),
              (std::vector<C>{C::Add, C::Remove, C::Clear, C::Start, C::Crop, C::Trim, C::WaterMark,
                              C::Information}));
}

TEST(MenuEnabling, SelectionCommandsNeedRowsAndASelectedOne)
{
    struct Case
    {
        int rows;
        bool selected;
        bool enabled;
    };
    const Case cases[] = {
        {0, false, false}, {0, true, false}, {3, false, false}, {3, true, true}, {1, true, true}};
    for (const TFileListMenu menu : {TFileListMenu::Edit, TFileListMenu::Popup})
        for (const Case& c : cases) {
            for (const TCommandEnabling& item : MenuEnablingOnOpen(menu, c.rows, c.selected)) {
                // "Check All" too: without a selected row even it is off.
                const bool expected = item.Command == TFileListCommand::Add ? true : c.enabled;
                EXPECT_EQ(item.Enabled, expected) << int(menu) << " item " << int(item.Command) << " rows "
                                                  << c.rows << " selected " << c.selected;
            }
            EXPECT_EQ(EnabledOf(MenuEnablingOnOpen(TFileListMenu::Popup, c.rows, c.selected),
                                TFileListCommand::Add),
                      std::optional<bool>(true));
        }
}
