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
        QTest::addColumn<QString>("character");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("syntax");
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<QSize>("region");
        QTest::addColumn<QString>("fractions");
        const QPoint centred(0, 0);
        const QSize whole(143, 145);
        QTest::newRow("hanzi, the window as it starts") << "英" << 16 << 16 << "row"
                                                        << "asm51" << centred << whole << "new";
        QTest::newRow("latin letter, the window as it starts")
            << "g" << 16 << 16 << "row"
            << "asm51" << centred << whole << "new";
        QTest::newRow("24 lines of 20 dots, column-wise, C51 syntax")
            << "字" << 24 << 20 << "column"
            << "c51" << centred << whole << "new";
        QTest::newRow("glyph moved, smaller region")
            << "Q" << 16 << 16 << "row"
            << "asm51" << QPoint(10, -5) << QSize(100, 120) << "new";
        QTest::newRow("short byte groups, standard fractions")
            << "@" << 13 << 11 << "row"
            << "asm51" << centred << whole << "standard";
    }

    void printsTheWindowsCodeText() {
        QFETCH(QString, character);
        QFETCH(int, lines);
        QFETCH(int, rows);
        QFETCH(QString, order);
        QFETCH(QString, syntax);
        QFETCH(QPoint, offset);
        QFETCH(QSize, region);
        QFETCH(QString, fractions);
        testing::WindowFixture f;
        orvane::SingleCharWindow& w = *f.window;
        w.HScrl_Lines->setValue(lines);
        w.HScrl_Rows->setValue(rows);
        w.HScrl_ChrPos->setValue(w.HScrl_ChrPos->maximum() / 2 + offset.x());
        w.VScrl_ChrPos->setValue(w.VScrl_ChrPos->maximum() / 2 + offset.y());
        w.HScrl_ChrWth->setValue(region.width());
        w.VScrl_ChrHgt->setValue(region.height());
        w.Opt_CodeModel[order == "column" ? 1 : 0]->click();
        w.Opt_CodeStyle[syntax == "c51" ? 2 : 1]->click();
        type(w, character);
        // A display setting changed after typing samples again with the standard fractions.
        if (fractions == "standard")
            w.HScrl_Radius->setValue(w.HScrl_Radius->value() + 1);

        // Only the settings the row changes are given, so the tool's defaults meet the
        // window's start too.
        QStringList arguments{character};
        const auto give = [&](bool changed, const char* option, const QString& value) {
            if (changed)
                arguments << option << value;
        };
        give(lines != 16, "--lines", QString::number(lines));
        give(rows != 16, "--rows", QString::number(rows));
        give(order != "row", "--order", order);
        give(syntax != "asm51", "--syntax", syntax);
        give(!offset.isNull(), "--offset", QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y()));
        give(region != QSize(143, 145), "--region",
             QStringLiteral("%1,%2").arg(region.width()).arg(region.height()));
        give(fractions != "new", "--fractions", fractions);
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
