#pragma once

#include "app/ProfilePickerRows.h"
#include "app/ui/ColourThemes.h"
#include "engine/TFFmpegVCL.h"
#include "jobs/RunHost.h"

#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class IniFile;
class TParameterBoxes;
enum class TParamBox;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TConversionRun;
class TFileListDelegate;
class TfmDirectory;
class TfrmProgress;
struct TAddBatch;
struct TlvFilesRecord;
enum class TFileListCommand;
enum class TFileListMenu;

// The main window. Its work is split by feature over several files:
//   FrmMain.cpp          creation, showing and closing
//   FrmMainLayout.cpp    the controls and where they sit
//   FrmMainMenus.cpp     the main menu, the Skin menu and the About window
//   FrmMainMessages.cpp  the application-wide message filter and deactivation
//   FrmMainParameters.cpp the ten parameter boxes and the profile they edit
//   FrmMainFileList.cpp  the file list: adding, removing, checking, its menus
//   FrmMainOutputFolder.cpp the output folder box and its two buttons
//   FrmMainConversion.cpp Start, the run over the file list, the progress window
//   FrmMainProfilePicker.cpp the profile picker and choosing a profile
// Controls are public members named as the rest of the program knows them.
// The window is the conversion run's view of the file list (IRunHost).
class TfrmMain : public QMainWindow, private IRunHost
{
    Q_OBJECT

public:
    static constexpr int FormWidth = 786;
    static constexpr int FormHeight = 522;
    static constexpr int MainMenuHeight = 26;

    // `executableFolder` decides where the settings file and the catalogue
    // are (tests pass a temporary folder). Runs FormCreate.
    explicit TfrmMain(const QString& executableFolder, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The chosen output profile (sections "formatInfo" + code).
    const QString& FormatCode() const { return CurrentFormatCode; }
    const QString& FormatName() const { return CurrentFormatName; }
    // Set by the update notice only: the next close is not confirmed.
    void SetSkipExitConfirm(bool skip) { SkipExitConfirm = skip; }
    // The top coordinate shared by the six tool buttons: height of the title
    // bar drawn inside the window (none: the desktop draws it) + top of the
    // inner frame (0) + the main menu bar (26) + 4.
    static int ToolButtonsTop() { return 0 + 0 + MainMenuHeight + 4; }
    // Creates the columns of the file list; also when the first row is added
    // to an empty list.
    void SetupFileListColumns();
    // Adds source files as the open dialog's OK does (and a drop on the
    // list): directories, listed paths and files the engine cannot open
    // are left out silently. Nothing happens when the media libraries
    // cannot be loaded.
    void AddSourceFiles(const QStringList& fileNames);
    // The job record of the selected row; null when no row is selected.
    TlvFilesRecord* SelectedRecord() const;
    // The progress window; null until the first Start shows it.
    TfrmProgress* ProgressWindow() const { return frmProgress_; }
    // The conversion run of the window (its task table, its files).
    const TConversionRun& ConversionRun() const { return *ConversionRun_; }
    // (Re)builds the profile picker from the catalogue and the stored fold
    // state; also after the per-format settings window's OK.
    void BuildProfileList();
    // Stores every category's fold state ("lstformat"); at close and before
    // the per-format settings window opens.
    void SaveProfileListState();

    // Main menu.
    QMenu* File1;
    QAction* Add1;
    QAction* Remove1;
    QAction* Clear1;
    QAction* Start1;
    QAction* Settings1;
    QAction* Exit2;
    QMenu* Edit2;
    QAction* Crop1;
    QAction* Trim1;
    QAction* WaterMark1;
    QAction* CheckAll1;
    QAction* UncheckAll1;
    QAction* ReserveCheck1;
    QAction* Check1;
    QAction* Uncheck1;
    QMenu* Tools1;
    QAction* Preference1;
    QMenu* Skin1;
    std::array<QAction*, ColourThemeCount> SkinItems; // Skin11 ... Skin71
    QMenu* Help1;
    QAction* Help2;
    QAction* About;

    // Tool bar.
    QWidget* pnlTools;
    QPushButton* btnAdd;
    QPushButton* btnRemove;
    QPushButton* btnClear;
    QPushButton* BtnEdit;
    QPushButton* btnStart;
    QPushButton* btnExit;

    // File list.
    QTreeWidget* lvFiles;
    // The popup menu of the file list.
    QMenu* suiPopupMenu1;
    QAction* popAdd;
    QAction* popRemove;
    QAction* popClear;
    QAction* popCrop;
    QAction* popTrim;
    QAction* popWaterMark;
    QAction* popInfomation;
    QAction* popStart;

    // The conversion engine; every conversion and every probe made while
    // adding files goes through it.
    TFFmpegVCL CCAVC;

    // Preview panel.
    QGroupBox* suiGroupBox1;
    QFrame* pan1;
    QLabel* lblTime;
    QLabel* lblPTS;
    QToolButton* imgbtnPlay;
    QToolButton* imgbtnPAuse;
    QToolButton* imgbtnStop;
    QToolButton* imgbtnSnap;
    QSlider* trcPreview;
    QSlider* trcVolume;
    QCheckBox* ckMute;

    // Output profile, its parameters and the output folder.
    QGroupBox* grpOutput;
    QLineEdit* edt1;
    QToolButton* imgbtn1;
    QListWidget* lst1;
    QComboBox* cbOutputFormat;
    QComboBox* cmbVideoSize;
    QComboBox* cmbVideoBitRate;
    QComboBox* cmbFrameRate;
    QComboBox* cmbVideoEncoder;
    QComboBox* cmbZoom;
    QComboBox* cmbSamplerate;
    QComboBox* cmbAudioBitRate;
    QComboBox* cmbAudioEncoder;
    QComboBox* cmbChannel;
    QComboBox* cmbVolume;
    QPushButton* btnDefault;
    QLineEdit* edDirectory;
    QPushButton* btnBrows;
    QPushButton* btnOpen;
    QPushButton* SpeedButton1; // the second "&Start"

    // Hidden log of start-up failures and player information.
    QPlainTextEdit* mmoLog;

    TThemeManager* suiFileTheme1;

public slots:
    void Skin1Click();
    void Skin11Click() { SkinItemClick(0); }
    void Skin21Click() { SkinItemClick(1); }
    void Skin31Click() { SkinItemClick(2); }
    void Skin41Click() { SkinItemClick(3); }
    void Skin51Click() { SkinItemClick(4); }
    void Skin61Click() { SkinItemClick(5); }
    void Skin71Click() { SkinItemClick(6); }
    void Help2Click();
    void AboutClick();
    void btnExitClick();
    void Exit2Click();
    void ApplicationEvents1Deactivate();

    // Parameter boxes (FrmMainParameters.cpp).
    void edt1Change();
    void btnDefaultClick();
    void cmbVideoEncoderChange();
    void cmbVideoBitRateChange();
    void cmbFrameRateChange();
    void cmbZoomChange();
    void cmbSamplerateChange();
    void cmbAudioEncoderChange();
    void cmbAudioBitRateChange();
    void cmbChannelChange();
    void cmbVolumeChange();
    void cmbVideoSizeSelect();
    // Validates and stores the typed frame size; false when it was rejected.
    // Also the first step of Start.
    bool cmbVideoSizeExit();

    // File list (FrmMainFileList.cpp).
    void btnAddClick();
    void btnRemoveClick();
    void btnClearClick();
    void CheckAll1Click();
    void UncheckAll1Click();
    void ReserveCheck1Click();
    void Check1Click();
    void Uncheck1Click();
    void Edit2Click();
    void suiPopupMenu1Popup();
    // A right button press in the list, at a global position.
    void lvFilesMouseDown(const QPoint& globalPosition);
    void BtnEditClick();

    // Output folder (FrmMainOutputFolder.cpp).
    void edDirectoryChange();
    void btnBrowsClick();
    void btnOpenClick();

    // Conversion (FrmMainConversion.cpp).
    void btnStartClick();

    // Profile picker (FrmMainProfilePicker.cpp). Positions are in lst1's
    // viewport.
    void edt1Click();
    void edt1DblClick();
    void imgbtn1Click();
    void lst1MouseMove(const QPoint& position);
    void lst1MouseDown(const QPoint& position);
    void lst1DblClick();
    void lst1Click();
    // Return or Enter on a row of the picker.
    void lst1RowKeyActivated(int row);
    void cbOutputFormatChange();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // FrmMain.cpp
    void FormCreate(const QString& executableFolder);
    void FormShow();
    bool FormCloseQuery();
    IniFile Settings() const;
    void PlaceToolButtons();
    void FillOutputFormats();

    // FrmMainLayout.cpp
    void CreateControls();
    QWidget* CreateToolBar();
    QGroupBox* CreatePreviewPanel();
    QGroupBox* CreateOutputGroup();

    // FrmMainMenus.cpp
    void CreateMenus();
    void SkinItemClick(int index);
    void ShowSkinCheckMark();

    // FrmMainMessages.cpp
    void ApplicationEvents1Message(QEvent* event);

    // FrmMainParameters.cpp
    void BindParameterBoxes();
    QComboBox* ParameterCombo(TParamBox box) const;
    void ShowParameterBox(TParamBox box);
    void ParameterBoxChosen(TParamBox box);
    void ParameterBoxEdited(TParamBox box);
    // The key filters; true when the key is used up.
    bool ParameterBoxEvent(QObject* watched, QEvent* event);
    void ParameterBoxFocusChanged(QWidget* old, QWidget* now);
    bool cmbVideoSizeKeyPress(QChar key);
    bool cmbVideoBitRateKeyPress(QChar key);
    bool cmbSamplerateKeyPress(QChar key);
    bool cmbAudioBitRateKeyPress(QChar key);

    // FrmMainFileList.cpp
    void BindFileList();
    void CreatePopupMenu();
    bool LoadEngineLibraries();
    void AddSourceFile(const QString& fileName, int addIndex, const TAddBatch& batch);
    QStringList ListedCaptions() const;
    void SetEveryCheck(bool checked);
    void SetSelectedCheck(bool checked);
    void ApplyMenuEnabling(TFileListMenu menu);
    QAction* CommandItem(TFileListMenu menu, TFileListCommand command) const;
    void ShowPopupMenu(const QPoint& globalPosition);
    void StopPreviewPlayer() override;

    // FrmMainOutputFolder.cpp
    void BindOutputFolder();

    // FrmMainConversion.cpp: the run's view of the list and the window.
    void BindConversion();
    // Closing: no engine event reaches the window any more, the run stops.
    void StopRunForClosing();
    int RowCount() const override;
    bool RowChecked(int row) const override;
    QString RowCaption(int row) const override;
    TlvFilesRecord& RowRecord(int row) override;
    void SetRowProgress(int row, const QString& text) override;
    void ValidateFrameSize() override;
    void EnableListCommands() override;
    QString ShownOutputFolder() const override;
    IRunProgressView& ProgressView() override;

    // FrmMainProfilePicker.cpp
    void BindProfilePicker();
    void OpenProfilePicker(bool writeNameFirst, bool resize, bool moveCursor);
    void PlaceProfilePicker(int height, int gapAboveEdit);
    void InsertPickerRow(int row, const TPickerRow& content);
    TItemInfo PickerRowInfo(int row) const;
    int PickerRowWithText(const QString& text) const;
    void ToggleCategory(int row);
    void ChooseProfile(int row);
    // Puts a profile name into edt1 and loads its parameters, also when the
    // edit already shows that name.
    void ShowProfileName(const QString& name);
    // True for the second press of a double click whose first press chose
    // a profile and closed the picker.
    bool SwallowsPickerDoubleClick(QObject* watched, QEvent* event);

    QString CurrentFormatCode;
    QString CurrentFormatName;
    QImage PreviewPanelFrame; // picture of the preview panel
    bool SkipExitConfirm = false;
    bool formShown_ = false;
    int checkedSkin_ = -1; // the Skin item that carries the check mark
    class TfrmAbout* frmAbout_ = nullptr;
    std::unique_ptr<TParameterBoxes> parameters_;
    TFileListDelegate* fileListDelegate_ = nullptr;
    TfmDirectory* fmDirectory_ = nullptr; // the folder picker, made on first use
    TfrmProgress* frmProgress_ = nullptr; // made on the first Start
    // After CCAVC: the run goes first. It holds the task table (TaskRows)
    // and the copy of the latest preview frame.
    std::unique_ptr<TConversionRun> ConversionRun_;
    std::unique_ptr<TProfileNames> ProfileNames; // refilled by every BuildProfileList
    QElapsedTimer profileChosenAt_;              // the last profile chosen in the picker
    int pickerGapAboveEdit_ = BuiltPickerGapAboveEdit; // as last sized
};
