#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh folder under $TMPDIR for one test, removed with everything in it
// when the object goes out of scope.
class TTemporaryFolder
{
public:
    // Throws std::runtime_error when no folder can be made.
    TTemporaryFolder();

    QString Path() const { return FDir.path(); }
    // Path of a file or folder inside; nothing is created.
    QString FilePath(const QString& name) const { return FDir.filePath(name); }

private:
    QTemporaryDir FDir;
};
