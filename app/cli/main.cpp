// pointillo: the engine on the command line. It draws into images, never on a window or a
// control, so it runs without a display.
#include "Cli.h"

#include <QGuiApplication>

namespace {

QtMessageHandler g_qtHandler = nullptr;

// Run as root without a session (a build container, a CI job), Qt complains on start-up that
// there is no runtime folder. A build step's standard error should hold the tool's own words.
void dropRuntimeFolderNotice(QtMsgType type, const QMessageLogContext& context,
                             const QString& message) {
    if (!message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        g_qtHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_qtHandler = qInstallMessageHandler(dropRuntimeFolderNotice);
    QGuiApplication app(argc, argv);
    qInstallMessageHandler(g_qtHandler);
    return pointillo::RunCli(app.arguments().mid(1));
}
