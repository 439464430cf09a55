#pragma once

// The 8051 tool chains that firmware builds feed the generated text to: as31 for assembler,
// sdcc for C. Tests hand them the text and read back the bytes they placed in the Intel HEX
// image, so the judge of the text is the consumer, not a second copy of the generator.

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace mcs51 {

// Where the placed bytes start in every image the helpers below build.
inline constexpr int kOrigin = 0x1000;

struct Image {
    QByteArray bytes; // count bytes from the origin on; empty when error is set
    QString error;
};

inline bool Available() {
    return !QStandardPaths::findExecutable("as31").isEmpty() &&
           !QStandardPaths::findExecutable("sdcc").isEmpty();
}

// The count bytes of an Intel HEX image from origin on; a byte the image does not define, a
// bad checksum or a malformed record is an error.
inline Image ReadIntelHex(const QByteArray& hex, int origin, int count) {
    QMap<int, char> memory;
    for (const QByteArray& raw : hex.split('\n')) {
        const QByteArray line = raw.trimmed();
        const QByteArray record = QByteArray::fromHex(line.mid(1));
        quint8 sum = 0;
        for (char c : record)
            sum += quint8(c);
        if (line.isEmpty())
            continue;
        if (line[0] != ':' || record.size() < 5 || record.size() != 5 + quint8(record[0]) || sum)
            return {{}, "bad record: " + QString::fromLatin1(line)};
        for (int i = 0; record[3] == 0 && i < quint8(record[0]); ++i)
            memory.insert((quint8(record[1]) << 8 | quint8(record[2])) + i, record[4 + i]);
    }
    Image image;
    for (int a = origin; a < origin + count; ++a) {
        if (!memory.contains(a))
            return {{}, QStringLiteral("no byte at %1").arg(a, 4, 16, QLatin1Char('0'))};
        image.bytes.append(memory.value(a));
    }
    return image;
}

// Runs program on source (written as file) in a folder of its own and reads the image hexName.
inline Image Build(const QString& program, QStringList args, const QString& file,
                   const QByteArray& source, const QString& hexName, int origin, int count) {
    QTemporaryDir dir;
    QFile in(dir.filePath(file));
    if (!in.open(QIODevice::WriteOnly) || in.write(source) != source.size())
        return {{}, "cannot write the source"};
    in.close();
    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, args << file);
    if (!tool.waitForFinished(120000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0)
        return {{}, program + " failed: " + QString::fromLocal8Bit(tool.readAll())};
    QFile hex(dir.filePath(hexName));
    if (!hex.open(QIODevice::ReadOnly))
        return {{}, program + " wrote no image"};
    return ReadIntelHex(hex.readAll(), origin, count);
}

// Assembles source (a whole as31 file) and returns count bytes from address origin.
inline Image AssembleAs31(const QByteArray& source, int origin, int count) {
    return Build("as31", {"-Fhex"}, "t.asm", source, "t.hex", origin, count);
}

// Compiles source (a whole C file for sdcc -mmcs51) and returns count bytes from origin.
inline Image CompileSdcc(const QByteArray& source, int origin, int count) {
    return Build("sdcc", {"-mmcs51"}, "t.c", source, "t.ihx", origin, count);
}

// The window's Asm51 code text as an as31 file: its "DB" directive is ".db", and the bytes
// are placed at kOrigin.
inline QByteArray As31Source(QString asm51) {
    asm51.replace("DB ", ".db ");
    return "\t.org " + QByteArray::number(kOrigin, 16) + "h\n" + asm51.toUtf8() + "\n";
}

// The window's C51 code text as the body of an array that sdcc places at kOrigin.
inline QByteArray SdccSource(const QString& c51) {
    return "__code __at(0x" + QByteArray::number(kOrigin, 16) +
           ") const unsigned char table[] = {\n" + c51.toUtf8() + "\n};\nvoid main(void) {}\n";
}

} // namespace mcs51
