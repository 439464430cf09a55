#pragma once

// The public interface of the LED dot-matrix control Vek: what a host compiles against. A host
// never links the library; it creates the control by its ProgID through the hosting layer and
// reaches it through IVek (early binding) or IControl::Invoke with the dispatch identifiers
// below (late binding).

#include "platform/Control.h"

#include <QtPlugin>

#include <cstdint>

namespace kivaro {

inline constexpr char kProgId[] = "Zorvik_VekDisplay.Vek";
inline constexpr char kClassName[] = "Vek";

// Colours are 0x00BBGGRR. The properties take any 32-bit value; these are the named ones.
enum Color : std::int32_t {
    Red = 0xFF,
    Green = 0xFF00,
    Blue = 0xFF0000,
    Yellow = 0xFFFF,
    Pink = 0xFF00FF,
    BRed = 0x50,
    BGreen = 0x8000,
    BBlue = 0x800000,
    BYellow = 0x8080,
    BPink = 0x800080,
};

// Dispatch identifiers of the members of the control's dispatch interface (_Vek), fixed for
// every host built against it.
namespace DispId {
inline constexpr std::int32_t MaxLines = 0x68030007;
inline constexpr std::int32_t MaxRows = 0x68030006;
inline constexpr std::int32_t SetBit = 0x60030009;
inline constexpr std::int32_t ClrBit = 0x6003000A;
inline constexpr std::int32_t SetAll = 0x6003000B;
inline constexpr std::int32_t ClrAll = 0x6003000C;
inline constexpr std::int32_t Bit = 0x6003000D;
inline constexpr std::int32_t OnSetColor = 0x68030005;
inline constexpr std::int32_t OnClrColor = 0x68030004;
inline constexpr std::int32_t LedRadius = 0x68030003;
inline constexpr std::int32_t Enable = 0x68030002;
inline constexpr std::int32_t Clr = 0x60030016;
} // namespace DispId

// Dispatch identifiers of the events (__Vek).
namespace EventId {
inline constexpr std::int32_t Click = 1;
inline constexpr std::int32_t Edited = 2;
inline constexpr std::int32_t Changed = 3;
} // namespace EventId

// The event interface (__Vek). Events are raised synchronously: a sink's handler runs to
// completion before the member that raised it goes on.
class IVekEvents {
public:
    virtual ~IVekEvents() = default;
    virtual void Click() {}
    virtual void Edited() {}
    virtual void Changed() {}
};

// The dispatch interface (_Vek), in the order of its members. X is the column (1..MaxRows,
// from the left), Y the line (1..MaxLines, from the top). Coordinates are passed by reference
// and come back corrected to the nearest dot of the border when out of range.
class IVek : public platform::IControl {
public:
    virtual std::uint8_t MaxLines() const = 0;
    virtual void setMaxLines(std::uint8_t vNewValue) = 0;
    virtual std::uint8_t MaxRows() const = 0;
    virtual void setMaxRows(std::uint8_t vNewValue) = 0;
    virtual void SetBit(std::uint8_t& X, std::uint8_t& Y) = 0;
    virtual void ClrBit(std::uint8_t& X, std::uint8_t& Y) = 0;
    virtual void SetAll() = 0;
    virtual void ClrAll() = 0;
    // 1 when the dot is lit, else 0.
    virtual std::uint8_t Bit(std::uint8_t& X, std::uint8_t& Y) = 0;
    virtual std::int32_t OnSetColor() const = 0;
    virtual void setOnSetColor(std::int32_t vNewValue) = 0;
    virtual std::int32_t OnClrColor() const = 0;
    virtual void setOnClrColor(std::int32_t vNewValue) = 0;
    virtual std::uint8_t LedRadius() const = 0;
    virtual void setLedRadius(std::uint8_t vNewValue) = 0;
    virtual bool Enable() const = 0;
    virtual void setEnable(bool vNewValue) = 0;
    virtual void Clr() = 0;

    // Connection point of the event interface. A sink is not owned; Unadvise it before it dies.
    virtual void Advise(IVekEvents* sink) = 0;
    virtual void Unadvise(IVekEvents* sink) = 0;
};

} // namespace kivaro

#define KIVARO_IVEK_IID "org.pointillo.kivaro.IVek/1.0"
Q_DECLARE_INTERFACE(kivaro::IVek, KIVARO_IVEK_IID)
