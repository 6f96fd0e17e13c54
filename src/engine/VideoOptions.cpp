// Picture options of the next video streams: size, rate, aspect, filters,
// crop bands, pixel format and quantiser matrices.

#include "engine/OptionValues.h"
#include "engine/TCustomFFmpeg.h"
#include "media/FFLogger.h"
#include "media/FFmpegException.h"
#include "platform/NumberText.h"

extern "C" {
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
}

namespace {

const char* const VerticalCropMessage =
    "Vertical crop dimensions are outside the range of the original image.\n"
    "Remember to crop first and scale second.";
const char* const HorizontalCropMessage =
    "Horizontal crop dimensions are outside the range of the original image.\n"
    "Remember to crop first and scale second.";

// One crop band. The frame size shrinks with it, since it holds the size of
// the last opened input until "s" gives the output size.
void SetCropBand(const void* sender, int value, int& band, int& frameSide, const char* outOfRange,
                 const char* side)
{
    if (value <= 0)
        return;
    if (value >= frameSide)
        throw FFmpegException(outOfRange);
    DefaultLogger()->Log(
        sender, llWarning,
        QStringLiteral("Crop%1 is deprecated in favor of the crop avfilter").arg(QLatin1String(side)));
    band = value;
    frameSide -= value;
}

} // namespace

void TCustomFFmpeg::SetFrameSize(const QString& size)
{
    if (size.isEmpty())
        return;
    int width = 0;
    int height = 0;
    if (av_parse_video_size(&width, &height, size.toUtf8().constData()) < 0)
        throw FFmpegException("Incorrect frame size");
    FOpts.FrameWidth = width;
    FOpts.FrameHeight = height;
}

void TCustomFFmpeg::SetFrameRate(const QString& rate)
{
    if (rate.isEmpty())
        return;
    AVRational parsed{0, 0};
    if (av_parse_video_rate(&parsed, rate.toUtf8().constData()) < 0)
        throw FFmpegException("Incorrect frame rate");
    FOpts.FrameRate = parsed;
}

void TCustomFFmpeg::SetAspectRatio(const QString& ratio)
{
    if (ratio.isEmpty())
        return;
    double value = 0;
    const qsizetype colon = ratio.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        const int width = StrToIntDef(ratio.left(colon), 0);
        const int height = StrToIntDef(ratio.mid(colon + 1), 0);
        value = height > 0 ? static_cast<double>(width) / height : 0;
    } else if (!TryStrToFloat(ratio, value)) {
        value = 0;
    }
    if (value == 0)
        throw FFmpegException("Incorrect aspect ratio specification.");
    FOpts.FrameAspectRatio = static_cast<float>(value);
}

void TCustomFFmpeg::SetVideoFilters(const QString& filters)
{
    if (!filters.isEmpty())
        FOpts.VideoFilters = filters;
}

void TCustomFFmpeg::SetCropTop(int band)
{
    SetCropBand(this, band, FOpts.TopBand, FOpts.FrameHeight, VerticalCropMessage, "Top");
}

void TCustomFFmpeg::SetCropBottom(int band)
{
    SetCropBand(this, band, FOpts.BottomBand, FOpts.FrameHeight, VerticalCropMessage, "Bottom");
}

void TCustomFFmpeg::SetCropLeft(int band)
{
    SetCropBand(this, band, FOpts.LeftBand, FOpts.FrameWidth, HorizontalCropMessage, "Left");
}

void TCustomFFmpeg::SetCropRight(int band)
{
    SetCropBand(this, band, FOpts.RightBand, FOpts.FrameWidth, HorizontalCropMessage, "Right");
}

void TCustomFFmpeg::SetPixelFormat(const QString& value)
{
    if (value == QLatin1String("list")) {
        // The header line (index -1), then the formats of the older
        // generation's table, 0 to 66.
        char line[128];
        for (int index = -1; index <= 66; ++index) {
            av_get_pix_fmt_string(line, sizeof line, static_cast<AVPixelFormat>(index));
            DefaultLogger()->Log(this, llInfo, QString::fromUtf8(line).trimmed());
        }
        return;
    }
    const AVPixelFormat format = av_get_pix_fmt(value.toUtf8().constData());
    if (format == AV_PIX_FMT_NONE)
        throw FFmpegException(QStringLiteral("Unknown pixel format requested: %1").arg(value));
    FOpts.FramePixFmt = format;
}

void TCustomFFmpeg::SetQuantMatrix(std::optional<TQuantMatrix>& matrix, const QString& value)
{
    matrix = TQuantMatrix{};
    TNumberScanner scanner(value);
    for (int index = 0;; ++index) {
        (*matrix)[index] = static_cast<quint16>(scanner.ReadDecimal());
        if (index == 63)
            break;
        if (!scanner.SkipPast(','))
            throw FFmpegException(
                QStringLiteral("Syntax error in matrix \"%1\" at coeff %2").arg(value).arg(index));
    }
}
