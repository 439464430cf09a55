// pointillo guess on the real engine: every layout tried on the bytes of one 16 x 16 glyph.
// The whole process is timed apart (hyperfine or /usr/bin/time on pointillo guess).

#include "GlyphMaker.h"
#include "LayoutGuess.h"
#include "Packing.h"

#include <benchmark/benchmark.h>

namespace {

using namespace pointillo;

QByteArray ssd1306Bytes(const DotMatrix& glyph) {
    return PackingPlan(*ParseLayout(QStringLiteral("ssd1306"), nullptr), 16, 16).Pack(glyph);
}

// As pointillo guess TABLE --like 英 --lines 16 --rows 16: make the glyph, rank every reading.
void BM_GuessOneGlyphLike(benchmark::State& state) {
    const GlyphOptions options;
    const QByteArray bytes = ssd1306Bytes(GlyphMaker(options).MakeCharacter(U'英').dots);
    for (auto _ : state) {
        const DotMatrix like = GlyphMaker(options).MakeCharacter(U'英').dots;
        const GuessResult result = GuessLike(bytes, {{like}}, 5);
        benchmark::DoNotOptimize(result.ranked.front().agree);
    }
}
BENCHMARK(BM_GuessOneGlyphLike)->Unit(benchmark::kMillisecond);

// The ranking alone, the glyph made once.
void BM_GuessOneGlyphLikeRankOnly(benchmark::State& state) {
    const DotMatrix like = GlyphMaker(GlyphOptions{}).MakeCharacter(U'英').dots;
    const QByteArray bytes = ssd1306Bytes(like);
    for (auto _ : state)
        benchmark::DoNotOptimize(GuessLike(bytes, {{like}}, 5).readings);
}
BENCHMARK(BM_GuessOneGlyphLikeRankOnly)->Unit(benchmark::kMillisecond);

// As pointillo guess TABLE --like 英: every size that takes 32 bytes, a glyph made for each.
void BM_GuessOneGlyphLikeSizeSearch(benchmark::State& state) {
    const GlyphOptions options;
    const QByteArray bytes = ssd1306Bytes(GlyphMaker(options).MakeCharacter(U'英').dots);
    for (auto _ : state) {
        QList<QList<DotMatrix>> expected;
        for (const QSize& size : FittingSizes(int(bytes.size()))) {
            GlyphOptions g = options;
            g.width = size.width();
            g.height = size.height();
            expected.append({GlyphMaker(g).MakeCharacter(U'英').dots});
        }
        benchmark::DoNotOptimize(GuessLike(bytes, expected, 5).readings);
    }
}
BENCHMARK(BM_GuessOneGlyphLikeSizeSearch)->Unit(benchmark::kMillisecond);

// As pointillo guess TABLE --lines 16 --rows 16: every reading scored as a glyph.
void BM_GuessOneGlyphBlind(benchmark::State& state) {
    const QByteArray bytes = ssd1306Bytes(GlyphMaker(GlyphOptions{}).MakeCharacter(U'英').dots);
    for (auto _ : state)
        benchmark::DoNotOptimize(GuessBlind(bytes, {QSize(16, 16)}, 12).pictures);
}
BENCHMARK(BM_GuessOneGlyphBlind)->Unit(benchmark::kMillisecond);

} // namespace
