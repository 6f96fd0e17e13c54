#pragma once

#include <QByteArray>
#include <QString>

// True for the file systems of optical discs (iso9660, udf).
bool IsOpticalFileSystem(const QByteArray& fileSystemType);

// True when the path lies on a mounted optical disc. A path that does not
// exist yet is judged by its nearest existing parent folder.
bool IsOnOpticalDrive(const QString& path);
