#include "VekPlugin.h"

#include "kivaro/Vek.h"

namespace kivaro {

platform::IControl* VekPlugin::CreateControl(const QString& className, QWidget* parent) {
    if (className != QLatin1String(kClassName))
        return nullptr;
    return new Vek(parent);
}

} // namespace kivaro
