// The refresh pipeline and the handlers that run it when the character or its placement
// changes.
#include "CharBox.h"
#include "ScrollBar.h"
#include "SingleCharWindow.h"
#include "codegen/CodeText.h"
#include "glyph/GlyphEngine.h"
#include "platform/PictureSurface.h"

#include <QRadioButton>
#include <QScopedValueRollback>

#include <utility>

namespace orvane {

namespace {

// Position scroll bars give an offset of value minus half the maximum.
float glyphOffset(const ScrollBar* bar) {
    return static_cast<float>(double(bar->value()) - double(bar->maximum()) / 2.0);
}

} // namespace

// Input that arrives while a large panel's paint yields is dispatched inside that yield, and
// keys come faster than the whole pipeline (drawing, sampling 254 x 254 dots, the code text)
// can run: run once per key, a burst of 4,000 keys keeps the window busy for seconds after
// the last one. Each run replaces everything the one before it produced, so inside a yield a
// request only records that a refresh is due; the handler's own effects (labels, the panel's
// size and position, the fit checks) have happened at once. The due refresh runs once, with
// the state as it is then, when the yield ends, whoever started the paint, or sooner when a
// handler needs the code text. Outside a yield a change refreshes at once, as it always did.
void SingleCharWindow::RefreshPipeline(float fx, float fy, bool withCode) {
    m_due = {true, fx, fy, withCode || (m_due.due && m_due.withCode)};
    if (!m_vekSite.Yielding())
        runDueRefreshes();
}

// Loops because a run could itself yield and so let more input ask for a refresh.
void SingleCharWindow::runDueRefreshes() {
    while (m_due.due) {
        const DueRefresh due = std::exchange(m_due, {});
        const QString text = Txt_Char->text();
        const float y = glyphOffset(VScrl_ChrPos);
        const float x = glyphOffset(HScrl_ChrPos);
        RunGlyphStages(*Pic_Char, *Pic_Bkp, *Vek1, CharMode, text, x, y,
                       float(HScrl_ChrWth->value()), float(VScrl_ChrHgt->value()), due.fx, due.fy);
        if (due.withCode)
            runBuildCodeText();
    }
}

void SingleCharWindow::VekSiteOfWindow::Yield() {
    {
        const QScopedValueRollback<int> nested(m_depth, m_depth + 1);
        platform::ControlSite::Yield();
    }
    if (m_depth == 0)
        m_window.runDueRefreshes();
}

// A code text built now, over a panel that a due refresh is about to sample again, would
// describe dots the panel no longer shows: the due refresh builds it instead.
void SingleCharWindow::runBuildCodeText() {
    if (m_due.due) {
        m_due.withCode = true;
        return;
    }
    BuildCodeText(*Vek1, *Txt_Display, CodeModelLayout(Opt_CodeModel[0]->isChecked()),
                  Opt_CodeStyle[1]->isChecked(),
                  CodeSubject(CharMode, Txt_Char->text(), Dialog.FileName()));
}

void SingleCharWindow::Txt_Char_KeyDown() {
    Txt_Char->setText(QString());
}

void SingleCharWindow::Txt_Char_Change() {
    CharMode = true;
    RefreshPipeline(kNewSourceFx, kNewSourceFy);
}

void SingleCharWindow::GlyphScroll_Change() {
    RefreshPipeline(kStandardFx, kStandardFy);
}

} // namespace orvane
