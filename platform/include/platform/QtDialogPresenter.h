#pragma once

#include "platform/IDialogPresenter.h"

class QWidget;

namespace platform {

// Qt's file and font dialogs. The open dialog accepts a name that does not exist, and the save
// dialog asks no overwrite question: the callers decide both themselves.
class QtDialogPresenter : public IDialogPresenter {
public:
    explicit QtDialogPresenter(QWidget* parent = nullptr) : m_parent(parent) {}

    std::optional<FileDialogResult> ShowOpen(const FileDialogRequest& request) override;
    std::optional<FileDialogResult> ShowSave(const FileDialogRequest& request) override;
    std::optional<QFont> ShowFont(const FontDialogRequest& request) override;

private:
    QWidget* m_parent;
};

} // namespace platform
