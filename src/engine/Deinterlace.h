#pragma once

extern "C" {
#include <libavutil/frame.h>
}

// "deinterlace": every second line of each plane is rebuilt from its
// neighbours with the (-1 4 2 4 -1) / 8 vertical filter, the other lines are
// kept. For planar YUV 4:2:0, 4:2:2, 4:4:4, 4:1:1 and grey pictures whose
// width and height are multiples of 4; false for anything else.
bool DeinterlacePicture(AVFrame* target, const AVFrame* source);
