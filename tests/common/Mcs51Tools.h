#pragma once

// The 8051 tool chains that firmware builds feed the generated text to: as31 for assembler,
// sdcc for C. Tests hand them the text and read back the bytes they placed in the Intel HEX
// image, so the judge of the text is the consumer, not a second copy of the generator.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

namespace mcs51 {

// Where the placed bytes start in every image the helpers below build.
inline constexpr int kOrigin = 0x1000;

struct Image {
    QByteArray bytes; // count bytes from the origin on; empty when error is set
    QString error;
};

inline bool Available() {
    return !QStandardPaths::findExecutable(QStringLiteral("as31")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("sdcc")).isEmpty();
}

// The count bytes of an Intel HEX image from origin on; a byte the image does not define, a
// bad checksum or a malformed record is an error.
inline Image ReadIntelHex(const QByteArray& hex, int origin, int count) {
    QMap<int, char> memory;
    for (QByteArray line : hex.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        const QByteArray record = QByteArray::fromHex(line.mid(1));
        if (line[0] != ':' || record.size() < 5 || record.size() != 5 + quint8(record[0]))
            return {{}, QStringLiteral("malformed record: ") + QString::fromLatin1(line)};
        quint8 sum = 0;
        for (char c : record)
            sum += quint8(c);
        if (sum != 0)
            return {{}, QStringLiteral("bad checksum: ") + QString::fromLatin1(line)};
        if (record[3] != 0)
            continue;
        const int address = quint8(record[1]) << 8 | quint8(record[2]);
        for (int i = 0; i < quint8(record[0]); ++i)
            memory.insert(address + i, record[4 + i]);
    }
    Image image;
    for (int a = origin; a < origin + count; ++a) {
        if (!memory.contains(a))
            return {{}, QStringLiteral("no byte at %1").arg(a, 4, 16, QLatin1Char('0'))};
        image.bytes.append(memory.value(a));
    }
    return image;
}

// Runs program with args in dir; the error names the tool's own messages when it fails.
inline QString RunTool(const QString& dir, const QString& program, const QStringList& args) {
    QProcess tool;
    tool.setWorkingDirectory(dir);
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, args);
    if (!tool.waitForFinished(120000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0)
        return program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(tool.readAll());
    return {};
}

// Assembles source (a whole as31 file) and returns count bytes from address origin.
inline Image AssembleAs31(const QByteArray& source, int origin, int count) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("t.asm")));
    if (!file.open(QIODevice::WriteOnly) || file.write(source) != source.size())
        return {{}, QStringLiteral("cannot write the source")};
    file.close();
    const QString error = RunTool(dir.path(), QStringLiteral("as31"),
                                  {QStringLiteral("-Fhex"), QStringLiteral("t.asm")});
    if (!error.isEmpty())
        return {{}, error};
    QFile hex(dir.filePath(QStringLiteral("t.hex")));
    if (!hex.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("as31 wrote no image")};
    return ReadIntelHex(hex.readAll(), origin, count);
}

// The text of the window's Asm51 code as an as31 file: its "DB" directive is ".db", and the
// bytes are placed at kOrigin.
inline QByteArray As31Source(QString asm51) {
    asm51.replace(QStringLiteral("DB "), QStringLiteral(".db "));
    return "\t.org " + QByteArray::number(kOrigin, 16) + "h\n" + asm51.toUtf8() + "\n";
}

// Compiles source (a whole C file for sdcc -mmcs51) and returns count bytes from origin.
inline Image CompileSdcc(const QByteArray& source, int origin, int count) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("t.c")));
    if (!file.open(QIODevice::WriteOnly) || file.write(source) != source.size())
        return {{}, QStringLiteral("cannot write the source")};
    file.close();
    const QString error = RunTool(dir.path(), QStringLiteral("sdcc"),
                                  {QStringLiteral("-mmcs51"), QStringLiteral("t.c")});
    if (!error.isEmpty())
        return {{}, error};
    QFile hex(dir.filePath(QStringLiteral("t.ihx")));
    if (!hex.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("sdcc wrote no image")};
    return ReadIntelHex(hex.readAll(), origin, count);
}

// The window's C51 code text as the body of an array that sdcc places at kOrigin.
inline QByteArray SdccSource(const QString& c51) {
    return "__code __at(0x" + QByteArray::number(kOrigin, 16) +
           ") const unsigned char table[] = {\n" + c51.toUtf8() + "\n};\nvoid main(void) {}\n";
}

} // namespace mcs51
