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
    int ByteCount() const { return int(m_sources.size() / 8); }
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
    PackingPlan Inverted() const {
        PackingPlan plan = *this;
        plan.m_layout.invert = !plan.m_layout.invert;
        return plan;
    }

    // For the dot (x, y), the byte it lands in and the bit (7 is the highest), as "B.b".
    QString Diagram() const;

private:
    void addWord(const std::vector<int>& dots, std::size_t from, std::size_t count);

    Layout m_layout;
    int m_width;
    int m_height;
    // The dot of every bit, eight per byte, highest bit first; -1 for a padding bit.
    std::vector<std::int32_t> m_sources;
    std::vector<int> m_order;
};

} // namespace pointillo
