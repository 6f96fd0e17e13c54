#pragma once

#include "platform/DialogService.h"

// The dialog service of the program: modal QMessageBox windows over the
// active window, with the caption, icon and buttons asked for.
class TMessageBoxDialogs : public IDialogService
{
public:
    TMsgResult MessageBox(const QString& text, const QString& caption, TMsgIcon icon,
                          TMsgButtons buttons) override;
    void Beep() override;
};
