#include "TableWriter.h"

#include "CharacterSet.h"
#include "Packing.h"
#include "SaveFile.h"
#include "WindowCodeText.h"

#include <QRegularExpression>

#include <algorithm>

namespace pointillo {

namespace {

constexpr int kBytesPerLine = 16;

// Paths and arguments go into comments: nothing in them may end the comment or its line. A
// "/*" inside and a trigraph ("??/" at a line's end splices it) are what gcc -Wall rejects in a
// comment, so a header built with -Werror would fail on a mere character of the text.
QString commentSafe(QString text) {
    static const QRegularExpression controls(QStringLiteral("[\\x00-\\x1f\\x7f]"));
    static const QRegularExpression trigraph(QStringLiteral("\\?(?=\\?)"));
    text.replace(controls, QStringLiteral("?"));
    text.replace(QLatin1String("*/"), QLatin1String("* /"));
    text.replace(QLatin1String("/*"), QLatin1String("/ *"));
    text.replace(trigraph, QStringLiteral("? "));
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

PackingPlan planOf(const QList<Glyph>& glyphs, const TableOptions& out) {
    const DotMatrix& d = glyphs.first().dots;
    return PackingPlan(out.layout, d.width, d.height);
}

// The first two lines are what a reader needs: the size and the layout.
QStringList headerLines(const QList<Glyph>& glyphs, const PackingPlan& plan,
                        const TableOptions& out, const TableFacts& facts) {
    static const char* const kIndex[] = {"unicode", "gb2312", "none"};
    return {
        QStringLiteral("pointillo table: lines=%1 rows=%2").arg(plan.Height()).arg(plan.Width()),
        QStringLiteral("layout: %1").arg(LayoutItems(out.layout)),
        DescribeLayout(out.layout),
        QStringLiteral("face: %1").arg(commentSafe(facts.face)),
        QStringLiteral("options: %1").arg(commentSafe(facts.glyphOptions)),
        QStringLiteral("%1 glyphs of %2 bytes, index: %3")
            .arg(glyphs.size())
            .arg(plan.ByteCount())
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

// The storage words of each dialect for a constant table in code memory.
struct CStorage {
    QString prefix;   // before the element type
    QString at;       // after the prefix of the glyph table: where it is placed
    QString byteType; // the element type of the glyph bytes
    QString wordType; // of the index, 16 bits
    QString longType; // of the index, 32 bits
    QString suffix;   // after the name and its dimensions
};

CStorage storageOf(const TableOptions& out) {
    switch (out.dialect) {
    case Dialect::Keil:
        return {QStringLiteral("const "),
                {},
                QStringLiteral("unsigned char code"),
                QStringLiteral("unsigned int code"),
                QStringLiteral("unsigned long code"),
                {}};
    case Dialect::Sdcc: {
        // Keil places a table with its linker; sdcc can pin it to --origin itself.
        const QString at =
            out.origin ? QStringLiteral("__at(0x%1) ").arg(hexWord(*out.origin, 4)) : QString();
        return {QStringLiteral("__code const "), at,
                QStringLiteral("unsigned char"), QStringLiteral("unsigned int"),
                QStringLiteral("unsigned long"), {}};
    }
    case Dialect::C99:
        return {QStringLiteral("static const "), {},
                QStringLiteral("uint8_t"),       QStringLiteral("uint16_t"),
                QStringLiteral("uint32_t"),      {}};
    case Dialect::Arduino:
        return {QStringLiteral("static const "), {},
                QStringLiteral("uint8_t"),       QStringLiteral("uint16_t"),
                QStringLiteral("uint32_t"),      QStringLiteral(" PROGMEM")};
    }
    return {};
}

QByteArray writeC(const QList<Glyph>& glyphs, const TableOptions& out, const TableFacts& facts) {
    const PackingPlan plan = planOf(glyphs, out);
    const QString upper = out.name.toUpper();
    const CStorage storage = storageOf(out);
    QString s = QStringLiteral("/*\n");
    for (const QString& line : headerLines(glyphs, plan, out, facts))
        s += QStringLiteral(" * ") + line + QLatin1Char('\n');
    s += QStringLiteral(" */\n#ifndef POINTILLO_%1_H\n#define POINTILLO_%1_H\n\n").arg(upper);
    if (out.dialect == Dialect::C99)
        s += QStringLiteral("#include <stdint.h>\n\n");
    else if (out.dialect == Dialect::Arduino)
        s += QStringLiteral("#include <stdint.h>\n#include <avr/pgmspace.h>\n\n");
    s += QStringLiteral("#define %1_WIDTH %2\n#define %1_HEIGHT %3\n#define %1_BYTES %4\n"
                        "#define %1_COUNT %5\n\n")
             .arg(upper)
             .arg(plan.Width())
             .arg(plan.Height())
             .arg(plan.ByteCount())
             .arg(glyphs.size());
    s += QStringLiteral("%1%2 %3[%4][%5]%6 = {\n")
             .arg(storage.prefix + storage.at, storage.byteType, out.name)
             .arg(glyphs.size())
             .arg(plan.ByteCount())
             .arg(storage.suffix);
    QByteArray bytes(plan.ByteCount(), Qt::Uninitialized);
    for (const Glyph& g : glyphs) {
        s += QStringLiteral("    /* %1 */\n    {").arg(glyphLabel(g));
        plan.PackInto(g.dots, bytes.data());
        for (qsizetype k = 0; k < bytes.size(); ++k) {
            if (k)
                s += QLatin1Char(',');
            AppendCodeByte(s, quint8(bytes[k]), false);
        }
        s += QStringLiteral("},\n");
    }
    s += QStringLiteral("};\n");
    if (out.index != IndexKind::None) {
        const bool wide = wideIndex(glyphs, out.index);
        s += QStringLiteral("\n%1%2 %3_index[%4]%5 = {")
                 .arg(storage.prefix, wide ? storage.longType : storage.wordType, out.name)
                 .arg(glyphs.size())
                 .arg(storage.suffix);
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
        AppendCodeByte(s, quint8(bytes[k]), true);
    }
    s += QLatin1Char('\n');
}

QByteArray writeAsm(const QList<Glyph>& glyphs, const TableOptions& out, const TableFacts& facts) {
    const PackingPlan plan = planOf(glyphs, out);
    const QString upper = out.name.toUpper();
    const bool keil = out.dialect == Dialect::Keil;
    const QString db = keil ? QStringLiteral("DB") : QStringLiteral(".db");
    const QString dw = keil ? QStringLiteral("DW") : QStringLiteral(".dw");
    QString s;
    for (const QString& line : headerLines(glyphs, plan, out, facts))
        s += QStringLiteral("; ") + line + QLatin1Char('\n');
    const auto equ = [&](const char* what, qsizetype value) {
        s += keil
                 ? QStringLiteral("%1_%2\tEQU\t%3\n").arg(upper, QLatin1String(what)).arg(value)
                 : QStringLiteral("\t.equ\t%1_%2, %3\n").arg(upper, QLatin1String(what)).arg(value);
    };
    equ("WIDTH", plan.Width());
    equ("HEIGHT", plan.Height());
    equ("BYTES", plan.ByteCount());
    equ("COUNT", glyphs.size());
    if (out.origin)
        s += QStringLiteral("\t%1\t%2H\n")
                 .arg(keil ? QStringLiteral("ORG") : QStringLiteral(".org"),
                      QLatin1Char('0') + hexWord(*out.origin, 4));
    s += out.name + QStringLiteral(":\n");
    for (const Glyph& g : glyphs) {
        s += QStringLiteral("; %1\n").arg(glyphLabel(g));
        const QByteArray bytes = plan.Pack(g.dots);
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

QByteArray tableBytes(const QList<Glyph>& glyphs, const TableOptions& out) {
    const PackingPlan plan = planOf(glyphs, out);
    QByteArray bytes(glyphs.size() * plan.ByteCount(), Qt::Uninitialized);
    for (qsizetype k = 0; k < glyphs.size(); ++k)
        plan.PackInto(glyphs[k].dots, bytes.data() + k * plan.ByteCount());
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

// Each glyph as the window's code text; a layout the window does not have is named in it.
QByteArray writeText(const QList<Glyph>& glyphs, const TableOptions& out, bool toFile) {
    const PackingPlan plan = planOf(glyphs, out);
    const QString items = out.layout.IsWindowLayout() ? QString() : LayoutItems(out.layout);
    QString text;
    for (const Glyph& g : glyphs) {
        if (!text.isEmpty())
            text += QStringLiteral("\r\n\r\n");
        text += WindowCodeText(plan.Pack(g.dots), out.asm51, g.subject, items);
    }
    // A file is what the window saves; standard output is the code view's text as it is.
    return toFile ? DotFileBytes(text) : text.toUtf8();
}

} // namespace

unsigned IndexKey(const Glyph& glyph, IndexKind kind) {
    if (kind == IndexKind::Gb2312)
        return Gb2312Code(glyph.codePoint).value_or(0);
    return glyph.codePoint;
}

QByteArray WriteTable(const QList<Glyph>& glyphs, const TableOptions& out, const TableFacts& facts,
                      bool toFile) {
    switch (out.format) {
    case Format::Text:
        return writeText(glyphs, out, toFile);
    case Format::C:
        return writeC(glyphs, out, facts);
    case Format::Asm:
        return writeAsm(glyphs, out, facts);
    case Format::Hex:
        return writeHex(tableBytes(glyphs, out), out.origin.value_or(0));
    case Format::Bin:
        return tableBytes(glyphs, out);
    }
    return {};
}

} // namespace pointillo
