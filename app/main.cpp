#include "platform/MessageBoxes.h"
#include "platform/PlatformError.h"
#include "platform/QtDialogPresenter.h"
#include "window/SingleCharWindow.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Qt's own -platform option names a display as well as the environment does.
bool hasDisplay(int argc, char* argv[]) {
    const auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char* argv[]) {
    if (!hasDisplay(argc, argv)) {
        std::fputs("Orvane needs a display to show its window, and this session has none.\n"
                   "Start it from a desktop session, or under Xvfb: xvfb-run Orvane\n",
                   stderr);
        return 2;
    }
    QApplication app(argc, argv);
    // Wayland desktops match the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.pointillo.Orvane"));
    platform::QtDialogPresenter dialogs;
    platform::QtMessageBoxes messages;
    try {
        orvane::SingleCharWindow window({&dialogs, &messages, {}});
        window.show();
        return app.exec();
    } catch (const platform::PlatformError& e) {
        messages.Show(
            nullptr, QStringLiteral("程序无法启动：%1").arg(QString::fromStdString(e.what())),
            QStringLiteral("友情提示"), platform::MsgIcon::Information, platform::MsgButtons::Ok);
        std::fprintf(stderr, "Orvane: %s\n", e.what());
        return 1;
    }
}
