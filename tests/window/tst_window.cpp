#include "WindowFixture.h"
#include "WindowProbe.h"
#include "codegen/CodeView.h"
#include "platform/PictureSurface.h"
#include "window/CharBox.h"
#include "window/ScrollBar.h"
#include "window/WrappingButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>

namespace {

// The control the Tab key moves to from w: the next one in the focus chain that takes focus
// by tab.
QWidget* nextTabStop(QWidget* w) {
    for (QWidget* next = w->nextInFocusChain(); next != w; next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) && next->isEnabled())
            return next;
    }
    return w;
}

// The smallest rectangle that holds every pixel of image that isInk accepts.
QRect inkBox(const QImage& image, const std::function<bool(QRgb)>& isInk) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isInk(image.pixel(x, y)))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// Where the dark pixels of widget's own drawing lie, in its parent's coordinates.
QRect darkInk(QWidget* widget) {
    QImage image(widget->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    widget->render(&image, {}, {}, QWidget::DrawWindowBackground);
    return inkBox(image, [](QRgb c) { return qGray(c) < 80; }).translated(widget->pos());
}

} // namespace

using testing::codeBytes;
using testing::codeLines;
using testing::WindowFixture;

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    void startsWithTheCodeOfTheDefaultCharacter();
    void startsWithPanelAndGlyphScrollBarsSetFromTheControl();
    void typingASecondCharacterRunsThePipelineTwice();
    void keyThatInsertsNothingEmptiesTheBoxAndClearsEveryDot_data();
    void keyThatInsertsNothingEmptiesTheBoxAndClearsEveryDot();
    void characterOutsideTheBasicPlaneStaysWhole();
    void positionScrollBarMovesTheGlyphOffTheSurface();
    void halfSizeRegionDoublesTheGlyph();
    void controlsSitAtTheirPlaces_data();
    void controlsSitAtTheirPlaces();
    void tabOrderRunsThroughEveryIndex();
    void captionsCarryTheirAccessKeys_data();
    void captionsCarryTheirAccessKeys();
    void codeModelCaptionsBreakWithLineFeedThenCarriageReturn();
    void scrollBarRunsItsHandlerOnReleaseNotWhileDragged();
    void accessKeysActAsClicksOrMoveTheFocus();
    void missingControlLibraryIsReportedNotCrashed();
    void closingTheWindowEndsTheProgram();
    // Faults found by using the real window as a new user would.
    void defaultCharacterFitsWhollyInsideTheGlyphSurface();
    void startsWithTheFocusInTheCharacterBox();
    void scrollBarKeysStepAsOnThePlatform_data();
    void scrollBarKeysStepAsOnThePlatform();
    void captionsAreReadableInFull();
    void dialogsAndMessagesOpenOverTheWindow();
};

void TestWindow::startsWithTheCodeOfTheDefaultCharacter() {
    WindowFixture f;
    const QStringList lines = codeLines(f.window->Txt_Display->Text());
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], QStringLiteral(";英"));
    QVERIFY(lines[1].startsWith(QStringLiteral(";Pointillo V1.0 作者：")));
    QCOMPARE(lines[2], QStringLiteral(";Asm51 Code,逐行从上到下取模,每行左为最高位"));
    QCOMPARE(lines[3], QStringLiteral(";Creat By Pointillo V1.0"));
    QVERIFY(lines[4].startsWith(QStringLiteral("DB ")));
    QCOMPARE(codeBytes(f.window->Txt_Display->Text()).size(), 32);
    // The glyph of a Chinese character at full size lights a good part of the panel.
    const int lit = testing::litDots(*f.window->Vek1);
    QVERIFY2(lit > 40 && lit < 200, qPrintable(QString::number(lit)));
    QVERIFY(f.window->CharMode);
}

void TestWindow::startsWithPanelAndGlyphScrollBarsSetFromTheControl() {
    WindowFixture f;
    auto& w = *f.window;
    QCOMPARE(w.Vek1->MaxLines(), 16);
    QCOMPARE(w.Vek1->MaxRows(), 16);
    QCOMPARE(w.Vek1->LedRadius(), 5);
    QCOMPARE(w.Vek1->OnSetColor(), std::int32_t(kivaro::Green));
    QCOMPARE(w.Vek1->OnClrColor(), std::int32_t(kivaro::BGreen));
    QCOMPARE(w.Vek1->Widget()->size(), QSize(224, 224));
    QCOMPARE(w.Pic_Char->ScaleWidth(), 143.0);
    QCOMPARE(w.Pic_Char->ScaleHeight(), 145.0);
    QCOMPARE(w.HScrl_ChrPos->maximum(), 286);
    QCOMPARE(w.HScrl_ChrPos->value(), 143);
    QCOMPARE(w.VScrl_ChrPos->maximum(), 290);
    QCOMPARE(w.VScrl_ChrPos->value(), 145);
    QCOMPARE(w.HScrl_ChrWth->minimum(), 1);
    QCOMPARE(w.HScrl_ChrWth->value(), 143);
    QCOMPARE(w.VScrl_ChrHgt->value(), 145);
    QCOMPARE(w.Pic_Char->FontName(), QStringLiteral("黑体"));
    QCOMPARE(w.Pic_Char->FontSize(), 106.0);
    QVERIFY(!w.Pic_Char->FontBold());
    // The face asked for by its system name is drawn with an installed free face.
    QVERIFY(QFontInfo(w.Pic_Char->DrawFont()).family() != QStringLiteral("黑体"));
    QVERIFY(QFontInfo(w.Pic_Char->DrawFont()).family().contains(QStringLiteral("WenQuanYi")));
    QCOMPARE(w.Txt_Display->font().family(), QStringLiteral("宋体"));
    QVERIFY(QFontInfo(w.Txt_Display->font()).family().contains(QStringLiteral("UMing")));
    QCOMPARE(w.Txt_Char->font().pointSizeF(), 42.0);
    QCOMPARE(w.Pic_VekContainer->font().family(), QStringLiteral("楷体_GB2312"));
    QVERIFY(QFontInfo(w.Pic_VekContainer->font()).family().contains(QStringLiteral("UKai")));
}

void TestWindow::typingASecondCharacterRunsThePipelineTwice() {
    WindowFixture f;
    auto& w = *f.window;
    w.show();
    testing::VekEventCounter events(*w.Vek1);
    QTest::keyClicks(w.Txt_Char, QStringLiteral("A"));
    QCOMPARE(w.Txt_Char->text(), QStringLiteral("A"));
    // Emptied first, then the new character: every dot is written once per run.
    QCOMPARE(events.changes, 2 * 256);
    QCOMPARE(codeLines(w.Txt_Display->Text())[0], QStringLiteral(";A"));
    QVERIFY(testing::litDots(*w.Vek1) > 0);
    QTest::keyClicks(w.Txt_Char, QStringLiteral("B"));
    QCOMPARE(w.Txt_Char->text(), QStringLiteral("B"));
    QCOMPARE(codeLines(w.Txt_Display->Text())[0], QStringLiteral(";B"));
}

void TestWindow::keyThatInsertsNothingEmptiesTheBoxAndClearsEveryDot_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("left arrow") << int(Qt::Key_Left);
    QTest::newRow("shift alone") << int(Qt::Key_Shift);
    QTest::newRow("delete") << int(Qt::Key_Delete);
}

void TestWindow::keyThatInsertsNothingEmptiesTheBoxAndClearsEveryDot() {
    QFETCH(int, key);
    WindowFixture f;
    auto& w = *f.window;
    w.show();
    QTest::keyClick(w.Txt_Char, Qt::Key(key));
    QCOMPARE(w.Txt_Char->text(), QString());
    QCOMPARE(testing::litDots(*w.Vek1), 0);
    QCOMPARE(codeLines(w.Txt_Display->Text())[0], QStringLiteral(";"));
    for (const QString& byte : codeBytes(w.Txt_Display->Text()))
        QCOMPARE(byte, QStringLiteral("00H"));
}

void TestWindow::characterOutsideTheBasicPlaneStaysWhole() {
    WindowFixture f;
    auto& w = *f.window;
    const QString wide = QString::fromUcs4(U"\U00020000");
    w.Txt_Char->setText(wide + QStringLiteral("x"));
    QCOMPARE(w.Txt_Char->text(), wide);
    QCOMPARE(codeLines(w.Txt_Display->Text())[0], QStringLiteral(";") + wide);
}

void TestWindow::positionScrollBarMovesTheGlyphOffTheSurface() {
    WindowFixture f;
    auto& w = *f.window;
    QVERIFY(testing::litDots(*w.Vek1) > 0);
    w.HScrl_ChrPos->setValue(w.HScrl_ChrPos->minimum());
    QCOMPARE(testing::litDots(*w.Vek1), 0);
    w.HScrl_ChrPos->setValue(143);
    QVERIFY(testing::litDots(*w.Vek1) > 0);
    w.VScrl_ChrPos->setValue(w.VScrl_ChrPos->maximum());
    QCOMPARE(testing::litDots(*w.Vek1), 0);
}

void TestWindow::halfSizeRegionDoublesTheGlyph() {
    WindowFixture f;
    auto& w = *f.window;
    // A glyph of our own: a black block over exactly the top-left quarter of the surface.
    QImage block(143, 145, QImage::Format_RGB32);
    block.fill(Qt::white);
    for (int y = 0; y < 72; ++y)
        for (int x = 0; x < 71; ++x)
            block.setPixel(x, y, qRgb(0, 0, 0));
    w.Pic_Bkp->SetPicture(block);
    w.CharMode = false;
    w.RefreshPipeline(w.kStandardFx, w.kStandardFy);
    QString quarter;
    for (int y = 0; y < 16; ++y)
        quarter += QString(y < 8 ? QStringLiteral("########........\n")
                                 : QStringLiteral("................\n"));
    QCOMPARE(testing::dotPicture(*w.Vek1), quarter);
    w.HScrl_ChrWth->setValue(71);
    w.VScrl_ChrHgt->setValue(72);
    QCOMPARE(testing::litDots(*w.Vek1), 256);
}

void TestWindow::controlsSitAtTheirPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    // Twips from the layout divided by 15, to the nearest pixel.
    QTest::newRow("Txt_Display") << "Txt_Display" << QRect(180, 253, 393, 168);
    QTest::newRow("Pic_Char") << "Pic_Char" << QRect(11, 266, 143, 145);
    QTest::newRow("Pic_VekContainer") << "Pic_VekContainer" << QRect(268, 6, 229, 229);
    QTest::newRow("Cmd_Help") << "Cmd_Help" << QRect(496, 232, 81, 19);
    QTest::newRow("HScrl_ChrPos") << "HScrl_ChrPos" << QRect(-3, 412, 168, 12);
    QTest::newRow("VScrl_VekPos") << "VScrl_VekPos" << QRect(250, 7, 17, 227);
    QTest::newRow("Txt_Char") << "Txt_Char" << QRect(4, 184, 65, 61);
    QTest::newRow("HScrl_Rows in its frame") << "HScrl_Rows" << QRect(-1, 47, 73, 12);
}

void TestWindow::controlsSitAtTheirPlaces() {
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    WindowFixture f;
    auto& w = *f.window;
    const std::map<QString, QWidget*> controls{
        {"Txt_Display", w.Txt_Display},
        {"Pic_Char", w.Pic_Char},
        {"Pic_VekContainer", w.Pic_VekContainer},
        {"Cmd_Help", w.Cmd_Help},
        {"HScrl_ChrPos", w.HScrl_ChrPos},
        {"VScrl_VekPos", w.VScrl_VekPos},
        {"Txt_Char", w.Txt_Char},
        {"HScrl_Rows", w.HScrl_Rows},
    };
    QCOMPARE(controls.at(name)->geometry(), pixels);
    QCOMPARE(w.size(), QSize(576, 424));
    QCOMPARE(w.windowTitle(), QStringLiteral("Pointillo (Single Char)"));
}

void TestWindow::tabOrderRunsThroughEveryIndex() {
    WindowFixture f;
    auto& w = *f.window;
    std::map<int, QWidget*> byTab;
    for (QWidget* child : w.findChildren<QWidget*>()) {
        const QVariant tab = child->property("TabIndex");
        if (tab.isValid()) {
            QVERIFY2(!byTab.count(tab.toInt()), "two controls share a tab index");
            byTab[tab.toInt()] = child;
        }
    }
    QCOMPARE(int(byTab.size()), 37);
    QCOMPARE(byTab.begin()->first, 0);
    QCOMPARE(byTab.rbegin()->first, 36);
    QCOMPARE(byTab.at(0), static_cast<QWidget*>(w.Pic_Char));
    QCOMPARE(byTab.at(27), w.Vek1->Widget());
    // Tab moves between the focusable ones in the order of their indexes.
    QCOMPARE(nextTabStop(w.HScrl_ChrPos), static_cast<QWidget*>(w.HScrl_ChrWth));
    QCOMPARE(nextTabStop(w.VScrl_ChrHgt), static_cast<QWidget*>(w.Txt_Display));
    QCOMPARE(nextTabStop(w.Txt_Char), static_cast<QWidget*>(w.Opt_CodeStyle[1]));
    QCOMPARE(nextTabStop(w.Cmd_Copy), static_cast<QWidget*>(w.Chk_VekEdit));
}

void TestWindow::captionsCarryTheirAccessKeys_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("copy") << "Cmd_Copy"
                          << "&Copy";
    QTest::newRow("font") << "Cmd_Font"
                          << "&Font";
    QTest::newRow("save") << "Cmd_Save"
                          << "&Save";
    QTest::newRow("help") << "Cmd_Help"
                          << "&Help";
    QTest::newRow("asm") << "Opt_CodeStyle1"
                         << "&Asm Hexadecimal";
    QTest::newRow("c51") << "Opt_CodeStyle2"
                         << "C51 &Hexadecimal";
    QTest::newRow("yellow") << "Kivaro_Color3"
                            << "&Yellow";
    QTest::newRow("edit") << "Chk_VekEdit"
                          << "Vek Edit Enable";
}

void TestWindow::captionsCarryTheirAccessKeys() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    WindowFixture f;
    auto& w = *f.window;
    const std::map<QString, QAbstractButton*> buttons{
        {"Cmd_Copy", w.Cmd_Copy},
        {"Cmd_Font", w.Cmd_Font},
        {"Cmd_Save", w.Cmd_Save},
        {"Cmd_Help", w.Cmd_Help},
        {"Opt_CodeStyle1", w.Opt_CodeStyle[1]},
        {"Opt_CodeStyle2", w.Opt_CodeStyle[2]},
        {"Kivaro_Color3", w.Kivaro_Color[3]},
        {"Chk_VekEdit", w.Chk_VekEdit},
    };
    QCOMPARE(buttons.at(name)->text(), caption);
}

void TestWindow::codeModelCaptionsBreakWithLineFeedThenCarriageReturn() {
    WindowFixture f;
    QCOMPARE(f.window->Opt_CodeModel[0]->text(), QStringLiteral("A--B\n\r|     |\n\rC--D"));
    QCOMPARE(f.window->Opt_CodeModel[1]->text(), QStringLiteral("A--C\n\r|     |\n\rB--D"));
    QCOMPARE(f.window->Lbl_VekSet[1]->buddy(), static_cast<QWidget*>(f.window->HScrl_Lines));
}

void TestWindow::scrollBarRunsItsHandlerOnReleaseNotWhileDragged() {
    WindowFixture f;
    auto& w = *f.window;
    testing::VekEventCounter events(*w.Vek1);
    w.HScrl_ChrPos->setSliderDown(true);
    w.HScrl_ChrPos->setSliderPosition(0);
    w.HScrl_ChrPos->setSliderPosition(50);
    QCOMPARE(events.changes, 0);
    QCOMPARE(w.HScrl_ChrPos->value(), 143);
    w.HScrl_ChrPos->setSliderDown(false);
    QCOMPARE(w.HScrl_ChrPos->value(), 50);
    QCOMPARE(events.changes, 256);
    w.HScrl_ChrPos->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(events.changes, 512);
}

void TestWindow::accessKeysActAsClicksOrMoveTheFocus() {
    WindowFixture f;
    auto& w = *f.window;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    f.dialogs.cancel();
    // A button's access key clicks it the way a mouse would, after its short press animation.
    QTest::keyClick(&w, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(f.dialogs.fileRequests.size(), 1);
    QTest::keyClick(&w, Qt::Key_W, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.HScrl_Rows));
    QTest::keyClick(&w, Qt::Key_Y, Qt::AltModifier); // "&Yellow"
    QTRY_COMPARE(w.Vek1->OnSetColor(), std::int32_t(kivaro::Yellow));
    QVERIFY(w.Kivaro_Color[3]->isChecked());
}

void TestWindow::missingControlLibraryIsReportedNotCrashed() {
    QTemporaryDir empty;
    try {
        WindowFixture f(empty.path());
        QFAIL("a window was made without its control library");
    } catch (const platform::PlatformError& e) {
        QCOMPARE(e.number(), int(platform::kErrCannotCreateObject));
        QVERIFY(QString::fromStdString(e.what()).contains(QStringLiteral("Zorvik_VekDisplay.Vek")));
    }
}

void TestWindow::closingTheWindowEndsTheProgram() {
    WindowFixture f;
    f.window->show();
    QTimer::singleShot(0, f.window.get(), [&] { f.window->close(); });
    // Without the close, the event loop would run until the test's own timeout.
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!f.window->isVisible());
}

void TestWindow::defaultCharacterFitsWhollyInsideTheGlyphSurface() {
    WindowFixture f;
    const QImage& image = f.window->Pic_Char->Image();
    const QRect ink =
        inkBox(image, [](QRgb c) { return c != qRgb(128, 128, 128) && c != qRgb(255, 0, 0); });
    // Nothing on an edge row or column, strokes in the upper and the lower quarter.
    QVERIFY2(image.rect().adjusted(1, 1, -1, -1).contains(ink), qPrintable(QDebug::toString(ink)));
    QVERIFY(ink.top() < image.height() / 4 && ink.bottom() > image.height() * 3 / 4);
    QVERIFY(std::abs(ink.center().x() - image.width() / 2) < image.width() / 8);
    QVERIFY(std::abs(ink.center().y() - image.height() / 2) < image.height() / 8);
}

void TestWindow::startsWithTheFocusInTheCharacterBox() {
    WindowFixture f;
    auto& w = *f.window;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.Txt_Char));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(w.Txt_Char->text(), QStringLiteral(" "));
}

void TestWindow::scrollBarKeysStepAsOnThePlatform_data() {
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("value");
    // Lines: 16 of 1 to 254, large change 5; glyph height: 145 of 1 to 145, large change 10.
    QTest::newRow("Right adds one") << false << int(Qt::Key_Right) << 17;
    QTest::newRow("Left takes one") << false << int(Qt::Key_Left) << 15;
    QTest::newRow("Page Down adds five") << false << int(Qt::Key_PageDown) << 21;
    QTest::newRow("Home goes to 1") << false << int(Qt::Key_Home) << 1;
    QTest::newRow("End goes to 254") << false << int(Qt::Key_End) << 254;
    QTest::newRow("vertical Page Up takes ten") << true << int(Qt::Key_PageUp) << 135;
}
void TestWindow::scrollBarKeysStepAsOnThePlatform() {
    QFETCH(bool, vertical);
    QFETCH(int, key);
    QFETCH(int, value);
    WindowFixture f;
    orvane::ScrollBar* bar = vertical ? f.window->VScrl_ChrHgt : f.window->HScrl_Lines;
    QTest::keyClick(bar, Qt::Key(key));
    QCOMPARE(bar->value(), value);
}

void TestWindow::captionsAreReadableInFull() {
    WindowFixture f;
    auto& w = *f.window;
    QCOMPARE(w.font().pointSizeF(), 8.0);
    // Drawn without clipping, every stroke of a caption stays inside its control.
    const auto fits = [](QWidget* control, QRect area, const QString& text, int flags) {
        QImage image(control->size() + QSize(40, 40), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(control->font());
        painter.drawText(area.translated(20, 20), flags | Qt::TextDontClip, text);
        painter.end();
        const QRect ink = inkBox(image, [](QRgb c) { return qGray(c) < 160; });
        QVERIFY2(QRect(QPoint(20, 20), control->size()).contains(ink), qPrintable(text));
    };
    // Check box and option captions wrap where their controls are more than a line high.
    const auto wrapping = [&](auto* none) {
        using Button = std::remove_pointer_t<decltype(none)>;
        for (Button* button : w.findChildren<Button*>()) {
            auto* wraps = dynamic_cast<orvane::WrappingButton<Button>*>(button);
            QVERIFY2(wraps, qPrintable(button->text()));
            fits(wraps, wraps->CaptionArea(), wraps->text(), wraps->kCaptionFlags);
        }
    };
    wrapping(static_cast<QCheckBox*>(nullptr));
    wrapping(static_cast<QRadioButton*>(nullptr));
    for (QLabel* label : w.findChildren<QLabel*>())
        if (!label->text().isEmpty())
            fits(label, label->contentsRect(), label->text(), int(label->alignment()));
    // Drawn apart, "Vek Set" and the first label's text share no row of dark ink.
    const QRect title = darkInk(w.Frm_VekSet).translated(-w.Frm_VekSet->pos());
    QVERIFY(title.bottom() < darkInk(w.Lbl_VekSet[1]).top());
}

void TestWindow::dialogsAndMessagesOpenOverTheWindow() {
    WindowFixture f;
    auto& w = *f.window;
    f.dialogs.cancel();
    w.Cmd_Save_Click();
    f.dialogs.fontFailWith = 5;
    w.Cmd_Font_Click();
    QCOMPARE(f.dialogs.fileRequests.value(0).owner, &w);
    QCOMPARE(f.dialogs.fontRequests.value(0).owner, &w);
    QCOMPARE(f.messages.shown.value(0).parent, &w);
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
