#pragma once

#include <QString>
#include <QtGlobal>

// The probe's answers, read by the main window and the file information
// window. A default-constructed record is the cleared one: numbers -1,
// texts empty.

struct TFileStreamInfo
{
    qint64 StartTime = -1; // microseconds, -1 when unknown
    qint64 Duration = -1;  // microseconds, -1 when unknown
    qint32 BitRate = -1;   // bits per second, 0 when the container does not know it
    qint64 Timestamp = -1; // creation time, seconds since 1970; 0 when the file has none
    qint32 Year = -1;      // 0 when the file has none
    qint32 Track = -1;     // 0 when the file has none
    QString Title;
    QString Author;
    QString Copyright;
    QString Comment;
    QString Album;
    QString Genre;
};

struct TVideoStreamInfo
{
    QString Language;
    QString CodecName;
    qint64 StreamStartTime = -1; // stream time base; the no-timestamp value when unknown
    qint64 StartTimeUS = -1;
    qint64 StreamDuration = -1; // stream time base; the no-timestamp value when unknown
    qint64 DurationUS = -1;
    qint32 BitRate = -1;
    qint32 Height = -1; // before Width, as the record has always been laid out
    qint32 Width = -1;
    float DisplayAspectRatio = -1.0f;
    qint32 PixelFormat = -1;
    qint32 FrameRateNum = -1;
    qint32 FrameRateDen = -1;
};

struct TAudioStreamInfo
{
    QString Language;
    QString CodecName;
    qint64 StreamStartTime = -1;
    qint64 StartTimeUS = -1;
    qint64 StreamDuration = -1;
    qint64 DurationUS = -1;
    qint32 BitRate = -1;
    qint32 Channels = -1;
    qint32 SampleRate = -1;
    qint32 SampleFormat = -1;
};
