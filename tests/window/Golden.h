#pragma once

// Golden files: whole texts a test expects, kept in the folder named by POINTILLO_GOLDEN_DIR.

#include <QFile>
#include <QTest>

namespace testing {

// Compares a whole text with the golden file of that name; with POINTILLO_UPDATE_GOLDEN=1 in
// the environment it rewrites the file instead (see golden/README).
inline void compareWithGolden(const QString& text, const QString& name) {
    QFile file(QStringLiteral(POINTILLO_GOLDEN_DIR "/") + name);
    if (qEnvironmentVariableIntValue("POINTILLO_UPDATE_GOLDEN") == 1) {
        QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0,
                 qPrintable("cannot rewrite " + file.fileName()));
        qInfo("rewrote %s", qPrintable(file.fileName()));
        return;
    }
    QVERIFY2(file.open(QIODevice::ReadOnly),
             qPrintable(file.fileName() + " is missing; POINTILLO_UPDATE_GOLDEN=1 writes it"));
    QCOMPARE(text, QString::fromUtf8(file.readAll()));
}

} // namespace testing
