#include "platform/Shutdown.h"

#include <QProcess>
#include <atomic>

namespace {

class RefusingShutdown : public IShutdownService
{
public:
    bool RequestPowerOff() override { return false; }
    QString LastError() const override { return QStringLiteral("No shutdown service is installed."); }
};

RefusingShutdown refusing;
std::atomic<IShutdownService*> current{nullptr};

// systemctl only queues the job with logind and returns; a refusal (no
// permission, no logind) comes back within this time.
constexpr int RequestTimeoutMs = 15000;

} // namespace

IShutdownService& Shutdown()
{
    IShutdownService* s = current.load();
    return s ? *s : refusing;
}

void SetShutdown(IShutdownService* service)
{
    current.store(service);
}

bool TLogindShutdown::RequestPowerOff()
{
    lastError_.clear();
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
    if (!process.waitForStarted()) {
        lastError_ = process.errorString();
        return false;
    }
    if (!process.waitForFinished(RequestTimeoutMs)) {
        lastError_ = QStringLiteral("systemctl poweroff did not answer.");
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        lastError_ = QString::fromLocal8Bit(process.readAll()).trimmed();
        if (lastError_.isEmpty())
            lastError_ = QStringLiteral("systemctl poweroff failed with code %1.").arg(process.exitCode());
        return false;
    }
    return true;
}
