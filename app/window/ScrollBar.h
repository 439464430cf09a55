#pragma once

#include <QScrollBar>

namespace orvane {

// A scroll bar that reports a change of value the way the window's handlers expect it: on
// release of the thumb, on a click on an arrow or the track, and whenever code assigns a
// different value, but never while the thumb is being dragged.
class ScrollBar : public QScrollBar {
    Q_OBJECT

public:
    explicit ScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

signals:
    void Change();
};

} // namespace orvane
