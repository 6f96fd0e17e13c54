#pragma once

#include <QString>

// The request to power the computer off after a conversion run, behind one
// injectable service. Until the program installs the real one, a refusing
// service answers false, so no test or library caller can switch the machine off.

class IShutdownService
{
public:
    virtual ~IShutdownService() = default;
    // Asks the system to power off; false (with LastError) when it refused.
    virtual bool RequestPowerOff() = 0;
    virtual QString LastError() const = 0;
};

IShutdownService& Shutdown();
// Installs a service (not owned); nullptr restores the refusing one.
void SetShutdown(IShutdownService* service);

// Power-off through logind, as "systemctl poweroff" asks it.
class TLogindShutdown : public IShutdownService
{
public:
    bool RequestPowerOff() override;
    QString LastError() const override { return lastError_; }

private:
    QString lastError_;
};

// Counts the requests and answers with `Result` (tests).
class TRecordingShutdown : public IShutdownService
{
public:
    bool RequestPowerOff() override
    {
        ++Requests;
        return Result;
    }
    QString LastError() const override { return Result ? QString() : QStringLiteral("refused"); }

    int Requests = 0;
    bool Result = true;
};
