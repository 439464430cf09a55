#include "AppInfo.h"

#include <QCoreApplication>
#include <QDir>

namespace orvane {

QString ProgramFolder() {
    // On Linux Qt reads this from /proc/self/exe, the executable's real path, so a link to the
    // program (bin/orvane) still leads to the folder with the control library and help file.
    return QCoreApplication::applicationDirPath();
}

QString JoinFolder(const QString& folder, const QString& fileName) {
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QDir::separator()))
        return folder + fileName;
    return folder + QLatin1Char('/') + fileName;
}

} // namespace orvane
