#pragma once

#include "platform/DialogService.h"

class TCliConsole;

// The message boxes of the shared code, on a command line: each box becomes
// a warning line on standard error, and a question is answered with its
// first button (Yes, OK) and the answer shown, so that a conversion never
// waits for a person. This is how the mapping's "Use the default size
// 320x240?" question gets its "Yes".
class TCliDialogs : public IDialogService
{
public:
    explicit TCliDialogs(TCliConsole& console) : FConsole(console) {}

    TMsgResult MessageBox(const QString& text, const QString& caption, TMsgIcon icon,
                          TMsgButtons buttons) override;
    void Beep() override {}

private:
    TCliConsole& FConsole;
};
