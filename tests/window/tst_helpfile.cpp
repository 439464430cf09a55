// The help file's scrambling, on its own: what could not come back is refused when the file is
// built.
#include "platform/PlatformError.h"
#include "window/HelpFile.h"

#include <QTest>

class tst_HelpFile : public QObject {
    Q_OBJECT

private slots:
    // The euro sign is the single byte 0x80 in code page 936; scrambled it becomes a lead byte.
    void euroSignIsRefusedByName() {
        try {
            orvane::EncodeHelpFile(QStringLiteral("price: 5 \u20AC"));
            QFAIL("the euro sign was written");
        } catch (const platform::PlatformError& e) {
            QCOMPARE(QString::fromStdString(e.what()),
                     QStringLiteral("The help text has U+20AC, which the help file's scrambling "
                                    "cannot carry"));
        }
    }

    // Lead bytes (0x81 to 0xFE) keep theirs and scramble the byte after them; a lead byte at the
    // very end and every single byte are XORed.
    void scramblingKeepsLeadBytesAndXorsTheRest() {
        const char k = char(orvane::kHelpKey);
        const char want[] = {char(0x80 ^ k), '\x81',         char(0x41 ^ k), '\xFE',
                             char(0x42 ^ k), char(0xFF ^ k), char(0x81 ^ k)};
        QCOMPARE(orvane::ScrambleAnsi("\x80\x81\x41\xFE\x42\xFF\x81"), QByteArray(want, 7));
    }
};

QTEST_MAIN(tst_HelpFile)
#include "tst_helpfile.moc"
