// The help file's scrambling, on its own: every character the build tool writes comes back as
// itself, and what could not come back is refused when the file is built.
#include "platform/PlatformError.h"
#include "window/HelpFile.h"

#include <QStringDecoder>
#include <QTest>

namespace {

QString unscrambled(const QByteArray& file) {
    QStringDecoder decoder("GBK");
    return decoder.decode(orvane::ScrambleAnsi(file));
}

} // namespace

class tst_HelpFile : public QObject {
    Q_OBJECT

private slots:
    // Every character of the basic plane: either it is refused, or it reads back as itself.
    void everyWrittenCharacterReadsBack() {
        int written = 0;
        for (char32_t cp = 1; cp <= 0xFFFF; ++cp) {
            if (QChar::isSurrogate(cp))
                continue;
            const QString text =
                QStringLiteral("a") + QString::fromUcs4(&cp, 1) + QStringLiteral("z");
            QByteArray file;
            try {
                file = orvane::EncodeHelpFile(text);
            } catch (const platform::PlatformError&) {
                continue;
            }
            ++written;
            if (unscrambled(file) != text)
                QFAIL(qPrintable(QStringLiteral("U+%1 does not read back").arg(uint(cp), 4, 16)));
        }
        // The hanzi and symbols of code page 936 are all among them.
        QVERIFY2(written > 21000, qPrintable(QString::number(written)));
    }

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

    // Each byte followed by a letter: only 0x80 and 0xFF, single bytes that the XOR turns into
    // lead bytes, fail to come back.
    void scramblingUndoesItselfForAllButTwoBytes() {
        QList<int> notUndone;
        for (int b = 0; b < 256; ++b) {
            const QByteArray pair = QByteArray(1, char(b)) + 'A';
            if (orvane::ScrambleAnsi(orvane::ScrambleAnsi(pair)) != pair)
                notUndone.append(b);
        }
        QCOMPARE(notUndone, (QList<int>{0x80, 0xFF}));
    }
};

QTEST_MAIN(tst_HelpFile)
#include "tst_helpfile.moc"
