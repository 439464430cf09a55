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

// A pattern with every bit position, the first and the last dot of a matrix in it.
bool pattern(int x, int y, QSize m) {
    return (x * 7 + y * 3 + m.width()) % 5 < 2 || x == m.width() || (x == 1 && y == 1);
}

void fill(kivaro::Vek& vek, QSize m, bool (*dot)(int, int, QSize)) {
    vek.setMaxRows(std::uint8_t(m.width()));
    vek.setMaxLines(std::uint8_t(m.height()));
    for (int y = 1; y <= m.height(); ++y)
        for (int x = 1; x <= m.width(); ++x) {
            std::uint8_t X = std::uint8_t(x), Y = std::uint8_t(y);
            dot(x, y, m) ? vek.SetBit(X, Y) : vek.ClrBit(X, Y);
        }
}

// Row-wise: eight dots of a line to a byte, left dot highest; column-wise the same down a
// column. A short last group ends in bit 0.
QByteArray packed(QSize m, bool rowWise) {
    const int along = rowWise ? m.width() : m.height();
    const int across = rowWise ? m.height() : m.width();
    QByteArray bytes;
    for (int outer = 1; outer <= across; ++outer)
        for (int first = 1; first <= along; first += 8) {
            int value = 0;
            for (int k = first; k <= std::min(first + 7, along); ++k)
                value = value * 2 + pattern(rowWise ? k : outer, rowWise ? outer : k, m);
            bytes.append(char(value));
        }
    return bytes;
}

QString dataLine(const QString& code) {
    return code.section(QStringLiteral("\r\n"), 4);
}

} // namespace

class TstCodeGen : public QObject {
    Q_OBJECT

private slots:
    void toolChainPlacesTheMatrixBytes_data() {
        QTest::addColumn<bool>("rowWise");
        QTest::addColumn<bool>("asm51");
        QTest::newRow("Asm51 row-wise through as31") << true << true;
        QTest::newRow("Asm51 column-wise through as31") << false << true;
        QTest::newRow("C51 row-wise through sdcc") << true << false;
        QTest::newRow("C51 column-wise through sdcc") << false << false;
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
            fill(vek, m, pattern);
            texts << BuildCodeString(vek, rowWise, asm51, QStringLiteral("英"));
            expected += packed(m, rowWise);
        }
        // A last byte of its own shows that no matrix gave one byte too many.
        texts << (asm51 ? "DB 0A5H" : "0xA5");
        expected += char(0xA5);
        const mcs51::Image image = asm51 ? mcs51::AssembleAs31(mcs51::As31Source(texts.join('\n')),
                                                               mcs51::kOrigin, expected.size())
                                         : mcs51::CompileSdcc(mcs51::SdccSource(texts.join(",\n")),
                                                              mcs51::kOrigin, expected.size());
        QCOMPARE(image.error, QString());
        QCOMPARE(image.bytes.size(), expected.size());
        QVERIFY(image.bytes == expected);
    }

    void bytesTakeTheirSyntaxNumberForm_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("asm51");
        QTest::addColumn<QString>("c51");
        QTest::newRow("0") << 0 << "00H"
                           << "0x00";
        QTest::newRow("15") << 15 << "0FH"
                            << "0x0F";
        QTest::newRow("16") << 16 << "10H"
                            << "0x10";
        QTest::newRow("159") << 159 << "9FH"
                             << "0x9F";
        QTest::newRow("160 starts with a letter") << 160 << "0A0H"
                                                  << "0xA0";
        QTest::newRow("255") << 255 << "0FFH"
                             << "0xFF";
    }
    void bytesTakeTheirSyntaxNumberForm() {
        QFETCH(int, value);
        QFETCH(QString, asm51);
        QFETCH(QString, c51);
        kivaro::Vek vek;
        static int byte;
        byte = value;
        fill(vek, QSize(8, 1), [](int x, int, QSize) { return (byte & (0x80 >> (x - 1))) != 0; });
        QCOMPARE(dataLine(BuildCodeString(vek, true, true, {})), "DB " + asm51);
        QCOMPARE(dataLine(BuildCodeString(vek, true, false, {})), c51);
    }

    // Four comment lines in the syntax's comment mark, then the data on one line.
    void codeTextStartsWithFourCommentLines_data() {
        QTest::addColumn<bool>("asm51");
        QTest::addColumn<bool>("charMode");
        QTest::addColumn<QString>("subject");
        QTest::newRow("Asm51, the typed character") << true << true << "英";
        QTest::newRow("C51, the picture's file") << false << false << "/pics/a.bmp";
    }
    void codeTextStartsWithFourCommentLines() {
        QFETCH(bool, asm51);
        QFETCH(bool, charMode);
        QFETCH(QString, subject);
        kivaro::Vek vek;
        fill(vek, QSize(10, 2), [](int x, int y, QSize) { return x + y == 3 || x == 10; });
        const QString mark = asm51 ? ";" : "//";
        const QString text = BuildCodeString(
            vek, false, asm51, orvane::CodeSubject(charMode, charMode ? subject : "A", subject));
        QCOMPARE(text.split("\r\n"),
                 QStringList(
                     {mark + subject,
                      mark + "Pointillo V1.0 作者：Pointillo Team  电邮：support@pointillo.example",
                      mark + (asm51 ? "Asm51" : "C51") + " Code,逐行从上到下取模,每行左为最高位",
                      mark + "Creat By Pointillo V1.0",
                      asm51 ? "DB 01H,02H,00H,00H,00H,00H,00H,00H,00H,03H"
                            : "0x01,0x02,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x03"}));
        orvane::CodeView view;
        orvane::BuildCodeText(vek, view, false, asm51, subject);
        QCOMPARE(view.Text(), BuildCodeString(vek, false, asm51, subject));
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
