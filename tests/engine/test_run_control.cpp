// The engine component's run control with real conversions: the order and
// threads of the four events, threaded and synchronous runs, stopping,
// pausing, tasks that never start or cannot start, the hook's stop flag and
// failures, thread priority, and the refusals while a run is going.

#include "LoopTesting.h"
#include "OptionTesting.h"

#include "engine/PreviewWindow.h"
#include "engine/TFFmpegVCL.h"
#include "media/FFLogger.h"
#include "media/MainThread.h"
#include "support/FfprobeFacts.h"
#include "support/TemporaryFolder.h"
#include "support/TestMedia.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

namespace {

using namespace std::chrono_literals;

struct TNotice
{
    int TaskIndex = 0;
    bool Finished = false;
    bool Exception = false;
    QString ExceptionMsg;
    std::thread::id Thread;
};

std::vector<int> IndexesOf(const std::vector<TNotice>& notices)
{
    std::vector<int> indexes;
    for (const TNotice& notice : notices)
        indexes.push_back(notice.TaskIndex);
    return indexes;
}

// Keeps the main thread's event loop going for a while, as the program's
// would while a run goes on.
void PumpFor(std::chrono::milliseconds duration)
{
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(2ms);
    }
}

// Pumps until the condition holds; false after two minutes (a hung run).
bool PumpUntil(const std::function<bool()>& condition)
{
    const auto end = std::chrono::steady_clock::now() + 120s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// The file decodes from start to end without a single error (the ffmpeg program).
bool DecodesCleanly(const QString& path, QString& errors)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-i", path, "-f", "null", "-"});
    if (!ffmpeg.waitForFinished(60000)) {
        errors = "ffmpeg did not finish";
        return false;
    }
    errors = QString::fromLocal8Bit(ffmpeg.readAllStandardError());
    return ffmpeg.exitCode() == 0 && errors.trimmed().isEmpty();
}

double FileDuration(const QString& path)
{
    return FfprobeFacts(path).value("format").toObject().value("duration").toString().toDouble();
}

class RunControl : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LoadEngineLibrariesForTest();
        ASSERT_TRUE(Engine.LoadLibraries(QString())) << Engine.LastErrMsg().toStdString();
        Engine.SetProgressInterval(100);
        Engine.OnTerminate = [this](QObject*, const TTerminateInfo& info) {
            std::lock_guard<std::mutex> guard(NoticeLock);
            Notices.push_back({info.TaskIndex, info.Finished, info.Exception, info.ExceptionMsg,
                               std::this_thread::get_id()});
        };
    }

    void TearDown() override
    {
        // A failed test must not leave a run going into the next one.
        Engine.StopTasks(true);
        WaitForEndOfRun();
    }

    // A task converting the source to MPEG-4 and AAC in MP4, named name in the folder.
    int AddConversion(const QString& source, const QString& name, const QString& inputExtOptions = QString())
    {
        TInputOptions input;
        input.ExtOptions = inputExtOptions;
        const int index = Engine.AddTask(source, &input);
        EXPECT_GE(index, 0) << Engine.LastErrMsg().toStdString();
        TOutputOptions output;
        output.VideoCodec = "mpeg4";
        output.AudioCodec = "aac";
        output.CustomHook = true;
        EXPECT_TRUE(Engine.SetOutputFile(index, Output(name), &output)) << Engine.LastErrMsg().toStdString();
        return index;
    }
    QString Output(const QString& name) const { return Folder.FilePath(name); }

    std::vector<TNotice> NoticesSoFar()
    {
        std::lock_guard<std::mutex> guard(NoticeLock);
        return Notices;
    }
    // Every notice of the run, once the end-of-run notice has come (or after the time limit).
    std::vector<TNotice> WaitForEndOfRun()
    {
        if (!Engine.Working())
            return NoticesSoFar();
        const bool ended = PumpUntil([this] {
            const std::vector<TNotice> notices = NoticesSoFar();
            return !notices.empty() && notices.back().TaskIndex == -1;
        });
        EXPECT_TRUE(ended) << "the run did not end";
        return NoticesSoFar();
    }

    void ExpectEndOfRun(const TNotice& notice)
    {
        EXPECT_EQ(notice.TaskIndex, -1);
        EXPECT_TRUE(notice.Finished);
        EXPECT_FALSE(notice.Exception);
        EXPECT_TRUE(notice.ExceptionMsg.isEmpty());
    }

    TTemporaryFolder Folder;
    std::mutex NoticeLock;
    std::vector<TNotice> Notices; // --- protected by NoticeLock
    TFFmpegVCL Engine;            // last: stopped and freed before what its handlers use
};

TEST_F(RunControl, ThreadedOneAtATimeNotifiesEachTaskInOrderThenTheEnd)
{
    const QString source = TestMediaPath(TTestMedia::VideoAudioMp4);
    for (int i = 0; i < 3; ++i)
        AddConversion(source, QString("out%1.mp4").arg(i));
    std::vector<int> progressTasks;
    Engine.OnProgress = [&](QObject*, PProgressInfo info) { progressTasks.push_back(info->TaskIndex); };

    Engine.StartTask(1);
    EXPECT_TRUE(NoticesSoFar().empty()); // returned at once
    EXPECT_EQ(ThrownMessage([&] { Engine.StartTask(1); }), "Cannot StartTask while working.");
    EXPECT_EQ(ThrownMessage([&] { Engine.ClearTasks(); }), "Cannot ClearTasks while working.");

    const std::vector<TNotice> notices = WaitForEndOfRun();
    ASSERT_EQ(IndexesOf(notices), (std::vector<int>{0, 1, 2, -1}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(notices[i].Finished) << i;
        EXPECT_FALSE(notices[i].Exception) << notices[i].ExceptionMsg.toStdString();
        EXPECT_NE(notices[i].Thread, std::this_thread::get_id());
        EXPECT_NEAR(FileDuration(Output(QString("out%1.mp4").arg(i))), 2.0, 0.1);
    }
    ExpectEndOfRun(notices[3]);
    // One task at a time, in list order.
    ASSERT_FALSE(progressTasks.empty());
    EXPECT_TRUE(std::is_sorted(progressTasks.begin(), progressTasks.end()));
    EXPECT_EQ(std::set<int>(progressTasks.begin(), progressTasks.end()), (std::set<int>{0, 1, 2}));

    Engine.ClearTasks(); // allowed once the run has ended
    EXPECT_FALSE(Engine.Working());
}

TEST_F(RunControl, SynchronousRunDeliversEverythingOnTheCallingThreadBeforeReturning)
{
    const QString source = TestMediaPath(TTestMedia::VideoAudioMp4);
    for (int i = 0; i < 3; ++i)
        AddConversion(source, QString("sync%1.mp4").arg(i));
    std::set<std::thread::id> eventThreads;
    Engine.OnProgress = [&](QObject*, PProgressInfo) { eventThreads.insert(std::this_thread::get_id()); };
    Engine.OnCustomHook = [&](QObject*, PHookInfo) { eventThreads.insert(std::this_thread::get_id()); };

    Engine.StartTask(0);

    const std::vector<TNotice> notices = NoticesSoFar(); // no pumping: all there already
    ASSERT_EQ(IndexesOf(notices), (std::vector<int>{0, 1, 2, -1}));
    for (const TNotice& notice : notices)
        EXPECT_EQ(notice.Thread, std::this_thread::get_id());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(notices[i].Finished);
    ExpectEndOfRun(notices[3]);
    EXPECT_EQ(eventThreads, (std::set<std::thread::id>{std::this_thread::get_id()}));
}

TEST_F(RunControl, TwoAtATimeStartTheThirdOnlyWhenOneHasEnded)
{
    const QString source = TestMediaPath(TTestMedia::VideoAudioMp4);
    for (int i = 0; i < 3; ++i)
        AddConversion(source, QString("pair%1.mp4").arg(i));
    std::mutex lock;
    std::condition_variable hooked;
    std::vector<int> hookTasks; // --- protected by lock
    Engine.OnCustomHook = [&](QObject*, PHookInfo info) {
        std::unique_lock<std::mutex> guard(lock);
        hookTasks.push_back(info->TaskIndex);
        hooked.notify_all();
        // Task 0 holds its first frame until task 1 has one, so that a loaded
        // machine cannot finish it before the other has begun.
        if (info->TaskIndex == 0 && info->FrameNumber == 1)
            hooked.wait_for(guard, std::chrono::seconds(60), [&] {
                return std::find(hookTasks.begin(), hookTasks.end(), 1) != hookTasks.end();
            });
    };

    Engine.StartTask(2);
    const std::vector<TNotice> notices = WaitForEndOfRun();

    ASSERT_EQ(notices.size(), 4u);
    EXPECT_EQ(std::set<int>({notices[0].TaskIndex, notices[1].TaskIndex, notices[2].TaskIndex}),
              (std::set<int>{0, 1, 2}));
    EXPECT_NE(notices[0].TaskIndex, 2); // it began only when one of the others had ended
    ExpectEndOfRun(notices[3]);
    const auto first = [&](int task) { return std::find(hookTasks.begin(), hookTasks.end(), task); };
    const auto last = [&](int task) {
        return std::find(hookTasks.rbegin(), hookTasks.rend(), task).base() - 1;
    };
    EXPECT_LT(first(1), last(0)); // the first two ran at the same time
    EXPECT_GT(first(2), std::min(last(0), last(1)));
}

// Stopping during the first of three tasks: from the owner's thread (as the
// progress window's Cancel does), from inside a progress handler that runs in
// the main thread, and from inside the hook on the worker.
enum class TStopFrom { OwnerThread, ProgressHandler, HookHandler };

class StopDuringTheFirstTask : public RunControl, public ::testing::WithParamInterface<TStopFrom>
{
};

TEST_P(StopDuringTheFirstTask, EndsItUnfinishedAndNotifiesTheOthersWithoutStartingThem)
{
    // The first task reads its input at the pace of the clock, so the stop finds it busy.
    AddConversion(LongClip(), "stopped.mp4", "re=1");
    AddConversion(TestMediaPath(TTestMedia::VideoAudioMp4), "second.mp4");
    AddConversion(TestMediaPath(TTestMedia::VideoAudioMp4), "third.mp4");
    std::atomic<bool> progressed{false};
    std::atomic<int> hookCalls{0};
    std::atomic<bool> stopReturned{false};
    Engine.OnProgress = [&](QObject*, PProgressInfo info) {
        if (info->CurrentDuration < 1000000)
            return;
        progressed = true;
        if (GetParam() == TStopFrom::ProgressHandler && !stopReturned) {
            Engine.StopTasks(true);
            stopReturned = true;
        }
    };
    Engine.OnCustomHook = [&](QObject*, PHookInfo info) {
        ++hookCalls;
        if (GetParam() == TStopFrom::HookHandler && info->FrameNumber == 30) {
            Engine.StopTasks(true);
            stopReturned = true;
        }
    };

    Engine.StartTask(1);
    if (GetParam() == TStopFrom::OwnerThread) {
        ASSERT_TRUE(PumpUntil([&] { return progressed.load(); }));
        Engine.StopTasks(true);
        stopReturned = true;
    }
    const std::vector<TNotice> notices = WaitForEndOfRun();

    EXPECT_TRUE(stopReturned);
    ASSERT_EQ(notices.size(), 4u);
    if (GetParam() == TStopFrom::OwnerThread) {
        EXPECT_EQ(IndexesOf(notices), (std::vector<int>{0, 1, 2, -1}));
    } else {
        // The stopping handler holds up the first task: the other two end first.
        EXPECT_EQ(IndexesOf(notices), (std::vector<int>{1, 2, 0, -1}));
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(notices[i].Finished) << notices[i].TaskIndex;
        EXPECT_FALSE(notices[i].Exception) << notices[i].ExceptionMsg.toStdString();
    }
    ExpectEndOfRun(notices[3]);

    // What the stopped task wrote is a complete, playable file.
    QString errors;
    EXPECT_TRUE(DecodesCleanly(Output("stopped.mp4"), errors)) << errors.toStdString();
    const double duration = FileDuration(Output("stopped.mp4"));
    EXPECT_GT(duration, 0.5);
    EXPECT_LT(duration, 15.0);
    // The other two never ran: no frame of theirs reached the hook, and
    // their outputs, never written, are not left behind.
    Engine.ClearTasks();
    EXPECT_FALSE(QFileInfo::exists(Output("second.mp4")));
    EXPECT_FALSE(QFileInfo::exists(Output("third.mp4")));
}

INSTANTIATE_TEST_SUITE_P(Callers, StopDuringTheFirstTask,
                         ::testing::Values(TStopFrom::OwnerThread, TStopFrom::ProgressHandler,
                                           TStopFrom::HookHandler),
                         [](const auto& info) {
                             switch (info.param) {
                             case TStopFrom::OwnerThread:
                                 return std::string("owner_thread");
                             case TStopFrom::ProgressHandler:
                                 return std::string("progress_handler");
                             case TStopFrom::HookHandler:
                                 return std::string("hook_handler");
                             }
                             return std::string();
                         });

// Pausing at the first progress report; then either resuming or stopping.
class PausedTask : public RunControl, public ::testing::WithParamInterface<bool /*resume*/>
{
};

TEST_P(PausedTask, WritesNothingWhilePausedAndThenCompletesOrStops)
{
    const QString output = Output("paused.mp4");
    AddConversion(LongClip(), "paused.mp4");
    std::atomic<bool> paused{false};
    std::atomic<int> reports{0};
    Engine.OnProgress = [&](QObject*, PProgressInfo) {
        ++reports;
        if (!paused.exchange(true))
            Engine.PauseTasks();
    };

    Engine.StartTask(1);
    ASSERT_TRUE(PumpUntil([&] { return paused.load(); }));
    PumpFor(300ms); // the worker reaches the top of its loop and waits there
    const qint64 sizeWhenPaused = QFileInfo(output).size();
    const int reportsWhenPaused = reports;
    PumpFor(700ms);
    EXPECT_EQ(QFileInfo(output).size(), sizeWhenPaused);
    EXPECT_EQ(reports.load(), reportsWhenPaused);
    EXPECT_TRUE(NoticesSoFar().empty());

    const bool resume = GetParam();
    if (resume)
        Engine.ResumeTasks();
    else
        Engine.StopTasks(true); // also ends a paused task
    const std::vector<TNotice> notices = WaitForEndOfRun();
    ASSERT_EQ(IndexesOf(notices), (std::vector<int>{0, -1}));
    EXPECT_EQ(notices[0].Finished, resume);
    EXPECT_FALSE(notices[0].Exception) << notices[0].ExceptionMsg.toStdString();
    QString errors;
    EXPECT_TRUE(DecodesCleanly(output, errors)) << errors.toStdString();
    if (resume)
        EXPECT_NEAR(FileDuration(output), 20.0, 0.1);
    else
        EXPECT_LT(FileDuration(output), 19.0);
}

INSTANTIATE_TEST_SUITE_P(ThenWhat, PausedTask, ::testing::Values(true, false),
                         [](const auto& info) { return std::string(info.param ? "resumed" : "stopped"); });

// Which thread each event runs on, with and without TriggerEventInMainThread.
class EventThreads : public RunControl, public ::testing::WithParamInterface<bool /*in main thread*/>
{
};

TEST_P(EventThreads, HookOnTheWorkerProgressAndPreviewAsConfiguredTerminateOnItsOwn)
{
    const bool inMainThread = GetParam();
    Engine.SetTriggerEventInMainThread(inMainThread);
    Engine.SetPreviewBitmap(true);
    AddConversion(TestMediaPath(TTestMedia::VideoAudioMp4), "threads.mp4");
    std::mutex lock;
    std::set<std::thread::id> hookThreads, progressThreads, previewThreads; // --- protected by lock
    std::vector<int> previewFrames;
    Engine.OnCustomHook = [&](QObject*, PHookInfo) {
        std::lock_guard<std::mutex> guard(lock);
        hookThreads.insert(std::this_thread::get_id());
    };
    Engine.OnProgress = [&](QObject*, PProgressInfo) {
        std::lock_guard<std::mutex> guard(lock);
        progressThreads.insert(std::this_thread::get_id());
    };
    Engine.OnPreviewBitmap = [&](QObject*, const TPreviewInfo& info) {
        std::lock_guard<std::mutex> guard(lock);
        previewThreads.insert(std::this_thread::get_id());
        previewFrames.push_back(info.FrameNumber);
        EXPECT_EQ(info.TaskIndex, 0);
        ASSERT_NE(info.Bitmap, nullptr);
        EXPECT_EQ(info.Bitmap->size(), QSize(320, 240));
        EXPECT_EQ(info.Bitmap->format(), QImage::Format_BGR888);
    };

    Engine.StartTask(1);
    const std::vector<TNotice> notices = WaitForEndOfRun();

    const std::thread::id mainThread = std::this_thread::get_id();
    ASSERT_EQ(hookThreads.size(), 1u);
    const std::thread::id worker = *hookThreads.begin();
    EXPECT_NE(worker, mainThread);
    const std::set<std::thread::id> expected{inMainThread ? mainThread : worker};
    EXPECT_EQ(progressThreads, expected);
    EXPECT_EQ(previewThreads, expected);
    ASSERT_EQ(notices.size(), 2u);
    for (const TNotice& notice : notices) {
        EXPECT_NE(notice.Thread, mainThread);
        EXPECT_NE(notice.Thread, worker);
    }
    // At most one preview per 100 ms: a run much faster than real time shows a few of its 50 frames.
    ASSERT_FALSE(previewFrames.empty());
    EXPECT_LT(previewFrames.size(), 25u);
    EXPECT_TRUE(std::is_sorted(previewFrames.begin(), previewFrames.end()));
}

INSTANTIATE_TEST_SUITE_P(TriggerEventInMainThread, EventThreads, ::testing::Values(true, false),
                         [](const auto& info) { return std::string(info.param ? "main_thread" : "worker"); });

struct TShownFrame
{
    QSize Size;
    qint32 FrameNumber;
    std::thread::id Thread;
};

// Stands in for the preview window of the ui library: the user closes it
// after its second frame.
class TClosingPreviewWindow : public IPreviewWindow
{
public:
    TClosingPreviewWindow(std::vector<TShownFrame>& shown, std::atomic<int>& alive)
        : FShown(shown), FAlive(alive)
    {
        ++FAlive;
    }
    ~TClosingPreviewWindow() override { --FAlive; }
    bool ShowFrame(const QImage& bitmap, qint32 frameNumber, qint64) override
    {
        FShown.push_back({bitmap.size(), frameNumber, std::this_thread::get_id()});
        return ++FFrames < 2;
    }

private:
    std::vector<TShownFrame>& FShown;
    std::atomic<int>& FAlive;
    int FFrames = 0;
};

TEST_F(RunControl, PreviewWindowShowsFramesUntilTheUserClosesIt)
{
    std::vector<TShownFrame> shown; // written by the worker only, read after the run
    std::atomic<int> alive{0};
    std::atomic<int> made{0};
    SetPreviewWindowFactory([&]() -> std::unique_ptr<IPreviewWindow> {
        ++made;
        return std::make_unique<TClosingPreviewWindow>(shown, alive);
    });
    Engine.SetPreview(true);
    AddConversion(LongClip(), "previewed.mp4");
    std::atomic<std::thread::id> worker;
    Engine.OnCustomHook = [&](QObject*, PHookInfo) { worker = std::this_thread::get_id(); };
    Engine.StartTask(1);
    const std::vector<TNotice> notices = WaitForEndOfRun();
    SetPreviewWindowFactory({});

    ASSERT_EQ(notices.size(), 2u);
    EXPECT_TRUE(notices[0].Finished);
    EXPECT_EQ(made.load(), 1);  // not made again once closed
    EXPECT_EQ(alive.load(), 0); // and freed
    EXPECT_EQ(Engine.Task(0)->PreviewFlags() & 1, 0);
    ASSERT_EQ(shown.size(), 2u);
    for (const TShownFrame& frame : shown) {
        EXPECT_EQ(frame.Size, QSize(160, 120));
        EXPECT_EQ(frame.Thread, worker.load());
    }
    EXPECT_LT(shown[0].FrameNumber, shown[1].FrameNumber);
}

TEST_F(RunControl, PreviewWithoutAWindowToOfferIsSwitchedOffWithANote)
{
    TLogCapture log;
    SetPreviewWindowFactory({});
    Engine.SetPreview(true);
    AddConversion(TestMediaPath(TTestMedia::VideoAudioMp4), "nowindow.mp4");
    Engine.StartTask(1);
    const std::vector<TNotice> notices = WaitForEndOfRun();
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_TRUE(notices[0].Finished);
    EXPECT_EQ(Engine.Task(0)->PreviewFlags() & 1, 0);
    EXPECT_EQ(log.Lines(llWarning).count("No preview window is available in this program"), 1);
}

TEST_F(RunControl, HookThatStopsOnFrameTenSeesTheFirstTenFramesOnly)
{
    AddConversion(TestMediaPath(TTestMedia::VideoAudioMp4), "stophook.mp4");
    std::vector<int> frames;
    Engine.OnCustomHook = [&](QObject*, PHookInfo info) {
        frames.push_back(info->FrameNumber);
        info->StopHook = info->FrameNumber == 10;
    };
    Engine.StartTask(1);
    const std::vector<TNotice> notices = WaitForEndOfRun();

    EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_TRUE(notices[0].Finished); // the conversion itself goes on to its end
    EXPECT_NEAR(FileDuration(Output("stophook.mp4")), 2.0, 0.1);
}

TEST_F(RunControl, HookThatThrowsLeavesItsFramesUnchangedAndTheNextOnesStillCome)
{
    TLogCapture log;
    AddConversion(TestMediaPath(TTestMedia::VideoAudioMp4), "throwinghook.mp4");
    std::vector<int> frames;
    Engine.OnCustomHook = [&](QObject*, PHookInfo info) {
        frames.push_back(info->FrameNumber);
        for (int y = 0; y < 64; ++y)
            memset(info->Bitmap->scanLine(y), 255, 64 * 3); // drawn, but never handed back
        throw std::runtime_error("brush lost");
    };
    Engine.StartTask(1);
    const std::vector<TNotice> notices = WaitForEndOfRun();

    ASSERT_EQ(frames.size(), 50u);
    EXPECT_EQ(frames.back(), 50);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_TRUE(notices[0].Finished);
    EXPECT_FALSE(notices[0].Exception);
    EXPECT_TRUE(log.Contains(llError, "Error occurs OnCustomHook: brush lost"));
    const QByteArray output = FirstFrameGray(Output("throwinghook.mp4"), 320, 240);
    const QByteArray source = FirstFrameGray(TestMediaPath(TTestMedia::VideoAudioMp4), 320, 240);
    EXPECT_LT(MeanDifference(output.left(320 * 64), source.left(320 * 64)), 6.0);
}

TEST_F(RunControl, TaskWithoutAnOutputTerminatesAtOnceAndTheRunGoesOn)
{
    TLogCapture log;
    ASSERT_EQ(Engine.AddTask(TestMediaPath(TTestMedia::VideoAudioMp4)), 0); // no SetOutputFile
    AddConversion(TestMediaPath(TTestMedia::VideoAudioMp4), "second.mp4");
    Engine.StartTask(1);
    const std::vector<TNotice> notices = WaitForEndOfRun();

    ASSERT_EQ(IndexesOf(notices), (std::vector<int>{0, 1, -1}));
    EXPECT_FALSE(notices[0].Finished);
    EXPECT_TRUE(notices[0].Exception);
    EXPECT_EQ(notices[0].ExceptionMsg, "At least one output file must be specified");
    EXPECT_TRUE(log.Contains(llQuiet, "At least one output file must be specified"));
    EXPECT_TRUE(notices[1].Finished);
    ExpectEndOfRun(notices[2]);
}

TEST_F(RunControl, TaskWithoutAnInputCannotStart)
{
    std::unique_ptr<TFFmpeg> task = NewTask();
    task->SetOption("f", "wav");
    task->SetOption("acodec", "pcm_s16le");
    if (task->OpenOutputFile(Output("noinput.wav"), false) < 0)
        GTEST_SKIP() << "an output cannot be opened without an input: " << task->LastErrMsg().toStdString();
    int terminations = 0;
    task->TerminateCallback = [&](TCustomFFmpeg*) { ++terminations; };

    EXPECT_EQ(task->Start(true, TThreadPriority::Normal), nullptr);
    EXPECT_EQ(terminations, 1);
    EXPECT_TRUE(task->Terminated);
    EXPECT_TRUE(task->ExceptionRaised);
    EXPECT_EQ(task->ExceptionMsg, "At least one input file must be specified");
    EXPECT_EQ(task->Start(true, TThreadPriority::Normal), nullptr); // a terminated task never starts again
    EXPECT_EQ(terminations, 1);
}

TEST_F(RunControl, NeverStartedTaskIsTerminatedOnAThreadOfItsOwnOnce)
{
    std::unique_ptr<TFFmpeg> task = NewTask();
    ASSERT_TRUE(task->OpenInputFile(TestMediaPath(TTestMedia::AudioWav))) << task->LastErrMsg().toStdString();
    std::atomic<int> terminations{0};
    std::thread::id terminatedOn;
    task->TerminateCallback = [&](TCustomFFmpeg*) {
        terminatedOn = std::this_thread::get_id();
        ++terminations;
    };

    task->Terminate(true);
    EXPECT_EQ(terminations.load(), 1);
    EXPECT_NE(terminatedOn, std::this_thread::get_id());
    EXPECT_TRUE(task->Terminated);
    EXPECT_FALSE(task->Running);
    EXPECT_FALSE(task->Finished);
    EXPECT_FALSE(task->ExceptionRaised);
    task->Terminate(true);
    EXPECT_EQ(task->Start(false, TThreadPriority::Normal), nullptr);
    EXPECT_EQ(terminations.load(), 1);
}

TEST_F(RunControl, StopBeforeARunChangesNothing)
{
    AddConversion(TestMediaPath(TTestMedia::VideoAudioMp4), "later.mp4");
    Engine.StopTasks(true);
    Engine.PauseTasks();
    Engine.ResumeTasks();
    PumpFor(50ms);
    EXPECT_TRUE(NoticesSoFar().empty());
    EXPECT_FALSE(Engine.Working());

    Engine.StartTask(1);
    const std::vector<TNotice> notices = WaitForEndOfRun();
    ASSERT_EQ(IndexesOf(notices), (std::vector<int>{0, -1}));
    EXPECT_TRUE(notices[0].Finished);
}

TEST_F(RunControl, RunWithoutTasksEndsAtOnce)
{
    for (int parallel : {1, 0}) {
        Engine.StartTask(parallel);
        const std::vector<TNotice> notices = WaitForEndOfRun();
        ASSERT_EQ(IndexesOf(notices), (std::vector<int>{-1})) << parallel;
        ExpectEndOfRun(notices[0]);
        Engine.ClearTasks();
        std::lock_guard<std::mutex> guard(NoticeLock);
        Notices.clear();
    }
}

struct TPriorityCase
{
    TThreadPriority Priority;
    int Nice;
};

class WorkerPriority : public RunControl, public ::testing::WithParamInterface<TPriorityCase>
{
};

TEST_P(WorkerPriority, WorkerRunsAtTheNiceValueOfThePriority)
{
    Engine.SetThreadPriority(GetParam().Priority);
    AddConversion(TestMediaPath(TTestMedia::VideoAudioMp4), "priority.mp4");
    std::atomic<int> nice{-100};
    Engine.OnCustomHook = [&](QObject*, PHookInfo info) {
        int value = 0;
        if (info->FrameNumber == 1 && GetThreadNice(CurrentThreadId(), value))
            nice = value;
    };
    Engine.StartTask(1);
    WaitForEndOfRun();
    EXPECT_EQ(nice.load(), GetParam().Nice);
}

INSTANTIATE_TEST_SUITE_P(Priorities, WorkerPriority,
                         ::testing::Values(TPriorityCase{TThreadPriority::Idle, 19},
                                           TPriorityCase{TThreadPriority::Lower, 5},
                                           TPriorityCase{TThreadPriority::Lowest, 10}),
                         [](const auto& info) { return std::to_string(info.param.Nice); });

} // namespace
