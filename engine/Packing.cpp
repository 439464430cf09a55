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
    // The dot of every bit, eight per byte, highest bit first; kPadding for a padding bit.
    std::vector<std::int32_t> sources;
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
                        addWord(sources, run, w,
                                std::min(run.size() - w, std::size_t(layout.word)));
                    run.clear();
                }
            }
        }
        for (std::size_t w = 0; w < run.size(); w += std::size_t(layout.word))
            addWord(sources, run, w, std::min(run.size() - w, std::size_t(layout.word)));
    }
    addRuns(sources);
    m_sources = std::move(sources);
}

std::uint8_t PackingPlan::flipOf(const Run& run, bool invert) {
    return invert ? std::uint8_t(((1u << run.count) - 1) << run.shift) : 0;
}

PackingPlan PackingPlan::Inverted() const {
    PackingPlan plan = *this;
    plan.m_layout.invert = !m_layout.invert;
    for (Run& r : plan.m_runs)
        r.flip = flipOf(r, plan.m_layout.invert);
    return plan;
}

void PackingPlan::addWord(std::vector<std::int32_t>& sources, const std::vector<int>& dots,
                          std::size_t from, std::size_t count) {
    const int word = m_layout.word;
    const std::size_t first = sources.size();
    sources.resize(first + std::size_t(word), kPadding);
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
        sources[first + std::size_t(byteInWord * 8 + (7 - bit % 8))] = dot;
    }
}

void PackingPlan::addRuns(const std::vector<std::int32_t>& sources) {
    m_byteCount = int(sources.size() / 8);
    for (std::size_t b = 0; b < sources.size(); b += 8) {
        const std::int32_t* s = sources.data() + b;
        const std::size_t firstRun = m_runs.size();
        for (int k = 0; k < 8;) {
            if (s[k] == kPadding) {
                ++k;
                continue;
            }
            const std::int32_t step = k + 1 < 8 && s[k + 1] != kPadding ? s[k + 1] - s[k] : 0;
            int count = 1;
            while (k + count < 8 && s[k + count] != kPadding &&
                   s[k + count] - s[k + count - 1] == step)
                ++count;
            const int shift = 8 - k - count;
            Run r{s[k], count > 1 ? step : 0, std::uint8_t(count), std::uint8_t(shift), 0, 0};
            r.flip = flipOf(r, m_layout.invert);
            m_runs.push_back(r);
            k += count;
        }
        if (m_runs.size() == firstRun) {
            // Padding alone: one more byte for the run that ended the byte before.
            if (!m_runs.empty() && m_runs.back().ends < 255) {
                ++m_runs.back().ends;
                continue;
            }
            m_runs.push_back({0, 0, 0, 0, 0, 0});
        }
        m_runs.back().ends = 1;
    }
}

void PackingPlan::PackInto(const DotMatrix& dots, char* out) const {
    const std::uint8_t* lit = dots.lit.data();
    unsigned value = 0;
    for (const Run& r : m_runs) {
        const std::uint8_t* d = lit + r.first;
        const std::ptrdiff_t step = r.step;
        unsigned bits = 0;
        // A whole byte from one run is the common case in every layout: unrolled, it is eight
        // loads and no loop.
        if (r.count == 8) {
            bits = unsigned(d[0]) << 7 | unsigned(d[step]) << 6 | unsigned(d[2 * step]) << 5 |
                   unsigned(d[3 * step]) << 4 | unsigned(d[4 * step]) << 3 |
                   unsigned(d[5 * step]) << 2 | unsigned(d[6 * step]) << 1 | unsigned(d[7 * step]);
        } else {
            for (int j = 0; j < r.count; ++j)
                bits = bits << 1 | unsigned(d[j * step]);
        }
        value |= (bits << r.shift) ^ r.flip;
        if (r.ends) {
            *out++ = char(value);
            for (int k = 1; k < r.ends; ++k)
                *out++ = 0;
            value = 0;
        }
    }
}

QByteArray PackingPlan::Pack(const DotMatrix& dots) const {
    QByteArray bytes(ByteCount(), Qt::Uninitialized);
    PackInto(dots, bytes.data());
    return bytes;
}

DotMatrix PackingPlan::Unpack(QByteArrayView bytes) const {
    DotMatrix dots(m_width, m_height);
    std::uint8_t* lit = dots.lit.data();
    const std::size_t count = std::min(std::size_t(bytes.size()), std::size_t(m_byteCount));
    std::size_t b = 0;
    for (auto r = m_runs.begin(); b < count; ++r) {
        const unsigned value = (static_cast<std::uint8_t>(bytes[qsizetype(b)]) ^ r->flip);
        std::uint8_t* d = lit + r->first;
        const std::ptrdiff_t step = r->step;
        if (r->count == 8) {
            d[0] = std::uint8_t(value >> 7 & 1);
            d[step] = std::uint8_t(value >> 6 & 1);
            d[2 * step] = std::uint8_t(value >> 5 & 1);
            d[3 * step] = std::uint8_t(value >> 4 & 1);
            d[4 * step] = std::uint8_t(value >> 3 & 1);
            d[5 * step] = std::uint8_t(value >> 2 & 1);
            d[6 * step] = std::uint8_t(value >> 1 & 1);
            d[7 * step] = std::uint8_t(value & 1);
        } else {
            const unsigned bits = value >> r->shift;
            for (int j = 0; j < r->count; ++j)
                d[j * step] = std::uint8_t(bits >> (r->count - 1 - j) & 1);
        }
        b += r->ends;
    }
    return dots;
}

QString PackingPlan::Diagram() const {
    // For every dot, its bit counted from the highest bit of byte 0.
    std::vector<int> where(std::size_t(m_width) * std::size_t(m_height), -1);
    int byte = 0;
    for (const Run& r : m_runs) {
        for (int j = 0; j < r.count; ++j)
            where[std::size_t(r.first + j * r.step)] = byte * 8 + 7 - (r.shift + r.count - 1 - j);
        byte += r.ends;
    }
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
