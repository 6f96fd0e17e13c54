// The main menu, the Skin menu with its colour themes, Help and About.
#include "app/ui/FrmMain.h"

#include "app/GlobalObject.h"
#include "app/IniFile.h"
#include "app/ui/FrmAbout.h"
#include "platform/ShellOpener.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

void TfrmMain::CreateMenus()
{
    menuBar()->setFixedHeight(MainMenuHeight);
    menuBar()->setNativeMenuBar(false);

    File1 = menuBar()->addMenu(QStringLiteral("&File"));
    Add1 = File1->addAction(QStringLiteral("&Add"));
    Remove1 = File1->addAction(QStringLiteral("&Remove"));
    Clear1 = File1->addAction(QStringLiteral("&Clear"));
    Start1 = File1->addAction(QStringLiteral("&Start"));
    File1->addSeparator();
    Settings1 = File1->addAction(QStringLiteral("Se&ttings"));
    Settings1->setVisible(false);
    Exit2 = File1->addAction(QStringLiteral("&Exit"));
    connect(Exit2, &QAction::triggered, this, &TfrmMain::Exit2Click);

    Edit2 = menuBar()->addMenu(QStringLiteral("&Edit"));
    Crop1 = Edit2->addAction(QStringLiteral("&Crop"));
    Trim1 = Edit2->addAction(QStringLiteral("&Trim"));
    WaterMark1 = Edit2->addAction(QStringLiteral("&Video Effect && Water Mark"));
    Edit2->addSeparator();
    CheckAll1 = Edit2->addAction(QStringLiteral("&Check All"));
    UncheckAll1 = Edit2->addAction(QStringLiteral("&Uncheck All"));
    ReserveCheck1 = Edit2->addAction(QStringLiteral("&Reverse Check"));
    Edit2->addSeparator();
    Check1 = Edit2->addAction(QStringLiteral("C&heck"));
    Uncheck1 = Edit2->addAction(QStringLiteral("U&ncheck"));

    Tools1 = menuBar()->addMenu(QStringLiteral("&Tools"));
    Preference1 = Tools1->addAction(QStringLiteral("&Preference"));
    Skin1 = Tools1->addMenu(QStringLiteral("&Skin"));
    using SkinSlot = void (TfrmMain::*)();
    const SkinSlot skinSlots[ColourThemeCount] = {
        &TfrmMain::Skin11Click, &TfrmMain::Skin21Click, &TfrmMain::Skin31Click, &TfrmMain::Skin41Click,
        &TfrmMain::Skin51Click, &TfrmMain::Skin61Click, &TfrmMain::Skin71Click};
    for (int i = 0; i < ColourThemeCount; ++i) {
        SkinItems[i] = Skin1->addAction(ColourTheme(i).Name);
        SkinItems[i]->setCheckable(true);
        connect(SkinItems[i], &QAction::triggered, this, skinSlots[i]);
    }
    connect(Skin1, &QMenu::aboutToShow, this, &TfrmMain::Skin1Click);

    Help1 = menuBar()->addMenu(QStringLiteral("&Help"));
    Help2 = Help1->addAction(QStringLiteral("&Help"));
    Help1->addSeparator();
    About = Help1->addAction(QStringLiteral("&About"));
    connect(Help2, &QAction::triggered, this, &TfrmMain::Help2Click);
    connect(About, &QAction::triggered, this, &TfrmMain::AboutClick);

    // The commands of these items are not part of the window yet.
    for (QAction* pending : {Settings1, Crop1, Trim1, WaterMark1, Preference1})
        pending->setEnabled(false);
}

void TfrmMain::Skin1Click()
{
    checkedSkin_ = Settings().ReadInteger(QStringLiteral("settings"), QStringLiteral("skinIndex"), 0);
    ShowSkinCheckMark();
}

void TfrmMain::ShowSkinCheckMark()
{
    // A value outside 0 to 6 marks no item.
    for (int i = 0; i < ColourThemeCount; ++i)
        SkinItems[i]->setChecked(i == checkedSkin_);
}

void TfrmMain::SkinItemClick(int index)
{
    // Triggering a checkable item toggles its mark; the marks follow the
    // choice instead.
    if (index == checkedSkin_) {
        ShowSkinCheckMark();
        return;
    }
    hide();
    suiFileTheme1->ApplyTheme(index);
    checkedSkin_ = index;
    ShowSkinCheckMark();
    show();
    Settings().WriteInteger(QStringLiteral("settings"), QStringLiteral("skinIndex"), index);
}

void TfrmMain::Help2Click()
{
    Shell().OpenAddress(GlobalObject->HelpURL());
}

void TfrmMain::AboutClick()
{
    if (!frmAbout_)
        frmAbout_ = new TfrmAbout(this);
    frmAbout_->exec();
}

void TfrmMain::btnExitClick()
{
    close();
}

void TfrmMain::Exit2Click()
{
    close();
}
