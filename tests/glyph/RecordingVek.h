#pragma once

// A stand-in for the display control that keeps its dots in a plain array and records every
// call, for tests that pin how often and in which order the routines reach the control.

#include "kivaro/IVek.h"
#include "platform/PlatformError.h"

#include <QList>
#include <QPoint>
#include <QVariant>

#include <array>
#include <cstdint>
#include <functional>

class RecordingVek : public kivaro::IVek {
public:
    struct Call {
        char kind; // 'S' SetBit, 'C' ClrBit, 'B' Bit
        int x;
        int y;
        bool operator==(const Call&) const = default;
    };

    RecordingVek(int rows, int lines) : m_rows(rows), m_lines(lines) { m_dots.fill(0); }

    std::uint8_t MaxLines() const override {
        ++m_lineReads;
        return static_cast<std::uint8_t>(m_linesScript ? m_linesScript(m_lineReads) : m_lines);
    }
    void setMaxLines(std::uint8_t v) override { m_lines = v; }
    std::uint8_t MaxRows() const override {
        ++m_rowReads;
        return static_cast<std::uint8_t>(m_rows);
    }
    void setMaxRows(std::uint8_t v) override { m_rows = v; }
    void SetBit(std::uint8_t& X, std::uint8_t& Y) override { put('S', X, Y, 1); }
    void ClrBit(std::uint8_t& X, std::uint8_t& Y) override { put('C', X, Y, 0); }
    void SetAll() override { m_dots.fill(1); }
    void ClrAll() override { m_dots.fill(0); }
    std::uint8_t Bit(std::uint8_t& X, std::uint8_t& Y) override {
        if (m_failBit)
            throw platform::PlatformError(platform::kErrDeviceIO, QStringLiteral("no dots"));
        calls.append({'B', X, Y});
        return m_dots[index(X, Y)];
    }
    std::int32_t OnSetColor() const override { return kivaro::Red; }
    void setOnSetColor(std::int32_t) override {}
    std::int32_t OnClrColor() const override { return kivaro::BRed; }
    void setOnClrColor(std::int32_t) override {}
    std::uint8_t LedRadius() const override { return 5; }
    void setLedRadius(std::uint8_t) override {}
    bool Enable() const override { return true; }
    void setEnable(bool) override {}
    void Clr() override { m_dots.fill(0); }
    void Advise(kivaro::IVekEvents*) override {}
    void Unadvise(kivaro::IVekEvents*) override {}

    QWidget* Widget() override { return nullptr; }
    void SetSite(platform::IControlSite*) override {}
    void InitProperties() override {}
    void ReadProperties(const platform::PropertyBag&) override {}
    void WriteProperties(platform::PropertyBag&) const override {}
    QVariant Invoke(std::int32_t, platform::InvokeKind, QVariantList&) override { return {}; }

    void SetDot(int x, int y, bool lit) { m_dots[index(x, y)] = lit ? 1 : 0; }
    bool Dot(int x, int y) const { return m_dots[index(x, y)] != 0; }
    int LineReads() const { return m_lineReads; }
    int RowReads() const { return m_rowReads; }
    // The value MaxLines reports on its n-th read (1-based).
    void ScriptLines(std::function<int(int)> script) { m_linesScript = std::move(script); }
    void FailBit() { m_failBit = true; }

    QList<Call> calls;

private:
    static int index(int x, int y) { return (y - 1) * 256 + (x - 1); }
    void put(char kind, std::uint8_t x, std::uint8_t y, std::uint8_t value) {
        calls.append({kind, x, y});
        m_dots[index(x, y)] = value;
    }

    int m_rows;
    int m_lines;
    mutable int m_lineReads = 0;
    mutable int m_rowReads = 0;
    std::function<int(int)> m_linesScript;
    bool m_failBit = false;
    std::array<std::uint8_t, 256 * 256> m_dots;
};
