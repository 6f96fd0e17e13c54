#include "engine/FFmpegList.h"

int TFFmpegList::Add(std::unique_ptr<TFFmpeg> task)
{
    FTasks.push_back(std::move(task));
    return Count() - 1;
}

void TFFmpegList::Delete(int index)
{
    if (index >= 0 && index < Count())
        FTasks.erase(FTasks.begin() + index);
}

void TFFmpegList::Clear()
{
    for (std::unique_ptr<TFFmpeg>& task : FTasks)
        task.reset();
    FTasks.clear();
}

TFFmpeg* TFFmpegList::Items(int index) const
{
    return index >= 0 && index < Count() ? FTasks[index].get() : nullptr;
}

int TFFmpegList::IndexOf(const TCustomFFmpeg* task) const
{
    for (int index = 0; index < Count(); ++index)
        if (FTasks[index].get() == task)
            return index;
    return -1;
}

void TFFmpegList::PauseAll()
{
    for (const std::unique_ptr<TFFmpeg>& task : FTasks)
        task->Pause();
}

void TFFmpegList::ResumeAll()
{
    for (const std::unique_ptr<TFFmpeg>& task : FTasks)
        task->Resume();
}

void TFFmpegList::TerminateAll(bool wait)
{
    for (const std::unique_ptr<TFFmpeg>& task : FTasks)
        task->Terminate(wait);
}

void TFFmpegList::SetPreviewAll(bool on)
{
    SetPreviewBit(1, on);
}

void TFFmpegList::SetPreviewBitmapAll(bool on)
{
    SetPreviewBit(2, on);
}

void TFFmpegList::SetPreviewBit(quint8 bit, bool on)
{
    for (const std::unique_ptr<TFFmpeg>& task : FTasks)
        task->SetPreviewFlag(bit, on);
}
