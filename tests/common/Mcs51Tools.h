#pragma once

// The 8051 tool chains firmware builds feed the code to, as31 and sdcc: tests read back the bytes
// they place in the Intel HEX image, so the judge of the text is its consumer.

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <numeric>

namespace mcs51 {

inline constexpr int kOrigin = 0x1000; // where Build reads the placed bytes from

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
    QByteArray bytes;
    for (qsizetype o = 0; o < (rowWise ? lines.size() : lines[0].size()); ++o)
        for (qsizetype k = 0; k < along; ++k) {
            if (k % 8 == 0)
                bytes.append('\0');
            bytes.back() = char(2 * bytes.back() + ((rowWise ? lines[o][k] : lines[k][o]) == '#'));
        }
    return bytes;
}

// The count bytes from origin on; a byte not defined, a bad checksum or record is an error.
inline Image ReadIntelHex(const QByteArray& hex, int origin, int count) {
    QMap<int, char> memory;
    for (const QByteArray& line : hex.trimmed().split('\n')) {
        const QByteArray r = QByteArray::fromHex(line.trimmed().mid(1));
        if (!line.startsWith(':') || r.size() < 5 || r.size() != 5 + quint8(r[0]) ||
            quint8(std::accumulate(r.begin(), r.end(), 0)) != 0)
            return {{}, "bad record: " + QString::fromLatin1(line)};
        for (int i = 0; r[3] == 0 && i < quint8(r[0]); ++i)
            memory.insert((quint8(r[1]) << 8 | quint8(r[2])) + i, r[4 + i]);
    }
    QByteArray bytes;
    for (int a = origin; a < origin + count && memory.contains(a); ++a)
        bytes.append(memory.value(a));
    if (bytes.size() < count)
        return {{}, "no byte at " + QString::number(origin + bytes.size(), 16)};
    return {bytes, {}};
}

// Runs as31 (asm51 true) or sdcc on source in a folder of its own.
inline Image Build(bool asm51, const QByteArray& source, int count) {
    QTemporaryDir dir;
    QFile in(dir.filePath(asm51 ? "t.asm" : "t.c"));
    if (!in.open(QIODevice::WriteOnly) || in.write(source) != source.size() || !in.flush())
        return {{}, "cannot write the source"};
    QProcess tool;
    tool.setWorkingDirectory(dir.path());
    tool.start(asm51 ? "as31" : "sdcc", {asm51 ? "-Fhex" : "-mmcs51", in.fileName()});
    QFile hex(dir.filePath(asm51 ? "t.hex" : "t.ihx"));
    if (!tool.waitForFinished(120000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0 || !hex.open(QIODevice::ReadOnly))
        return {{}, tool.program() + " failed: " + tool.readAllStandardError()};
    return ReadIntelHex(hex.readAll(), kOrigin, count);
}

} // namespace mcs51
