#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace pointillo {

enum class Format { Text, C, Asm, Hex, Bin };
enum class Dialect { Keil, Sdcc };
enum class IndexKind { Unicode, Gb2312, None };

// How the glyph is drawn and sampled; every default is the window's start state.
struct GlyphOptions {
    QString font;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    double pointSize = 0;
    int lines = 16;
    int rows = 16;
    int offsetX = 0;
    int offsetY = 0;
    int regionW = 0; // the whole surface
    int regionH = 0;
    bool standardFractions = false;
};

// How the table is written.
struct OutputOptions {
    bool rowWise = true;
    bool asm51 = true;
    Format format = Format::Text;
    Dialect dialect = Dialect::Keil;
    QString name = QStringLiteral("font");
    IndexKind index = IndexKind::Unicode;
    std::optional<unsigned> origin;
    QString output;  // standard output when empty
    QString command; // the command line that made the table, for its header
};

struct CliOptions {
    bool decode = false;
    bool help = false;
    // What to draw.
    QString text;
    QStringList ranges;
    QString charsFrom;
    int gb2312 = 0;
    QString picture;
    // What to read back.
    QString input; // "-" for standard input
    std::optional<int> inLines;
    std::optional<int> inRows;
    std::optional<bool> inRowWise;
    bool formatGiven = false;

    GlyphOptions glyph;
    OutputOptions out;
    bool preview = false;
    bool strict = false;
    bool verify = false;
};

// A failure with the exit status it gives: 2 for a usage error (the usage follows the
// message), 1 for an input or output failure.
struct CliError {
    int status;
    QString message;
};

// Reads the arguments (without the program name). Throws CliError with status 2.
CliOptions ParseArguments(const QStringList& arguments);

// Every option with its default, as --help prints it.
QString UsageText();

} // namespace pointillo
