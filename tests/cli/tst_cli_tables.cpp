// Tables pointillo makes: every format reads back to the glyphs it was made of, the 8051 tool
// chains place the dots where the preview shows them, and the GB2312 index is sorted.
#include "cli/CliRun.h"
#include "common/Mcs51Tools.h"

#include <QStringEncoder>
#include <QTest>

using cli::Run;
using cli::runTool;

namespace {

// Two characters out of code-point order, then eight in it.
QStringList glyphArguments(int lines, int rows) {
    return {"A英",
            "--range",
            "U+0025-U+002C",
            "--lines",
            QString::number(lines),
            "--rows",
            QString::number(rows)};
}

// c and asm tables stay within the 16-bit address space, sdcc's at the tool chain's origin;
// HEX records from 0xFFF0 on cross a 64 KiB boundary, which the others must survive.
Run makeTable(const QString& file, const QString& format, const QString& order, int lines, int rows,
              const QString& dialect) {
    QStringList origin{"--origin", "0xFFF0"};
    if (format == "c" || format == "asm")
        origin = dialect == "sdcc" ? QStringList{"--origin", QString::number(mcs51::kOrigin)}
                                   : QStringList{};
    return runTool(glyphArguments(lines, rows) + origin +
                   QStringList{"--order", order, "--format", format, "--dialect", dialect,
                               "--preview", "--verify", "-o", file});
}

} // namespace

class tst_CliTables : public QObject {
    Q_OBJECT

private slots:
    void tablesReadBackAsTheyWereDrawn_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("order");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("dialect");
        const auto row = [](const char* name, const char* format, const char* order, int lines,
                            int rows) {
            QTest::newRow(name) << QString(format) << QString(order) << lines << rows << "keil";
        };
        // Where byte groups and the sizes a table names meet their bounds.
        row("c, one dot", "c", "row", 1, 1);
        row("asm, the largest glyph", "asm", "column", 254, 254);
        row("text, one byte down", "text", "column", 8, 1);
        row("hex, a byte and a dot down", "hex", "column", 9, 1);
        row("bin, a byte and a dot across", "bin", "row", 1, 9);
        row("asm, one byte across", "asm", "row", 1, 8);
        for (const char* format : {"text", "c", "asm", "hex", "bin"})
            for (const char* order : {"row", "column"})
                QTest::addRow("%s, %s-wise, 13 x 16", format, order)
                    << format << order << 16 << 13 << "sdcc";
    }

    // Text tables keep the order given; the others are sorted so that firmware can search
    // their index. decode reads any of them back to the table made column-wise at once.
    void tablesReadBackAsTheyWereDrawn() {
        QFETCH(QString, format);
        QFETCH(QString, order);
        QFETCH(int, lines);
        QFETCH(int, rows);
        QFETCH(QString, dialect);
        QTemporaryDir dir;
        const QString file = dir.filePath("t." + format);
        const Run made = makeTable(file, format, order, lines, rows, dialect);
        QCOMPARE(made.status, 0);
        QStringList labels;
        for (const QChar c : QString(format == "text" ? "A英%&'()*+," : "%&'()*+,A英"))
            labels << QString::asprintf("glyph %lld: U+%04X %lc", labels.size() + 1, c.unicode(),
                                        c.unicode());
        QCOMPARE(cli::glyphLabels(made.err), labels);

        // c and asm tables name their layout; the others do not.
        QStringList layout{"--in-lines",          QString::number(lines), "--in-rows",
                           QString::number(rows), "--in-order",           order};
        if (format == "c" || format == "asm")
            layout.clear();
        const QStringList columnBinary{"--format", "bin",
                                       "--order",  "column",
                                       "--index",  format == "text" ? "none" : "unicode"};
        const Run read = runTool(QStringList{"decode", file} + columnBinary + layout);
        QCOMPARE(read.status, 0);
        QCOMPARE(read.out.toHex(), runTool(glyphArguments(lines, rows) + columnBinary).out.toHex());
    }

    void toolChainsPlaceTheDotsThePreviewShows_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("order");
        for (const char* format : {"c", "asm"})
            for (const char* order : {"row", "column"})
                QTest::addRow("%s, %s-wise", format[0] == 'c' ? "sdcc" : "as31", order)
                    << format << order;
    }

    // The bytes are the preview's dots packed as documented, eight a byte with the first dot
    // in bit 7; as31 also places the index after them, high byte first.
    void toolChainsPlaceTheDotsThePreviewShows() {
        QFETCH(QString, format);
        QFETCH(QString, order);
        if (!mcs51::Available())
            QSKIP("as31 and sdcc are not installed");
        QTemporaryDir dir;
        const QString file = dir.filePath("t." + format);
        const Run made = makeTable(file, format, order, 16, 13, "sdcc");
        QCOMPARE(made.status, 0);
        QByteArray expected;
        for (const QString& picture : cli::glyphPictures(made.err))
            expected += mcs51::Pack(picture.toLatin1(), order == "row");
        if (format == "asm")
            for (const QString& label : cli::glyphLabels(made.err)) {
                const uint code = label.section(' ', 2, 2).mid(2).toUInt(nullptr, 16);
                expected.append(char(code >> 8)).append(char(code & 0xFF));
            }
        const QByteArray source =
            cli::contents(file) + (format == "c" ? "\nvoid main(void) {}\n" : "");
        const mcs51::Image image = mcs51::Build(format == "asm", source, int(expected.size()));
        QVERIFY2(image.error.isEmpty(), qPrintable(image.error));
        QCOMPARE(image.bytes.toHex(), expected.toHex());
    }

    void gb2312IndexIsSortedAndMatchesTheGlyphs_data() {
        QTest::addColumn<QStringList>("characters");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::newRow("level 1") << QStringList{"--gb2312", "1"} << 3755 << "0xB0A1"
                                 << "0xD7F9";
        QTest::newRow("both levels and a symbol")
            << QStringList{"、", "--gb2312", "2"} << 6764 << "0xA1A2"
            << "0xF7FE";
    }

    // Firmware that receives GB2312 text binary-searches the index by the two bytes; the glyph
    // at each position must be the character of that code.
    void gb2312IndexIsSortedAndMatchesTheGlyphs() {
        QFETCH(QStringList, characters);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(QString, last);
        const QString c = runTool(characters + QStringList{"--index", "gb2312", "--format", "c",
                                                           "--lines", "1", "--rows", "1"})
                              .outText();
        const QString list =
            c.section(QString("font_index[%1] = {").arg(count), 1).section('}', 0, 0);
        const QStringList keys = list.simplified().remove(' ').split(',');
        QCOMPARE(keys.size(), count);
        QCOMPARE(keys.first(), first);
        QCOMPARE(keys.last(), last);
        // Eight keys a line, as the assembler's DW lines hold them.
        QCOMPARE(list.count('\n'), (count + 7) / 8 + 1);
        QStringEncoder gb("GB18030");
        QStringList codes;
        for (const auto& m : QRegularExpression("/\\* \"(.)\" U\\+").globalMatch(c))
            codes << "0x" + QByteArray(gb.encode(m.captured(1))).toHex().toUpper();
        QCOMPARE(keys, codes);
        QVERIFY(std::is_sorted(keys.begin(), keys.end()));
    }
};

QTEST_MAIN(tst_CliTables)
#include "tst_cli_tables.moc"
