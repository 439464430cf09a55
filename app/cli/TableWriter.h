#pragma once

#include "CliOptions.h"
#include "DotMatrix.h"

#include <QByteArray>
#include <QList>

#include <functional>

namespace pointillo {

// What the header of a table names besides the glyphs themselves.
struct TableFacts {
    QString face;         // the face used, and the one asked for
    QString glyphOptions; // how the glyphs were drawn, in option form
};

// The first comment line of every c and asm table: the reader finds the layout in it.
QString LayoutTag(int lines, int rows, bool rowWise);

// The code text of one glyph as the window writes it, from the control's dots.
using CodeTextOf = std::function<QString(const Glyph&)>;

// The whole output of a table in the chosen format, as the bytes to write.
QByteArray WriteTable(const QList<Glyph>& glyphs, const OutputOptions& out, const TableFacts& facts,
                      bool toFile, const CodeTextOf& codeText);

// The key a glyph is indexed by: its code point, or its GB2312 code.
unsigned IndexKey(const Glyph& glyph, IndexKind kind);

} // namespace pointillo
