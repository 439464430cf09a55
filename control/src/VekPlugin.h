#pragma once

#include "platform/Control.h"

#include <QObject>

namespace kivaro {

// The library's entry point for the hosting layer: its metadata (kivaro.json) registers the
// class Vek under its ProgID with the type description, and CreateControl makes instances.
class VekPlugin : public QObject, public platform::IControlFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID PLATFORM_ICONTROLFACTORY_IID FILE "kivaro.json")
    Q_INTERFACES(platform::IControlFactory)

public:
    platform::IControl* CreateControl(const QString& className, QWidget* parent) override;
};

} // namespace kivaro
