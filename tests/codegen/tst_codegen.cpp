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

namespace {

// A byte as the code writes it: two upper-case digits, "0x" before them in C51; in Asm51 "H"
// after them, and a leading 0 where the number would start with a letter.
QString numberOf(quint8 byte, bool asm51) {
    const QString digits = QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    return asm51 ? (digits[0].isLetter() ? "0" : "") + digits + "H" : "0x" + digits;
}

// Sets the panel to a '#'/'.' picture, one line of text per line of dots.
void load(kivaro::Vek& vek, const QByteArray& picture) {
    const QList<QByteArray> lines = picture.trimmed().split('\n');
    vek.setMaxRows(std::uint8_t(lines[0].size()));
    vek.setMaxLines(std::uint8_t(lines.size()));
    for (std::uint8_t y = 1; y <= lines.size(); ++y)
        for (std::uint8_t x = 1; x <= lines[0].size(); ++x)
            lines[y - 1][x - 1] == '#' ? vek.SetBit(x, y) : vek.ClrBit(x, y);
}

} // namespace

class TstCodeGen : public QObject {
    Q_OBJECT

private slots:
    void toolChainPlacesTheMatrixBytes_data() {
        QTest::addColumn<bool>("rowWise");
        QTest::addColumn<bool>("asm51");
        QTest::newRow("C51 column-wise through sdcc") << false << false;
        QTest::newRow("Asm51 column-wise through as31") << false << true;
        QTest::newRow("C51 row-wise through sdcc") << true << false;
        QTest::newRow("Asm51 row-wise through as31") << true << true;
    }
    void toolChainPlacesTheMatrixBytes() {
        QFETCH(bool, rowWise);
        QFETCH(bool, asm51);
        // Row-wise, the first picture's bytes are 00, 0F, 10, 9F, A0 and FF: each number form's
        // edges. The others hold every bit position and the first and the last dot.
        QList<QByteArray> pictures{"........\n....####\n...#....\n#..#####\n#.#.....\n########"};
        QList<QSize> matrices{{1, 1}, {8, 1}, {9, 1}, {10, 2}, {16, 16}, {254, 254}};
        for (int n = 249; n <= 254; ++n)
            matrices << QSize(n, 3) << QSize(5, n);
        for (QSize m : matrices) {
            QByteArray& picture = pictures.emplaceBack();
            for (int y = 1; y <= m.height(); ++y, picture += '\n')
                for (int x = 1; x <= m.width(); ++x)
                    picture += (x * 7 + y * 3 + m.width()) % 5 < 2 || x == m.width() || x + y == 2
                                   ? '#'
                                   : '.';
        }
        const QString mark = asm51 ? ";" : "//";
        const QString header =
            mark + "英\r\n" + mark +
            "Pointillo V1.0 作者：Pointillo Team  电邮：support@pointillo.example\r\n" + mark +
            (asm51 ? "Asm51" : "C51") + " Code,逐行从上到下取模,每行左为最高位\r\n" + mark +
            "Creat By Pointillo V1.0\r\n" + (asm51 ? "DB " : "");
        kivaro::Vek vek;
        QStringList texts;
        QByteArray expected;
        for (const QByteArray& picture : pictures) {
            load(vek, picture);
            const QString text = orvane::BuildCodeString(vek, rowWise, asm51, "英");
            QStringList numbers;
            for (char byte : mcs51::Pack(picture, rowWise))
                numbers << numberOf(quint8(byte), asm51);
            QCOMPARE(text, header + numbers.join(','));
            texts << text;
            expected += mcs51::Pack(picture, rowWise);
        }
        if (!mcs51::Available())
            QSKIP("as31 or sdcc is not installed (scripts/setup.sh installs both)");
        // A last byte of its own shows that no matrix gave one byte too many.
        texts << (asm51 ? "DB 0A5H" : "0xA5");
        expected += char(0xA5);
        const QByteArray source =
            asm51 ? "\t.org 1000h\n" + texts.join('\n').replace("DB ", ".db ").toUtf8() + "\n"
                  : "__code __at(0x1000) const unsigned char table[] = {\n" +
                        texts.join(",\n").toUtf8() + "\n};\nvoid main(void) {}\n";
        const mcs51::Image image = mcs51::Build(asm51, source, int(expected.size()));
        QVERIFY2(image.bytes == expected, qPrintable(image.error));
    }

    // The view gives back exactly the text it was given, lone line ends included, and shows
    // each as a line break; what is typed ends lines in CR LF and keeps non-breaking spaces.
    void codeViewKeepsCarriageReturns() {
        orvane::CodeView view;
        const QString text = QStringLiteral(";A\r\n;x\u00a0y\r\nDB 00H\rlone\nend");
        view.SetText(text);
        QCOMPARE(view.Text(), text);
        QCOMPARE(view.toPlainText().split(QLatin1Char('\n')).size(), 5);
        view.moveCursor(QTextCursor::End);
        QTest::keyClick(&view, Qt::Key_Return);
        QTest::keyClicks(&view, "c\u00a0");
        QCOMPARE(view.Text(),
                 QStringLiteral(";A\r\n;x\u00a0y\r\nDB 00H\r\nlone\r\nend\r\nc\u00a0"));
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
