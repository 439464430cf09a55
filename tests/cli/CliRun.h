#pragma once

// The command-line tool built beside the tests, run as a user runs it: a process with
// arguments, standard input and a working folder, judged by its status and its two streams.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace cli {

struct Run {
    int status = -1; // -1 when the tool crashed or hung
    QByteArray out;
    QString err;
    QString outText() const { return QString::fromUtf8(out); }
};

// Any program, such as a compiler that judges what the tool wrote.
inline Run runProgram(const QString& program, const QStringList& arguments,
                      const QByteArray& input = {}, const QString& folder = {}) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(program, arguments);
    p.write(input);
    p.closeWriteChannel();
    const bool done = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
    return {done ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError())};
}

inline Run runTool(const QStringList& arguments, const QByteArray& input = {},
                   const QString& folder = {}) {
    return runProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/pointillo"),
                      arguments, input, folder);
}

inline QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The "glyph N: U+XXXX c" lines that name each picture of a --preview or decode listing.
inline QStringList glyphLabels(const QString& listing) {
    return listing.split('\n').filter(QRegularExpression("^glyph "));
}

// The '#'/'.' pictures of the same listing, one string of lines each.
inline QStringList glyphPictures(const QString& listing) {
    static const QRegularExpression label("^glyph .*\\n", QRegularExpression::MultilineOption);
    return listing.mid(listing.indexOf(label)).split(label, Qt::SkipEmptyParts);
}

// A working folder that already holds a file, t.bin, as a user's folder would: a run that
// fails must leave it as it was and create nothing beside it.
class Folder {
public:
    static constexpr char kEarlier[] = "ABZB\n";

    Folder() { writeFile(dir.filePath(QStringLiteral("t.bin")), kEarlier); }

    Run run(const QStringList& arguments, const QByteArray& input = {}) const {
        return runTool(arguments, input, dir.path());
    }
    QByteArray earlierFile() const { return contents(dir.filePath(QStringLiteral("t.bin"))); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files); }

private:
    QTemporaryDir dir;
};

} // namespace cli
