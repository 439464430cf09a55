#include "CliOptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace pointillo {

namespace {

struct OptionEntry {
    QStringList names;
    const char* valueName; // nullptr for a switch
    const char* description;
};

// The glyph surface's scroll bars bound offsets to plus or minus its size and regions to it.
const QList<OptionEntry>& optionEntries() {
    static const QList<OptionEntry> entries{
        {{"h", "help"}, nullptr, "Show this help and exit."},
        {{"range"}, "U+XXXX-U+YYYY", "Add a range of code points (repeatable)."},
        {{"chars-from"}, "FILE", "Add the distinct characters of a UTF-8 text, first seen first."},
        {{"gb2312"}, "1|2", "Add the level-1 (3,755) or all 6,763 GB2312 hanzi, in code order."},
        {{"picture"}, "FILE", "Sample a picture instead of characters."},
        {{"font"}, "FAMILY", "Face of the glyphs (default: 黑体)."},
        {{"font-file"},
         "PATH",
         "A font file instead of a family: TrueType, OpenType, BDF, PCF (.gz), Unifont .hex; "
         "drawn one pixel a dot."},
        {{"face-index"}, "N", "The face of a font collection (.ttc) (default: 0)."},
        {{"render"},
         "sample|mono",
         "sample: the window's drawing and five-point sampling; mono: FreeType's monochrome "
         "pixels at --pixel-size (default: sample, mono for --font-file)."},
        {{"pixel-size"}, "N", "Pixel size for mono and bitmap fonts, 1..512 (default: --lines)."},
        {{"fit"},
         "font|baseline=N|center",
         "Placement for mono: baseline at the face's ascent, at line N, or ink centred "
         "(default: font)."},
        {{"bold"}, nullptr, "Bold face (default: off)."},
        {{"italic"}, nullptr, "Italic face (default: off)."},
        {{"underline"}, nullptr, "Underlined (default: off)."},
        {{"strikeout"}, nullptr, "Struck out (default: off)."},
        {{"point-size"}, "N", "Size of the face in points (default: 106)."},
        {{"lines"}, "N", "Dot lines down, 1..254 (default: 16)."},
        {{"rows"}, "N", "Dots across, 1..254 (default: 16)."},
        {{"offset"}, "X,Y", "Offset of the glyph in surface units (default: 0,0)."},
        {{"region"}, "W,H", "Sampled region in surface units (default: 143,145, all of it)."},
        {{"fractions"}, "new|standard", "Sample fractions: 0.25/0.25 or 0.15/0.1 (default: new)."},
        {{"layout"},
         "ITEMS",
         "Layout of the bytes: a preset or items, e.g. ssd1306 or scan=columns,band=8,bits=lsb "
         "(default: row; see --list-layouts)."},
        {{"order"}, "row|column", "The same as --layout row or --layout column."},
        {{"syntax"}, "asm51|c51", "Syntax of the text format (default: asm51)."},
        {{"format"},
         "text|c|asm|hex|bin|gfx",
         "Output format; gfx is the GFX font structure, for c99 and arduino (default: text)."},
        {{"width"},
         "fixed|proportional",
         "proportional: c and asm tables gain NAME_width[], each glyph's advance (default: "
         "fixed)."},
        {{"dialect"},
         "keil|sdcc|c99|arduino",
         "Dialect of c and asm output; c99 and arduino are for c only (default: keil)."},
        {{"name"}, "IDENT", "Name of the table in c and asm output (default: font)."},
        {{"index"},
         "unicode|gb2312|none",
         "Sorted index in c and asm output; c, asm, hex and bin tables follow its order "
         "(default: unicode)."},
        {{"origin"}, "ADDR", "Address of the table: hex output, sdcc C, asm (default: 0 for hex)."},
        {{"o", "output"}, "FILE", "Write to FILE (default: standard output)."},
        {{"preview"}, nullptr, "Show every glyph as a #/. picture on standard error."},
        {{"preview-png"}, "FILE", "Draw the table as LED panels into a PNG file."},
        {{"strict"}, nullptr, "Make a missing glyph or face an error."},
        {{"verify"}, nullptr, "Read back what was written and fail if it differs."},
        {{"in-lines"}, "N", "decode: dot lines when the input does not say (default: 16)."},
        {{"in-rows"}, "N", "decode: dots across when the input does not say (default: 16)."},
        {{"in-layout"},
         "ITEMS",
         "decode, guess: layout of the input when its header does not say (default: row)."},
        {{"in-order"}, "row|column", "The same as --in-layout row or --in-layout column."},
        {{"like"}, "TEXT", "guess: the characters the input's glyphs show, in order."},
        {{"list-layouts"}, nullptr, "Print every layout preset, its items and a bit diagram."},
        {{"version"}, nullptr, "Print the version and exit."},
    };
    return entries;
}

void addOptions(QCommandLineParser& parser) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionEntry& entry : optionEntries()) {
        if (entry.valueName)
            parser.addOption({entry.names, QString::fromUtf8(entry.description),
                              QString::fromLatin1(entry.valueName)});
        else
            parser.addOption({entry.names, QString::fromUtf8(entry.description)});
    }
    parser.addPositionalArgument(QStringLiteral("TEXT"),
                                 QStringLiteral("Characters to draw, each once, in order."));
}

[[noreturn]] void usageError(const QString& message) {
    throw CliError{2, message};
}

int count(const QCommandLineParser& p, const char* option) {
    bool ok = false;
    const int n = p.value(QLatin1String(option)).toInt(&ok);
    if (!ok || n < 1 || n > 254)
        usageError(QStringLiteral("--%1 must be a count from 1 to 254, not '%2'")
                       .arg(QLatin1String(option), p.value(QLatin1String(option))));
    return n;
}

// "X,Y" with each part an integer within -limit.. limit (or 1..limit for a region).
std::pair<int, int> pair(const QCommandLineParser& p, const char* option, int low, int highX,
                         int highY) {
    const QString value = p.value(QLatin1String(option));
    const QStringList parts = value.split(QLatin1Char(','));
    bool okX = false;
    bool okY = false;
    const int x = parts.size() == 2 ? parts[0].trimmed().toInt(&okX) : 0;
    const int y = parts.size() == 2 ? parts[1].trimmed().toInt(&okY) : 0;
    if (!okX || !okY || x < (low < 0 ? -highX : low) || x > highX || y < (low < 0 ? -highY : low) ||
        y > highY)
        usageError(QStringLiteral("--%1 must be two whole numbers X,Y within %2..%3 and %4..%5, "
                                  "not '%6'")
                       .arg(QLatin1String(option))
                       .arg(low < 0 ? -highX : low)
                       .arg(highX)
                       .arg(low < 0 ? -highY : low)
                       .arg(highY)
                       .arg(value));
    return {x, y};
}

QString choice(const QCommandLineParser& p, const char* option, const QStringList& allowed) {
    const QString value = p.value(QLatin1String(option));
    if (!allowed.contains(value))
        usageError(QStringLiteral("--%1 must be one of %2, not '%3'")
                       .arg(QLatin1String(option), allowed.join(QLatin1Char('|')), value));
    return value;
}

// A layout from --NAME ITEMS or its synonym --SYNONYM row|column; the row layout when neither
// is given.
Layout layoutOption(const QCommandLineParser& p, const char* name, const char* synonym) {
    const bool items = p.isSet(QLatin1String(name));
    const bool order = p.isSet(QLatin1String(synonym));
    if (items && order)
        usageError(QStringLiteral("give --%1 or --%2, not both")
                       .arg(QLatin1String(name), QLatin1String(synonym)));
    if (order)
        return choice(p, synonym, {QStringLiteral("row"), QStringLiteral("column")}) ==
                       QLatin1String("row")
                   ? Layout::Row()
                   : Layout::Column();
    if (!items)
        return Layout::Row();
    QString error;
    const std::optional<Layout> layout = ParseLayout(p.value(QLatin1String(name)), &error);
    if (!layout)
        usageError(QStringLiteral("--%1: %2").arg(QLatin1String(name), error));
    return *layout;
}

// Where a number option must lie: "--NAME must be a whole number from LOW to HIGH".
int number(const QCommandLineParser& p, const char* option, int low, int high) {
    bool ok = false;
    const int n = p.value(QLatin1String(option)).toInt(&ok);
    if (!ok || n < low || n > high)
        usageError(QStringLiteral("--%1 must be a whole number from %2 to %3, not '%4'")
                       .arg(QLatin1String(option))
                       .arg(low)
                       .arg(high)
                       .arg(p.value(QLatin1String(option))));
    return n;
}

void readFontFileOptions(const QCommandLineParser& p, GlyphOptions& g) {
    g.fontFile = p.value(QStringLiteral("font-file"));
    const bool file = !g.fontFile.isEmpty();
    if (file && p.isSet(QStringLiteral("font")))
        usageError(QStringLiteral("give --font or --font-file, not both"));
    g.render = file ? GlyphOptions::Render::Mono : GlyphOptions::Render::Sample;
    if (p.isSet(QStringLiteral("render"))) {
        const bool mono = choice(p, "render", {QStringLiteral("sample"), QStringLiteral("mono")}) ==
                          QLatin1String("mono");
        if (!mono && file)
            usageError(QStringLiteral("a font file is drawn one pixel a dot; --render sample "
                                      "samples a face chosen with --font"));
        g.render = mono ? GlyphOptions::Render::Mono : GlyphOptions::Render::Sample;
    }
    const bool mono = g.render == GlyphOptions::Render::Mono;
    for (const char* option : {"pixel-size", "fit"})
        if (p.isSet(QLatin1String(option)) && !mono)
            usageError(QStringLiteral("--%1 is for --render mono and --font-file")
                           .arg(QLatin1String(option)));
    if (p.isSet(QStringLiteral("face-index"))) {
        if (!file)
            usageError(QStringLiteral("--face-index chooses a face of a --font-file"));
        g.faceIndex = number(p, "face-index", 0, 65535);
    }
    if (p.isSet(QStringLiteral("pixel-size")))
        g.pixelSize = number(p, "pixel-size", 1, 512);
    if (p.isSet(QStringLiteral("fit"))) {
        static const QRegularExpression form(QStringLiteral("^(font|center|baseline=(\\d{1,3}))$"));
        const QString value = p.value(QStringLiteral("fit"));
        const QRegularExpressionMatch m = form.match(value);
        if (!m.hasMatch() || (m.capturedLength(2) && m.captured(2).toInt() > 254))
            usageError(QStringLiteral("--fit must be font, baseline=N (N from 0 to 254) or "
                                      "center, not '%1'")
                           .arg(value));
        g.placement.fit = m.capturedLength(2)                ? Placement::Fit::Baseline
                          : value == QLatin1String("center") ? Placement::Fit::Center
                                                             : Placement::Fit::Font;
        g.placement.baseline = m.captured(2).toInt();
    }
}

void readGlyphOptions(const QCommandLineParser& p, GlyphOptions& g) {
    if (p.isSet(QStringLiteral("font")))
        g.font = p.value(QStringLiteral("font"));
    if (g.font.trimmed().isEmpty())
        usageError(QStringLiteral("--font needs a family name"));
    g.bold = p.isSet(QStringLiteral("bold"));
    g.italic = p.isSet(QStringLiteral("italic"));
    g.underline = p.isSet(QStringLiteral("underline"));
    g.strikeout = p.isSet(QStringLiteral("strikeout"));
    if (p.isSet(QStringLiteral("point-size"))) {
        bool ok = false;
        g.pointSize = p.value(QStringLiteral("point-size")).toDouble(&ok);
        if (!ok || !(g.pointSize > 0 && g.pointSize < 2048))
            usageError(QStringLiteral("--point-size must be a size above 0 and below 2048, "
                                      "not '%1'")
                           .arg(p.value(QStringLiteral("point-size"))));
    }
    if (p.isSet(QStringLiteral("lines")))
        g.height = count(p, "lines");
    if (p.isSet(QStringLiteral("rows")))
        g.width = count(p, "rows");
    const QSize surface = kGlyphSurfaceSize;
    if (p.isSet(QStringLiteral("offset")))
        std::tie(g.offsetX, g.offsetY) = pair(p, "offset", -1, surface.width(), surface.height());
    g.regionW = surface.width();
    g.regionH = surface.height();
    if (p.isSet(QStringLiteral("region")))
        std::tie(g.regionW, g.regionH) = pair(p, "region", 1, surface.width(), surface.height());
    readFontFileOptions(p, g);
    if (p.isSet(QStringLiteral("fractions")))
        g.standardFractions =
            choice(p, "fractions", {QStringLiteral("new"), QStringLiteral("standard")}) ==
            QLatin1String("standard");
}

void readOutputOptions(const QCommandLineParser& p, OutputOptions& o) {
    o.layout = layoutOption(p, "layout", "order");
    if (p.isSet(QStringLiteral("syntax")))
        o.asm51 = choice(p, "syntax", {QStringLiteral("asm51"), QStringLiteral("c51")}) ==
                  QLatin1String("asm51");
    if (p.isSet(QStringLiteral("format"))) {
        const QStringList formats{QStringLiteral("text"), QStringLiteral("c"),
                                  QStringLiteral("asm"),  QStringLiteral("hex"),
                                  QStringLiteral("bin"),  QStringLiteral("gfx")};
        o.format = Format(formats.indexOf(choice(p, "format", formats)));
    }
    if (p.isSet(QStringLiteral("dialect"))) {
        const QStringList dialects{QStringLiteral("keil"), QStringLiteral("sdcc"),
                                   QStringLiteral("c99"), QStringLiteral("arduino")};
        o.dialect = Dialect(dialects.indexOf(choice(p, "dialect", dialects)));
        if ((o.dialect == Dialect::C99 || o.dialect == Dialect::Arduino) && o.format == Format::Asm)
            usageError(QStringLiteral("--dialect %1 writes C; give --format c")
                           .arg(p.value(QStringLiteral("dialect"))));
    }
    if (o.format == Format::Gfx && o.dialect != Dialect::C99 && o.dialect != Dialect::Arduino)
        usageError(QStringLiteral("--format gfx writes C for any compiler; give --dialect c99 or "
                                  "--dialect arduino"));
    if (p.isSet(QStringLiteral("width")))
        o.proportional =
            choice(p, "width", {QStringLiteral("fixed"), QStringLiteral("proportional")}) ==
            QLatin1String("proportional");
    if (p.isSet(QStringLiteral("name"))) {
        static const QRegularExpression ident(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,30}$"));
        o.name = p.value(QStringLiteral("name"));
        if (!ident.match(o.name).hasMatch())
            usageError(QStringLiteral("--name must be a C identifier of at most 31 characters, "
                                      "not '%1'")
                           .arg(o.name));
    }
    if (p.isSet(QStringLiteral("index"))) {
        const QStringList kinds{QStringLiteral("unicode"), QStringLiteral("gb2312"),
                                QStringLiteral("none")};
        o.index = IndexKind(kinds.indexOf(choice(p, "index", kinds)));
    }
    if (p.isSet(QStringLiteral("origin"))) {
        QString value = p.value(QStringLiteral("origin"));
        bool ok = false;
        unsigned origin = 0;
        if (value.endsWith(QLatin1Char('h'), Qt::CaseInsensitive))
            origin = value.chopped(1).toUInt(&ok, 16);
        else
            origin = value.toUInt(&ok, 0);
        if (!ok || origin > 0xFFFFFFu)
            usageError(
                QStringLiteral("--origin must be an address such as 0x1000, not '%1'").arg(value));
        o.origin = origin;
    }
    o.output = p.value(QStringLiteral("output"));
}

std::optional<int> optionalCount(const QCommandLineParser& p, const char* option) {
    if (!p.isSet(QLatin1String(option)))
        return std::nullopt;
    return count(p, option);
}

} // namespace

QString UsageText() {
    QCommandLineParser parser;
    addOptions(parser);
    parser.setApplicationDescription(
        QStringLiteral("Makes LED dot-matrix font tables for firmware, in the layout the display "
                       "wants, and reads them back."));
    // Qt's first line names the executable's full path and the positional argument alone.
    const QString help = parser.helpText();
    return QStringLiteral(
               "Usage: pointillo [options] [TEXT]\n"
               "       pointillo decode [options] [FILE|-]\n"
               "       pointillo guess [--like TEXT|--picture FILE] [options] [FILE|-]\n") +
           help.mid(help.indexOf(QLatin1Char('\n')) + 1) +
           QStringLiteral(
               "\nguess tries every layout the items can write (both scans, flips, serpentine, "
               "band 0 or 8,\nbits, word and endian, pad, short, invert, modules 8x8), each "
               "distinct reading once, at\n--lines x --rows or at every size from 5 to 32 "
               "each way that fits the bytes.\n"
               "With --like TEXT or --picture FILE, line 1 is the best layout as --layout takes "
               "it, line 2\n\"agreement P % (A of N dots), W x H\", then the glyphs read so, "
               "then \"runner-up: LAYOUT P %\n(A of N dots), W x H\" lines. Without them, "
               "up to 12 readings, the most glyph-like first,\neach as a layout line, an "
               "\"oddness\" line and its glyphs, blank lines between, and a\nlast line "
               "saying how many distinct pictures there were.\n");
}

CliOptions ParseArguments(const QStringList& arguments) {
    QCommandLineParser p;
    addOptions(p);
    if (!p.parse(QStringList{QStringLiteral("pointillo")} + arguments))
        usageError(p.errorText());
    CliOptions o;
    using Command = CliOptions::Command;
    if (p.isSet(QStringLiteral("help")) || p.isSet(QStringLiteral("version")) ||
        p.isSet(QStringLiteral("list-layouts"))) {
        o.command = p.isSet(QStringLiteral("help"))      ? Command::Help
                    : p.isSet(QStringLiteral("version")) ? Command::Version
                                                         : Command::ListLayouts;
        return o;
    }
    QStringList positional = p.positionalArguments();
    const QString verb = positional.value(0);
    if (verb == QLatin1String("decode") || verb == QLatin1String("guess")) {
        o.command = verb == QLatin1String("decode") ? Command::Decode : Command::Guess;
        positional.removeFirst();
    }
    const bool reads = o.command != Command::Generate;
    if (positional.size() > 1)
        usageError(QStringLiteral("give the %1 as one argument, not %2")
                       .arg(reads ? QStringLiteral("input file") : QStringLiteral("text"))
                       .arg(positional.size()));
    readGlyphOptions(p, o.glyph);
    readOutputOptions(p, o.out);
    o.formatGiven = p.isSet(QStringLiteral("format"));
    o.preview = p.isSet(QStringLiteral("preview"));
    o.previewPng = p.value(QStringLiteral("preview-png"));
    o.strict = p.isSet(QStringLiteral("strict"));
    o.verify = p.isSet(QStringLiteral("verify"));
    o.inLines = optionalCount(p, "in-lines");
    o.inRows = optionalCount(p, "in-rows");
    if (p.isSet(QStringLiteral("in-layout")) || p.isSet(QStringLiteral("in-order")))
        o.inLayout = layoutOption(p, "in-layout", "in-order");
    o.sizeGiven = p.isSet(QStringLiteral("lines")) || p.isSet(QStringLiteral("rows"));
    o.picture = p.value(QStringLiteral("picture"));
    if (reads) {
        o.input = positional.value(0, QStringLiteral("-"));
        o.like = p.value(QStringLiteral("like"));
        if (o.command == Command::Guess && !o.like.isEmpty() && !o.picture.isEmpty())
            usageError(QStringLiteral("guess compares with --like or with --picture, not both"));
        return o;
    }
    o.text = positional.value(0);
    o.ranges = p.values(QStringLiteral("range"));
    o.charsFrom = p.value(QStringLiteral("chars-from"));
    if (p.isSet(QStringLiteral("gb2312")))
        o.gb2312 = choice(p, "gb2312", {QStringLiteral("1"), QStringLiteral("2")}).toInt();
    if (!o.picture.isEmpty() &&
        (!o.text.isEmpty() || !o.ranges.isEmpty() || !o.charsFrom.isEmpty() || o.gb2312))
        usageError(QStringLiteral("--picture samples a picture instead of characters; give "
                                  "one or the other"));
    o.out.command = (QStringList{QStringLiteral("pointillo")} + arguments).join(QLatin1Char(' '));
    return o;
}

} // namespace pointillo
