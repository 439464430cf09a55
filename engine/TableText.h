#pragma once

#include "DotMatrix.h"

#include <QString>

namespace pointillo {

// Pieces of text every table writer uses.

// Paths and arguments go into comments: nothing in them may end the comment or its line.
QString CommentSafe(QString text);

// The character as a comment shows it ("\"A\" U+0041"); controls and the comment's own closers
// are left out.
QString GlyphLabel(const Glyph& g);

// value in capital hexadecimal, at least digits wide.
QString HexWord(unsigned value, int digits);

} // namespace pointillo
