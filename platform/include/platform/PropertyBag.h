#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>

namespace platform {

// The host's store of a control's persisted properties. Keys match without regard to case;
// writing a value equal to the default given with it stores nothing (and drops an entry
// stored before), and reading a key that is not stored yields the default given with the read.
class PropertyBag {
public:
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = {}) const;
    void WriteProperty(const QString& name, const QVariant& value,
                       const QVariant& defaultValue = {});

    bool Contains(const QString& name) const;
    int Count() const { return static_cast<int>(m_entries.size()); }
    QStringList Keys() const;

    // The saved form of a bag: one "key = value" line per entry, keys in lower case, as the
    // host keeps it in its window description. FromText throws a PlatformError on a line it
    // cannot read.
    QString ToText() const;
    static PropertyBag FromText(const QString& text);

private:
    int indexOf(const QString& name) const;

    QList<QPair<QString, QVariant>> m_entries;
};

// Conversions of a stored value to a field's type; a value that does not convert is the
// platform's type-mismatch error, one out of the type's range its overflow error.
std::uint8_t ToByte(const QVariant& value);
std::int32_t ToLong(const QVariant& value);
bool ToBoolean(const QVariant& value);

} // namespace platform
