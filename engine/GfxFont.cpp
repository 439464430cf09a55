#include "GfxFont.h"

#include "Error.h"
#include "Packing.h"
#include "TableText.h"

#include <QMap>
#include <QRect>

#include <algorithm>

namespace pointillo {

namespace {

// The ink of a glyph: the smallest rectangle holding every lit dot; empty for a blank glyph.
QRect inkOf(const DotMatrix& dots) {
    QRect ink;
    for (int y = 0; y < dots.height; ++y)
        for (int x = 0; x < dots.width; ++x)
            if (dots.At(x, y))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

DotMatrix crop(const DotMatrix& dots, const QRect& ink) {
    DotMatrix part(ink.width(), ink.height());
    for (int y = 0; y < ink.height(); ++y)
        for (int x = 0; x < ink.width(); ++x)
            part.Set(x, y, dots.At(ink.left() + x, ink.top() + y));
    return part;
}

struct Record {
    int offset = 0;
    QRect ink;
    int advance = 0;
    QString label;
};

[[noreturn]] void refuse(const QString& why) {
    throw Error{2, QStringLiteral("--format gfx: %1").arg(why)};
}

} // namespace

QByteArray WriteGfxFont(const QList<Glyph>& glyphs, const TableOptions& out,
                        const TableFacts& facts) {
    const Layout gfx = *ParseLayout(QStringLiteral("gfx"), nullptr);
    const DotMatrix& first = glyphs.first().dots;
    if (first.width > 127 || first.height > 127)
        refuse(QStringLiteral("a GFX glyph's offsets are bytes; give a matrix of at most 127 "
                              "dots each way"));
    QMap<char32_t, const Glyph*> byCode;
    for (const Glyph& g : glyphs) {
        if (!g.codePoint || g.codePoint > 0xFFFF)
            refuse(QStringLiteral("a GFX font holds characters from U+0000 to U+FFFF"));
        byCode.insert(g.codePoint, &g);
    }
    QByteArray bitmaps;
    QList<Record> records;
    const char32_t low = byCode.firstKey();
    const char32_t high = byCode.lastKey();
    for (char32_t cp = low; cp <= high; ++cp) {
        const Glyph* g = byCode.value(cp);
        Record r{int(bitmaps.size()), {}, 0, {}};
        if (g) {
            r.ink = inkOf(g->dots);
            r.advance = out.proportional ? std::clamp(g->advance, 0, 255) : g->dots.width;
            r.label = GlyphLabel(*g);
            if (!r.ink.isEmpty()) {
                const DotMatrix part = crop(g->dots, r.ink);
                bitmaps += PackingPlan(gfx, part.width, part.height).Pack(part);
            }
        }
        if (bitmaps.size() > 0xFFFF)
            refuse(QStringLiteral("the bitmaps pass the 64 KiB a GFX font can address"));
        records.append(r);
    }
    const bool arduino = out.dialect == Dialect::Arduino;
    const QString progmem = arduino ? QStringLiteral(" PROGMEM") : QString();
    TableOptions described = out;
    described.layout = gfx;
    QString s = QStringLiteral("/*\n");
    for (const QString& line : TableHeaderLines(
             glyphs.size(), PackingPlan(gfx, first.width, first.height), described, facts))
        s += QStringLiteral(" * ") + line + QLatin1Char('\n');
    s += QStringLiteral(" * a GFX font: each glyph cropped to its ink, offsets from the origin on "
                        "the baseline\n */\n");
    const QString upper = out.name.toUpper();
    s += QStringLiteral("#ifndef POINTILLO_%1_H\n#define POINTILLO_%1_H\n\n#include <stdint.h>\n")
             .arg(upper);
    if (arduino)
        s += QStringLiteral("#include <avr/pgmspace.h>\n");
    // The display libraries declare these in gfxfont.h, under this guard.
    s += QStringLiteral("\n#ifndef _GFXFONT_H_\n#define _GFXFONT_H_\ntypedef struct {\n"
                        "    uint16_t bitmapOffset;\n    uint8_t width;\n    uint8_t height;\n"
                        "    uint8_t xAdvance;\n    int8_t xOffset;\n    int8_t yOffset;\n"
                        "} GFXglyph;\ntypedef struct {\n    uint8_t *bitmap;\n"
                        "    GFXglyph *glyph;\n    uint16_t first;\n    uint16_t last;\n"
                        "    uint8_t yAdvance;\n} GFXfont;\n#endif\n\n");
    s += QStringLiteral("static const uint8_t %1Bitmaps[]%2 = {").arg(out.name, progmem);
    for (qsizetype k = 0; k < bitmaps.size(); ++k)
        s += (k % 16 ? QStringLiteral(", 0x") : QString::fromLatin1(k ? ",\n    0x" : "\n    0x")) +
             HexWord(quint8(bitmaps[k]), 2);
    if (bitmaps.isEmpty())
        s += QStringLiteral("\n    0x00"); // C has no empty arrays
    s += QStringLiteral("\n};\n\nstatic const GFXglyph %1Glyphs[]%2 = {\n").arg(out.name, progmem);
    for (const Record& r : records) {
        s += QStringLiteral("    {%1, %2, %3, %4, %5, %6},")
                 .arg(r.offset)
                 .arg(r.ink.width())
                 .arg(r.ink.height())
                 .arg(r.advance)
                 .arg(r.ink.isEmpty() ? 0 : r.ink.left())
                 .arg(r.ink.isEmpty() ? 0 : r.ink.top() - out.baseline);
        s += r.label.isEmpty() ? QStringLiteral("\n") : QStringLiteral(" /* %1 */\n").arg(r.label);
    }
    s += QStringLiteral("};\n\nstatic const GFXfont %1%2 = {(uint8_t *)%1Bitmaps, "
                        "(GFXglyph *)%1Glyphs, 0x%3, 0x%4, %5};\n\n#endif\n")
             .arg(out.name, progmem, HexWord(low, 4), HexWord(high, 4))
             .arg(first.height);
    return s.toUtf8();
}

} // namespace pointillo
