#pragma once

#include "TableWriter.h"

namespace pointillo {

// The glyphs as the GFX font structure common Arduino display libraries take: the bitmaps of
// every glyph cropped to its ink, row after row with the first dot in bit 7 and padded only at
// the glyph's end; a GFXglyph record per code point from the first to the last (offset into
// the bitmaps, width, height, advance, and the ink's offset from the origin on the baseline);
// and a GFXfont. For the c99 and arduino dialects. Throws Error (status 2) for characters a
// GFX font cannot hold (above U+FFFF) or a matrix whose offsets do not fit its bytes.
QByteArray WriteGfxFont(const QList<Glyph>& glyphs, const TableOptions& out,
                        const TableFacts& facts);

} // namespace pointillo
