#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace pointillo {

// The characters of a table: every code point once, in the order first given.
class CharacterSet {
public:
    void AddText(const QString& text);
    // "U+0020-U+007E" or a single "U+4E00"; false when the range cannot be read.
    bool AddRange(const QString& range);
    // The hanzi of GB2312 in code order: level 1 (3,755) or levels 1 and 2 (6,763).
    void AddGb2312(int level);

    const QList<char32_t>& CodePoints() const { return m_codePoints; }

private:
    void add(char32_t cp);

    QList<char32_t> m_codePoints;
    QList<bool> m_seen; // by code point, grown on demand
};

// The two GB2312 bytes of a character as one number (first byte high), or nothing when
// GB2312 has no code for it.
std::optional<unsigned> Gb2312Code(char32_t cp);

QString CodePointName(char32_t cp); // "U+4E2D"

} // namespace pointillo
