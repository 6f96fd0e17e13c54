#include "jobs/ConversionRun.h"
#include "jobs/TerminateQueue.h"

#include "app/GlobalObject.h"
#include "app/IniFile.h"
#include "app/ParameterBoxes.h"
#include "engine/TFFmpegVCL.h"
#include "jobs/RunHost.h"
#include "jobs/RunProgressTexts.h"
#include "jobs/TlvFilesRecord.h"
#include "media/FFmpegException.h"
#include "platform/DialogService.h"
#include "platform/NumberText.h"
#include "platform/ShellOpener.h"
#include "platform/Shutdown.h"
#include "support/FfprobeFacts.h"
#include "support/TemporaryFolder.h"
#include "support/TestMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Processes the main thread's events until `done` holds or a generous limit
// has passed (the limit only keeps a broken run from hanging the test).
bool ProcessEventsUntil(const std::function<bool()>& done, int limitMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

TTerminateNotice Notice(int taskIndex, bool finished = true)
{
    TTerminateNotice notice;
    notice.TaskIndex = taskIndex;
    notice.Finished = finished;
    return notice;
}

// Posts from a thread of its own, as the engine does, and waits for that thread.
void PostFromThread(TTerminateQueue& queue, const TTerminateNotice& notice)
{
    std::thread poster([&] { queue.Post(notice); });
    poster.join();
}

// Records what the handler receives and on which thread.
struct TSeenNotices
{
    std::vector<int> Order;
    bool AllOnMainThread = true;
    int Depth = 0;
    int MaxDepth = 0;

    TTerminateQueue::THandler Handler(std::function<void(const TTerminateNotice&)> inside = {})
    {
        return [this, inside](const TTerminateNotice& notice) {
            ++Depth;
            MaxDepth = std::max(MaxDepth, Depth);
            AllOnMainThread = AllOnMainThread && QThread::currentThread() == qApp->thread();
            Order.push_back(notice.TaskIndex);
            if (inside)
                inside(notice);
            --Depth;
        };
    }
};

} // namespace

TEST(TerminateQueue, TheEndOfTheRunWaitsForEveryTaskAndAllArriveInTheMainThread)
{
    TSeenNotices seen;
    TTerminateQueue queue(seen.Handler());
    queue.BeginRun(3);
    // The end of the run overtakes the tasks, and the tasks arrive out of order.
    PostFromThread(queue, Notice(-1));
    PostFromThread(queue, Notice(2, false));
    PostFromThread(queue, Notice(0));
    EXPECT_TRUE(seen.Order.empty()) << "nothing is handled on the posting threads";
    PostFromThread(queue, Notice(1));

    ASSERT_TRUE(ProcessEventsUntil([&] { return seen.Order.size() == 4; }));
    EXPECT_EQ(seen.Order, (std::vector<int>{2, 0, 1, -1}));
    EXPECT_TRUE(seen.AllOnMainThread);
    EXPECT_FALSE(queue.RunOpen());
}

TEST(TerminateQueue, OverlappingNoticesFromManyThreadsEndWithTheRunsEnd)
{
    constexpr int Tasks = 6;
    for (int round = 0; round < 40; ++round) {
        TSeenNotices seen;
        TTerminateQueue queue(seen.Handler());
        queue.BeginRun(Tasks);
        std::atomic<bool> go{false};
        std::vector<std::thread> posters;
        for (int index = -1; index < Tasks; ++index)
            posters.emplace_back([&, index] {
                while (!go.load())
                    std::this_thread::yield();
                queue.Post(Notice(index));
            });
        go = true;
        for (std::thread& t : posters)
            t.join();

        ASSERT_TRUE(ProcessEventsUntil([&] { return seen.Order.size() == Tasks + 1; })) << round;
        EXPECT_EQ(seen.Order.back(), -1) << round;
        EXPECT_EQ(std::set<int>(seen.Order.begin(), seen.Order.end() - 1).size(), size_t(Tasks)) << round;
        EXPECT_TRUE(seen.AllOnMainThread) << round;
    }
}

TEST(TerminateQueue, NoticesWaitWhileTheMainThreadIsInsideAHeldEngineCall)
{
    TSeenNotices seen;
    TTerminateQueue queue(seen.Handler());
    queue.BeginRun(1);
    {
        TTerminateQueue::THold hold(queue);
        PostFromThread(queue, Notice(0, false));
        PostFromThread(queue, Notice(-1));
        // What a stop with waiting does while it waits: process events.
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
        queue.DeliverPending();
        EXPECT_TRUE(seen.Order.empty());
        EXPECT_TRUE(queue.RunOpen());
    }
    ASSERT_TRUE(ProcessEventsUntil([&] { return seen.Order.size() == 2; }));
    EXPECT_EQ(seen.Order, (std::vector<int>{0, -1}));
}

TEST(TerminateQueue, AHandlerThatProcessesEventsIsNeverEnteredTwice)
{
    TSeenNotices seen;
    TTerminateQueue* queuePointer = nullptr;
    TTerminateQueue queue(seen.Handler([&](const TTerminateNotice& notice) {
        if (notice.TaskIndex == 0) {
            // More notices arrive while the first is handled, and the handler
            // itself runs the event loop (as a closing window does).
            PostFromThread(*queuePointer, Notice(-1));
            PostFromThread(*queuePointer, Notice(1));
            for (int i = 0; i < 20; ++i)
                QCoreApplication::processEvents();
        }
    }));
    queuePointer = &queue;
    queue.BeginRun(2);
    PostFromThread(queue, Notice(0));

    ASSERT_TRUE(ProcessEventsUntil([&] { return seen.Order.size() == 3; }));
    EXPECT_EQ(seen.Order, (std::vector<int>{0, 1, -1}));
    EXPECT_EQ(seen.MaxDepth, 1);
}

TEST(TerminateQueue, NoticesPostedAfterTheQueueIsGoneAreDropped)
{
    TSeenNotices seen;
    std::function<void(const TTerminateNotice&)> poster;
    {
        TTerminateQueue queue(seen.Handler());
        queue.BeginRun(1);
        poster = queue.Poster();
        PostFromThread(queue, Notice(0)); // queued, never handled
    }
    std::thread late([&] { poster(Notice(-1)); });
    late.join();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(seen.Order.empty());
}

// ---- whole runs through the real engine

namespace {

// The progress display the way the command line has it: Start waits in an
// event loop until the run's end closes it. Cancel stops the run and closes,
// as the progress window's Cancel does.
class TTestRunView : public IRunProgressView
{
public:
    explicit TTestRunView(QStringList& events) : FEvents(events) {}

    void ShowProgress(const TRunProgressTexts& texts) override
    {
        Reports.push_back(texts);
        if (OnReport)
            OnReport(texts);
    }
    void ShowTaskFinished() override { ++TasksFinished; }
    bool OpenFolderAfterRun() const override { return OpenFolder; }
    bool ShutDownAfterRun() const override { return ShutDown; }
    void ShowDuringRun() override
    {
        ++Shows;
        Visible = true;
        QEventLoop loop;
        FLoop = &loop;
        // Only keeps a broken run from hanging the test.
        QTimer::singleShot(120000, &loop, [&] {
            HungUp = true;
            loop.quit();
        });
        loop.exec();
        FLoop = nullptr;
    }
    void CloseView() override
    {
        FEvents << QStringLiteral("close");
        if (!Visible)
            return;
        Visible = false;
        if (FLoop)
            FLoop->quit();
    }
    void Cancel(IRunControl& control)
    {
        control.StopRun();
        Visible = false;
        if (FLoop)
            FLoop->quit();
    }

    std::vector<TRunProgressTexts> Reports;
    std::function<void(const TRunProgressTexts&)> OnReport;
    int TasksFinished = 0;
    int Shows = 0;
    bool OpenFolder = true;
    bool ShutDown = false;
    bool Visible = false;
    bool HungUp = false;

private:
    QStringList& FEvents;
    QEventLoop* FLoop = nullptr;
};

struct TTestRow
{
    bool Checked = false;
    TlvFilesRecord Record;
    std::optional<QString> Progress; // never set: empty
};

// The rows of a file list and the window around them.
class TTestRunHost : public IRunHost
{
public:
    TTestRunHost(TParameterBoxes& boxes, QString outputFolder)
        : View(Events), FBoxes(boxes), FOutputFolder(std::move(outputFolder))
    {
    }

    void AddRow(const QString& path, bool checked)
    {
        TTestRow row;
        row.Checked = checked;
        row.Record.FileName = path;
        Rows.push_back(row);
    }

    int RowCount() const override { return int(Rows.size()); }
    bool RowChecked(int row) const override { return Rows.at(size_t(row)).Checked; }
    QString RowCaption(int row) const override { return Rows.at(size_t(row)).Record.FileName; }
    TlvFilesRecord& RowRecord(int row) override { return Rows.at(size_t(row)).Record; }
    void SetRowProgress(int row, const QString& text) override
    {
        Rows.at(size_t(row)).Progress = text;
        if (text == FinishedRowText())
            Events << QStringLiteral("row %1: %2").arg(row).arg(text);
    }
    void ValidateFrameSize() override
    {
        FBoxes.VideoSizeExit();
        Events << QStringLiteral("validate");
    }
    void StopPreviewPlayer() override { Events << QStringLiteral("stop preview"); }
    void EnableListCommands() override { Events << QStringLiteral("enable"); }
    QString ShownOutputFolder() const override { return FOutputFolder; }
    IRunProgressView& ProgressView() override { return View; }

    std::vector<TTestRow> Rows;
    QStringList Events;
    TTestRunView View;

private:
    TParameterBoxes& FBoxes;
    QString FOutputFolder;
};

// A settings file beside the shipped catalogue, the iPod profile with its
// defaults, an output folder, the engine and recorders for every service a
// run may call.
class ConversionRunTest : public ::testing::Test
{
protected:
    ConversionRunTest()
        : SettingsFile(Temp.FilePath("quenvoipodclarvix.ini")),
          CatalogueFile(QStringLiteral(CLARVIX_SOURCE_DIR "/data/quenvoipodformat.ini")),
          OutputFolder(Temp.FilePath("out")), Boxes(SettingsFile, CatalogueFile), Host(Boxes, OutputFolder),
          DialogScope(Recorder)
    {
        Context.SetSettingsFile(SettingsFile);
        Context.SetFormatFile(CatalogueFile);
        GlobalObject = &Context;
        IniFile settings(SettingsFile);
        settings.WriteInteger("settings", "FormatCode", 1);
        WriteOutputFolder(OutputFolder);
        Boxes.SetFormatCode(QStringLiteral("1"));
        Boxes.LoadProfileWithDefaults();
        SetShell(&Shell);
        SetShutdown(&PowerOff);
        if (!Engine.LoadLibraries(ExecutableFolder() + QStringLiteral("LibAV")))
            ADD_FAILURE() << Engine.LastErrMsg().toStdString();
        Engine.SetProgressInterval(100);
    }
    ~ConversionRunTest() override
    {
        SetShell(nullptr);
        SetShutdown(nullptr);
        GlobalObject = nullptr;
    }

    void WriteOutputFolder(const QString& folder)
    {
        IniFile(SettingsFile).WriteString("settings", "OutPutDir", folder);
    }

    // Runs Start and then the event loop until the run's end has been handled.
    bool StartAndFinish(TConversionRun& run)
    {
        const bool started = run.Start();
        EXPECT_FALSE(Host.View.HungUp) << "the run never ended";
        EXPECT_TRUE(ProcessEventsUntil([&] { return !run.RunGoing(); }));
        return started;
    }

    QString Output(const QString& name) const { return QDir(OutputFolder).filePath(name); }

    TTemporaryFolder Temp;
    TGlobalObject Context;
    QString SettingsFile;
    QString CatalogueFile;
    QString OutputFolder;
    TParameterBoxes Boxes;
    TTestRunHost Host;
    TRecordingDialogs Recorder;
    TScopedDialogs DialogScope;
    TRecordingShell Shell;
    TRecordingShutdown PowerOff;
    TFFmpegVCL Engine;
};

QString StreamCodec(const QJsonObject& facts, const QString& type)
{
    for (const QJsonValue& stream : facts["streams"].toArray())
        if (stream["codec_type"].toString() == type)
            return stream["codec_name"].toString();
    return {};
}

// Mean grey level of the first picture of a file, read by the ffmpeg program.
double FirstFrameGreyMean(const QString& path)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-v", "error", "-i", "file:" + path, "-frames:v", "1", "-f",
                                            "rawvideo", "-pix_fmt", "gray", "-"});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
        return -1;
    const QByteArray grey = ffmpeg.readAllStandardOutput();
    if (grey.isEmpty())
        return -1;
    double sum = 0;
    for (const char level : grey)
        sum += quint8(level);
    return sum / grey.size();
}

} // namespace

TEST_F(ConversionRunTest, WithNoRowCheckedStartWarnsAndStartsNothing)
{
    TConversionRun run(Engine, Host);
    for (int row = 0; row < 5; ++row)
        Host.AddRow(TestMediaPath(TTestMedia::VideoAudioMp4), false);

    EXPECT_FALSE(run.Start());
    ASSERT_EQ(Recorder.Boxes.size(), 1u);
    EXPECT_EQ(Recorder.Boxes[0].Text, QStringLiteral("Please select a file by clicking the check box!"));
    EXPECT_EQ(Recorder.Boxes[0].Caption, QStringLiteral("Warning"));
    EXPECT_EQ(Recorder.Boxes[0].Buttons, TMsgButtons::Ok);
    EXPECT_EQ(Host.Events, QStringList{"validate"});
    EXPECT_EQ(Host.View.Shows, 0);
    EXPECT_EQ(Engine.TaskCount(), 0);
    EXPECT_FALSE(run.RunGoing());
}

TEST_F(ConversionRunTest, PrioritySettingMapsToTheEnginesPriority)
{
    struct Case
    {
        std::optional<int> Stored; // empty: no "priority" key
        TThreadPriority Before;
        TThreadPriority After;
    };
    const Case cases[] = {
        {0, TThreadPriority::Normal, TThreadPriority::Idle},
        {1, TThreadPriority::Lowest, TThreadPriority::Normal},
        {2, TThreadPriority::Normal, TThreadPriority::Lower},
        {3, TThreadPriority::Normal, TThreadPriority::Lowest},
        {std::nullopt, TThreadPriority::Lowest, TThreadPriority::Normal}, // default 1
        {7, TThreadPriority::Lowest, TThreadPriority::Lowest},
        {-1, TThreadPriority::Idle, TThreadPriority::Idle},
    };
    TConversionRun run(Engine, Host); // no row checked: Start ends after the priority
    for (const Case& c : cases) {
        IniFile settings(SettingsFile);
        if (c.Stored)
            settings.WriteInteger("settings", "priority", *c.Stored);
        else
            settings.DeleteKey("settings", "priority");
        Engine.SetThreadPriority(c.Before);
        EXPECT_FALSE(run.Start());
        EXPECT_EQ(Engine.ThreadPriority(), c.After) << (c.Stored ? *c.Stored : -100);
    }
}

TEST_F(ConversionRunTest, TwoCheckedRowsOfFiveConvertInListOrder)
{
    TConversionRun run(Engine, Host);
    const QString first = TestMediaPath(TTestMedia::VideoAudioMp4);
    const QString second = TestMediaPath(TTestMedia::Clip25Fps);
    Host.AddRow(TestMediaPath(TTestMedia::VideoOnly), false);
    Host.AddRow(first, true);
    Host.AddRow(Temp.FilePath("not_there.avi"), false); // unchecked rows are never opened
    Host.AddRow(second, true);
    Host.AddRow(TestMediaPath(TTestMedia::Clip2997Fps), false);
    Host.Rows[1].Record.Zoom = QStringLiteral("full"); // what the crop editor left
    Host.View.ShutDown = true;

    ASSERT_TRUE(StartAndFinish(run));

    EXPECT_EQ(run.TaskRows(), (std::vector<int>{1, 3}));
    const QString expectedZoom = IniFile(SettingsFile).ReadString("formatInfo1", "parazoom", "lbox");
    EXPECT_EQ(Host.Rows[1].Record.Zoom, expectedZoom);
    EXPECT_EQ(Host.Rows[3].Record.Zoom, expectedZoom);

    // Every report in the window's formats, first all of [1/2], then [2/2].
    ASSERT_FALSE(Host.View.Reports.empty());
    const QRegularExpression seconds(QStringLiteral("^\\d+ Second$"));
    const QRegularExpression kilobytes(QStringLiteral("^\\d+ kb$"));
    const QRegularExpression percent(QStringLiteral("^\\d+%$"));
    QStringList taskNumbers;
    for (const TRunProgressTexts& report : Host.View.Reports) {
        EXPECT_TRUE(seconds.match(report.Time).hasMatch()) << report.Time.toStdString();
        EXPECT_TRUE(seconds.match(report.Length).hasMatch()) << report.Length.toStdString();
        EXPECT_TRUE(kilobytes.match(report.Size).hasMatch()) << report.Size.toStdString();
        EXPECT_TRUE(percent.match(report.RowText).hasMatch()) << report.RowText.toStdString();
        EXPECT_EQ(report.File, ShortSourceText(report.TaskNumber == "[1/2]" ? first : second));
        if (taskNumbers.isEmpty() || taskNumbers.last() != report.TaskNumber)
            taskNumbers << report.TaskNumber;
    }
    EXPECT_EQ(taskNumbers, (QStringList{"[1/2]", "[2/2]"}));

    // Rows, after-conversion actions and the end of the run, in this order.
    EXPECT_EQ(Host.Rows[1].Progress, QString("100%"));
    EXPECT_EQ(Host.Rows[3].Progress, QString("100%"));
    for (int row : {0, 2, 4})
        EXPECT_FALSE(Host.Rows[size_t(row)].Progress.has_value()) << row;
    EXPECT_EQ(Host.View.TasksFinished, 2);
    EXPECT_EQ(Host.Events,
              (QStringList{"validate", "stop preview", "row 1: 100%", "row 3: 100%", "enable", "close"}));
    EXPECT_EQ(Shell.Folders, std::vector<QString>{OutputFolder});
    EXPECT_EQ(PowerOff.Requests, 1);
    EXPECT_EQ(Engine.TaskCount(), 0);

    // The files under their names, as the profile makes them.
    const std::vector<QString> expected{Output("video_audio_(new).mp4"), Output("clip_25fps_(new).mp4")};
    EXPECT_EQ(run.TaskDestinations(), expected);
    for (const QString& output : expected) {
        const QJsonObject facts = FfprobeFacts(output);
        EXPECT_TRUE(facts["format"]["format_name"].toString().contains("mp4")) << output.toStdString();
        EXPECT_EQ(StreamCodec(facts, "video"), QString("h264")) << output.toStdString();
        EXPECT_EQ(StreamCodec(facts, "audio"), QString("aac")) << output.toStdString();
    }
}

TEST_F(ConversionRunTest, SourcesWithOneBaseNameGetTheirOwnFilesAndTheirOwnEffects)
{
    TConversionRun run(Engine, Host);
    QDir().mkpath(Temp.FilePath("a"));
    QDir().mkpath(Temp.FilePath("b"));
    Host.AddRow(CopyTestMedia(TTestMedia::VideoAudioMp4, Temp.FilePath("a/clip.mp4")), true);
    Host.AddRow(CopyTestMedia(TTestMedia::VideoAudioMp4, Temp.FilePath("b/clip.mp4")), true);
    // Only the second row darkens its frames: the hook must find each
    // task's own record.
    Host.Rows[1].Record.Brightness = 0;
    Host.View.OpenFolder = false;

    ASSERT_TRUE(StartAndFinish(run));

    const std::vector<QString> expected{Output("clip_(new).mp4"), Output("clip_(new_1).mp4")};
    EXPECT_EQ(run.TaskDestinations(), expected);
    EXPECT_EQ(Host.Rows[0].Progress, QString("100%"));
    EXPECT_EQ(Host.Rows[1].Progress, QString("100%"));
    EXPECT_TRUE(Shell.Folders.empty());
    EXPECT_EQ(PowerOff.Requests, 0);
    const double plain = FirstFrameGreyMean(expected[0]);
    const double darkened = FirstFrameGreyMean(expected[1]);
    EXPECT_GT(plain, 60.0);
    EXPECT_GE(darkened, 0.0);
    EXPECT_LT(darkened, 25.0);
}

TEST_F(ConversionRunTest, CancelDuringTheFirstOfThreeEndsTheRunWithoutAfterActions)
{
    TConversionRun run(Engine, Host);
    Host.AddRow(TestMediaPath(TTestMedia::VideoAudioMp4), true);
    Host.AddRow(TestMediaPath(TTestMedia::Clip25Fps), true);
    Host.AddRow(TestMediaPath(TTestMedia::Clip2997Fps), true);
    Host.View.ShutDown = true;
    // The first task converts slowly enough to be caught while it runs.
    const TCustomHookEvent hook = Engine.OnCustomHook;
    Engine.OnCustomHook = [hook](QObject* sender, PHookInfo info) {
        hook(sender, info);
        if (info->TaskIndex == 0) {
            info->StopHook = false;
            QThread::msleep(40);
        }
    };
    bool cancelled = false;
    Host.View.OnReport = [&](const TRunProgressTexts& report) {
        if (cancelled || report.TaskNumber != "[1/3]")
            return;
        cancelled = true;
        // As a click on Cancel: from the event loop, not inside the report.
        QTimer::singleShot(0, [&] { Host.View.Cancel(run); });
    };

    ASSERT_TRUE(StartAndFinish(run));

    ASSERT_TRUE(cancelled);
    for (const TTestRow& row : Host.Rows)
        EXPECT_NE(row.Progress.value_or(QString()), QString("100%"));
    EXPECT_EQ(Host.View.TasksFinished, 0);
    EXPECT_TRUE(Shell.Folders.empty());
    EXPECT_EQ(PowerOff.Requests, 0);
    EXPECT_TRUE(Host.Events.contains("enable"));
    EXPECT_EQ(Engine.TaskCount(), 0);
    // The stopped file is complete enough to play; the others were never begun.
    const QJsonObject facts = FfprobeFacts(run.TaskDestinations()[0]);
    EXPECT_EQ(StreamCodec(facts, "video"), QString("h264"));
    EXPECT_GT(facts["format"]["duration"].toString().toDouble(), 0.0);
    EXPECT_FALSE(QFileInfo::exists(run.TaskDestinations()[1]));
    EXPECT_FALSE(QFileInfo::exists(run.TaskDestinations()[2]));
}

TEST_F(ConversionRunTest, AFileThatNoLongerOpensEndsStartAndTheNextStartBeginsAfresh)
{
    TConversionRun run(Engine, Host);
    Host.AddRow(TestMediaPath(TTestMedia::VideoAudioMp4), true);
    Host.AddRow(TestMediaPath(TTestMedia::Clip25Fps), true);
    Host.AddRow(Temp.FilePath("removed since it was added.mp4"), true);
    Host.View.OpenFolder = false;
    // An empty file that was there before: the run names around it and must leave it alone.
    QDir().mkpath(OutputFolder);
    QFile before(Output("clip_25fps_(new).mp4"));
    ASSERT_TRUE(before.open(QIODevice::WriteOnly));
    before.close();

    try {
        run.Start();
        ADD_FAILURE() << "Start went on without the third file";
    } catch (const FFmpegException& error) {
        EXPECT_TRUE(QString::fromStdString(error.what()).contains("removed since it was added.mp4"))
            << error.what();
    }
    EXPECT_EQ(Host.View.Shows, 0);
    EXPECT_FALSE(run.RunGoing());
    EXPECT_FALSE(Host.Rows[0].Progress.has_value());
    // Discarded at once: no task, and none of the outputs the first two rows had opened.
    EXPECT_EQ(Engine.TaskCount(), 0);
    EXPECT_EQ(QDir(OutputFolder).entryList(QDir::Files), QStringList{"clip_25fps_(new).mp4"});

    Host.Rows[2].Checked = false;
    ASSERT_TRUE(StartAndFinish(run));
    EXPECT_EQ(run.TaskRows(), (std::vector<int>{0, 1}));
    EXPECT_EQ(run.TaskDestinations(),
              (std::vector<QString>{Output("video_audio_(new).mp4"), Output("clip_25fps_(new_1).mp4")}));
    EXPECT_EQ(Host.Rows[0].Progress, QString("100%"));
    EXPECT_EQ(Host.Rows[1].Progress, QString("100%"));
    EXPECT_EQ(Engine.TaskCount(), 0);
}

TEST_F(ConversionRunTest, SettingsTheMappingCannotUseEndStartWithNothingLeft)
{
    TConversionRun run(Engine, Host);
    Host.AddRow(TestMediaPath(TTestMedia::VideoAudioMp4), true);
    Host.AddRow(TestMediaPath(TTestMedia::Clip25Fps), true);
    IniFile(SettingsFile).WriteString("formatInfo1", "paraVolume", "loud");

    EXPECT_THROW(run.Start(), EConvertError);
    EXPECT_EQ(Host.View.Shows, 0);
    EXPECT_FALSE(run.RunGoing());
    EXPECT_EQ(Engine.TaskCount(), 0);
    EXPECT_TRUE(QDir(OutputFolder).entryList(QDir::Files).isEmpty());
}

// What the command line asks of a run: its own profile, folder, zoom and
// task count, and rows that cannot be opened left out with their reasons.
TEST_F(ConversionRunTest, RunOptionsChooseProfileFolderZoomAndLeaveOutRowsThatFail)
{
    Boxes.SetFormatCode(QStringLiteral("0"));
    Boxes.LoadProfileWithDefaults();
    IniFile(SettingsFile).WriteInteger("settings", "FormatCode", 1);
    TConversionRun run(Engine, Host);
    Host.AddRow(Temp.FilePath("gone.mp4"), true);
    Host.AddRow(TestMediaPath(TTestMedia::VideoAudioMp4), true);
    Host.AddRow(TestMediaPath(TTestMedia::VideoOnly), true);
    Host.AddRow(TestMediaPath(TTestMedia::Clip25Fps), true);
    Host.View.OpenFolder = false;

    const QString folder = Temp.FilePath("given");
    TRunOptions options;
    options.ProfileCode = 0;
    options.OutputFolder = folder;
    options.ParallelTasks = 2;
    options.Zoom = QStringLiteral("full");
    options.LeaveOutFailingRows = true;
    options.RowProblem = [](int row, TAVProbe&) { return row == 2 ? QStringLiteral("refused") : QString(); };
    std::vector<std::pair<int, QString>> leftOut;
    options.OnRowLeftOut = [&](int row, const QString& reason) { leftOut.emplace_back(row, reason); };

    const bool started = run.Start(options);
    EXPECT_TRUE(ProcessEventsUntil([&] { return !run.RunGoing(); }));
    ASSERT_TRUE(started);

    ASSERT_EQ(leftOut.size(), 2u);
    EXPECT_EQ(leftOut[0].first, 0);
    EXPECT_TRUE(leftOut[0].second.endsWith("No such file or directory")) << leftOut[0].second.toStdString();
    EXPECT_EQ(leftOut[1], (std::pair<int, QString>{2, "refused"}));
    EXPECT_EQ(run.TaskRows(), (std::vector<int>{1, 3}));
    EXPECT_EQ(Host.Rows[1].Progress, QString("100%"));
    EXPECT_EQ(Host.Rows[3].Progress, QString("100%"));
    EXPECT_EQ(Host.Rows[1].Record.Zoom, QString("full"));
    const std::vector<QString> expected{folder + "/video_audio_(new).mp4", folder + "/clip_25fps_(new).mp4"};
    EXPECT_EQ(run.TaskDestinations(), expected);
    for (const QString& output : expected)
        EXPECT_EQ(StreamCodec(FfprobeFacts(output), "video"), QString("mpeg4")) << output.toStdString();
    EXPECT_TRUE(QDir(OutputFolder).entryList(QDir::Files).isEmpty()) << "the stored folder is not used";
    EXPECT_EQ(IniFile(SettingsFile).ReadString("settings", "OutPutDir", ""), OutputFolder);
}

TEST_F(ConversionRunTest, RowsWhoseOutputCannotBeOpenedAreLeftOutWithTheEnginesReason)
{
    TConversionRun run(Engine, Host);
    Host.AddRow(TestMediaPath(TTestMedia::VideoAudioMp4), true);
    QFile plain(Temp.FilePath("plain_file"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    TRunOptions options;
    options.OutputFolder = Temp.FilePath("plain_file/out"); // nothing can be made under a file
    options.LeaveOutFailingRows = true;
    QStringList reasons;
    options.OnRowLeftOut = [&](int, const QString& reason) { reasons << reason; };

    EXPECT_FALSE(run.Start(options));
    ASSERT_EQ(reasons.size(), 1);
    EXPECT_TRUE(reasons[0].contains("plain_file/out/video_audio_(new).mp4")) << reasons[0].toStdString();
    EXPECT_EQ(Host.View.Shows, 0);
    EXPECT_FALSE(run.RunGoing());
    EXPECT_EQ(Engine.TaskCount(), 0);
}

// Two runs on one engine: the first one going must take nothing of the second.
TEST_F(ConversionRunTest, ARunThatGoesLeavesTheHandlersAndTasksOfALaterRunAlone)
{
    auto earlier = std::make_unique<TConversionRun>(Engine, Host);
    TConversionRun later(Engine, Host);
    Host.AddRow(TestMediaPath(TTestMedia::VideoAudioMp4), true);
    Host.View.OpenFolder = false;
    bool gone = false;
    Host.View.OnReport = [&](const TRunProgressTexts&) {
        if (std::exchange(gone, true))
            return;
        QTimer::singleShot(0, [&] { earlier.reset(); });
    };

    ASSERT_TRUE(StartAndFinish(later));
    EXPECT_TRUE(gone);
    EXPECT_FALSE(earlier);
    EXPECT_EQ(Host.Rows[0].Progress, QString("100%"));
    EXPECT_TRUE(Host.Events.contains("enable"));
    EXPECT_TRUE(bool(Engine.OnTerminate));
    EXPECT_TRUE(bool(Engine.OnProgress));
    EXPECT_TRUE(bool(Engine.OnCustomHook));
    EXPECT_TRUE(bool(Engine.OnPreviewBitmap));
}

TEST_F(ConversionRunTest, ClosingTheMainWindowDuringARunStopsItWithoutTouchingTheWindow)
{
    auto run = std::make_unique<TConversionRun>(Engine, Host);
    Host.AddRow(TestMediaPath(TTestMedia::VideoAudioMp4), true);
    Host.AddRow(TestMediaPath(TTestMedia::Clip25Fps), true);
    const TCustomHookEvent hook = Engine.OnCustomHook;
    Engine.OnCustomHook = [hook](QObject* sender, PHookInfo info) {
        hook(sender, info);
        info->StopHook = false;
        QThread::msleep(40);
    };
    Host.View.OnReport = [&](const TRunProgressTexts&) {
        Host.View.OnReport = nullptr;
        QTimer::singleShot(0, [&] {
            run->StopForClosing();
            Host.View.CloseView();
        });
    };
    run->Start();
    const QStringList eventsAtClose = Host.Events;
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    // The stopped tasks' notices reach nothing any more.
    EXPECT_EQ(Host.Events, eventsAtClose);
    EXPECT_FALSE(Host.Events.contains("enable"));
    for (int task = 0; task < Engine.TaskCount(); ++task)
        EXPECT_TRUE(Engine.Task(task)->Terminated) << task;
    run.reset();
    // The hook now installed is this test's wrapper, not the run's.
    EXPECT_FALSE(bool(Engine.OnTerminate));
    EXPECT_FALSE(bool(Engine.OnProgress));
    EXPECT_FALSE(bool(Engine.OnPreviewBitmap));
}
