#include "jobs/MapProfileOptionsGeometry.h"

#include "engine/OptionRecords.h"
#include "jobs/MapProfileOptionsValues.h"
#include "platform/DialogService.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

// The sizes the H.263 encoder takes as they are.
const QString H263Sizes = QStringLiteral("704x576,352x288,176x144,160x120,128x96");

const TFrameSize DefaultFrameSize{320, 240};

int Even(int value)
{
    return (value / 2) * 2;
}

int TruncToInt(double value)
{
    return int(std::trunc(value));
}

// Half the free space, made even (so two bands may lose up to 3 pixels together).
int EvenHalf(int space)
{
    return (space / 4) * 2;
}

TFrameSize H263FrameSize(TFrameSize size)
{
    if (size.Width > 352)
        return {704, 576};
    if (size.Width > 176)
        return {352, 288};
    return size;
}

QString SizeText(int width, int height)
{
    return QString::number(width) + QLatin1Char('x') + QString::number(height);
}

QString RatioText(int width, int height)
{
    return QString::number(width) + QLatin1Char(':') + QString::number(height);
}

void SetEngineCrop(TOutputOptions& output, const TEngineCrop& crop)
{
    output.CropTop = crop.Top;
    output.CropBottom = crop.Bottom;
    output.CropLeft = crop.Left;
    output.CropRight = crop.Right;
}

TEngineCrop EngineCropOf(const TRowCrop& crop)
{
    return {crop.Top, crop.Bottom, crop.Left, crop.Right};
}

} // namespace

TFrameSize OutputFrameSize(const QString& sizeText, const QString& videoCodec, int sourceWidth,
                           int sourceHeight)
{
    const TFrameSize source{sourceWidth, sourceHeight};
    if (sizeText == AsSource)
        return source;

    const qsizetype x = sizeText.indexOf(QLatin1Char('x'));
    if (x >= 1 && x < sizeText.size() - 1) {
        const QString width = sizeText.left(x);
        const QString height = sizeText.mid(x + 1);
        TFrameSize size{IsInteger(width) ? StrToInt(width) : sourceWidth,
                        IsInteger(height) ? StrToInt(height) : sourceHeight};
        if (videoCodec.toLower() == QLatin1String("h263") && !H263Sizes.contains(sizeText))
            size = H263FrameSize(size);
        return size;
    }

    const TMsgResult answer =
        Dialogs().MessageBox(QStringLiteral("Error output Video Size.Use the default size 320x240?"),
                             QStringLiteral("Warning"), TMsgIcon::Question, TMsgButtons::YesNo);
    return answer == TMsgResult::Yes ? DefaultFrameSize : source;
}

TPads LetterboxPads(int pictureWidth, int pictureHeight, TFrameSize frame)
{
    // Unknown or absurd sizes get no bands rather than a division by zero.
    if (pictureWidth <= 0 || pictureHeight <= 0 || frame.Width <= 0 || frame.Height <= 0)
        return {};
    if (pictureWidth == frame.Width && pictureHeight == frame.Height)
        return {};
    const double r = double(pictureWidth) / frame.Width;
    const double r2 = double(pictureHeight) / frame.Height;
    TPads pads;
    if (r > r2) {
        const int h = Even(TruncToInt(pictureHeight / r));
        pads.Top = pads.Bottom = EvenHalf(frame.Height - h);
    } else if (r < r2) {
        const int w = Even(TruncToInt(pictureWidth / r2));
        pads.Left = pads.Right = EvenHalf(frame.Width - w);
    }
    return pads;
}

TEngineCrop PanScanCrop(int sourceWidth, int sourceHeight, TFrameSize frame, const TRowCrop& crop)
{
    const int width = sourceWidth - crop.Left - crop.Right;
    const int height = sourceHeight - crop.Top - crop.Bottom;
    if (width <= 0 || height <= 0)
        return EngineCropOf(crop);
    const bool frameKnown = frame.Width > 0 && frame.Height > 0;
    const double proportions = double(width) / height;
    const double fourToThree = 4.0 / 3.0;

    TEngineCrop result;
    if (proportions > fourToThree) {
        const double kept = frameKnown ? double(height) * frame.Width / frame.Height : width;
        const int perSide = std::max(0, TruncToInt((width - kept) / 2));
        result.Left = result.Right = Even(perSide + crop.Left);
    } else if (proportions < fourToThree) {
        const double kept = frameKnown ? double(width) * frame.Height / frame.Width : height;
        const int perSide = std::max(0, TruncToInt((height - kept) / 2));
        result.Top = result.Bottom = Even(perSide + crop.Top);
    }
    return result;
}

TCenterPlacement CenterPlacement(int pictureWidth, int pictureHeight, TFrameSize frame)
{
    if (pictureWidth <= 0 || pictureHeight <= 0 || frame.Width <= 0 || frame.Height <= 0)
        return {frame.Width, frame.Height, 0, 0};
    // Whole-number arithmetic, so a picture of the frame's proportions is not
    // made a pixel smaller by rounding.
    qint64 width = pictureWidth;
    qint64 height = pictureHeight;
    if (pictureWidth > frame.Width || pictureHeight > frame.Height) {
        if (qint64(pictureWidth) * frame.Height >= qint64(pictureHeight) * frame.Width) {
            width = frame.Width;
            height = qint64(pictureHeight) * frame.Width / pictureWidth;
        } else {
            height = frame.Height;
            width = qint64(pictureWidth) * frame.Height / pictureHeight;
        }
    }
    TCenterPlacement place;
    place.Width = std::max(2, Even(int(width)));
    place.Height = std::max(2, Even(int(height)));
    place.X = EvenHalf(frame.Width - place.Width);
    place.Y = EvenHalf(frame.Height - place.Height);
    return place;
}

void ApplyZoom(const QString& zoom, int sourceWidth, int sourceHeight, TFrameSize frame, const TRowCrop& crop,
               TOutputOptions& output)
{
    SetEngineCrop(output, {});
    const int croppedWidth = sourceWidth - crop.Left - crop.Right;
    const int croppedHeight = sourceHeight - crop.Top - crop.Bottom;
    QString filter;

    if (zoom == QLatin1String("full")) {
        if (crop.Present())
            SetEngineCrop(output, EngineCropOf(crop));
        output.FrameSize = SizeText(frame.Width, frame.Height);
        output.AspectRatio = RatioText(frame.Width, frame.Height);
    } else if (zoom == QLatin1String("lbox")) {
        // Fitted by what is left after the crop, so a cropped picture keeps its proportions too.
        const TPads pads = LetterboxPads(croppedWidth, croppedHeight, frame);
        const int fittedWidth = frame.Width - pads.Left - pads.Right;
        const int fittedHeight = frame.Height - pads.Top - pads.Bottom;
        const QString pad =
            QStringLiteral("pad=%1:%2:%3:%4").arg(frame.Width).arg(frame.Height).arg(pads.Left).arg(pads.Top);
        output.AspectRatio = RatioText(fittedWidth, fittedHeight);
        if (!crop.Present()) {
            output.FrameSize = SizeText(fittedWidth, fittedHeight);
            filter = pad;
        } else {
            // The crop filter of the installed library takes width:height:x:y.
            filter = QStringLiteral("crop=%1:%2:%3:%4,scale=%5:%6,")
                         .arg(croppedWidth)
                         .arg(croppedHeight)
                         .arg(crop.Left)
                         .arg(crop.Top)
                         .arg(fittedWidth)
                         .arg(fittedHeight) +
                     pad;
        }
    } else if (zoom == QLatin1String("pan")) {
        SetEngineCrop(output, PanScanCrop(sourceWidth, sourceHeight, frame, crop));
        output.FrameSize = SizeText(frame.Width, frame.Height);
        output.AspectRatio = RatioText(frame.Width, frame.Height);
    } else if (zoom == QLatin1String("center")) {
        if (crop.Present())
            SetEngineCrop(output, EngineCropOf(crop));
        const TCenterPlacement place = CenterPlacement(croppedWidth, croppedHeight, frame);
        output.FrameSize = SizeText(place.Width, place.Height);
        output.AspectRatio = RatioText(frame.Width, frame.Height);
        filter = QString::asprintf("pad=%d:%d:%d:%d:black", frame.Width, frame.Height, place.X, place.Y);
    }
    output.VideoFilters = filter;
}
