#include "DataDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString dataDirectory() {
    const QDir executable(QCoreApplication::applicationDirPath());
    if (QFileInfo::exists(executable.filePath("style.xml")) ||
        QFileInfo::exists(executable.filePath("Resources")))
        return executable.absolutePath();
    const QString installed = executable.filePath(QStringLiteral(TINTORA_DATA_FROM_BINARIES));
    if (QFileInfo::exists(installed))
        return QDir(installed).absolutePath();
    return executable.absolutePath();
}
