#include "probe/StreamCodecContext.h"

CodecContextPtr StreamCodecContext(const AVStream* stream)
{
    CodecContextPtr context(avcodec_alloc_context3(nullptr));
    if (!context || avcodec_parameters_to_context(context.get(), stream->codecpar) < 0)
        return nullptr;
    return context;
}
