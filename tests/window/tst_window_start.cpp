// What the window shows when it opens, its captions, and the help it shows.

#include "WindowFixture.h"
#include "window/HelpFile.h"
#include "window/WrappingButton.h"

#include <QtTest>
#include <QtWidgets>

using Entry = testing::WindowFixture::Entry;

namespace {

// Whether text drawn without clipping in the area of control leaves no ink outside it.
bool captionFits(QWidget* control, QRect area, const QString& text, int flags) {
    QImage image(control->size() + QSize(40, 40), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(control->font());
    painter.drawText(area.translated(20, 20), flags | Qt::TextDontClip, text);
    painter.end();
    return QRect(QPoint(20, 20), control->size()).contains(testing::ink(image));
}

template <typename Button> void checkWrappingCaptionsFit(QWidget* window) {
    for (Button* button : window->findChildren<Button*>()) {
        auto* wraps = dynamic_cast<orvane::WrappingButton<Button>*>(button);
        QVERIFY2(wraps, qPrintable(button->text() + " does not wrap its caption"));
        QVERIFY2(captionFits(wraps, wraps->CaptionArea(), wraps->text(), wraps->kCaptionFlags),
                 qPrintable(button->text()));
    }
}

} // namespace

class TstWindowStart : public testing::WindowTest {
    Q_OBJECT

private slots:
    void startUpShowsTheDefaultCharacterOnSixteenBySixteenDots() {
        QCOMPARE(w->Txt_Char->text(), "英");
        QCOMPARE(w->focusWidget(), w->Txt_Char);
        QVERIFY(w->CharMode);
        QCOMPARE(f->matrix(), QSize(16, 16));
        QCOMPARE(w->Vek1->LedRadius(), 5);
        QCOMPARE(f->settingLabels(), (QStringList{"&Lines:16", "Ro&ws:16", "Ra&dius:5"}));
        QCOMPARE(f->glyphRegion(), QRect(143, 145, 143, 145));
        QCOMPARE(f->codeSubject(), ";英");
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    void missingControlLibraryIsReportedNotCrashed() {
        QVERIFY_THROWS_EXCEPTION(platform::PlatformError, testing::WindowFixture{false});
    }

    // Drawn without clipping, every caption stays inside its control; check boxes and options
    // wrap theirs.
    void captionsAreReadableInFull() {
        QCOMPARE(w->font().pointSizeF(), 8.0);
        checkWrappingCaptionsFit<QCheckBox>(w);
        checkWrappingCaptionsFit<QRadioButton>(w);
        for (QLabel* label : w->findChildren<QLabel*>())
            if (!label->text().isEmpty())
                QVERIFY2(captionFits(label, label->contentsRect(), label->text(),
                                     int(label->alignment())),
                         qPrintable(label->text()));
    }

    // The build's help file, whose Chinese text has lead bytes with trail bytes of both
    // halves, reads back as its source; an option then brings the code back.
    void helpShowsTheHelpFileTheBuildMakes() {
        QVERIFY(QFile::link(QCoreApplication::applicationDirPath() + "/" + orvane::kHelpFileName,
                            f->path(orvane::kHelpFileName)));
        QTest::mouseClick(w->Cmd_Help, Qt::LeftButton);
        const QString source = QString::fromUtf8(testing::fileContents(POINTILLO_HELP_SOURCE));
        QCOMPARE(f->code(), QString(source).replace("\n", "\r\n"));
        QTest::mouseClick(w->Opt_CodeModel[0], Qt::LeftButton);
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    void helpShowsAHelpFileOfTheLargestSize() {
        const QByteArray as(orvane::kMaxHelpFileBytes, char('a' ^ orvane::kHelpKey));
        QVERIFY(f->putFile(orvane::kHelpFileName, as));
        QTest::mouseClick(w->Cmd_Help, Qt::LeftButton);
        QCOMPARE(f->code(), QString(orvane::kMaxHelpFileBytes, 'a'));
    }

    void helpFallsBackToTheAboutText_data() {
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("no help file") << Entry::Missing << QByteArray();
        QTest::newRow("one byte too long")
            << Entry::File << QByteArray(orvane::kMaxHelpFileBytes + 1, 0);
        QTest::newRow("a lead byte without its trail byte")
            << Entry::File << QByteArray("\x81\x48");
        QTest::newRow("a pipe") << Entry::Pipe << QByteArray();
    }
    void helpFallsBackToTheAboutText() {
        QFETCH(Entry, entry);
        QFETCH(QByteArray, contents);
        QVERIFY(f->putEntry(orvane::kHelpFileName, entry, contents));
        QTest::mouseClick(w->Cmd_Help, Qt::LeftButton);
        QCOMPARE(f->code(), orvane::AboutText());
        QCOMPARE(f->messageTexts(), QStringList());
    }
};

QTEST_MAIN(TstWindowStart)
#include "tst_window_start.moc"
