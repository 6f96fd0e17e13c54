#include "engine/ReportText.h"

#include <cmath>

namespace {

constexpr int MaxLineLength = 1023;

double Psnr(double normalisedError)
{
    return -10.0 * std::log10(normalisedError);
}

// digit i = log2(count_i + 1), rounded; the histogram shows quantisers 0..31
QString HistogramDigits(const TQpHistogram& histogram)
{
    QString digits;
    for (int i = 0; i < 32; ++i)
        digits += QString::asprintf("%X", int(std::lrint(std::log2(histogram[i] + 1.0))));
    return digits;
}

QString PsnrText(const TReportStream& stream, bool isLast)
{
    static const char planeLetters[3] = {'Y', 'U', 'V'};
    QString text = QStringLiteral("PSNR=");
    double errorSum = 0, scaleSum = 0;
    for (int plane = 0; plane < 3; ++plane) {
        const double error = double(isLast ? stream.TotalErrors[plane] : stream.LastErrors[plane]);
        double scale = double(stream.Width) * stream.Height * 255.0 * 255.0;
        if (isLast)
            scale *= stream.FrameNumber;
        if (plane > 0)
            scale /= 4; // chroma planes of 4:2:0 pictures
        errorSum += error;
        scaleSum += scale;
        text += QString::asprintf("%c:%2.2f ", planeLetters[plane], Psnr(error / scale));
    }
    text += QString::asprintf("*:%2.2f ", Psnr(errorSum / scaleSum));
    return text;
}

} // namespace

TReportResult BuildReport(const TReportRequest& request, TQpHistogram& histogram)
{
    TReportResult result;
    QString line;
    const TReportStream* reportingVideo = nullptr;
    double outputTime = 1e10;
    bool anyOutputTime = false;
    for (const TReportStream& stream : request.Streams) {
        if (stream.IsVideo && reportingVideo)
            line += QString::asprintf("q=%2.1f ", stream.Copied ? -1.0 : stream.Quantiser);
        if (stream.IsVideo && !reportingVideo && stream.Active) {
            reportingVideo = &stream;
            if (stream.FrameNumber < 1)
                return result; // nothing encoded yet: no line, no event
            const double quantiser = stream.Copied ? -1.0 : stream.Quantiser;
            result.FrameNumber = stream.FrameNumber;
            result.Fps = request.ElapsedSeconds > 1
                             ? int(std::trunc(stream.FrameNumber / request.ElapsedSeconds + 0.5))
                             : 0;
            result.Quality = quantiser;
            line +=
                QString::asprintf("frame=%5d fps=%3d q=%3.1f ", result.FrameNumber, result.Fps, quantiser);
            if (request.IsLast)
                line += QLatin1Char('L');
            if (request.QpHist) {
                const long qp = std::lrint(quantiser);
                if (qp >= 0 && qp < long(histogram.size()))
                    ++histogram[qp];
                line += HistogramDigits(histogram);
            }
            if (stream.HasPsnr)
                line += PsnrText(stream, request.IsLast);
        }
        if (stream.EndTimeSeconds > 0 && stream.EndTimeSeconds < outputTime) {
            outputTime = stream.EndTimeSeconds;
            anyOutputTime = true;
        }
    }
    // Before anything was muxed no stream has a time: that is the floor too, not the search's start value.
    if (outputTime < 0.01 || !anyOutputTime)
        outputTime = 0.01;

    result.Made = true;
    result.CurrentDuration = int64_t(std::trunc(outputTime * 1000000));
    if (request.HasProgressCallback || request.Verbose > 0 || request.IsLast) {
        result.BitRate = double(request.TotalSize) * 8 / outputTime / 1000;
        line += QString::asprintf("size=%8.0fkB time=%0.2f bitrate=%6.1fkbits/s",
                                  double(request.TotalSize) / 1024, outputTime, result.BitRate);
        if (request.DupCount != 0 || request.DropCount != 0) {
            line += QString::asprintf(" dup=%d drop=%d", request.DupCount, request.DropCount);
            if (request.DupDropChanged && request.Verbose >= 0 && request.HasProgressCallback) {
                result.ClearDupDropChanged = true;
                result.LogLine = true;
            }
        }
        if (request.HasProgressCallback)
            result.CallProgress = true;
        else if (request.Verbose >= 0)
            result.LogLine = true;
    }
    result.Line = line.left(MaxLineLength);
    return result;
}

QString SummaryLine(int64_t videoSize, int64_t audioSize, int64_t extraSize, int64_t totalSize)
{
    const double raw = double(videoSize) + double(audioSize) + double(extraSize);
    // Nothing encoded: there is no overhead to speak of, rather than a division by zero.
    const double overhead = raw > 0 ? (double(totalSize) - raw) * 100.0 / raw : 0.0;
    return QString::asprintf("video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %f%%\r\n",
                             double(videoSize) / 1024, double(audioSize) / 1024, double(extraSize) / 1024,
                             overhead);
}
