#pragma once

// The control as a window hosts it, and the small helpers its tests share.

#include "kivaro/Vek.h"
#include "platform/Colour.h"
#include "platform/ControlHost.h"
#include "platform/ControlSite.h"
#include "platform/PlatformError.h"

#include <QColor>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace testing {

// The colours a reader meets in the tests, as the panel shows them.
inline const QColor kRed(255, 0, 0);         // Red, a new control's lit colour
inline const QColor kDarkRed(80, 0, 0);      // BRed, its unlit colour
inline const QColor kBackground(32, 32, 32); // the surface between discs and after Clr

// Vek created by its ProgID inside a container, as the window creates Vek1, with a site that
// counts the notifications and yields the control asks for, and a sink that keeps the names of
// the events it raises. Without stored properties it starts as a new control: 8 x 8 dots, red
// on dark red, radius 4, editing on.
class HostedVek : public kivaro::IVekEvents {
public:
    platform::ControlSite site;
    QWidget container;
    kivaro::Vek* vek;
    QStringList events;

    explicit HostedVek(const platform::PropertyBag* stored = nullptr)
        : vek(qobject_cast<kivaro::Vek*>(
              platform::ControlHost::CreateControl(kivaro::kProgId, &container, &site, stored)
                  ->Widget())) {
        vek->Advise(this);
    }
    ~HostedVek() override { vek->Unadvise(this); }

    void Click() override { events << "Click"; }
    void Edited() override { events << "Edited"; }
    void Changed() override { events << "Changed"; }

    // Starts the record of events and notifications afresh, after a test's own set-up.
    void forget() {
        events.clear();
        site.ResetCounts();
    }
};

inline bool isLit(kivaro::Vek& vek, int x, int y) {
    std::uint8_t X = std::uint8_t(x), Y = std::uint8_t(y);
    return vek.Bit(X, Y) == 1;
}

inline void setBit(kivaro::Vek& vek, int x, int y) {
    std::uint8_t X = std::uint8_t(x), Y = std::uint8_t(y);
    vek.SetBit(X, Y);
}

// The lit dots as "(x, y)", line by line.
inline QStringList litDots(kivaro::Vek& vek) {
    QStringList dots;
    for (int y = 1; y <= vek.MaxLines(); ++y)
        for (int x = 1; x <= vek.MaxRows(); ++x)
            if (isLit(vek, x, y))
                dots << QStringLiteral("(%1, %2)").arg(x).arg(y);
    return dots;
}

// The colour found at the centre of dot (x, y).
inline QColor sampled(const kivaro::Vek& vek, int x, int y) {
    return platform::ToQColor(vek.SampleDot(x, y));
}

// The platform's error number that call fails with, or 0 when it succeeds.
inline int errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const platform::PlatformError& e) {
        return e.number();
    }
    return 0;
}

} // namespace testing
