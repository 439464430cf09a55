#pragma once

// Scripted stand-ins for the dialogs and message boxes, and a window built with them, so that
// a test drives the real window without ever waiting on a modal dialog.

#include "platform/IDialogPresenter.h"
#include "platform/MessageBoxes.h"
#include "platform/PlatformError.h"
#include "window/SingleCharWindow.h"

#include <QCoreApplication>
#include <QList>

#include <memory>
#include <optional>
#include <stdexcept>

namespace testing {

// Answers file and font dialogs from a script: a path (or font) confirms, nothing cancels,
// an error number fails.
class ScriptedDialogs : public platform::IDialogPresenter {
public:
    struct FileAnswer {
        std::optional<QString> path;
        int failWith = 0;
    };

    QList<FileAnswer> fileAnswers;
    QList<std::optional<QFont>> fontAnswers;
    int fontFailWith = 0; // a font dialog that fails with this error number, when not 0
    QList<platform::FileDialogRequest> fileRequests;
    QList<platform::FontDialogRequest> fontRequests;

    void confirm(const QString& path) { fileAnswers.append({path, 0}); }
    void cancel() { fileAnswers.append({std::nullopt, 0}); }
    void fail(int number) { fileAnswers.append({std::nullopt, number}); }

    std::optional<platform::FileDialogResult>
    ShowOpen(const platform::FileDialogRequest& request) override {
        return answerFile(request);
    }
    std::optional<platform::FileDialogResult>
    ShowSave(const platform::FileDialogRequest& request) override {
        return answerFile(request);
    }
    std::optional<QFont> ShowFont(const platform::FontDialogRequest& request) override {
        fontRequests.append(request);
        if (fontFailWith)
            throw platform::PlatformError(fontFailWith, QStringLiteral("scripted failure"));
        if (fontAnswers.isEmpty())
            throw std::logic_error("a font dialog was shown that the test did not expect");
        return fontAnswers.takeFirst();
    }

private:
    std::optional<platform::FileDialogResult>
    answerFile(const platform::FileDialogRequest& request) {
        fileRequests.append(request);
        if (fileAnswers.isEmpty())
            throw std::logic_error("a file dialog was shown that the test did not expect");
        const FileAnswer answer = fileAnswers.takeFirst();
        if (answer.failWith)
            throw platform::PlatformError(answer.failWith, QStringLiteral("scripted failure"));
        if (!answer.path)
            return std::nullopt;
        return platform::FileDialogResult{*answer.path, 0};
    }
};

class ScriptedMessages : public platform::IMessageBoxes {
public:
    struct Shown {
        QString text;
        QString caption;
        platform::MsgIcon icon;
        platform::MsgButtons buttons;
        QWidget* parent = nullptr;
    };

    QList<platform::MsgResult> answers;
    QList<Shown> shown;

    platform::MsgResult Show(QWidget* parent, const QString& text, const QString& caption,
                             platform::MsgIcon icon, platform::MsgButtons buttons) override {
        shown.append({text, caption, icon, buttons, parent});
        if (buttons == platform::MsgButtons::Ok)
            return platform::MsgResult::Ok;
        if (answers.isEmpty())
            throw std::logic_error("a question was asked that the test did not expect");
        return answers.takeFirst();
    }
};

// A window over scripted dialogs, in the given program folder (the test's own by default,
// where the build puts the control library and the help file).
struct WindowFixture {
    ScriptedDialogs dialogs;
    ScriptedMessages messages;
    std::unique_ptr<orvane::SingleCharWindow> window;

    explicit WindowFixture(const QString& folder = QCoreApplication::applicationDirPath()) {
        window = std::make_unique<orvane::SingleCharWindow>(
            orvane::WindowServices{&dialogs, &messages, folder});
    }
};

} // namespace testing
