// Sampling, grid marks and code text at the largest matrix, with the real control behind them,
// against a floor of plain loops that do the same reads and pack the same bytes.

#include "codegen/CodeText.h"
#include "codegen/CodeView.h"
#include "glyph/GlyphSampler.h"
#include "kivaro/Vek.h"
#include "platform/PictureSurface.h"

#include <QElapsedTimer>

#include <array>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kDots = 254;
constexpr float kWidth = 143;
constexpr float kHeight = 145;

// At 254 dots a cell is smaller than a pixel, so the grid marks cover the whole glyph; every
// run starts from a freshly drawn glyph, as the refresh pipeline does.
struct Pipeline {
    platform::PictureSurface surface;
    platform::PictureSurface bkp;
    kivaro::Vek vek;
    orvane::CodeView view;

    Pipeline() {
        surface.resize(143, 145);
        surface.SetBackColor(0x808080);
        surface.SetFontName(QStringLiteral("WenQuanYi Zen Hei"));
        surface.SetFontSize(106);
        orvane::DrawGlyph(surface, bkp, true, QStringLiteral("英"), 0, 0);
        vek.setMaxRows(kDots);
        vek.setMaxLines(kDots);
    }

    void Redraw() { orvane::DrawGlyph(surface, bkp, true, QStringLiteral("英"), 0, 0); }
};

Pipeline& pipeline() {
    static Pipeline p;
    return p;
}

void BM_SampleGlyph(benchmark::State& state) {
    Pipeline& p = pipeline();
    for (auto _ : state)
        orvane::SampleGlyph(p.surface, p.vek, kWidth, kHeight, 0.15f, 0.1f, false, 0);
}
BENCHMARK(BM_SampleGlyph)->Unit(benchmark::kMicrosecond);

void BM_MarkGrid(benchmark::State& state) {
    Pipeline& p = pipeline();
    for (auto _ : state)
        orvane::MarkGrid(p.surface, p.vek, kWidth, kHeight, 0xFF);
    p.Redraw();
}
BENCHMARK(BM_MarkGrid)->Unit(benchmark::kMicrosecond);

void BM_BuildCodeString(benchmark::State& state) {
    Pipeline& p = pipeline();
    orvane::SampleGlyph(p.surface, p.vek, kWidth, kHeight, 0.15f, 0.1f, false, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            orvane::BuildCodeString(p.vek, pointillo::Layout::Row(), true, QStringLiteral("英")));
}
BENCHMARK(BM_BuildCodeString)->Unit(benchmark::kMicrosecond);

void BM_BuildCodeText(benchmark::State& state) {
    Pipeline& p = pipeline();
    orvane::SampleGlyph(p.surface, p.vek, kWidth, kHeight, 0.15f, 0.1f, false, 0);
    bool rowWise = true;
    for (auto _ : state) {
        // Alternate the order so that the view really takes a new text every time.
        orvane::BuildCodeText(p.vek, p.view, orvane::CodeModelLayout(rowWise), true,
                              QStringLiteral("英"));
        rowWise = !rowWise;
    }
}
BENCHMARK(BM_BuildCodeText)->Unit(benchmark::kMicrosecond);

void BM_CodeViewSetText(benchmark::State& state) {
    Pipeline& p = pipeline();
    orvane::SampleGlyph(p.surface, p.vek, kWidth, kHeight, 0.15f, 0.1f, false, 0);
    const QString texts[2] = {
        orvane::BuildCodeString(p.vek, pointillo::Layout::Row(), true, QStringLiteral("英")),
        orvane::BuildCodeString(p.vek, pointillo::Layout::Column(), true, QStringLiteral("英"))};
    int k = 0;
    for (auto _ : state)
        p.view.SetText(texts[k++ & 1]);
}
BENCHMARK(BM_CodeViewSetText)->Unit(benchmark::kMicrosecond);

void BM_FullStages(benchmark::State& state) {
    Pipeline& p = pipeline();
    bool rowWise = true;
    for (auto _ : state) {
        state.PauseTiming();
        p.Redraw();
        state.ResumeTiming();
        orvane::SampleGlyph(p.surface, p.vek, kWidth, kHeight, 0.15f, 0.1f, false, 0);
        orvane::MarkGrid(p.surface, p.vek, kWidth, kHeight, 0xFF);
        orvane::BuildCodeText(p.vek, p.view, orvane::CodeModelLayout(rowWise), true,
                              QStringLiteral("英"));
        rowWise = !rowWise;
    }
}
BENCHMARK(BM_FullStages)->Unit(benchmark::kMicrosecond);

// The same stages with the code text built but not handed to a text box: what is left once
// the box's own text layout is taken out.
void BM_StagesWithoutTextBox(benchmark::State& state) {
    Pipeline& p = pipeline();
    bool rowWise = true;
    for (auto _ : state) {
        state.PauseTiming();
        p.Redraw();
        state.ResumeTiming();
        orvane::SampleGlyph(p.surface, p.vek, kWidth, kHeight, 0.15f, 0.1f, false, 0);
        orvane::MarkGrid(p.surface, p.vek, kWidth, kHeight, 0xFF);
        benchmark::DoNotOptimize(orvane::BuildCodeString(p.vek, orvane::CodeModelLayout(rowWise),
                                                         true, QStringLiteral("英")));
        rowWise = !rowWise;
    }
}
BENCHMARK(BM_StagesWithoutTextBox)->Unit(benchmark::kMicrosecond);

void BM_FullStagesSplit(benchmark::State& state) {
    Pipeline& p = pipeline();
    bool rowWise = true;
    QElapsedTimer t;
    qint64 sample = 0, mark = 0, code = 0, changed = 0;
    for (auto _ : state) {
        p.Redraw();
        t.start();
        orvane::SampleGlyph(p.surface, p.vek, kWidth, kHeight, 0.15f, 0.1f, false, 0);
        sample += t.nsecsElapsed();
        t.start();
        orvane::MarkGrid(p.surface, p.vek, kWidth, kHeight, 0xFF);
        mark += t.nsecsElapsed();
        const QString before = p.view.Text();
        t.start();
        orvane::BuildCodeText(p.vek, p.view, orvane::CodeModelLayout(rowWise), true,
                              QStringLiteral("英"));
        code += t.nsecsElapsed();
        changed += before != p.view.Text();
        rowWise = !rowWise;
    }
    const double n = double(state.iterations()) * 1000;
    state.counters["sample_us"] = sample / n;
    state.counters["mark_us"] = mark / n;
    state.counters["code_us"] = code / n;
    state.counters["new_text"] = changed / double(state.iterations());
}
BENCHMARK(BM_FullStagesSplit)->Unit(benchmark::kMicrosecond);

// A control that only keeps bits: what SampleGlyph and the code text cost on their own side of
// the interface.
class BitArrayVek : public kivaro::IVek {
public:
    std::uint8_t MaxLines() const override { return kDots; }
    void setMaxLines(std::uint8_t) override {}
    std::uint8_t MaxRows() const override { return kDots; }
    void setMaxRows(std::uint8_t) override {}
    void SetBit(std::uint8_t& X, std::uint8_t& Y) override { m_bits[at(X, Y)] = 1; }
    void ClrBit(std::uint8_t& X, std::uint8_t& Y) override { m_bits[at(X, Y)] = 0; }
    void SetAll() override {}
    void ClrAll() override {}
    std::uint8_t Bit(std::uint8_t& X, std::uint8_t& Y) override { return m_bits[at(X, Y)]; }
    std::int32_t OnSetColor() const override { return 0; }
    void setOnSetColor(std::int32_t) override {}
    std::int32_t OnClrColor() const override { return 0; }
    void setOnClrColor(std::int32_t) override {}
    std::uint8_t LedRadius() const override { return 1; }
    void setLedRadius(std::uint8_t) override {}
    bool Enable() const override { return true; }
    void setEnable(bool) override {}
    void Clr() override {}
    void Advise(kivaro::IVekEvents*) override {}
    void Unadvise(kivaro::IVekEvents*) override {}
    QWidget* Widget() override { return nullptr; }
    void SetSite(platform::IControlSite*) override {}
    void InitProperties() override {}
    void ReadProperties(const platform::PropertyBag&) override {}
    void WriteProperties(platform::PropertyBag&) const override {}
    QVariant Invoke(std::int32_t, platform::InvokeKind, QVariantList&) override { return {}; }

private:
    static int at(int x, int y) { return (y - 1) * 256 + x - 1; }
    std::array<std::uint8_t, 256 * 256> m_bits{};
};

void BM_StagesOverPlainBits(benchmark::State& state) {
    Pipeline& p = pipeline();
    static BitArrayVek bits;
    bool rowWise = true;
    for (auto _ : state) {
        state.PauseTiming();
        p.Redraw();
        state.ResumeTiming();
        orvane::SampleGlyph(p.surface, bits, kWidth, kHeight, 0.15f, 0.1f, false, 0);
        orvane::MarkGrid(p.surface, bits, kWidth, kHeight, 0xFF);
        benchmark::DoNotOptimize(orvane::BuildCodeString(bits, orvane::CodeModelLayout(rowWise),
                                                         true, QStringLiteral("英")));
        rowWise = !rowWise;
    }
    p.Redraw();
}
BENCHMARK(BM_StagesOverPlainBits)->Unit(benchmark::kMicrosecond);

// The floor: the same five reads per cell on a raw buffer, the same mark per cell, the same
// bytes packed from a plain bit array and written as Asm51 numbers into a character buffer.
struct Floor {
    std::vector<std::uint32_t> pixels;
    std::array<std::uint8_t, kDots * kDots> bits{};
    std::vector<char16_t> text;

    Floor() : pixels(143 * 145, 0x808080u), text(kDots * 32 * 6) {
        const QImage& image = pipeline().surface.Image();
        for (int y = 0; y < 145; ++y)
            for (int x = 0; x < 143; ++x)
                pixels[y * 143 + x] = image.pixel(x, y) & 0xFFFFFFu;
    }
};

int pixelOf(float c, int size) {
    const int p = static_cast<int>(std::floor(c));
    return p >= 0 && p < size ? p : -1;
}

void BM_Floor(benchmark::State& state) {
    static Floor f;
    const float cw = kWidth / kDots, ch = kHeight / kDots, fx = 0.15f, fy = 0.1f;
    const auto at = [&](int x, int y) { return x >= 0 && y >= 0 && f.pixels[y * 143 + x] == 0; };
    for (auto _ : state) {
        for (int i = 1; i <= kDots; ++i) {
            const int xc = pixelOf(float((i - 0.5) * cw), 143);
            const int xl = pixelOf(float((i - 0.5 - fx) * cw), 143);
            const int xr = pixelOf(float((i - 0.5 + fx) * cw), 143);
            for (int j = 1; j <= kDots; ++j) {
                const int yc = pixelOf(float((j - 0.5) * ch), 145);
                const int ya = pixelOf(float((j - 0.5 - fy) * ch), 145);
                const int yb = pixelOf(float((j - 0.5 + fy) * ch), 145);
                f.bits[(j - 1) * kDots + i - 1] =
                    at(xc, yc) || at(xl, yc) || at(xr, yc) || at(xc, ya) || at(xc, yb);
                if (xc >= 0 && yc >= 0)
                    f.pixels[yc * 143 + xc] = 0xFF0000u;
            }
        }
        static constexpr char hex[] = "0123456789ABCDEF";
        std::size_t n = 0;
        for (int y = 0; y < kDots; ++y) {
            for (int g = 0; g < kDots; g += 8) {
                int value = 0;
                for (int x = g; x < std::min(g + 8, kDots); ++x)
                    value = (value << 1) | f.bits[y * kDots + x];
                if (value < 16 || value > 159)
                    f.text[n++] = u'0';
                if (value >= 16)
                    f.text[n++] = char16_t(hex[value >> 4]);
                f.text[n++] = char16_t(hex[value & 15]);
                f.text[n++] = u'H';
                f.text[n++] = u',';
            }
        }
        benchmark::DoNotOptimize(f.text.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Floor)->Unit(benchmark::kMicrosecond);

} // namespace
