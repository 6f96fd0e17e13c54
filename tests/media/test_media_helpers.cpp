#include "media/FFmpegHandles.h"
#include "media/MediaHelpers.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/error.h>
}

namespace {

TEST(ErrorTextTest, NamesTheConditionsOfTheTableAndNumbersTheRest)
{
    const struct
    {
        int Code;
        const char* Text;
    } table[] = {
        {AVERROR(ENOENT), "No such file or directory"},
        {AVERROR(EIO), "I/O error"},
        {AVERROR(ENOMEM), "Not enough memory"},
        {AVERROR_INVALIDDATA, "Invalid data found when processing input"},
        {AVERROR_EOF, "End of file"},
        {AVERROR(EDOM), "Number syntax expected in filename"},
        {AVERROR_DEMUXER_NOT_FOUND, "Unknown format"},
        {AVERROR_PROTOCOL_NOT_FOUND, "Unsupported network protocol"},
        {AVERROR_PATCHWELCOME, "Not yet implemented in FFmpeg"},
        {-7, "Error number -7 occurred"},
    };
    for (const auto& row : table)
        EXPECT_EQ(ErrorText(QStringLiteral("in.avi"), row.Code),
                  QStringLiteral("in.avi: ") + QLatin1String(row.Text))
            << row.Code;
}

TEST(TimeToStrTest, FormatsMicrosecondsWithHoursPastADay)
{
    EXPECT_EQ(TimeToStr(3723004000LL), QStringLiteral("01:02:03.004"));
    EXPECT_EQ(TimeToStr(90000000000LL), QStringLiteral("25:00:00.000"));
    EXPECT_EQ(TimeToStr(0), QStringLiteral("00:00:00.000"));
    EXPECT_EQ(TimeToStr(AV_NOPTS_VALUE), QStringLiteral("N/A"));
}

TEST(SizeToStrTest, UsesAUnitOnlyAboveItsSize)
{
    const struct
    {
        qint64 Bytes;
        const char* Text;
    } table[] = {{0, "0 Byte"},           {1024, "1024 Byte"},  {1025, "1.00 KB"},
                 {1048576, "1024.00 KB"}, {1048577, "1.00 MB"}, {(1LL << 30) + 1, "1.00 GB"},
                 {5LL << 30, "5.00 GB"}};
    for (const auto& row : table)
        EXPECT_EQ(SizeToStr(row.Bytes), QLatin1String(row.Text)) << row.Bytes;
}

TEST(CodecTextTest, NamesKnownCodecsAndFallsBackToTheTag)
{
    CodecContextPtr context(avcodec_alloc_context3(nullptr));

    context->codec_id = AV_CODEC_ID_H264;
    EXPECT_EQ(CodecText(context.get(), false),
              QStringLiteral("h264(H.264 / AVC / MPEG-4 AVC / MPEG-4 part 10)"));
    context->codec_id = AV_CODEC_ID_PCM_S16LE;
    EXPECT_EQ(CodecText(context.get(), true), QStringLiteral("pcm_s16le(PCM signed 16-bit little-endian)"));

    context->codec_id = AV_CODEC_ID_MPEG2TS;
    EXPECT_EQ(CodecText(context.get(), false), QStringLiteral("mpeg2ts"));

    context->codec_id = AV_CODEC_ID_NONE;
    context->codec_tag = MKTAG('X', 'V', 'I', 'D');
    EXPECT_EQ(CodecText(context.get(), false), QStringLiteral("XVID / 0x44495658"));
    context->codec_tag = 0x1;
    EXPECT_EQ(CodecText(context.get(), false), QStringLiteral("0x0001"));
}

} // namespace
