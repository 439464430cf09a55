#include "codegen/CodeText.h"

#include "Packing.h"
#include "WindowCodeText.h"
#include "codegen/CodeView.h"
#include "kivaro/IVek.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace orvane {

namespace {

// The window asks for the same layout and size again and again: the plan, and the control's
// coordinates of every dot in the plan's scan order, are made once for each.
struct ScanPlan {
    pointillo::PackingPlan plan;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> dots; // X, Y counted from 1
};

const ScanPlan& planFor(const pointillo::Layout& layout, int width, int height) {
    static std::optional<ScanPlan> cached;
    if (!cached || cached->plan.GetLayout() != layout || cached->plan.Width() != width ||
        cached->plan.Height() != height) {
        pointillo::PackingPlan plan(layout, width, height);
        std::vector<std::pair<std::uint8_t, std::uint8_t>> dots;
        dots.reserve(plan.ScanOrder().size());
        for (const int dot : plan.ScanOrder())
            dots.emplace_back(std::uint8_t(dot % width + 1), std::uint8_t(dot / width + 1));
        cached.emplace(ScanPlan{std::move(plan), std::move(dots)});
    }
    return *cached;
}

} // namespace

QString CodeSubject(bool CharMode, const QString& charText, const QString& dialogFileName) {
    return CharMode ? charText : dialogFileName;
}

QString BuildCodeString(kivaro::IVek& control, const pointillo::Layout& layout, bool asm51,
                        const QString& subject) {
    const int width = control.MaxRows();
    const int height = control.MaxLines();
    const ScanPlan& scan = planFor(layout, width, height);
    pointillo::DotMatrix dots(width, height);
    const std::vector<int>& order = scan.plan.ScanOrder();
    for (std::size_t k = 0; k < order.size(); ++k) {
        auto [X, Y] = scan.dots[k];
        dots.lit[std::size_t(order[k])] = control.Bit(X, Y) != 0 ? 1 : 0;
    }
    return pointillo::WindowCodeText(scan.plan.Pack(dots), asm51, subject);
}

void BuildCodeText(kivaro::IVek& control, CodeView& Txt_Display, const pointillo::Layout& layout,
                   bool asm51, const QString& subject) {
    Txt_Display.SetText(BuildCodeString(control, layout, asm51, subject));
}

} // namespace orvane
