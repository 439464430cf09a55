#include "GlyphMaker.h"

#include "CharacterSet.h"
#include "Error.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QTextLayout>

#include <cmath>

namespace pointillo {

GlyphMaker::GlyphMaker(const GlyphOptions& options) : m_options(options) {
    InstallFontSubstitutes();
    m_settings.font = SurfaceFont(options.font, options.pointSize, options.bold, options.italic,
                                  options.underline, options.strikeout);
    m_settings.x = float(options.offsetX);
    m_settings.y = float(options.offsetY);
    m_settings.w = float(options.regionW);
    m_settings.h = float(options.regionH);
    m_settings.fx = options.standardFractions ? kStandardFx : kNewSourceFx;
    m_settings.fy = options.standardFractions ? kStandardFy : kNewSourceFy;
    m_settings.width = options.width;
    m_settings.height = options.height;
    m_rawFont = QRawFont::fromFont(m_settings.font);
    if (options.render == GlyphOptions::Render::Sample && options.fontFile.isEmpty())
        return;
    FontLocation where{options.fontFile, options.faceIndex};
    if (where.path.isEmpty())
        where = LocateFont(options.font, options.bold, options.italic,
                           options.pixelSize > 0 ? options.pixelSize : options.height);
    if (where.path.isEmpty())
        throw Error{1, QStringLiteral("no font file draws the family '%1'").arg(options.font)};
    const bool sizeGiven = options.pixelSize > 0;
    m_font = std::make_unique<FontFile>(where.path, where.faceIndex,
                                        sizeGiven ? options.pixelSize : options.height, sizeGiven);
}

GlyphMaker::~GlyphMaker() = default;

Glyph GlyphMaker::MakeCharacter(char32_t cp, QString* warning) const {
    return m_font ? drawCharacter(cp, warning) : sampleCharacter(cp, warning);
}

// A sampled glyph advances past its last lit column and one dark one; a blank one by half the
// matrix, as a space does in most faces.
Glyph GlyphMaker::sampleCharacter(char32_t cp, QString* warning) const {
    const QString text = QString::fromUcs4(&cp, 1);
    Glyph g{cp, text, SampleDots(DrawGlyphSurface(m_settings, text, {}), m_settings), 0};
    int last = -1;
    for (int y = 0; y < g.dots.height; ++y)
        for (int x = last + 1; x < g.dots.width; ++x)
            if (g.dots.At(x, y))
                last = x;
    g.advance = last < 0 ? (g.dots.width + 1) / 2 : std::min(last + 2, g.dots.width);
    if (warning)
        *warning = FallbackWarning(cp);
    return g;
}

Glyph GlyphMaker::drawCharacter(char32_t cp, QString* warning) const {
    const FontBitmap bitmap = m_font->Render(cp);
    int lost = 0;
    Glyph g{cp, QString::fromUcs4(&cp, 1),
            PlaceBitmap(bitmap, m_font->Ascent(), m_options.placement, m_options.width,
                        m_options.height, &lost),
            bitmap.advance};
    if (!warning)
        return g;
    const bool blank = g.subject.trimmed().isEmpty() || QChar::category(cp) == QChar::Other_Control;
    if (bitmap.missing && !blank)
        *warning = QStringLiteral("%1 is not in %2").arg(CodePointName(cp), m_font->Name());
    else if (lost > 0)
        *warning = QStringLiteral("%1 loses %2 dots at the edge of the %3 x %4 matrix")
                       .arg(CodePointName(cp))
                       .arg(lost)
                       .arg(m_options.width)
                       .arg(m_options.height);
    else
        warning->clear();
    return g;
}

int GlyphMaker::BaselineLine() const {
    if (m_font)
        return pointillo::BaselineLine(m_font->Ascent(), m_options.placement, m_options.height);
    // The sampled face's baseline, scaled from the surface's region to the matrix.
    const double ascent = LineAscent(m_settings.font);
    return int(std::lrint((m_settings.y + ascent) * m_options.height / m_settings.h));
}

Glyph GlyphMaker::MakePicture(const QImage& picture, const QString& subject) const {
    return {0, subject, SampleDots(DrawGlyphSurface(m_settings, {}, picture), m_settings)};
}

QString GlyphMaker::FaceUsed() const {
    return m_font ? m_font->Name() : QFontInfo(m_settings.font).family();
}

QString GlyphMaker::FamilyWarning() const {
    if (m_font)
        return {};
    // Sampling a bitmap face scaled to the surface gives a dot or two where strokes were.
    if (QFontDatabase::hasFamily(m_options.font) && !QFontDatabase::isScalable(m_options.font))
        return QStringLiteral("'%1' is a bitmap font; --render mono draws its own pixels, one a "
                              "dot")
            .arg(m_options.font);
    // A family stands for itself when installed, else for the first installed substitute.
    if (QFontDatabase::hasFamily(m_options.font))
        return {};
    for (const QString& substitute : QFont::substitutes(m_options.font))
        if (QFontDatabase::hasFamily(substitute))
            return {};
    return QStringLiteral("font family '%1' is not installed; drawn with '%2'")
        .arg(m_options.font, FaceUsed());
}

QString GlyphMaker::FallbackWarning(char32_t cp) const {
    if (m_rawFont.supportsCharacter(cp))
        return {};
    // Blank characters need no glyph of their own.
    const QString text = QString::fromUcs4(&cp, 1);
    if (text.trimmed().isEmpty() || QChar::category(cp) == QChar::Other_Control)
        return {};
    QTextLayout layout(text, m_settings.font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QString face;
    for (const QGlyphRun& run : layout.glyphRuns())
        face = run.rawFont().familyName();
    if (face.isEmpty() || face == m_rawFont.familyName())
        face = QStringLiteral("no face (an empty box)");
    return QStringLiteral("%1 drawn with %2").arg(CodePointName(cp), face);
}

} // namespace pointillo
