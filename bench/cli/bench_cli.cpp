// The command-line tool's stages on the real engine: making glyphs (draw, sample, read back),
// writing a c table, and reading one back. The whole process is timed apart (hyperfine), for the
// figures that count: 3,755 hanzi and 95 ASCII characters into c.

#include "CharacterSet.h"
#include "CodeReader.h"
#include "GlyphMaker.h"
#include "TableWriter.h"

#include <benchmark/benchmark.h>

namespace {

using namespace pointillo;

QList<char32_t> level1() {
    CharacterSet set;
    set.AddGb2312(1);
    return set.CodePoints();
}

QList<Glyph> makeAll(const GlyphMaker& maker, const QList<char32_t>& cps) {
    QList<Glyph> glyphs;
    glyphs.reserve(cps.size());
    for (char32_t cp : cps)
        glyphs.append(maker.MakeCharacter(cp));
    return glyphs;
}

// One glyph of the level-1 hanzi after another, as the tool makes them in the window's start
// state: drawing and sampling is most of what a hanzi table costs.
void BM_MakeHanzi(benchmark::State& state) {
    const GlyphMaker maker(GlyphOptions{});
    const QList<char32_t> cps = level1();
    qsizetype k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(maker.MakeCharacter(cps[k]));
        k = (k + 1) % cps.size();
    }
}
BENCHMARK(BM_MakeHanzi);

// The check the tool runs before each glyph for a character the face lacks: it is paid once per
// character too, so it must stay small beside making the glyph.
void BM_FallbackCheck(benchmark::State& state) {
    const GlyphMaker maker(GlyphOptions{});
    const QList<char32_t> cps = level1();
    qsizetype k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(maker.FallbackWarning(cps[k]));
        k = (k + 1) % cps.size();
    }
}
BENCHMARK(BM_FallbackCheck);

struct Table {
    QList<Glyph> glyphs;
    TableOptions out;
    Table() {
        const GlyphMaker maker(GlyphOptions{});
        glyphs = makeAll(maker, level1());
        out.format = Format::C;
    }
};

const Table& table() {
    static const Table t;
    return t;
}

// Packing and printing the 3,755 glyphs as a c table, apart from making them.
void BM_WriteHanziC(benchmark::State& state) {
    const Table& t = table();
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteTable(t.glyphs, t.out, {}, true));
}
BENCHMARK(BM_WriteHanziC)->Unit(benchmark::kMillisecond);

// Reading that table back, as --input does: parsing the initialisers and unpacking each glyph.
void BM_ReadHanziC(benchmark::State& state) {
    const Table& t = table();
    const QByteArray c = WriteTable(t.glyphs, t.out, {}, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadCode(c, QStringLiteral("t.c"), {}));
}
BENCHMARK(BM_ReadHanziC)->Unit(benchmark::kMillisecond);

} // namespace
