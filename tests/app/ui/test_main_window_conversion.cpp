#include "MainWindowFixture.h"

#include "app/ProfileCatalogue.h"
#include "app/ui/ClarvixApplication.h"
#include "jobs/ConversionRun.h"
#include "jobs/FileListRules.h"
#include "jobs/ui/FrmProgress.h"
#include "jobs/ui/TfmDirectory.h"
#include "platform/ShellOpener.h"
#include "platform/Shutdown.h"
#include "support/FfprobeFacts.h"
#include "support/TestMedia.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QThread>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>
#include <map>
#include <memory>

namespace {

QByteArray ShippedCatalogue()
{
    QFile file(QStringLiteral(CLARVIX_SOURCE_DIR "/data/quenvoipodformat.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the progress window showed at one moment of a run.
struct TProgressShot
{
    QString Time, Length, Size, Number, File;
    int Bar = 0;
};

// The main window over the shipped catalogue, its own settings and output
// folder, with recorders for opening folders and for the power-off.
struct TConversionWindow : TMainWindowFixture
{
    TConversionWindow() : TMainWindowFixture({}, Catalogue().constData())
    {
        QDir().mkpath(Clips());
        Settings().WriteString("settings", "OutPutDir", Out());
        SetShell(&Shell);
        SetShutdown(&PowerOff);
        W().CCAVC.SetProgressInterval(100);
    }
    ~TConversionWindow()
    {
        Window.reset();
        SetShell(nullptr);
        SetShutdown(nullptr);
    }

    static const QByteArray& Catalogue()
    {
        static const QByteArray text = ShippedCatalogue();
        return text;
    }

    // The picker takes the keyboard focus, which needs an active window.
    bool ShowActive()
    {
        if (!Show())
            return false;
        Window->activateWindow();
        return QTest::qWaitForWindowActive(Window.get());
    }

    QString Out() const { return Folder.FilePath("out"); }
    QString Clips() const { return Folder.FilePath("clips"); }
    QString Clip(TTestMedia media, const QString& name) const
    {
        return CopyTestMedia(media, QDir(Clips()).filePath(name));
    }
    TfrmMain& W() const { return *Window; }
    QTreeWidgetItem* Row(int row) const { return W().lvFiles->topLevelItem(row); }
    QString Progress(int row) const { return Row(row)->text(ProgressColumn); }

    // Each frame of every task waits a little, so that the run reports its
    // progress while a task goes and a test can act in the middle of one.
    void SlowDownFrames(int milliseconds, int onlyTask = -1)
    {
        const TCustomHookEvent hook = W().CCAVC.OnCustomHook;
        W().CCAVC.OnCustomHook = [hook, milliseconds, onlyTask](QObject* sender, PHookInfo info) {
            hook(sender, info);
            if (onlyTask < 0 || info->TaskIndex == onlyTask) {
                info->StopHook = false;
                QThread::msleep(milliseconds);
            }
        };
    }

    // Chooses a profile in the picker as the mouse does: opens it with the
    // arrow, unfolds the category by its glyph, clicks the profile's name.
    void ChooseProfile(int code)
    {
        QListWidget* picker = W().lst1;
        auto rowOf = [picker](const QString& text) {
            for (int i = 0; i < picker->count(); ++i)
                if (picker->item(i)->text() == text)
                    return i;
            return -1;
        };
        auto at = [picker](int row, int x) {
            const QRect r = picker->visualItemRect(picker->item(row));
            return QPoint(r.left() + x, r.center().y());
        };
        QTest::mouseClick(W().imgbtn1, Qt::LeftButton);
        QVERIFY(picker->isVisible());
        const QString category = ProfileCategories().at(size_t(code / 100)).Name;
        const QString name = ProfileNameForCode(code).value_or(QString());
        if (rowOf(name) < 0) {
            QVERIFY(rowOf(category) >= 0);
            QTest::mouseClick(picker->viewport(), Qt::LeftButton, {}, at(rowOf(category), 8));
        }
        QVERIFY2(rowOf(name) >= 0, qPrintable(name));
        picker->scrollToItem(picker->item(rowOf(name)));
        QTest::mouseClick(picker->viewport(), Qt::LeftButton, {}, at(rowOf(name), 100));
        QCOMPARE(Settings().ReadString("settings", "FormatCode", ""), QString::number(code));
    }

    // Selects an item of a parameter box as the user does.
    static void Choose(QComboBox* box, const QString& item)
    {
        const int index = box->findText(item);
        QVERIFY2(index >= 0, qPrintable(item));
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    // Presses a Start button (the tool bar's unless given) and returns once
    // the progress window has closed, with what it showed every few
    // milliseconds meanwhile; `during` may act on each shot.
    std::vector<TProgressShot> StartAndWatch(const std::function<void(const TProgressShot&)>& during = {},
                                             QPushButton* start = nullptr)
    {
        std::vector<TProgressShot> shots;
        QTimer watch;
        watch.setInterval(5);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            const TfrmProgress* p = W().ProgressWindow();
            if (!p || !p->isVisible() || p->lblProgress->text().isEmpty())
                return;
            TProgressShot shot{p->lblTime->text(),     p->lblLength->text(), p->lblSize->text(),
                               p->lblProgress->text(), p->lblOutput->text(), p->progbarFile->value()};
            if (shots.empty() || shots.back().Number != shot.Number || shots.back().Time != shot.Time)
                shots.push_back(shot);
            if (during)
                during(shot);
        });
        watch.start();
        QTest::mouseClick(start ? start : W().btnStart, Qt::LeftButton);
        watch.stop();
        return shots;
    }

    TRecordingShell Shell;
    TRecordingShutdown PowerOff;
};

QString StreamValue(const QJsonObject& facts, const QString& type, const QString& key)
{
    for (const QJsonValue& stream : facts["streams"].toArray())
        if (stream["codec_type"].toString() == type)
            return stream[key].isString() ? stream[key].toString() : QString::number(stream[key].toInt());
    return {};
}

// The source as the "File:" label shows it, written out independently.
QString ShownSource(const QString& path)
{
    if (path.size() < 51)
        return path;
    return path.left(44) + ".." + path.mid(path.lastIndexOf('.'));
}

} // namespace

class TestMainWindowConversion : public QObject
{
    Q_OBJECT

private slots:
    void aRunOverThreeFilesWithAChosenProfile_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("box");  // the parameter box changed before Start
        QTest::addColumn<QString>("item"); // and the item chosen in it
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("container");  // a part of ffprobe's format name
        QTest::addColumn<QString>("videoCodec"); // empty: no video
        QTest::addColumn<QString>("frameSize");
        QTest::addColumn<QString>("audioCodec");
        QTest::addColumn<QString>("sampleRate");
        QTest::newRow("iPod H.264, smaller frame") << 1 << "cmbVideoSize"
                                                   << "320x180"
                                                   << "mp4"
                                                   << "mp4"
                                                   << "h264"
                                                   << "320x180"
                                                   << "aac"
                                                   << "44100";
        QTest::newRow("MOV, MP3 sound") << 300 << "cmbAudioEncoder"
                                        << "MP3"
                                        << "mov"
                                        << "mov"
                                        << "mpeg4"
                                        << "640x480"
                                        << "mp3"
                                        << "44100";
        QTest::newRow("AVI, MP2 sound") << 404 << "cmbAudioEncoder"
                                        << "MP2"
                                        << "avi"
                                        << "avi"
                                        << "mpeg4"
                                        << "640x480"
                                        << "mp2"
                                        << "44100";
        QTest::newRow("MP3, 22050 Hz") << 500 << "cmbSamplerate"
                                       << "22050"
                                       << "mp3"
                                       << "mp3"
                                       << ""
                                       << ""
                                       << "mp3"
                                       << "22050";
    }

    void aRunOverThreeFilesWithAChosenProfile()
    {
        QFETCH(int, code);
        QFETCH(QString, box);
        QFETCH(QString, item);
        QFETCH(QString, extension);
        QFETCH(QString, container);
        QFETCH(QString, videoCodec);
        QFETCH(QString, frameSize);
        QFETCH(QString, audioCodec);
        QFETCH(QString, sampleRate);

        TConversionWindow f;
        QVERIFY(f.ShowActive());
        TfrmMain& w = f.W();
        const QStringList sources{
            f.Clip(TTestMedia::VideoAudioMp4, "holiday.mp4"),
            f.Clip(TTestMedia::Clip25Fps, "a source whose path is long enough to be cut.avi"),
            f.Clip(TTestMedia::AudioMp3, "song.mp3"),
        };
        QVERIFY(sources[1].size() >= 51);
        w.AddSourceFiles(sources);
        QCOMPARE(w.lvFiles->topLevelItemCount(), 3);

        // Checking and unchecking, ending with every row checked.
        w.lvFiles->setCurrentItem(f.Row(1));
        w.Uncheck1->setEnabled(true);
        w.Uncheck1->trigger();
        QCOMPARE(f.Row(1)->checkState(0), Qt::Unchecked);
        w.ReserveCheck1->setEnabled(true);
        w.ReserveCheck1->trigger();
        w.ReserveCheck1->trigger();
        w.Check1->setEnabled(true);
        w.Check1->trigger();
        for (int row = 0; row < 3; ++row)
            QCOMPARE(f.Row(row)->checkState(0), Qt::Checked);

        f.ChooseProfile(code);
        if (QTest::currentTestFailed())
            return;
        const std::map<QString, QComboBox*> boxes{{"cmbVideoSize", w.cmbVideoSize},
                                                  {"cmbAudioEncoder", w.cmbAudioEncoder},
                                                  {"cmbSamplerate", w.cmbSamplerate}};
        TConversionWindow::Choose(boxes.at(box), item);
        if (QTest::currentTestFailed())
            return;
        f.SlowDownFrames(8);

        const std::vector<TProgressShot> shots = f.StartAndWatch();

        QVERIFY(f.Dialogs.Boxes.empty());
        QVERIFY(!w.ProgressWindow()->isVisible());
        QVERIFY(!shots.empty());
        const QRegularExpression seconds("^\\d+ Second$");
        const QRegularExpression kilobytes("^\\d+ kb$");
        QStringList numbers;
        for (const TProgressShot& shot : shots) {
            QVERIFY2(seconds.match(shot.Time).hasMatch(), qPrintable(shot.Time));
            QVERIFY2(seconds.match(shot.Length).hasMatch(), qPrintable(shot.Length));
            QVERIFY2(kilobytes.match(shot.Size).hasMatch(), qPrintable(shot.Size));
            const QRegularExpressionMatch number = QRegularExpression("^\\[([1-3])/3\\]$").match(shot.Number);
            QVERIFY2(number.hasMatch(), qPrintable(shot.Number));
            QCOMPARE(shot.File, ShownSource(sources[number.captured(1).toInt() - 1]));
            QVERIFY(shot.Bar >= 0 && shot.Bar <= 100);
            if (!numbers.contains(shot.Number))
                numbers << shot.Number;
        }
        // In task order. A task without pictures to slow down may end before
        // its first report; the first file's pictures are slowed down.
        QVERIFY(!numbers.isEmpty());
        QStringList ordered = numbers;
        ordered.sort();
        QCOMPARE(numbers, ordered);
        if (!videoCodec.isEmpty()) {
            QCOMPARE(numbers.first(), QString("[1/3]"));
            QCOMPARE(shots.front().Length, QString("2 Second"));
        }

        for (int row = 0; row < 3; ++row)
            QCOMPARE(f.Progress(row), QString("100%"));
        QCOMPARE(w.ProgressWindow()->progbarFile->value(), 100);
        // The run's end: the output folder was opened (checked by default), no power-off.
        QTRY_VERIFY(!w.ConversionRun().RunGoing());
        QCOMPARE(f.Shell.Folders, std::vector<QString>{f.Out()});
        QCOMPARE(f.PowerOff.Requests, 0);
        QCOMPARE(w.CCAVC.TaskCount(), 0);

        const QStringList bases{"holiday", "a source whose path is long enough to be cut", "song"};
        for (int i = 0; i < 3; ++i) {
            const QString output = QDir(f.Out()).filePath(bases[i] + "_(new)." + extension);
            QVERIFY2(QFileInfo::exists(output), qPrintable(output));
            QCOMPARE(w.ConversionRun().TaskDestinations()[size_t(i)], output);
            const QJsonObject facts = FfprobeFacts(output);
            QVERIFY2(facts["format"]["format_name"].toString().contains(container),
                     qPrintable(facts["format"]["format_name"].toString()));
            const bool sourceHasVideo = i < 2;
            const QString expectedVideo = sourceHasVideo ? videoCodec : QString();
            QCOMPARE(StreamValue(facts, "video", "codec_name"), expectedVideo);
            if (!expectedVideo.isEmpty())
                QCOMPARE(StreamValue(facts, "video", "width") + "x" + StreamValue(facts, "video", "height"),
                         frameSize);
            QCOMPARE(StreamValue(facts, "audio", "codec_name"), audioCodec);
            QCOMPARE(StreamValue(facts, "audio", "sample_rate"), sampleRate);
        }
        if (extension == "mov") {
            // A QuickTime file, not an MP4 under another name.
            const QJsonObject facts = FfprobeFacts(QDir(f.Out()).filePath("holiday_(new).mov"));
            QCOMPARE(facts["format"]["tags"]["major_brand"].toString(), QString("qt  "));
        }
    }

    void cancelDuringTheFirstOfThreeFiles()
    {
        TConversionWindow f;
        QVERIFY(f.Show());
        TfrmMain& w = f.W();
        w.AddSourceFiles({f.Clip(TTestMedia::VideoAudioMp4, "first.mp4"),
                          f.Clip(TTestMedia::Clip25Fps, "second.avi"),
                          f.Clip(TTestMedia::Clip2997Fps, "third.mp4")});
        f.SlowDownFrames(40, 0);
        // Only the end of the run enables them again.
        for (QPushButton* b : {w.btnAdd, w.btnRemove, w.btnClear, w.btnStart})
            b->setEnabled(false);

        bool cancelled = false;
        bool openChecked = false;
        f.StartAndWatch(
            [&](const TProgressShot& shot) {
                if (cancelled || shot.Number != "[1/3]")
                    return;
                cancelled = true;
                TfrmProgress* p = w.ProgressWindow();
                openChecked = p->ckOpen->isChecked();
                p->ckShutDown->setChecked(true);
                QTest::mouseClick(p->btnCancel, Qt::LeftButton);
            },
            w.SpeedButton1);

        QVERIFY(cancelled);
        QVERIFY(openChecked);
        QVERIFY(!w.ProgressWindow()->isVisible());
        QTRY_VERIFY(!w.ConversionRun().RunGoing());
        for (QPushButton* b : {w.btnAdd, w.btnRemove, w.btnClear, w.btnStart})
            QVERIFY(b->isEnabled());
        for (int row = 0; row < 3; ++row)
            QVERIFY(f.Progress(row) != "100%");
        QVERIFY(f.Shell.Folders.empty());
        QCOMPARE(f.PowerOff.Requests, 0);
        QCOMPARE(w.CCAVC.TaskCount(), 0);

        const std::vector<QString>& outputs = w.ConversionRun().TaskDestinations();
        const QJsonObject facts = FfprobeFacts(outputs[0]);
        QCOMPARE(StreamValue(facts, "video", "codec_name"), QString("h264"));
        QVERIFY(facts["format"]["duration"].toString().toDouble() > 0.0);
        QVERIFY(!QFileInfo::exists(outputs[1]));
        QVERIFY(!QFileInfo::exists(outputs[2]));
        QVERIFY(f.Dialogs.Boxes.empty());
    }

    void startWithNoRowCheckedWarnsAndStartsNothing()
    {
        TConversionWindow f;
        QVERIFY(f.Show());
        TfrmMain& w = f.W();
        w.AddSourceFiles({f.Clip(TTestMedia::VideoAudioMp4, "a.mp4"), f.Clip(TTestMedia::AudioMp3, "b.mp3")});
        w.lvFiles->setCurrentItem(f.Row(0));
        w.UncheckAll1->setEnabled(true);
        w.UncheckAll1->trigger();

        w.Start1->trigger();
        QCOMPARE(f.Dialogs.Boxes.size(), size_t(1));
        QCOMPARE(f.Dialogs.Boxes[0].Text, QString("Please select a file by clicking the check box!"));
        QCOMPARE(f.Dialogs.Boxes[0].Caption, QString("Warning"));
        QCOMPARE(f.Dialogs.Boxes[0].Buttons, TMsgButtons::Ok);
        QVERIFY(w.ProgressWindow() == nullptr);
        QCOMPARE(w.CCAVC.TaskCount(), 0);
        QVERIFY(QDir(f.Out()).entryList(QDir::Files).isEmpty());
    }

    void aFileGoneSinceItWasAddedEndsStartWithTheErrorMessage()
    {
        TConversionWindow f;
        QVERIFY(f.Show());
        TfrmMain& w = f.W();
        const QString file = f.Clip(TTestMedia::VideoAudioMp4, "moved away.mp4");
        w.AddSourceFiles({f.Clip(TTestMedia::AudioMp3, "stays.mp3"), file});
        QVERIFY(QFile::rename(file, file + ".elsewhere"));

        QTest::mouseClick(w.btnStart, Qt::LeftButton);
        QCOMPARE(f.Dialogs.Boxes.size(), size_t(1));
        QVERIFY2(f.Dialogs.Boxes[0].Text.contains("moved away.mp4"), qPrintable(f.Dialogs.Boxes[0].Text));
        QCOMPARE(f.Dialogs.Boxes[0].Caption, ApplicationTitle());
        QVERIFY(w.ProgressWindow() == nullptr);
        QVERIFY(!w.ConversionRun().RunGoing());
        QVERIFY(f.Progress(0).isEmpty());
    }

    void closingTheMainWindowDuringARunStopsIt()
    {
        TConversionWindow f;
        QVERIFY(f.Show());
        TfrmMain& w = f.W();
        w.AddSourceFiles(
            {f.Clip(TTestMedia::VideoAudioMp4, "first.mp4"), f.Clip(TTestMedia::Clip25Fps, "second.avi")});
        f.SlowDownFrames(40);
        f.Dialogs.Answers = {TMsgResult::Yes};
        bool closed = false;
        f.StartAndWatch([&](const TProgressShot&) {
            if (closed)
                return;
            closed = true;
            QVERIFY(w.close());
        });

        QVERIFY(closed);
        QVERIFY(!w.isVisible());
        QVERIFY(!w.ProgressWindow()->isVisible());
        for (int task = 0; task < w.CCAVC.TaskCount(); ++task)
            QVERIFY(w.CCAVC.Task(task)->Terminated);
        for (int row = 0; row < 2; ++row)
            QVERIFY(f.Progress(row) != "100%");
        QTest::qWait(50);
        // Nothing of the stopped run reaches the closed window any more.
        QVERIFY(f.Shell.Folders.empty());
        QCOMPARE(f.Dialogs.Boxes.size(), size_t(1)); // the exit question only
    }

    void theFolderBoxStoresEveryChange()
    {
        TConversionWindow f;
        QVERIFY(f.Show());
        QCOMPARE(f.W().edDirectory->text(), f.Out());
        f.W().edDirectory->setText("/srv/media/converted");
        QCOMPARE(f.Settings().ReadString("settings", "OutPutDir", ""), QString("/srv/media/converted"));
    }

    void browsStoresAndShowsANewFolderOnly_data()
    {
        QTest::addColumn<QString>("pick"); // "other", "shown" or "cancel"
        QTest::addColumn<bool>("changed");
        QTest::newRow("another folder") << "other" << true;
        QTest::newRow("the folder shown") << "shown" << false;
        QTest::newRow("Cancel") << "cancel" << false;
    }

    void browsStoresAndShowsANewFolderOnly()
    {
        QFETCH(QString, pick);
        QFETCH(bool, changed);
        TConversionWindow f;
        QVERIFY(f.Show());
        const QString other = f.Folder.FilePath("elsewhere");
        QVERIFY(QDir().mkpath(other));
        QVERIFY(QDir().mkpath(f.Out()));
        // Stored behind the window's back: only a real change writes.
        f.Settings().WriteString("settings", "OutPutDir", "/stored/before");

        TfmDirectory* picker = nullptr;
        QTimer::singleShot(0, [&] {
            picker = qobject_cast<TfmDirectory*>(QApplication::activeModalWidget());
            if (!picker)
                return;
            if (pick == "cancel") {
                picker->btnCancelClick();
                return;
            }
            picker->SelectFolder(pick == "other" ? other : f.Out());
            picker->btnOkClick();
        });
        QTest::mouseClick(f.W().btnBrows, Qt::LeftButton);

        QVERIFY(picker);
        QCOMPARE(f.W().edDirectory->text(), changed ? other : f.Out());
        QCOMPARE(f.Settings().ReadString("settings", "OutPutDir", ""),
                 changed ? other : QString("/stored/before"));

        // The picker is made once and kept.
        TfmDirectory* again = nullptr;
        QTimer::singleShot(0, [&] {
            again = qobject_cast<TfmDirectory*>(QApplication::activeModalWidget());
            if (again)
                again->btnCancelClick();
        });
        QTest::mouseClick(f.W().btnBrows, Qt::LeftButton);
        QCOMPARE(again, picker);
    }

    void openShowsTheStoredFolderWhenTheBoxHoldsMoreThanTwoCharacters()
    {
        TConversionWindow f;
        QVERIFY(f.Show());
        f.Settings().WriteString("settings", "OutPutDir", "/read/again");
        QTest::mouseClick(f.W().btnOpen, Qt::LeftButton);
        QCOMPARE(f.Shell.Folders, std::vector<QString>{"/read/again"});

        f.W().edDirectory->setText("/x");
        QTest::mouseClick(f.W().btnOpen, Qt::LeftButton);
        QCOMPARE(f.Shell.Folders.size(), size_t(1));
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program's application object: exceptions of handlers reach the
    // application-wide message as they do in the program.
    TClarvixApplication app(argc, argv);
    TestMainWindowConversion test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window_conversion.moc"
