#pragma once

#include "DotMatrix.h"
#include "Layout.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace pointillo {

// The matrix size and layout of the glyphs in an input.
struct ReadLayout {
    int width = 16;
    int height = 16;
    Layout layout;
};

struct ReadResult {
    QList<Glyph> glyphs;
    ReadLayout layout;
};

// The bytes of an input as they stand, before any layout is applied.
struct CodeBytes {
    QByteArray bytes;
    QList<Glyph> named; // what each glyph shows, when the input's comments say; no dots
    // The size and layout the input's own header names, over base where it names only part.
    std::optional<ReadLayout> tagged;
};

// Reads the bytes of what ReadCode reads (the same formats), without cutting them into glyphs.
// Throws Error (status 1) for a value that is not a byte or a damaged Intel HEX record; an input
// without bytes gives none.
CodeBytes ReadCodeBytes(const QByteArray& data, const QString& name,
                        const ReadLayout& base = ReadLayout{});

// Reads glyphs back from what this program writes (window text, .dot, c, asm, Intel HEX, bin)
// or from other tools' C or assembler source: the initialisers of byte arrays whatever their
// type name, in hexadecimal, decimal, octal or binary. The size and layout come from the
// input's own header where it names them, else from fallback. name is the input's name for
// messages and for telling a binary file by its extension. Throws Error (status 1) for an input
// that holds no glyph, a value that is not a byte, or a byte count that does not fill whole
// glyphs.
ReadResult ReadCode(const QByteArray& data, const QString& name, const ReadLayout& fallback);

} // namespace pointillo
