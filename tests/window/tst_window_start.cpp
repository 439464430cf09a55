// What the window shows when it opens, its layout, and the help it shows.

#include "WindowFixture.h"
#include "platform/PictureSurface.h"
#include "window/HelpFile.h"
#include "window/WrappingButton.h"

#include <QtTest>
#include <QtWidgets>

using testing::WindowFixture;
using Entry = WindowFixture::Entry;

namespace {

// Where the pixels darker than a grey level lie.
QRect ink(const QImage& image, int grey) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            box |= qGray(image.pixel(x, y)) < grey ? QRect(x, y, 1, 1) : QRect();
    return box;
}

// Whether text drawn without clipping in the area of control leaves no ink outside it.
bool captionFits(QWidget* control, QRect area, const QString& text, int flags) {
    QImage image(control->size() + QSize(40, 40), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(control->font());
    painter.drawText(area.translated(20, 20), flags | Qt::TextDontClip, text);
    painter.end();
    return QRect(QPoint(20, 20), control->size()).contains(ink(image, 160));
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

class TstWindowStart : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowFixture> f;
    orvane::SingleCharWindow* w = nullptr;

private slots:
    void init() {
        f = std::make_unique<WindowFixture>();
        w = f->w;
        w->show();
    }
    void cleanup() {
        QCOMPARE(f->dialogsNotOverTheWindow(), 0);
        f.reset();
    }

    void startUpShowsTheDefaultCharacterOnSixteenBySixteenDots() {
        QCOMPARE(w->Txt_Char->text(), "英");
        QVERIFY(w->CharMode);
        QCOMPARE(f->matrix(), QSize(16, 16));
        QCOMPARE(w->Vek1->LedRadius(), 5);
        QCOMPARE(f->settingLabels(), (QStringList{"&Lines:16", "Ro&ws:16", "Ra&dius:5"}));
        QCOMPARE(f->codeSubject(), ";英");
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    void startUpCentresTheGlyphRegion() {
        QCOMPARE(w->HScrl_ChrPos->maximum(), 286);
        QCOMPARE(w->VScrl_ChrPos->maximum(), 290);
        QVERIFY(w->HScrl_ChrPos->isEnabled() && w->VScrl_ChrPos->isEnabled());
        QCOMPARE(f->glyphRegion(), QRect(143, 145, 143, 145));
    }

    void startUpPanelFitsItsContainerWithoutScrolling() {
        QVERIFY(!w->VScrl_VekPos->isEnabled());
        QVERIFY(!w->HScrl_VekPos->isEnabled());
        QCOMPARE(w->Vek1->Widget()->pos(), QPoint(0, 0));
    }

    void startUpDrawsInThePlainDefaultFace() {
        QCOMPARE(w->Pic_Char->FontName(), "黑体");
        QCOMPARE(w->Pic_Char->FontSize(), 106.0);
        QVERIFY(!w->Pic_Char->FontBold() && !w->Pic_Char->FontItalic());
        QVERIFY(!w->Pic_Char->FontUnderline() && !w->Pic_Char->FontStrikethru());
    }

    void startUpFocusesTheCharacterBox() { QCOMPARE(w->focusWidget(), w->Txt_Char); }

    void missingControlLibraryIsReportedNotCrashed() {
        QVERIFY_THROWS_EXCEPTION(platform::PlatformError, WindowFixture{false});
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

    void helpShowsTheHelpFileBesideTheProgram() {
        QVERIFY(f->putFile(orvane::kHelpFileName, orvane::EncodeHelpFile("丂 第一行\nline\r")));
        QTest::mouseClick(w->Cmd_Help, Qt::LeftButton);
        QCOMPARE(f->code(), "丂 第一行\nline\r");
    }

    void helpShowsAHelpFileOfTheLargestSize() {
        const QByteArray as(orvane::kMaxHelpFileBytes, char('a' ^ orvane::kHelpKey));
        QVERIFY(f->putFile(orvane::kHelpFileName, as));
        QTest::mouseClick(w->Cmd_Help, Qt::LeftButton);
        QCOMPARE(f->code().size(), orvane::kMaxHelpFileBytes);
    }

    void helpShowsTheHelpFileTheBuildMakes() {
        QVERIFY(f->putLink(orvane::kHelpFileName,
                           QCoreApplication::applicationDirPath() + "/" + orvane::kHelpFileName));
        QTest::mouseClick(w->Cmd_Help, Qt::LeftButton);
        const QString source = QString::fromUtf8(testing::fileContents(POINTILLO_HELP_SOURCE));
        QCOMPARE(f->code(), QString(source).replace("\n", "\r\n"));
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
        QTest::newRow("a link to an endless device") << Entry::LinkToDevZero << QByteArray();
    }
    void helpFallsBackToTheAboutText() {
        QFETCH(Entry, entry);
        QFETCH(QByteArray, contents);
        QVERIFY(f->putEntry(orvane::kHelpFileName, entry, contents));
        QTest::mouseClick(w->Cmd_Help, Qt::LeftButton);
        QCOMPARE(f->code(), orvane::AboutText());
        QCOMPARE(f->messageTexts(), QStringList());
    }

    void aCodeOptionAfterHelpBringsTheCodeBack() {
        QTest::mouseClick(w->Cmd_Help, Qt::LeftButton);
        QVERIFY(f->code() != f->codeOfPanel());
        QTest::mouseClick(w->Opt_CodeModel[0], Qt::LeftButton);
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    // The help file keeps single and trail bytes XORed, and only characters of code page 936.
    void helpFileScramblesSingleAndTrailBytes() {
        const char k = char(orvane::kHelpKey);
        const char want[] = {char(0x80 ^ k), '\x81',         char(0x41 ^ k), '\xFE',
                             char(0x42 ^ k), char(0xFF ^ k), char(0x81 ^ k)};
        QCOMPARE(orvane::ScrambleAnsi("\x80\x81\x41\xFE\x42\xFF\x81"), QByteArray(want, 7));
        QVERIFY_THROWS_EXCEPTION(platform::PlatformError,
                                 orvane::EncodeHelpFile(QString::fromUcs4(U"a\U0001F600")));
    }
};

QTEST_MAIN(TstWindowStart)
#include "tst_window_start.moc"
