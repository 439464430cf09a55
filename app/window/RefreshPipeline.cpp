// The refresh pipeline and the handlers that run it when the character or its placement
// changes.
#include "CharBox.h"
#include "ScrollBar.h"
#include "SingleCharWindow.h"
#include "codegen/CodeText.h"
#include "glyph/GlyphEngine.h"
#include "platform/PictureSurface.h"

#include <QRadioButton>

namespace orvane {

namespace {

// Position scroll bars give an offset of value minus half the maximum.
float glyphOffset(const ScrollBar* bar) {
    return static_cast<float>(double(bar->value()) - double(bar->maximum()) / 2.0);
}

} // namespace

void SingleCharWindow::RefreshPipeline(float fx, float fy, bool withCode) {
    const QString text = Txt_Char->text();
    const float y = glyphOffset(VScrl_ChrPos);
    const float x = glyphOffset(HScrl_ChrPos);
    RunGlyphStages(*Pic_Char, *Pic_Bkp, *Vek1, CharMode, text, x, y, float(HScrl_ChrWth->value()),
                   float(VScrl_ChrHgt->value()), fx, fy);
    if (withCode)
        runBuildCodeText();
}

void SingleCharWindow::runBuildCodeText() {
    BuildCodeText(*Vek1, *Txt_Display, Opt_CodeModel[0]->isChecked(), Opt_CodeStyle[1]->isChecked(),
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
