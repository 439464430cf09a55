#include "Cli.h"

#include "CharacterSet.h"
#include "CliOptions.h"
#include "CodeReader.h"
#include "GlyphMaker.h"
#include "Guess.h"
#include "Packing.h"
#include "PictureLoader.h"
#include "PreviewSheet.h"
#include "ProductInfo.h"
#include "SaveFile.h"
#include "TableOutput.h"
#include "TableText.h"
#include "TableWriter.h"
#include "platform/FileAccess.h"
#include "platform/PlatformError.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstdio>

namespace pointillo {

namespace {

void printError(const QString& message) {
    std::fprintf(stderr, "pointillo: %s\n", message.toUtf8().constData());
}

void warnOrFail(const QString& warning, bool strict) {
    if (warning.isEmpty())
        return;
    if (strict)
        throw CliError{1, warning + QStringLiteral(" (--strict)")};
    printError(QStringLiteral("warning: ") + warning);
}

// No table or character list comes near this; /dev/zero or a runaway pipe would otherwise be
// read until memory runs out.
constexpr qint64 kMaxInputBytes = 64 * 1024 * 1024;

CliError tooLong(const QString& name) {
    return {1, QStringLiteral("cannot read %1: it holds more than 64 MiB, the most an input may "
                              "hold")
                   .arg(name)};
}

QByteArray readStandardInput() {
    QFile file;
    const auto failure = [&file] {
        return CliError{1, QStringLiteral("cannot read standard input: %1").arg(file.errorString())};
    };
    if (!file.open(stdin, QIODevice::ReadOnly))
        throw failure();
    // A pipe gives what its writer has written so far, so one read may return a first part;
    // only an empty read is the end. One byte past the limit tells an input that fits from one
    // that does not.
    QByteArray data;
    while (data.size() <= kMaxInputBytes) {
        const QByteArray part = file.read(kMaxInputBytes + 1 - data.size());
        if (file.error() != QFileDevice::NoError)
            throw failure();
        if (part.isEmpty())
            break;
        data += part;
    }
    if (data.size() > kMaxInputBytes)
        throw tooLong(QStringLiteral("standard input"));
    return data;
}

void addCharsFrom(CharacterSet& set, const QString& path) {
    const QByteArray data = ReadInput(path);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (utf8.hasError())
        throw CliError{1, QStringLiteral("cannot read %1: it is not UTF-8 text").arg(path)};
    // Line ends and other controls are not glyphs of the product's texts.
    text.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    set.AddText(text);
}

QList<char32_t> characters(const CliOptions& o) {
    CharacterSet set;
    set.AddText(o.text);
    if (!o.charsFrom.isEmpty())
        addCharsFrom(set, o.charsFrom);
    for (const QString& range : o.ranges)
        if (!set.AddRange(range))
            throw CliError{2, QStringLiteral("cannot read the range '%1': give U+XXXX-U+YYYY "
                                             "with the first not above the last")
                                  .arg(range)};
    if (o.gb2312)
        set.AddGb2312(o.gb2312);
    if (set.CodePoints().isEmpty())
        throw CliError{2, QStringLiteral("no characters to draw: give TEXT, --range, "
                                         "--chars-from, --gb2312 or --picture")};
    return set.CodePoints();
}

QString glyphOptionText(const GlyphOptions& g) {
    if (g.render == GlyphOptions::Render::Mono) {
        const QString fit = g.placement.fit == Placement::Fit::Font ? QStringLiteral("font")
                            : g.placement.fit == Placement::Fit::Center
                                ? QStringLiteral("center")
                                : QStringLiteral("baseline=%1").arg(g.placement.baseline);
        const QString source =
            g.fontFile.isEmpty()
                ? QStringLiteral("--font %1 --render mono").arg(g.font)
                : QStringLiteral("--font-file %1 --face-index %2").arg(g.fontFile).arg(g.faceIndex);
        return source +
               QStringLiteral(" --pixel-size %1 --fit %2 --lines %3 --rows %4")
                   .arg(g.pixelSize > 0 ? QString::number(g.pixelSize) : QString::number(g.height),
                        fit)
                   .arg(g.height)
                   .arg(g.width);
    }
    QString s = QStringLiteral("--font %1 --point-size %2").arg(g.font).arg(g.pointSize);
    for (const auto& [on, name] :
         {std::pair{g.bold, "bold"}, std::pair{g.italic, "italic"},
          std::pair{g.underline, "underline"}, std::pair{g.strikeout, "strikeout"}})
        if (on)
            s += QStringLiteral(" --") + QLatin1String(name);
    return s + QStringLiteral(" --lines %1 --rows %2 --offset %3,%4 --region %5,%6 --fractions %7")
                   .arg(g.height)
                   .arg(g.width)
                   .arg(g.offsetX)
                   .arg(g.offsetY)
                   .arg(g.regionW)
                   .arg(g.regionH)
                   .arg(g.standardFractions ? QStringLiteral("standard") : QStringLiteral("new"));
}

bool isTable(Format f) {
    return f != Format::Text;
}

// With an index the table follows its order, so a binary search gives the glyph's number.
void sortGlyphsByIndex(QList<Glyph>& glyphs, const OutputOptions& out) {
    if (!isTable(out.format) || out.index == IndexKind::None)
        return;
    if (out.index == IndexKind::Gb2312)
        for (const Glyph& g : glyphs)
            if (!Gb2312Code(g.codePoint))
                throw CliError{2, QStringLiteral("%1 has no GB2312 code; --index gb2312 needs "
                                                 "every character in GB2312")
                                      .arg(CodePointName(g.codePoint))};
    std::stable_sort(glyphs.begin(), glyphs.end(), [&out](const Glyph& a, const Glyph& b) {
        return IndexKey(a, out.index) < IndexKey(b, out.index);
    });
}

void writePreviewSheet(const QList<Glyph>& glyphs, const QString& path) {
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    if (!PreviewSheet(glyphs).save(&png, "PNG"))
        throw CliError{1, QStringLiteral("cannot draw the preview sheet %1").arg(path)};
    try {
        SaveFileBytes(path, png.data());
    } catch (const platform::PlatformError& e) {
        throw CliError{
            1, QStringLiteral("cannot write %1: %2").arg(path, QString::fromStdString(e.what()))};
    }
}

void preview(const QList<Glyph>& glyphs) {
    for (qsizetype k = 0; k < glyphs.size(); ++k) {
        const Glyph& g = glyphs[k];
        const QString label =
            g.codePoint ? CodePointName(g.codePoint) + QLatin1Char(' ') + g.subject : g.subject;
        std::fprintf(stderr, "glyph %lld: %s\n%s", static_cast<long long>(k + 1),
                     label.toUtf8().constData(), DotPicture(g.dots).toUtf8().constData());
    }
}

void writeOut(const QByteArray& bytes, const QString& path) {
    if (path.isEmpty()) {
        if (std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) !=
                std::size_t(bytes.size()) ||
            std::fflush(stdout) != 0)
            throw CliError{1, QStringLiteral("cannot write to standard output")};
        return;
    }
    try {
        SaveOutputBytes(path, bytes);
    } catch (const platform::PlatformError& e) {
        throw CliError{
            1, QStringLiteral("cannot write %1: %2").arg(path, QString::fromStdString(e.what()))};
    }
}

QByteArray write(const QList<Glyph>& glyphs, const OutputOptions& out, const TableFacts& facts) {
    return WriteTable(glyphs, out, facts, !out.output.isEmpty());
}

void verify(const QByteArray& written, const QList<Glyph>& glyphs, const OutputOptions& out) {
    if (out.format == Format::Gfx)
        throw CliError{2, QStringLiteral("--verify reads back text, c, asm, hex and bin tables; a "
                                         "gfx font's glyphs are cropped")};
    const DotMatrix& d = glyphs.first().dots;
    const QString name = out.output.isEmpty() ? QStringLiteral("standard output") : out.output;
    const QString probe = out.format == Format::Bin ? name + QStringLiteral(".bin") : name;
    const ReadResult back = ReadCode(written, probe, {d.width, d.height, out.layout});
    bool same = back.glyphs.size() == glyphs.size();
    for (qsizetype k = 0; same && k < glyphs.size(); ++k)
        same = back.glyphs[k].dots == glyphs[k].dots;
    if (!same)
        throw CliError{
            1, QStringLiteral("--verify: %1 does not read back as the sampled dots").arg(name)};
}

// An 8051 addresses 64 KiB of code; a bigger table belongs in external memory.
constexpr qsizetype kCodeSpace = 0x10000;

void warnAboutCodeSpace(qsizetype count, const OutputOptions& out, int width, int height) {
    if (out.format != Format::C && out.format != Format::Asm)
        return;
    const qsizetype size = count * PackingPlan(out.layout, width, height).ByteCount();
    if (size > kCodeSpace)
        printError(QStringLiteral("warning: the table holds %1 bytes, more than the 64 KiB code "
                                  "space of an 8051; --format bin or hex suits external memory")
                       .arg(size));
}

// The fewest characters of output each table byte takes in a format: its two hex digits, or
// "0x00," in C and "00H," in assembler and the window's text.
qint64 outputPerByte(Format f) {
    switch (f) {
    case Format::Bin:
    case Format::Gfx: // cropped glyphs: at most the table's bytes, but said the same way
        return 1;
    case Format::Hex:
        return 2;
    case Format::Text:
    case Format::C:
    case Format::Asm:
        return 4;
    }
    return 1;
}

// Far more than any display's memory; a table this big is a mistaken range, and is refused before
// the first glyph is drawn rather than after hours and gigabytes.
constexpr qint64 kMaxOutputBytes = qint64(4) * 1024 * 1024 * 1024;

void checkTableSize(qsizetype count, const OutputOptions& out, int width, int height) {
    const qint64 tableBytes = qint64(count) * PackingPlan(out.layout, width, height).ByteCount();
    const qint64 output = tableBytes * outputPerByte(out.format);
    if (output > kMaxOutputBytes)
        throw CliError{2,
                       QStringLiteral("the table would take at least %1 bytes (%2 glyphs of %3 x "
                                      "%4 dots), more than the 4 GiB an output may take")
                           .arg(output)
                           .arg(count)
                           .arg(height)
                           .arg(width)};
    // A 16-bit address past 0xFFFF wraps around in as31 and sdcc; hex output has extended
    // address records for it.
    if (out.origin && (out.format == Format::C || out.format == Format::Asm) &&
        *out.origin + tableBytes > kCodeSpace)
        throw CliError{2, QStringLiteral("the table runs from 0x%1 to 0x%2, past the 16-bit "
                                         "address 0xFFFF; --format hex or bin suit a bigger table")
                              .arg(HexWord(*out.origin, 4))
                              .arg(HexWord(unsigned(*out.origin + tableBytes - 1), 4))};
}

// A few warnings in full; a million more (a whole plane drawn by no face) are one line.
class WarningSummary {
public:
    explicit WarningSummary(bool strict) : m_strict(strict) {}
    void Add(const QString& warning) {
        if (warning.isEmpty())
            return;
        if (m_shown < kShown || m_strict)
            warnOrFail(warning, m_strict);
        else
            ++m_more;
        ++m_shown;
    }
    void Finish() const {
        if (m_more)
            printError(QStringLiteral("warning: and %1 more characters like those above "
                                      "(--strict refuses them)")
                           .arg(m_more));
    }

private:
    static constexpr int kShown = 5;
    bool m_strict;
    qint64 m_shown = 0;
    qint64 m_more = 0;
};

// With an index the table follows its order, so a binary search gives the glyph's number. The
// keys need no glyph, so the order is known before the first is drawn.
void sortByIndex(QList<char32_t>& cps, const OutputOptions& out) {
    if (!isTable(out.format) || out.index == IndexKind::None)
        return;
    if (out.index == IndexKind::Gb2312)
        for (char32_t cp : cps)
            if (!Gb2312Code(cp))
                throw CliError{2, QStringLiteral("%1 has no GB2312 code; --index gb2312 needs "
                                                 "every character in GB2312")
                                      .arg(CodePointName(cp))};
    std::stable_sort(cps.begin(), cps.end(), [&out](char32_t a, char32_t b) {
        return IndexKey(a, out.index) < IndexKey(b, out.index);
    });
}

TableFacts factsOf(const CliOptions& o, const GlyphMaker& maker) {
    return {o.glyph.fontFile.isEmpty()
                ? QStringLiteral("%1 (asked for %2)").arg(maker.FaceUsed(), o.glyph.font)
                : maker.FaceUsed(),
            glyphOptionText(o.glyph)};
}

// The glyphs, all made, shown as asked, written and read back when asked.
void writeGlyphs(const CliOptions& o, const GlyphMaker& maker, const QList<Glyph>& glyphs,
                 const OutputOptions& out) {
    if (o.preview)
        preview(glyphs);
    if (!o.previewPng.isEmpty())
        writePreviewSheet(glyphs, o.previewPng);
    const QByteArray bytes = write(glyphs, out, factsOf(o, maker));
    if (o.verify)
        verify(bytes, glyphs, out);
    writeOut(bytes, out.output);
}

// What must see every glyph before anything is written: the #/. preview (its pictures follow
// the warnings), the PNG sheet, --verify, and a gfx font's records.
void writeWhole(const CliOptions& o, const GlyphMaker& maker, const QList<char32_t>& cps,
                OutputOptions out) {
    QList<Glyph> glyphs;
    glyphs.reserve(cps.size());
    WarningSummary warnings(o.strict);
    QString warning;
    for (char32_t cp : cps) {
        glyphs.append(maker.MakeCharacter(cp, &warning));
        warnings.Add(warning);
    }
    warnings.Finish();
    writeGlyphs(o, maker, glyphs, out);
}

// Every other table is made and written glyph by glyph, holding only the index keys and widths.
void writeStreamed(const CliOptions& o, const GlyphMaker& maker, const QList<char32_t>& cps,
                   const OutputOptions& out) {
    TableOutput output(out.output);
    TableStream stream(out, factsOf(o, maker), !out.output.isEmpty(), o.glyph.width, o.glyph.height,
                       cps.size());
    output.Write(stream.Begin());
    WarningSummary warnings(o.strict);
    Progress progress(cps.size());
    QString warning;
    for (qsizetype k = 0; k < cps.size(); ++k) {
        const Glyph g = maker.MakeCharacter(cps[k], &warning);
        warnings.Add(warning);
        output.Write(stream.Add(g));
        progress.Done(k + 1);
    }
    output.Write(stream.End());
    warnings.Finish();
    output.Commit();
}

int generatePicture(const CliOptions& o) {
    checkTableSize(1, o.out, o.glyph.width, o.glyph.height);
    const GlyphMaker maker(o.glyph);
    QImage picture;
    try {
        picture = LoadPicture(o.picture);
    } catch (const platform::PlatformError& e) {
        throw CliError{1, QStringLiteral("cannot read the picture %1: %2")
                              .arg(o.picture, QString::fromStdString(e.what()))};
    }
    const QList<Glyph> glyphs{maker.MakePicture(picture, QFileInfo(o.picture).absoluteFilePath())};
    OutputOptions out = o.out;
    out.index = IndexKind::None; // a picture is no character to look up
    out.baseline = maker.BaselineLine();
    writeGlyphs(o, maker, glyphs, out);
    return 0;
}

int generate(const CliOptions& o) {
    if (!o.picture.isEmpty())
        return generatePicture(o);
    // Characters, their order and the table's size first: a usage error draws nothing.
    QList<char32_t> cps = characters(o);
    OutputOptions out = o.out;
    sortByIndex(cps, out);
    checkTableSize(cps.size(), out, o.glyph.width, o.glyph.height);
    warnAboutCodeSpace(cps.size(), out, o.glyph.width, o.glyph.height);
    if (o.verify && out.format == Format::Gfx)
        throw CliError{2, QStringLiteral("--verify reads back text, c, asm, hex and bin tables; a "
                                         "gfx font's glyphs are cropped")};
    const GlyphMaker maker(o.glyph);
    warnOrFail(maker.FamilyWarning(), o.strict);
    out.baseline = maker.BaselineLine();
    if (o.preview || !o.previewPng.isEmpty() || o.verify || out.format == Format::Gfx)
        writeWhole(o, maker, cps, out);
    else
        writeStreamed(o, maker, cps, out);
    return 0;
}

int decode(const CliOptions& o) {
    const QByteArray data = ReadInput(o.input);
    const QString name = o.input == QLatin1String("-") ? QStringLiteral("standard input") : o.input;
    const ReadLayout fallback{o.inRows.value_or(16), o.inLines.value_or(16),
                              o.inLayout.value_or(Layout::Row())};
    ReadResult read = ReadCode(data, o.input == QLatin1String("-") ? name : o.input, fallback);
    if (!o.formatGiven) {
        QString pictures;
        for (qsizetype k = 0; k < read.glyphs.size(); ++k) {
            const Glyph& g = read.glyphs[k];
            pictures += QStringLiteral("glyph %1").arg(k + 1);
            if (g.codePoint)
                pictures += QLatin1Char(' ') + CodePointName(g.codePoint);
            pictures += QLatin1Char(' ') + g.subject + QLatin1Char('\n') + DotPicture(g.dots);
        }
        writeOut(pictures.toUtf8(), o.out.output);
        return 0;
    }
    OutputOptions out = o.out;
    out.command = QStringLiteral("pointillo decode %1").arg(name);
    QList<Glyph> glyphs = std::move(read.glyphs); // sorting a copy would double the dots held
    for (const Glyph& g : glyphs)
        if (!g.codePoint)
            out.index = IndexKind::None; // nothing to index by
    checkTableSize(glyphs.size(), out, read.layout.width, read.layout.height);
    sortGlyphsByIndex(glyphs, out);
    const TableFacts facts{QStringLiteral("read back from %1").arg(name), QStringLiteral("none")};
    writeOut(write(glyphs, out, facts), out.output);
    return 0;
}

// Every preset with its items, what it is for, and where each dot of a 10 x 10 glyph lands.
QString layoutList() {
    QString text = QStringLiteral(
        "Layouts: --layout PRESET or ITEMS, items applied left to right over the row layout.\n"
        "Each diagram shows, for every dot of a 10 x 10 glyph, its byte and bit (7 = highest).\n");
    for (const LayoutPreset& p : LayoutPresets()) {
        const Layout layout = *ParseLayout(p.name, nullptr);
        const PackingPlan plan(layout, 10, 10);
        text += QStringLiteral("\n%1: %2\n  %3\n  %4 bytes: %5\n%6")
                    .arg(p.name, p.items, p.displays)
                    .arg(plan.ByteCount())
                    .arg(LayoutItems(layout), plan.Diagram());
    }
    return text;
}

void print(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
}

} // namespace

// A regular file, opened without blocking (a FIFO without a writer would hang), or standard input
// for "-": a device or a pipe by name is refused rather than read without end.
QByteArray ReadInput(const QString& path) {
    if (path == QLatin1String("-"))
        return readStandardInput();
    try {
        return platform::ReadRegularFile(path, kMaxInputBytes);
    } catch (const platform::PlatformError& e) {
        if (e.number() == platform::kErrPermissionDenied)
            throw CliError{1, QStringLiteral("cannot read %1: it is not a regular file (give - to "
                                             "read standard input)")
                                  .arg(path)};
        if (e.number() == platform::kErrDeviceIO && QFileInfo(path).size() > kMaxInputBytes)
            throw tooLong(path);
        throw CliError{
            1, QStringLiteral("cannot read %1: %2").arg(path, QString::fromStdString(e.what()))};
    }
}

int RunCli(const QStringList& arguments) {
    try {
        CliOptions o = ParseArguments(arguments);
        if (o.out.output == QLatin1String("-"))
            o.out.output.clear(); // standard output, as for an input
        switch (o.command) {
        case CliOptions::Command::Help:
            print(UsageText());
            return 0;
        case CliOptions::Command::Version:
            print(QStringLiteral("pointillo %1\n").arg(QLatin1String(kToolVersion)));
            return 0;
        case CliOptions::Command::ListLayouts:
            print(layoutList());
            return 0;
        case CliOptions::Command::Decode:
            return decode(o);
        case CliOptions::Command::Guess:
            return RunGuess(o);
        case CliOptions::Command::Generate:
            break;
        }
        return generate(o);
    } catch (const CliError& e) {
        printError(e.message);
        if (e.status == 2)
            std::fputs("usage: pointillo [options] [TEXT]\n"
                       "       pointillo decode [options] [FILE|-]\n"
                       "       pointillo guess [--like TEXT|--picture FILE] [options] [FILE|-]\n"
                       "Try 'pointillo --help' for every option.\n",
                       stderr);
        return e.status;
    } catch (const platform::PlatformError& e) {
        printError(QString::fromStdString(e.what()));
        return 1;
    }
}

} // namespace pointillo
