// The code text, as documented and as the 8051 tools place it; its view and its .dot file.

#include "SaveFile.h"
#include "codegen/CodeText.h"
#include "codegen/CodeView.h"
#include "codegen/DotFile.h"
#include "common/Mcs51Tools.h"
#include "kivaro/Vek.h"
#include "platform/PlatformError.h"

#include <QTest>

namespace {

// Sets the panel to m dots, given back as a '#'/'.' picture. A line's groups of eight cycle
// through the edges of every number form; the first dot and the last column are lit.
QByteArray light(kivaro::Vek& vek, QSize m) {
    static const quint8 bytes[] = {0xFF, 0x0F, 0x10, 0x9F, 0xA0, 0x00, 0x5A};
    vek.setMaxRows(std::uint8_t(m.width()));
    vek.setMaxLines(std::uint8_t(m.height()));
    QByteArray picture;
    for (std::uint8_t y = 1; y <= m.height(); ++y, picture += '\n')
        for (std::uint8_t x = 1; x <= m.width(); ++x) {
            const bool lit =
                x == m.width() || bytes[(y - 1 + (x - 1) / 8) % 7] >> (7 - (x - 1) % 8) & 1;
            lit ? vek.SetBit(x, y) : vek.ClrBit(x, y);
            picture += lit ? '#' : '.';
        }
    return picture;
}

} // namespace

class TstCodeGen : public QObject {
    Q_OBJECT

private slots:
    void toolChainPlacesTheMatrixBytes_data() {
        QTest::addColumn<bool>("rowWise");
        QTest::addColumn<bool>("asm51");
        // Each tool and each order once: the four texts are the window's golden files.
        QTest::newRow("C51 column-wise through sdcc") << false << false;
        QTest::newRow("Asm51 row-wise through as31") << true << true;
    }
    // The code text as the window shows it, header comments and all, goes through the 8051
    // tools; its number notation and header are the window's golden files' concern.
    void toolChainPlacesTheMatrixBytes() {
        QFETCH(bool, rowWise);
        QFETCH(bool, asm51);
        if (!mcs51::Available())
            QSKIP("as31 or sdcc is not installed (scripts/setup.sh installs both)");
        const QList<QSize> matrices{{1, 1}, {8, 1}, {9, 1}, {10, 2}, {254, 254}};
        kivaro::Vek vek;
        QStringList texts;
        QByteArray expected;
        for (QSize m : matrices) {
            expected += mcs51::Pack(light(vek, m), rowWise);
            texts << orvane::BuildCodeString(vek, orvane::CodeModelLayout(rowWise), asm51, "英");
        }
        const QByteArray source =
            asm51 ? "\t.org 1000h\n" + texts.join('\n').replace("DB ", ".db ").toUtf8() + "\n"
                  : "__code __at(0x1000) const unsigned char table[] = {\n" +
                        texts.join(",\n").toUtf8() + "\n};\nvoid main(void) {}\n";
        const mcs51::Image image = mcs51::Build(asm51, source, int(expected.size()));
        QVERIFY2(image.bytes == expected, qPrintable(image.error));
    }

    // The view keeps its text whole, lone line ends too; an edit ends lines in CR LF, keeps NBSPs.
    void codeViewKeepsCarriageReturns() {
        orvane::CodeView view;
        const QString text = QStringLiteral(";A\r\n;x\u00a0y\r\nDB 00H\rlone\nend");
        view.SetText(text);
        QCOMPARE(view.Text(), text);
        view.moveCursor(QTextCursor::End);
        QTest::keyClick(&view, Qt::Key_Return);
        QTest::keyClicks(&view, "c\u00a0");
        QCOMPARE(view.Text(),
                 QStringLiteral(";A\r\n;x\u00a0y\r\nDB 00H\r\nlone\r\nend\r\nc\u00a0"));
    }

    // A .dot file is GB18030 with one line end; saved as a new file, it gets the usual mode.
    void dotFileIsGb18030WithOneLineEnd() {
        const QTemporaryDir dir;
        QFile fresh(dir.filePath("fresh")), saved(dir.filePath("new.dot"));
        QVERIFY(fresh.open(QIODevice::WriteOnly));
        orvane::SaveDotFile(saved.fileName(), "DB 00H");
        QCOMPARE(saved.permissions(), fresh.permissions());
        QCOMPARE(pointillo::DotFileBytes(";英\r\n" + QString::fromUcs4(U"\U00020000")),
                 QByteArray(";\xd3\xa2\r\n\x95\x32\x82\x36\r\n"));
        QVERIFY_THROWS_EXCEPTION(platform::PlatformError,
                                 pointillo::DotFileBytes(QString(QChar(0xD800))));
    }
};

QTEST_MAIN(TstCodeGen)
#include "tst_codegen.moc"
