#pragma once

// Reading the window's outputs back in tests: the code text's parts and the panel's dots.

#include "kivaro/IVek.h"

#include <QString>
#include <QStringList>

namespace testing {

inline QStringList codeLines(const QString& code) {
    return code.split(QStringLiteral("\r\n"));
}

// The bytes of the data line, without "DB " and the commas.
inline QStringList codeBytes(const QString& code) {
    QString data = codeLines(code).value(4);
    if (data.startsWith(QStringLiteral("DB ")))
        data = data.mid(3);
    return data.split(QLatin1Char(','));
}

// The panel's dots as text, one line per dot line, '#' for a lit dot.
inline QString dotPicture(kivaro::IVek& vek) {
    QString picture;
    for (int y = 1; y <= vek.MaxLines(); ++y) {
        for (int x = 1; x <= vek.MaxRows(); ++x) {
            std::uint8_t bx = std::uint8_t(x);
            std::uint8_t by = std::uint8_t(y);
            picture += vek.Bit(bx, by) ? QLatin1Char('#') : QLatin1Char('.');
        }
        picture += QLatin1Char('\n');
    }
    return picture;
}

inline int litDots(kivaro::IVek& vek) {
    return int(dotPicture(vek).count(QLatin1Char('#')));
}

// Counts the panel's events while it is alive.
class VekEventCounter : public kivaro::IVekEvents {
public:
    explicit VekEventCounter(kivaro::IVek& vek) : m_vek(vek) { m_vek.Advise(this); }
    ~VekEventCounter() override { m_vek.Unadvise(this); }
    VekEventCounter(const VekEventCounter&) = delete;
    VekEventCounter& operator=(const VekEventCounter&) = delete;

    void Click() override { ++clicks; }
    void Edited() override { ++edits; }
    void Changed() override { ++changes; }

    int clicks = 0;
    int edits = 0;
    int changes = 0;

private:
    kivaro::IVek& m_vek;
};

} // namespace testing
