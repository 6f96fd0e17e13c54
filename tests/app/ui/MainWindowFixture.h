#pragma once

#include "app/IniFile.h"
#include "app/ui/FrmMain.h"
#include "platform/DialogService.h"
#include "support/TemporaryFolder.h"

#include <QFile>
#include <QtTest>
#include <memory>
#include <utility>
#include <vector>

// A main window over a settings file of its own in a temporary folder (never
// the program's real one), with every message box recorded.
struct TMainWindowFixture
{
    using TSettings = std::vector<std::pair<QString, QString>>;

    // `catalogue`, when given, is the format catalogue beside the executable.
    explicit TMainWindowFixture(const TSettings& settings = {}, const char* catalogue = nullptr)
    {
        if (catalogue) {
            QFile f(Folder.FilePath(QStringLiteral("quenvoipodformat.ini")));
            if (f.open(QIODevice::WriteOnly))
                f.write(catalogue);
        }
        IniFile ini(SettingsFile());
        for (const auto& [key, value] : settings)
            ini.WriteString(QStringLiteral("settings"), key, value);
        Window = std::make_unique<TfrmMain>(Folder.Path());
    }

    QString SettingsFile() const { return Folder.FilePath(QStringLiteral("quenvoipodclarvix.ini")); }
    IniFile Settings() const { return IniFile(SettingsFile()); }

    bool Show()
    {
        Window->show();
        return QTest::qWaitForWindowExposed(Window.get());
    }

    TTemporaryFolder Folder;
    TRecordingDialogs Dialogs;
    TScopedDialogs Scope{Dialogs};
    std::unique_ptr<TfrmMain> Window;
};
