#include "glyph/GlyphEngine.h"

#include "glyph/GlyphSampler.h"
#include "kivaro/IVek.h"
#include "platform/ControlHost.h"
#include "platform/PlatformError.h"
#include "platform/PropertyBag.h"
#include "window/Twips.h"

#include <QWidget>

namespace orvane {

namespace {

// Radius and editing are not stored, so the control starts with its defaults for them.
const char kVek1Properties[] = "_extentx = 5927\n"
                               "_extenty = 5927\n"
                               "maxlines = 16\n"
                               "maxrows = 16\n"
                               "onsetcolor = 65280\n"
                               "onclrcolor = 32768\n";

} // namespace

QSize GlyphSurfaceSize() {
    return {TwipsToPixels(kGlyphSurfaceWidthTwips), TwipsToPixels(kGlyphSurfaceHeightTwips)};
}

kivaro::IVek* CreateVek(QWidget* container, platform::IControlSite* site, const QString& folder) {
    const platform::PropertyBag stored =
        platform::PropertyBag::FromText(QString::fromLatin1(kVek1Properties));
    platform::IControl* control = platform::ControlHost::CreateControl(
        QString::fromLatin1(kivaro::kProgId), container, site, &stored, folder);
    auto* vek = qobject_cast<kivaro::IVek*>(control->Widget());
    if (!vek)
        throw platform::PlatformError(platform::kErrCannotCreateObject,
                                      QStringLiteral("The control library does not offer "
                                                     "the LED dot-matrix interface"));
    return vek;
}

void RunGlyphStages(platform::PictureSurface& Pic_Char, const platform::PictureSurface& Pic_Bkp,
                    kivaro::IVek& control, bool CharMode, const QString& text, float x, float y,
                    float w, float h, float fx, float fy) {
    DrawGlyph(Pic_Char, Pic_Bkp, CharMode, text, x, y);
    SampleGlyph(Pic_Char, control, w, h, fx, fy, false, kInk);
    MarkGrid(Pic_Char, control, w, h, kGridMark);
}

} // namespace orvane
