// Late binding: the members of _Vek called by dispatch identifier, as a host that knows only
// the numbers (and the type description in kivaro.json) calls them.

#include "kivaro/Vek.h"
#include "platform/PlatformError.h"
#include "platform/PropertyBag.h"

namespace kivaro {

namespace {

using platform::InvokeKind;
using platform::PlatformError;

[[noreturn]] void NotSupported(std::int32_t dispId) {
    throw PlatformError(platform::kErrNotSupported,
                        QStringLiteral("Object doesn't support this property or method "
                                       "(dispatch identifier 0x%1)")
                            .arg(static_cast<std::uint32_t>(dispId), 8, 16, QLatin1Char('0')));
}

void ExpectArgs(const QVariantList& args, int count) {
    if (args.size() != count)
        throw PlatformError(platform::kErrWrongArgCount,
                            QStringLiteral("Wrong number of arguments or invalid property "
                                           "assignment (%1 given, %2 expected)")
                                .arg(args.size())
                                .arg(count));
}

// A property: get with no arguments (a method call without arguments reads it too, as
// dispatch allows), put with the new value as the only argument.
template <typename Get, typename Put>
QVariant Property(InvokeKind kind, QVariantList& args, Get get, Put put) {
    if (kind == InvokeKind::PropertyPut) {
        ExpectArgs(args, 1);
        put(args.constFirst());
        return {};
    }
    ExpectArgs(args, 0);
    return get();
}

// A method whose X and Y are Bytes by reference: the corrected values go back into args.
// A method runs only when called as one: read as a property it would paint and raise events
// where the caller expects nothing to change.
void ExpectMethod(std::int32_t dispId, InvokeKind kind) {
    if (kind != InvokeKind::Method)
        NotSupported(dispId);
}

template <typename Call>
QVariant ByRefXY(std::int32_t dispId, InvokeKind kind, QVariantList& args, Call call) {
    ExpectMethod(dispId, kind);
    ExpectArgs(args, 2);
    std::uint8_t x = platform::ToByte(args[0]);
    std::uint8_t y = platform::ToByte(args[1]);
    const QVariant result = call(x, y);
    args[0] = int(x);
    args[1] = int(y);
    return result;
}

template <typename Call>
QVariant NoArgs(std::int32_t dispId, InvokeKind kind, QVariantList& args, Call call) {
    ExpectMethod(dispId, kind);
    ExpectArgs(args, 0);
    call();
    return {};
}

} // namespace

QVariant Vek::Invoke(std::int32_t dispId, InvokeKind kind, QVariantList& args) {
    using platform::ToBoolean;
    using platform::ToByte;
    using platform::ToLong;
    switch (dispId) {
    case DispId::MaxLines:
        return Property(
            kind, args, [this] { return QVariant(int(MaxLines())); },
            [this](const QVariant& v) { setMaxLines(ToByte(v)); });
    case DispId::MaxRows:
        return Property(
            kind, args, [this] { return QVariant(int(MaxRows())); },
            [this](const QVariant& v) { setMaxRows(ToByte(v)); });
    case DispId::SetBit:
        return ByRefXY(dispId, kind, args, [this](std::uint8_t& x, std::uint8_t& y) {
            SetBit(x, y);
            return QVariant();
        });
    case DispId::ClrBit:
        return ByRefXY(dispId, kind, args, [this](std::uint8_t& x, std::uint8_t& y) {
            ClrBit(x, y);
            return QVariant();
        });
    case DispId::SetAll:
        return NoArgs(dispId, kind, args, [this] { SetAll(); });
    case DispId::ClrAll:
        return NoArgs(dispId, kind, args, [this] { ClrAll(); });
    case DispId::Bit:
        return ByRefXY(dispId, kind, args, [this](std::uint8_t& x, std::uint8_t& y) {
            return QVariant(int(Bit(x, y)));
        });
    case DispId::OnSetColor:
        return Property(
            kind, args, [this] { return QVariant(OnSetColor()); },
            [this](const QVariant& v) { setOnSetColor(ToLong(v)); });
    case DispId::OnClrColor:
        return Property(
            kind, args, [this] { return QVariant(OnClrColor()); },
            [this](const QVariant& v) { setOnClrColor(ToLong(v)); });
    case DispId::LedRadius:
        return Property(
            kind, args, [this] { return QVariant(int(LedRadius())); },
            [this](const QVariant& v) { setLedRadius(ToByte(v)); });
    case DispId::Enable:
        return Property(
            kind, args, [this] { return QVariant(Enable()); },
            [this](const QVariant& v) { setEnable(ToBoolean(v)); });
    case DispId::Clr:
        return NoArgs(dispId, kind, args, [this] { Clr(); });
    default:
        NotSupported(dispId);
    }
}

} // namespace kivaro
