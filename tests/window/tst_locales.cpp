// The window and pointillo draw, sample and write the same in every locale. Fontconfig names a
// face in the user's language (文泉驿正黑 under zh_CN) and settles that language when a
// process starts, so each locale runs in a process of its own.

#include <QtTest>

namespace {

// Runs a program of the build with lang as its whole locale, whatever the test itself runs in;
// its standard output, or the failure with its errors.
struct Run {
    bool succeeded;
    QByteArray out;
    QByteArray err;
};
Run run(const QString& program, const QStringList& args, const QString& lang) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LC_MESSAGES", "LANGUAGE", "FC_LANG"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LANG"), lang);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationDirPath() + "/" + program, args);
    const bool succeeded =
        p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return {succeeded, p.readAllStandardOutput(), p.readAllStandardError()};
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

class TstLocales : public QObject {
    Q_OBJECT

private slots:
    void windowAndToolStartTheSameInEveryLocale_data() {
        QTest::addColumn<QString>("lang");
        QTest::newRow("C") << "C";
        QTest::newRow("US English") << "en_US.UTF-8";
        QTest::newRow("Simplified Chinese") << "zh_CN.UTF-8";
        QTest::newRow("Traditional Chinese") << "zh_TW.UTF-8";
        QTest::newRow("Japanese") << "ja_JP.UTF-8";
    }
    void windowAndToolStartTheSameInEveryLocale() {
        QFETCH(QString, lang);
        // "英" at start, 16 x 16 dots sampled with the standard fractions, as the window shows
        // its code and pointillo prints it.
        const QString startCode = QString::fromUtf8(readAll(POINTILLO_GOLDEN_DIR "/start-up.txt"));
        QTemporaryDir folder;
        const Run window = run("window_in_locale", {folder.path()}, lang);
        QVERIFY2(window.succeeded, window.err.constData());
        QStringEncoder gb18030("GB18030");
        QCOMPARE(readAll(folder.filePath("start.dot")),
                 QByteArray(gb18030.encode(startCode + "\r\n")));

        const Run tool = run("pointillo", {"英", "--fractions", "standard"}, lang);
        QVERIFY2(tool.succeeded, tool.err.constData());
        QCOMPARE(QString::fromUtf8(tool.out), startCode);
    }
};

QTEST_MAIN(TstLocales)
#include "tst_locales.moc"
