#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QtGlobal>

// The font object a job record owns: the Qt font holds the name, the size in
// points and the style set; the colour is kept beside it.
struct TRecordFont
{
    QFont Font{QStringLiteral("MS Sans Serif"), 8};
    QColor Color{Qt::black};
};

// The job record of one file-list row: everything the user set for one source
// file. Created with these values when the row is added (the file list fills
// AddIndex, FileName, OutputFile, Duration and Zoom), changed only by the crop,
// trim and watermark editors and, for Zoom, when a conversion starts. Times are
// microseconds; positions and sizes are source-frame pixels unless noted.
struct TlvFilesRecord
{
    qint32 AddIndex = 0; // position within the open dialog's multi-selection
    QString FileName;    // full path of the source, the row caption
    QString OutputFile;  // destination path computed when the row was added
    qint32 Duration = 0; // whole seconds

    qint64 StartTime = 0;    // trim start; 0 = from the beginning
    qint64 TrimDuration = 0; // trimmed length; 0 or less = up to the end of the source

    QString Zoom = QStringLiteral("lbox"); // "full", "lbox", "pan" or "center"

    // Pixels cut from each edge of the source picture; always even.
    qint32 CropTop = 0;
    qint32 CropLeft = 0;
    qint32 CropBottom = 0;
    qint32 CropRight = 0;
    // The same as typed in the crop editor, in preview pixels.
    qint32 EditCropTop = 0;
    qint32 EditCropLeft = 0;
    qint32 EditCropBottom = 0;
    qint32 EditCropRight = 0;

    QString WaterMarkText; // empty = none
    TRecordFont TextFont;
    qint32 TextX = 0;
    qint32 TextY = 0;
    qint32 TextHorzPos = 0; // slider positions, kept for reopening the editor
    qint32 TextVertPos = 0;

    QString WaterMarkImage; // path of a BMP file; empty = none
    qint32 ImageX = 0;
    qint32 ImageY = 0;
    qint32 ImageHorzPos = 0;
    qint32 ImageVertPos = 0;
    qint32 ImageAlpha = 168;
    qint32 TransparentStyle = 1; // 1 or 2

    qint32 Brightness = 255;   // 255 = neutral
    qint32 Contrast = 0;       // 0 = neutral
    qint32 Saturation = 255;   // 255 = neutral
    qint32 Exposure = 0;       // 0 = none
    bool ProcessText = false;  // the text is drawn before the colour and exposure effects
    bool ProcessImage = false; // the picture is blended before them
};
