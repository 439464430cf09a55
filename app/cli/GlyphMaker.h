#pragma once

#include "CliOptions.h"
#include "DotMatrix.h"

#include <QImage>
#include <QRawFont>
#include <QStringList>
#include <QWidget>

#include <memory>

namespace kivaro {
class IVek;
}
namespace platform {
class ControlSite;
class PictureSurface;
} // namespace platform

namespace pointillo {

// The window's engine without the window: a glyph surface of the window's size, the control
// created by its ProgID, and the same drawing and sampling stages. GUI thread only.
class GlyphMaker {
public:
    // Throws platform::PlatformError when the control library cannot be loaded.
    GlyphMaker(const GlyphOptions& options, const QString& programFolder);
    ~GlyphMaker();

    Glyph MakeCharacter(char32_t cp);
    Glyph MakePicture(const QImage& picture, const QString& subject);
    // Loads dots into the control, for writers that read the control.
    void Show(const DotMatrix& dots);
    kivaro::IVek& Control() { return *m_vek; }

    // The face the glyphs are drawn in, and a warning when it is not the family asked for.
    QString FaceUsed() const;
    QString FamilyWarning() const;
    // A warning naming the face that draws cp, when the chosen face does not have it.
    QString FallbackWarning(char32_t cp) const;

private:
    Glyph run(bool CharMode, const QString& text, char32_t cp, const QString& subject);
    DotMatrix readDots();

    GlyphOptions m_options;
    QWidget m_container;
    std::unique_ptr<platform::ControlSite> m_site;
    platform::PictureSurface* m_char = nullptr;
    platform::PictureSurface* m_bkp = nullptr;
    kivaro::IVek* m_vek = nullptr;
    QRawFont m_rawFont;
};

} // namespace pointillo
