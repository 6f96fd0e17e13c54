#include "platform/DialogService.h"

#include <atomic>
#include <mutex>

namespace {

TMsgResult firstButton(TMsgButtons buttons)
{
    switch (buttons) {
    case TMsgButtons::Ok:
    case TMsgButtons::OkCancel: return TMsgResult::Ok;
    case TMsgButtons::YesNo:
    case TMsgButtons::YesNoCancel: return TMsgResult::Yes;
    }
    return TMsgResult::Ok;
}

class SilentDialogs : public IDialogService {
public:
    TMsgResult MessageBox(const QString&, const QString&, TMsgIcon, TMsgButtons buttons) override
    {
        return firstButton(buttons);
    }
    void Beep() override {}
};

SilentDialogs silent;
std::atomic<IDialogService*> current{nullptr};

std::mutex titleLock; // guards title
QString title = QStringLiteral("Quenvo iPod Clarvix");

} // namespace

IDialogService& Dialogs()
{
    IDialogService* s = current.load();
    return s ? *s : silent;
}

void SetDialogs(IDialogService* service)
{
    current.store(service);
}

QString ApplicationTitle()
{
    std::lock_guard lock(titleLock);
    return title;
}

void SetApplicationTitle(const QString& newTitle)
{
    std::lock_guard lock(titleLock);
    title = newTitle;
}

void ShowMessage(const QString& text)
{
    Dialogs().MessageBox(text, ApplicationTitle(), TMsgIcon::None, TMsgButtons::Ok);
}

TMsgResult TRecordingDialogs::MessageBox(const QString& text, const QString& caption, TMsgIcon icon,
                                         TMsgButtons buttons)
{
    Boxes.push_back({text, caption, icon, buttons});
    if (Answers.empty())
        return firstButton(buttons);
    const TMsgResult r = Answers.front();
    Answers.pop_front();
    return r;
}
