#include "media/FFBaseComponent.h"
#include "media/FFmpegException.h"
#include "media/FFmpegLoader.h"
#include "media/UnicodeProtocol.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

const TLibraryTypes AllLibraries = PlayerLibraries + libAVDevice;
const QString TooOld = QStringLiteral("version 1.2.3 found, major version 9 is required");

// The loader with a check that records the kinds it is asked about and fails
// the ones in Failing.
class LibraryLoaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Loader.UnloadSet(AllLibraries);
        Loader.SetLibraryCheck([this](TLibraryType kind) {
            Checked.push_back(kind);
            return Failing.count(kind) ? TooOld : QString();
        });
    }
    void TearDown() override
    {
        Loader.SetLibraryCheck({});
        Loader.UnloadSet(AllLibraries);
        // Leave the process as the program has it: the engine's libraries loaded.
        ASSERT_TRUE(Loader.LoadSet(EngineLibraries)) << Loader.LastError().toStdString();
    }

    std::vector<TLibraryType> LoadedOf(TLibraryTypes kinds) const
    {
        std::vector<TLibraryType> loaded;
        for (int i = 0; i < LibraryTypeCount; ++i)
            if (kinds.Contains(TLibraryType(i)) && Loader.IsLoaded(TLibraryType(i)))
                loaded.push_back(TLibraryType(i));
        return loaded;
    }

    TFFmpegLoader& Loader = FFLoader();
    std::vector<TLibraryType> Checked;
    std::set<TLibraryType> Failing;
};

TEST_F(LibraryLoaderTest, AFailingKindInTheMiddleUnloadsTheWholeSetAndStopsThere)
{
    ASSERT_TRUE(Loader.LoadOne(libAVCodec)); // loaded by an earlier call
    ASSERT_TRUE(Loader.LoadOne(libSDL));     // not a member of the set
    Checked.clear();
    Failing = {libAVFormat};

    EXPECT_FALSE(Loader.LoadSet(EngineLibraries));

    EXPECT_EQ(Checked, (std::vector<TLibraryType>{libAVFilter, libAVFormat}))
        << "the codec library is already loaded; nothing after the failing kind is tried";
    EXPECT_EQ(Loader.LastError(), QStringLiteral("Load library libavformat.so.59 error: ") + TooOld);
    EXPECT_TRUE(LoadedOf(EngineLibraries).empty())
        << "every member goes, also the codec library loaded before";
    EXPECT_TRUE(Loader.IsLoaded(libSDL)) << "kinds outside the set stay";
}

TEST_F(LibraryLoaderTest, ThePlayerSetAfterTheEngineSetLoadsOnlySdl)
{
    TFFBaseComponent engine(EngineLibraries);
    TFFBaseComponent player(PlayerLibraries);
    ASSERT_TRUE(engine.LoadLibraries(QStringLiteral("/opt/clarvix/LibAV")));
    Checked.clear();

    EXPECT_TRUE(player.LoadLibraries(QStringLiteral("/opt/clarvix/LibAV")));

    EXPECT_EQ(Checked, std::vector<TLibraryType>{libSDL});
    EXPECT_TRUE(player.LibrariesLoaded());
    EXPECT_TRUE(engine.LibrariesLoaded());
    EXPECT_EQ(Loader.LibraryPath(), QStringLiteral("/opt/clarvix/LibAV"));
}

TEST_F(LibraryLoaderTest, AMissingSdlUnloadsTheEngineLibrariesToo)
{
    TFFBaseComponent engine(EngineLibraries);
    TFFBaseComponent player(PlayerLibraries);
    ASSERT_TRUE(engine.LoadLibraries(QString()));
    Failing = {libSDL};

    EXPECT_FALSE(player.LoadLibraries(QString()));

    const QString expected = QStringLiteral("Load library libSDL2-2.0.so.0 error: ") + TooOld;
    EXPECT_EQ(Loader.LastError(), expected);
    EXPECT_EQ(player.LastErrMsg(), expected);
    EXPECT_FALSE(engine.LibrariesLoaded());
    EXPECT_TRUE(LoadedOf(PlayerLibraries).empty());
    EXPECT_TRUE(engine.LastErrMsg().isEmpty());
}

TEST_F(LibraryLoaderTest, LastErrorSurvivesALaterSuccess)
{
    Failing = {libSwScale};
    ASSERT_FALSE(Loader.LoadOne(libSwScale));
    Failing.clear();

    EXPECT_TRUE(Loader.LoadSet(EngineLibraries));

    EXPECT_EQ(Loader.LastError(), QStringLiteral("Load library libswscale.so.6 error: ") + TooOld);
}

TEST_F(LibraryLoaderTest, AnEmptySetIsAProgrammingError)
{
    EXPECT_THROW(Loader.LoadSet({}), FFmpegException);
    EXPECT_THROW(Loader.UnloadSet({}), FFmpegException);
    EXPECT_THROW(Loader.SetLoaded({}), FFmpegException);
}

TEST_F(LibraryLoaderTest, TheRealCheckAcceptsTheLinkedLibrariesAndRefusesAbsentOnes)
{
    Loader.SetLibraryCheck({});

    EXPECT_TRUE(Loader.LoadSet(EngineLibraries)) << Loader.LastError().toStdString();
    EXPECT_TRUE(UnicodeProtocolRegistered()) << "binding the container library registers the protocol";

    // The media code links neither the device library nor SDL.
    EXPECT_FALSE(Loader.LoadOne(libAVDevice));
    EXPECT_EQ(Loader.LastError(),
              QStringLiteral(
                  "Load library libavdevice.so.59 error: libavdevice.so.59 is not part of this program"));
    EXPECT_FALSE(Loader.IsLoaded(libAVDevice));
}

} // namespace
