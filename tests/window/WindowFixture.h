#pragma once

// The real window over scripted doubles, in a program folder of the test's own that links the
// built control library: script f.dialogs and f.messages.answers, act on f.window, then read
// f.messages.shown and the outputs back.

#include "common/ScriptedDialogs.h"
#include "window/SingleCharWindow.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <new>

namespace testing {

// The window's dialogs (the open dialog asks ShowSave); exhausted makes every one fail as
// memory running out inside Qt would.
struct WindowDialogs : ScriptedDialogs {
    bool exhausted = false;
    std::optional<platform::FileDialogResult>
    ShowSave(const platform::FileDialogRequest& request) override {
        return exhausted ? throw std::bad_alloc() : ScriptedDialogs::ShowSave(request);
    }
    std::optional<QFont> ShowFont(const platform::FontDialogRequest& request) override {
        return exhausted ? throw std::bad_alloc() : ScriptedDialogs::ShowFont(request);
    }
};

// The window's message boxes, which also keep the window each one was shown over.
struct WindowMessages : ScriptedMessages {
    QList<QWidget*> parents;
    platform::MsgResult Show(QWidget* parent, const QString& text, const QString& caption,
                             platform::MsgIcon icon, platform::MsgButtons buttons) override {
        parents << parent;
        return ScriptedMessages::Show(parent, text, caption, icon, buttons);
    }
};

// Without the control library in its folder the window cannot be made.
struct WindowFixture {
    QTemporaryDir folder;
    WindowDialogs dialogs;
    WindowMessages messages;
    bool linked;
    std::unique_ptr<orvane::SingleCharWindow> window;

    explicit WindowFixture(bool withControl = true)
        : linked(withControl &&
                 QFile::link(QCoreApplication::applicationDirPath() + "/libKivaro.so",
                             folder.filePath("libKivaro.so"))),
          window(std::make_unique<orvane::SingleCharWindow>(
              orvane::WindowServices{&dialogs, &messages, folder.path()})) {}
};

} // namespace testing
