#include "media/FFLogger.h"
#include "media/FFmpegException.h"
#include "media/FFmpegHandles.h"
#include "media/FFmpegLoader.h"
#include "media/MainThread.h"
#include "platform/NumberText.h"

#include <atomic>
#include <gtest/gtest.h>
#include <latch>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct TEvent
{
    const void* Sender;
    quint32 ThreadID;
    TLogLevel Level;
    QString Msg;
    bool InMainThread;
};

// The default logger with a handler that records every event; restored afterwards.
class LoggerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFLoader().LoadSet(EngineLibraries)) << FFLoader().LastError().toStdString();
        Logger = DefaultLogger();
        Logger->SetLogLevel(llInfo);
        Logger->SetTriggerEventInMainThread(false);
        Logger->SetOnLog([this](const void* sender, quint32 threadID, TLogLevel level, const QString& msg) {
            std::lock_guard lock(EventsLock);
            Events.push_back({sender, threadID, level, msg, IsMainThread()});
        });
    }
    void TearDown() override
    {
        Logger->SetOnLog({});
        Logger->SetTriggerEventInMainThread(true);
        Logger->SetLogLevel(llInfo);
    }

    std::vector<TEvent> TakeEvents()
    {
        std::lock_guard lock(EventsLock);
        return std::exchange(Events, {});
    }

    TFFLogger* Logger = nullptr;
    std::mutex EventsLock;
    std::vector<TEvent> Events;
};

// The "[item name @ address]" prefix the callback gives a context's lines.
QString PrefixOf(void* context)
{
    const AVClass* cls = *static_cast<AVClass**>(context);
    return QString::asprintf("[%s @ %016llX]", cls->item_name(context),
                             static_cast<unsigned long long>(reinterpret_cast<quintptr>(context)));
}

TEST(LogLevelTest, ConvertsBetweenLevelsLibraryNumbersAndWords)
{
    const struct
    {
        TLogLevel Level;
        int LibraryLevel;
        const char* Word;
    } table[] = {{llQuiet, -8, "quiet"},     {llPanic, 0, "panic"},      {llFatal, 8, "fatal"},
                 {llError, 16, "error"},     {llWarning, 24, "warning"}, {llInfo, 32, "info"},
                 {llVerbose, 40, "verbose"}, {llDebug, 48, "debug"}};
    for (const auto& row : table) {
        EXPECT_EQ(LibraryLogLevel(row.Level), row.LibraryLevel) << row.Word;
        EXPECT_EQ(LogLevelFromLibrary(row.LibraryLevel), row.Level) << row.Word;
        EXPECT_EQ(LogLevelWord(row.Level), QLatin1String(row.Word));
    }
    // Numbers between the table's steps round down; the ends are open.
    const struct
    {
        int LibraryLevel;
        TLogLevel Level;
    } between[] = {{-100, llQuiet}, {-9, llQuiet},   {-1, llPanic}, {7, llPanic},   {15, llFatal},
                   {31, llWarning}, {47, llVerbose}, {56, llDebug}, {1000, llDebug}};
    for (const auto& row : between)
        EXPECT_EQ(LogLevelFromLibrary(row.LibraryLevel), row.Level) << row.LibraryLevel;
}

TEST_F(LoggerTest, SetLogLevelNameTakesWordsInAnyCaseOrLibraryNumbers)
{
    const struct
    {
        const char* Name;
        TLogLevel Level;
    } table[] = {{"ERROR", llError}, {"Warning", llWarning}, {"debug", llDebug}, {"24", llWarning},
                 {"-8", llQuiet},    {"33", llInfo},         {"100", llDebug}};
    for (const auto& row : table) {
        Logger->SetLogLevelName(QLatin1String(row.Name));
        EXPECT_EQ(Logger->LogLevel(), row.Level) << row.Name;
        EXPECT_EQ(av_log_get_level(), LibraryLogLevel(row.Level)) << row.Name;
        EXPECT_EQ(CurrentLibraryLogLevel(), LibraryLogLevel(row.Level)) << row.Name;
    }
    EXPECT_THROW(Logger->SetLogLevelName(QStringLiteral("loud")), EConvertError);
}

TEST_F(LoggerTest, OwnMessagesPassByLevelAndVerboseOnesAtEveryLevelButQuiet)
{
    const struct
    {
        TLogLevel LoggerLevel;
        TLogLevel MessageLevel;
        bool Passes;
    } table[] = {{llQuiet, llVerbose, false}, {llQuiet, llQuiet, true}, {llError, llVerbose, true},
                 {llError, llWarning, false}, {llError, llInfo, false}, {llError, llError, true},
                 {llInfo, llInfo, true},      {llInfo, llDebug, false}, {llDebug, llDebug, true}};
    int sender = 0;
    for (const auto& row : table) {
        Logger->SetLogLevel(row.LoggerLevel);
        Logger->LogFmt(&sender, row.MessageLevel, "message %d", 7);
        const std::vector<TEvent> events = TakeEvents();
        ASSERT_EQ(events.size(), row.Passes ? 1u : 0u) << row.LoggerLevel << " " << row.MessageLevel;
        if (row.Passes) {
            EXPECT_EQ(events[0].Sender, &sender);
            EXPECT_EQ(events[0].Level, row.MessageLevel);
            EXPECT_EQ(events[0].Msg, QStringLiteral("message 7"));
            EXPECT_EQ(events[0].ThreadID, CurrentThreadID());
        }
    }
}

TEST_F(LoggerTest, LibraryChunksAreJoinedIntoLinesWithThePrefixOfTheFirstChunkOnly)
{
    CodecContextPtr context(avcodec_alloc_context3(nullptr));
    const QString prefix = PrefixOf(context.get());

    av_log(context.get(), AV_LOG_INFO, "first %d, ", 1);
    EXPECT_TRUE(TakeEvents().empty()) << "a chunk without a line feed completes no line";

    av_log(context.get(), AV_LOG_WARNING, "second\n");
    std::vector<TEvent> events = TakeEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].Msg, prefix + QStringLiteral("first 1, second"));
    EXPECT_EQ(events[0].Level, llWarning) << "the level of the chunk that ends the line";
    EXPECT_EQ(events[0].Sender, Logger);
    EXPECT_EQ(events[0].ThreadID, CurrentThreadID());

    av_log(nullptr, AV_LOG_ERROR, "one\ntwo\nthree");
    events = TakeEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].Msg, QStringLiteral("one"));
    EXPECT_EQ(events[1].Msg, QStringLiteral("two"));
    av_log(context.get(), AV_LOG_ERROR, " end\n");
    events = TakeEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].Msg, QStringLiteral("three end"));

    av_log(context.get(), AV_LOG_DEBUG, "above the level\n");
    EXPECT_TRUE(TakeEvents().empty());
}

TEST_F(LoggerTest, PartialLinesOfTwoThreadsAreKeptApart)
{
    std::latch firstChunksDone(2);
    std::latch secondChunks(1);
    std::atomic<quint32> idA{0}, idB{0};
    auto worker = [&](const char* name, std::atomic<quint32>& id) {
        id = CurrentThreadID();
        av_log(nullptr, AV_LOG_INFO, "%s begins, ", name);
        firstChunksDone.count_down();
        secondChunks.wait();
        av_log(nullptr, AV_LOG_INFO, "%s ends\n", name);
    };
    std::thread a(worker, "A", std::ref(idA));
    std::thread b(worker, "B", std::ref(idB));
    firstChunksDone.wait();
    secondChunks.count_down();
    a.join();
    b.join();

    std::vector<TEvent> events = TakeEvents();
    ASSERT_EQ(events.size(), 2u);
    std::sort(events.begin(), events.end(), [](const TEvent& x, const TEvent& y) { return x.Msg < y.Msg; });
    EXPECT_EQ(events[0].Msg, QStringLiteral("A begins, A ends"));
    EXPECT_EQ(events[0].ThreadID, idA.load());
    EXPECT_EQ(events[1].Msg, QStringLiteral("B begins, B ends"));
    EXPECT_EQ(events[1].ThreadID, idB.load());
    EXPECT_NE(idA.load(), idB.load());
}

TEST_F(LoggerTest, EventsOfAWorkerRunInTheMainThreadWhileTheWorkerWaits)
{
    Logger->SetTriggerEventInMainThread(true);
    std::atomic<bool> workerDone{false};
    quint32 workerID = 0;
    std::thread worker([&] {
        workerID = CurrentThreadID();
        av_log(nullptr, AV_LOG_ERROR, "from the worker\n");
        Logger->Log(nullptr, llError, QStringLiteral("own message"));
        workerDone = true;
    });
    WaitWhilePumping([&] { return workerDone.load(); });
    worker.join();

    const std::vector<TEvent> events = TakeEvents();
    ASSERT_EQ(events.size(), 2u);
    for (const TEvent& event : events) {
        EXPECT_TRUE(event.InMainThread) << event.Msg.toStdString();
        EXPECT_EQ(event.ThreadID, workerID) << "the thread that logged, not the one that delivered";
    }
    EXPECT_EQ(events[0].Msg, QStringLiteral("from the worker"));
    EXPECT_EQ(events[1].Msg, QStringLiteral("own message"));
}

TEST_F(LoggerTest, OnlyOneLoggerMayExist)
{
    try {
        TFFLogger second;
        FAIL() << "a second logger was created";
    } catch (const FFmpegException& error) {
        EXPECT_STREQ(error.what(), "Allow creating only one instance of TFFLogger.");
    }
    EXPECT_EQ(DefaultLogger(), Logger);
}

} // namespace
