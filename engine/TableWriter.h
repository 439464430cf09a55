#pragma once

#include "DotMatrix.h"
#include "Layout.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringEncoder>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace pointillo {

// gfx: the GFX font structure of Arduino display libraries, for the c99 and arduino dialects.
enum class Format { Text, C, Asm, Hex, Bin, Gfx };
// keil and sdcc for the 8051; c99 for any C compiler; arduino for avr-gcc with PROGMEM.
enum class Dialect { Keil, Sdcc, C99, Arduino };
enum class IndexKind { Unicode, Gb2312, None };

// How a table is written.
struct TableOptions {
    Layout layout;
    bool asm51 = true; // the syntax of the text format
    Format format = Format::Text;
    Dialect dialect = Dialect::Keil;
    QString name = QStringLiteral("font");
    IndexKind index = IndexKind::Unicode;
    std::optional<unsigned> origin;
    QString command; // the command line that made the table, for its header
    // c and asm tables gain the advance of every glyph, in table order.
    bool proportional = false;
    int baseline = 0; // the line of the baseline, for the offsets of a gfx font
};

// What the header of a table names besides the glyphs themselves.
struct TableFacts {
    QString face;         // the face used, and the one asked for
    QString glyphOptions; // how the glyphs were drawn, in option form
};

// The whole output of a table in the chosen format, as the bytes to write. The glyphs all have
// the first one's size. toFile: a text table is written as the window saves a .dot file.
QByteArray WriteTable(const QList<Glyph>& glyphs, const TableOptions& out, const TableFacts& facts,
                      bool toFile);

class PackingPlan;

// A table of count glyphs of width x height dots written as its glyphs come, in table order:
// Begin, then Add for every glyph, then End give the bytes WriteTable gives, and it keeps only
// what the end needs (each glyph's index key and advance). Not for the gfx format, whose
// records need every glyph's ink first.
class TableStream {
public:
    TableStream(const TableOptions& out, const TableFacts& facts, bool toFile, int width,
                int height, qsizetype count);
    ~TableStream();

    QByteArray Begin();
    QByteArray Add(const Glyph& g);
    QByteArray End();

private:
    QByteArray encode(const QString& text);
    bool wideIndex() const;
    QByteArray beginC() const;
    QByteArray glyphC(const Glyph& g) const;
    QByteArray endC() const;
    QString db() const;
    QByteArray beginAsm() const;
    QByteArray glyphAsm(const Glyph& g) const;
    QByteArray endAsm() const;
    QByteArray hexRecords(bool end);

    TableOptions m_out;
    TableFacts m_facts;
    bool m_toFile;
    qsizetype m_count;
    std::unique_ptr<PackingPlan> m_plan;
    QStringEncoder m_encoder;
    QString m_items;
    QByteArray m_packed;
    qsizetype m_added = 0;
    std::vector<unsigned> m_keys;
    std::vector<std::uint8_t> m_advances;
    QByteArray m_pending; // table bytes not yet in a HEX record
    qint64 m_hexDone = 0;
    unsigned m_hexUpper = 0;
};

// The comment lines at the head of a c or asm table: its size, its layout, the face, the options
// and the command that made it.
QStringList TableHeaderLines(qsizetype count, const PackingPlan& plan, const TableOptions& out,
                             const TableFacts& facts);

// The key a glyph is indexed by: its code point, or its GB2312 code.
unsigned IndexKey(const Glyph& glyph, IndexKind kind);
unsigned IndexKey(char32_t codePoint, IndexKind kind);

} // namespace pointillo
