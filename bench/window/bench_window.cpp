// The window's speed: one refresh of the pipeline, a change of the matrix size, a hand edit,
// making the window ready to show, a storm of keys on the largest panel, and help over a help
// file that is not one.
#include "codegen/CodeView.h"
#include "platform/IDialogPresenter.h"
#include "platform/MessageBoxes.h"
#include "window/ScrollBar.h"
#include "window/SingleCharWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <memory>
#include <sys/stat.h>

namespace {

class NoDialogs : public platform::IDialogPresenter {
public:
    std::optional<platform::FileDialogResult>
    ShowOpen(const platform::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<platform::FileDialogResult>
    ShowSave(const platform::FileDialogRequest&) override {
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
    state.counters["yields"] =
        benchmark::Counter(w->VekSite().YieldCount(), benchmark::Counter::kAvgIterations);
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

// A key pressed and released, delivered at once or queued.
void press(QWidget& widget, Qt::Key key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &up);
}

void post(QWidget& widget, Qt::Key key) {
    QCoreApplication::postEvent(&widget, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
    QCoreApplication::postEvent(&widget, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
}

// Counts the panel's Changed events: a refresh sets or clears every dot once.
struct DotCounter : kivaro::IVekEvents {
    void Changed() override { ++dots; }
    long dots = 0;
};

// 4,000 Right and Left keys in turn on the Radius bar of a 254 x 254 panel: the first one's
// paint yields and finds the other 3,999 queued (as keys are that come faster than the panel
// repaints). Counters: how deep handlers nested, the stack the storm used, the full refreshes
// it ran, and the time from queueing the last key until the window has handled them all.
void BM_InputStorm(benchmark::State& state) {
    auto w = makeWindow();
    setMatrix(*w, 2, 254, 254); // a radius both keys change
    int deepest = 0;
    std::uintptr_t lowest = UINTPTR_MAX;
    QObject::connect(w->HScrl_Radius, &orvane::ScrollBar::Change, [&] {
        const char here = 0;
        lowest = std::min(lowest, reinterpret_cast<std::uintptr_t>(&here));
    });
    DotCounter counter;
    w->Vek1->Advise(&counter);
    double settleMs = 0;
    for (auto _ : state) {
        bool queued = false;
        int depth = 0;
        QElapsedTimer sinceLastKey;
        w->VekSite().SetYieldHook([&] {
            deepest = std::max(deepest, ++depth);
            if (!queued) {
                queued = true;
                for (int keys = 1; keys < 4000; ++keys)
                    post(*w->HScrl_Radius, keys % 2 ? Qt::Key_Left : Qt::Key_Right);
                sinceLastKey.start();
                QCoreApplication::processEvents();
            }
            --depth;
        });
        const char top = 0;
        counter.dots = 0;
        press(*w->HScrl_Radius, Qt::Key_Right);
        QCoreApplication::processEvents();
        settleMs = double(sinceLastKey.nsecsElapsed()) / 1e6;
        state.counters["stack_kB"] = double(reinterpret_cast<std::uintptr_t>(&top) - lowest) / 1024;
        w->VekSite().SetYieldHook({});
    }
    w->Vek1->Unadvise(&counter);
    state.counters["deepest"] = deepest;
    state.counters["settle_ms"] = settleMs;
    state.counters["refreshes"] = double(counter.dots / (254 * 254));
}
BENCHMARK(BM_InputStorm)->Iterations(1)->Unit(benchmark::kMillisecond);

// Help over a help file that is a pipe with no writer, a link to /dev/zero, or 200 MB long:
// the time until the about text shows.
void BM_HelpOverAWrongFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString help = dir.filePath(QStringLiteral("Quibrel.dll"));
    QFile::link(QCoreApplication::applicationDirPath() + QStringLiteral("/libKivaro.so"),
                dir.filePath(QStringLiteral("libKivaro.so")));
    if (state.range(0) == 0) {
        ::mkfifo(QFile::encodeName(help).constData(), 0666);
    } else if (state.range(0) == 1) {
        QFile::link(QStringLiteral("/dev/zero"), help);
    } else {
        QFile file(help);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(200LL * 1024 * 1024))
            state.SkipWithError("cannot make a 200 MB file");
    }
    auto w = std::make_unique<orvane::SingleCharWindow>(
        orvane::WindowServices{&dialogs, &messages, dir.path()});
    for (auto _ : state)
        w->Cmd_Help_Click();
    state.SetLabel(state.range(0) == 0 ? "pipe" : state.range(0) == 1 ? "/dev/zero" : "200 MB");
}
BENCHMARK(BM_HelpOverAWrongFile)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

} // namespace
