#include "effects/WatermarkPicture.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <cstdlib>

namespace {

[[noreturn]] void FailToLoad(const QString& fileName, const QString& reason)
{
    throw EWatermarkPictureError(
        QStringLiteral("Cannot load the picture \"%1\": %2").arg(fileName, reason).toStdString());
}

// The image reader accepts a bitmap cut short and leaves its missing rows
// undefined. For uncompressed bitmaps the header says how long the file must
// be; headers the reader cannot use are left for it to report.
bool PixelDataCutShort(QFile& file)
{
    const QByteArray header = file.peek(54);
    if (header.size() < 54 || !header.startsWith("BM"))
        return false;
    const auto at = [&](int offset) { return reinterpret_cast<const uchar*>(header.constData()) + offset; };
    const quint32 dataOffset = qFromLittleEndian<quint32>(at(10));
    const quint32 infoSize = qFromLittleEndian<quint32>(at(14));
    const qint32 width = qFromLittleEndian<qint32>(at(18));
    const qint32 height = qFromLittleEndian<qint32>(at(22));
    const quint16 bitsPerPixel = qFromLittleEndian<quint16>(at(28));
    const quint32 compression = qFromLittleEndian<quint32>(at(30));
    const bool uncompressed = compression == 0 || compression == 3; // plain rows or bit-field masks
    if (infoSize < 40 || !uncompressed || width <= 0)
        return false;
    const qint64 rowBytes = (qint64{width} * bitsPerPixel + 31) / 32 * 4;
    return file.size() < qint64{dataOffset} + rowBytes * std::llabs(qint64{height});
}

} // namespace

QImage LoadWatermarkPicture(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        FailToLoad(fileName, file.errorString());
    if (PixelDataCutShort(file))
        FailToLoad(fileName, QStringLiteral("the file ends before its picture data"));

    QImageReader reader(&file, "bmp");
    // Only bitmaps are watermark pictures, whatever else the file's content could be read as.
    reader.setAutoDetectImageFormat(false);
    QImage picture = reader.read();
    if (picture.isNull())
        FailToLoad(fileName, reader.errorString());
    picture.convertTo(QImage::Format_BGR888);
    if (picture.format() != QImage::Format_BGR888)
        FailToLoad(fileName, QStringLiteral("not enough memory for a 24-bit copy"));
    return picture;
}
