#include "platform/OpticalDrive.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

bool IsOpticalFileSystem(const QByteArray& fileSystemType)
{
    const QByteArray type = fileSystemType.toLower();
    return type == "iso9660" || type == "udf";
}

bool IsOnOpticalDrive(const QString& path)
{
    if (path.trimmed().isEmpty())
        return false;
    QString probe = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    while (!QFileInfo::exists(probe)) {
        const QString parent = QFileInfo(probe).path();
        if (parent == probe)
            return false;
        probe = parent;
    }
    const QStorageInfo storage(probe);
    return storage.isValid() && IsOpticalFileSystem(storage.fileSystemType());
}
