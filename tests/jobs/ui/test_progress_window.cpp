#include "jobs/ui/FrmProgress.h"

#include "jobs/FitRect.h"
#include "jobs/RunProgressTexts.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

// What the window asked of the run.
class TRecordingRunControl : public IRunControl
{
public:
    void PauseRun() override { Calls << QStringLiteral("pause"); }
    void ResumeRun() override { Calls << QStringLiteral("resume"); }
    void StopRun() override { Calls << QStringLiteral("stop"); }
    QStringList Calls;
};

TRunProgressTexts Report(qint64 current, qint64 total)
{
    TProgressValues values;
    values.CurrentDuration = current;
    values.TotalDuration = total;
    values.CurrentSize = 1234567;
    values.TaskIndex = 1;
    values.TaskCount = 3;
    return MakeRunProgressTexts(values, QStringLiteral("/clips/holiday.avi"));
}

QList<QLabel*> ValueLabels(const TfrmProgress& window)
{
    return {window.lblTime, window.lblLength, window.lblSize, window.lblProgress, window.lblOutput};
}

} // namespace

class TestProgressWindow : public QObject
{
    Q_OBJECT

private slots:
    void controlsCarryTheirTexts()
    {
        TRecordingRunControl control;
        QImage frame;
        TfrmProgress window(control, frame);
        QStringList captions;
        for (QLabel* label : window.findChildren<QLabel*>())
            if (!label->text().isEmpty())
                captions << label->text();
        for (const char* caption : {"Current Time:", "Length:", "File Size:", "Progress:", "File:"})
            QVERIFY2(captions.contains(QString::fromLatin1(caption)), caption);
        QCOMPARE(window.ckShutDown->text(), QString("Shut down computer after conversion"));
        QCOMPARE(window.ckOpen->text(), QString("Open the output folder after conversion"));
        QCOMPARE(window.btnPause->text(), QString("Pause"));
        QCOMPARE(window.btnResume->text(), QString("Resume"));
        QCOMPARE(window.btnCancel->text(), QString("Cancel"));
        QVERIFY(!window.ckShutDown->isChecked());
        QCOMPARE(window.Timer1->interval(), 100);
    }

    void showingResetsTheWindow()
    {
        TRecordingRunControl control;
        QImage frame;
        TfrmProgress window(control, frame);
        // What the previous run left behind.
        window.ShowProgress(Report(12345678, 61000000));
        window.ckOpen->setChecked(false);
        window.ckShutDown->setChecked(true);
        window.btnPause->setEnabled(false);
        window.btnResume->setEnabled(true);
        window.resize(300, 200);

        window.show();
        QCOMPARE(window.size(), QSize(450, 490));
        for (QLabel* label : ValueLabels(window))
            QVERIFY(label->text().isEmpty());
        QVERIFY(window.ckOpen->isChecked());
        QVERIFY(window.ckShutDown->isChecked()); // only "open" is reset
        QVERIFY(window.btnPause->isEnabled());
        QVERIFY(!window.btnResume->isEnabled());
        QVERIFY(window.Timer1->isActive());
        QCOMPARE(window.progbarFile->minimum(), 0);
        QCOMPARE(window.progbarFile->maximum(), 100);
        QCOMPARE(window.progbarFile->value(), 0);
        QCOMPARE(window.progbarFile->text(), QString("0%"));
        const QImage& canvas = window.PreviewCanvas();
        QCOMPARE(canvas.size(), window.imgPreview->size());
        QCOMPARE(canvas.pixel(0, 0), qRgb(166, 202, 240));
        QCOMPARE(canvas.pixel(canvas.width() / 2, canvas.height() / 2), qRgb(166, 202, 240));
        QVERIFY(control.Calls.isEmpty());
        window.close();
    }

    void reportsFillTheLabelsAndTheBar()
    {
        TRecordingRunControl control;
        QImage frame;
        TfrmProgress window(control, frame);
        window.show();
        window.ShowProgress(Report(12345678, 61000000));
        QCOMPARE(window.lblTime->text(), QString("12 Second"));
        QCOMPARE(window.lblLength->text(), QString("61 Second"));
        QCOMPARE(window.lblSize->text(), QString("1234 kb"));
        QCOMPARE(window.lblProgress->text(), QString("[2/3]"));
        QCOMPARE(window.lblOutput->text(), QString("/clips/holiday.avi"));
        QCOMPARE(window.progbarFile->value(), 20);
        QCOMPARE(window.progbarFile->text(), QString("20%"));

        // A source of unknown length: the bar shows the elapsed time instead.
        window.ShowProgress(Report(7000000, -1));
        QCOMPARE(window.progbarFile->value(), 0);
        QCOMPARE(window.progbarFile->text(), QString("7 Second"));
        QCOMPARE(window.lblLength->text(), QString());

        window.ShowTaskFinished();
        QCOMPARE(window.progbarFile->value(), 100);
        QCOMPARE(window.progbarFile->text(), QString("100%"));
        window.close();
    }

    void pauseAndResumeSwapTheirButtons()
    {
        TRecordingRunControl control;
        QImage frame;
        TfrmProgress window(control, frame);
        window.show();
        QTest::mouseClick(window.btnPause, Qt::LeftButton);
        QCOMPARE(control.Calls, QStringList{"pause"});
        QVERIFY(!window.btnPause->isEnabled());
        QVERIFY(window.btnResume->isEnabled());
        QTest::mouseClick(window.btnResume, Qt::LeftButton);
        QCOMPARE(control.Calls, (QStringList{"pause", "resume"}));
        QVERIFY(window.btnPause->isEnabled());
        QVERIFY(!window.btnResume->isEnabled());
        QVERIFY(window.isVisible());
        window.close();
    }

    void everyWayOfClosingStopsTheRunOnce_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("title bar") << "close";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("end of the run") << "view";
    }

    void everyWayOfClosingStopsTheRunOnce()
    {
        QFETCH(QString, how);
        TRecordingRunControl control;
        QImage frame;
        TfrmProgress window(control, frame);
        QTimer::singleShot(0, &window, [&] {
            QVERIFY(window.isVisible());
            if (how == "cancel")
                QTest::mouseClick(window.btnCancel, Qt::LeftButton);
            else if (how == "close")
                window.close();
            else if (how == "escape")
                QTest::keyClick(&window, Qt::Key_Escape);
            else
                window.CloseView();
        });
        window.ShowDuringRun(); // modal: returns once the window has closed
        QVERIFY(!window.isVisible());
        QCOMPARE(control.Calls, QStringList{"stop"});
        QVERIFY(!window.Timer1->isActive());
        // Closing a closed window asks nothing of the run.
        window.CloseView();
        QCOMPARE(control.Calls, QStringList{"stop"});
    }

    void theTimerDrawsThePreviewFrameFitted()
    {
        TRecordingRunControl control;
        QImage frame;
        TfrmProgress window(control, frame);
        window.show();
        window.Timer1Timer(); // no frame yet: the canvas stays as shown
        QCOMPARE(window.PreviewCanvas().pixel(window.PreviewCanvas().width() / 2, 0), qRgb(166, 202, 240));

        // A frame much taller than the box: it fills the height, centred.
        frame = QImage(10, 100, QImage::Format_BGR888);
        frame.fill(QColor(200, 0, 0));
        QTRY_VERIFY(window.PreviewCanvas().pixel(window.PreviewCanvas().width() / 2, 0) == qRgb(200, 0, 0));
        const QImage& canvas = window.PreviewCanvas();
        QCOMPARE(canvas.pixel(0, canvas.height() / 2), qRgb(166, 202, 240));
        QCOMPARE(canvas.pixel(canvas.width() - 1, canvas.height() / 2), qRgb(166, 202, 240));
        QCOMPARE(canvas.pixel(canvas.width() / 2, canvas.height() - 1), qRgb(200, 0, 0));
        const QRect fitted = FitRect(frame.rect(), QRect(QPoint(0, 0), canvas.size()));
        QCOMPARE(canvas.pixel(fitted.left(), canvas.height() / 2), qRgb(200, 0, 0));
        QCOMPARE(canvas.pixel(fitted.left() - 1, canvas.height() / 2), qRgb(166, 202, 240));
        window.close();
    }
};

QTEST_MAIN(TestProgressWindow)
#include "test_progress_window.moc"
