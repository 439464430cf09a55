#include "CharacterSet.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

namespace pointillo {

namespace {

constexpr char32_t kLastCodePoint = 0x10FFFF;

bool isSurrogate(char32_t cp) {
    return cp >= 0xD800 && cp <= 0xDFFF;
}

// Level 1 fills rows 0xB0 to 0xD7 (the last row ends at 0xF9), level 2 rows 0xD8 to 0xF7.
constexpr int kFirstHanziRow = 0xB0;
constexpr int kLastLevel1Row = 0xD7;
constexpr int kLastLevel2Row = 0xF7;
constexpr int kLastLevel1Cell = 0xF9;

} // namespace

void CharacterSet::add(char32_t cp) {
    if (cp >= char32_t(m_seen.size()))
        m_seen.resize(qsizetype(cp) + 1, false);
    if (m_seen[cp])
        return;
    m_seen[cp] = true;
    m_codePoints.append(cp);
}

void CharacterSet::AddText(const QString& text) {
    for (char32_t cp : text.toUcs4())
        if (!isSurrogate(cp))
            add(cp);
}

bool CharacterSet::AddRange(const QString& range) {
    static const QRegularExpression form(
        QStringLiteral("^[Uu]\\+([0-9A-Fa-f]{1,6})(?:-[Uu]\\+([0-9A-Fa-f]{1,6}))?$"));
    const QRegularExpressionMatch m = form.match(range.trimmed());
    if (!m.hasMatch())
        return false;
    const auto first = char32_t(m.captured(1).toUInt(nullptr, 16));
    const auto last = m.capturedLength(2) ? char32_t(m.captured(2).toUInt(nullptr, 16)) : first;
    if (first > last || last > kLastCodePoint)
        return false;
    for (char32_t cp = first; cp <= last; ++cp)
        if (!isSurrogate(cp))
            add(cp);
    return true;
}

void CharacterSet::AddGb2312(int level) {
    QStringDecoder decoder("GB18030");
    const int lastRow = level >= 2 ? kLastLevel2Row : kLastLevel1Row;
    QByteArray codes;
    for (int row = kFirstHanziRow; row <= lastRow; ++row) {
        const int lastCell = row == kLastLevel1Row ? kLastLevel1Cell : 0xFE;
        for (int cell = 0xA1; cell <= lastCell; ++cell) {
            codes.append(char(row));
            codes.append(char(cell));
        }
    }
    AddText(decoder.decode(codes));
}

std::optional<unsigned> Gb2312Code(char32_t cp) {
    QStringEncoder encoder("GB18030");
    const QByteArray bytes = encoder.encode(QString::fromUcs4(&cp, 1));
    if (encoder.hasError() || bytes.size() != 2)
        return std::nullopt;
    const auto hi = quint8(bytes[0]);
    const auto lo = quint8(bytes[1]);
    // GB2312 is the part of GB18030 whose two bytes both lie in 0xA1..0xFE, rows 0xAA to 0xAF
    // and 0xF8 up excepted (those are user-defined or later additions).
    if (hi < 0xA1 || hi > 0xF7 || (hi >= 0xAA && hi <= 0xAF) || lo < 0xA1 || lo > 0xFE)
        return std::nullopt;
    if (hi == kLastLevel1Row && lo > kLastLevel1Cell)
        return std::nullopt;
    return unsigned(hi) << 8 | lo;
}

QString CodePointName(char32_t cp) {
    return QStringLiteral("U+%1").arg(uint(cp), 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace pointillo
