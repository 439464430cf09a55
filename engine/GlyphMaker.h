#pragma once

#include "DotMatrix.h"
#include "FontFile.h"
#include "GlyphDrawing.h"

#include <QImage>
#include <QRawFont>
#include <QString>

#include <memory>

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
    // The source: the window's drawing and sampling of a face chosen by family (sample), or a
    // font drawn one pixel a dot at a pixel size (mono; always so for fontFile).
    enum class Render { Sample, Mono };
    Render render = Render::Sample;
    QString fontFile; // a font file instead of a family
    int faceIndex = 0;
    int pixelSize = 0; // 0: the matrix's height
    Placement placement;
};

// The glyphs of a table. The sampled source is the window's glyphs without the window: each
// drawn on a fresh glyph surface in the chosen face at the chosen position, and sampled at five
// points a cell, as the window does after the character or picture changed (or, with
// standardFractions, after a settings change). The mono source draws a font file (or the file
// of the chosen face) one pixel a dot and places it by options.placement.
class GlyphMaker {
public:
    // Throws Error when the font file cannot be used.
    explicit GlyphMaker(const GlyphOptions& options);
    ~GlyphMaker();

    // warning, when given, names what is wrong with the glyph: a character the face lacks, ink
    // cut off at the matrix's edge.
    Glyph MakeCharacter(char32_t cp, QString* warning = nullptr) const;
    Glyph MakePicture(const QImage& picture, const QString& subject) const;

    // The face the glyphs are drawn in, and a warning when it is not the family asked for.
    QString FaceUsed() const;
    QString FamilyWarning() const;
    // A warning naming the face that draws cp, when the chosen face does not have it.
    QString FallbackWarning(char32_t cp) const;
    // The line of the baseline in the matrix, counted from 0 at the top.
    int BaselineLine() const;

private:
    Glyph sampleCharacter(char32_t cp, QString* warning) const;
    Glyph drawCharacter(char32_t cp, QString* warning) const;

    GlyphOptions m_options;
    SampleSettings m_settings;
    QRawFont m_rawFont;
    std::unique_ptr<FontFile> m_font;
};

} // namespace pointillo
