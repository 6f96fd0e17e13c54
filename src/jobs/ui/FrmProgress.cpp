#include "jobs/ui/FrmProgress.h"

#include "jobs/FitRect.h"
#include "jobs/RunProgressTexts.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int Margin = 12;
constexpr int PreviewWidth = TfrmProgress::FormWidth - 2 * Margin;
constexpr int PreviewHeight = 240;
constexpr int CaptionWidth = 90;
constexpr int LineHeight = 22;
constexpr int ButtonWidth = 80;
constexpr int ButtonHeight = 26;

// The bar shows its percentage unless a report gives it another text.
const QString PercentFormat = QStringLiteral("%p%");

QLabel* captionLabel(QWidget* parent, const QString& text, int top)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(Margin, top, CaptionWidth, LineHeight);
    return label;
}

QLabel* valueLabel(QWidget* parent, int top)
{
    auto* label = new QLabel(parent);
    label->setGeometry(Margin + CaptionWidth, top, TfrmProgress::FormWidth - 2 * Margin - CaptionWidth,
                       LineHeight);
    return label;
}

} // namespace

TfrmProgress::TfrmProgress(IRunControl& control, const QImage& previewFrame, QWidget* parent)
    : QDialog(parent), FControl(control), FPreviewFrame(previewFrame)
{
    CreateControls();
}

void TfrmProgress::CreateControls()
{
    setObjectName(QStringLiteral("frmProgress"));
    setModal(true);
    resize(FormWidth, FormHeight);

    imgPreview = new QLabel(this);
    imgPreview->setObjectName(QStringLiteral("imgPreview"));
    imgPreview->setGeometry(Margin, Margin, PreviewWidth, PreviewHeight);

    int top = Margin + PreviewHeight + 10;
    captionLabel(this, QStringLiteral("Current Time:"), top);
    lblTime = valueLabel(this, top);
    top += LineHeight;
    captionLabel(this, QStringLiteral("Length:"), top);
    lblLength = valueLabel(this, top);
    top += LineHeight;
    captionLabel(this, QStringLiteral("File Size:"), top);
    lblSize = valueLabel(this, top);
    top += LineHeight;
    captionLabel(this, QStringLiteral("Progress:"), top);
    lblProgress = valueLabel(this, top);
    top += LineHeight;
    captionLabel(this, QStringLiteral("File:"), top);
    lblOutput = valueLabel(this, top);
    top += LineHeight + 6;

    progbarFile = new QProgressBar(this);
    progbarFile->setGeometry(Margin, top, PreviewWidth, 20);
    progbarFile->setRange(0, 100);
    progbarFile->setValue(0);
    progbarFile->setTextVisible(true);
    progbarFile->setFormat(PercentFormat);
    top += 28;

    ckShutDown = new QCheckBox(QStringLiteral("Shut down computer after conversion"), this);
    ckShutDown->setGeometry(Margin, top, PreviewWidth, LineHeight);
    ckShutDown->setChecked(false);
    top += LineHeight;
    ckOpen = new QCheckBox(QStringLiteral("Open the output folder after conversion"), this);
    ckOpen->setGeometry(Margin, top, PreviewWidth, LineHeight);
    ckOpen->setChecked(true);
    top += LineHeight + 8;

    imgbtnSnap = new QToolButton(this);
    imgbtnSnap->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    imgbtnSnap->setToolTip(QStringLiteral("capture image"));
    imgbtnSnap->setAutoRaise(true);
    imgbtnSnap->setGeometry(Margin, top, 28, ButtonHeight);

    int left = FormWidth - Margin - 3 * ButtonWidth - 2 * 6;
    btnPause = new QPushButton(QStringLiteral("Pause"), this);
    btnPause->setGeometry(left, top, ButtonWidth, ButtonHeight);
    left += ButtonWidth + 6;
    btnResume = new QPushButton(QStringLiteral("Resume"), this);
    btnResume->setGeometry(left, top, ButtonWidth, ButtonHeight);
    left += ButtonWidth + 6;
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setGeometry(left, top, ButtonWidth, ButtonHeight);
    // Enter must not cancel a run by accident.
    for (QPushButton* b : {btnPause, btnResume, btnCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    Timer1 = new QTimer(this);
    Timer1->setInterval(TimerInterval);

    connect(btnPause, &QPushButton::clicked, this, &TfrmProgress::btnPauseClick);
    connect(btnResume, &QPushButton::clicked, this, &TfrmProgress::btnResumeClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmProgress::btnCancelClick);
    connect(Timer1, &QTimer::timeout, this, &TfrmProgress::Timer1Timer);
}

void TfrmProgress::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmProgress::FormShow()
{
    resize(FormWidth, FormHeight);
    // The main window's colour theme sits on the application; an owner with
    // a palette of its own passes it on.
    if (parentWidget() != nullptr)
        setPalette(parentWidget()->palette());
    for (QLabel* label : {lblTime, lblLength, lblSize, lblProgress, lblOutput})
        label->clear();
    ckOpen->setChecked(true);
    btnPause->setEnabled(true);
    btnResume->setEnabled(false);
    ClearPreview();
    Timer1->start();
    progbarFile->setRange(0, 100);
    progbarFile->setValue(0);
    progbarFile->setFormat(PercentFormat);
}

void TfrmProgress::ClearPreview()
{
    FCanvas = QImage(imgPreview->size(), QImage::Format_RGB32);
    FCanvas.fill(PreviewBackground());
    imgPreview->setPixmap(QPixmap::fromImage(FCanvas));
}

void TfrmProgress::Timer1Timer()
{
    if (FPreviewFrame.width() <= 0 || FPreviewFrame.height() <= 0)
        return;
    if (FCanvas.size() != imgPreview->size())
        FCanvas = QImage(imgPreview->size(), QImage::Format_RGB32);
    FCanvas.fill(PreviewBackground());
    {
        QPainter painter(&FCanvas);
        DrawFitted(painter, FPreviewFrame);
    }
    imgPreview->setPixmap(QPixmap::fromImage(FCanvas));
}

void TfrmProgress::btnPauseClick()
{
    FControl.PauseRun();
    btnPause->setEnabled(false);
    btnResume->setEnabled(true);
}

void TfrmProgress::btnResumeClick()
{
    FControl.ResumeRun();
    btnPause->setEnabled(true);
    btnResume->setEnabled(false);
}

void TfrmProgress::btnCancelClick()
{
    close();
}

void TfrmProgress::done(int result)
{
    FormCloseQuery();
    QDialog::done(result);
}

void TfrmProgress::FormCloseQuery()
{
    FControl.StopRun();
    Timer1->stop();
}

void TfrmProgress::ShowProgress(const TRunProgressTexts& texts)
{
    progbarFile->setFormat(texts.Percent ? PercentFormat : texts.BarText);
    progbarFile->setValue(texts.BarPosition);
    lblTime->setText(texts.Time);
    lblLength->setText(texts.Length);
    lblSize->setText(texts.Size);
    lblProgress->setText(texts.TaskNumber);
    lblOutput->setText(texts.File);
}

void TfrmProgress::ShowTaskFinished()
{
    progbarFile->setFormat(PercentFormat);
    progbarFile->setValue(100);
}

bool TfrmProgress::OpenFolderAfterRun() const
{
    return ckOpen->isChecked();
}

bool TfrmProgress::ShutDownAfterRun() const
{
    return ckShutDown->isChecked();
}

void TfrmProgress::ShowDuringRun()
{
    exec();
}

void TfrmProgress::CloseView()
{
    if (isVisible())
        close();
}
