#include "TableWriter.h"

#include "CharacterSet.h"
#include "GfxFont.h"
#include "Packing.h"
#include "SaveFile.h"
#include "TableText.h"
#include "WindowCodeText.h"
#include "platform/PlatformError.h"

#include <algorithm>

namespace pointillo {

namespace {

constexpr int kBytesPerLine = 16;

// A glyph's advance, within what one byte holds.
int advanceOf(const Glyph& g) {
    return std::clamp(g.advance, 0, 255);
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
            out.origin ? QStringLiteral("__at(0x%1) ").arg(HexWord(*out.origin, 4)) : QString();
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

} // namespace

// The first two lines are what a reader needs: the size and the layout.
QStringList TableHeaderLines(qsizetype count, const PackingPlan& plan, const TableOptions& out,
                             const TableFacts& facts) {
    static const char* const kIndex[] = {"unicode", "gb2312", "none"};
    return {
        QStringLiteral("pointillo table: lines=%1 rows=%2").arg(plan.Height()).arg(plan.Width()),
        QStringLiteral("layout: %1").arg(LayoutItems(out.layout)),
        DescribeLayout(out.layout),
        QStringLiteral("face: %1").arg(CommentSafe(facts.face)),
        QStringLiteral("options: %1").arg(CommentSafe(facts.glyphOptions)),
        QStringLiteral("%1 glyphs of %2 bytes, index: %3")
            .arg(count)
            .arg(plan.ByteCount())
            .arg(QLatin1String(kIndex[int(out.index)])),
        QStringLiteral("made by: %1").arg(CommentSafe(out.command)),
    };
}

TableStream::TableStream(const TableOptions& out, const TableFacts& facts, bool toFile, int width,
                         int height, qsizetype count)
    : m_out(out), m_facts(facts), m_toFile(toFile), m_count(count),
      m_plan(std::make_unique<PackingPlan>(out.layout, width, height)),
      m_encoder(toFile ? "GB18030" : "UTF-8"),
      m_items(out.layout.IsWindowLayout() ? QString() : LayoutItems(out.layout)),
      m_packed(m_plan->ByteCount(), Qt::Uninitialized) {}

TableStream::~TableStream() = default;

QByteArray TableStream::Begin() {
    switch (m_out.format) {
    case Format::C:
        return beginC();
    case Format::Asm:
        return beginAsm();
    case Format::Text:
    case Format::Hex:
    case Format::Bin:
    case Format::Gfx:
        break;
    }
    return {};
}

QByteArray TableStream::Add(const Glyph& g) {
    m_plan->PackInto(g.dots, m_packed.data());
    m_keys.push_back(IndexKey(g, m_out.index));
    m_advances.push_back(std::uint8_t(advanceOf(g)));
    ++m_added;
    switch (m_out.format) {
    case Format::Text: {
        // Each glyph as the window's code text; a layout the window does not have is named.
        const QString text = (m_added > 1 ? QStringLiteral("\r\n\r\n") : QString()) +
                             WindowCodeText(m_packed, m_out.asm51, g.subject, m_items);
        return encode(text);
    }
    case Format::C:
        return glyphC(g);
    case Format::Asm:
        return glyphAsm(g);
    case Format::Hex:
        m_pending += m_packed;
        return hexRecords(false);
    case Format::Bin:
    case Format::Gfx:
        break;
    }
    return m_packed;
}

QByteArray TableStream::End() {
    switch (m_out.format) {
    case Format::Text:
        // A file is what the window saves (one line end more); standard output is the code
        // view's text as it is.
        return m_toFile ? encode(QStringLiteral("\r\n")) : QByteArray();
    case Format::C:
        return endC();
    case Format::Asm:
        return endAsm();
    case Format::Hex:
        return hexRecords(true) + hexRecord(1, 0, {});
    case Format::Bin:
    case Format::Gfx:
        break;
    }
    return {};
}

QByteArray TableStream::encode(const QString& text) {
    QByteArray bytes = m_encoder.encode(text);
    if (m_toFile && (!m_encoder.isValid() || m_encoder.hasError()))
        throw platform::PlatformError(platform::kErrDeviceIO,
                                      QStringLiteral("The text cannot be written as GB18030"));
    return bytes;
}

bool TableStream::wideIndex() const {
    return std::any_of(m_keys.begin(), m_keys.end(), [](unsigned k) { return k > 0xFFFF; });
}

QByteArray TableStream::beginC() const {
    const QString upper = m_out.name.toUpper();
    const CStorage storage = storageOf(m_out);
    QString s = QStringLiteral("/*\n");
    for (const QString& line : TableHeaderLines(m_count, *m_plan, m_out, m_facts))
        s += QStringLiteral(" * ") + line + QLatin1Char('\n');
    s += QStringLiteral(" */\n#ifndef POINTILLO_%1_H\n#define POINTILLO_%1_H\n\n").arg(upper);
    if (m_out.dialect == Dialect::C99)
        s += QStringLiteral("#include <stdint.h>\n\n");
    else if (m_out.dialect == Dialect::Arduino)
        s += QStringLiteral("#include <stdint.h>\n#include <avr/pgmspace.h>\n\n");
    s += QStringLiteral("#define %1_WIDTH %2\n#define %1_HEIGHT %3\n#define %1_BYTES %4\n"
                        "#define %1_COUNT %5\n\n")
             .arg(upper)
             .arg(m_plan->Width())
             .arg(m_plan->Height())
             .arg(m_plan->ByteCount())
             .arg(m_count);
    s += QStringLiteral("%1%2 %3[%4][%5]%6 = {\n")
             .arg(storage.prefix + storage.at, storage.byteType, m_out.name)
             .arg(m_count)
             .arg(m_plan->ByteCount())
             .arg(storage.suffix);
    return s.toUtf8();
}

QByteArray TableStream::glyphC(const Glyph& g) const {
    QString s = QStringLiteral("    /* %1 */\n    {").arg(GlyphLabel(g));
    for (qsizetype k = 0; k < m_packed.size(); ++k) {
        if (k)
            s += QLatin1Char(',');
        AppendCodeByte(s, quint8(m_packed[k]), false);
    }
    s += QStringLiteral("},\n");
    return s.toUtf8();
}

QByteArray TableStream::endC() const {
    const CStorage storage = storageOf(m_out);
    QString s = QStringLiteral("};\n");
    if (m_out.proportional) {
        s += QStringLiteral("\n%1%2 %3_width[%4]%5 = {")
                 .arg(storage.prefix, storage.byteType, m_out.name)
                 .arg(m_count)
                 .arg(storage.suffix);
        for (std::size_t k = 0; k < m_advances.size(); ++k)
            s += (k % 16 ? QStringLiteral(", ") : QString::fromLatin1(k ? ",\n    " : "\n    ")) +
                 QString::number(m_advances[k]);
        s += QStringLiteral("\n};\n");
    }
    if (m_out.index != IndexKind::None) {
        const bool wide = wideIndex();
        s += QStringLiteral("\n%1%2 %3_index[%4]%5 = {")
                 .arg(storage.prefix, wide ? storage.longType : storage.wordType, m_out.name)
                 .arg(m_count)
                 .arg(storage.suffix);
        for (std::size_t k = 0; k < m_keys.size(); ++k) {
            if (k)
                s += QLatin1Char(',');
            s += (k % 8 ? QStringLiteral(" 0x") : QStringLiteral("\n    0x")) +
                 HexWord(m_keys[k], wide ? 6 : 4);
        }
        s += QStringLiteral("\n};\n");
    }
    s += QStringLiteral("\n#endif\n");
    return s.toUtf8();
}

QString TableStream::db() const {
    return m_out.dialect == Dialect::Keil ? QStringLiteral("DB") : QStringLiteral(".db");
}

QByteArray TableStream::beginAsm() const {
    const QString upper = m_out.name.toUpper();
    const bool keil = m_out.dialect == Dialect::Keil;
    QString s;
    for (const QString& line : TableHeaderLines(m_count, *m_plan, m_out, m_facts))
        s += QStringLiteral("; ") + line + QLatin1Char('\n');
    const auto equ = [&](const char* what, qsizetype value) {
        s += keil
                 ? QStringLiteral("%1_%2\tEQU\t%3\n").arg(upper, QLatin1String(what)).arg(value)
                 : QStringLiteral("\t.equ\t%1_%2, %3\n").arg(upper, QLatin1String(what)).arg(value);
    };
    equ("WIDTH", m_plan->Width());
    equ("HEIGHT", m_plan->Height());
    equ("BYTES", m_plan->ByteCount());
    equ("COUNT", m_count);
    if (m_out.origin)
        s += QStringLiteral("\t%1\t%2H\n")
                 .arg(keil ? QStringLiteral("ORG") : QStringLiteral(".org"),
                      QLatin1Char('0') + HexWord(*m_out.origin, 4));
    s += m_out.name + QStringLiteral(":\n");
    return s.toUtf8();
}

QByteArray TableStream::glyphAsm(const Glyph& g) const {
    QString s = QStringLiteral("; %1\n").arg(GlyphLabel(g));
    for (qsizetype k = 0; k < m_packed.size(); k += kBytesPerLine)
        appendDataLine(s, m_packed, k, std::min(m_packed.size(), k + kBytesPerLine), db());
    return s.toUtf8();
}

QByteArray TableStream::endAsm() const {
    QString s;
    if (m_out.proportional) {
        s += m_out.name + QStringLiteral("_width:\n");
        const QByteArray widths(reinterpret_cast<const char*>(m_advances.data()),
                                qsizetype(m_advances.size()));
        for (qsizetype k = 0; k < widths.size(); k += kBytesPerLine)
            appendDataLine(s, widths, k, std::min(widths.size(), k + kBytesPerLine), db());
    }
    if (m_out.index != IndexKind::None) {
        // A key above 16 bits takes two words, high word first.
        const bool wide = wideIndex();
        const QString dw =
            m_out.dialect == Dialect::Keil ? QStringLiteral("DW") : QStringLiteral(".dw");
        const std::size_t count = m_keys.size();
        s += m_out.name + QStringLiteral("_index:\n");
        for (std::size_t k = 0; k < count; k += 8) {
            s += QStringLiteral("\t%1 ").arg(dw);
            for (std::size_t j = k; j < std::min(count, k + 8); ++j) {
                if (j > k)
                    s += QLatin1Char(',');
                if (wide)
                    s += QStringLiteral("0%1H,").arg(HexWord(m_keys[j] >> 16, 4));
                s += QStringLiteral("0%1H").arg(HexWord(m_keys[j] & 0xFFFF, 4));
            }
            s += QLatin1Char('\n');
        }
    }
    return s.toUtf8();
}

// Records of 16 bytes from the origin on; an extended linear address record whenever the upper
// 16 bits change; a record never runs over a 64 KiB boundary. Bytes that do not yet fill a
// record wait for the next glyph, unless this is the end.
QByteArray TableStream::hexRecords(bool end) {
    QByteArray hex;
    const unsigned origin = m_out.origin.value_or(0);
    qsizetype pos = 0;
    while (pos < m_pending.size()) {
        const unsigned address = origin + unsigned(m_hexDone + pos);
        const qsizetype n = std::min({qsizetype(kBytesPerLine), m_pending.size() - pos,
                                      qsizetype(0x10000 - (address & 0xFFFF))});
        const qsizetype wanted =
            std::min(qsizetype(kBytesPerLine), qsizetype(0x10000 - (address & 0xFFFF)));
        if (n < wanted && !end)
            break;
        if ((address >> 16) != m_hexUpper) {
            m_hexUpper = address >> 16;
            hex += hexRecord(4, 0, QByteArray::fromHex(HexWord(m_hexUpper, 4).toLatin1()));
        }
        hex += hexRecord(0, address & 0xFFFF, m_pending.mid(pos, n));
        pos += n;
    }
    m_pending.remove(0, pos);
    m_hexDone += pos;
    return hex;
}

unsigned IndexKey(const Glyph& glyph, IndexKind kind) {
    return IndexKey(glyph.codePoint, kind);
}

unsigned IndexKey(char32_t codePoint, IndexKind kind) {
    if (kind == IndexKind::Gb2312)
        return Gb2312Code(codePoint).value_or(0);
    return codePoint;
}

QByteArray WriteTable(const QList<Glyph>& glyphs, const TableOptions& out, const TableFacts& facts,
                      bool toFile) {
    if (out.format == Format::Gfx)
        return WriteGfxFont(glyphs, out, facts);
    const DotMatrix& first = glyphs.first().dots;
    TableStream stream(out, facts, toFile, first.width, first.height, glyphs.size());
    QByteArray bytes = stream.Begin();
    for (const Glyph& g : glyphs)
        bytes += stream.Add(g);
    return bytes + stream.End();
}

} // namespace pointillo
