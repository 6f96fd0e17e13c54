// A task's preview of its encoded frames: the preview event (bit 1 of the
// preview flags) or the task's floating preview window (bit 0), at most one
// picture per PreviewInterval.
//
// The decision, the conversion and the flags are made under PreviewLock; the
// event and the window are served after it is released, because both wait for
// the main thread, which may itself be waiting for PreviewLock (the Preview
// and PreviewBitmap properties).

#include "engine/TCustomFFmpeg.h"

#include "media/FFLogger.h"

extern "C" {
#include <libavutil/time.h>
}

namespace {

constexpr quint8 PreviewWindowBit = 1;
constexpr quint8 PreviewEventBit = 2;

const char* const ConversionFailure = "Cannot initialize the toRGB conversion context";

} // namespace

void TCustomFFmpeg::ProcessPreview(const AVFrame* picture, qint64 pts)
{
    TPreviewCallback callback;
    std::shared_ptr<IPreviewWindow> window;
    {
        std::lock_guard<std::recursive_mutex> guard(PreviewLock());
        quint8 flags = PreviewFlags();
        const qint64 now = av_gettime_relative();
        const bool due = now - LastPreviewTime > PreviewInterval;
        if ((flags & PreviewEventBit) && PreviewCallback) {
            if (due) {
                if (FrameToBitmap(PreviewConverter, picture)) {
                    callback = PreviewCallback;
                } else {
                    DefaultLogger()->Log(this, llError, ConversionFailure);
                    flags &= ~PreviewEventBit;
                }
                LastPreviewTime = now;
            }
        } else if (flags & PreviewWindowBit) {
            if (due) {
                if (FrameToBitmap(PreviewConverter, picture)) {
                    if (!Previewer)
                        Previewer = CreatePreviewWindow();
                    if (Previewer) {
                        window = Previewer;
                    } else {
                        DefaultLogger()->Log(this, llWarning,
                                             "No preview window is available in this program");
                        flags &= ~PreviewWindowBit;
                    }
                } else {
                    DefaultLogger()->Log(this, llError, ConversionFailure);
                    flags &= ~PreviewWindowBit;
                }
                LastPreviewTime = now;
            }
        }
        SetPreviewFlags(flags);
    }

    // The converter and its bitmap belong to this worker alone.
    if (callback)
        callback(this, &PreviewConverter.Bitmap, pts, FrameNumber);
    if (window && !window->ShowFrame(PreviewConverter.Bitmap, FrameNumber, pts)) {
        // Closed by the user: no more window previews for this task.
        std::shared_ptr<IPreviewWindow> closed;
        {
            std::lock_guard<std::recursive_mutex> guard(PreviewLock());
            if (Previewer == window)
                closed = std::move(Previewer);
            SetPreviewFlags(PreviewFlags() & ~PreviewWindowBit);
        }
    }
}
