#include "Layout.h"

#include <QRegularExpression>
#include <QStringList>

namespace pointillo {

namespace {

// The largest band and module a matrix of 1 to 254 dots can use.
constexpr int kMaxDots = 254;

// Items a preset leaves unnamed take these.
Layout presetBase() {
    Layout l;
    l.shortWord = Layout::Short::High;
    return l;
}

bool applyItem(Layout& l, const QString& item, QString* error) {
    const qsizetype eq = item.indexOf(QLatin1Char('='));
    const QString key = eq < 0 ? item : item.left(eq);
    const QString value = eq < 0 ? QString() : item.mid(eq + 1);
    const auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("layout item '%1': %2").arg(item, why);
        return false;
    };
    const auto count = [&](int low, int high, int& into) {
        bool ok = false;
        const int n = value.toInt(&ok);
        if (!ok || n < low || n > high)
            return fail(QStringLiteral("give a whole number from %1 to %2").arg(low).arg(high));
        into = n;
        return true;
    };
    const auto pick = [&](const char* a, const char* b, auto first, auto second, auto& into) {
        if (value == QLatin1String(a))
            into = first;
        else if (value == QLatin1String(b))
            into = second;
        else
            return fail(QStringLiteral("give %1 or %2").arg(QLatin1String(a), QLatin1String(b)));
        return true;
    };
    if (eq < 0) {
        if (key == QLatin1String("flip-x"))
            l.flipX = true;
        else if (key == QLatin1String("flip-y"))
            l.flipY = true;
        else if (key == QLatin1String("serpentine"))
            l.serpentine = true;
        else if (key == QLatin1String("invert"))
            l.invert = true;
        else {
            for (const LayoutPreset& p : LayoutPresets())
                if (p.name == key) {
                    l = *ParseLayout(p.items, nullptr, presetBase());
                    return true;
                }
            return fail(QStringLiteral("not an item or a preset (pointillo --list-layouts)"));
        }
        return true;
    }
    if (key == QLatin1String("scan"))
        return pick("rows", "columns", Layout::Scan::Rows, Layout::Scan::Columns, l.scan);
    if (key == QLatin1String("band"))
        return count(0, kMaxDots, l.band);
    if (key == QLatin1String("bits"))
        return pick("msb", "lsb", Layout::Bits::Msb, Layout::Bits::Lsb, l.bits);
    if (key == QLatin1String("word")) {
        if (value != QLatin1String("8") && value != QLatin1String("16") &&
            value != QLatin1String("32"))
            return fail(QStringLiteral("give 8, 16 or 32"));
        l.word = value.toInt();
        return true;
    }
    if (key == QLatin1String("endian"))
        return pick("big", "little", Layout::Endian::Big, Layout::Endian::Little, l.endian);
    if (key == QLatin1String("pad"))
        return pick("line", "glyph", Layout::Pad::Line, Layout::Pad::Glyph, l.pad);
    if (key == QLatin1String("short"))
        return pick("low", "high", Layout::Short::Low, Layout::Short::High, l.shortWord);
    if (key == QLatin1String("modules")) {
        static const QRegularExpression form(QStringLiteral("^(\\d{1,3})x(\\d{1,3})$"));
        const QRegularExpressionMatch m = form.match(value);
        const int w = m.hasMatch() ? m.captured(1).toInt() : 0;
        const int h = m.hasMatch() ? m.captured(2).toInt() : 0;
        if (w < 1 || h < 1 || w > kMaxDots || h > kMaxDots)
            return fail(QStringLiteral("give WxH, each from 1 to %1").arg(kMaxDots));
        l.module = QSize(w, h);
        return true;
    }
    return fail(QStringLiteral("not an item or a preset (pointillo --list-layouts)"));
}

} // namespace

Layout Layout::Row() {
    return {};
}

Layout Layout::Column() {
    Layout l;
    l.scan = Scan::Columns;
    return l;
}

const QList<LayoutPreset>& LayoutPresets() {
    static const QList<LayoutPreset> presets{
        {QStringLiteral("row"), QStringLiteral("scan=rows,bits=msb,word=8,pad=line,short=low"),
         QStringLiteral("the window's row-wise code: eight dots of a row per byte, left dot "
                        "highest, a short last group in the low bits")},
        {QStringLiteral("column"),
         QStringLiteral("scan=columns,bits=msb,word=8,pad=line,short=low"),
         QStringLiteral("the window's column-wise code: eight dots of a column per byte, top dot "
                        "highest, a short last group in the low bits")},
        {QStringLiteral("ssd1306"), QStringLiteral("scan=columns,band=8,bits=lsb"),
         QStringLiteral("SSD1306, SH1106, TM1640 and most graphic LCDs (KS0108, ST7565, "
                        "PCD8544): 8-line pages, one byte a column, top dot in bit 0 (SSD1306 "
                        "datasheet, page addressing)")},
        {QStringLiteral("max7219"), QStringLiteral("modules=8x8,scan=rows,bits=msb"),
         QStringLiteral("MAX7219 FC-16 modules: one byte per row of each 8 x 8 module, left "
                        "dot in bit 7 (digit register = row, segment DP..G = columns)")},
        {QStringLiteral("max7219-parola"), QStringLiteral("modules=8x8,scan=rows,bits=lsb"),
         QStringLiteral("MAX7219 modules wired as the Parola library's PAROLA_HW: row bytes, "
                        "left dot in bit 0")},
        {QStringLiteral("max7219-icstation"),
         QStringLiteral("modules=8x8,scan=rows,bits=lsb,flip-y"),
         QStringLiteral("MAX7219 modules wired as ICSTATION_HW: row bytes, left dot in bit 0, "
                        "bottom row first")},
        {QStringLiteral("max7219-generic"),
         QStringLiteral("modules=8x8,scan=columns,bits=msb,flip-x"),
         QStringLiteral("generic MAX7219 modules (digit = column, DP = top): column bytes, top "
                        "dot in bit 7, columns right to left")},
        {QStringLiteral("p10"), QStringLiteral("scan=rows,bits=msb,invert"),
         QStringLiteral("P10 / HUB12 boards: row-major, left dot in bit 7, a lit LED is 0 (the "
                        "driver interleaves the scan rows itself)")},
        {QStringLiteral("st7920"), QStringLiteral("scan=rows,bits=msb,word=16,endian=big"),
         QStringLiteral("ST7920 graphic RAM: rows in 16-dot words, left dot in bit 15, high "
                        "byte written first (ST7920 datasheet, graphic display RAM)")},
        {QStringLiteral("bdf"), QStringLiteral("scan=rows,bits=msb,short=high"),
         QStringLiteral("BDF BITMAP rows and most bitmap font code: rows padded to a byte, left "
                        "dot in bit 7")},
        {QStringLiteral("gfx"), QStringLiteral("scan=rows,bits=msb,pad=glyph,short=high"),
         QStringLiteral("the GFX font bitmaps of Arduino display libraries: rows run on, left "
                        "dot in bit 7, padded only at the glyph's end")},
    };
    return presets;
}

std::optional<Layout> ParseLayout(const QString& text, QString* error, const Layout& base) {
    Layout l = base;
    const QStringList items = text.split(QLatin1Char(','));
    for (const QString& raw : items) {
        const QString item = raw.trimmed();
        if (item.isEmpty()) {
            if (error)
                *error = QStringLiteral("layout '%1' has an empty item").arg(text);
            return std::nullopt;
        }
        if (!applyItem(l, item, error))
            return std::nullopt;
    }
    return l;
}

QString LayoutItems(const Layout& l) {
    QStringList items;
    if (!l.module.isEmpty())
        items << QStringLiteral("modules=%1x%2").arg(l.module.width()).arg(l.module.height());
    items << (l.scan == Layout::Scan::Rows ? QStringLiteral("scan=rows")
                                           : QStringLiteral("scan=columns"));
    if (l.flipX)
        items << QStringLiteral("flip-x");
    if (l.flipY)
        items << QStringLiteral("flip-y");
    if (l.serpentine)
        items << QStringLiteral("serpentine");
    items << QStringLiteral("band=%1").arg(l.band)
          << (l.bits == Layout::Bits::Msb ? QStringLiteral("bits=msb") : QStringLiteral("bits=lsb"))
          << QStringLiteral("word=%1").arg(l.word)
          << (l.endian == Layout::Endian::Big ? QStringLiteral("endian=big")
                                              : QStringLiteral("endian=little"))
          << (l.pad == Layout::Pad::Line ? QStringLiteral("pad=line") : QStringLiteral("pad=glyph"))
          << (l.shortWord == Layout::Short::Low ? QStringLiteral("short=low")
                                                : QStringLiteral("short=high"));
    if (l.invert)
        items << QStringLiteral("invert");
    return items.join(QLatin1Char(','));
}

QString PresetName(const Layout& layout) {
    for (const LayoutPreset& p : LayoutPresets())
        if (*ParseLayout(p.name, nullptr) == layout)
            return p.name;
    return {};
}

QString DescribeLayout(const Layout& l) {
    const bool rows = l.scan == Layout::Scan::Rows;
    QStringList parts;
    if (!l.module.isEmpty())
        parts << QStringLiteral("%1 x %2 modules in reading order, each")
                     .arg(l.module.width())
                     .arg(l.module.height());
    if (l.flipX || l.flipY)
        parts << QStringLiteral("mirrored %1")
                     .arg(l.flipX && l.flipY ? QStringLiteral("both ways")
                          : l.flipX          ? QStringLiteral("left to right")
                                             : QStringLiteral("top to bottom"));
    if (l.band > 0)
        parts << QStringLiteral("in stripes of %1 %2, %3 first, each %4 after %4 of %1 dots")
                     .arg(l.band)
                     .arg(rows ? QStringLiteral("columns") : QStringLiteral("rows"),
                          rows ? QStringLiteral("left") : QStringLiteral("top"),
                          rows ? QStringLiteral("row") : QStringLiteral("column"));
    else
        parts << (rows ? QStringLiteral("row after row from the top, each from the left")
                       : QStringLiteral("column after column from the left, each from the top"));
    if (l.serpentine)
        parts << QStringLiteral("every second line reversed");
    const QString first = l.bits == Layout::Bits::Msb
                              ? QStringLiteral("first dot in bit %1").arg(l.word - 1)
                              : QStringLiteral("first dot in bit 0");
    parts << QStringLiteral("%1-bit words%2, %3")
                 .arg(l.word)
                 .arg(l.word > 8
                          ? (l.endian == Layout::Endian::Big ? QStringLiteral(" high byte first")
                                                             : QStringLiteral(" low byte first"))
                          : QString(),
                      first);
    parts << (l.pad == Layout::Pad::Line ? QStringLiteral("each line starts a word")
                                         : QStringLiteral("lines run on, padded at the end"));
    if (l.bits == Layout::Bits::Msb)
        parts << (l.shortWord == Layout::Short::Low
                      ? QStringLiteral("a short last word in the low bits")
                      : QStringLiteral("a short last word in the high bits"));
    parts << (l.invert ? QStringLiteral("a lit dot is 0") : QStringLiteral("a lit dot is 1"));
    return parts.join(QStringLiteral("; "));
}

} // namespace pointillo
