#pragma once

// Shared by the probe tests: libraries loaded once, and a recorder of the
// messages a probe logs.

#include "media/FFLogger.h"
#include "probe/AVProbe.h"

#include <QString>
#include <gtest/gtest.h>
#include <vector>

struct TLoggedMessage
{
    TLogLevel Level;
    QString Text;
};

// Records what one sender logs while it lives; the libraries' own lines are ignored.
class TProbeLogRecorder
{
public:
    explicit TProbeLogRecorder(const void* sender) : FSender(sender)
    {
        DefaultLogger()->SetOnLog([this](const void* from, quint32, TLogLevel level, const QString& msg) {
            if (from == FSender)
                Messages.push_back({level, msg});
        });
    }
    ~TProbeLogRecorder() { DefaultLogger()->SetOnLog(nullptr); }
    TProbeLogRecorder(const TProbeLogRecorder&) = delete;
    TProbeLogRecorder& operator=(const TProbeLogRecorder&) = delete;

    std::vector<TLoggedMessage> Messages;

private:
    const void* FSender;
};

// Base of the probe tests: the probe's libraries are loaded before each suite.
class ProbeTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        TAVProbe loader;
        ASSERT_TRUE(loader.LoadLibraries(QString())) << loader.LastErrMsg().toStdString();
    }

    TAVProbe Probe;
};
