#pragma once

#include "DotMatrix.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace pointillo {

// The matrix size and scanning order of the glyphs in an input.
struct ReadLayout {
    int lines = 16;
    int rows = 16;
    bool rowWise = true;
};

struct ReadResult {
    QList<Glyph> glyphs;
    ReadLayout layout;
};

// Reads glyphs back from what this program writes (window text, .dot, c, asm, Intel HEX, bin)
// or from C or assembler source holding byte lists in hexadecimal, decimal or binary. The
// layout comes from the input's own header when it names one, else from fallback. name is the
// input's name for messages and for telling a binary file by its extension. Throws CliError
// (status 1) for an input that holds no glyph, a value that is not a byte, or a byte count that
// does not fill whole glyphs.
ReadResult ReadCode(const QByteArray& data, const QString& name, const ReadLayout& fallback);

} // namespace pointillo
