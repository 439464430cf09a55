#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// What a hosted control may ask of the window that holds it.
class IControlSite {
public:
    virtual ~IControlSite() = default;
    // The property named by its persistence key has changed.
    virtual void PropertyChanged(const QString& name) = 0;
    // Dispatch every pending user-interface message, then return. Handlers may run inside.
    virtual void Yield() = 0;
};

// The site the hosting layer gives every control. It counts what the control asks of it, so
// that the host (and a test) can see how often a long paint yielded.
class ControlSite : public IControlSite {
public:
    void PropertyChanged(const QString& name) override;
    void Yield() override;

    int YieldCount() const { return m_yields; }
    const QStringList& Notifications() const { return m_notifications; }
    void ResetCounts();

    // Runs inside every yield, before the pending messages are dispatched: lets a test stand
    // in for a user who acts in the middle of a long paint.
    void SetYieldHook(std::function<void()> hook) { m_yieldHook = std::move(hook); }

private:
    int m_yields = 0;
    QStringList m_notifications;
    std::function<void()> m_yieldHook;
};

} // namespace platform
