#pragma once

#include "DotMatrix.h"
#include "Layout.h"
#include "Packing.h"

#include <QByteArrayView>
#include <QList>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

namespace pointillo {

// Guessing the layout of bytes: every layout the grammar writes with the items
//
//   scan=rows|columns, flip-x, flip-y, serpentine, band=0|8, bits=msb|lsb, word=8|16|32 with
//   endian=big|little for 16 and 32, pad=line|glyph, short=low|high, invert, modules=8x8
//
// is tried, each distinct bit mapping once (layouts whose plans take every bit from the same dot,
// with the same inversion, read any bytes alike). Pure functions over bytes and dots, no I/O.

// The smallest and largest glyph side a size search tries.
inline constexpr int kGuessMinSide = 5;
inline constexpr int kGuessMaxSide = 32;

// One way of reading bytes: a layout at a size, written as simply as its mapping allows.
struct LayoutReading {
    Layout layout;  // the layout with the fewest items that differ from the row layout
    QString name;   // as --layout takes it: a preset with this mapping, else those items
    int simplicity; // 2 per item that differs from row; a preset costs 1 (row 0)
    int order;      // place in the enumeration, the last tie-break
    PackingPlan plan;
};

// The bytes one glyph of width x height takes in layout: PackingPlan's ByteCount without the plan.
int LayoutByteCount(const Layout& layout, int width, int height);

// The distinct byte counts of a width x height glyph over every layout tried.
QList<int> LayoutByteCounts(int width, int height);

// The items of layout that differ from the row layout, comma-separated ("" for row itself).
QString ChangedItems(const Layout& layout);

// Every distinct bit mapping at width x height, simplest first; with fits, only the layouts
// whose glyph takes a byte count it accepts.
std::vector<LayoutReading> DistinctReadings(int width, int height,
                                      const std::function<bool(int)>& fits = {});

// The sizes from kGuessMinSide to kGuessMaxSide each way at which some layout takes
// bytesPerGlyph bytes for a glyph, smallest area first.
QList<QSize> FittingSizes(int bytesPerGlyph);

// How unlike a glyph the dots look: 0 for none of the faults, higher for more isolated dots,
// more 4-connected pieces of ink, more dots that differ from both neighbours along a row or a
// column, and above all for more ink than background.
double Oddness(const DotMatrix& dots);

struct GuessEntry {
    LayoutReading reading;
    QList<DotMatrix> glyphs; // the bytes read so, glyph after glyph
    qint64 agree = 0;        // GuessLike: dots that agree with the expected glyphs
    qint64 dots = 0;         // GuessLike: dots compared
    double oddness = 0;      // GuessBlind: mean Oddness of the glyphs
    qint64 strayBits = 0;    // set bits where the layout pads (a layout that made them clears)

    double Agreement() const { return dots ? double(agree) / double(dots) : 0.0; }
};

struct GuessResult {
    std::vector<GuessEntry> ranked; // best first
    qsizetype readings = 0;   // distinct (layout, size) readings tried
    qsizetype pictures = 0;   // GuessBlind: distinct pictures among the readings shown from
};

// Ranks the readings of bytes by how many dots agree with the glyphs they should show. Each
// element of expected is one size to try: as many glyphs, all of one size, as the bytes hold;
// sizes whose byte count does not divide the bytes that way are skipped. Ties go to fewer
// stray bits, then the simpler layout. Keeps the best keep.
GuessResult GuessLike(QByteArrayView bytes, const QList<QList<DotMatrix>>& expected, int keep);

// Ranks the readings of bytes at each size (as many glyphs as the byte count divides into) by
// Oddness, ties to the simpler layout; readings with stray bits only when no other remains.
// Readings that show the same pictures count once. Keeps the best keep.
GuessResult GuessBlind(QByteArrayView bytes, const QList<QSize>& sizes, int keep);

} // namespace pointillo
