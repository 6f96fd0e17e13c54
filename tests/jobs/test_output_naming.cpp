#include "jobs/OutputNaming.h"

#include "app/GlobalObject.h"
#include "app/IniFile.h"
#include "platform/DialogService.h"
#include "platform/ShellOpener.h"
#include "support/TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

// A settings file and an output folder in a temporary folder, with a recorder
// for the warning and a default folder that exists only when made.
class OutputNamingTest : public ::testing::Test
{
protected:
    OutputNamingTest()
        : Settings(Temp.FilePath("quenvoipodclarvix.ini")), Output(Temp.FilePath("out")),
          DefaultFolder(Temp.FilePath("home/clarvix")), Scope(Recorder)
    {
        QDir().mkpath(Output);
        WriteOutputFolder(Settings, Output);
    }

    QString Name(const QString& source, const QString& suffix, TNamesHandedOut* handedOut = nullptr)
    {
        return MakeDestinationName(Settings, DefaultFolder, source, suffix, handedOut);
    }

    TTemporaryFolder Temp;
    IniFile Settings;
    QString Output;
    QString DefaultFolder;
    TRecordingDialogs Recorder;
    TScopedDialogs Scope;
};

} // namespace

TEST(OutputNamingRules, BaseNameDropsOnlyTheLastExtension)
{
    struct Case
    {
        const char* Source;
        const char* Base;
    };
    const Case cases[] = {
        {"/clips/holiday.avi", "holiday"},
        {"/clips/archive.tar.gz", "archive.tar"},
        {"/clips/no_extension", "no_extension"},
        {"/clips.d/no_extension", "no_extension"}, // a dot in a folder name is not an extension
        {"/clips/trailing.", "trailing"},
        {"/clips/.hidden", ""},
        {"relative name.mkv", "relative name"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SourceBaseName(c.Source), QString(c.Base)) << c.Source;
}

TEST(OutputNamingRules, SuffixesAndTrailingSlash)
{
    EXPECT_EQ(FileListSuffix("mp4"), "_ipod.mp4");
    EXPECT_EQ(ConversionSuffix("mp4"), ".mp4");
    EXPECT_EQ(WithTrailingSlash("/data/out"), "/data/out/");
    EXPECT_EQ(WithTrailingSlash("/data/out/"), "/data/out/");
}

TEST_F(OutputNamingTest, ConversionAndListNamesOfTheSameSourceDiffer)
{
    EXPECT_EQ(Name("/clips/holiday.avi", ConversionSuffix("mp4")), Output + "/holiday_(new).mp4");
    EXPECT_EQ(Name("/clips/holiday.avi", FileListSuffix("mp4")), Output + "/holiday_(new)_ipod.mp4");
    EXPECT_TRUE(Recorder.Boxes.empty());
    EXPECT_FALSE(QFileInfo::exists(Output + "/holiday_(new).mp4")) << "naming must not create the file";
}

TEST_F(OutputNamingTest, FirstFreeMarkerWins)
{
    struct Case
    {
        QStringList Present;
        const char* Expected;
    };
    const std::vector<Case> cases = {
        {{}, "holiday_(new).mp4"},
        {{"holiday_(new).mp4"}, "holiday_(new_1).mp4"},
        {{"holiday_(new).mp4", "holiday_(new_1).mp4"}, "holiday_(new_2).mp4"},
        {{"holiday_(new).mp4", "holiday_(new_2).mp4"}, "holiday_(new_1).mp4"}, // a gap is reused
        {{"holiday_(new_1).mp4"}, "holiday_(new).mp4"},
        {{"holiday_(new).avi", "holiday_(new)_ipod.mp4"}, "holiday_(new).mp4"}, // other suffixes do not count
    };
    for (const Case& c : cases) {
        TTemporaryFolder folder;
        WriteOutputFolder(Settings, folder.Path());
        for (const QString& present : c.Present)
            Touch(folder.FilePath(present));
        EXPECT_EQ(Name("/clips/holiday.avi", ".mp4"), folder.FilePath(c.Expected))
            << "present: " << c.Present.join(", ").toStdString();
    }
}

TEST_F(OutputNamingTest, AFolderOrLinkWithTheCandidateNameCountsAsTaken)
{
    QDir().mkpath(Output + "/holiday_(new).mp4");
    QFile::link(Output + "/nowhere", Output + "/holiday_(new_1).mp4"); // dangling
    EXPECT_EQ(Name("/clips/holiday.avi", ".mp4"), Output + "/holiday_(new_2).mp4");
}

TEST_F(OutputNamingTest, FolderEndingInASlashGetsNoSecondOne)
{
    WriteOutputFolder(Settings, Output + "/");
    EXPECT_EQ(Name("/clips/holiday.avi", ".mp4"), Output + "/holiday_(new).mp4");
}

TEST_F(OutputNamingTest, SameBaseNameInOneRunGetsDistinctNames)
{
    TNamesHandedOut run;
    const QString first = Name("/clips/a/clip.avi", ".mp4", &run);
    const QString second = Name("/clips/b/clip.mkv", ".mp4", &run);
    const QString third = Name("/clips/c/clip.mp4", ".mp4", &run);
    EXPECT_EQ(first, Output + "/clip_(new).mp4");
    EXPECT_EQ(second, Output + "/clip_(new_1).mp4");
    EXPECT_EQ(third, Output + "/clip_(new_2).mp4");
    EXPECT_EQ(run, (TNamesHandedOut{first, second, third}));

    // The file list computes its names without a run and shows the same name twice.
    EXPECT_EQ(Name("/clips/a/clip.avi", ".mp4"), Name("/clips/b/clip.mkv", ".mp4"));
}

TEST_F(OutputNamingTest, MissingFolderIsCreatedWithItsParents)
{
    const QString nested = Temp.FilePath("new/deeper/out");
    WriteOutputFolder(Settings, nested);
    EXPECT_EQ(Name("/clips/holiday.avi", ".mp4"), nested + "/holiday_(new).mp4");
    EXPECT_TRUE(QFileInfo(nested).isDir());
    EXPECT_TRUE(Recorder.Boxes.empty());
    EXPECT_EQ(ReadOutputFolder(Settings), nested);
}

TEST_F(OutputNamingTest, FolderThatCannotBeCreatedFallsBackToTheDefaultWithAWarning)
{
    // A folder under a regular file cannot be made, not even by root.
    Touch(Temp.FilePath("plain_file"));
    const QString impossible = Temp.FilePath("plain_file/out");
    WriteOutputFolder(Settings, impossible);

    EXPECT_EQ(Name("/clips/holiday.avi", ".mp4"), DefaultFolder + "/holiday_(new).mp4");

    ASSERT_EQ(Recorder.Boxes.size(), 1u);
    EXPECT_EQ(Recorder.Boxes[0].Text, "Cannot create output directory:" + impossible +
                                          ".It will create default directory " + DefaultFolder + "!");
    EXPECT_EQ(Recorder.Boxes[0].Caption, "Warning");
    EXPECT_EQ(Recorder.Boxes[0].Icon, TMsgIcon::Warning);
    EXPECT_EQ(Recorder.Boxes[0].Buttons, TMsgButtons::Ok);
    EXPECT_TRUE(QFileInfo(DefaultFolder).isDir());
    EXPECT_EQ(ReadOutputFolder(Settings), DefaultFolder) << "the default is remembered";

    // Remembered: the next name needs no warning.
    Name("/clips/other.avi", ".mp4");
    EXPECT_EQ(Recorder.Boxes.size(), 1u);
}

TEST_F(OutputNamingTest, EmptyOrFileValuedFolderSettingFallsBack)
{
    Touch(Temp.FilePath("a_file"));
    for (const QString& value : {QString(), Temp.FilePath("a_file")}) {
        WriteOutputFolder(Settings, value);
        Recorder.Boxes.clear();
        EXPECT_EQ(Name("/clips/holiday.avi", ".mp4"), DefaultFolder + "/holiday_(new).mp4")
            << "value: " << value.toStdString();
        EXPECT_EQ(Recorder.Boxes.size(), 1u);
    }
}

TEST_F(OutputNamingTest, NameIsStillReturnedWhenTheDefaultCannotBeCreatedEither)
{
    Touch(Temp.FilePath("plain_file"));
    WriteOutputFolder(Settings, Temp.FilePath("plain_file/out"));
    DefaultFolder = Temp.FilePath("plain_file/clarvix");

    EXPECT_EQ(Name("/clips/holiday.avi", ".mp4"), DefaultFolder + "/holiday_(new).mp4");
    EXPECT_EQ(Recorder.Boxes.size(), 1u);
    EXPECT_EQ(ReadOutputFolder(Settings), DefaultFolder);
}

TEST_F(OutputNamingTest, ProgramOverloadUsesTheContextsSettingsFile)
{
    TGlobalObject context;
    context.SetSettingsFile(Settings.FileName());
    TGlobalObject* previous = GlobalObject;
    GlobalObject = &context;
    const QString name = MakeDestinationName("/clips/holiday.avi", ".mp4");
    GlobalObject = previous;
    EXPECT_EQ(name, Output + "/holiday_(new).mp4");

    GlobalObject = nullptr;
    EXPECT_THROW(MakeDestinationName("/clips/holiday.avi", ".mp4"), std::logic_error);
    GlobalObject = previous;
}

TEST_F(OutputNamingTest, AGivenFolderIsUsedWithoutTheSettingsAndWithoutFallback)
{
    const QString given = Temp.FilePath("given/deeper");
    TNamesHandedOut run;
    EXPECT_EQ(MakeDestinationNameInFolder(given, "/clips/a/clip.avi", ".mp4", &run),
              given + "/clip_(new).mp4");
    EXPECT_TRUE(QFileInfo(given).isDir()) << "made with its parents";
    Touch(given + "/clip_(new_1).mp4");
    EXPECT_EQ(MakeDestinationNameInFolder(given + "/", "/clips/b/clip.avi", ".mp4", &run),
              given + "/clip_(new_2).mp4");
    EXPECT_EQ(ReadOutputFolder(Settings), Output) << "the stored folder is neither used nor changed";

    // A folder that cannot be made is still named, without the warning or the default folder.
    Touch(Temp.FilePath("plain_file"));
    EXPECT_EQ(MakeDestinationNameInFolder(Temp.FilePath("plain_file/out"), "/clips/holiday.avi", ".mp4"),
              Temp.FilePath("plain_file/out/holiday_(new).mp4"));
    EXPECT_TRUE(Recorder.Boxes.empty());
    EXPECT_FALSE(QFileInfo::exists(DefaultFolder));
}

TEST_F(OutputNamingTest, PickedFolderIsStoredOnlyWhenNewAndNotEmpty)
{
    EXPECT_FALSE(StorePickedOutputFolder(Settings, QString(), Output));
    EXPECT_FALSE(StorePickedOutputFolder(Settings, Output, Output));
    EXPECT_EQ(ReadOutputFolder(Settings), Output);

    EXPECT_TRUE(StorePickedOutputFolder(Settings, "/media/elsewhere", Output));
    EXPECT_EQ(ReadOutputFolder(Settings), "/media/elsewhere");
}

TEST_F(OutputNamingTest, OpenShowsTheStoredFolderWhenTheShownTextIsLongerThanTwo)
{
    TRecordingShell shell;
    SetShell(&shell);
    OpenOutputFolder(Settings, "ab");
    EXPECT_TRUE(shell.Folders.empty());

    WriteOutputFolder(Settings, "/stored/folder");
    OpenOutputFolder(Settings, "abc"); // the stored value is read again, not the shown text
    shell.Result = false;              // a file manager that does not start changes nothing
    OpenOutputFolder(Settings, "/shown");
    SetShell(nullptr);
    EXPECT_EQ(shell.Folders, (std::vector<QString>{"/stored/folder", "/stored/folder"}));

    IniFile empty(Temp.FilePath("empty.ini"));
    SetShell(&shell);
    OpenOutputFolder(empty, "/shown");
    SetShell(nullptr);
    EXPECT_EQ(shell.Folders.back(), DefaultOutputFolder());
}
