// Matrix size, LED radius, panel scrolling and LED colours.
#include "ScrollBar.h"
#include "SingleCharWindow.h"
#include "platform/PictureSurface.h"
#include "platform/Rounding.h"

#include <QLabel>

#include <array>
#include <cmath>

namespace orvane {

namespace {

struct ColourPair {
    std::int32_t unlit;
    std::int32_t lit;
};

constexpr std::array<ColourPair, 5> kColourPairs{{
    {kivaro::BRed, kivaro::Red},
    {kivaro::BGreen, kivaro::Green},
    {kivaro::BBlue, kivaro::Blue},
    {kivaro::BYellow, kivaro::Yellow},
    {kivaro::BPink, kivaro::Pink},
}};

// Shows the panel's overhang beyond the container on a position scroll bar, or puts the panel
// back at 0 in that direction when it fits.
void fitAxis(double visible, double panel, ScrollBar* bar, QWidget* vek, bool vertical) {
    if (panel > visible) {
        bar->setMaximum(platform::ToInt16(std::fabs(visible - panel)));
        bar->setEnabled(true);
        return;
    }
    bar->setEnabled(false);
    // The panel goes back to 0, so the thumb does too: left where it was, it would claim a
    // scroll position the panel no longer shows.
    bar->setValue(0);
    if (vertical && vek->y() != 0)
        vek->move(vek->x(), 0);
    else if (!vertical && vek->x() != 0)
        vek->move(0, vek->y());
}

} // namespace

void SingleCharWindow::fitVertical() {
    QWidget* vek = Vek1->Widget();
    fitAxis(Pic_VekContainer->ScaleHeight(), vek->height(), VScrl_VekPos, vek, true);
}

void SingleCharWindow::fitHorizontal() {
    QWidget* vek = Vek1->Widget();
    fitAxis(Pic_VekContainer->ScaleWidth(), vek->width(), HScrl_VekPos, vek, false);
}

void SingleCharWindow::showSetting(int index, const QString& caption, const ScrollBar* bar) {
    Lbl_VekSet[index]->setText(caption + QString::number(bar->value()));
}

void SingleCharWindow::HScrl_Lines_Change() {
    showSetting(1, QStringLiteral("&Lines:"), HScrl_Lines);
    Vek1->setMaxLines(static_cast<std::uint8_t>(HScrl_Lines->value()));
    fitVertical();
    RefreshPipeline(kStandardFx, kStandardFy);
}

void SingleCharWindow::HScrl_Rows_Change() {
    showSetting(2, QStringLiteral("Ro&ws:"), HScrl_Rows);
    Vek1->setMaxRows(static_cast<std::uint8_t>(HScrl_Rows->value()));
    fitHorizontal();
    RefreshPipeline(kStandardFx, kStandardFy);
}

void SingleCharWindow::HScrl_Radius_Change() {
    showSetting(3, QStringLiteral("Ra&dius:"), HScrl_Radius);
    Vek1->setLedRadius(static_cast<std::uint8_t>(HScrl_Radius->value()));
    fitVertical();
    fitHorizontal();
    RefreshPipeline(kStandardFx, kStandardFy);
}

void SingleCharWindow::HScrl_VekPos_Change() {
    QWidget* vek = Vek1->Widget();
    vek->move(-HScrl_VekPos->value(), vek->y());
}

void SingleCharWindow::VScrl_VekPos_Change() {
    QWidget* vek = Vek1->Widget();
    vek->move(vek->x(), -VScrl_VekPos->value());
}

void SingleCharWindow::Kivaro_Color_Click(int index) {
    if (index >= 0 && index < int(kColourPairs.size())) {
        Vek1->setOnClrColor(kColourPairs[index].unlit);
        Vek1->setOnSetColor(kColourPairs[index].lit);
    }
    RefreshPipeline(kStandardFx, kStandardFy, false);
}

} // namespace orvane
