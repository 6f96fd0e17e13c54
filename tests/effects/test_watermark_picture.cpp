#include "effects/WatermarkPicture.h"

#include "EffectTestFrames.h"
#include "support/TemporaryFolder.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(WatermarkPicture, BitmapsOfAnyDepthLoadAs24Bits)
{
    TTemporaryFolder folder;
    const QImage colours = PatternFrame(5, 3);

    QImage indexed(2, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 20, 30), qRgb(250, 0, 128)});
    indexed.setPixel(0, 0, 0);
    indexed.setPixel(1, 0, 1);

    const struct
    {
        const char* what;
        QImage saved;
    } cases[] = {
        {"24-bit", colours},
        {"32-bit", colours.convertToFormat(QImage::Format_RGB32)},
        {"8-bit palette", indexed},
    };
    for (const auto& c : cases) {
        const QString path = SaveBmp(c.saved, folder.FilePath(QString::fromLatin1(c.what) + ".bmp"));
        const QImage loaded = LoadWatermarkPicture(path);
        ASSERT_EQ(loaded.format(), QImage::Format_BGR888) << c.what;
        ASSERT_EQ(loaded.size(), c.saved.size()) << c.what;
        for (int y = 0; y < loaded.height(); ++y)
            for (int x = 0; x < loaded.width(); ++x)
                ASSERT_EQ(PixelColor(loaded, x, y), c.saved.pixelColor(x, y))
                    << c.what << " at " << x << "," << y;
    }
}

TEST(WatermarkPicture, UnreadableFilesThrowWithTheirName)
{
    TTemporaryFolder folder;
    const QString png = folder.FilePath("picture.bmp"); // PNG content behind a bitmap name
    ASSERT_TRUE(PatternFrame(4, 4).save(png, "PNG"));
    const QString empty = folder.FilePath("empty.bmp");
    QFile(empty).open(QIODevice::WriteOnly);
    const QString truncated = folder.FilePath("truncated.bmp");
    SaveBmp(PatternFrame(40, 40), truncated);
    QFile(truncated).resize(60);

    for (const QString& path : {folder.FilePath("missing.bmp"), png, empty, truncated}) {
        try {
            LoadWatermarkPicture(path);
            ADD_FAILURE() << "no exception for " << path.toStdString();
        } catch (const EWatermarkPictureError& e) {
            const QString message = QString::fromUtf8(e.what());
            EXPECT_TRUE(message.startsWith("Cannot load the picture \"" + path + "\": ")) << e.what();
            EXPECT_GT(message.size(), path.size() + 28) << "no reason given: " << e.what();
        }
    }
}
