// Build tool: writes the scrambled help file from its readable source text (UTF-8).
// Usage: helpgen SOURCE.txt OUTPUT
#include "platform/PlatformError.h"
#include "window/HelpFile.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fputs("usage: helpgen SOURCE.txt OUTPUT\n", stderr);
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "helpgen: cannot read %s\n", argv[1]);
        return 1;
    }
    // The source keeps Unix line ends for editing; the help shows in a Windows-style text box.
    QString text = QString::fromUtf8(source.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    try {
        QSaveFile out(QString::fromLocal8Bit(argv[2]));
        if (!out.open(QIODevice::WriteOnly) || out.write(orvane::EncodeHelpFile(text)) < 0 ||
            !out.commit()) {
            std::fprintf(stderr, "helpgen: cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const platform::PlatformError& e) {
        std::fprintf(stderr, "helpgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
