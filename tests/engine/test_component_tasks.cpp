// The engine component's task list: adding tasks and outputs through the
// option records, removing and clearing tasks, the published properties and
// the refusals while a run is going.

#include "OptionTesting.h"

#include "engine/TFFmpegVCL.h"
#include "probe/AVProbe.h"
#include "support/TemporaryFolder.h"
#include "support/TestMedia.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

class ComponentTasks : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LoadEngineLibrariesForTest();
        ASSERT_TRUE(Engine.LoadLibraries(QString())) << Engine.LastErrMsg().toStdString();
    }
    QString Message() const { return Engine.LastErrMsg(); }
    TFFmpeg* TaskAt(int index) const { return static_cast<TFFmpeg*>(Engine.Task(index)); }

    TTemporaryFolder Folder;
    TFFmpegVCL Engine;
};

TEST_F(ComponentTasks, PublishedPropertiesAndTheirDefaults)
{
    EXPECT_EQ(Engine.Version(), "3.3");
    EXPECT_FALSE(Engine.Preview());
    EXPECT_FALSE(Engine.PreviewBitmap());
    EXPECT_EQ(Engine.ProgressInterval(), 500);
    EXPECT_EQ(Engine.ThreadPriority(), TThreadPriority::Normal);
    EXPECT_TRUE(Engine.TriggerEventInMainThread());
    EXPECT_EQ(Engine.TaskVerbose(), 1);
    for (const auto& [set, read] : {std::pair{50, 100}, {100, 100}, {99, 100}, {250, 250}}) {
        Engine.SetProgressInterval(set);
        EXPECT_EQ(Engine.ProgressInterval(), read) << set;
    }
}

TEST_F(ComponentTasks, AMissingFileIsNotAdded)
{
    const QString missing = Folder.FilePath("missing.avi");
    EXPECT_EQ(Engine.AddTask(missing), -1);
    EXPECT_TRUE(Message().endsWith("No such file or directory")) << Message().toStdString();
    EXPECT_TRUE(Message().contains("missing.avi"));
    EXPECT_EQ(Engine.TaskCount(), 0);
}

TEST_F(ComponentTasks, InputRecordIsCopiedAndCarriesTheOpenedName)
{
    TInputOptions options;
    options.ExtOptions = "vn=1";
    const QString path = TestMediaPath(TTestMedia::VideoAudioMp4);
    const int index = Engine.AddTask(path, &options);
    ASSERT_EQ(index, 0) << Message().toStdString();
    EXPECT_TRUE(options.FileName.isEmpty()); // the owner's record stays as it was
    ASSERT_NE(TaskAt(0)->StoredInputOptions(0), nullptr);
    EXPECT_EQ(TaskAt(0)->StoredInputOptions(0)->FileName, path);
    EXPECT_TRUE(TaskAt(0)->Opts().VideoDisable);

    // The input's probe looks at the opened input.
    TAVProbe* probe = Engine.InputProbe(0, 0);
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->VideoStreamCount(), 1);
    EXPECT_EQ(probe->AudioStreamCount(), 1);
    EXPECT_EQ(Engine.InputProbe(5, 0), nullptr);
}

TEST_F(ComponentTasks, TheArgumentIsOpenedNotTheRecordsName)
{
    TInputOptions options;
    options.FileName = Folder.FilePath("elsewhere.mp4");
    EXPECT_EQ(Engine.AddTask(TestMediaPath(TTestMedia::AudioWav), &options), 0) << Message().toStdString();
    EXPECT_EQ(TaskAt(0)->StoredInputOptions(0)->FileName, options.FileName);
}

TEST_F(ComponentTasks, SetterFailuresBecomeTheLastError)
{
    TInputOptions badInput;
    badInput.FileFormat = "xyz";
    EXPECT_EQ(Engine.AddTask(TestMediaPath(TTestMedia::AudioWav), &badInput), -1);
    EXPECT_EQ(Message(), "Unknown input format: \"xyz\"");
    badInput = TInputOptions{};
    badInput.ExtOptions = "threads=2";
    EXPECT_EQ(Engine.AddTask(TestMediaPath(TTestMedia::AudioWav), &badInput), -1);
    EXPECT_EQ(Message(), "TODO: option - threads");
    EXPECT_EQ(Engine.TaskCount(), 0);

    ASSERT_EQ(Engine.AddTask(TestMediaPath(TTestMedia::VideoAudioMp4)), 0);
    TOutputOptions output;
    output.FrameSize = "huge";
    EXPECT_FALSE(Engine.SetOutputFile(0, Folder.FilePath("out.mp4"), &output));
    EXPECT_EQ(Message(), "Incorrect frame size");
    EXPECT_FALSE(Engine.SetOutputFile(3, Folder.FilePath("out.mp4")));
    EXPECT_EQ(Message(), "Task index 3 out of bounds");
}

TEST_F(ComponentTasks, OutputRecordIsStoredAndResetWhenTheOutputFails)
{
    ASSERT_EQ(Engine.AddTask(TestMediaPath(TTestMedia::AudioWav)), 0);
    TOutputOptions output;
    output.AudioCodec = "pcm_s16le";
    EXPECT_FALSE(Engine.SetOutputFile(0, Folder.FilePath("out.unknownext"), &output));
    EXPECT_TRUE(Message().startsWith("Unable to find a suitable output format for '"))
        << Message().toStdString();
    ASSERT_NE(TaskAt(0)->StoredOutputOptions(0), nullptr);
    EXPECT_TRUE(TaskAt(0)->StoredOutputOptions(0)->FileName.isEmpty());
    EXPECT_TRUE(TaskAt(0)->StoredOutputOptions(0)->AudioCodec.isEmpty());

    const QString good = Folder.FilePath("out.wav");
    ASSERT_TRUE(Engine.SetOutputFile(0, good, &output)) << Message().toStdString();
    EXPECT_EQ(TaskAt(0)->StoredOutputOptions(0)->FileName, good);
    EXPECT_EQ(TaskAt(0)->StoredOutputOptions(0)->AudioCodec, "pcm_s16le");
    EXPECT_FALSE(TaskAt(0)->HookCallback); // no CustomHook in the record
}

TEST_F(ComponentTasks, TwentyOutputsAtMost)
{
    ASSERT_EQ(Engine.AddTask(TestMediaPath(TTestMedia::AudioWav)), 0);
    for (int n = 0; n < 20; ++n)
        ASSERT_TRUE(Engine.SetOutputFile(0, Folder.FilePath(QString("out%1.wav").arg(n))))
            << Message().toStdString();
    EXPECT_FALSE(Engine.SetOutputFile(0, Folder.FilePath("out20.wav")));
    EXPECT_EQ(Message(), "max output files 20 reached");
    EXPECT_FALSE(QFileInfo::exists(Folder.FilePath("out20.wav")));
}

TEST_F(ComponentTasks, AdditionalStreamsAndTheHookFollowTheRecord)
{
    ASSERT_EQ(Engine.AddTask(TestMediaPath(TTestMedia::VideoAudioMp4)), 0);
    TOutputOptions output;
    output.VideoCodec = "mpeg4";
    output.AudioCodec = "mp2";
    output.CustomHook = true;
    output.ExtOptions = "newaudio=1";
    ASSERT_TRUE(Engine.SetOutputFile(0, Folder.FilePath("out.mkv"), &output)) << Message().toStdString();
    EXPECT_EQ(TaskAt(0)->Files.OutputFiles[0]->Streams.size(), 3u);
    EXPECT_TRUE(TaskAt(0)->HookCallback);
}

TEST_F(ComponentTasks, PreviewSwitchesReachEveryTask)
{
    ASSERT_EQ(Engine.AddTask(TestMediaPath(TTestMedia::AudioWav)), 0);
    Engine.SetPreviewBitmap(true);
    EXPECT_EQ(TaskAt(0)->PreviewFlags(), 2);
    Engine.SetPreview(true);
    ASSERT_EQ(Engine.AddTask(TestMediaPath(TTestMedia::AudioWav)), 1);
    EXPECT_EQ(TaskAt(0)->PreviewFlags(), 3);
    EXPECT_EQ(TaskAt(1)->PreviewFlags(), 3);
    Engine.SetPreviewBitmap(false);
    EXPECT_EQ(TaskAt(0)->PreviewFlags(), 1);
    EXPECT_EQ(TaskAt(1)->PreviewFlags(), 1);
}

TEST_F(ComponentTasks, RemoveAndClear)
{
    ASSERT_EQ(Engine.AddTask(TestMediaPath(TTestMedia::AudioWav)), 0);
    ASSERT_EQ(Engine.AddTask(TestMediaPath(TTestMedia::AudioMp3)), 1);
    TCustomFFmpeg* second = Engine.Task(1);
    Engine.RemoveTask(0);
    EXPECT_EQ(Engine.TaskCount(), 1);
    EXPECT_EQ(Engine.Task(0), second);
    EXPECT_EQ(Engine.AddTask(Folder.FilePath("missing.wav")), -1);
    EXPECT_FALSE(Message().isEmpty());
    Engine.ClearTasks();
    EXPECT_EQ(Engine.TaskCount(), 0);
    EXPECT_TRUE(Message().isEmpty());
}

TEST_F(ComponentTasks, AfterARunOnlyClearTasksLeadsBack)
{
    ASSERT_EQ(Engine.AddTask(TestMediaPath(TTestMedia::AudioWav)), 0);
    ASSERT_TRUE(Engine.SetOutputFile(0, Folder.FilePath("out.wav"))) << Message().toStdString();
    Engine.StartTask(0); // the whole run on this thread
    EXPECT_EQ(ThrownMessage([&] { Engine.AddTask(TestMediaPath(TTestMedia::AudioWav)); }),
              "Cannot AddTask while working.");
    EXPECT_EQ(ThrownMessage([&] { Engine.SetOutputFile(0, Folder.FilePath("again.wav")); }),
              "Cannot SetOutputFile while working.");
    EXPECT_EQ(ThrownMessage([&] { Engine.RemoveTask(0); }), "Cannot RemoveTask while working.");
    EXPECT_EQ(Engine.TaskCount(), 1);
    Engine.ClearTasks();
    EXPECT_EQ(Engine.AddTask(TestMediaPath(TTestMedia::AudioWav)), 0);
}

} // namespace
