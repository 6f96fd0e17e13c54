// The controls of the main window and where they sit: the tool bar, the file
// list with the output group below it, and the preview panel on the right.
#include "app/ui/FrmMain.h"

#include "app/ui/ProfilePickerList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int PreviewPanelWidth = 243;
constexpr int PreviewPanelHeight = 171;
constexpr int PreviewGroupWidth = PreviewPanelWidth + 20;
constexpr int ToolButtonWidth = 84;
constexpr int ToolButtonHeight = 34;
constexpr int ParameterBoxWidth = 130;

QPushButton* toolButton(QWidget* parent, const QString& caption, QStyle::StandardPixmap icon)
{
    auto* b = new QPushButton(parent->style()->standardIcon(icon), caption, parent);
    b->setFixedSize(ToolButtonWidth, ToolButtonHeight);
    return b;
}

QToolButton* previewButton(QWidget* parent, const QString& hint, QStyle::StandardPixmap icon)
{
    auto* b = new QToolButton(parent);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolTip(hint);
    b->setAutoRaise(true);
    b->setFixedSize(28, 24);
    return b;
}

QComboBox* parameterBox(QWidget* parent, bool editable)
{
    auto* box = new QComboBox(parent);
    box->setEditable(editable);
    // Typed values are validated by the window, never added to the list.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumWidth(ParameterBoxWidth);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

} // namespace

void TfrmMain::CreateControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);

    auto* root = new QVBoxLayout(central);
    root->setContentsMargins(6, 0, 6, 6);
    root->setSpacing(4);
    root->addWidget(CreateToolBar());

    lvFiles = new QTreeWidget(central);
    lvFiles->setRootIsDecorated(false);
    lvFiles->setItemsExpandable(false);
    lvFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    lvFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvFiles->setAllColumnsShowFocus(true);
    lvFiles->setUniformRowHeights(true);
    lvFiles->setSortingEnabled(false);
    lvFiles->header()->setSectionsClickable(false);
    lvFiles->header()->setSectionsMovable(false);
    lvFiles->header()->setStretchLastSection(false);

    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    left->addWidget(lvFiles, 1);
    left->addWidget(CreateOutputGroup());

    auto* right = new QVBoxLayout;
    right->addWidget(CreatePreviewPanel());
    right->addStretch(1);

    auto* body = new QHBoxLayout;
    body->setSpacing(6);
    body->addLayout(left, 1);
    body->addLayout(right);
    root->addLayout(body, 1);

    // The profile picker drops up from the profile edit as a popup of its
    // own; it is placed when it is built and when it opens.
    lst1 = new TProfilePickerList(this);
    lst1->hide();

    cbOutputFormat = new QComboBox(central);
    cbOutputFormat->hide();

    mmoLog = new QPlainTextEdit(central);
    mmoLog->setReadOnly(true);
    mmoLog->hide();
}

QWidget* TfrmMain::CreateToolBar()
{
    pnlTools = new QWidget(this);
    auto* row = new QHBoxLayout(pnlTools);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);

    btnAdd = toolButton(pnlTools, QStringLiteral("&Add"), QStyle::SP_DialogOpenButton);
    btnRemove = toolButton(pnlTools, QStringLiteral("&Remove"), QStyle::SP_DialogDiscardButton);
    btnClear = toolButton(pnlTools, QStringLiteral("&Clear"), QStyle::SP_TrashIcon);
    BtnEdit = toolButton(pnlTools, QStringLiteral("&Edit"), QStyle::SP_FileDialogDetailedView);
    btnStart = toolButton(pnlTools, QStringLiteral("&Start"), QStyle::SP_MediaPlay);
    btnExit = toolButton(pnlTools, QStringLiteral("&Exit"), QStyle::SP_DialogCloseButton);
    for (QPushButton* b : {btnAdd, btnRemove, btnClear, BtnEdit, btnStart, btnExit})
        row->addWidget(b);
    row->addStretch(1);

    // Adding the first file enables these.
    btnRemove->setEnabled(false);
    btnClear->setEnabled(false);
    btnStart->setEnabled(false);

    connect(btnExit, &QPushButton::clicked, this, &TfrmMain::btnExitClick);
    return pnlTools;
}

QGroupBox* TfrmMain::CreatePreviewPanel()
{
    suiGroupBox1 = new QGroupBox(QStringLiteral("Preview"), this);
    suiGroupBox1->setFixedWidth(PreviewGroupWidth);
    auto* column = new QVBoxLayout(suiGroupBox1);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(4);

    pan1 = new QFrame(suiGroupBox1);
    pan1->setFixedSize(PreviewPanelWidth, PreviewPanelHeight);
    pan1->setFrameShape(QFrame::StyledPanel);
    pan1->setAutoFillBackground(true);
    QPalette grey = pan1->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    pan1->setPalette(grey);
    column->addWidget(pan1, 0, Qt::AlignHCenter);

    lblTime = new QLabel(QStringLiteral("00:00:00"), suiGroupBox1);
    lblPTS = new QLabel(QStringLiteral("00:00:00"), suiGroupBox1);
    auto* times = new QHBoxLayout;
    times->addWidget(lblTime);
    times->addStretch(1);
    times->addWidget(lblPTS);
    column->addLayout(times);

    trcPreview = new QSlider(Qt::Horizontal, suiGroupBox1);
    trcPreview->setTickPosition(QSlider::NoTicks);
    column->addWidget(trcPreview);

    imgbtnPlay = previewButton(suiGroupBox1, QStringLiteral("play"), QStyle::SP_MediaPlay);
    imgbtnPAuse = previewButton(suiGroupBox1, QStringLiteral("pause"), QStyle::SP_MediaPause);
    imgbtnStop = previewButton(suiGroupBox1, QStringLiteral("stop"), QStyle::SP_MediaStop);
    imgbtnSnap = previewButton(suiGroupBox1, QStringLiteral("capture image"), QStyle::SP_DialogSaveButton);
    auto* buttons = new QHBoxLayout;
    for (QToolButton* b : {imgbtnPlay, imgbtnPAuse, imgbtnStop, imgbtnSnap})
        buttons->addWidget(b);
    buttons->addStretch(1);
    column->addLayout(buttons);

    auto* volumeIcon = new QLabel(suiGroupBox1);
    volumeIcon->setPixmap(style()->standardIcon(QStyle::SP_MediaVolume).pixmap(16, 16));
    trcVolume = new QSlider(Qt::Horizontal, suiGroupBox1);
    trcVolume->setRange(0, 128);
    ckMute = new QCheckBox(QStringLiteral("Mute"), suiGroupBox1);
    auto* volume = new QHBoxLayout;
    volume->addWidget(volumeIcon);
    volume->addWidget(trcVolume, 1);
    volume->addWidget(ckMute);
    column->addLayout(volume);
    return suiGroupBox1;
}

QGroupBox* TfrmMain::CreateOutputGroup()
{
    grpOutput = new QGroupBox(QStringLiteral("Output"), this);
    auto* grid = new QGridLayout(grpOutput);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);

    edt1 = new QLineEdit(grpOutput);
    edt1->setReadOnly(true);
    // Opened with the mouse only; without the focus it never shows a caret.
    edt1->setFocusPolicy(Qt::NoFocus);
    imgbtn1 = new QToolButton(grpOutput);
    imgbtn1->setArrowType(Qt::UpArrow);
    imgbtn1->setFocusPolicy(Qt::NoFocus);
    auto* profile = new QHBoxLayout;
    profile->setSpacing(0);
    profile->addWidget(edt1, 1);
    profile->addWidget(imgbtn1);
    btnDefault = new QPushButton(QStringLiteral("Default"), grpOutput);

    grid->addWidget(new QLabel(QStringLiteral("Profile:"), grpOutput), 0, 0);
    grid->addLayout(profile, 0, 1, 1, 3);
    grid->addWidget(btnDefault, 0, 4);

    cmbVideoSize = parameterBox(grpOutput, true);
    cmbVideoBitRate = parameterBox(grpOutput, true);
    cmbFrameRate = parameterBox(grpOutput, false);
    cmbVideoEncoder = parameterBox(grpOutput, false);
    cmbZoom = parameterBox(grpOutput, false);
    cmbSamplerate = parameterBox(grpOutput, true);
    cmbAudioBitRate = parameterBox(grpOutput, true);
    cmbAudioEncoder = parameterBox(grpOutput, false);
    cmbChannel = parameterBox(grpOutput, false);
    cmbVolume = parameterBox(grpOutput, false);

    const std::pair<const char*, QComboBox*> video[] = {
        {"Video Size:", cmbVideoSize},
        {"Video Bit Rate:", cmbVideoBitRate},
        {"Frame Rate:", cmbFrameRate},
        {"Video Encoder:", cmbVideoEncoder},
        {"Zoom:", cmbZoom},
    };
    const std::pair<const char*, QComboBox*> audio[] = {
        {"Sample Rate:", cmbSamplerate},
        {"Audio Bit Rate:", cmbAudioBitRate},
        {"Audio Encoder:", cmbAudioEncoder},
        {"Channel:", cmbChannel},
        {"Volume:", cmbVolume},
    };
    for (int i = 0; i < 5; ++i) {
        grid->addWidget(new QLabel(QString::fromLatin1(video[i].first), grpOutput), i + 1, 0);
        grid->addWidget(video[i].second, i + 1, 1);
        grid->addWidget(new QLabel(QString::fromLatin1(audio[i].first), grpOutput), i + 1, 2);
        grid->addWidget(audio[i].second, i + 1, 3, 1, 2);
    }

    edDirectory = new QLineEdit(grpOutput);
    edDirectory->setReadOnly(true);
    btnBrows = new QPushButton(QStringLiteral("Brows"), grpOutput);
    btnOpen = new QPushButton(QStringLiteral("Open"), grpOutput);
    SpeedButton1 =
        new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), QStringLiteral("&Start"), grpOutput);
    auto* folder = new QHBoxLayout;
    folder->addWidget(edDirectory, 1);
    folder->addWidget(btnBrows);
    folder->addWidget(btnOpen);
    folder->addSpacing(8);
    folder->addWidget(SpeedButton1);
    grid->addWidget(new QLabel(QStringLiteral("Output Folder:"), grpOutput), 6, 0);
    grid->addLayout(folder, 6, 1, 1, 4);

    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return grpOutput;
}

void TfrmMain::SetupFileListColumns()
{
    const std::pair<const char*, int> columns[] = {
        {"Source", 140}, {"Length", 65}, {"Trimmed Length", 90}, {"Destination File", 120}, {"Progress", 60},
    };
    QStringList captions;
    for (const auto& c : columns)
        captions << QString::fromLatin1(c.first);
    lvFiles->setColumnCount(int(captions.size()));
    lvFiles->setHeaderLabels(captions);
    for (int i = 0; i < int(captions.size()); ++i)
        lvFiles->setColumnWidth(i, columns[i].second);
}
