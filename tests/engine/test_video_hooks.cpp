// Video hook libraries ("vhook"): loading, entry points, configuration,
// per-frame calls and release. The libraries are compiled for the test with
// the system's C compiler.

#include "OptionTesting.h"

#include "support/TemporaryFolder.h"

#include <QFile>
#include <QProcess>

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

// Counters the test reads back through the library's own symbols.
const char* const CountingHook = R"(
#include <stdint.h>
#include <string.h>
int configure_argc = 0;
char configure_last[256];
int process_calls = 0;
int64_t last_pts = -1;
int release_calls = 0;
static int context_value = 42;
int Configure(void** context, int argc, char* argv[]) {
    configure_argc = argc;
    strncpy(configure_last, argv[argc - 1], sizeof configure_last - 1);
    *context = &context_value;
    return argc > 1 && strcmp(argv[1], "fail") == 0;
}
void Process(void* context, void* picture, int pixFmt, int width, int height, int64_t pts) {
    if (context == &context_value) { ++process_calls; last_pts = pts; }
}
void Release(void* context) { if (context == &context_value) ++release_calls; }
)";
const char* const ProcessOnly = "#include <stdint.h>\n"
                                "void Process(void* c, void* p, int f, int w, int h, int64_t t) {}\n";
const char* const ConfigureOnly = "int Configure(void** c, int n, char* v[]) { return 0; }\n";

class VideoHooks : public ::testing::Test
{
protected:
    void SetUp() override { Task = NewTask(); }

    // Compiles C source into a shared library in the test's folder.
    QString Library(const QString& name, const char* source)
    {
        const QString sourcePath = Folder.FilePath(name + ".c");
        const QString libraryPath = Folder.FilePath(name + ".so");
        QFile file(sourcePath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(source);
        file.close();
        QProcess compiler;
        compiler.start("cc", {"-shared", "-fPIC", "-o", libraryPath, sourcePath});
        if (!compiler.waitForFinished(60000) || compiler.exitCode() != 0)
            return QString();
        return libraryPath;
    }
    QString Failure(const QString& value)
    {
        return ThrownMessage([&] { Task->SetOption("vhook", value); });
    }

    TTemporaryFolder Folder;
    std::unique_ptr<TFFmpeg> Task;
};

TEST(VideoHookArguments, SplitAtBarsOrBlanks)
{
    EXPECT_EQ(SplitVideoHookArguments("lib.so -a 1"), (QStringList{"lib.so", "-a", "1"}));
    EXPECT_EQ(SplitVideoHookArguments("my lib.so|-a 1||x"), (QStringList{"my lib.so", "-a 1", "x"}));
    EXPECT_TRUE(SplitVideoHookArguments("  ").isEmpty());
    QStringList many;
    for (int n = 0; n < 300; ++n)
        many << "a";
    EXPECT_EQ(SplitVideoHookArguments(many.join(' ')).size(), 254);
}

TEST_F(VideoHooks, AConfiguredHookSeesFramesAndIsReleased)
{
    const QString library = Library("counting", CountingHook);
    if (library.isEmpty())
        GTEST_SKIP() << "no C compiler";
    Task->SetOption("vhook", library + "|-t|hello world");
    EXPECT_TRUE(Task->Opts().UsingVhook);
    EXPECT_EQ(Task->VideoHooks.Count(), 1);

    void* handle = dlopen(library.toLocal8Bit().constData(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(handle, nullptr);
    const auto counter = [&](const char* name) { return *static_cast<int*>(dlsym(handle, name)); };
    EXPECT_EQ(counter("configure_argc"), 3);
    EXPECT_STREQ(static_cast<const char*>(dlsym(handle, "configure_last")), "hello world");

    TVideoHookPicture picture{};
    Task->VideoHooks.ProcessFrame(picture, 0, 16, 16, 4000);
    Task->VideoHooks.ProcessFrame(picture, 0, 16, 16, 8000);
    EXPECT_EQ(counter("process_calls"), 2);
    EXPECT_EQ(*static_cast<int64_t*>(dlsym(handle, "last_pts")), 8000);

    // Closing the task's files releases its hooks; the library stays loaded for others.
    Task->CloseFiles();
    EXPECT_EQ(counter("release_calls"), 1);
    EXPECT_TRUE(Task->VideoHooks.IsEmpty());

    TLogCapture log;
    EXPECT_EQ(Failure(library + " fail"), "Failed to add video hook function: " + library + " fail");
    EXPECT_TRUE(log.Contains(llError, "Failed to Configure " + library));
    dlclose(handle);
}

TEST_F(VideoHooks, MissingLibrariesAndEntryPointsAreRefused)
{
    {
        TLogCapture log;
        EXPECT_EQ(Failure("/no/such/hook.so"), "Failed to add video hook function: /no/such/hook.so");
        EXPECT_TRUE(log.Mentions(llError, "/no/such/hook.so"));
    }
    EXPECT_EQ(Failure(""), "Failed to add video hook function: ");
    EXPECT_FALSE(Task->Opts().UsingVhook);

    const QString configureOnly = Library("configure_only", ConfigureOnly);
    const QString processOnly = Library("process_only", ProcessOnly);
    if (configureOnly.isEmpty() || processOnly.isEmpty())
        GTEST_SKIP() << "no C compiler";
    TLogCapture log;
    EXPECT_FALSE(Failure(configureOnly).isEmpty());
    EXPECT_TRUE(log.Contains(llError, "Failed to find Process entrypoint in " + configureOnly));
    EXPECT_FALSE(Failure(processOnly + " arg").isEmpty());
    EXPECT_TRUE(log.Contains(llError, "Failed to find Configure entrypoint in " + processOnly));
    // Without arguments a hook needs no Configure.
    EXPECT_TRUE(Failure(processOnly).isEmpty());
    EXPECT_TRUE(Task->Opts().UsingVhook);
}

} // namespace
