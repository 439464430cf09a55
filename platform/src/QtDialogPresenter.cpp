#include "platform/QtDialogPresenter.h"

#include <QFileDialog>
#include <QFontDialog>

namespace platform {

namespace {

std::optional<FileDialogResult> runFileDialog(QWidget* parent, const FileDialogRequest& request,
                                              QFileDialog::AcceptMode mode) {
    QFileDialog dialog(request.owner ? request.owner : parent, request.title);
    dialog.setAcceptMode(mode);
    // Both callers decide themselves what a missing or an existing file means.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // The descriptions name their patterns already ("点阵文件（*.dot）"): Qt's own copy of the
    // patterns would show each of them twice.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (!request.filters.isEmpty()) {
        dialog.setNameFilters(request.filters);
        dialog.selectNameFilter(request.filters.value(request.filterIndex));
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString selected = dialog.selectedNameFilter();
    int index = static_cast<int>(request.filters.indexOf(selected));
    for (int i = 0; index < 0 && i < request.filters.size(); ++i)
        if (request.filters[i].startsWith(selected + QStringLiteral(" (")))
            index = i;
    return FileDialogResult{dialog.selectedFiles().constFirst(), index < 0 ? 0 : index};
}

} // namespace

std::optional<FileDialogResult> QtDialogPresenter::ShowOpen(const FileDialogRequest& request) {
    return runFileDialog(m_parent, request, QFileDialog::AcceptOpen);
}

std::optional<FileDialogResult> QtDialogPresenter::ShowSave(const FileDialogRequest& request) {
    return runFileDialog(m_parent, request, QFileDialog::AcceptSave);
}

std::optional<QFont> QtDialogPresenter::ShowFont(const FontDialogRequest& request) {
    bool accepted = false;
    const QFont chosen =
        QFontDialog::getFont(&accepted, request.font, request.owner ? request.owner : m_parent);
    if (!accepted)
        return std::nullopt;
    return chosen;
}

} // namespace platform
