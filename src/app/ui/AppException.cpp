#include "app/ui/AppException.h"

#include "media/FFmpegException.h"
#include "platform/DialogService.h"

QString AppExceptionText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void ShowAppException(QObject* sender, const std::exception& exception)
{
    const QString text = AppExceptionText(QString::fromUtf8(exception.what()));
    const bool engine = dynamic_cast<const FFmpegException*>(&exception) != nullptr;
    Dialogs().MessageBox(text, ApplicationTitle(), engine ? TMsgIcon::Warning : TMsgIcon::Error,
                         TMsgButtons::Ok);
}
