#include "cli/CliDialogs.h"

#include "cli/CliConsole.h"

TMsgResult TCliDialogs::MessageBox(const QString& text, const QString& caption, TMsgIcon icon,
                                   TMsgButtons buttons)
{
    const QString prefix = caption.isEmpty() ? QString() : caption + QStringLiteral(": ");
    switch (buttons) {
    case TMsgButtons::YesNo:
    case TMsgButtons::YesNoCancel:
        FConsole.Err(CliMessage(prefix + text + QStringLiteral(" Yes")));
        return TMsgResult::Yes;
    case TMsgButtons::Ok:
    case TMsgButtons::OkCancel:
        break;
    }
    FConsole.Err(CliMessage(prefix + text));
    return TMsgResult::Ok;
}
