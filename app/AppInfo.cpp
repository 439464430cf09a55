#include "AppInfo.h"

#include <QCoreApplication>
#include <QDir>

namespace orvane {

QString ProgramFolder() {
    return QCoreApplication::applicationDirPath();
}

QString JoinFolder(const QString& folder, const QString& fileName) {
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator()))
        return folder + fileName;
    return folder + QLatin1Char('/') + fileName;
}

} // namespace orvane
