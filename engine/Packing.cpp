#include "Packing.h"

#include <algorithm>

namespace pointillo {

namespace {

constexpr int kPadding = -1;

// A module's place in the glyph; the last ones may reach past its edge.
struct Module {
    int left;
    int top;
    int width;
    int height;
};

} // namespace

PackingPlan::PackingPlan(const Layout& layout, int width, int height)
    : m_layout(layout), m_width(std::max(width, 0)), m_height(std::max(height, 0)) {
    const bool rows = layout.scan == Layout::Scan::Rows;
    const int mw = layout.module.isEmpty() ? m_width : layout.module.width();
    const int mh = layout.module.isEmpty() ? m_height : layout.module.height();
    QList<Module> modules;
    for (int top = 0; top < m_height; top += mh)
        for (int left = 0; left < m_width; left += mw)
            modules.append({left, top, mw, mh});
    m_order.reserve(std::size_t(m_width) * std::size_t(m_height));
    std::vector<int> run; // the dots of the current padding unit
    std::vector<int> segment;
    for (const Module& m : modules) {
        // The dot at column u, row v of the module, after mirroring; padding past the glyph.
        const auto dotAt = [&](int u, int v) {
            const int x = m.left + (layout.flipX ? m.width - 1 - u : u);
            const int y = m.top + (layout.flipY ? m.height - 1 - v : v);
            return x < m_width && y < m_height ? y * m_width + x : kPadding;
        };
        const int lineLength = rows ? m.width : m.height;
        const int lineCount = rows ? m.height : m.width;
        const int band = layout.band > 0 ? layout.band : lineLength;
        run.clear();
        for (int start = 0; start < lineLength; start += band) {
            for (int line = 0; line < lineCount; ++line) {
                segment.clear();
                for (int k = 0; k < band; ++k) {
                    const int p = start + k;
                    segment.push_back(p >= lineLength ? kPadding
                                      : rows          ? dotAt(p, line)
                                                      : dotAt(line, p));
                }
                if (layout.serpentine && line % 2 == 1)
                    std::reverse(segment.begin(), segment.end());
                run.insert(run.end(), segment.begin(), segment.end());
                if (layout.pad == Layout::Pad::Line) {
                    for (std::size_t w = 0; w < run.size(); w += std::size_t(layout.word))
                        addWord(run, w, std::min(run.size() - w, std::size_t(layout.word)));
                    run.clear();
                }
            }
        }
        for (std::size_t w = 0; w < run.size(); w += std::size_t(layout.word))
            addWord(run, w, std::min(run.size() - w, std::size_t(layout.word)));
    }
}

void PackingPlan::addWord(const std::vector<int>& dots, std::size_t from, std::size_t count) {
    const int word = m_layout.word;
    const std::size_t first = m_sources.size();
    m_sources.resize(first + std::size_t(word), kPadding);
    const bool msb = m_layout.bits == Layout::Bits::Msb;
    const bool low = m_layout.shortWord == Layout::Short::Low && int(count) < word;
    for (std::size_t k = 0; k < count; ++k) {
        const int dot = dots[from + k];
        if (dot == kPadding)
            continue;
        m_order.push_back(dot);
        const int bit = msb ? (low ? int(count - 1 - k) : word - 1 - int(k)) : int(k);
        const int byteInWord =
            m_layout.endian == Layout::Endian::Big ? word / 8 - 1 - bit / 8 : bit / 8;
        m_sources[first + std::size_t(byteInWord * 8 + (7 - bit % 8))] = dot;
    }
}

void PackingPlan::PackInto(const DotMatrix& dots, char* out) const {
    const std::uint8_t flip = m_layout.invert ? 1 : 0;
    const std::uint8_t* lit = dots.lit.data();
    const std::int32_t* source = m_sources.data();
    const std::size_t bytes = m_sources.size() / 8;
    for (std::size_t b = 0; b < bytes; ++b, source += 8) {
        unsigned value = 0;
        for (int k = 0; k < 8; ++k) {
            const std::int32_t s = source[k];
            value = value << 1 | (s >= 0 ? unsigned(lit[s] ^ flip) : 0u);
        }
        out[b] = char(value);
    }
}

QByteArray PackingPlan::Pack(const DotMatrix& dots) const {
    QByteArray bytes(ByteCount(), Qt::Uninitialized);
    PackInto(dots, bytes.data());
    return bytes;
}

DotMatrix PackingPlan::Unpack(QByteArrayView bytes) const {
    DotMatrix dots(m_width, m_height);
    const std::uint8_t flip = m_layout.invert ? 1 : 0;
    const std::size_t count = std::min(std::size_t(bytes.size()), m_sources.size() / 8);
    for (std::size_t b = 0; b < count; ++b) {
        const auto value = static_cast<std::uint8_t>(bytes[qsizetype(b)]);
        for (int k = 0; k < 8; ++k) {
            const std::int32_t s = m_sources[b * 8 + std::size_t(k)];
            if (s >= 0)
                dots.lit[std::size_t(s)] = std::uint8_t(((value >> (7 - k)) & 1) ^ flip);
        }
    }
    return dots;
}

QString PackingPlan::Diagram() const {
    std::vector<int> where(std::size_t(m_width) * std::size_t(m_height), -1);
    for (std::size_t k = 0; k < m_sources.size(); ++k)
        if (m_sources[k] >= 0)
            where[std::size_t(m_sources[k])] = int(k);
    const int digits = int(QString::number(std::max(ByteCount() - 1, 0)).size());
    QString text;
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            const int k = where[std::size_t(y * m_width + x)];
            text += QStringLiteral(" %1.%2").arg(k / 8, digits).arg(7 - k % 8);
        }
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace pointillo
