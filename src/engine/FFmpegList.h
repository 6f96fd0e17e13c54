#pragma once

#include "engine/TCustomFFmpeg.h"

#include <memory>
#include <vector>

// The ordered list of the engine component's tasks; it owns them.
// Used from the owner's thread.
class TFFmpegList
{
public:
    int Add(std::unique_ptr<TFFmpeg> task);       // the task's index
    void Delete(int index);                       // frees the task; a bad index does nothing
    void Clear();                                 // frees every task, then empties the list
    TFFmpeg* Items(int index) const;              // null for a bad index
    int IndexOf(const TCustomFFmpeg* task) const; // -1 when not in the list
    int Count() const { return static_cast<int>(FTasks.size()); }

    void PauseAll();
    void ResumeAll();
    void TerminateAll(bool wait);
    // Sets or clears bit 0 (preview window) / bit 1 (preview event) of every task's preview flags.
    void SetPreviewAll(bool on);
    void SetPreviewBitmapAll(bool on);

private:
    void SetPreviewBit(quint8 bit, bool on);
    std::vector<std::unique_ptr<TFFmpeg>> FTasks;
};
