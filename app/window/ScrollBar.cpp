#include "ScrollBar.h"

#include <QKeyEvent>

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

void ScrollBar::keyPressEvent(QKeyEvent* event) {
    // Qt inverts the arrow keys of horizontal scroll bars, so the keys are mapped here.
    SliderAction action = SliderNoAction;
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
        action = SliderSingleStepAdd;
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        action = SliderSingleStepSub;
        break;
    case Qt::Key_PageDown:
        action = SliderPageStepAdd;
        break;
    case Qt::Key_PageUp:
        action = SliderPageStepSub;
        break;
    case Qt::Key_Home:
        action = SliderToMinimum;
        break;
    case Qt::Key_End:
        action = SliderToMaximum;
        break;
    default:
        QScrollBar::keyPressEvent(event);
        return;
    }
    triggerAction(action);
    event->accept();
}

} // namespace orvane
