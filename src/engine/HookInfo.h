#pragma once

#include <QImage>
#include <QtGlobal>

// The record of the engine's per-frame hook. The engine keeps one, refills it
// for every decoded video frame and hands OnCustomHook a pointer to it, on the
// task's worker thread.
struct THookInfo
{
    qint32 TaskIndex = 0;     // index of the task in the engine's task list
    QImage* Bitmap = nullptr; // the decoded picture in Format_BGR888, row 0 at the top; owned by the task
    qint32 FrameNumber = 0;   // 1-based count of the video frames the task has decoded, all inputs together
    qint64 PTS = 0;           // presentation time on its input stream, microseconds
    bool Update = true;       // in/out: still true on return = the bitmap is written back into the frame
    bool StopHook = false;    // in/out: true on return = no further hook calls for this task
};

using PHookInfo = THookInfo*;
