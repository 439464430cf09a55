#pragma once

// Stand-ins for the modal dialogs and message boxes that answer from a script and keep what
// they were asked, so that no test ever waits on a user. A dialog or question the test did not
// script is an error that ends the test.

#include "platform/IDialogPresenter.h"
#include "platform/MessageBoxes.h"
#include "platform/PlatformError.h"

#include <QList>

#include <new>
#include <stdexcept>

namespace testing {

// A negative number stands for running out of memory.
inline void failIf(int number) {
    if (number < 0)
        throw std::bad_alloc();
    if (number)
        throw platform::PlatformError(number, QStringLiteral("scripted failure"));
}

template <typename T> T next(QList<T>& answers, const char* what) {
    if (answers.isEmpty())
        throw std::logic_error(what);
    return answers.takeFirst();
}

// confirm(path) and cancel() queue the next file answer, fail(number) makes the next one
// fail; fontAnswers queue fonts (nullopt cancels).
class ScriptedDialogs : public platform::IDialogPresenter {
public:
    struct FileAnswer {
        std::optional<QString> path;
        int failWith = 0;
    };
    QList<FileAnswer> fileAnswers;
    QList<std::optional<QFont>> fontAnswers;
    int fontFailWith = 0;
    QList<platform::FileDialogRequest> fileRequests;
    QList<platform::FontDialogRequest> fontRequests;

    void confirm(const QString& path) { fileAnswers.append({path, 0}); }
    void cancel() { fileAnswers.append({std::nullopt, 0}); }
    void fail(int number) { fileAnswers.append({std::nullopt, number}); }

    std::optional<platform::FileDialogResult>
    ShowOpen(const platform::FileDialogRequest& request) override {
        return ShowSave(request);
    }
    std::optional<platform::FileDialogResult>
    ShowSave(const platform::FileDialogRequest& request) override {
        fileRequests.append(request);
        const FileAnswer answer = next(fileAnswers, "an unexpected file dialog");
        failIf(answer.failWith);
        return answer.path ? std::optional(platform::FileDialogResult{*answer.path, 0})
                           : std::nullopt;
    }
    std::optional<QFont> ShowFont(const platform::FontDialogRequest& request) override {
        fontRequests.append(request);
        failIf(fontFailWith);
        return next(fontAnswers, "an unexpected font dialog");
    }
};

// Message boxes: every box shown is kept; an OK box answers itself, a question takes the next
// of answers.
class ScriptedMessages : public platform::IMessageBoxes {
public:
    struct Shown {
        QString text;
        QString caption;
        platform::MsgIcon icon;
        platform::MsgButtons buttons;
        QWidget* owner;
    };
    QList<platform::MsgResult> answers;
    QList<Shown> shown;

    platform::MsgResult Show(QWidget* owner, const QString& text, const QString& caption,
                             platform::MsgIcon icon, platform::MsgButtons buttons) override {
        shown.append({text, caption, icon, buttons, owner});
        return buttons == platform::MsgButtons::Ok ? platform::MsgResult::Ok
                                                   : next(answers, "an unexpected question");
    }
};

} // namespace testing
