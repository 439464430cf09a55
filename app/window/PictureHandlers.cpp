// The glyph surface's mouse button: the right one imports a picture, the left one puts the
// glyph's position and region back to their start values.
#include "PictureLoader.h"
#include "ScrollBar.h"
#include "SingleCharWindow.h"
#include "platform/PictureSurface.h"
#include "platform/PlatformError.h"

namespace orvane {

void SingleCharWindow::Pic_Char_MouseDown(Qt::MouseButton button) {
    if (button == Qt::RightButton)
        importPicture();
    else if (button == Qt::LeftButton)
        resetGlyphGeometry();
}

void SingleCharWindow::importPicture() {
    try {
        Dialog.SetCancelError(true);
        Dialog.SetDialogTitle(QStringLiteral("导入图象文件(单色260*140)"));
        Dialog.SetFilter(
            QStringLiteral("图象文件(*.jpg,*.bmp,*.ico)|*.jpg;*.bmp;*.ico|所有文件（*.*）|*.*"));
        Dialog.ShowOpen();
        Pic_Bkp->SetPicture(pointillo::LoadPicture(Dialog.FileName()));
        CharMode = false;
        RefreshPipeline(kNewSourceFx, kNewSourceFy);
    } catch (const platform::PlatformError& e) {
        if (!e.isCancel())
            showInfo(QStringLiteral("不能打开所选取的图象文件！"));
    } catch (...) {
        // Any other failure (memory running out inside Qt) fails this import alone.
        showInfo(QStringLiteral("不能打开所选取的图象文件！"));
    }
}

void SingleCharWindow::resetGlyphGeometry() {
    HScrl_Lines->setValue(Vek1->MaxLines());
    HScrl_Rows->setValue(Vek1->MaxRows());
    HScrl_Radius->setValue(Vek1->LedRadius());
    setGlyphScrollRanges();
}

} // namespace orvane
