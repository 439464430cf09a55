// The glyph: the character box, the scroll bars that place and size it, the font and the
// picture that can stand in for the character.

#include "WindowFixture.h"
#include "platform/PictureSurface.h"

#include <QtTest>
#include <QtWidgets>

using testing::WindowFixture;
using Entry = WindowFixture::Entry;

namespace {

enum class Input { Typed, Committed, Pasted };

// A picture file of 100 x 60 pixels whose black block samples to 8 x 4 dots.
QByteArray bmpFile() {
    QByteArray bmp;
    QBuffer buffer(&bmp);
    testing::blackBlock(QSize(100, 60), QRect(0, 0, 72, 37)).save(&buffer, "BMP");
    return bmp;
}

// The same file with a header that claims 20000 x 20000 pixels.
QByteArray hugeBmpFile() {
    const QByteArray bmp = bmpFile();
    return bmp.left(18) + QByteArray("\x20\x4e\0\0\x20\x4e\0\0", 8) + bmp.mid(26);
}

QStringList styleOf(const platform::PictureSurface& surface) {
    QStringList style;
    const QList<std::pair<bool, QString>> flags{{surface.FontBold(), "bold"},
                                                {surface.FontItalic(), "italic"},
                                                {surface.FontUnderline(), "underline"},
                                                {surface.FontStrikethru(), "strike-out"}};
    for (const auto& [on, name] : flags)
        if (on)
            style << name;
    return style;
}

} // namespace

Q_DECLARE_METATYPE(Input)

class TstWindowGlyph : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowFixture> f;
    orvane::SingleCharWindow* w = nullptr;

    void rightClickTheGlyph() { QTest::mouseClick(w->Pic_Char, Qt::RightButton); }

private slots:
    void init() {
        f = std::make_unique<WindowFixture>();
        w = f->w;
        w->show();
        f->restartCounts();
    }
    void cleanup() {
        QCOMPARE(f->dialogsNotOverTheWindow(), 0);
        f.reset();
    }

    // The box holds one character, whole; each key replaces the character before it, which
    // empties the box and so paints the panel once more.
    void characterBoxKeepsOneWholeCharacter_data() {
        QTest::addColumn<Input>("how");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("panelsPainted");
        const QString beyondBasicPlane = QString::fromUcs4(U"\U00020000");
        QTest::newRow("a typed letter") << Input::Typed << "A"
                                        << "A" << 2;
        QTest::newRow("an input method's character") << Input::Committed << "中"
                                                     << "中" << 2;
        QTest::newRow("a paste keeps its first character") << Input::Pasted << "AB"
                                                           << "A" << 1;
        QTest::newRow("a character beyond the basic plane")
            << Input::Pasted << beyondBasicPlane << beyondBasicPlane << 1;
        QTest::newRow("a paste that starts beyond the basic plane")
            << Input::Pasted << beyondBasicPlane + "x" << beyondBasicPlane << 1;
        QTest::newRow("a letter and a lone trail surrogate")
            << Input::Pasted << "A" + QString(QChar(0xDC00)) << "A" << 1;
    }
    void characterBoxKeepsOneWholeCharacter() {
        QFETCH(Input, how);
        QFETCH(QString, input);
        QFETCH(QString, kept);
        QFETCH(int, panelsPainted);
        QInputMethodEvent commit;
        commit.setCommitString(input);
        if (how == Input::Typed)
            QTest::keyClicks(w->Txt_Char, input);
        else if (how == Input::Committed)
            QApplication::sendEvent(w->Txt_Char, &commit);
        else
            w->Txt_Char->setText(input);
        QCOMPARE(w->Txt_Char->text(), kept);
        QCOMPARE(f->codeSubject(), ";" + kept);
        QCOMPARE(f->panelsPainted(), panelsPainted);
        QVERIFY(w->CharMode);
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    void aKeyThatTypesNothingEmptiesTheBox() {
        QTest::keyClick(w->Txt_Char, Qt::Key_Left);
        QCOMPARE(w->Txt_Char->text(), QString());
        QCOMPARE(f->codeSubject(), ";");
        QCOMPARE(f->litDots(), 0);
        QCOMPARE(f->panelsPainted(), 1);
        QVERIFY(w->CharMode);
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    // The height's large change is a tenth of its 145.
    void glyphHeightKeysStepBySmallAndLargeChange_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QRect>("region");
        QTest::newRow("Up takes one") << int(Qt::Key_Up) << QRect(143, 145, 143, 144);
        QTest::newRow("Page Up takes ten") << int(Qt::Key_PageUp) << QRect(143, 145, 143, 135);
    }
    void glyphHeightKeysStepBySmallAndLargeChange() {
        QFETCH(int, key);
        QFETCH(QRect, region);
        QTest::keyClick(w->VScrl_ChrHgt, Qt::Key(key));
        QCOMPARE(f->glyphRegion(), region);
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    void draggingAGlyphThumbChangesNothingUntilReleased() {
        f->showQuarterBlockPicture();
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
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    void leftClickOnTheGlyphPutsPositionAndRegionBack() {
        f->showQuarterBlockPicture();
        w->HScrl_ChrWth->setValue(71);
        w->VScrl_ChrHgt->setValue(72);
        w->HScrl_ChrPos->setValue(0);
        QTest::mouseClick(w->Pic_Char, Qt::LeftButton);
        QCOMPARE(f->glyphRegion(), QRect(143, 145, 143, 145));
        QCOMPARE(f->litArea(), QRect(1, 1, 8, 8));
        QCOMPARE(f->litDots(), 64);
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    void rightClickOnTheGlyphImportsAPicture() {
        QVERIFY(f->putFile("p.bmp", bmpFile()));
        f->dialogs.confirm(f->path("p.bmp"));
        rightClickTheGlyph();
        QTest::mouseClick(w->Pic_Char, Qt::MiddleButton); // asks for nothing
        QCOMPARE(f->dialogs.fileRequests.size(), 1);
        QCOMPARE(f->dialogs.fileRequests[0].title, "导入图象文件(单色260*140)");
        QCOMPARE(f->codeSubject(), ";" + f->path("p.bmp"));
        QCOMPARE(f->litArea(), QRect(1, 1, 8, 4));
        QCOMPARE(f->litDots(), 32);
        QVERIFY(!w->CharMode);
        QCOMPARE(f->messageTexts(), QStringList());
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    void aLetterAfterAPictureTakesTheGlyphBack() {
        QVERIFY(f->putFile("p.bmp", bmpFile()));
        f->dialogs.confirm(f->path("p.bmp"));
        rightClickTheGlyph();
        QTest::keyClicks(w->Txt_Char, "K");
        QCOMPARE(f->codeSubject(), ";K");
        QVERIFY(w->CharMode);
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    void cancellingThePictureChangesNothing() {
        QVERIFY(f->putFile("p.bmp", bmpFile()));
        f->dialogs.cancel();
        rightClickTheGlyph();
        QCOMPARE(f->messageTexts(), QStringList());
        QCOMPARE(f->dots(), f->startDots);
        QVERIFY(w->CharMode);
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    void runningOutOfMemoryInThePictureDialogIsReported() {
        f->dialogs.fail(-1);
        rightClickTheGlyph();
        QCOMPARE(f->messageTexts(), QStringList{"不能打开所选取的图象文件！"});
        QCOMPARE(f->dots(), f->startDots);
        QVERIFY(w->CharMode);
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    void anUnreadablePictureIsRefusedAndLosesNothing_data() {
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("a text file") << Entry::File << QByteArray("not a picture");
        QTest::newRow("a picture cut short") << Entry::File << bmpFile().left(40);
        QTest::newRow("a picture claiming 20000 x 20000 pixels") << Entry::File << hugeBmpFile();
        QTest::newRow("a folder") << Entry::Folder << QByteArray();
        QTest::newRow("a pipe") << Entry::Pipe << QByteArray();
        QTest::newRow("a link to an endless device") << Entry::LinkToDevZero << QByteArray();
        QTest::newRow("no such file") << Entry::Missing << QByteArray();
    }
    void anUnreadablePictureIsRefusedAndLosesNothing() {
        QFETCH(Entry, entry);
        QFETCH(QByteArray, contents);
        QVERIFY(f->putEntry("p.bmp", entry, contents));
        f->dialogs.confirm(f->path("p.bmp"));
        rightClickTheGlyph();
        QCOMPARE(f->messageTexts(), QStringList{"不能打开所选取的图象文件！"});
        QCOMPARE(f->codeSubject(), ";英");
        QCOMPARE(f->dots(), f->startDots);
        QVERIFY(w->CharMode);
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    // The chooser opens on the face that really draws "黑体"; face and style are taken, the
    // size is not.
    void aChosenFontKeepsTheGlyphSize() {
        QFont styled("DejaVu Serif", 12, QFont::Bold, true);
        styled.setUnderline(true);
        styled.setStrikeOut(true);
        f->dialogs.fontAnswers = {styled};
        QTest::mouseClick(w->Cmd_Font, Qt::LeftButton);
        QCOMPARE(f->dialogs.fontRequests.size(), 1);
        QCOMPARE(f->dialogs.fontRequests[0].font.family(), "WenQuanYi Zen Hei");
        QCOMPARE(f->dialogs.fontRequests[0].font.pointSizeF(), 106.0);
        QCOMPARE(w->Pic_Char->FontName(), "DejaVu Serif");
        QCOMPARE(w->Pic_Char->FontSize(), 106.0);
        QCOMPARE(styleOf(*w->Pic_Char), (QStringList{"bold", "italic", "underline", "strike-out"}));
        QVERIFY(f->dots() != f->startDots);
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    void okOnTheFaceTheChooserOpenedOnDrawsTheSameGlyph() {
        f->dialogs.fontAnswers = {QFont("WenQuanYi Zen Hei", 106)};
        QTest::mouseClick(w->Cmd_Font, Qt::LeftButton);
        QCOMPARE(w->Pic_Char->FontName(), "WenQuanYi Zen Hei");
        QCOMPARE(styleOf(*w->Pic_Char), QStringList());
        QCOMPARE(f->dots(), f->startDots);
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    void aFontChooserThatGivesNoFontChangesNothing_data() {
        QTest::addColumn<int>("failure"); // 0 is a cancel, -1 running out of memory
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("cancelled") << 0 << QStringList();
        QTest::newRow("failed") << 57 << QStringList{"字体设置错误！"};
        QTest::newRow("out of memory") << -1 << QStringList{"字体设置错误！"};
    }
    void aFontChooserThatGivesNoFontChangesNothing() {
        QFETCH(int, failure);
        QFETCH(QStringList, messages);
        f->dialogs.fontAnswers = {std::nullopt};
        f->dialogs.fontFailWith = failure;
        QTest::mouseClick(w->Cmd_Font, Qt::LeftButton);
        QCOMPARE(f->messageTexts(), messages);
        QCOMPARE(w->Pic_Char->FontName(), "黑体");
        QCOMPARE(w->Pic_Char->FontSize(), 106.0);
        QCOMPARE(styleOf(*w->Pic_Char), QStringList());
        QCOMPARE(f->dots(), f->startDots);
        QCOMPARE(f->code(), f->codeOfPanel());
    }
};

QTEST_MAIN(TstWindowGlyph)
#include "tst_window_glyph.moc"
