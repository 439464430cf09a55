#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QtPlugin>

#include <cstdint>

class QWidget;

namespace platform {

class IControlSite;
class PropertyBag;

// How a late-bound call reaches a member: a method call, a property read or a property write.
enum class InvokeKind { Method, PropertyGet, PropertyPut };

// The life cycle and late-bound surface every hosted control offers its host.
class IControl {
public:
    virtual ~IControl() = default;

    virtual QWidget* Widget() = 0;
    virtual void SetSite(IControlSite* site) = 0;

    // Exactly one of these runs when the control is created: InitProperties for a control
    // without saved state, ReadProperties for one with it.
    virtual void InitProperties() = 0;
    virtual void ReadProperties(const PropertyBag& bag) = 0;
    virtual void WriteProperties(PropertyBag& bag) const = 0;

    // Late binding: call a member by its dispatch identifier. Arguments passed by reference
    // come back corrected in args. A property write takes its value as the last argument.
    // Unknown identifiers and wrong arguments throw a PlatformError.
    virtual QVariant Invoke(std::int32_t dispId, InvokeKind kind, QVariantList& args) = 0;
};

// What a control library exports to the hosting layer: it makes instances of its classes.
class IControlFactory {
public:
    virtual ~IControlFactory() = default;
    virtual IControl* CreateControl(const QString& className, QWidget* parent) = 0;
};

} // namespace platform

#define PLATFORM_ICONTROL_IID "org.pointillo.platform.IControl/1.0"
#define PLATFORM_ICONTROLFACTORY_IID "org.pointillo.platform.IControlFactory/1.0"
Q_DECLARE_INTERFACE(platform::IControl, PLATFORM_ICONTROL_IID)
Q_DECLARE_INTERFACE(platform::IControlFactory, PLATFORM_ICONTROLFACTORY_IID)
