#pragma once

#include <QString>
#include <deque>
#include <vector>

// Every message box of the program goes through one injectable service, so
// that core code can ask questions and tests can answer them.

enum class TMsgIcon { None, Information, Warning, Error, Question };
enum class TMsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class TMsgResult { Ok, Cancel, Yes, No };

class IDialogService {
public:
    virtual ~IDialogService() = default;
    // Shows a modal message box and returns the button pressed.
    virtual TMsgResult MessageBox(const QString& text, const QString& caption, TMsgIcon icon,
                                  TMsgButtons buttons) = 0;
    // The default system beep.
    virtual void Beep() = 0;
};

// The service in use. Until one is installed, a silent service answers every
// question with its first button, so headless code never blocks on a dialog.
IDialogService& Dialogs();
// Installs a service (not owned); nullptr restores the silent one.
void SetDialogs(IDialogService* service);

// The application title used as the caption of plain message boxes.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

// A plain message box: application title as caption, no icon, OK button.
void ShowMessage(const QString& text);

// Records every box and beep; answers questions from a queue (default: the first button).
class TRecordingDialogs : public IDialogService {
public:
    struct Shown {
        QString Text;
        QString Caption;
        TMsgIcon Icon;
        TMsgButtons Buttons;
    };

    TMsgResult MessageBox(const QString& text, const QString& caption, TMsgIcon icon,
                          TMsgButtons buttons) override;
    void Beep() override { ++Beeps; }

    std::vector<Shown> Boxes;
    std::deque<TMsgResult> Answers;
    int Beeps = 0;
};

// Installs a recorder for the lifetime of a scope (tests).
class TScopedDialogs {
public:
    explicit TScopedDialogs(IDialogService& service) { SetDialogs(&service); }
    ~TScopedDialogs() { SetDialogs(nullptr); }
    TScopedDialogs(const TScopedDialogs&) = delete;
    TScopedDialogs& operator=(const TScopedDialogs&) = delete;
};
