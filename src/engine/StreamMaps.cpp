// Which input stream feeds which output stream, and the per-stream tables:
// stream maps, metadata maps, output stream ids and input time scales.

#include "engine/OptionValues.h"
#include "engine/TCustomFFmpeg.h"
#include "media/FFmpegException.h"
#include "platform/NumberText.h"

void TCustomFFmpeg::AddStreamMap(const QString& value)
{
    if (static_cast<int>(FOpts.StreamMaps.size()) >= MaxStreamMaps)
        throw FFmpegException(
            QStringLiteral("Too many stream maps (at most %1): %2").arg(MaxStreamMaps).arg(value));
    TNumberScanner scanner(value);
    TStreamMap map;
    map.FileIndex = static_cast<int>(scanner.ReadLong());
    scanner.Skip();
    map.StreamIndex = static_cast<int>(scanner.ReadLong());
    if (!scanner.AtEnd()) {
        scanner.Skip();
        map.SyncFileIndex = static_cast<int>(scanner.ReadLong());
        scanner.Skip();
        map.SyncStreamIndex = static_cast<int>(scanner.ReadLong());
    } else {
        map.SyncFileIndex = map.FileIndex;
        map.SyncStreamIndex = map.StreamIndex;
    }
    FOpts.StreamMaps.push_back(map);
}

void TCustomFFmpeg::AddMetadataMap(const QString& value)
{
    if (static_cast<int>(FOpts.MetadataMaps.size()) >= MaxMetadataMaps)
        throw FFmpegException(
            QStringLiteral("Too many metadata maps (at most %1): %2").arg(MaxMetadataMaps).arg(value));
    TNumberScanner scanner(value);
    TMetadataMap map;
    map.OutputFile = static_cast<int>(scanner.ReadLong());
    scanner.Skip();
    map.InputFile = static_cast<int>(scanner.ReadLong());
    FOpts.MetadataMaps.push_back(map);
}

void TCustomFFmpeg::SetStreamId(const QString& name, const QString& value)
{
    const qsizetype colon = value.indexOf(QLatin1Char(':'));
    const QString indexText = colon < 0 ? QString() : value.left(colon);
    const QString idText = colon < 0 ? QString() : value.mid(colon + 1);
    if (colon < 0 || indexText.isEmpty() || idText.isEmpty())
        throw FFmpegException(
            QStringLiteral("Invalid value \"%1\" for option \"%2\", required syntax is \"index:value\"")
                .arg(value, name));
    const int index = StrToInt(indexText);
    const int id = StrToInt(idText);
    if (index < 0 || index >= MaxStreamsPerFile)
        throw FFmpegException(
            QStringLiteral("Invalid stream index %1 for option \"%2\": it must be from 0 to %3")
                .arg(index)
                .arg(name)
                .arg(MaxStreamsPerFile - 1));
    FOpts.StreamIdMap[index] = id;
}

void TCustomFFmpeg::SetInputTsScale(const QString& value)
{
    TNumberScanner scanner(value);
    const long stream = scanner.ReadLong();
    scanner.Skip();
    const double scale = scanner.ReadDouble();
    if (stream < 0 || stream >= MaxStreamsPerFile)
        throw FFmpegException(QStringLiteral("stream index over MAX_STREAMS(%1)").arg(MaxStreamsPerFile));
    // The scales belong to the input opened next.
    const int nextInput = Files.InputCount();
    if (nextInput >= MaxInputFiles)
        throw FFmpegException(
            QStringLiteral("Cannot set itsscale: no more than %1 input files").arg(MaxInputFiles));
    Files.InputTsScales[nextInput][stream] = scale;
}
