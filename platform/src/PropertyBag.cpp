#include "platform/PropertyBag.h"

#include "platform/PlatformError.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace platform {

namespace {

bool sameValue(const QVariant& a, const QVariant& b) {
    if (!a.isValid() || !b.isValid())
        return a.isValid() == b.isValid();
    bool okA = false;
    bool okB = false;
    const double da = a.toDouble(&okA);
    const double db = b.toDouble(&okB);
    if (okA && okB)
        return da == db;
    return a == b;
}

double toNumber(const QVariant& value) {
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? -1.0 : 0.0;
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        throw PlatformError(kErrTypeMismatch, QStringLiteral("Type mismatch"));
    return std::nearbyint(d);
}

} // namespace

int PropertyBag::indexOf(const QString& name) const {
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].first.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const {
    const int i = indexOf(name);
    return i < 0 ? defaultValue : m_entries[i].second;
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value,
                                const QVariant& defaultValue) {
    const int i = indexOf(name);
    if (sameValue(value, defaultValue)) {
        if (i >= 0)
            m_entries.removeAt(i);
        return;
    }
    if (i >= 0)
        m_entries[i].second = value;
    else
        m_entries.append({name.toLower(), value});
}

bool PropertyBag::Contains(const QString& name) const { return indexOf(name) >= 0; }

QStringList PropertyBag::Keys() const {
    QStringList keys;
    for (const auto& entry : m_entries)
        keys.append(entry.first);
    return keys;
}

QString PropertyBag::ToText() const {
    QString text;
    for (const auto& [key, value] : m_entries) {
        const QString shown = value.typeId() == QMetaType::Bool
                                  ? QString::number(value.toBool() ? -1 : 0)
                                  : value.toString();
        text += key + QStringLiteral(" = ") + shown + QLatin1Char('\n');
    }
    return text;
}

PropertyBag PropertyBag::FromText(const QString& text) {
    static const QRegularExpression line(QStringLiteral("^\\s*([A-Za-z_][A-Za-z0-9_]*)\\s*=\\s*(.*?)\\s*$"));
    PropertyBag bag;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        if (raw.trimmed().isEmpty())
            continue;
        const auto match = line.match(raw);
        if (!match.hasMatch())
            throw PlatformError(kErrTypeMismatch,
                                QStringLiteral("Unreadable property line: %1").arg(raw));
        bool isNumber = false;
        const qlonglong number = match.captured(2).toLongLong(&isNumber);
        const QVariant value = isNumber ? QVariant(number) : QVariant(match.captured(2));
        bag.m_entries.append({match.captured(1).toLower(), value});
    }
    return bag;
}

std::uint8_t ToByte(const QVariant& value) {
    const double d = toNumber(value);
    if (d < 0 || d > std::numeric_limits<std::uint8_t>::max())
        throw PlatformError(kErrOverflow, QStringLiteral("Overflow"));
    return static_cast<std::uint8_t>(d);
}

std::int32_t ToLong(const QVariant& value) {
    const double d = toNumber(value);
    if (d < std::numeric_limits<std::int32_t>::min() ||
        d > std::numeric_limits<std::int32_t>::max())
        throw PlatformError(kErrOverflow, QStringLiteral("Overflow"));
    return static_cast<std::int32_t>(d);
}

bool ToBoolean(const QVariant& value) { return toNumber(value) != 0.0; }

} // namespace platform
