#include "TableText.h"

#include "CharacterSet.h"

#include <QRegularExpression>

namespace pointillo {

// A "/*" inside and a trigraph ("??/" at a line's end splices it) are what gcc -Wall rejects in a
// comment, so a header built with -Werror would fail on a mere character of the text.
QString CommentSafe(QString text) {
    static const QRegularExpression controls(QStringLiteral("[\\x00-\\x1f\\x7f]"));
    static const QRegularExpression trigraph(QStringLiteral("\\?(?=\\?)"));
    text.replace(controls, QStringLiteral("?"));
    text.replace(QLatin1String("*/"), QLatin1String("* /"));
    text.replace(QLatin1String("/*"), QLatin1String("/ *"));
    text.replace(trigraph, QStringLiteral("? "));
    return text;
}

QString GlyphLabel(const Glyph& g) {
    if (!g.codePoint)
        return CommentSafe(g.subject);
    const QString text = QString::fromUcs4(&g.codePoint, 1);
    const bool printable = QChar::isPrint(g.codePoint) && !QChar::isSpace(g.codePoint) &&
                           g.codePoint != '\\' && g.codePoint != '"';
    return (printable ? QStringLiteral("\"%1\" ").arg(text) : QString()) +
           CodePointName(g.codePoint);
}

QString HexWord(unsigned value, int digits) {
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

} // namespace pointillo
