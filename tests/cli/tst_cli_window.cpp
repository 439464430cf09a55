// pointillo and the window share the engine, so for the same settings the tool prints the
// window's code text and writes its .dot file, byte for byte.
#include "cli/CliRun.h"
#include "codegen/CodeView.h"
#include "window/CharBox.h"
#include "window/ScrollBar.h"
#include "window/WindowFixture.h"

#include <QImage>
#include <QInputMethodEvent>
#include <QPainter>
#include <QRadioButton>
#include <QTest>

using cli::contents;
using cli::runTool;

namespace {

// What a row sets, from the window's start; the tool is given only what differs from it, so
// the tool's defaults meet the window's start too.
struct Settings {
    QString character;
    int lines = 16;
    int rows = 16;
    QString order = "row";
    QString syntax = "asm51";
    QPoint offset{0, 0};
    QSize region{143, 145};
    QString fractions = "new";
};

} // namespace

Q_DECLARE_METATYPE(Settings)

class tst_CliWindow : public QObject {
    Q_OBJECT

private:
    // Hanzi arrive through the input method, so every character is typed that way.
    static void type(orvane::SingleCharWindow& w, const QString& character) {
        QInputMethodEvent typed;
        typed.setCommitString(character);
        QCoreApplication::sendEvent(w.Txt_Char, &typed);
    }

    // The tool writes the window's saved file when given -o NAME.dot.
    static void savesTheWindowsDotFile(testing::WindowFixture& f, const QStringList& arguments) {
        QTemporaryDir dir;
        QCOMPARE(runTool(arguments + QStringList{"-o", dir.filePath("tool.dot")}).status, 0);
        f.dialogs.confirm(dir.filePath("window.dot"));
        f.window->Cmd_Save_Click();
        QCOMPARE(contents(dir.filePath("tool.dot")), contents(dir.filePath("window.dot")));
    }

private slots:
    void printsTheWindowsCodeText_data() {
        QTest::addColumn<Settings>("settings");
        QTest::newRow("hanzi, the window as it starts") << Settings{"英"};
        QTest::newRow("24 lines of 20 dots, column-wise, C51 syntax") << Settings{
            .character = "字", .lines = 24, .rows = 20, .order = "column", .syntax = "c51"};
        QTest::newRow("glyph moved, smaller region")
            << Settings{.character = "Q", .offset = {10, -5}, .region = {100, 120}};
        QTest::newRow("short byte groups, standard fractions")
            << Settings{.character = "@", .lines = 13, .rows = 11, .fractions = "standard"};
    }

    void printsTheWindowsCodeText() {
        QFETCH(Settings, settings);
        const Settings& s = settings;
        const Settings start;
        testing::WindowFixture f;
        orvane::SingleCharWindow& w = *f.window;
        w.HScrl_Lines->setValue(s.lines);
        w.HScrl_Rows->setValue(s.rows);
        w.HScrl_ChrPos->setValue(w.HScrl_ChrPos->maximum() / 2 + s.offset.x());
        w.VScrl_ChrPos->setValue(w.VScrl_ChrPos->maximum() / 2 + s.offset.y());
        w.HScrl_ChrWth->setValue(s.region.width());
        w.VScrl_ChrHgt->setValue(s.region.height());
        w.Opt_CodeModel[s.order == "column" ? 1 : 0]->click();
        w.Opt_CodeStyle[s.syntax == "c51" ? 2 : 1]->click();
        type(w, s.character);
        // A display setting changed after typing samples again with the standard fractions.
        if (s.fractions == "standard")
            w.HScrl_Radius->setValue(w.HScrl_Radius->value() + 1);

        QStringList arguments{s.character};
        const auto give = [&](bool changed, const char* option, const QString& value) {
            if (changed)
                arguments << option << value;
        };
        const auto pair = [](int x, int y) { return QStringLiteral("%1,%2").arg(x).arg(y); };
        give(s.lines != start.lines, "--lines", QString::number(s.lines));
        give(s.rows != start.rows, "--rows", QString::number(s.rows));
        give(s.order != start.order, "--order", s.order);
        give(s.syntax != start.syntax, "--syntax", s.syntax);
        give(s.offset != start.offset, "--offset", pair(s.offset.x(), s.offset.y()));
        give(s.region != start.region, "--region", pair(s.region.width(), s.region.height()));
        give(s.fractions != start.fractions, "--fractions", s.fractions);
        QCOMPARE(runTool(arguments).outText(), w.Txt_Display->Text());
        savesTheWindowsDotFile(f, arguments);
    }

    // A picture sampled by the tool is the one the window imports.
    void printsTheWindowsCodeTextOfAPicture() {
        QTemporaryDir dir;
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.setPixel(3, 4, qRgb(0, 0, 0));
        QPainter(&picture).fillRect(5, 20, 30, 1, Qt::black);
        QVERIFY(picture.save(dir.filePath("p.bmp")));
        testing::WindowFixture f;
        f.dialogs.confirm(dir.filePath("p.bmp"));
        f.window->Pic_Char_MouseDown(Qt::RightButton);
        const QStringList arguments{"--picture", dir.filePath("p.bmp")};
        QCOMPARE(runTool(arguments).outText(), f.window->Txt_Display->Text());
        savesTheWindowsDotFile(f, arguments);
    }
};

QTEST_MAIN(tst_CliWindow)
#include "tst_cli_window.moc"
