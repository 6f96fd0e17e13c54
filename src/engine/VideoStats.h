#pragma once

#include <QString>
#include <cstdint>
#include <cstdio>

// One line of the video statistics file ("vstats"), written after each
// packet of an encoded video stream.
struct TVideoStatsEntry
{
    int FrameNumber = 0;
    double Quantiser = 0;
    bool HasPsnr = false;
    uint64_t LumaError = 0; // of the last coded frame
    int Width = 0, Height = 0;
    int PacketSize = 0;
    int64_t VideoSize = 0;         // bytes of encoded video so far
    int64_t SyncOpts = 0;          // frames given to the encoder so far
    double TimeBaseSeconds = 0.04; // one frame of the encoder's time base
    char PictureType = '?';
};

QString VideoStatsLine(const TVideoStatsEntry& entry);

// The statistics file of a task, created on first use.
class TVideoStatsFile
{
public:
    TVideoStatsFile() = default;
    ~TVideoStatsFile();
    TVideoStatsFile(const TVideoStatsFile&) = delete;
    TVideoStatsFile& operator=(const TVideoStatsFile&) = delete;

    // Creates the file ("fopen fail: " + name raised when it cannot) and appends the line.
    void Append(const QString& fileName, const TVideoStatsEntry& entry);
    void Close();

private:
    FILE* FFile = nullptr;
};
