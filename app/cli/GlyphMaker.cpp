#include "GlyphMaker.h"

#include "CharacterSet.h"
#include "glyph/GlyphEngine.h"
#include "kivaro/IVek.h"
#include "platform/ControlSite.h"
#include "platform/PictureSurface.h"
#include "glyph/FontSubstitutes.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QTextLayout>

namespace pointillo {

GlyphMaker::GlyphMaker(const GlyphOptions& options, const QString& programFolder)
    : m_options(options), m_site(std::make_unique<platform::ControlSite>()) {
    orvane::InstallFontSubstitutes();
    m_char = new platform::PictureSurface(&m_container);
    m_char->setFrameShape(QFrame::NoFrame);
    m_char->resize(orvane::GlyphSurfaceSize());
    m_char->SetBackColor(orvane::kGlyphBackColor);
    m_char->SetFontName(options.font);
    m_char->SetFontSize(options.pointSize);
    m_char->SetFontBold(options.bold);
    m_char->SetFontItalic(options.italic);
    m_char->SetFontUnderline(options.underline);
    m_char->SetFontStrikethru(options.strikeout);
    m_bkp = new platform::PictureSurface(&m_container);
    m_vek = orvane::CreateVek(&m_container, m_site.get(), programFolder);
    m_vek->setMaxLines(static_cast<std::uint8_t>(options.lines));
    m_vek->setMaxRows(static_cast<std::uint8_t>(options.rows));
    m_rawFont = QRawFont::fromFont(m_char->DrawFont());
}

GlyphMaker::~GlyphMaker() = default;

Glyph GlyphMaker::run(bool CharMode, const QString& text, char32_t cp, const QString& subject) {
    const float fx = m_options.standardFractions ? orvane::kStandardFx : orvane::kNewSourceFx;
    const float fy = m_options.standardFractions ? orvane::kStandardFy : orvane::kNewSourceFy;
    orvane::RunGlyphStages(*m_char, *m_bkp, *m_vek, CharMode, text, float(m_options.offsetX),
                           float(m_options.offsetY), float(m_options.regionW),
                           float(m_options.regionH), fx, fy);
    return {cp, subject, readDots()};
}

Glyph GlyphMaker::MakeCharacter(char32_t cp) {
    const QString text = QString::fromUcs4(&cp, 1);
    return run(true, text, cp, text);
}

Glyph GlyphMaker::MakePicture(const QImage& picture, const QString& subject) {
    m_bkp->SetPicture(picture);
    return run(false, QString(), 0, subject);
}

DotMatrix GlyphMaker::readDots() {
    DotMatrix dots{m_options.lines, m_options.rows, {}};
    dots.lit.resize(std::size_t(dots.lines) * dots.rows);
    for (int y = 1; y <= dots.lines; ++y) {
        for (int x = 1; x <= dots.rows; ++x) {
            std::uint8_t X = static_cast<std::uint8_t>(x);
            std::uint8_t Y = static_cast<std::uint8_t>(y);
            dots.lit[std::size_t((y - 1) * dots.rows + (x - 1))] = m_vek->Bit(X, Y);
        }
    }
    return dots;
}

void GlyphMaker::Show(const DotMatrix& dots) {
    m_vek->setMaxLines(static_cast<std::uint8_t>(dots.lines));
    m_vek->setMaxRows(static_cast<std::uint8_t>(dots.rows));
    for (int y = 1; y <= dots.lines; ++y) {
        for (int x = 1; x <= dots.rows; ++x) {
            std::uint8_t X = static_cast<std::uint8_t>(x);
            std::uint8_t Y = static_cast<std::uint8_t>(y);
            if (dots.At(x, y))
                m_vek->SetBit(X, Y);
            else
                m_vek->ClrBit(X, Y);
        }
    }
}

QString GlyphMaker::FaceUsed() const {
    return QFontInfo(m_char->DrawFont()).family();
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
    QTextLayout layout(text, m_char->DrawFont());
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
