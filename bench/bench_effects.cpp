// Per-frame cost of each effect step and of the whole chain on a 1280x720 frame.
#include "effects/AdjustColors.h"
#include "effects/AdjustExposure.h"
#include "effects/ApplyFrameEffects.h"
#include "effects/BlendPicture.h"
#include "effects/DrawWatermarkText.h"

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdint>

namespace {

QImage TestFrame(int width, int height)
{
    QImage frame(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y) {
        uint8_t* pixel = frame.scanLine(y);
        for (int x = 0; x < width; ++x, pixel += 3) {
            pixel[0] = static_cast<uint8_t>(x + y);
            pixel[1] = static_cast<uint8_t>(x * 3 - y);
            pixel[2] = static_cast<uint8_t>(x ^ y);
        }
    }
    return frame;
}

TFrameEffectFont BenchFont()
{
    TFrameEffectFont font;
    font.Name = QStringLiteral("DejaVu Sans");
    font.Size = 24;
    font.Bold = true;
    font.Color = QColor(255, 255, 255);
    return font;
}

void BM_AdjustColors(benchmark::State& state)
{
    QImage frame = TestFrame(1280, 720);
    for (auto _ : state) {
        AdjustColors(frame, 300, 20, 300);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_AdjustColors)->Unit(benchmark::kMillisecond);

void BM_AdjustExposure(benchmark::State& state)
{
    QImage frame = TestFrame(1280, 720);
    for (auto _ : state) {
        AdjustExposure(frame, 100.0f);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_AdjustExposure)->Unit(benchmark::kMillisecond);

void BM_BlendPicture(benchmark::State& state)
{
    QImage frame = TestFrame(1280, 720);
    const QImage picture = TestFrame(320, 180);
    for (auto _ : state) {
        BlendPicture(frame, picture, 40, 40, 168, 1);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_BlendPicture)->Unit(benchmark::kMillisecond);

void BM_DrawWatermarkText(benchmark::State& state)
{
    QImage frame = TestFrame(1280, 720);
    const TFrameEffectFont font = BenchFont();
    for (auto _ : state) {
        DrawWatermarkText(frame, QStringLiteral("Converted sample 2024"), font, 20, 20);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_DrawWatermarkText)->Unit(benchmark::kMillisecond);

// Colour, exposure, text and picture, the picture read from its file on every frame.
void BM_ApplyFrameEffects(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString picturePath = folder.filePath(QStringLiteral("mark.bmp"));
    if (!folder.isValid() || !TestFrame(320, 180).save(picturePath, "BMP")) {
        state.SkipWithError("cannot write the picture file");
        return;
    }
    TFrameEffectParams params;
    params.WaterMarkText = QStringLiteral("Converted sample 2024");
    params.TextFont = BenchFont();
    params.TextX = 20;
    params.TextY = 20;
    params.WaterMarkImage = picturePath;
    params.ImageX = 900;
    params.ImageY = 500;
    params.Brightness = 300;
    params.Contrast = 20;
    params.Saturation = 300;
    params.Exposure = 100;
    QImage frame = TestFrame(1280, 720);
    for (auto _ : state) {
        ApplyFrameEffects(frame, params);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_ApplyFrameEffects)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // Text needs the fonts of a GUI application, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
