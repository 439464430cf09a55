#pragma once

#include "DotMatrix.h"
#include "GlyphDrawing.h"

#include <QImage>
#include <QRawFont>
#include <QString>

namespace pointillo {

// How a glyph is drawn and sampled; every default is the window's start state.
struct GlyphOptions {
    QString font = StartFontName();
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    double pointSize = kStartFontSize;
    int width = 16;  // dots across (the window's Rows)
    int height = 16; // dot lines down (the window's Lines)
    int offsetX = 0;
    int offsetY = 0;
    int regionW = kGlyphSurfaceSize.width();
    int regionH = kGlyphSurfaceSize.height();
    bool standardFractions = false;
};

// The window's glyphs without the window: each drawn on a fresh glyph surface in the chosen face
// at the chosen position, and sampled at five points a cell, as the window does after the
// character or picture changed (or, with standardFractions, after a settings change).
class GlyphMaker {
public:
    explicit GlyphMaker(const GlyphOptions& options);

    Glyph MakeCharacter(char32_t cp) const;
    Glyph MakePicture(const QImage& picture, const QString& subject) const;

    // The face the glyphs are drawn in, and a warning when it is not the family asked for.
    QString FaceUsed() const;
    QString FamilyWarning() const;
    // A warning naming the face that draws cp, when the chosen face does not have it.
    QString FallbackWarning(char32_t cp) const;

private:
    GlyphOptions m_options;
    SampleSettings m_settings;
    QRawFont m_rawFont;
};

} // namespace pointillo
