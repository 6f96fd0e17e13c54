#include "engine/VideoStats.h"

#include "media/FFmpegException.h"

#include <QFile>
#include <cmath>

QString VideoStatsLine(const TVideoStatsEntry& entry)
{
    QString line = QString::asprintf("frame= %5d q= %2.1f ", entry.FrameNumber, entry.Quantiser);
    if (entry.HasPsnr) {
        const double scale = double(entry.Width) * entry.Height * 255.0 * 255.0;
        line += QString::asprintf("PSNR= %6.2f ", -10.0 * std::log10(double(entry.LumaError) / scale));
    }
    line += QString::asprintf("f_size= %6d ", entry.PacketSize);
    double outputTime = double(entry.SyncOpts) * entry.TimeBaseSeconds;
    if (outputTime < 0.01)
        outputTime = 0.01;
    const double bitRate = entry.PacketSize * 8 / entry.TimeBaseSeconds / 1000;
    const double averageBitRate = double(entry.VideoSize) * 8 / outputTime / 1000;
    line += QString::asprintf("s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ",
                              double(entry.VideoSize) / 1024, outputTime, bitRate, averageBitRate);
    line += QString::asprintf("type= %c\n", entry.PictureType);
    return line;
}

TVideoStatsFile::~TVideoStatsFile()
{
    Close();
}

void TVideoStatsFile::Append(const QString& fileName, const TVideoStatsEntry& entry)
{
    if (!FFile) {
        FFile = std::fopen(QFile::encodeName(fileName).constData(), "w");
        if (!FFile)
            throw FFmpegException(QStringLiteral("fopen fail: ") + fileName);
    }
    const QByteArray line = VideoStatsLine(entry).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), FFile);
}

void TVideoStatsFile::Close()
{
    if (FFile) {
        std::fclose(FFile);
        FFile = nullptr;
    }
}
