// The window as a desktop starts it, in whatever locale this process was started in: it writes
// into the folder named by its one argument the code text as a .dot file holds it (start.dot)
// and the panel's dots as a picture of '#' and '.' (panel.txt). Fontconfig settles its language
// when a process starts, so each locale needs a process of its own.

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
    const bool written = write(folder.filePath("start.dot"), pointillo::DotFileBytes(f.code())) &&
                         write(folder.filePath("panel.txt"), f.dots().join('\n').toLatin1() + '\n');
    return written ? 0 : 1;
}
