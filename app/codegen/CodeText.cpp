#include "codegen/CodeText.h"

#include "AppInfo.h"
#include "codegen/CodeView.h"
#include "kivaro/IVek.h"

#include <algorithm>

namespace orvane {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendHeader(QString& text, bool asm51, const QString& subject) {
    const QLatin1String mark(asm51 ? ";" : "//");
    const QLatin1String lineEnd("\r\n");
    text += mark + subject + lineEnd;
    text += mark + QLatin1String(kProductVersion) + QStringLiteral(" 作者：") +
            QLatin1String(kAuthor) + QStringLiteral("  电邮：") + QLatin1String(kEmail) + lineEnd;
    text += mark + QLatin1String(asm51 ? "Asm51" : "C51") +
            QStringLiteral(" Code,逐行从上到下取模,每行左为最高位") + lineEnd;
    text += mark + QLatin1String("Creat By ") + QLatin1String(kProductVersion) + lineEnd;
}

void appendByte(QString& text, int value, bool asm51, bool comma) {
    QChar out[6];
    int n = 0;
    if (asm51) {
        if (value < 16 || value > 159)
            out[n++] = QLatin1Char('0');
    } else {
        out[n++] = QLatin1Char('0');
        out[n++] = QLatin1Char('x');
        if (value <= 15)
            out[n++] = QLatin1Char('0');
    }
    if (value >= 16)
        out[n++] = QLatin1Char(kHexDigits[value >> 4]);
    out[n++] = QLatin1Char(kHexDigits[value & 15]);
    if (asm51)
        out[n++] = QLatin1Char('H');
    if (comma)
        out[n++] = QLatin1Char(',');
    text.append(out, n);
}

// One group of up to eight dots along a line (rowWise) or a column, first dot highest; a short
// group ends in bit 0.
int packGroup(kivaro::IVek& control, bool rowWise, int fixed, int first, int last) {
    int value = 0;
    for (int k = first; k <= last; ++k) {
        std::uint8_t X = static_cast<std::uint8_t>(rowWise ? k : fixed);
        std::uint8_t Y = static_cast<std::uint8_t>(rowWise ? fixed : k);
        value = (value << 1) | (control.Bit(X, Y) != 0 ? 1 : 0);
    }
    return value;
}

} // namespace

QString CodeSubject(bool CharMode, const QString& charText, const QString& dialogFileName) {
    return CharMode ? charText : dialogFileName;
}

QString BuildCodeString(kivaro::IVek& control, bool rowWise, bool asm51, const QString& subject) {
    const int rows = control.MaxRows();
    const int lines = control.MaxLines();
    const int along = rowWise ? rows : lines;  // dots cut into groups
    const int across = rowWise ? lines : rows; // lines (or columns) of groups
    QString text;
    text.reserve(subject.size() + 160 + qsizetype((along + 7) / 8) * across * 6);
    appendHeader(text, asm51, subject);
    if (asm51)
        text += QLatin1String("DB ");
    for (int outer = 1; outer <= across; ++outer) {
        for (int g = 1; g <= along; g += 8) {
            const int value = packGroup(control, rowWise, outer, g, std::min(g + 7, along));
            appendByte(text, value, asm51, g + 7 < along || outer != across);
        }
    }
    return text;
}

void BuildCodeText(kivaro::IVek& control, CodeView& Txt_Display, bool rowWise, bool asm51,
                   const QString& subject) {
    Txt_Display.SetText(BuildCodeString(control, rowWise, asm51, subject));
}

} // namespace orvane
