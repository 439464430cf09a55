#pragma once

#include "DotMatrix.h"
#include "Layout.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <vector>

namespace pointillo {

// Where every bit of a glyph's bytes comes from, for one layout and one glyph size. Packing and
// unpacking both walk this one plan, so they cannot disagree. Make it once per table, not per
// glyph.
class PackingPlan {
public:
    PackingPlan(const Layout& layout, int width, int height);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int ByteCount() const { return m_byteCount; }
    const Layout& GetLayout() const { return m_layout; }

    // dots has the plan's size.
    QByteArray Pack(const DotMatrix& dots) const;
    void PackInto(const DotMatrix& dots, char* out) const;
    // bytes holds at least ByteCount() bytes; dots the bytes do not reach stay dark.
    DotMatrix Unpack(QByteArrayView bytes) const;

    // Every dot once (as y * width + x), in the order the layout scans them: a reader of dots
    // that must be asked one at a time asks in this order.
    const std::vector<int>& ScanOrder() const { return m_order; }

    // The dot of every bit of the bytes (y * width + x), eight per byte, highest bit first; -1
    // for a padding bit. Two plans with the same sources and inversion read bytes alike.
    const std::vector<std::int32_t>& Sources() const { return m_sources; }

    // The plan of the same layout with invert toggled: the same sources, a lit dot the other
    // bit. Cheaper than making it afresh.
    PackingPlan Inverted() const;

    // For the dot (x, y), the byte it lands in and the bit (7 is the highest), as "B.b".
    QString Diagram() const;

private:
    // A run of bits of one byte that come from dots an equal step apart: the dot of the
    // highest bit of the run is first, the next lower bit's is first + step, and so on; the
    // run's lowest bit is bit shift. A byte is its runs in order, and its last run ends it:
    // ends counts that byte and the bytes of padding alone that follow it. A glyph whose bytes
    // start with padding starts with an empty run. Walking runs costs one step a run and
    // nothing for padding, where a look-up per bit cost every layout with wide words or short
    // lines the padding it carries.
    struct Run {
        std::int32_t first;
        std::int32_t step;
        std::uint8_t count;
        std::uint8_t shift;
        std::uint8_t flip; // the run's bits when a lit dot is 0, else none
        std::uint8_t ends; // 0 while the byte goes on
    };

    void addWord(std::vector<std::int32_t>& sources, const std::vector<int>& dots, std::size_t from,
                 std::size_t count);
    void addRuns(const std::vector<std::int32_t>& sources);
    static std::uint8_t flipOf(const Run& run, bool invert);

    Layout m_layout;
    int m_width;
    int m_height;
    int m_byteCount = 0;
    std::vector<std::int32_t> m_sources;
    std::vector<Run> m_runs;
    std::vector<int> m_order;
};

} // namespace pointillo
