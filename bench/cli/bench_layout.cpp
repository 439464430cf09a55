// Packing and unpacking one glyph in each layout. A table packs every glyph through one plan, so
// the cost per glyph decides how much a layout other than the row layout adds to a table: the
// aim is that no layout costs more than 1.2 times the row layout. Each figure is taken at the
// window's 16 x 16 and at the largest matrix, 254 x 254, where the order the dots are read in
// matters most.

#include "DotMatrix.h"
#include "GlyphMaker.h"
#include "Layout.h"
#include "Packing.h"

#include <benchmark/benchmark.h>
#include <map>

namespace {

using namespace pointillo;

// The same glyph for every layout: 英 drawn and sampled in the window's start state at the
// benchmark's size, made once per size.
const DotMatrix& glyph(int size) {
    static std::map<int, DotMatrix> made;
    auto it = made.find(size);
    if (it == made.end()) {
        GlyphOptions options;
        options.width = size;
        options.height = size;
        it = made.emplace(size, GlyphMaker(options).MakeCharacter(U'英').dots).first;
    }
    return it->second;
}

Layout layoutOf(const QString& items) {
    QString error;
    const std::optional<Layout> layout = ParseLayout(items, &error);
    if (!layout)
        qFatal("%s", qPrintable(error));
    return *layout;
}

void packLayout(benchmark::State& state, const Layout& layout) {
    const int size = int(state.range(0));
    const DotMatrix& dots = glyph(size);
    const PackingPlan plan(layout, size, size);
    QByteArray out(plan.ByteCount(), Qt::Uninitialized);
    for (auto _ : state) {
        plan.PackInto(dots, out.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * size * size); // dots
}

void unpackLayout(benchmark::State& state, const Layout& layout) {
    const int size = int(state.range(0));
    const PackingPlan plan(layout, size, size);
    const QByteArray bytes = plan.Pack(glyph(size));
    for (auto _ : state)
        benchmark::DoNotOptimize(plan.Unpack(bytes));
    state.SetItemsProcessed(state.iterations() * size * size);
}

// The baseline the other layouts are held to: the window's row-wise code, plan made once, one
// glyph packed per iteration as a table does.
void BM_PackRow(benchmark::State& state) {
    packLayout(state, Layout::Row());
}
BENCHMARK(BM_PackRow)->Arg(16)->Arg(254);

// Reading a row-wise table back (--input) unpacks every glyph through the same plan.
void BM_UnpackRow(benchmark::State& state) {
    unpackLayout(state, Layout::Row());
}
BENCHMARK(BM_UnpackRow)->Arg(16)->Arg(254);

// Every preset, and mixes of items no preset has: running lines reversed, wide little-endian
// words, and modules whose dots run on across lines. Each should pack as fast as the row layout,
// since all walk the same kind of plan.
const bool registered = [] {
    QList<QPair<QString, QString>> layouts;
    for (const LayoutPreset& p : LayoutPresets())
        layouts.append({p.name, p.name});
    layouts.append({QStringLiteral("serpentine"), QStringLiteral("serpentine")});
    layouts.append({QStringLiteral("word32-little"), QStringLiteral("word=32,endian=little")});
    layouts.append(
        {QStringLiteral("modules8x8-pad-glyph"), QStringLiteral("modules=8x8,pad=glyph")});
    for (const auto& [name, items] : layouts) {
        const Layout layout = layoutOf(items);
        const std::string title = ("BM_PackPreset/" + name).toStdString();
        benchmark::RegisterBenchmark(title.c_str(),
                                     [layout](benchmark::State& s) { packLayout(s, layout); })
            ->Arg(16)
            ->Arg(254);
    }
    // Unpacking in a layout that reads columns in pages, against BM_UnpackRow.
    const Layout ssd1306 = layoutOf(QStringLiteral("ssd1306"));
    benchmark::RegisterBenchmark("BM_UnpackPreset/ssd1306",
                                 [ssd1306](benchmark::State& s) { unpackLayout(s, ssd1306); })
        ->Arg(16)
        ->Arg(254);
    return true;
}();

} // namespace
