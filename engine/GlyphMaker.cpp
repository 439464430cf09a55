#include "GlyphMaker.h"

#include "CharacterSet.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QTextLayout>

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
}

Glyph GlyphMaker::MakeCharacter(char32_t cp) const {
    const QString text = QString::fromUcs4(&cp, 1);
    return {cp, text, SampleDots(DrawGlyphSurface(m_settings, text, {}), m_settings)};
}

Glyph GlyphMaker::MakePicture(const QImage& picture, const QString& subject) const {
    return {0, subject, SampleDots(DrawGlyphSurface(m_settings, {}, picture), m_settings)};
}

QString GlyphMaker::FaceUsed() const {
    return QFontInfo(m_settings.font).family();
}

QString GlyphMaker::FamilyWarning() const {
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
