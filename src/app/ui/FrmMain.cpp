// Creating, showing and closing the main window.
#include "app/ui/FrmMain.h"

#include "app/GlobalObject.h"
#include "app/IniFile.h"
#include "app/ParameterBoxes.h"
#include "app/ProfileCatalogue.h"
#include "app/ui/AppException.h"
#include "app/ui/ClarvixApplication.h"
#include "app/ui/FrmAbout.h"
#include "jobs/ConversionRun.h"
#include "platform/DialogService.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

namespace {

const QString SettingsSection = QStringLiteral("settings");
const QString ProgramTitle = QStringLiteral("Quenvo iPod Clarvix");
// Shown until the window is shown and the version of the build replaces it.
const QString InitialVersionText = QStringLiteral(" ver 1.60 ");
constexpr int VolumeMaximum = 128;
constexpr int VolumeOutOfRange = 64;

} // namespace

TfrmMain::TfrmMain(const QString& executableFolder, QWidget* parent)
    : QMainWindow(parent), suiFileTheme1(new TThemeManager(this))
{
    CreateMenus();
    CreateControls();
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            ApplicationEvents1Deactivate();
    });
    FormCreate(executableFolder);
}

TfrmMain::~TfrmMain()
{
    qApp->removeEventFilter(this);
    // The children go next; a child that holds the focus (the folder
    // picker's button) would tell the application's focus signal, and
    // handlers of a half-destroyed window must not hear it.
    QObject::disconnect(qApp, nullptr, this, nullptr);
    // Freed with the window rather than at the close request: events that
    // still reach the window while it closes (a box losing the focus) read it.
    delete GlobalObject;
    GlobalObject = nullptr;
}

IniFile TfrmMain::Settings() const
{
    return IniFile(GlobalObject->SettingsFile());
}

void TfrmMain::FormCreate(const QString& executableFolder)
{
    const TFileLocations locations = LocateFiles(executableFolder);
    EnsureSettingsFolder(locations);

    delete GlobalObject;
    GlobalObject = new TGlobalObject;
    GlobalObject->SetSettingsFile(locations.SettingsFile);
    GlobalObject->SetFormatFile(locations.FormatFile);
    GlobalObject->SetTitle(ProgramTitle);
    GlobalObject->SetVersionText(InitialVersionText);

    SetApplicationTitle(GlobalObject->Title());

    parameters_ = std::make_unique<TParameterBoxes>(GlobalObject->SettingsFile(), GlobalObject->FormatFile());
    BindParameterBoxes();
    BindFileList();
    BindOutputFolder();
    BindConversion();
    BindProfilePicker();

    // Outside 0 to 6 nothing is applied: the design-time theme stays.
    suiFileTheme1->ApplyTheme(Settings().ReadInteger(SettingsSection, QStringLiteral("skinIndex"), 0));

    if (auto* app = qobject_cast<TClarvixApplication*>(QCoreApplication::instance()))
        app->SetExceptionHandler(&ShowAppException);
}

void TfrmMain::showEvent(QShowEvent* event)
{
    // Once: the Skin menu hides and shows the window again, which must not
    // reset its size or reread the settings.
    if (!formShown_) {
        formShown_ = true;
        FormShow();
    }
    QMainWindow::showEvent(event);
}

void TfrmMain::FormShow()
{
    const IniFile settings = Settings();

    resize(FormWidth, FormHeight);
    imgbtnPlay->setEnabled(true);
    imgbtnPAuse->setEnabled(false);
    imgbtnStop->setEnabled(false);
    imgbtnSnap->setEnabled(false);
    trcPreview->setEnabled(false);

    PlaceToolButtons();

    // Qt paints every widget double-buffered; the panel's picture starts
    // empty (the run keeps its own copy of the conversion preview).
    PreviewPanelFrame = QImage();

    FillOutputFormats();
    cbOutputFormat->setCurrentIndex(settings.ReadInteger(SettingsSection, QStringLiteral("OutPutFormat"), 0));

    edDirectory->setText(
        settings.ReadString(SettingsSection, QStringLiteral("OutPutDir"), DefaultOutputFolder()));
    CurrentFormatCode =
        settings.ReadString(SettingsSection, QStringLiteral("FormatCode"), QStringLiteral("1"));
    CurrentFormatName = settings.ReadString(SettingsSection, QStringLiteral("FormatName"),
                                            QStringLiteral("iPod Video MPEG-4"));

    edt1->setTextMargins(4, 2, 0, 0);

    trcVolume->setRange(0, VolumeMaximum);
    const int volume = settings.ReadInteger(SettingsSection, QStringLiteral("volume"), 0);
    trcVolume->setValue(volume >= 0 && volume <= VolumeMaximum ? volume : VolumeOutOfRange);
    const int mute = settings.ReadInteger(SettingsSection, QStringLiteral("mute"), 0);
    if (mute == 1)
        ckMute->setChecked(true);
    else if (mute == 0)
        ckMute->setChecked(false);

    SetupFileListColumns();

    GlobalObject->SetVersionText(GlobalObject->GetFileVersionText());
    setWindowTitle(GlobalObject->Title() + GlobalObject->VersionText());

    BuildProfileList();

    SkipExitConfirm = false;
}

void TfrmMain::FillOutputFormats()
{
    // Every profile name in catalogue order; only the item index is stored.
    cbOutputFormat->clear();
    for (const TProfileCategory& category : ProfileCategories())
        for (const QString& name : category.ProfileNames)
            if (!name.isEmpty())
                cbOutputFormat->addItem(name);
}

void TfrmMain::PlaceToolButtons()
{
    // The tool bar starts right below the menu bar (fixed at its height), so
    // its top margin puts the buttons at the shared top coordinate.
    pnlTools->layout()->setContentsMargins(0, ToolButtonsTop() - MainMenuHeight, 0, 0);
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

bool TfrmMain::FormCloseQuery()
{
    if (!SkipExitConfirm &&
        Dialogs().MessageBox(QStringLiteral("Do you really want to exit?"), QStringLiteral("Warning"),
                             TMsgIcon::Question, TMsgButtons::YesNo) != TMsgResult::Yes)
        return false;
    SaveProfileListState();
    StopRunForClosing();
    PreviewPanelFrame = QImage();
    return true;
}
