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

// Packs a '#'/'.' picture the way the code is documented: groups of eight from the left
// (row-wise) or the top, the first dot in bit 7, a short last group in the low bits.
inline QByteArray Pack(const QByteArray& picture, bool rowWise) {
    const QList<QByteArray> lines = picture.trimmed().split('\n');
    const qsizetype along = rowWise ? lines[0].size() : lines.size();
    const qsizetype across = rowWise ? lines.size() : lines[0].size();
    QByteArray bytes;
    for (qsizetype o = 0; o < across; ++o)
        for (qsizetype g = 0; g < along; g += 8) {
            int v = 0;
            for (qsizetype k = g; k < along && k < g + 8; ++k)
                v = v * 2 + ((rowWise ? lines[o][k] : lines[k][o]) == '#');
            bytes.append(char(v));
        }
    return bytes;
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

// Runs as31 (asm51 true) or sdcc on source in a folder of its own; the image's count bytes
// from kOrigin on.
inline Image Build(bool asm51, const QByteArray& source, int count) {
    const QString program = asm51 ? "as31" : "sdcc", file = asm51 ? "t.asm" : "t.c";
    QTemporaryDir dir;
    QFile in(dir.filePath(file));
    if (!in.open(QIODevice::WriteOnly) || in.write(source) != source.size())
        return {{}, "cannot write the source"};
    in.close();
    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, QStringList{asm51 ? "-Fhex" : "-mmcs51", file});
    if (!tool.waitForFinished(120000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0)
        return {{}, program + " failed: " + QString::fromLocal8Bit(tool.readAll())};
    QFile hex(dir.filePath(asm51 ? "t.hex" : "t.ihx"));
    if (!hex.open(QIODevice::ReadOnly))
        return {{}, program + " wrote no image"};
    return ReadIntelHex(hex.readAll(), kOrigin, count);
}

} // namespace mcs51
