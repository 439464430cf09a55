#include "WindowCodeText.h"

#include "ProductInfo.h"

namespace pointillo {

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

} // namespace

void AppendCodeByte(QString& text, int value, bool asm51) {
    QChar out[5];
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
    text.append(out, n);
}

QString WindowCodeText(QByteArrayView bytes, bool asm51, const QString& subject,
                       const QString& layoutItems) {
    QString text;
    text.reserve(subject.size() + 160 + layoutItems.size() + bytes.size() * 6);
    appendHeader(text, asm51, subject);
    if (!layoutItems.isEmpty())
        text += QLatin1String(asm51 ? ";" : "//") + QStringLiteral("layout: ") + layoutItems +
                QStringLiteral("\r\n");
    if (asm51)
        text += QLatin1String("DB ");
    for (qsizetype k = 0; k < bytes.size(); ++k) {
        if (k > 0)
            text += QLatin1Char(',');
        AppendCodeByte(text, static_cast<std::uint8_t>(bytes[k]), asm51);
    }
    return text;
}

} // namespace pointillo
