// The glyph: the character box, the scroll bars that place and size it, the font and the
// picture that can stand in for the character.

#include "WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// Keys sends one key event for each UTF-16 unit of the input, OneKey one event with all of it.
enum class Input { Keys, OneKey, Pasted, ArrowKey };

// A picture file of 100 x 60 pixels whose black block samples to 8 x 4 dots.
QByteArray bmpFile() {
    QByteArray bmp;
    QBuffer buffer(&bmp);
    testing::blackBlock(QSize(100, 60), QRect(0, 0, 72, 37)).save(&buffer, "BMP");
    return bmp;
}

// Bold, italic, underlined and struck out.
QList<bool> styleOf(const platform::PictureSurface& s) {
    return {s.FontBold(), s.FontItalic(), s.FontUnderline(), s.FontStrikethru()};
}

// A key press as a desktop's keyboard sends it, with its text and no key code Qt knows.
void sendKey(QWidget* to, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(to, &press);
}

} // namespace

Q_DECLARE_METATYPE(Input)

class TstWindowGlyph : public testing::WindowTest {
    Q_OBJECT

private slots:
    // The box holds one character, whole; each key replaces the character before it, which
    // empties the box and so paints the panel once more.
    void characterBoxKeepsOneWholeCharacter_data() {
        QTest::addColumn<Input>("how");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("panelsPainted");
        const QString wide = QString::fromUcs4(U"\U00020000");
        const QString lead = wide.left(1), trail = wide.mid(1);
        QTest::newRow("a typed letter") << Input::Keys << "A"
                                        << "A" << 2;
        QTest::newRow("a key that types nothing") << Input::ArrowKey << ""
                                                  << "" << 1;
        QTest::newRow("one key, both halves beyond the basic plane")
            << Input::OneKey << wide << wide << 2;
        QTest::newRow("two keys, a half each") << Input::Keys << wide << wide << 2;
        QTest::newRow("a lead half, then a letter") << Input::Keys << lead + "A"
                                                    << "A" << 2;
        QTest::newRow("a paste that starts beyond the basic plane")
            << Input::Pasted << wide + "x" << wide << 1;
        QTest::newRow("a paste of a letter and a lone trail half")
            << Input::Pasted << "A" + trail << "A" << 1;
    }
    void characterBoxKeepsOneWholeCharacter() {
        QFETCH(Input, how);
        QFETCH(QString, input);
        QFETCH(QString, kept);
        QFETCH(int, panelsPainted);
        if (how == Input::Keys)
            for (const QChar unit : input)
                sendKey(w->Txt_Char, unit);
        else if (how == Input::OneKey)
            sendKey(w->Txt_Char, input);
        else if (how == Input::ArrowKey)
            QTest::keyClick(w->Txt_Char, Qt::Key_Left);
        else
            w->Txt_Char->setText(input);
        QCOMPARE(w->Txt_Char->text(), kept);
        QCOMPARE(f->codeSubject(), ";" + kept);
        QCOMPARE(f->panelsPainted(), panelsPainted);
    }

    // A dragged glyph thumb takes effect when released; a left click on the glyph puts position
    // and region back.
    void aGlyphThumbTakesEffectWhenReleasedAndALeftClickPutsItBack() {
        // As if imported: a black block over the top-left quarter of 16 x 16 dots, with the
        // region cut to that quarter.
        w->Pic_Bkp->SetPicture(testing::blackBlock(QSize(143, 145), QRect(0, 0, 72, 73)));
        w->CharMode = false;
        w->HScrl_ChrWth->setValue(71);
        w->VScrl_ChrHgt->setValue(72);
        QCOMPARE(f->litDots(), 256); // the block fills the region
        w->HScrl_ChrPos->setSliderDown(true);
        w->HScrl_ChrPos->setSliderPosition(0);
        QCOMPARE(f->litDots(), 256);
        w->HScrl_ChrPos->setSliderDown(false);
        QCOMPARE(f->litDots(), 0);
        QCOMPARE(f->glyphRegion(), QRect(0, 145, 71, 72));
        QCOMPARE(w->HScrl_ChrPos->maximum(), 286);
        QCOMPARE(w->VScrl_ChrPos->maximum(), 290);
        QTest::mouseClick(w->Pic_Char, Qt::LeftButton);
        QCOMPARE(f->glyphRegion(), QRect(143, 145, 143, 145));
        QCOMPARE(f->litArea(), QRect(1, 1, 8, 8));
        QCOMPARE(f->litDots(), 64);
    }

    // The picture stands in for the character until a letter takes the glyph back; its code
    // text is pointillo's (tst_cli_window).
    void rightClickOnTheGlyphImportsAPicture() {
        QVERIFY(f->putFile("p.bmp", bmpFile()));
        f->dialogs.confirm(f->path("p.bmp"));
        QTest::mouseClick(w->Pic_Char, Qt::RightButton);
        QTest::mouseClick(w->Pic_Char, Qt::MiddleButton); // asks for nothing
        QCOMPARE(f->dialogs.fileRequests.size(), 1);
        QCOMPARE(f->dialogs.fileRequests[0].title, "导入图象文件(单色260*140)");
        QCOMPARE(f->litArea(), QRect(1, 1, 8, 4));
        QTest::keyClicks(w->Txt_Char, "K");
        QCOMPARE(f->codeSubject(), ";K");
    }

    // A cancel, or a picture too large to load, leaves the glyph as it was.
    void aPictureNotImportedLosesNothing_data() {
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("cancelled") << true << QStringList();
        QTest::newRow("a picture claiming 20000 x 20000 pixels")
            << false << QStringList{"不能打开所选取的图象文件！"};
    }
    void aPictureNotImportedLosesNothing() {
        QFETCH(bool, cancelled);
        QFETCH(QStringList, messages);
        const QByteArray bmp = bmpFile(); // with a header made to claim 20000 x 20000 pixels
        const QByteArray huge =
            bmp.left(18) + QByteArray("\x20\x4e\0\0\x20\x4e\0\0", 8) + bmp.mid(26);
        QVERIFY(f->putFile("p.bmp", huge));
        if (cancelled)
            f->dialogs.cancel();
        else
            f->dialogs.confirm(f->path("p.bmp"));
        QTest::mouseClick(w->Pic_Char, Qt::RightButton);
        QCOMPARE(f->messageTexts(), messages);
        QCOMPARE(f->dots(), f->startDots);
    }

    // The chooser opens on the face that really draws "黑体", so that OK alone keeps the glyph;
    // face and style are taken, the size is not.
    void aChosenFontKeepsTheGlyphSize() {
        QFont styled("DejaVu Serif", 12, QFont::Bold, true);
        styled.setUnderline(true);
        styled.setStrikeOut(true);
        f->dialogs.fontAnswers = {styled};
        QTest::mouseClick(w->Cmd_Font, Qt::LeftButton);
        QCOMPARE(f->dialogs.fontRequests.value(0).font.family(), "WenQuanYi Zen Hei");
        QCOMPARE(f->dialogs.fontRequests.value(0).font.pointSizeF(), 106.0);
        QCOMPARE(w->Pic_Char->FontName(), "DejaVu Serif");
        QCOMPARE(w->Pic_Char->FontSize(), 106.0);
        QCOMPARE(styleOf(*w->Pic_Char), QList<bool>(4, true));
        QVERIFY(f->dots() != f->startDots);
    }

    // Start-up draws in the plain default face, which a chooser that gives no font keeps.
    void aFontChooserThatGivesNoFontChangesNothing_data() {
        QTest::addColumn<int>("failure"); // 0 is a cancel
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("cancelled") << 0 << QStringList();
        QTest::newRow("failed") << 57 << QStringList{"字体设置错误！"};
    }
    void aFontChooserThatGivesNoFontChangesNothing() {
        QFETCH(int, failure);
        QFETCH(QStringList, messages);
        f->dialogs.fontAnswers = {std::nullopt};
        f->dialogs.fontFailWith = failure;
        QTest::mouseClick(w->Cmd_Font, Qt::LeftButton);
        QCOMPARE(f->messageTexts(), messages);
        QCOMPARE(w->Pic_Char->FontName(), "黑体");
        QCOMPARE(styleOf(*w->Pic_Char), QList<bool>(4, false));
        QCOMPARE(f->dots(), f->startDots);
    }
};

QTEST_MAIN(TstWindowGlyph)
#include "tst_window_glyph.moc"
