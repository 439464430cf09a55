#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class QWidget;

namespace platform {

// What a file dialog is asked to show. The filter is already in Qt's form.
struct FileDialogRequest {
    QString title;
    QStringList filters;
    int filterIndex = 0;      // 0-based into filters
    QString fileName;         // proposed path or name
    QWidget* owner = nullptr; // the window the dialog opens over
};

struct FileDialogResult {
    QString fileName;
    int filterIndex = 0; // 0-based into the request's filters
};

struct FontDialogRequest {
    QFont font;
    std::int32_t flags = 0;
    QWidget* owner = nullptr; // the window the dialog opens over
};

// Shows the modal dialogs. An empty result means the user closed the dialog without
// confirming; any other failure is thrown as a PlatformError. Tests put a scripted double here.
class IDialogPresenter {
public:
    virtual ~IDialogPresenter() = default;
    virtual std::optional<FileDialogResult> ShowOpen(const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogResult> ShowSave(const FileDialogRequest& request) = 0;
    virtual std::optional<QFont> ShowFont(const FontDialogRequest& request) = 0;
};

} // namespace platform
