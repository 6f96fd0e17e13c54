// Every decoded picture before it reaches the outputs: it is counted, and
// when deinterlacing, the custom hook or the video-hook libraries want it,
// it is first copied into the task's own work picture, so that the
// decoder's reference pictures are never written to. The custom hook sees
// it as a 24-bit bitmap; what the handler drew goes back into the picture.

#include "engine/Deinterlace.h"
#include "engine/LoopStages.h"

extern "C" {
#include <libavutil/imgutils.h>
}

#include <algorithm>
#include <cstring>

namespace {

// The work picture in the decoded picture's format and size. Its buffer is
// kept while the format and size stay and nobody else still holds it.
bool PrepareWorkPicture(AVFrame* work, const AVFrame* decoded)
{
    const bool sameShape = work->buf[0] && work->format == decoded->format && work->width == decoded->width &&
                           work->height == decoded->height;
    if (sameShape)
        return av_frame_make_writable(work) >= 0;
    av_frame_unref(work);
    work->format = decoded->format;
    work->width = decoded->width;
    work->height = decoded->height;
    return av_frame_get_buffer(work, 0) >= 0;
}

void SwitchHookOff(TLoopContext& loop)
{
    loop.Task.HookCallback = nullptr;
    loop.Opts.UsingVhook = false;
}

// The bitmap rows back into the picture they were made from.
void CopyBitmapRows(const QImage& bitmap, uint8_t* target, int targetLineSize, int height)
{
    const size_t rowBytes = size_t(std::min<qsizetype>(bitmap.bytesPerLine(), targetLineSize));
    for (int row = 0; row < height; ++row)
        memcpy(target + ptrdiff_t(row) * targetLineSize, bitmap.constScanLine(row), rowBytes);
}

// False when the picture cannot take the bitmap back ("fromRGB").
bool WriteBitmapBack(TLoopContext& loop, AVFrame* picture)
{
    TFrameToBitmap& converter = loop.Task.HookConverter;
    if (picture->format == AV_PIX_FMT_BGR24) {
        CopyBitmapRows(converter.Bitmap, picture->data[0], picture->linesize[0], picture->height);
        return true;
    }
    CopyBitmapRows(converter.Bitmap, converter.PictureData[0], converter.PictureLinesize[0], picture->height);
    loop.FromRgbScaler = sws_getCachedContext(
        loop.FromRgbScaler, picture->width, picture->height, AV_PIX_FMT_BGR24, picture->width,
        picture->height, AVPixelFormat(picture->format), SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!loop.FromRgbScaler)
        return false;
    sws_scale(loop.FromRgbScaler, converter.PictureData, converter.PictureLinesize, 0, picture->height,
              picture->data, picture->linesize);
    return true;
}

void RunCustomHook(TLoopContext& loop, TInputStream& ist, AVFrame* picture)
{
    TCustomFFmpeg& task = loop.Task;
    if (!FrameToBitmap(task.HookConverter, picture)) {
        loop.Log(llError, QStringLiteral("Cannot initialize the toRGB conversion context"));
        SwitchHookOff(loop);
        return;
    }
    bool update = true;
    bool stopHook = false;
    try {
        task.HookCallback(&task, &task.HookConverter.Bitmap, task.FrameNumber, ist.Pts, update, stopHook);
    } catch (const std::exception& error) {
        loop.Log(llError, QStringLiteral("Error occurs OnCustomHook: ") + QString::fromUtf8(error.what()));
        update = false;
    } catch (...) {
        loop.Log(llError, QStringLiteral("Error occurs OnCustomHook: "));
        update = false;
    }
    bool switchedOff = false;
    if (update && !WriteBitmapBack(loop, picture)) {
        loop.Log(llError, QStringLiteral("Cannot initialize the fromRGB conversion context"));
        switchedOff = true;
    }
    if (stopHook || switchedOff)
        SwitchHookOff(loop);
}

} // namespace

AVFrame* PreprocessPicture(TLoopContext& loop, TInputStream& ist, AVFrame* decoded)
{
    TCustomFFmpeg& task = loop.Task;
    ++task.FrameNumber;
    const bool hook = bool(task.HookCallback);
    if (!loop.Opts.DoDeinterlace && !hook && !loop.Opts.UsingVhook)
        return decoded;

    AVFrame* work = loop.PreprocessPicture.get();
    if (!PrepareWorkPicture(work, decoded)) {
        loop.Log(llError, QStringLiteral("hook buf malloc error."));
        return decoded;
    }
    av_frame_copy_props(work, decoded);
    bool filled = false;
    if (loop.Opts.DoDeinterlace) {
        filled = DeinterlacePicture(work, decoded);
        if (!filled) {
            loop.Log(llError, QStringLiteral("Deinterlacing failed."));
            if (!hook && !loop.Opts.UsingVhook)
                return decoded;
        }
    }
    if (!filled && av_frame_copy(work, decoded) < 0) {
        loop.Log(llError, QStringLiteral("hook buf malloc error."));
        return decoded;
    }

    if (hook)
        RunCustomHook(loop, ist, work);
    else if (loop.Opts.UsingVhook) {
        TVideoHookPicture picture{};
        std::copy(work->data, work->data + 4, picture.data);
        std::copy(work->linesize, work->linesize + 4, picture.linesize);
        task.VideoHooks.ProcessFrame(picture, work->format, work->width, work->height, ist.Pts);
    }
    return work;
}
