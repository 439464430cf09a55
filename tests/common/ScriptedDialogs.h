#pragma once

// Stand-ins for the modal dialogs and message boxes that answer from a script and keep what
// they were asked, so that no test ever waits on a user.

#include "platform/IDialogPresenter.h"
#include "platform/MessageBoxes.h"
#include "platform/PlatformError.h"

#include <QList>

#include <stdexcept>

namespace testing {

// File and font dialogs. confirm(path) and cancel() queue the next file answer, fail(number)
// makes the next one fail; fontAnswers queue fonts (nullopt cancels). A dialog that the test
// did not script is an error that ends the test.
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
        return answerFile(request);
    }
    std::optional<platform::FileDialogResult>
    ShowSave(const platform::FileDialogRequest& request) override {
        return answerFile(request);
    }
    std::optional<QFont> ShowFont(const platform::FontDialogRequest& request) override {
        fontRequests.append(request);
        failIf(fontFailWith);
        if (fontAnswers.isEmpty())
            throw std::logic_error("an unexpected font dialog");
        return fontAnswers.takeFirst();
    }

private:
    static void failIf(int number) {
        if (number)
            throw platform::PlatformError(number, QStringLiteral("scripted failure"));
    }
    std::optional<platform::FileDialogResult>
    answerFile(const platform::FileDialogRequest& request) {
        fileRequests.append(request);
        if (fileAnswers.isEmpty())
            throw std::logic_error("an unexpected file dialog");
        const FileAnswer answer = fileAnswers.takeFirst();
        failIf(answer.failWith);
        if (!answer.path)
            return std::nullopt;
        return platform::FileDialogResult{*answer.path, 0};
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
    };
    QList<platform::MsgResult> answers;
    QList<Shown> shown;

    platform::MsgResult Show(QWidget*, const QString& text, const QString& caption,
                             platform::MsgIcon icon, platform::MsgButtons buttons) override {
        shown.append({text, caption, icon, buttons});
        if (buttons == platform::MsgButtons::Ok)
            return platform::MsgResult::Ok;
        if (answers.isEmpty())
            throw std::logic_error("an unexpected question");
        return answers.takeFirst();
    }
};

} // namespace testing
