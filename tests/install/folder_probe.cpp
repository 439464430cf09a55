// Prints the program's folder and the library the hosting layer finds the control in when no
// folder is named, so that a test can start it through links.
#include "AppInfo.h"
#include "kivaro/IVek.h"
#include "platform/ControlHost.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QString library =
        platform::ControlHost::FindClass(QString::fromLatin1(kivaro::kProgId)).libraryPath;
    std::printf("%s\n%s\n", qPrintable(orvane::ProgramFolder()), qPrintable(library));
    return 0;
}
