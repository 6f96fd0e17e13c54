#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// Video hook libraries ("vhook"): shared libraries with the entry points
//   int  Configure(void** context, int argc, char* argv[]);   (optional)
//   void Process(void* context, AVPicture-like picture, int pixFmt, int width, int height, int64_t pts);
//   void Release(void* context);                              (optional)
// loaded once per process and shared by every task that names them.

// The picture handed to Process: the planes and line sizes of the frame.
struct TVideoHookPicture
{
    uint8_t* data[4];
    int linesize[4];
};

using TVideoHookConfigure = int (*)(void** context, int argc, char* argv[]);
using TVideoHookProcess = void (*)(void* context, TVideoHookPicture* picture, int pixFmt, int width,
                                   int height, int64_t pts);
using TVideoHookRelease = void (*)(void* context);

struct TVideoHookEntry
{
    void* Context = nullptr;
    TVideoHookConfigure Configure = nullptr;
    TVideoHookProcess Process = nullptr;
    TVideoHookRelease Release = nullptr;
};

// The hook chain of one task. Used from the task's own thread only.
class TVideoHookChain
{
public:
    TVideoHookChain() = default;
    ~TVideoHookChain() { ReleaseAll(); }
    TVideoHookChain(const TVideoHookChain&) = delete;
    TVideoHookChain& operator=(const TVideoHookChain&) = delete;

    // Loads tokens[0] (unless already loaded in this process), finds its entry
    // points, configures it with all tokens and appends it. False on any
    // failure, which is logged with the reason.
    bool Add(const QStringList& tokens);

    // Every entry's Process, in chain order.
    void ProcessFrame(TVideoHookPicture& picture, int pixFmt, int width, int height, int64_t pts);

    // Every entry's Release (when it has one); the chain is empty afterwards.
    // The libraries stay loaded for later tasks.
    void ReleaseAll();

    bool IsEmpty() const { return FEntries.empty(); }
    int Count() const { return static_cast<int>(FEntries.size()); }

private:
    std::vector<TVideoHookEntry> FEntries;
};

// Splits a "vhook" value: at "|" when it has one, otherwise at blanks; empty
// tokens are dropped; at most 254 tokens.
QStringList SplitVideoHookArguments(const QString& value);
