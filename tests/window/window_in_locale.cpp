// The window as a desktop starts it, in whatever locale this process was started in: it writes
// its code text, as a .dot file holds it, to start.dot in the folder named by its one argument.
// Fontconfig settles its language when a process starts, so each locale needs a process of its
// own.

#include "SaveFile.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>

namespace {

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir folder(app.arguments().value(1));
    if (app.arguments().size() != 2 || !folder.exists()) {
        qCritical("usage: window_in_locale FOLDER (an existing folder for the results)");
        return 2;
    }
    testing::WindowFixture f;
    return write(folder.filePath("start.dot"), pointillo::DotFileBytes(f.code())) ? 0 : 1;
}
