// The window and pointillo draw, sample and write the same in every locale. Fontconfig names a
// face in the user's language (文泉驿正黑 under zh_CN) and settles that language when a
// process starts, so each locale runs in a process of its own.

#include <QtTest>

namespace {

// "英" at start: 16 x 16 dots sampled with the standard fractions.
const QStringList kStartPanel{
    "................", "....#.....#.....", "###############.", "....#.....#.....",
    "....#..#.##.....", ".......#........", "...#########....", "...#...#...#....",
    "...#...#...#....", "...#...#...#....", ".##############.", "......####......",
    ".....##..##.....", "....##....##....", ".####......####.", ".#..............",
};

// The code text of that panel, line by line, as the window shows it and pointillo prints it.
const QStringList kStartCode{
    ";英",
    ";Pointillo V1.0 作者：Pointillo Team  电邮：support@pointillo.example",
    ";Asm51 Code,逐行从上到下取模,每行左为最高位",
    ";Creat By Pointillo V1.0",
    "DB 00H,00H,08H,20H,0FFH,0FEH,08H,20H,09H,60H,01H,00H,1FH,0F0H,11H,10H,11H,10H,11H,10H,"
    "7FH,0FEH,03H,0C0H,06H,60H,0CH,30H,78H,1EH,40H,00H",
};

struct Locale {
    const char* name;
    const char* lang;
};

void addLocaleRows() {
    QTest::addColumn<QString>("lang");
    for (const auto& [name, lang] :
         {Locale{"C", "C"}, Locale{"US English", "en_US.UTF-8"},
          Locale{"Simplified Chinese", "zh_CN.UTF-8"}, Locale{"Traditional Chinese", "zh_TW.UTF-8"},
          Locale{"Japanese", "ja_JP.UTF-8"}})
        QTest::newRow(name) << QString::fromLatin1(lang);
}

// A process that starts with lang as its whole locale, whatever the test itself runs in.
QProcessEnvironment inLocale(const QString& lang) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LC_MESSAGES", "LANGUAGE", "FC_LANG"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LANG"), lang);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

struct Run {
    bool finished = false;
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString& program, const QStringList& args, const QString& lang) {
    QProcess p;
    p.setProcessEnvironment(inLocale(lang));
    p.start(QCoreApplication::applicationDirPath() + "/" + program, args);
    Run r;
    r.finished = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
    r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

QByteArray gb18030(const QString& text) {
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

// The lines of '#' and '.' in a listing, whatever surrounds them.
QStringList pictureLines(const QString& listing) {
    static const QRegularExpression dotsOnly(QStringLiteral("^[#.]+$"));
    QStringList lines;
    for (const QString& line : listing.split('\n'))
        if (dotsOnly.match(line).hasMatch())
            lines << line;
    return lines;
}

} // namespace

class TstLocales : public QObject {
    Q_OBJECT

private slots:
    void theWindowStartsTheSameInEveryLocale_data() { addLocaleRows(); }
    void theWindowStartsTheSameInEveryLocale() {
        QFETCH(QString, lang);
        QTemporaryDir folder;
        const Run r = run("window_in_locale", {folder.path()}, lang);
        QVERIFY2(r.finished && r.status == 0, r.err.constData());
        const QByteArray dot = readAll(folder.filePath("start.dot"));
        QCOMPARE(QString::fromLatin1(readAll(folder.filePath("panel.txt")))
                     .split('\n', Qt::SkipEmptyParts),
                 kStartPanel);
        QCOMPARE(QString(QStringDecoder("GB18030").decode(dot)).split("\r\n"),
                 kStartCode + QStringList{""});
        QCOMPARE(dot, gb18030(kStartCode.join("\r\n") + "\r\n"));
    }

    void theToolDrawsTheSameInEveryLocale_data() { addLocaleRows(); }
    void theToolDrawsTheSameInEveryLocale() {
        QFETCH(QString, lang);
        const Run r =
            run("pointillo", {QStringLiteral("英"), "--fractions", "standard", "--preview"}, lang);
        QVERIFY2(r.finished && r.status == 0, r.err.constData());
        QCOMPARE(QString::fromUtf8(r.out).split("\r\n"), kStartCode);
        QCOMPARE(pictureLines(QString::fromUtf8(r.err)), kStartPanel);
    }
};

QTEST_MAIN(TstLocales)
#include "tst_locales.moc"
