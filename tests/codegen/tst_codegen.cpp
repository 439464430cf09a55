// The code text as the tools that read it see it: the 8051 assembler and C compiler place the
// bytes of a real control's pattern, and the bytes are the matrix; plus the text's header and
// number forms, the code view that holds it and the bytes of a dot-matrix file.

#include "codegen/CodeText.h"
#include "codegen/CodeView.h"
#include "codegen/DotFile.h"
#include "common/Mcs51Tools.h"
#include "kivaro/Vek.h"
#include "platform/PlatformError.h"

#include <QTest>

using orvane::BuildCodeString;

namespace {

// Sets the panel to a '#'/'.' picture, one line of text per line of dots.
void load(kivaro::Vek& vek, const QByteArray& picture) {
    const QList<QByteArray> lines = picture.trimmed().split('\n');
    vek.setMaxRows(std::uint8_t(lines[0].size()));
    vek.setMaxLines(std::uint8_t(lines.size()));
    for (std::uint8_t y = 1; y <= lines.size(); ++y)
        for (std::uint8_t x = 1; x <= lines[0].size(); ++x) {
            std::uint8_t X = x, Y = y;
            lines[y - 1][x - 1] == '#' ? vek.SetBit(X, Y) : vek.ClrBit(X, Y);
        }
}

} // namespace

class TstCodeGen : public QObject {
    Q_OBJECT

private slots:
    void toolChainPlacesTheMatrixBytes_data() {
        QTest::addColumn<bool>("rowWise");
        QTest::addColumn<bool>("asm51");
        for (int k = 0; k < 4; ++k)
            QTest::addRow("%s %s-wise", k & 1 ? "Asm51 through as31" : "C51 through sdcc",
                          k & 2 ? "row" : "column")
                << bool(k & 2) << bool(k & 1);
    }
    void toolChainPlacesTheMatrixBytes() {
        QFETCH(bool, rowWise);
        QFETCH(bool, asm51);
        if (!mcs51::Available())
            QSKIP("as31 or sdcc is not installed (scripts/setup.sh installs both)");
        QList<QSize> matrices{{1, 1}, {8, 1}, {9, 1}, {10, 2}, {16, 16}, {254, 254}};
        for (int n = 249; n <= 254; ++n)
            matrices << QSize(n, 3) << QSize(5, n);
        kivaro::Vek vek;
        QStringList texts;
        QByteArray expected;
        for (QSize m : matrices) {
            // Every bit position, and the first and the last dot of the matrix, are in it.
            QByteArray picture;
            for (int y = 1; y <= m.height(); ++y, picture += '\n')
                for (int x = 1; x <= m.width(); ++x)
                    picture += (x * 7 + y * 3 + m.width()) % 5 < 2 || x == m.width() || x + y == 2
                                   ? '#'
                                   : '.';
            load(vek, picture);
            texts << BuildCodeString(vek, rowWise, asm51, QStringLiteral("英"));
            expected += mcs51::Pack(picture, rowWise);
        }
        // A last byte of its own shows that no matrix gave one byte too many.
        texts << (asm51 ? "DB 0A5H" : "0xA5");
        expected += char(0xA5);
        const QByteArray source =
            asm51 ? "\t.org 1000h\n" + texts.join('\n').replace("DB ", ".db ").toUtf8() + "\n"
                  : "__code __at(0x1000) const unsigned char table[] = {\n" +
                        texts.join(",\n").toUtf8() + "\n};\nvoid main(void) {}\n";
        const mcs51::Image image = mcs51::Build(asm51, source, int(expected.size()));
        QCOMPARE(image.error, QString());
        QVERIFY(image.bytes == expected);
    }

    // Four comment lines in the syntax's comment mark, then the data on one line; an Asm51
    // number that would start with a letter gets a leading 0.
    void codeTextIsFourCommentLinesAndTheBytes_data() {
        QTest::addColumn<bool>("asm51");
        QTest::addColumn<bool>("charMode");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("data");
        QTest::newRow("Asm51, the typed character") << true << true << "英"
                                                    << "DB 00H,0FH,10H,9FH,0A0H,0FFH";
        QTest::newRow("C51, the picture's file") << false << false << "/pics/a.bmp"
                                                 << "0x00,0x0F,0x10,0x9F,0xA0,0xFF";
    }
    void codeTextIsFourCommentLinesAndTheBytes() {
        QFETCH(bool, asm51);
        QFETCH(bool, charMode);
        QFETCH(QString, subject);
        QFETCH(QString, data);
        kivaro::Vek vek;
        load(vek, "........\n....####\n...#....\n#..#####\n#.#.....\n########\n");
        const QString mark = asm51 ? ";" : "//";
        orvane::CodeView view;
        orvane::BuildCodeText(vek, view, true, asm51,
                              orvane::CodeSubject(charMode, charMode ? subject : "A", subject));
        QCOMPARE(view.Text().split("\r\n"),
                 QStringList(
                     {mark + subject,
                      mark + "Pointillo V1.0 作者：Pointillo Team  电邮：support@pointillo.example",
                      mark + (asm51 ? "Asm51" : "C51") + " Code,逐行从上到下取模,每行左为最高位",
                      mark + "Creat By Pointillo V1.0", data}));
    }

    // The view gives back exactly the text it was given; what is typed ends lines in CR LF.
    void codeViewKeepsCarriageReturns() {
        orvane::CodeView view;
        const QString text = QStringLiteral(";A\r\n;x\u00a0y\r\nDB 00H\rlone\nend");
        view.SetText(text);
        QCOMPARE(view.Text(), text);
        QCOMPARE(view.toPlainText().split(QLatin1Char('\n')).size(), 5);
        view.SetText("a\r\nb");
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.moveCursor(QTextCursor::End);
        QTest::keyClick(&view, Qt::Key_Return);
        QTest::keyClicks(&view, "c\u00a0");
        QCOMPARE(view.Text(), QStringLiteral("a\r\nb\r\nc\u00a0"));
    }

    void dotFileIsGb18030WithOneLineEnd() {
        QCOMPARE(orvane::DotFileBytes(";英\r\nDB 00H"), QByteArray(";\xd3\xa2\r\nDB 00H\r\n"));
        QCOMPARE(orvane::DotFileBytes(QString::fromUcs4(U"\U00020000")),
                 QByteArray("\x95\x32\x82\x36\r\n"));
        QVERIFY_THROWS_EXCEPTION(platform::PlatformError,
                                 orvane::DotFileBytes(QString(QChar(0xD800))));
    }
};

QTEST_MAIN(TstCodeGen)
#include "tst_codegen.moc"
