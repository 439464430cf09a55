#include "platform/ControlSite.h"

#include <QCoreApplication>

namespace platform {

void ControlSite::PropertyChanged(const QString& name) { m_notifications.append(name); }

void ControlSite::Yield() {
    ++m_yields;
    if (m_yieldHook)
        m_yieldHook();
    QCoreApplication::processEvents();
}

void ControlSite::ResetCounts() {
    m_yields = 0;
    m_notifications.clear();
}

} // namespace platform
