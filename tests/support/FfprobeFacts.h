#pragma once

#include <QJsonObject>
#include <QString>

// What the `ffprobe` program reports about a file, as its JSON output with the
// sections "format", "streams" and "programs": an independent check of files
// the program writes. Throws std::runtime_error when ffprobe cannot read the file.
QJsonObject FfprobeFacts(const QString& path);
