#include "OptionTesting.h"

#include "media/FFLogger.h"
#include "media/FFmpegLoader.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/opt.h>
}

void LoadEngineLibrariesForTest()
{
    ASSERT_TRUE(FFLoader().LoadSet(EngineLibraries)) << FFLoader().LastError().toStdString();
}

TLogCapture::TLogCapture() : FPreviousLevel(DefaultLogger()->LogLevel())
{
    DefaultLogger()->SetLogLevel(llInfo);
    DefaultLogger()->SetOnLog([this](const void*, quint32, TLogLevel level, const QString& line) {
        FLines.emplace_back(level, line);
    });
}

TLogCapture::~TLogCapture()
{
    DefaultLogger()->SetOnLog({});
    DefaultLogger()->SetLogLevel(FPreviousLevel);
}

QStringList TLogCapture::Lines(TLogLevel level) const
{
    QStringList lines;
    for (const auto& [lineLevel, line] : FLines)
        if (lineLevel == level)
            lines << line;
    return lines;
}

bool TLogCapture::Mentions(TLogLevel level, const QString& text) const
{
    for (const QString& line : Lines(level))
        if (line.contains(text))
            return true;
    return false;
}

std::unique_ptr<TFFmpeg> NewTask()
{
    LoadEngineLibrariesForTest();
    auto task = std::make_unique<TFFmpeg>();
    task->Reset();
    return task;
}

qint64 StoredCodecOption(const TCustomFFmpeg& task, int mediaType, const char* name)
{
    int64_t value = 0;
    EXPECT_GE(av_opt_get_int(task.Opts().Options.CodecOptions[mediaType].get(), name, 0, &value), 0) << name;
    return value;
}

QString PrivateOption(const std::vector<TPrivateCodecOption>& options, const QString& name)
{
    for (const TPrivateCodecOption& option : options)
        if (option.Name == name)
            return option.Value;
    return QString();
}
