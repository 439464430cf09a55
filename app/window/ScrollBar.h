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

protected:
    // The keys act as on the platform the window comes from, for both orientations: Right
    // and Down add the small change, Left and Up take it away, Page Down and Page Up the
    // large change, Home and End go to the ends.
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace orvane
