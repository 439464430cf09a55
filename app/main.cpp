#include "platform/ControlHost.h"
#include "platform/ControlSite.h"
#include "platform/PlatformError.h"
#include "platform/PropertyBag.h"

#include "kivaro/IVek.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

bool hasDisplay() {
    const auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char* argv[]) {
    if (!hasDisplay()) {
        std::fputs("Orvane needs a display to show its window, and this session has none.\n"
                   "Start it from a desktop session, or under Xvfb: xvfb-run Orvane\n",
                   stderr);
        return 2;
    }
    QApplication app(argc, argv);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Pointillo (Single Char)"));
    platform::ControlSite site;
    platform::PropertyBag stored;
    stored.WriteProperty(QStringLiteral("maxlines"), 16, 8);
    stored.WriteProperty(QStringLiteral("maxrows"), 16, 8);
    stored.WriteProperty(QStringLiteral("onsetcolor"), kivaro::Green, kivaro::Red);
    stored.WriteProperty(QStringLiteral("onclrcolor"), kivaro::BGreen, kivaro::BRed);
    try {
        platform::IControl* control = platform::ControlHost::CreateControl(
            QString::fromLatin1(kivaro::kProgId), &window, &site, &stored);
        control->Widget()->setObjectName(QStringLiteral("Vek1"));
        window.resize(control->Widget()->size());
    } catch (const platform::PlatformError& e) {
        QMessageBox::critical(nullptr, QStringLiteral("友情提示"),
                              QString::fromStdString(e.what()));
        return 1;
    }
    window.show();
    return app.exec();
}
