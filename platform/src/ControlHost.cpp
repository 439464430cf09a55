#include "platform/ControlHost.h"

#include "platform/Control.h"
#include "platform/PlatformError.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QLibrary>
#include <QPluginLoader>
#include <QWidget>

namespace platform {

namespace {

QString folderOrProgram(const QString& folder) {
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

} // namespace

QList<RegisteredClass> ControlHost::RegisteredClasses(const QString& folder) {
    QList<RegisteredClass> classes;
    const QDir dir(folderOrProgram(folder));
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        if (!QLibrary::isLibrary(name))
            continue;
        const QString path = dir.absoluteFilePath(name);
        const QJsonObject meta = QPluginLoader(path).metaData();
        if (meta.value(QStringLiteral("IID")).toString() !=
            QLatin1String(PLATFORM_ICONTROLFACTORY_IID))
            continue;
        const QJsonObject description = meta.value(QStringLiteral("MetaData")).toObject();
        for (const auto& entry : description.value(QStringLiteral("Classes")).toArray()) {
            const QJsonObject cls = entry.toObject();
            classes.append({cls.value(QStringLiteral("ProgID")).toString(),
                            cls.value(QStringLiteral("ClassName")).toString(), path, description});
        }
    }
    return classes;
}

RegisteredClass ControlHost::FindClass(const QString& progId, const QString& folder) {
    for (const RegisteredClass& cls : RegisteredClasses(folder)) {
        if (cls.progId.compare(progId, Qt::CaseInsensitive) == 0)
            return cls;
    }
    throw PlatformError(kErrCannotCreateObject,
                        QStringLiteral("No control library in %1 registers the class %2")
                            .arg(QDir::toNativeSeparators(folderOrProgram(folder)), progId));
}

IControl* ControlHost::CreateControl(const QString& progId, QWidget* container,
                                     IControlSite* site, const PropertyBag* stored,
                                     const QString& folder) {
    const RegisteredClass cls = FindClass(progId, folder);
    // The loader is left alive on purpose: a control library stays loaded for the whole run.
    auto* loader = new QPluginLoader(cls.libraryPath, QCoreApplication::instance());
    auto* factory = qobject_cast<IControlFactory*>(loader->instance());
    if (!factory)
        throw PlatformError(kErrCannotCreateObject,
                            QStringLiteral("Cannot load %1: %2").arg(cls.libraryPath,
                                                                     loader->errorString()));
    IControl* control = factory->CreateControl(cls.className, container);
    if (!control)
        throw PlatformError(kErrCannotCreateObject,
                            QStringLiteral("%1 does not create %2").arg(cls.libraryPath,
                                                                        cls.className));
    control->SetSite(site);
    if (stored)
        control->ReadProperties(*stored);
    else
        control->InitProperties();
    return control;
}

} // namespace platform
