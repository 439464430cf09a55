#include "TableWriter.h"

#include "CharacterSet.h"
#include "codegen/CodeText.h"
#include "codegen/DotFile.h"

#include <QRegularExpression>

#include <algorithm>

namespace pointillo {

namespace {

constexpr int kBytesPerLine = 16;

// Paths and arguments go into comments: nothing in them may end the comment or its line.
QString commentSafe(QString text) {
    static const QRegularExpression controls(QStringLiteral("[\\x00-\\x1f\\x7f]"));
    text.replace(QLatin1String("*/"), QLatin1String("* /"));
    text.replace(controls, QStringLiteral("?"));
    return text;
}

// The character as a comment shows it; controls and the comment's own closers are left out.
QString glyphLabel(const Glyph& g) {
    if (!g.codePoint)
        return commentSafe(g.subject);
    const QString text = QString::fromUcs4(&g.codePoint, 1);
    const bool printable = QChar::isPrint(g.codePoint) && !QChar::isSpace(g.codePoint) &&
                           g.codePoint != '\\' && g.codePoint != '"';
    return (printable ? QStringLiteral("\"%1\" ").arg(text) : QString()) +
           CodePointName(g.codePoint);
}

QString hexWord(unsigned value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

struct Layout {
    int lines;
    int rows;
    int bytes;
};

Layout layoutOf(const QList<Glyph>& glyphs, bool rowWise) {
    const DotMatrix& d = glyphs.first().dots;
    return {d.lines, d.rows, BytesPerGlyph(d.lines, d.rows, rowWise)};
}

QStringList headerLines(const QList<Glyph>& glyphs, const OutputOptions& out,
                        const TableFacts& facts) {
    const Layout l = layoutOf(glyphs, out.rowWise);
    static const char* const kIndex[] = {"unicode", "gb2312", "none"};
    return {
        LayoutTag(l.lines, l.rows, out.rowWise),
        out.rowWise ? QStringLiteral("row-wise: eight dots of a line per byte, left dot in bit 7")
                    : QStringLiteral("column-wise: eight dots of a column per byte, top dot in "
                                     "bit 7"),
        QStringLiteral("a short last group sits in the low bits"),
        QStringLiteral("face: %1").arg(commentSafe(facts.face)),
        QStringLiteral("options: %1").arg(commentSafe(facts.glyphOptions)),
        QStringLiteral("%1 glyphs of %2 bytes, index: %3")
            .arg(glyphs.size())
            .arg(l.bytes)
            .arg(QLatin1String(kIndex[int(out.index)])),
        QStringLiteral("made by: %1").arg(commentSafe(out.command)),
    };
}

bool wideIndex(const QList<Glyph>& glyphs, IndexKind kind) {
    for (const Glyph& g : glyphs)
        if (IndexKey(g, kind) > 0xFFFF)
            return true;
    return false;
}

QByteArray writeC(const QList<Glyph>& glyphs, const OutputOptions& out, const TableFacts& facts) {
    const Layout l = layoutOf(glyphs, out.rowWise);
    const QString upper = out.name.toUpper();
    const bool sdcc = out.dialect == Dialect::Sdcc;
    QString s = QStringLiteral("/*\n");
    for (const QString& line : headerLines(glyphs, out, facts))
        s += QStringLiteral(" * ") + line + QLatin1Char('\n');
    s += QStringLiteral(" */\n#ifndef POINTILLO_%1_H\n#define POINTILLO_%1_H\n\n").arg(upper);
    s += QStringLiteral("#define %1_WIDTH %2\n#define %1_HEIGHT %3\n#define %1_BYTES %4\n"
                        "#define %1_COUNT %5\n\n")
             .arg(upper)
             .arg(l.rows)
             .arg(l.lines)
             .arg(l.bytes)
             .arg(glyphs.size());
    // Keil places a table with its linker; sdcc can pin it to --origin itself.
    const QString at =
        sdcc && out.origin ? QStringLiteral(" __at(0x%1)").arg(hexWord(*out.origin, 4)) : QString();
    const QString storage = sdcc ? QStringLiteral("__code const") : QStringLiteral("const");
    const QString keilCode = sdcc ? QString() : QStringLiteral(" code");
    s += QStringLiteral("%1%2 unsigned char%3 %4[%5][%6] = {\n")
             .arg(storage, at, keilCode, out.name)
             .arg(glyphs.size())
             .arg(l.bytes);
    for (const Glyph& g : glyphs) {
        s += QStringLiteral("    /* %1 */\n    {").arg(glyphLabel(g));
        const QByteArray bytes = PackMatrix(g.dots, out.rowWise);
        for (qsizetype k = 0; k < bytes.size(); ++k) {
            if (k)
                s += QLatin1Char(',');
            orvane::AppendCodeByte(s, quint8(bytes[k]), false);
        }
        s += QStringLiteral("},\n");
    }
    s += QStringLiteral("};\n");
    if (out.index != IndexKind::None) {
        const bool wide = wideIndex(glyphs, out.index);
        s += QStringLiteral("\n%1 unsigned %2%3 %4_index[%5] = {")
                 .arg(storage, wide ? QStringLiteral("long") : QStringLiteral("int"), keilCode,
                      out.name)
                 .arg(glyphs.size());
        for (qsizetype k = 0; k < glyphs.size(); ++k) {
            if (k)
                s += QLatin1Char(',');
            s += (k % 8 ? QStringLiteral(" 0x") : QStringLiteral("\n    0x")) +
                 hexWord(IndexKey(glyphs[k], out.index), wide ? 6 : 4);
        }
        s += QStringLiteral("\n};\n");
    }
    s += QStringLiteral("\n#endif\n");
    return s.toUtf8();
}

void appendDataLine(QString& s, const QByteArray& bytes, qsizetype from, qsizetype to,
                    const QString& db) {
    s += QStringLiteral("\t%1 ").arg(db);
    for (qsizetype k = from; k < to; ++k) {
        if (k > from)
            s += QLatin1Char(',');
        orvane::AppendCodeByte(s, quint8(bytes[k]), true);
    }
    s += QLatin1Char('\n');
}

QByteArray writeAsm(const QList<Glyph>& glyphs, const OutputOptions& out, const TableFacts& facts) {
    const Layout l = layoutOf(glyphs, out.rowWise);
    const QString upper = out.name.toUpper();
    const bool keil = out.dialect == Dialect::Keil;
    const QString db = keil ? QStringLiteral("DB") : QStringLiteral(".db");
    const QString dw = keil ? QStringLiteral("DW") : QStringLiteral(".dw");
    QString s;
    for (const QString& line : headerLines(glyphs, out, facts))
        s += QStringLiteral("; ") + line + QLatin1Char('\n');
    const auto equ = [&](const char* what, qsizetype value) {
        s += keil
                 ? QStringLiteral("%1_%2\tEQU\t%3\n").arg(upper, QLatin1String(what)).arg(value)
                 : QStringLiteral("\t.equ\t%1_%2, %3\n").arg(upper, QLatin1String(what)).arg(value);
    };
    equ("WIDTH", l.rows);
    equ("HEIGHT", l.lines);
    equ("BYTES", l.bytes);
    equ("COUNT", glyphs.size());
    if (out.origin)
        s += QStringLiteral("\t%1\t%2H\n")
                 .arg(keil ? QStringLiteral("ORG") : QStringLiteral(".org"),
                      QLatin1Char('0') + hexWord(*out.origin, 4));
    s += out.name + QStringLiteral(":\n");
    for (const Glyph& g : glyphs) {
        s += QStringLiteral("; %1\n").arg(glyphLabel(g));
        const QByteArray bytes = PackMatrix(g.dots, out.rowWise);
        for (qsizetype k = 0; k < bytes.size(); k += kBytesPerLine)
            appendDataLine(s, bytes, k, std::min(bytes.size(), k + kBytesPerLine), db);
    }
    if (out.index != IndexKind::None) {
        // A key above 16 bits takes two words, high word first.
        const bool wide = wideIndex(glyphs, out.index);
        s += out.name + QStringLiteral("_index:\n");
        for (qsizetype k = 0; k < glyphs.size(); k += 8) {
            s += QStringLiteral("\t%1 ").arg(dw);
            for (qsizetype j = k; j < std::min(glyphs.size(), k + 8); ++j) {
                const unsigned key = IndexKey(glyphs[j], out.index);
                if (j > k)
                    s += QLatin1Char(',');
                if (wide)
                    s += QStringLiteral("0%1H,").arg(hexWord(key >> 16, 4));
                s += QStringLiteral("0%1H").arg(hexWord(key & 0xFFFF, 4));
            }
            s += QLatin1Char('\n');
        }
    }
    return s.toUtf8();
}

QByteArray tableBytes(const QList<Glyph>& glyphs, bool rowWise) {
    QByteArray bytes;
    for (const Glyph& g : glyphs)
        bytes += PackMatrix(g.dots, rowWise);
    return bytes;
}

QByteArray hexRecord(int type, unsigned address, const QByteArray& data) {
    QByteArray record;
    record.append(char(data.size()));
    record.append(char(address >> 8 & 0xFF));
    record.append(char(address & 0xFF));
    record.append(char(type));
    record += data;
    quint8 sum = 0;
    for (char c : record)
        sum += quint8(c);
    record.append(char(quint8(-sum)));
    return ':' + record.toHex().toUpper() + "\r\n";
}

// Records of 16 bytes; an extended linear address record whenever the upper 16 bits change.
QByteArray writeHex(const QByteArray& bytes, unsigned origin) {
    QByteArray hex;
    unsigned upper = 0;
    for (qsizetype pos = 0; pos < bytes.size();) {
        const unsigned address = origin + unsigned(pos);
        if ((address >> 16) != upper) {
            upper = address >> 16;
            hex += hexRecord(4, 0, QByteArray::fromHex(hexWord(upper, 4).toLatin1()));
        }
        // A record never runs over a 64 KiB boundary.
        const qsizetype n = std::min({qsizetype(kBytesPerLine), bytes.size() - pos,
                                      qsizetype(0x10000 - (address & 0xFFFF))});
        hex += hexRecord(0, address & 0xFFFF, bytes.mid(pos, n));
        pos += n;
    }
    return hex + hexRecord(1, 0, {});
}

QByteArray writeText(const QList<Glyph>& glyphs, bool toFile, const CodeTextOf& codeText) {
    QString text;
    for (const Glyph& g : glyphs) {
        if (!text.isEmpty())
            text += QStringLiteral("\r\n\r\n");
        text += codeText(g);
    }
    // A file is what the window saves; standard output is the code view's text as it is.
    return toFile ? orvane::DotFileBytes(text) : text.toUtf8();
}

} // namespace

QString LayoutTag(int lines, int rows, bool rowWise) {
    return QStringLiteral("pointillo table: lines=%1 rows=%2 order=%3")
        .arg(lines)
        .arg(rows)
        .arg(rowWise ? QStringLiteral("row") : QStringLiteral("column"));
}

unsigned IndexKey(const Glyph& glyph, IndexKind kind) {
    if (kind == IndexKind::Gb2312)
        return Gb2312Code(glyph.codePoint).value_or(0);
    return glyph.codePoint;
}

QByteArray WriteTable(const QList<Glyph>& glyphs, const OutputOptions& out, const TableFacts& facts,
                      bool toFile, const CodeTextOf& codeText) {
    switch (out.format) {
    case Format::Text:
        return writeText(glyphs, toFile, codeText);
    case Format::C:
        return writeC(glyphs, out, facts);
    case Format::Asm:
        return writeAsm(glyphs, out, facts);
    case Format::Hex:
        return writeHex(tableBytes(glyphs, out.rowWise), out.origin.value_or(0));
    case Format::Bin:
        return tableBytes(glyphs, out.rowWise);
    }
    return {};
}

} // namespace pointillo
