#pragma once

// The real window over scripted doubles: script f.dialogs (confirm, cancel, fail, exhausted)
// and f.messages.answers, act on f.window, then read f.messages.shown and the outputs back with
// the free functions. The window comes from the given program folder (the test's own by
// default, where the build puts the control library and the help file).

#include "common/ScriptedDialogs.h"
#include "kivaro/IVek.h"
#include "window/SingleCharWindow.h"

#include <QCoreApplication>

#include <memory>
#include <new>

namespace testing {

// The window's dialogs; exhausted makes every one fail as memory running out inside Qt would.
struct WindowDialogs : ScriptedDialogs {
    bool exhausted = false;
    using File = std::optional<platform::FileDialogResult>;
    File ShowOpen(const platform::FileDialogRequest& r) override {
        return runOut(fileRequests, r), ScriptedDialogs::ShowOpen(r);
    }
    File ShowSave(const platform::FileDialogRequest& r) override {
        return runOut(fileRequests, r), ScriptedDialogs::ShowSave(r);
    }
    std::optional<QFont> ShowFont(const platform::FontDialogRequest& r) override {
        return runOut(fontRequests, r), ScriptedDialogs::ShowFont(r);
    }
    void runOut(auto& requests, const auto& request) {
        if (exhausted)
            requests.append(request), throw std::bad_alloc();
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

struct WindowFixture {
    WindowDialogs dialogs;
    WindowMessages messages;
    std::unique_ptr<orvane::SingleCharWindow> window;

    explicit WindowFixture(const QString& folder = QCoreApplication::applicationDirPath()) {
        window = std::make_unique<orvane::SingleCharWindow>(
            orvane::WindowServices{&dialogs, &messages, folder});
    }
};

// The lines of a code text, and the bytes of its data line without "DB " and the commas.
inline QStringList codeLines(const QString& code) {
    return code.split(QStringLiteral("\r\n"));
}
inline QStringList codeBytes(const QString& code) {
    QString data = codeLines(code).value(4);
    if (data.startsWith(QStringLiteral("DB ")))
        data = data.mid(3);
    return data.split(QLatin1Char(','));
}

// The panel's dots as text, one line per dot line, '#' for a lit dot.
inline QString dotPicture(kivaro::IVek& vek) {
    QString picture;
    for (std::uint8_t y = 1; y <= vek.MaxLines(); ++y) {
        for (std::uint8_t x = 1; x <= vek.MaxRows(); ++x)
            picture += vek.Bit(x, y) == 1 ? QLatin1Char('#') : QLatin1Char('.');
        picture += QLatin1Char('\n');
    }
    return picture;
}

inline int litDots(kivaro::IVek& vek) {
    return int(dotPicture(vek).count(QLatin1Char('#')));
}

} // namespace testing
