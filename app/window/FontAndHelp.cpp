// The font chooser and the help text.
#include "AppInfo.h"
#include "HelpFile.h"
#include "SingleCharWindow.h"
#include "codegen/CodeView.h"
#include "platform/PictureSurface.h"
#include "platform/PlatformError.h"

namespace orvane {

namespace {

// Screen and printer fonts listed together, with strikeout and underline offered.
constexpr std::int32_t kFontFlags = 0x103;

} // namespace

void SingleCharWindow::Cmd_Font_Click() {
    try {
        Dialog.SetCancelError(true);
        Dialog.SetFlags(kFontFlags);
        // The face that really draws, not the name a substitution resolves: the chooser
        // lists only real faces, and OK without a change must keep the glyph as it is.
        Dialog.SetFontName(Pic_Char->FaceName());
        Dialog.SetFontBold(Pic_Char->FontBold());
        Dialog.SetFontItalic(Pic_Char->FontItalic());
        Dialog.SetFontStrikethru(Pic_Char->FontStrikethru());
        Dialog.SetFontUnderline(Pic_Char->FontUnderline());
        Dialog.SetFontSize(Pic_Char->FontSize());
        Dialog.ShowFont();
        // The size chosen is not taken: the glyph's size on the matrix is set by sampling.
        Pic_Char->SetFontName(Dialog.FontName());
        Pic_Char->SetFontBold(Dialog.FontBold());
        Pic_Char->SetFontItalic(Dialog.FontItalic());
        Pic_Char->SetFontStrikethru(Dialog.FontStrikethru());
        Pic_Char->SetFontUnderline(Dialog.FontUnderline());
        RefreshPipeline(kStandardFx, kStandardFy);
    } catch (const platform::PlatformError& e) {
        if (!e.isCancel())
            showInfo(QStringLiteral("字体设置错误！"));
    } catch (...) {
        // Any other failure (memory running out inside Qt) fails the font choice alone.
        showInfo(QStringLiteral("字体设置错误！"));
    }
}

void SingleCharWindow::Cmd_Help_Click() {
    runDueRefreshes();
    try {
        const QString text =
            ReadHelpFile(JoinFolder(m_services.programFolder, QString::fromLatin1(kHelpFileName)));
        Txt_Display->SetText(text);
    } catch (...) {
        // Whatever went wrong, help says only that the help is missing.
        Txt_Display->SetText(AboutText());
    }
}

} // namespace orvane
