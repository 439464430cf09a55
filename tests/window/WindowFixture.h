#pragma once

// The real window over scripted doubles, in a program folder of its own with the control in.

#include "common/ScriptedDialogs.h"
#include "window/SingleCharWindow.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace testing {

struct WindowFixture {
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    ScriptedMessages messages;
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
