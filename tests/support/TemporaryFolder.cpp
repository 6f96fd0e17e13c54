#include "TemporaryFolder.h"

#include <QDir>
#include <stdexcept>

TTemporaryFolder::TTemporaryFolder() : FDir(QDir::tempPath() + QStringLiteral("/clarvix-test-XXXXXX"))
{
    if (!FDir.isValid())
        throw std::runtime_error("cannot create a temporary folder: " + FDir.errorString().toStdString());
}
