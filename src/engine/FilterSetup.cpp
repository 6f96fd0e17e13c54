// The filter graph that carries decoded video to its encoder when the task
// has VideoFilters: buffer source, crop and scale as the bands and sizes
// need, the user's filter text, and a buffer sink that takes only the
// encoder's pixel format.
//
// The loop feeds the source with pictures whose pts are in microseconds
// (time base 1/1000000) and takes the filtered pictures from the sink.

#include "engine/CodecLookup.h"
#include "engine/TCustomFFmpeg.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

namespace {

struct TFilterInOutFree
{
    void operator()(AVFilterInOut* inOut) const { avfilter_inout_free(&inOut); }
};
using FilterInOutPtr = std::unique_ptr<AVFilterInOut, TFilterInOutFree>;

// Appends a filter of that kind after last; the new filter becomes last.
bool AppendFilter(AVFilterGraph* graph, AVFilterContext*& last, const char* kind, const char* name,
                  const QString& arguments)
{
    AVFilterContext* filter = nullptr;
    if (avfilter_graph_create_filter(&filter, avfilter_get_by_name(kind), name, arguments.toUtf8().constData(),
                                     nullptr, graph) < 0)
        return false;
    if (avfilter_link(last, 0, filter, 0) < 0)
        return false;
    last = filter;
    return true;
}

FilterInOutPtr NamedEnd(const char* name, AVFilterContext* filter)
{
    FilterInOutPtr end(avfilter_inout_alloc());
    if (!end)
        return end;
    end->name = av_strdup(name);
    end->filter_ctx = filter;
    end->pad_idx = 0;
    end->next = nullptr;
    return end;
}

} // namespace

int TCustomFFmpeg::ConfigureFilters(TInputStream& ist, TOutputStream& ost)
{
    const TOptionState& o = FOpts;
    const AVCodecContext* decoder = ist.DecoderContext.get();
    AVCodecContext* encoder = ost.Encoder();

    // 1. A new graph between a buffer source and a sink for the encoder's format.
    ist.InputVideoFilter = nullptr;
    ist.OutputVideoFilter = nullptr;
    ist.FilterGraph.reset(avfilter_graph_alloc());
    AVFilterGraph* graph = ist.FilterGraph.get();
    if (!graph)
        return -1;
    const AVRational sampleAspect =
        decoder->sample_aspect_ratio.num > 0 ? decoder->sample_aspect_ratio : AVRational{0, 1};
    const QString sourceArguments = QString::asprintf(
        "video_size=%dx%d:pix_fmt=%d:time_base=1/%d:pixel_aspect=%d/%d", decoder->width, decoder->height,
        decoder->pix_fmt, AV_TIME_BASE, sampleAspect.num, sampleAspect.den > 0 ? sampleAspect.den : 1);
    AVFilterContext* source = nullptr;
    if (avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), "src",
                                     sourceArguments.toUtf8().constData(), nullptr, graph) < 0)
        return -1;
    AVFilterContext* sink = avfilter_graph_alloc_filter(graph, avfilter_get_by_name("buffersink"), "out");
    if (!sink)
        return -1;
    const AVPixelFormat sinkFormats[] = {encoder->pix_fmt, AV_PIX_FMT_NONE};
    if (av_opt_set_int_list(sink, "pix_fmts", sinkFormats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN) < 0 ||
        avfilter_init_str(sink, nullptr) < 0)
        return -1;
    ist.InputVideoFilter = source;
    ist.OutputVideoFilter = sink;
    AVFilterContext* last = source;

    // 2. Crop away the bands.
    const int croppedWidth = decoder->width - (ost.LeftBand + ost.RightBand);
    const int croppedHeight = decoder->height - (ost.TopBand + ost.BottomBand);
    if (ost.VideoCrop &&
        !AppendFilter(graph, last, "crop", "crop",
                      QString::asprintf("x=%d:y=%d:w=%d:h=%d", ost.LeftBand, ost.TopBand, croppedWidth, croppedHeight)))
        return -1;

    // 3. Scale to the encoder's size.
    if (croppedWidth != encoder->width || croppedHeight != encoder->height) {
        if (!AppendFilter(graph, last, "scale", "scale",
                          QString::asprintf("w=%d:h=%d:flags=%d", encoder->width, encoder->height, o.SwsFlags)))
            return -1;
    }

    // 4. Scalers the graph inserts by itself use the same flags.
    av_freep(&graph->scale_sws_opts);
    graph->scale_sws_opts = av_strdup(QString::asprintf("flags=0x%X", o.SwsFlags).toUtf8().constData());

    // 5. The user's filters between "in" (after the last filter) and "out" (the sink).
    if (!o.VideoFilters.isEmpty()) {
        FilterInOutPtr outputs = NamedEnd("in", last);
        FilterInOutPtr inputs = NamedEnd("out", sink);
        if (!outputs || !inputs)
            return -1;
        AVFilterInOut* openOutputs = outputs.release();
        AVFilterInOut* openInputs = inputs.release();
        const int parsed =
            avfilter_graph_parse_ptr(graph, o.VideoFilters.toUtf8().constData(), &openInputs, &openOutputs, nullptr);
        avfilter_inout_free(&openInputs);
        avfilter_inout_free(&openOutputs);
        if (parsed < 0)
            return -1;
    } else if (avfilter_link(last, 0, sink, 0) < 0) {
        return -1;
    }

    // 6. Check the graph, agree on formats, configure the links.
    if (avfilter_graph_config(graph, nullptr) < 0)
        return -1;

    // 7. The encoder takes the size the graph delivers, and its pixel aspect
    // when the graph knows one (the encoder needs it before it is opened).
    encoder->width = av_buffersink_get_w(sink);
    encoder->height = av_buffersink_get_h(sink);
    const AVRational filteredAspect = av_buffersink_get_sample_aspect_ratio(sink);
    if (filteredAspect.num > 0 && filteredAspect.den > 0)
        encoder->sample_aspect_ratio = ost.Stream->sample_aspect_ratio = filteredAspect;

    // 8. DV takes only certain formats at the size the graph delivers: build
    // the graph once more for the one it needs.
    if (const AVPixelFormat dvFormat = DvPixelFormat(encoder); dvFormat != encoder->pix_fmt) {
        encoder->pix_fmt = dvFormat;
        return ConfigureFilters(ist, ost);
    }
    return 0;
}
