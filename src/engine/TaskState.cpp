#include "engine/TCustomFFmpeg.h"

#include "media/FFmpegLoader.h"
#include "probe/AVProbe.h"

std::recursive_mutex& PreviewLock()
{
    static std::recursive_mutex lock;
    return lock;
}

TCustomFFmpeg::TCustomFFmpeg() = default;

TCustomFFmpeg::~TCustomFFmpeg()
{
    StopAndWaitForThreads();
    CloseFiles();
}

void TCustomFFmpeg::Reset()
{
    if (!FFLoader().SetLoaded(EngineLibraries))
        return;
    CloseFiles();
    ClearOptions();
    Joined = false;
    Running = false;
    StopRequested = false;
    Finished = false;
    Terminated = false;
    TotalDuration = -1;
    FOpts.Options.Reset(FOpts.SwsFlags);
}

void TCustomFFmpeg::ClearOptions()
{
    FOpts.ClearValues();
    Counters = TLoopCounters{};
}

void TCustomFFmpeg::SetVerbose(int level)
{
    FOpts.Verbose = level;
}

void TCustomFFmpeg::SetPreviewFlags(quint8 flags)
{
    UpdatePreviewFlags([flags](quint8) { return flags; });
}

void TCustomFFmpeg::SetPreviewFlag(quint8 bit, bool on)
{
    UpdatePreviewFlags([bit, on](quint8 flags) {
        return on ? static_cast<quint8>(flags | bit) : static_cast<quint8>(flags & ~bit);
    });
}

void TCustomFFmpeg::UpdatePreviewFlags(const std::function<quint8(quint8)>& change)
{
    std::shared_ptr<IPreviewWindow> closing;
    {
        std::lock_guard<std::recursive_mutex> guard(PreviewLock());
        const quint8 flags = change(FPreviewFlags);
        if ((FPreviewFlags & 1) && !(flags & 1))
            closing = std::move(Previewer);
        FPreviewFlags = flags;
    }
    // The window goes away outside the lock: closing it waits for the main thread.
}

quint8 TCustomFFmpeg::PreviewFlags() const
{
    std::lock_guard<std::recursive_mutex> guard(PreviewLock());
    return FPreviewFlags;
}

int TCustomFFmpeg::InputFileCount() const
{
    return Files.InputCount();
}

int TCustomFFmpeg::OutputFileCount() const
{
    return Files.OutputCount();
}

// ---- TFFmpeg

TFFmpeg::TFFmpeg() = default;

TFFmpeg::~TFFmpeg()
{
    // The probes look at the task's inputs without owning them: they go first.
    for (std::unique_ptr<TAVProbe>& probe : FProbes)
        probe.reset();
}

TAVProbe* TFFmpeg::InputProbe(int index)
{
    if (index < 0 || index >= MaxInputFiles)
        return nullptr;
    if (!FProbes[index])
        FProbes[index] = std::make_unique<TAVProbe>();
    return FProbes[index].get();
}

const TInputOptions* TFFmpeg::StoredInputOptions(int index) const
{
    if (index < 0 || index >= MaxInputFiles || !FInputOptions[index])
        return nullptr;
    return &*FInputOptions[index];
}

const TOutputOptions* TFFmpeg::StoredOutputOptions(int index) const
{
    if (index < 0 || index >= MaxOutputFiles || !FOutputOptions[index])
        return nullptr;
    return &*FOutputOptions[index];
}

void TFFmpeg::ReinitOutputOptions(int index)
{
    if (index >= 0 && index < MaxOutputFiles && FOutputOptions[index])
        FOutputOptions[index] = TOutputOptions{};
}

void TFFmpeg::StoreInputOptions(int inputIndex, const TInputOptions& options)
{
    if (inputIndex >= 0 && inputIndex < MaxInputFiles)
        FInputOptions[inputIndex] = options;
}

void TFFmpeg::StoreOutputOptions(int outputIndex, const TOutputOptions& options)
{
    if (outputIndex >= 0 && outputIndex < MaxOutputFiles)
        FOutputOptions[outputIndex] = options;
}
