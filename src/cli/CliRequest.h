#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

// What one call of clarvix-convert asks for, after its arguments were read
// and checked. Every value here is already within its range.

enum class TCliMode {
    Help,         // --help
    ListProfiles, // --list-profiles
    Info,         // --info FILE...
    PrintOptions, // --print-options FILE...
    Convert,      // FILE...
};

struct TCliPoint
{
    int X = 0;
    int Y = 0;
};

struct TCliCrop
{
    int Top = 0;
    int Bottom = 0;
    int Left = 0;
    int Right = 0;
};

struct TCliFont
{
    QString Name;
    int Size = 0; // points
};

// The job-record fields the options set; an absent value keeps what a new
// file-list row has.
struct TCliJobEdits
{
    std::optional<qint64> StartTime;    // microseconds
    std::optional<qint64> TrimDuration; // microseconds
    std::optional<TCliCrop> Crop;       // even source pixels
    std::optional<QString> Zoom;        // "full", "lbox", "pan" or "center"
    std::optional<QString> Text;
    std::optional<TCliPoint> TextPos;
    std::optional<TCliFont> Font;
    std::optional<QString> Image; // a BMP file that loads
    std::optional<TCliPoint> ImagePos;
    std::optional<int> Alpha;
    std::optional<int> Style;
    std::optional<int> Brightness;
    std::optional<int> Contrast;
    std::optional<int> Saturation;
    std::optional<int> Exposure;
};

struct TCliRequest
{
    TCliMode Mode = TCliMode::Convert;
    QStringList Files;
    std::optional<int> ProfileCode;      // a code of the catalogue; absent: "FormatCode" of the settings
    std::optional<QString> OutputDir;    // absent: "OutPutDir" of the settings
    std::optional<QString> SettingsFile; // absent: the program's own
    std::optional<QString> CatalogueFile;
    TCliJobEdits Edits;
    int Jobs = 1; // tasks at once
    bool Quiet = false;
};
