#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

class QWidget;

namespace platform {

class IControl;
class IControlSite;
class PropertyBag;

// A control class that a library in the program's folder declares in its own metadata.
struct RegisteredClass {
    QString progId;
    QString className;
    QString libraryPath;
    QJsonObject description; // the library's whole type description
};

// Creates controls by ProgID from the libraries that declare them, the way a window's
// controls are created when the window is.
class ControlHost {
public:
    // Every control class declared by a library in folder (the program's folder when empty).
    static QList<RegisteredClass> RegisteredClasses(const QString& folder = {});

    // Throws PlatformError kErrCannotCreateObject when no library in the folder declares it.
    static RegisteredClass FindClass(const QString& progId, const QString& folder = {});

    // Creates the control inside container, gives it its site, then hands it the properties
    // stored for it (ReadProperties) or, without any, lets it initialise itself. The control's
    // widget is a child of container.
    static IControl* CreateControl(const QString& progId, QWidget* container, IControlSite* site,
                                   const PropertyBag* stored, const QString& folder = {});
};

} // namespace platform
