#include "DotFile.h"

#include "AppInfo.h"
#include "SaveFile.h"
#include "platform/FileAccess.h"

#include <QDir>

namespace orvane {

QString ProposedDotFileName(const QString& programFolder, const QString& character) {
    QString name = character;
    name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QChar(0), QLatin1Char('_'));
    const QString folder =
        platform::MayWriteFolder(programFolder) ? programFolder : QDir::homePath();
    return JoinFolder(folder, name + QStringLiteral(".dot"));
}

void SaveDotFile(const QString& path, const QString& text) {
    pointillo::SaveFileBytes(path, pointillo::DotFileBytes(text));
}

} // namespace orvane
