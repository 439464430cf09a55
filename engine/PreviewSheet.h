#pragma once

#include "DotMatrix.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>

namespace pointillo {

// Where the panels of a preview sheet lie: one panel of round LEDs a glyph, its label below,
// panels in rows no wider than a screen.
struct SheetLayout {
    int pitch = 0;   // pixels from one LED's centre to the next
    int columns = 0; // panels a row
    QSize panel;     // the LEDs of one glyph
    QSize cell;      // a panel with its margin and label
    int margin = 0;

    QPoint DotCentre(int glyph, int x, int y) const;
    QSize SheetSize(int count) const;
};

SheetLayout SheetLayoutFor(int count, int width, int height);

// The glyphs as LED panels draw them, lit green on dark green as the window's panel starts,
// each labelled with its character and code point.
QImage PreviewSheet(const QList<Glyph>& glyphs);

} // namespace pointillo
