#pragma once

#include <QImage>
#include <QString>
#include <stdexcept>

// A watermark picture file that is missing, unreadable or not a bitmap. The
// message names the file and the loader's reason; the hook's caller logs it.
class EWatermarkPictureError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Loads a BMP file as a Format_BGR888 picture; throws EWatermarkPictureError.
QImage LoadWatermarkPicture(const QString& fileName);
