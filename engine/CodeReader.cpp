#include "CodeReader.h"

#include "Error.h"
#include "Packing.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace pointillo {

namespace {

[[noreturn]] void inputError(const QString& name, const QString& reason) {
    throw Error{1, QStringLiteral("%1: %2").arg(name, reason)};
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

// The data records of an Intel HEX image, each a run of bytes at an address.
struct HexRun {
    unsigned address;
    qsizetype offset; // into the data of all records, in file order
    qsizetype size;
    int lineNo;
};

struct HexRecord {
    int type = 0;
    unsigned address = 0;
    QByteArray data;
};

HexRecord hexRecord(const QByteArray& line, int lineNo, const QString& name) {
    const QByteArray r = QByteArray::fromHex(line.mid(1));
    quint8 sum = 0;
    for (char c : r)
        sum += quint8(c);
    if (r.size() < 5 || r.size() != 5 + quint8(r[0]) || sum != 0 || line.size() != 1 + 2 * r.size())
        inputError(name, QStringLiteral("line %1 is not a valid Intel HEX record").arg(lineNo));
    return {quint8(r[3]), unsigned(quint8(r[1])) << 8 | quint8(r[2]), r.mid(4, quint8(r[0]))};
}

// The bytes of the runs in address order, gaps closed up. Two records for one address would
// make the image ambiguous, so they are refused rather than one silently winning.
QByteArray inAddressOrder(QList<HexRun>& runs, const QByteArray& data, const QString& name) {
    std::stable_sort(runs.begin(), runs.end(),
                     [](const HexRun& a, const HexRun& b) { return a.address < b.address; });
    QByteArray bytes;
    bytes.reserve(data.size());
    quint64 end = 0;
    for (const HexRun& run : runs) {
        if (run.address < end)
            inputError(name, QStringLiteral("line %1 writes address 0x%2 a second time")
                                 .arg(run.lineNo)
                                 .arg(run.address, 0, 16));
        bytes.append(data.constData() + run.offset, run.size);
        end = quint64(run.address) + quint64(run.size);
    }
    return bytes;
}

// The data bytes of an Intel HEX image in address order. A file without its end record was
// cut short, and records after it belong to no image: both are refused, not read in part.
QByteArray readIntelHex(const QByteArray& text, const QString& name) {
    QList<HexRun> runs;
    QByteArray data;
    unsigned upper = 0;
    int lineNo = 0;
    int endLine = 0;
    for (const QByteArray& line : text.split('\n')) {
        ++lineNo;
        const QByteArray t = line.trimmed();
        if (t.isEmpty())
            continue;
        if (endLine)
            inputError(name, QStringLiteral("line %1 follows the end record of line %2")
                                 .arg(lineNo)
                                 .arg(endLine));
        const HexRecord r = hexRecord(t, lineNo, name);
        if (r.type == 1)
            endLine = lineNo;
        else if (r.type == 4 && r.data.size() == 2)
            upper = unsigned(quint8(r.data[0])) << 24 | unsigned(quint8(r.data[1])) << 16;
        else if (r.type == 2 && r.data.size() == 2)
            upper = (unsigned(quint8(r.data[0])) << 8 | quint8(r.data[1])) << 4;
        else if (r.type == 0 && !r.data.isEmpty()) {
            runs.append({upper + r.address, data.size(), r.data.size(), lineNo});
            data += r.data;
        }
    }
    if (!endLine)
        inputError(name, QStringLiteral("has no Intel HEX end record (:00000001FF); the file "
                                        "may have been cut short"));
    return inAddressOrder(runs, data, name);
}

// CR LF, LF and a lone CR (older Mac editors, some assemblers' listings) all end a line; the
// readers below see only LF.
QByteArray withLineFeeds(const QByteArray& data) {
    if (!data.contains('\r'))
        return data;
    QByteArray out = data;
    out.replace("\r\n", "\n");
    out.replace('\r', '\n');
    return out;
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
        const QStringView two = QStringView(out).mid(i, 2);
        if (assembler ? out[i] == QLatin1Char(';') : two == QLatin1String("//")) {
            const qsizetype end = out.indexOf(QLatin1Char('\n'), i);
            blank(i, end < 0 ? out.size() : end);
        } else if (!assembler && two == QLatin1String("/*")) {
            const qsizetype end = out.indexOf(QLatin1String("*/"), i + 2);
            blank(i, end < 0 ? out.size() : end + 2);
        }
    }
    return out;
}

// One number of a byte list: 0x1F, 1FH, 0b101, 101B, 31, 31D, C's 017 and assembler's 17Q or
// 17O octal. A negative value is its two's-complement byte.
void readNumber(const QString& token, bool negative, bool assembler, int lineNo,
                const QString& name, QByteArray& bytes) {
    // Arduino's binary.h names every byte B0 to B11111111, and sketches for LED matrices write
    // their glyph rows with those names: read as names they would be lost without a word.
    static const QRegularExpression arduinoBinary(QStringLiteral("^B[01]{1,8}$"));
    QString t = token;
    if (!assembler && arduinoBinary.match(token).hasMatch())
        t = QLatin1String("0b") + token.mid(1);
    else if (!token[0].isDigit())
        return; // a name, not a number
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
    else if (assembler && (lower.endsWith(QLatin1Char('q')) || lower.endsWith(QLatin1Char('o'))))
        value = lower.chopped(1).toUInt(&ok, 8);
    else
        value = lower.toUInt(&ok, !assembler && lower.size() > 1 && lower[0] == '0' ? 8 : 10);
    if (negative && ok && value > 0 && value <= 128)
        value = 256 - value;
    else if (negative && value > 0)
        ok = false;
    if (!ok || value > 255)
        inputError(name, QStringLiteral("line %1: '%2%3' is not a byte")
                             .arg(lineNo)
                             .arg(negative ? QStringLiteral("-") : QString(), token));
    bytes.append(char(value));
}

void readNumbers(const QString& part, bool assembler, int lineNo, const QString& name,
                 QByteArray& bytes) {
    static const QRegularExpression word(QStringLiteral("(-\\s*)?([A-Za-z0-9_]+)"));
    for (const QRegularExpressionMatch& m : word.globalMatch(part))
        readNumber(m.captured(2), m.capturedLength(1) > 0, assembler, lineNo, name, bytes);
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

// Whether the initialiser after declaration holds glyph bytes. Byte types are read (a value
// that is no byte is then an error); wider types (an index, a glyph table of a font structure)
// are not; an array of a type the reader does not know is read when it holds numbers only.
bool holdsBytes(const QString& declaration, QStringView initialiser) {
    static const QRegularExpression byteType(QStringLiteral(
        "\\b(?:char|u?int8_t|uint_least8_t|uchar|u8|s8|byte|BYTE|prog_uchar|prog_uint8_t)\\b"));
    static const QRegularExpression wideType(
        QStringLiteral("\\b(?:int|long|short|u?int(?:16|32|64)_t|word|WORD|DWORD|size_t|float|"
                       "double|GFXglyph|GFXfont)\\b"));
    static const QRegularExpression numbersOnly(
        QStringLiteral("^[\\s{},\\-+]*+(?:(?:0[xX][0-9A-Fa-f]++|0[bB][01]++|[0-9]++)[uUlL]*+"
                       "[\\s{},\\-+]*+)*+$"));
    if (!declaration.contains(QLatin1Char('[')))
        return false;
    if (byteType.match(declaration).hasMatch())
        return true;
    if (wideType.match(declaration).hasMatch())
        return false;
    return numbersOnly.match(initialiser.toString()).hasMatch();
}

// The position of the next "= {" (spaces between) from from on, or -1. A regular expression
// matched again from an offset would check the whole text each time, which made the read
// quadratic in the number of initialisers.
qsizetype initialiserAt(const QString& code, qsizetype from) {
    for (qsizetype k = code.indexOf(QLatin1Char('='), from); k >= 0;
         k = code.indexOf(QLatin1Char('='), k + 1)) {
        qsizetype next = k + 1;
        while (next < code.size() && code[next].isSpace())
            ++next;
        if (next < code.size() && code[next] == QLatin1Char('{'))
            return k;
    }
    return -1;
}

// The initialisers of byte arrays. Source without any initialiser is a bare byte list, as the
// window writes it.
QByteArray cBytes(const QString& code, const QString& name) {
    QByteArray bytes;
    bool anyInitialiser = false;
    qsizetype declStart = 0;
    // Line numbers are counted on from the last initialiser, so the whole read stays linear.
    qsizetype countedTo = 0;
    int lineNo = 1;
    for (qsizetype equals = initialiserAt(code, 0); equals >= 0;
         equals = initialiserAt(code, declStart)) {
        anyInitialiser = true;
        qsizetype open = equals + 1;
        while (code[open] != QLatin1Char('{'))
            ++open;
        qsizetype from = declStart;
        for (qsizetype k = equals - 1; k >= declStart; --k)
            if (code[k] == QLatin1Char(';') || code[k] == QLatin1Char('}')) {
                from = k + 1;
                break;
            }
        const QString declaration = code.mid(from, equals - from);
        qsizetype close = open;
        for (int depth = 0; close < code.size(); ++close) {
            depth += code[close] == QLatin1Char('{') ? 1 : code[close] == QLatin1Char('}') ? -1 : 0;
            if (depth == 0)
                break;
        }
        lineNo += int(QStringView(code).mid(countedTo, open - countedTo).count(QLatin1Char('\n')));
        countedTo = open;
        const QStringView initialiser = QStringView(code).mid(open, close - open + 1);
        if (holdsBytes(declaration, initialiser)) {
            const QStringList lines = initialiser.toString().split(QLatin1Char('\n'));
            for (int k = 0; k < lines.size(); ++k)
                readNumbers(lines[k], false, lineNo + k, name, bytes);
        }
        declStart = close + 1;
    }
    if (!anyInitialiser) {
        const QStringList lines = code.split(QLatin1Char('\n'));
        for (int k = 0; k < lines.size(); ++k)
            if (!lines[k].trimmed().startsWith(QLatin1Char('#')))
                readNumbers(lines[k], false, k + 1, name, bytes);
    }
    return bytes;
}

// The size from "pointillo table: lines=H rows=W" (with " order=row|column" in older tables)
// and the layout from a "layout: ITEMS" line.
bool layoutFromTag(const QString& text, ReadLayout& layout) {
    static const QRegularExpression tag(
        QStringLiteral("pointillo table: lines=(\\d+) rows=(\\d+)(?: order=(row|column))?"));
    static const QRegularExpression items(QStringLiteral("layout: ([a-z0-9=,x-]+)"));
    const QRegularExpressionMatch size = tag.match(text);
    const QRegularExpressionMatch named = items.match(text);
    if (!size.hasMatch() && !named.hasMatch())
        return false;
    if (size.hasMatch()) {
        layout.height = size.captured(1).toInt();
        layout.width = size.captured(2).toInt();
        if (size.capturedLength(3))
            layout.layout =
                size.captured(3) == QLatin1String("row") ? Layout::Row() : Layout::Column();
    }
    // Another tool's comment may say "layout:" in words of its own: that names no layout.
    if (named.hasMatch())
        if (const std::optional<Layout> l = ParseLayout(named.captured(1), nullptr))
            layout.layout = *l;
    return layout.height >= 1 && layout.height <= 254 && layout.width >= 1 && layout.width <= 254;
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
        // A label that names no character leaves its glyph without one, bytes kept.
        if (QChar::isSurrogate(cp) || cp > QChar::LastValidCodePoint)
            named.append(Glyph{});
        else
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

CodeBytes ReadCodeBytes(const QByteArray& data, const QString& name, const ReadLayout& base) {
    CodeBytes result;
    if (looksBinary(data, name)) {
        result.bytes = data;
    } else if (const QByteArray lines = withLineFeeds(data); looksIntelHex(lines)) {
        result.bytes = readIntelHex(lines, name);
    } else {
        const QString text = decodeText(lines);
        ReadLayout tagged = base;
        if (layoutFromTag(text, tagged))
            result.tagged = tagged;
        const bool assembler = isAssembler(text);
        const QString code = withoutComments(text, assembler);
        result.bytes = assembler ? assemblerBytes(code, name) : cBytes(code, name);
        result.named = subjectsOf(text);
    }
    return result;
}

ReadResult ReadCode(const QByteArray& data, const QString& name, const ReadLayout& fallback) {
    const CodeBytes read = ReadCodeBytes(data, name, fallback);
    ReadResult result{{}, read.tagged.value_or(fallback)};
    const QByteArray& bytes = read.bytes;
    const QList<Glyph>& named = read.named;
    const ReadLayout& l = result.layout;
    const PackingPlan plan(l.layout, l.width, l.height);
    const int per = plan.ByteCount();
    if (bytes.isEmpty())
        inputError(name, QStringLiteral("holds no glyph bytes"));
    if (bytes.size() % per != 0)
        inputError(name, QStringLiteral("holds %1 bytes, which do not fill whole glyphs of %2 "
                                        "bytes (%3 lines x %4 rows, %5)")
                             .arg(bytes.size())
                             .arg(per)
                             .arg(l.height)
                             .arg(l.width)
                             .arg(PresetName(l.layout).isEmpty() ? LayoutItems(l.layout)
                                                                 : PresetName(l.layout)));
    const qsizetype count = bytes.size() / per;
    for (qsizetype k = 0; k < count; ++k) {
        Glyph g = named.size() == count ? named[k] : Glyph{};
        g.dots = plan.Unpack(QByteArrayView(bytes.constData() + k * per, per));
        result.glyphs.append(g);
    }
    return result;
}

} // namespace pointillo
