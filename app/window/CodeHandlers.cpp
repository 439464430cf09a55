// Code options, hand editing, copying and saving.
#include "CharBox.h"
#include "SingleCharWindow.h"
#include "codegen/CodeView.h"
#include "codegen/DotFile.h"
#include "platform/FileAccess.h"
#include "platform/MessageBoxes.h"
#include "platform/PlatformError.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>

namespace orvane {

namespace {

const QString kCaption = QStringLiteral("友情提示");

} // namespace

void SingleCharWindow::Opt_Code_Click() {
    runBuildCodeText();
}

void SingleCharWindow::Chk_VekEdit_Click() {
    Vek1->setEnable(Chk_VekEdit->checkState() != Qt::Unchecked);
}

void SingleCharWindow::Vek1_Edited() {
    runBuildCodeText();
}

// Copy, save and help take or replace the code text: a refresh still due from input in a yield
// runs first, as it would have before that input was merged.
void SingleCharWindow::Cmd_Copy_Click() {
    runDueRefreshes();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(Txt_Display->Text());
}

void SingleCharWindow::Cmd_Save_Click() {
    runDueRefreshes();
    try {
        Dialog.SetCancelError(true);
        auto answer = platform::MsgResult::No;
        Dialog.SetFileName(ProposedDotFileName(m_services.programFolder, Txt_Char->text()));
        Dialog.SetDialogTitle(QStringLiteral("保存点阵文件"));
        Dialog.SetFilter(QStringLiteral("点阵文件（*.dot）|*.dot|所有文件（*.*）|*.*"));
        Dialog.ShowSave();
        // Every existing name is asked about, whatever it is; a save to one that is not a
        // regular file then fails without touching it.
        while (platform::NameExists(Dialog.FileName()) && answer == platform::MsgResult::No) {
            answer =
                m_services.messages->Show(this, QStringLiteral("是否覆盖同名文件！"), kCaption,
                                          platform::MsgIcon::Question, platform::MsgButtons::YesNo);
            if (answer == platform::MsgResult::No)
                Dialog.ShowSave();
        }
        SaveDotFile(Dialog.FileName(), Txt_Display->Text());
    } catch (const platform::PlatformError& e) {
        if (!e.isCancel())
            showInfo(QStringLiteral("文件保存没有成功！"));
    } catch (...) {
        // Any other failure (memory running out inside Qt) is a failed save too.
        showInfo(QStringLiteral("文件保存没有成功！"));
    }
}

void SingleCharWindow::showInfo(const QString& text) {
    m_services.messages->Show(this, text, kCaption, platform::MsgIcon::Information,
                              platform::MsgButtons::Ok);
}

} // namespace orvane
