#pragma once

#include <QString>

struct TOutputOptions;

// The frame geometry of a conversion: the output frame size from the profile,
// and how the source picture (less the row's crop) is placed into that frame
// by the four zoom modes. Sizes are pixels; the engine crops first, then
// scales to FrameSize, then runs VideoFilters.

struct TFrameSize
{
    int Width = 0;
    int Height = 0;
    bool operator==(const TFrameSize&) const = default;
};

// The margins the user cut off a row's source picture (even, source pixels).
struct TRowCrop
{
    int Top = 0;
    int Left = 0;
    int Bottom = 0;
    int Right = 0;
    bool Present() const { return Top > 0 || Left > 0 || Bottom > 0 || Right > 0; }
    bool operator==(const TRowCrop&) const = default;
};

// The output frame size for the "paraVideoSize" text and a source of
// sourceWidth x sourceHeight:
// - "WxH" (the "x" neither first nor last): each part that is integer text,
//   else the source's value on that axis; for the "h263" encoder a size that
//   is not one of its own widths above 176 becomes 352x288, above 352 704x576;
// - "as source": the source's size;
// - any other text: asks "Error output Video Size.Use the default size
//   320x240?"; Yes gives 320x240, No the source's size.
TFrameSize OutputFrameSize(const QString& sizeText, const QString& videoCodec, int sourceWidth,
                           int sourceHeight);

// Letterbox: the black bands around a picture fitted into a frame with its
// proportions kept. The bands of an axis are equal and even; together they may
// be up to 3 pixels short of the free space. None when the picture already has
// the frame's size or proportions, or when any size is not positive.
struct TPads
{
    int Left = 0;
    int Right = 0;
    int Top = 0;
    int Bottom = 0;
    bool operator==(const TPads&) const = default;
};
TPads LetterboxPads(int pictureWidth, int pictureHeight, TFrameSize frame);

// Pan and scan: the engine crop of each edge. The cropped picture (the source
// less the row's crop) is compared with 4:3; when wider, both sides lose the
// same amount, when narrower, top and bottom do, so that what is left has the
// frame's proportions and fills the whole frame without distortion. Each value
// is that amount plus the row's crop of the first edge of the axis (left,
// top), made even; the other axis is not cropped. The amount never goes
// below 0 (a picture wider than 4:3 but narrower than a wide frame keeps its
// width). A crop that leaves no picture is passed on as the row's crop for
// the engine to refuse.
struct TEngineCrop
{
    int Top = 0;
    int Bottom = 0;
    int Left = 0;
    int Right = 0;
    bool operator==(const TEngineCrop&) const = default;
};
TEngineCrop PanScanCrop(int sourceWidth, int sourceHeight, TFrameSize frame, const TRowCrop& crop);

// Center: the picture at its own size when it fits the frame, otherwise scaled
// down with its proportions kept until it fits (never scaled up), both sizes
// made even; placed in the middle of the frame at even offsets, at most one
// pixel left of and above the exact centre.
struct TCenterPlacement
{
    int Width = 0;
    int Height = 0;
    int X = 0;
    int Y = 0;
    bool operator==(const TCenterPlacement&) const = default;
};
TCenterPlacement CenterPlacement(int pictureWidth, int pictureHeight, TFrameSize frame);

// Fills the frame size, aspect ratio, the four engine crops and the filter
// chain of a zoom mode ("full", "lbox", "pan", "center"). The crops start at
// 0; any other mode sets nothing else, so the engine keeps the source size.
//   full    the row's crop by the engine, then scaled to the frame;
//   lbox    fitted and padded black; with a row crop, cropped, scaled and
//           padded by the filter chain, fitted by the cropped picture's
//           proportions;
//   pan     PanScanCrop, then scaled to the frame;
//   center  the row's crop by the engine, CenterPlacement, padded black.
void ApplyZoom(const QString& zoom, int sourceWidth, int sourceHeight, TFrameSize frame, const TRowCrop& crop,
               TOutputOptions& output);
