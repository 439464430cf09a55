#pragma once

#include <QList>
#include <QSize>
#include <QString>

#include <optional>

namespace pointillo {

// How the dots of a glyph become bytes. A layout is written as a comma-separated list of items
// applied left to right over the row layout; a preset name starts afresh from that preset:
//
//   scan=rows|columns   a line is a row (left to right, lines top to bottom) or a column (top
//                       to bottom, lines left to right)
//   flip-x, flip-y      mirror the glyph (each module) before it is scanned
//   serpentine          every second line of a band is scanned in reverse
//   band=N              cut the lines into stripes N dots wide across the scan (pages); 0: none
//   bits=msb|lsb        the first dot of a word goes to its highest bit, or to bit 0
//   word=8|16|32        word size; endian=big|little orders the bytes of a wider word
//   pad=line|glyph      each line (band segment) starts a new word, or the dots run on
//   short=low|high      a last word of n < word dots keeps them, with bits=msb, in its low n
//                       bits or in its high bits as if the word went on
//   invert              a lit dot is 0 (padding stays 0)
//   modules=WxH         cut the glyph into W x H modules, emitted in reading order
//
// Worked through by hand: the 10-dot row "#.#.#.#.##" in the row layout gives the words
// 10101010 and, short and low, 00000011: 0xAA, 0x03. With short=high the second is 11000000,
// 0xC0; with bits=lsb the first is 01010101, 0x55.
struct Layout {
    enum class Scan { Rows, Columns };
    enum class Bits { Msb, Lsb };
    enum class Endian { Big, Little };
    enum class Pad { Line, Glyph };
    enum class Short { Low, High };

    Scan scan = Scan::Rows;
    bool flipX = false;
    bool flipY = false;
    bool serpentine = false;
    int band = 0;
    Bits bits = Bits::Msb;
    int word = 8;
    Endian endian = Endian::Big;
    Pad pad = Pad::Line;
    Short shortWord = Short::Low;
    bool invert = false;
    QSize module; // empty: the glyph is one module

    bool operator==(const Layout&) const = default;

    // The window's two code models.
    static Layout Row();
    static Layout Column();
    bool IsWindowLayout() const { return *this == Row() || *this == Column(); }
};

struct LayoutPreset {
    QString name;
    QString items;    // as written after the name in --list-layouts
    QString displays; // what it is for, and where the layout comes from
};

const QList<LayoutPreset>& LayoutPresets();

// Reads a layout written as above, starting from base. On a fault returns nothing and sets
// error to a message that names the item.
std::optional<Layout> ParseLayout(const QString& text, QString* error,
                                  const Layout& base = Layout::Row());

// Every item of the layout, in a form ParseLayout reads back to the same layout.
QString LayoutItems(const Layout& layout);

// The name of the preset that is exactly this layout, or an empty string.
QString PresetName(const Layout& layout);

// The layout in words, for the header of a table.
QString DescribeLayout(const Layout& layout);

} // namespace pointillo
