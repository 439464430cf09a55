#pragma once

#include "Error.h"
#include "GlyphMaker.h"
#include "Layout.h"
#include "TableWriter.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace pointillo {

// How the table is written, and where.
struct OutputOptions : TableOptions {
    QString output; // standard output when empty
};

struct CliOptions {
    enum class Command { Generate, Decode, Guess, ListLayouts, Version, Help };
    Command command = Command::Generate;
    // What to draw.
    QString text;
    QStringList ranges;
    QString charsFrom;
    int gb2312 = 0;
    QString picture;
    // What to read back (decode, guess).
    QString input; // "-" for standard input
    std::optional<int> inLines;
    std::optional<int> inRows;
    std::optional<Layout> inLayout;
    bool formatGiven = false;
    // What guess compares with.
    QString like;
    bool sizeGiven = false; // --lines or --rows

    GlyphOptions glyph;
    OutputOptions out;
    bool preview = false;
    QString previewPng;
    bool strict = false;
    bool verify = false;
};

// A failure with the exit status it gives: 2 for a usage error (the usage follows the
// message), 1 for an input or output failure.
using CliError = Error;

// Reads the arguments (without the program name). Throws CliError with status 2.
CliOptions ParseArguments(const QStringList& arguments);

// Every option with its default, as --help prints it.
QString UsageText();

} // namespace pointillo
