#pragma once

#include "jobs/RunProgressView.h"

#include <QColor>
#include <QDialog>
#include <QImage>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;

// The progress window of a conversion run, shown modally while the run goes:
// the latest preview frame, the running task's time, length, size, number
// and source, its bar, the after-conversion choices, and pause, resume and
// cancel. Closing it by any means stops the run.
class TfrmProgress : public QDialog, public IRunProgressView
{
    Q_OBJECT

public:
    static constexpr int FormWidth = 450;
    static constexpr int FormHeight = 490;
    static constexpr int TimerInterval = 100; // ms between two drawings of the preview
    static QColor PreviewBackground() { return QColor(166, 202, 240); }

    // `previewFrame` is the run's copy of the latest preview frame; it must
    // outlive the window.
    TfrmProgress(IRunControl& control, const QImage& previewFrame, QWidget* parent = nullptr);

    // IRunProgressView
    void ShowProgress(const TRunProgressTexts& texts) override;
    void ShowTaskFinished() override;
    bool OpenFolderAfterRun() const override;
    bool ShutDownAfterRun() const override;
    void ShowDuringRun() override;
    void CloseView() override;

    // What imgPreview shows now.
    const QImage& PreviewCanvas() const { return FCanvas; }

    QLabel* imgPreview;
    QLabel* lblTime;
    QLabel* lblLength;
    QLabel* lblSize;
    QLabel* lblProgress;
    QLabel* lblOutput;
    QProgressBar* progbarFile;
    QCheckBox* ckShutDown;
    QCheckBox* ckOpen;
    QPushButton* btnPause;
    QPushButton* btnResume;
    QPushButton* btnCancel;
    QToolButton* imgbtnSnap; // the snapshot of the preview frame comes with the preferences
    QTimer* Timer1;

public slots:
    void btnPauseClick();
    void btnResumeClick();
    void btnCancelClick();
    void Timer1Timer();

protected:
    void showEvent(QShowEvent* event) override;
    // Every way of closing a dialog (Cancel, the title bar, Escape, the end
    // of the run) passes here.
    void done(int result) override;

private:
    void CreateControls();
    void FormShow();
    void FormCloseQuery();
    void ClearPreview();

    IRunControl& FControl;
    const QImage& FPreviewFrame;
    QImage FCanvas; // imgPreview's picture
};
