#include "ScrollBar.h"

namespace orvane {

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
    // Without tracking, dragging the thumb only moves it; the value (and so Change) follows
    // on release. Arrow and page clicks and code assignments change the value at once.
    setTracking(false);
    // Scroll bars are tab stops, and the labels' access keys move the focus onto them.
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractSlider::valueChanged, this, &ScrollBar::Change);
}

} // namespace orvane
