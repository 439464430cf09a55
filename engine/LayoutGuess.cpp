#include "LayoutGuess.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <thread>

namespace pointillo {

namespace {

// The glyphs blind guessing scores and shows: enough to judge, few enough for a large table.
constexpr qsizetype kBlindGlyphs = 8;

int ceilDiv(int a, int b) {
    return (a + b - 1) / b;
}

struct WordChoice {
    int word;
    Layout::Endian endian;
};

// Endian orders the bytes of a wider word only.
constexpr WordChoice kWords[] = {{8, Layout::Endian::Big},
                                 {16, Layout::Endian::Big},
                                 {16, Layout::Endian::Little},
                                 {32, Layout::Endian::Big},
                                 {32, Layout::Endian::Little}};

// The items that set how many bytes a glyph takes; the others only move bits about.
template <typename F> void forEachShape(F&& f) {
    for (const QSize module : {QSize(), QSize(8, 8)})
        for (const Layout::Scan scan : {Layout::Scan::Rows, Layout::Scan::Columns})
            for (const int band : {0, 8})
                for (const WordChoice& w : kWords)
                    for (const Layout::Pad pad : {Layout::Pad::Line, Layout::Pad::Glyph}) {
                        Layout l;
                        l.module = module;
                        l.scan = scan;
                        l.band = band;
                        l.word = w.word;
                        l.endian = w.endian;
                        l.pad = pad;
                        f(l);
                    }
}

int changedCount(const Layout& l) {
    const Layout r = Layout::Row();
    return int(l.module != r.module) + int(l.scan != r.scan) + int(l.flipX != r.flipX) +
           int(l.flipY != r.flipY) + int(l.serpentine != r.serpentine) + int(l.band != r.band) +
           int(l.bits != r.bits) + int(l.word != r.word) + int(l.endian != r.endian) +
           int(l.pad != r.pad) + int(l.shortWord != r.shortWord) + int(l.invert != r.invert);
}

QByteArray mappingKey(const PackingPlan& plan) {
    const std::vector<std::int32_t>& s = plan.Sources();
    QByteArray key(reinterpret_cast<const char*>(s.data()), qsizetype(s.size() * sizeof(s[0])));
    key.append(plan.GetLayout().invert ? '\1' : '\0');
    return key;
}

bool simpler(const LayoutReading& a, const LayoutReading& b) {
    return a.simplicity != b.simplicity ? a.simplicity < b.simplicity : a.order < b.order;
}

// Reads one glyph's bytes with the plan into dots (of the plan's size) and returns the set
// bits that fall on padding.
qint64 readGlyph(const PackingPlan& plan, const char* bytes, DotMatrix& dots) {
    const std::vector<std::int32_t>& sources = plan.Sources();
    const unsigned flip = plan.GetLayout().invert ? 1u : 0u;
    std::uint8_t* lit = dots.lit.data();
    qint64 stray = 0;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const unsigned bit = (unsigned(std::uint8_t(bytes[i >> 3])) >> (7 - (i & 7))) & 1u;
        const std::int32_t s = sources[i];
        if (s < 0)
            stray += bit;
        else
            lit[s] = std::uint8_t(bit ^ flip);
    }
    return stray;
}

} // namespace

int LayoutByteCount(const Layout& l, int width, int height) {
    if (width <= 0 || height <= 0)
        return 0;
    const bool rows = l.scan == Layout::Scan::Rows;
    const int mw = l.module.isEmpty() ? width : l.module.width();
    const int mh = l.module.isEmpty() ? height : l.module.height();
    const int modules = ceilDiv(width, mw) * ceilDiv(height, mh);
    const int lineLength = rows ? mw : mh;
    const int lineCount = rows ? mh : mw;
    const int band = l.band > 0 ? l.band : lineLength;
    const int stripes = ceilDiv(lineLength, band);
    const int words = l.pad == Layout::Pad::Line ? stripes * lineCount * ceilDiv(band, l.word)
                                                 : ceilDiv(stripes * lineCount * band, l.word);
    return modules * words * (l.word / 8);
}

QList<int> LayoutByteCounts(int width, int height) {
    QList<int> counts;
    forEachShape([&](const Layout& shape) {
        const int count = LayoutByteCount(shape, width, height);
        if (!counts.contains(count))
            counts.append(count);
    });
    return counts;
}

QString ChangedItems(const Layout& l) {
    QStringList items;
    if (!l.module.isEmpty())
        items << QStringLiteral("modules=%1x%2").arg(l.module.width()).arg(l.module.height());
    if (l.scan == Layout::Scan::Columns)
        items << QStringLiteral("scan=columns");
    if (l.flipX)
        items << QStringLiteral("flip-x");
    if (l.flipY)
        items << QStringLiteral("flip-y");
    if (l.serpentine)
        items << QStringLiteral("serpentine");
    if (l.band != 0)
        items << QStringLiteral("band=%1").arg(l.band);
    if (l.bits == Layout::Bits::Lsb)
        items << QStringLiteral("bits=lsb");
    if (l.word != 8)
        items << QStringLiteral("word=%1").arg(l.word);
    if (l.endian == Layout::Endian::Little)
        items << QStringLiteral("endian=little");
    if (l.pad == Layout::Pad::Glyph)
        items << QStringLiteral("pad=glyph");
    if (l.shortWord == Layout::Short::High)
        items << QStringLiteral("short=high");
    if (l.invert)
        items << QStringLiteral("invert");
    return items.join(QLatin1Char(','));
}

std::vector<LayoutReading> DistinctReadings(int width, int height,
                                            const std::function<bool(int)>& fits) {
    std::vector<LayoutReading> readings;
    QHash<QByteArray, std::size_t> seen;
    int order = 0;
    forEachShape([&](const Layout& shape) {
        if (fits && !fits(LayoutByteCount(shape, width, height)))
            return;
        const auto consider = [&](const Layout& l, PackingPlan&& plan) {
            LayoutReading reading{l, {}, 2 * changedCount(l), order++, std::move(plan)};
            const QByteArray key = mappingKey(reading.plan);
            const auto it = seen.constFind(key);
            if (it == seen.cend()) {
                seen.insert(key, readings.size());
                readings.push_back(std::move(reading));
            } else if (reading.simplicity < readings[*it].simplicity) {
                reading.order = readings[*it].order;
                readings[*it] = std::move(reading);
            }
        };
        // flip-x, flip-y, serpentine, bits, short; invert keeps the plan's sources.
        for (int mask = 0; mask < 32; ++mask) {
            Layout l = shape;
            l.flipX = mask & 1;
            l.flipY = mask & 2;
            l.serpentine = mask & 4;
            l.bits = mask & 8 ? Layout::Bits::Lsb : Layout::Bits::Msb;
            l.shortWord = mask & 16 ? Layout::Short::High : Layout::Short::Low;
            if (l.bits == Layout::Bits::Lsb && l.shortWord == Layout::Short::High)
                continue; // short places the bits of an msb word only
            PackingPlan plan(l, width, height);
            PackingPlan inverted = plan.Inverted();
            consider(l, std::move(plan));
            l.invert = true;
            consider(l, std::move(inverted));
        }
    });
    for (const LayoutPreset& p : LayoutPresets()) {
        const Layout preset = *ParseLayout(p.name, nullptr);
        const auto it = seen.constFind(mappingKey(PackingPlan(preset, width, height)));
        if (it == seen.cend() || !readings[*it].name.isEmpty())
            continue;
        readings[*it].name = p.name;
        readings[*it].simplicity = std::min(readings[*it].simplicity, 1);
    }
    for (LayoutReading& r : readings)
        if (r.name.isEmpty())
            r.name = r.layout == Layout::Row() ? QStringLiteral("row") : ChangedItems(r.layout);
    std::sort(readings.begin(), readings.end(), simpler);
    return readings;
}

QList<QSize> FittingSizes(int bytesPerGlyph) {
    QList<QSize> sizes;
    for (int h = kGuessMinSide; h <= kGuessMaxSide; ++h)
        for (int w = kGuessMinSide; w <= kGuessMaxSide; ++w) {
            if (LayoutByteCounts(w, h).contains(bytesPerGlyph))
                sizes.append(QSize(w, h));
        }
    std::stable_sort(sizes.begin(), sizes.end(), [](const QSize& a, const QSize& b) {
        return a.width() * a.height() < b.width() * b.height();
    });
    return sizes;
}

double Oddness(const DotMatrix& d) {
    const int w = d.width;
    const int h = d.height;
    qint64 lit = 0;
    qint64 isolated = 0;
    qint64 alternating = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool on = d.At(x, y);
            lit += on;
            if (x > 0 && x + 1 < w && on != d.At(x - 1, y) && on != d.At(x + 1, y))
                ++alternating;
            if (y > 0 && y + 1 < h && on != d.At(x, y - 1) && on != d.At(x, y + 1))
                ++alternating;
            if (!on)
                continue;
            bool alone = true;
            for (int dy = -1; dy <= 1 && alone; ++dy)
                for (int dx = -1; dx <= 1 && alone; ++dx)
                    if ((dx || dy) && x + dx >= 0 && x + dx < w && y + dy >= 0 && y + dy < h &&
                        d.At(x + dx, y + dy))
                        alone = false;
            isolated += alone;
        }
    if (lit == 0)
        return 0.0;
    // 4-connected pieces of ink.
    qint64 pieces = 0;
    std::vector<std::uint8_t> seen(d.lit.size(), 0);
    std::vector<int> stack;
    for (int start = 0; start < w * h; ++start) {
        if (!d.lit[std::size_t(start)] || seen[std::size_t(start)])
            continue;
        ++pieces;
        seen[std::size_t(start)] = 1;
        stack.push_back(start);
        while (!stack.empty()) {
            const int p = stack.back();
            stack.pop_back();
            const int x = p % w;
            const int y = p / w;
            const int next[4] = {x > 0 ? p - 1 : -1, x + 1 < w ? p + 1 : -1, y > 0 ? p - w : -1,
                                 y + 1 < h ? p + w : -1};
            for (const int q : next)
                if (q >= 0 && d.lit[std::size_t(q)] && !seen[std::size_t(q)]) {
                    seen[std::size_t(q)] = 1;
                    stack.push_back(q);
                }
        }
    }
    double odd = (3.0 * double(isolated) + double(alternating) + 4.0 * double(pieces - 1)) /
                 double(lit);
    // A glyph is ink on a background: more ink than background reads inverted.
    if (2 * lit > qint64(w) * h)
        odd += 2.0 + double(lit) / double(qint64(w) * h);
    return odd;
}

namespace {

// The best keep readings of bytes at the size of glyphs, against them.
GuessResult rankSize(QByteArrayView bytes, const QList<DotMatrix>& glyphs, int keep) {
    GuessResult out;
    const qsizetype n = bytes.size();
    if (glyphs.isEmpty() || n % glyphs.size() != 0)
        return out;
    const int per = int(n / glyphs.size());
    const int w = glyphs.first().width;
    const int h = glyphs.first().height;
    const std::vector<LayoutReading> readings =
        DistinctReadings(w, h, [per](int count) { return count == per; });
    out.readings = qsizetype(readings.size());
    struct Score {
        qint64 agree;
        qint64 stray;
        std::size_t index;
    };
    std::vector<Score> scores;
    scores.reserve(readings.size());
    for (std::size_t r = 0; r < readings.size(); ++r) {
        const std::vector<std::int32_t>& sources = readings[r].plan.Sources();
        const unsigned flip = readings[r].plan.GetLayout().invert ? 1u : 0u;
        qint64 agree = 0;
        qint64 stray = 0;
        for (qsizetype g = 0; g < glyphs.size(); ++g) {
            const char* base = bytes.data() + g * per;
            const std::uint8_t* target = glyphs[g].lit.data();
            for (std::size_t i = 0; i < sources.size(); ++i) {
                const unsigned bit =
                    (unsigned(std::uint8_t(base[i >> 3])) >> (7 - (i & 7))) & 1u;
                const std::int32_t s = sources[i];
                if (s < 0)
                    stray += bit;
                else
                    agree += (bit ^ flip) == target[s];
            }
        }
        scores.push_back({agree, stray, r});
    }
    const auto scoreBetter = [&readings](const Score& a, const Score& b) {
        if (a.agree != b.agree)
            return a.agree > b.agree;
        if (a.stray != b.stray)
            return a.stray < b.stray;
        return simpler(readings[a.index], readings[b.index]);
    };
    const std::size_t top = std::min(scores.size(), std::size_t(std::max(keep, 0)));
    std::partial_sort(scores.begin(), scores.begin() + std::ptrdiff_t(top), scores.end(),
                      scoreBetter);
    for (std::size_t k = 0; k < top; ++k) {
        GuessEntry e{readings[scores[k].index], {}, scores[k].agree,
                     qint64(glyphs.size()) * w * h, 0.0, scores[k].stray};
        for (qsizetype g = 0; g < glyphs.size(); ++g)
            e.glyphs.append(e.reading.plan.Unpack(bytes.sliced(g * per, per)));
        out.ranked.push_back(std::move(e));
    }
    return out;
}

} // namespace

GuessResult GuessLike(QByteArrayView bytes, const QList<QList<DotMatrix>>& expected, int keep) {
    GuessResult result;
    const auto better = [](const GuessEntry& a, const GuessEntry& b) {
        const qint64 left = a.agree * b.dots;
        const qint64 right = b.agree * a.dots;
        if (left != right)
            return left > right;
        if (a.strayBits != b.strayBits)
            return a.strayBits < b.strayBits;
        if (a.reading.simplicity != b.reading.simplicity)
            return a.reading.simplicity < b.reading.simplicity;
        if (a.glyphs.first().width != b.glyphs.first().width)
            return a.glyphs.first().width > b.glyphs.first().width;
        if (a.glyphs.first().height != b.glyphs.first().height)
            return a.glyphs.first().height > b.glyphs.first().height;
        return a.reading.order < b.reading.order;
    };
    // Each size is ranked on its own, the sizes shared among the processor's threads.
    std::vector<GuessResult> perSize(std::size_t(expected.size()));
    std::atomic<qsizetype> next{0};
    const auto work = [&]() {
        for (qsizetype k = next++; k < expected.size(); k = next++)
            perSize[std::size_t(k)] = rankSize(bytes, expected[k], keep);
    };
    const qsizetype threads =
        std::min<qsizetype>(expected.size(), std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> helpers;
    for (qsizetype t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread& t : helpers)
        t.join();
    for (GuessResult& r : perSize) {
        result.readings += r.readings;
        for (GuessEntry& e : r.ranked)
            result.ranked.push_back(std::move(e));
    }
    std::stable_sort(result.ranked.begin(), result.ranked.end(), better);
    if (result.ranked.size() > std::size_t(std::max(keep, 0)))
        result.ranked.erase(result.ranked.begin() + std::max(keep, 0), result.ranked.end());
    return result;
}

GuessResult GuessBlind(QByteArrayView bytes, const QList<QSize>& sizes, int keep) {
    GuessResult result;
    const qsizetype n = bytes.size();
    std::vector<GuessEntry> clean;
    std::vector<GuessEntry> strayed;
    qsizetype cleanPictures = 0;
    qsizetype allPictures = 0;
    const auto better = [](const GuessEntry& a, const GuessEntry& b) {
        if (a.oddness != b.oddness)
            return a.oddness < b.oddness;
        if (a.strayBits != b.strayBits)
            return a.strayBits < b.strayBits;
        if (a.reading.simplicity != b.reading.simplicity)
            return a.reading.simplicity < b.reading.simplicity;
        return a.reading.order < b.reading.order;
    };
    for (const QSize& size : sizes) {
        const int w = size.width();
        const int h = size.height();
        if (n == 0 || w <= 0 || h <= 0)
            continue;
        const std::vector<LayoutReading> readings =
            DistinctReadings(w, h, [n](int count) { return count > 0 && n % count == 0; });
        result.readings += qsizetype(readings.size());
        struct Score {
            double oddness;
            qint64 stray;
            std::size_t hash;
            std::size_t index;
        };
        std::vector<Score> scores;
        scores.reserve(readings.size());
        DotMatrix dots(w, h);
        for (std::size_t r = 0; r < readings.size(); ++r) {
            const PackingPlan& plan = readings[r].plan;
            const int per = plan.ByteCount();
            const qsizetype count = std::min(n / per, kBlindGlyphs);
            double odd = 0;
            qint64 stray = 0;
            std::size_t hash = qHash(per);
            for (qsizetype g = 0; g < count; ++g) {
                stray += readGlyph(plan, bytes.data() + g * per, dots);
                odd += Oddness(dots);
                hash = qHashBits(dots.lit.data(), dots.lit.size(), hash);
            }
            // Stray bits past the glyphs scored count too.
            for (qsizetype g = count; g < n / per && stray == 0; ++g) {
                DotMatrix scratch(w, h);
                stray += readGlyph(plan, bytes.data() + g * per, scratch);
            }
            scores.push_back({odd / double(count), stray, hash, r});
        }
        std::stable_sort(scores.begin(), scores.end(), [&readings](const Score& a, const Score& b) {
            if ((a.stray > 0) != (b.stray > 0))
                return a.stray == 0;
            if (a.oddness != b.oddness)
                return a.oddness < b.oddness;
            return simpler(readings[a.index], readings[b.index]);
        });
        QSet<std::size_t> cleanSeen;
        QSet<std::size_t> allSeen;
        int added[2] = {0, 0};
        for (const Score& s : scores) {
            const bool fresh = !allSeen.contains(s.hash);
            allSeen.insert(s.hash);
            if (s.stray == 0)
                cleanSeen.insert(s.hash);
            std::vector<GuessEntry>& into = s.stray == 0 ? clean : strayed;
            if (!fresh || added[s.stray == 0 ? 0 : 1]++ >= keep)
                continue;
            const PackingPlan& plan = readings[s.index].plan;
            const int per = plan.ByteCount();
            GuessEntry e{readings[s.index], {}, 0, 0, s.oddness, s.stray};
            for (qsizetype g = 0; g < std::min(n / per, kBlindGlyphs); ++g)
                e.glyphs.append(plan.Unpack(bytes.sliced(g * per, per)));
            into.push_back(std::move(e));
        }
        cleanPictures += cleanSeen.size();
        allPictures += allSeen.size();
        // Keep only the best few of each kind between sizes.
        for (std::vector<GuessEntry>* list : {&clean, &strayed}) {
            std::stable_sort(list->begin(), list->end(), better);
            if (list->size() > std::size_t(std::max(keep, 0)))
                list->erase(list->begin() + std::max(keep, 0), list->end());
        }
    }
    const bool anyClean = !clean.empty();
    result.ranked = anyClean ? std::move(clean) : std::move(strayed);
    result.pictures = anyClean ? cleanPictures : allPictures;
    return result;
}

} // namespace pointillo
