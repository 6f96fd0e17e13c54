#pragma once

#include "engine/HookInfo.h"

#include <QImage>
#include <QString>
#include <QtGlobal>

// The records of the engine component's events besides the hook's
// (HookInfo.h). The component keeps one of each and refills it for every
// delivery.

struct TProgressInfo
{
    qint32 TaskIndex = 0;
    qint32 FileIndex = 0;       // the input the last packet came from; -1 in the final report
    qint32 FrameNumber = 0;     // frames encoded on the first video output; -1 without video
    qint32 FPS = 0;             // -1 without video
    float Quality = 0;          // quantiser of the last video frame; -1 for a copied or missing video stream
    float BitRate = 0;          // kbit/s of the output so far
    qint64 CurrentSize = 0;     // bytes written to the first output
    qint64 CurrentDuration = 0; // microseconds reached
    qint64 TotalDuration = 0;   // microseconds expected; -1 when unknown
};
using PProgressInfo = TProgressInfo*;

struct TTerminateInfo
{
    qint32 TaskIndex = 0;   // -1 for the notification that ends the whole run
    bool Finished = false;  // ran to its end without a stop request
    bool Exception = false; // failed
    QString ExceptionMsg;   // the failure text when Exception
};

struct TPreviewInfo
{
    qint32 TaskIndex = 0;
    QImage* Bitmap = nullptr; // output-size picture, owned by the task and reused: copy it
    qint32 FrameNumber = 0;
    qint64 PTS = 0; // microseconds, the encoder's last coded frame
};
