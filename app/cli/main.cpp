// pointillo: the window's engine on the command line. It draws on widgets that are never
// shown, so it runs without a display.
#include "Cli.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return pointillo::RunCli(app.arguments().mid(1));
}
