// The placement rules of the zoom modes, checked as properties over many
// source and frame sizes: what the engine ends up with must fill, fit or
// centre the picture without distortion.
#include "jobs/MapProfileOptionsGeometry.h"

#include "engine/OptionRecords.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

const TFrameSize Frames[] = {{320, 240}, {640, 480}, {176, 144}, {720, 480}, {1280, 720}, {480, 320}};
const TFrameSize Sources[] = {{1280, 720}, {720, 480}, {640, 480}, {176, 144},   {320, 180}, {1920, 800},
                              {480, 640},  {175, 97},  {352, 288}, {1440, 1080}, {100, 400}};

std::string Describe(TFrameSize source, TFrameSize frame)
{
    return std::to_string(source.Width) + "x" + std::to_string(source.Height) + " into " +
           std::to_string(frame.Width) + "x" + std::to_string(frame.Height);
}

// Two proportions agree when the first picture, scaled to the second's width,
// is within `pixels` of its height.
bool SameProportions(double w1, double h1, double w2, double h2, double pixels)
{
    return std::abs(h1 * w2 / w1 - h2) <= pixels;
}

} // namespace

TEST(ZoomGeometry, LetterboxFitsThePictureWithItsProportionsAndEqualEvenBands)
{
    for (TFrameSize frame : Frames) {
        for (TFrameSize source : Sources) {
            SCOPED_TRACE(Describe(source, frame));
            const TPads pads = LetterboxPads(source.Width, source.Height, frame);
            EXPECT_EQ(pads.Left, pads.Right);
            EXPECT_EQ(pads.Top, pads.Bottom);
            EXPECT_TRUE(pads.Left % 2 == 0 && pads.Top % 2 == 0);
            EXPECT_TRUE(pads.Left == 0 || pads.Top == 0) << "bands on one axis only";
            const int width = frame.Width - pads.Left - pads.Right;
            const int height = frame.Height - pads.Top - pads.Bottom;
            EXPECT_GT(width, 0);
            EXPECT_GT(height, 0);
            // Bands lose up to 3 pixels of the free space; the picture takes them.
            EXPECT_TRUE(SameProportions(source.Width, source.Height, width, height, 4.0))
                << width << "x" << height;
        }
    }
}

TEST(ZoomGeometry, PanAndScanLeavesThePictureInTheFramesProportions)
{
    for (TFrameSize frame : Frames) {
        for (TFrameSize source : Sources) {
            for (TRowCrop crop : {TRowCrop{}, TRowCrop{0, 8, 0, 8}, TRowCrop{6, 0, 6, 0}}) {
                SCOPED_TRACE(Describe(source, frame) + " row crop " + std::to_string(crop.Left) + "/" +
                             std::to_string(crop.Top));
                const TEngineCrop c = PanScanCrop(source.Width, source.Height, frame, crop);
                EXPECT_EQ(c.Left, c.Right);
                EXPECT_EQ(c.Top, c.Bottom);
                EXPECT_TRUE(c.Left % 2 == 0 && c.Top % 2 == 0);
                EXPECT_TRUE(c.Left == 0 || c.Top == 0) << "one axis only";
                const int width = source.Width - c.Left - c.Right;
                const int height = source.Height - c.Top - c.Bottom;
                ASSERT_GT(width, 0);
                ASSERT_GT(height, 0);

                const double proportions =
                    double(source.Width - crop.Left - crop.Right) / (source.Height - crop.Top - crop.Bottom);
                const double frameProportions = double(frame.Width) / frame.Height;
                const bool wider = proportions > 4.0 / 3.0;
                const bool narrower = proportions < 4.0 / 3.0;
                // The axis cropped follows the 4:3 comparison; the amount reaches the
                // frame's proportions unless that would need the other axis.
                const bool reachable = (wider && proportions >= frameProportions) ||
                                       (narrower && proportions <= frameProportions);
                if (!wider && !narrower) {
                    EXPECT_EQ(c, TEngineCrop{});
                    continue;
                }
                EXPECT_EQ(wider ? c.Top : c.Left, 0) << "the 4:3 comparison picks the axis";
                // Row crops on the other axis are not the engine's: measure where
                // the engine is given all of them. Truncation and evenness cost at
                // most 2 source pixels per side.
                const bool rowCropOnCroppedAxisOnly = wider ? crop.Top == 0 : crop.Left == 0;
                if (!reachable || !rowCropOnCroppedAxisOnly)
                    continue;
                const double ideal = wider ? double(height) * frame.Width / frame.Height
                                           : double(width) * frame.Height / frame.Width;
                EXPECT_LE(std::abs((wider ? width : height) - ideal), 4.0)
                    << "engine picture " << width << "x" << height;
            }
        }
    }
}

TEST(ZoomGeometry, CenterKeepsThePictureWholeCentredAndNeverEnlarged)
{
    for (TFrameSize frame : Frames) {
        for (TFrameSize source : Sources) {
            SCOPED_TRACE(Describe(source, frame));
            const TCenterPlacement p = CenterPlacement(source.Width, source.Height, frame);
            EXPECT_TRUE(p.Width % 2 == 0 && p.Height % 2 == 0);
            EXPECT_LE(p.Width, std::max(2, source.Width));
            EXPECT_LE(p.Height, std::max(2, source.Height));
            EXPECT_LE(p.X + p.Width, frame.Width);
            EXPECT_LE(p.Y + p.Height, frame.Height);
            EXPECT_GE(p.X, 0);
            EXPECT_GE(p.Y, 0);
            EXPECT_LE(std::abs((frame.Width - p.Width - p.X) - p.X), 2) << "centred across";
            EXPECT_LE(std::abs((frame.Height - p.Height - p.Y) - p.Y), 2) << "centred down";
            const bool fits = source.Width <= frame.Width && source.Height <= frame.Height;
            if (fits) {
                EXPECT_EQ(p.Width, source.Width / 2 * 2);
                EXPECT_EQ(p.Height, source.Height / 2 * 2);
            } else {
                EXPECT_TRUE(p.Width >= frame.Width - 1 || p.Height >= frame.Height - 1) << "fills one axis";
                EXPECT_TRUE(SameProportions(source.Width, source.Height, p.Width, p.Height, 2.0))
                    << p.Width << "x" << p.Height;
            }
        }
    }
}

TEST(ZoomGeometry, AbsurdSizesGiveTextsTheEngineRefusesAndNeverCrash)
{
    const int huge = std::numeric_limits<int>::max();
    const TFrameSize frames[] = {{0, 0}, {-320, 240}, {320, -240}, {huge, huge}, {1, 1}, {320, 240}};
    const TFrameSize sources[] = {{-1, -1}, {0, 0}, {huge, 1}, {1, huge}, {640, 480}};
    for (const char* zoom : {"full", "lbox", "pan", "center"}) {
        for (TFrameSize frame : frames) {
            for (TFrameSize source : sources) {
                for (TRowCrop crop : {TRowCrop{}, TRowCrop{400, 400, 400, 400}}) {
                    SCOPED_TRACE(std::string(zoom) + " " + Describe(source, frame));
                    TOutputOptions output;
                    ApplyZoom(zoom, source.Width, source.Height, frame, crop, output);
                    EXPECT_FALSE(output.AspectRatio.isEmpty());
                    EXPECT_GE(output.CropTop, 0);
                    EXPECT_GE(output.CropLeft, 0);
                }
            }
        }
    }
}
