#include "cli/CliJobRecord.h"

TlvFilesRecord CliJobRecord(const QString& sourcePath, int addIndex, const TCliJobEdits& edits)
{
    TlvFilesRecord record;
    record.AddIndex = addIndex;
    record.FileName = sourcePath;

    if (edits.StartTime)
        record.StartTime = *edits.StartTime;
    if (edits.TrimDuration)
        record.TrimDuration = *edits.TrimDuration;
    if (edits.Crop) {
        record.CropTop = edits.Crop->Top;
        record.CropBottom = edits.Crop->Bottom;
        record.CropLeft = edits.Crop->Left;
        record.CropRight = edits.Crop->Right;
    }

    if (edits.Text)
        record.WaterMarkText = *edits.Text;
    if (edits.Font) {
        record.TextFont.Font.setFamily(edits.Font->Name);
        record.TextFont.Font.setPointSize(edits.Font->Size);
    }
    if (edits.TextPos) {
        record.TextX = edits.TextPos->X;
        record.TextY = edits.TextPos->Y;
    }
    if (edits.Image)
        record.WaterMarkImage = *edits.Image;
    if (edits.ImagePos) {
        record.ImageX = edits.ImagePos->X;
        record.ImageY = edits.ImagePos->Y;
    }
    if (edits.Alpha)
        record.ImageAlpha = *edits.Alpha;
    if (edits.Style)
        record.TransparentStyle = *edits.Style;

    if (edits.Brightness)
        record.Brightness = *edits.Brightness;
    if (edits.Contrast)
        record.Contrast = *edits.Contrast;
    if (edits.Saturation)
        record.Saturation = *edits.Saturation;
    if (edits.Exposure)
        record.Exposure = *edits.Exposure;
    return record;
}
