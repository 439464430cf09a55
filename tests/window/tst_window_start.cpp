// What the window shows when it opens, its tab order, and the help it shows and how that is
// scrambled.

#include "WindowFixture.h"
#include "window/HelpFile.h"

#include <QStringDecoder>
#include <QtTest>
#include <QtWidgets>

class TstWindowStart : public testing::WindowTest {
    Q_OBJECT

private slots:
    // Tab walks every control, from the character box that has the focus at start, in the order
    // of the tab indexes, leaving the code view too; in each group of options it stops at the one
    // chosen (at start Green, Asm and the row-wise model). Frames, labels, picture surfaces, the
    // disabled panel scroll bars and the hidden Pic_Bkp take no focus.
    void tabOrderFollowsTheTabIndexes() {
        const QStringList stops{"Opt_CodeStyle(1)", "Opt_CodeModel(0)", "Cmd_Save",
                                "Cmd_Font",         "Cmd_Copy",         "Chk_VekEdit",
                                "HScrl_ChrPos",     "HScrl_ChrWth",     "VScrl_ChrPos",
                                "VScrl_ChrHgt",     "Txt_Display",      "Cmd_Help",
                                "Kivaro_Color(1)",  "HScrl_Lines",      "HScrl_Rows",
                                "HScrl_Radius",     "Txt_Char"};
        QStringList reached;
        for (qsizetype n = 0; n < stops.size(); ++n) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(reached, stops);
    }

    void missingControlLibraryIsReportedNotCrashed() {
        QVERIFY_THROWS_EXCEPTION(platform::PlatformError, testing::WindowFixture{false});
    }

    // Every character of the basic plane the help build writes reads back as itself, and what
    // could not come back (the euro sign, the single byte 0x80 in code page 936, becomes a lead
    // byte once scrambled) is refused by name.
    void helpBuildWritesOnlyWhatReadsBack() {
        int written = 0;
        for (char32_t cp = 1; cp <= 0xFFFF; ++cp) {
            if (QChar::isSurrogate(cp))
                continue;
            const QString text = "a" + QString::fromUcs4(&cp, 1) + "z";
            QByteArray file;
            try {
                file = orvane::EncodeHelpFile(text);
            } catch (const platform::PlatformError&) {
                continue;
            }
            ++written;
            if (QStringDecoder("GBK").decode(orvane::ScrambleAnsi(file)) != QString(text))
                QFAIL(qPrintable(QString("U+%1 does not read back").arg(uint(cp), 4, 16)));
        }
        QVERIFY2(written > 21000, qPrintable(QString::number(written))); // all of code page 936
        QVERIFY_THROWS_EXCEPTION(platform::PlatformError, orvane::EncodeHelpFile("5 \u20AC"));
    }

    // Lead bytes (0x81 to 0xFE) keep theirs and scramble the byte after them; a lead byte at the
    // very end and every single byte are XORed.
    void helpScramblingKeepsLeadBytesAndXorsTheRest() {
        const char k = char(orvane::kHelpKey);
        const char want[] = {char(0x80 ^ k), '\x81',         char(0x41 ^ k), '\xFE',
                             char(0x42 ^ k), char(0xFF ^ k), char(0x81 ^ k)};
        QCOMPARE(orvane::ScrambleAnsi("\x80\x81\x41\xFE\x42\xFF\x81"), QByteArray(want, 7));
    }

    // The build's help file, whose Chinese text has lead bytes with trail bytes of both
    // halves, reads back as its source.
    void helpShowsTheHelpFileTheBuildMakes() {
        QVERIFY(QFile::link(QCoreApplication::applicationDirPath() + "/" + orvane::kHelpFileName,
                            f->path(orvane::kHelpFileName)));
        QTest::mouseClick(w->Cmd_Help, Qt::LeftButton);
        const QString source = QString::fromUtf8(testing::fileContents(POINTILLO_HELP_SOURCE));
        QCOMPARE(f->code(), QString(source).replace("\n", "\r\n"));
    }

    // A help file of the largest size is shown; a longer one, a damaged one or none at all
    // gives the about text.
    void helpShowsTheFileOrTheAboutText_data() {
        QTest::addColumn<QByteArray>("file"); // a null array for no file at all
        QTest::addColumn<QString>("shown");
        const qint64 largest = orvane::kMaxHelpFileBytes;
        QTest::newRow("the largest size")
            << QByteArray(largest, char('a' ^ orvane::kHelpKey)) << QString(largest, 'a');
        QTest::newRow("one byte too long") << QByteArray(largest + 1, 0) << orvane::AboutText();
        QTest::newRow("a lead byte without its trail byte")
            << QByteArray("\x81\x48") << orvane::AboutText();
        QTest::newRow("no help file") << QByteArray() << orvane::AboutText();
    }
    void helpShowsTheFileOrTheAboutText() {
        QFETCH(QByteArray, file);
        QFETCH(QString, shown);
        if (!file.isNull())
            QVERIFY(f->putFile(orvane::kHelpFileName, file));
        QTest::mouseClick(w->Cmd_Help, Qt::LeftButton);
        QCOMPARE(f->code(), shown);
    }
};

QTEST_MAIN(TstWindowStart)
#include "tst_window_start.moc"
