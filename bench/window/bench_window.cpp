// The window's speed: one refresh of the pipeline, a change of the matrix size, a hand edit,
// and making the window ready to show.
#include "window/ScrollBar.h"
#include "window/SingleCharWindow.h"

#include "platform/IDialogPresenter.h"
#include "platform/MessageBoxes.h"

#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

class NoDialogs : public platform::IDialogPresenter {
public:
    std::optional<platform::FileDialogResult> ShowOpen(const platform::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<platform::FileDialogResult> ShowSave(const platform::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<QFont> ShowFont(const platform::FontDialogRequest&) override {
        return std::nullopt;
    }
};

class NoMessages : public platform::IMessageBoxes {
public:
    platform::MsgResult Show(QWidget*, const QString&, const QString&, platform::MsgIcon,
                             platform::MsgButtons) override {
        return platform::MsgResult::Ok;
    }
};

NoDialogs dialogs;
NoMessages messages;

std::unique_ptr<orvane::SingleCharWindow> makeWindow() {
    return std::make_unique<orvane::SingleCharWindow>(
        orvane::WindowServices{&dialogs, &messages, {}});
}

void setMatrix(orvane::SingleCharWindow& w, int radius, int lines, int rows) {
    w.HScrl_Radius->setValue(radius);
    w.HScrl_Lines->setValue(lines);
    w.HScrl_Rows->setValue(rows);
}

void BM_RefreshPipeline(benchmark::State& state) {
    auto w = makeWindow();
    const int dots = int(state.range(0));
    setMatrix(*w, 1, dots, dots);
    for (auto _ : state)
        w->RefreshPipeline(w->kStandardFx, w->kStandardFy);
}
BENCHMARK(BM_RefreshPipeline)->Arg(16)->Arg(254)->Unit(benchmark::kMillisecond);

// Lines 253 and 254 in turn at 254 x 254 dots: the control's repaint (with its yields, which
// find no message waiting), the whole pipeline and the code text.
void BM_ChangeOfLines(benchmark::State& state) {
    auto w = makeWindow();
    setMatrix(*w, 1, 254, 254);
    int lines = 254;
    for (auto _ : state) {
        lines = lines == 254 ? 253 : 254;
        w->HScrl_Lines->setValue(lines);
    }
    state.counters["yields"] = benchmark::Counter(w->VekSite().YieldCount(),
                                                  benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ChangeOfLines)->Unit(benchmark::kMillisecond);

// A click on a dot of a 254 x 254 panel: the toggle and the regenerated code text.
void BM_HandEdit(benchmark::State& state) {
    auto w = makeWindow();
    setMatrix(*w, 1, 254, 254);
    w->show();
    QWidget* panel = w->Vek1->Widget();
    for (auto _ : state)
        QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(100, 100));
}
BENCHMARK(BM_HandEdit)->Unit(benchmark::kMillisecond);

void BM_CreateWindow(benchmark::State& state) {
    for (auto _ : state) {
        auto w = makeWindow();
        benchmark::DoNotOptimize(w.get());
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CreateWindow)->Unit(benchmark::kMillisecond);

} // namespace
