#include "platform/ui/MessageBoxDialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(TMsgIcon icon)
{
    switch (icon) {
    case TMsgIcon::None:
        return QMessageBox::NoIcon;
    case TMsgIcon::Information:
        return QMessageBox::Information;
    case TMsgIcon::Warning:
        return QMessageBox::Warning;
    case TMsgIcon::Error:
        return QMessageBox::Critical;
    case TMsgIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(TMsgButtons buttons)
{
    switch (buttons) {
    case TMsgButtons::Ok:
        return QMessageBox::Ok;
    case TMsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case TMsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case TMsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// The first button has the focus, as in the boxes users know from elsewhere.
QMessageBox::StandardButton firstButton(TMsgButtons buttons)
{
    switch (buttons) {
    case TMsgButtons::Ok:
    case TMsgButtons::OkCancel:
        return QMessageBox::Ok;
    case TMsgButtons::YesNo:
    case TMsgButtons::YesNoCancel:
        return QMessageBox::Yes;
    }
    return QMessageBox::Ok;
}

// A box closed without a button (Escape, the window's close button) answers
// with its cancelling choice.
TMsgResult dismissed(TMsgButtons buttons)
{
    switch (buttons) {
    case TMsgButtons::Ok:
        return TMsgResult::Ok;
    case TMsgButtons::OkCancel:
    case TMsgButtons::YesNoCancel:
        return TMsgResult::Cancel;
    case TMsgButtons::YesNo:
        return TMsgResult::No;
    }
    return TMsgResult::Cancel;
}

} // namespace

TMsgResult TMessageBoxDialogs::MessageBox(const QString& text, const QString& caption, TMsgIcon icon,
                                          TMsgButtons buttons)
{
    QMessageBox box(boxIcon(icon), caption, text, boxButtons(buttons), QApplication::activeWindow());
    box.setDefaultButton(firstButton(buttons));
    switch (box.exec()) {
    case QMessageBox::Ok:
        return TMsgResult::Ok;
    case QMessageBox::Cancel:
        return TMsgResult::Cancel;
    case QMessageBox::Yes:
        return TMsgResult::Yes;
    case QMessageBox::No:
        return TMsgResult::No;
    default:
        return dismissed(buttons);
    }
}

void TMessageBoxDialogs::Beep()
{
    QApplication::beep();
}
