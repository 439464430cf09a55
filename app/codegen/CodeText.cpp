#include "codegen/CodeText.h"

#include "Packing.h"
#include "WindowCodeText.h"
#include "codegen/CodeView.h"
#include "kivaro/IVek.h"

#include <optional>

namespace orvane {

namespace {

// The window asks for the same layout and size again and again; the plan is made once for each.
const pointillo::PackingPlan& planFor(const pointillo::Layout& layout, int width, int height) {
    static std::optional<pointillo::PackingPlan> plan;
    if (!plan || plan->GetLayout() != layout || plan->Width() != width || plan->Height() != height)
        plan.emplace(layout, width, height);
    return *plan;
}

} // namespace

QString CodeSubject(bool CharMode, const QString& charText, const QString& dialogFileName) {
    return CharMode ? charText : dialogFileName;
}

QString BuildCodeString(kivaro::IVek& control, const pointillo::Layout& layout, bool asm51,
                        const QString& subject) {
    const int width = control.MaxRows();
    const int height = control.MaxLines();
    const pointillo::PackingPlan& plan = planFor(layout, width, height);
    pointillo::DotMatrix dots(width, height);
    for (const int dot : plan.ScanOrder()) {
        std::uint8_t X = static_cast<std::uint8_t>(dot % width + 1);
        std::uint8_t Y = static_cast<std::uint8_t>(dot / width + 1);
        dots.lit[std::size_t(dot)] = control.Bit(X, Y) != 0 ? 1 : 0;
    }
    return pointillo::WindowCodeText(plan.Pack(dots), asm51, subject);
}

void BuildCodeText(kivaro::IVek& control, CodeView& Txt_Display, const pointillo::Layout& layout,
                   bool asm51, const QString& subject) {
    Txt_Display.SetText(BuildCodeString(control, layout, asm51, subject));
}

} // namespace orvane
