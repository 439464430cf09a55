#include "CodeReader.h"

#include "CliOptions.h"

#include <QMap>
#include <QRegularExpression>
#include <QStringDecoder>

namespace pointillo {

namespace {

[[noreturn]] void inputError(const QString& name, const QString& reason) {
    throw CliError{1, QStringLiteral("%1: %2").arg(name, reason)};
}

bool looksBinary(const QByteArray& data, const QString& name) {
    if (name.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive))
        return true;
    for (char c : data) {
        const auto u = quint8(c);
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r' && u != '\f') || u == 0x7F)
            return true;
    }
    return false;
}

bool looksIntelHex(const QByteArray& data) {
    bool any = false;
    for (const QByteArray& line : data.split('\n')) {
        const QByteArray t = line.trimmed();
        if (t.isEmpty())
            continue;
        if (t[0] != ':')
            return false;
        any = true;
    }
    return any;
}

// The data bytes of an Intel HEX image in address order.
QByteArray readIntelHex(const QByteArray& data, const QString& name) {
    QMap<unsigned, char> memory;
    unsigned upper = 0;
    int lineNo = 0;
    for (const QByteArray& line : data.split('\n')) {
        ++lineNo;
        const QByteArray t = line.trimmed();
        if (t.isEmpty())
            continue;
        const QByteArray r = QByteArray::fromHex(t.mid(1));
        quint8 sum = 0;
        for (char c : r)
            sum += quint8(c);
        if (r.size() < 5 || r.size() != 5 + quint8(r[0]) || sum != 0 ||
            t.size() != 1 + 2 * r.size())
            inputError(name, QStringLiteral("line %1 is not a valid Intel HEX record").arg(lineNo));
        const int type = quint8(r[3]);
        if (type == 1)
            break;
        if (type == 4 && r.size() == 7)
            upper = unsigned(quint8(r[4])) << 24 | unsigned(quint8(r[5])) << 16;
        if (type != 0)
            continue;
        const unsigned address = upper + (unsigned(quint8(r[1])) << 8 | quint8(r[2]));
        for (int k = 0; k < quint8(r[0]); ++k)
            memory.insert(address + unsigned(k), r[4 + k]);
    }
    QByteArray bytes;
    for (char c : memory)
        bytes.append(c);
    return bytes;
}

QString decodeText(const QByteArray& data) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    // A .dot file is in the Chinese code page.
    QStringDecoder gb("GB18030");
    return gb.decode(data);
}

bool isAssembler(const QString& text) {
    static const QRegularExpression directive(
        QStringLiteral("^[^;\\n]*?(?:^|[\\s:])(?:\\.?db|\\.byte)\\s"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    return directive.match(text).hasMatch();
}

// Comments become spaces, so line numbers and token boundaries stay.
QString withoutComments(const QString& text, bool assembler) {
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        const auto blank = [&out](qsizetype from, qsizetype to) {
            for (qsizetype k = from; k < to && k < out.size(); ++k)
                if (out[k] != QLatin1Char('\n'))
                    out[k] = QLatin1Char(' ');
        };
        if (assembler ? out[i] == QLatin1Char(';') : out.mid(i, 2) == QLatin1String("//")) {
            const qsizetype end = out.indexOf(QLatin1Char('\n'), i);
            blank(i, end < 0 ? out.size() : end);
        } else if (!assembler && out.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = out.indexOf(QLatin1String("*/"), i + 2);
            blank(i, end < 0 ? out.size() : end + 2);
        }
    }
    return out;
}

// One number of a byte list: 0x1F, 1FH, 0b101, 101B, 31, 31D (and C's 017 octal).
void readNumber(const QString& token, bool assembler, int lineNo, const QString& name,
                QByteArray& bytes) {
    if (!token[0].isDigit())
        return; // a name, not a number
    QString t = token;
    if (!assembler)
        while (t.endsWith(QLatin1Char('u'), Qt::CaseInsensitive) ||
               t.endsWith(QLatin1Char('l'), Qt::CaseInsensitive))
            t.chop(1);
    bool ok = false;
    uint value = 0;
    const QString lower = t.toLower();
    if (lower.startsWith(QLatin1String("0x")))
        value = lower.mid(2).toUInt(&ok, 16);
    else if (lower.startsWith(QLatin1String("0b")) && !lower.endsWith(QLatin1Char('h')))
        value = lower.mid(2).toUInt(&ok, 2);
    else if (lower.endsWith(QLatin1Char('h')))
        value = lower.chopped(1).toUInt(&ok, 16);
    else if (lower.endsWith(QLatin1Char('b')))
        value = lower.chopped(1).toUInt(&ok, 2);
    else if (lower.endsWith(QLatin1Char('d')))
        value = lower.chopped(1).toUInt(&ok, 10);
    else
        value = lower.toUInt(&ok, !assembler && lower.size() > 1 && lower[0] == '0' ? 8 : 10);
    if (!ok || value > 255)
        inputError(name, QStringLiteral("line %1: '%2' is not a byte").arg(lineNo).arg(token));
    bytes.append(char(value));
}

void readNumbers(const QString& part, bool assembler, int lineNo, const QString& name,
                 QByteArray& bytes) {
    static const QRegularExpression word(QStringLiteral("[A-Za-z0-9_]+"));
    for (const QRegularExpressionMatch& m : word.globalMatch(part))
        readNumber(m.captured(), assembler, lineNo, name, bytes);
}

QByteArray assemblerBytes(const QString& code, const QString& name) {
    static const QRegularExpression directive(
        QStringLiteral("(?:^|[\\s:])(?:\\.?db|\\.byte)\\s+(.*)$"),
        QRegularExpression::CaseInsensitiveOption);
    QByteArray bytes;
    const QStringList lines = code.split(QLatin1Char('\n'));
    for (int k = 0; k < lines.size(); ++k) {
        const QRegularExpressionMatch m = directive.match(lines[k]);
        if (m.hasMatch())
            readNumbers(m.captured(1), true, k + 1, name, bytes);
    }
    return bytes;
}

int lineOf(const QString& text, qsizetype pos) {
    return int(QStringView(text).left(pos).count(QLatin1Char('\n'))) + 1;
}

// The initialisers of char arrays; an index of wider numbers is left out. Source without any
// initialiser is a bare byte list, as the window writes it.
QByteArray cBytes(const QString& code, const QString& name) {
    static const QRegularExpression init(QStringLiteral("=\\s*\\{"));
    static const QRegularExpression charType(QStringLiteral("\\bchar\\b"));
    QByteArray bytes;
    bool anyInitialiser = false;
    qsizetype declStart = 0;
    for (QRegularExpressionMatch m = init.match(code); m.hasMatch();
         m = init.match(code, declStart)) {
        anyInitialiser = true;
        const qsizetype open = m.capturedEnd() - 1;
        const qsizetype from = std::max(code.lastIndexOf(QLatin1Char(';'), open),
                                        code.lastIndexOf(QLatin1Char('}'), open));
        const QString declaration = code.mid(from + 1, m.capturedStart() - from - 1);
        qsizetype close = open;
        for (int depth = 0; close < code.size(); ++close) {
            depth += code[close] == QLatin1Char('{') ? 1 : code[close] == QLatin1Char('}') ? -1 : 0;
            if (depth == 0)
                break;
        }
        if (charType.match(declaration).hasMatch()) {
            const QStringList lines = code.mid(open, close - open).split(QLatin1Char('\n'));
            for (int k = 0; k < lines.size(); ++k)
                readNumbers(lines[k], false, lineOf(code, open) + k, name, bytes);
        }
        declStart = close;
    }
    if (!anyInitialiser) {
        const QStringList lines = code.split(QLatin1Char('\n'));
        for (int k = 0; k < lines.size(); ++k)
            if (!lines[k].trimmed().startsWith(QLatin1Char('#')))
                readNumbers(lines[k], false, k + 1, name, bytes);
    }
    return bytes;
}

bool layoutFromTag(const QString& text, ReadLayout& layout) {
    static const QRegularExpression tag(
        QStringLiteral("pointillo table: lines=(\\d+) rows=(\\d+) order=(row|column)"));
    const QRegularExpressionMatch m = tag.match(text);
    if (!m.hasMatch())
        return false;
    layout = {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3) == QLatin1String("row")};
    return layout.lines >= 1 && layout.lines <= 254 && layout.rows >= 1 && layout.rows <= 254;
}

// What each glyph shows: the comments of a table, or the first line of each window block.
QList<Glyph> subjectsOf(const QString& text) {
    static const QRegularExpression tableComment(
        QStringLiteral("^\\s*(?:/\\*|;) (?:\"(.+)\" )?U\\+([0-9A-F]{4,6})(?: \\*/)?\\s*$"),
        QRegularExpression::MultilineOption);
    static const QRegularExpression windowBlock(
        QStringLiteral("^(?://|;)([^\\r\\n]*)\\r?\\n(?://|;)Pointillo V1\\.0 作者"),
        QRegularExpression::MultilineOption);
    QList<Glyph> named;
    for (const QRegularExpressionMatch& m : tableComment.globalMatch(text)) {
        const auto cp = char32_t(m.captured(2).toUInt(nullptr, 16));
        named.append({cp, QString::fromUcs4(&cp, 1), {}});
    }
    if (!named.isEmpty())
        return named;
    for (const QRegularExpressionMatch& m : windowBlock.globalMatch(text)) {
        const QString subject = m.captured(1);
        const QList<uint> ucs = subject.toUcs4();
        named.append({ucs.size() == 1 ? char32_t(ucs[0]) : 0, subject, {}});
    }
    return named;
}

} // namespace

ReadResult ReadCode(const QByteArray& data, const QString& name, const ReadLayout& fallback) {
    ReadResult result{{}, fallback};
    QByteArray bytes;
    QList<Glyph> named;
    if (looksBinary(data, name)) {
        bytes = data;
    } else if (looksIntelHex(data)) {
        bytes = readIntelHex(data, name);
    } else {
        const QString text = decodeText(data);
        ReadLayout tagged;
        if (layoutFromTag(text, tagged))
            result.layout = tagged;
        const bool assembler = isAssembler(text);
        const QString code = withoutComments(text, assembler);
        bytes = assembler ? assemblerBytes(code, name) : cBytes(code, name);
        named = subjectsOf(text);
    }
    const ReadLayout& l = result.layout;
    const int per = BytesPerGlyph(l.lines, l.rows, l.rowWise);
    if (bytes.isEmpty())
        inputError(name, QStringLiteral("holds no glyph bytes"));
    if (bytes.size() % per != 0)
        inputError(name, QStringLiteral("holds %1 bytes, which do not fill whole glyphs of %2 "
                                        "bytes (%3 lines x %4 rows, %5)")
                             .arg(bytes.size())
                             .arg(per)
                             .arg(l.lines)
                             .arg(l.rows)
                             .arg(l.rowWise ? QStringLiteral("row") : QStringLiteral("column")));
    const qsizetype count = bytes.size() / per;
    for (qsizetype k = 0; k < count; ++k) {
        Glyph g = named.size() == count ? named[k] : Glyph{};
        g.dots = UnpackMatrix(bytes.mid(k * per, per), l.lines, l.rows, l.rowWise);
        result.glyphs.append(g);
    }
    return result;
}

} // namespace pointillo
