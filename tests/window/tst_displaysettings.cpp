#include "WindowFixture.h"
#include "WindowProbe.h"
#include "codegen/CodeText.h"
#include "codegen/CodeView.h"
#include "platform/PictureSurface.h"
#include "window/CharBox.h"
#include "window/ScrollBar.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QTest>

#include <algorithm>

using testing::WindowFixture;

namespace {

// The middle of dot (x, y) on the panel, in pixels.
QPoint dotCentre(kivaro::IVek& vek, int x, int y) {
    const double pitch = 42.0 * vek.LedRadius() / 15.0;
    return QPoint(int((x - 0.5) * pitch), int((y - 0.5) * pitch));
}

bool lit(kivaro::IVek& vek, int x, int y) {
    std::uint8_t bx = std::uint8_t(x);
    std::uint8_t by = std::uint8_t(y);
    return vek.Bit(bx, by) == 1;
}

// The code text the window would write for its panel as it is now.
QString freshCode(orvane::SingleCharWindow& w) {
    return orvane::BuildCodeString(
        *w.Vek1, w.Opt_CodeModel[0]->isChecked(), w.Opt_CodeStyle[1]->isChecked(),
        orvane::CodeSubject(w.CharMode, w.Txt_Char->text(), w.Dialog.FileName()));
}

} // namespace

class TestDisplaySettings : public QObject {
    Q_OBJECT

private slots:
    void startsWithLabelsAndDisabledPanelScrollBars();
    void growingLinesLetsThePanelScrollDown();
    void shrinkingLinesPutsThePanelBackAtTheTop();
    void panelExactlyAsTallAsTheContainerFits();
    void rowsTouchOnlyTheHorizontalSide();
    void radiusTouchesBothSides();
    void largestPanelScrollsAndComesBack();
    void colourPairsLightTheGlyphAgain_data();
    void colourPairsLightTheGlyphAgain();
    void handEditFollowsIntoEverySyntaxAndOrder();
    void editingOffLeavesPanelAndCodeAlone();
    void colourChangeReplacesHandEditsOnThePanelOnly();
    void changesDuringAYieldLeaveCodeAndPanelInStep_data();
    void changesDuringAYieldLeaveCodeAndPanelInStep();
    // Faults found by using the real window as a new user would.
    void fittingPanelPutsItsDisabledScrollBarBackAtZero_data();
    void fittingPanelPutsItsDisabledScrollBarBackAtZero();
    void inputStormOnTheLargestPanelNestsNoPaintInAnother_data();
    void inputStormOnTheLargestPanelNestsNoPaintInAnother();
};

void TestDisplaySettings::startsWithLabelsAndDisabledPanelScrollBars() {
    WindowFixture f;
    auto& w = *f.window;
    QCOMPARE(w.Lbl_VekSet[1]->text(), QStringLiteral("&Lines:16"));
    QCOMPARE(w.Lbl_VekSet[2]->text(), QStringLiteral("Ro&ws:16"));
    QCOMPARE(w.Lbl_VekSet[3]->text(), QStringLiteral("Ra&dius:5"));
    QVERIFY(!w.HScrl_VekPos->isEnabled());
    QVERIFY(!w.VScrl_VekPos->isEnabled());
    QCOMPARE(w.HScrl_VekPos->value(), 0);
    QCOMPARE(w.VScrl_VekPos->value(), 0);
    QCOMPARE(w.Vek1->Widget()->pos(), QPoint(0, 0));
}

void TestDisplaySettings::growingLinesLetsThePanelScrollDown() {
    WindowFixture f;
    auto& w = *f.window;
    w.HScrl_Lines->setValue(17); // 17 lines at radius 5: 238 pixels in a 229-pixel container
    QCOMPARE(w.Vek1->MaxLines(), 17);
    QCOMPARE(w.Lbl_VekSet[1]->text(), QStringLiteral("&Lines:17"));
    QVERIFY(w.VScrl_VekPos->isEnabled());
    QCOMPARE(w.VScrl_VekPos->maximum(), 238 - 229);
    QVERIFY(!w.HScrl_VekPos->isEnabled());
    w.VScrl_VekPos->setValue(w.VScrl_VekPos->maximum());
    QWidget* panel = w.Vek1->Widget();
    QCOMPARE(panel->y() + panel->height(), int(w.Pic_VekContainer->ScaleHeight()));
    QCOMPARE(testing::codeBytes(w.Txt_Display->Text()).size(), 17 * 2);
}

void TestDisplaySettings::shrinkingLinesPutsThePanelBackAtTheTop() {
    WindowFixture f;
    auto& w = *f.window;
    w.HScrl_Lines->setValue(30);
    w.VScrl_VekPos->setValue(100);
    QCOMPARE(w.Vek1->Widget()->y(), -100);
    w.HScrl_Lines->setValue(20); // still too tall: the scroll range shrinks under the value
    QCOMPARE(w.VScrl_VekPos->maximum(), 20 * 14 - 229);
    QCOMPARE(w.Vek1->Widget()->y(), -(20 * 14 - 229));
    w.HScrl_Lines->setValue(10);
    QVERIFY(!w.VScrl_VekPos->isEnabled());
    QCOMPARE(w.Vek1->Widget()->y(), 0);
}

void TestDisplaySettings::panelExactlyAsTallAsTheContainerFits() {
    WindowFixture f;
    auto& w = *f.window;
    w.Pic_VekContainer->resize(w.Pic_VekContainer->width(), 224); // the 16-line panel's height
    w.HScrl_Lines->setValue(15);
    w.HScrl_Lines->setValue(16);
    QCOMPARE(w.Vek1->Widget()->height(), 224);
    QVERIFY(!w.VScrl_VekPos->isEnabled());
    w.HScrl_Lines->setValue(17);
    QVERIFY(w.VScrl_VekPos->isEnabled());
}

void TestDisplaySettings::rowsTouchOnlyTheHorizontalSide() {
    WindowFixture f;
    auto& w = *f.window;
    w.HScrl_Lines->setValue(40);
    w.VScrl_VekPos->setValue(50);
    w.HScrl_Rows->setValue(40);
    QCOMPARE(w.Lbl_VekSet[2]->text(), QStringLiteral("Ro&ws:40"));
    QVERIFY(w.HScrl_VekPos->isEnabled());
    QCOMPARE(w.HScrl_VekPos->maximum(), 40 * 14 - 229);
    QCOMPARE(w.VScrl_VekPos->value(), 50);
    w.HScrl_Rows->setValue(3);
    QVERIFY(!w.HScrl_VekPos->isEnabled());
    QVERIFY(w.VScrl_VekPos->isEnabled());
    QCOMPARE(w.Vek1->Widget()->pos(), QPoint(0, -50));
}

void TestDisplaySettings::radiusTouchesBothSides() {
    WindowFixture f;
    auto& w = *f.window;
    w.HScrl_Radius->setValue(6); // 16 dots at radius 6: 269 pixels
    QCOMPARE(w.Lbl_VekSet[3]->text(), QStringLiteral("Ra&dius:6"));
    QCOMPARE(w.Vek1->Widget()->size(), QSize(269, 269));
    QVERIFY(w.HScrl_VekPos->isEnabled());
    QVERIFY(w.VScrl_VekPos->isEnabled());
    QCOMPARE(w.HScrl_VekPos->maximum(), 269 - 229);
    QCOMPARE(w.VScrl_VekPos->maximum(), 269 - 229);
    w.HScrl_Radius->setValue(2);
    QVERIFY(!w.HScrl_VekPos->isEnabled());
    QVERIFY(!w.VScrl_VekPos->isEnabled());
}

void TestDisplaySettings::largestPanelScrollsAndComesBack() {
    WindowFixture f;
    auto& w = *f.window;
    w.HScrl_Radius->setValue(40);
    w.HScrl_Lines->setValue(254);
    w.HScrl_Rows->setValue(254);
    const int panel = 28448; // 254 x 42 x 40 twips
    QCOMPARE(w.Vek1->Widget()->size(), QSize(panel, panel));
    QCOMPARE(w.HScrl_VekPos->maximum(), panel - 229);
    QCOMPARE(w.VScrl_VekPos->maximum(), panel - 229);
    w.HScrl_VekPos->setValue(w.HScrl_VekPos->maximum());
    w.VScrl_VekPos->setValue(w.VScrl_VekPos->maximum());
    QCOMPARE(w.Vek1->Widget()->pos(), QPoint(229 - panel, 229 - panel));
    QCOMPARE(testing::codeBytes(w.Txt_Display->Text()).size(), 254 * 32);
    w.HScrl_Radius->setValue(1);
    QCOMPARE(w.Vek1->Widget()->pos(), QPoint(-(711 - 229), -(711 - 229)));
    w.HScrl_Lines->setValue(16);
    w.HScrl_Rows->setValue(16);
    QCOMPARE(w.Vek1->Widget()->pos(), QPoint(0, 0));
    QVERIFY(!w.HScrl_VekPos->isEnabled());
}

void TestDisplaySettings::colourPairsLightTheGlyphAgain_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("unlit");
    QTest::addColumn<int>("litColour");
    QTest::newRow("red") << 0 << 0x50 << 0xFF;
    QTest::newRow("green") << 1 << 0x8000 << 0xFF00;
    QTest::newRow("blue") << 2 << 0x800000 << 0xFF0000;
    QTest::newRow("yellow") << 3 << 0x8080 << 0xFFFF;
    QTest::newRow("pink") << 4 << 0x800080 << 0xFF00FF;
}

void TestDisplaySettings::colourPairsLightTheGlyphAgain() {
    QFETCH(int, index);
    QFETCH(int, unlit);
    QFETCH(int, litColour);
    WindowFixture f;
    auto& w = *f.window;
    w.show();
    const QString dots = testing::dotPicture(*w.Vek1);
    QTest::mouseClick(w.Kivaro_Color[index], Qt::LeftButton);
    QCOMPARE(w.Vek1->OnClrColor(), unlit);
    QCOMPARE(w.Vek1->OnSetColor(), litColour);
    QCOMPARE(testing::dotPicture(*w.Vek1), dots);
}

void TestDisplaySettings::handEditFollowsIntoEverySyntaxAndOrder() {
    WindowFixture f;
    auto& w = *f.window;
    w.show();
    QTest::keyClicks(w.Txt_Char, QStringLiteral(" ")); // a blank glyph: every dot unlit
    QCOMPARE(testing::litDots(*w.Vek1), 0);
    QTest::mouseClick(w.Vek1->Widget(), Qt::LeftButton, {}, dotCentre(*w.Vek1, 1, 1));
    QTest::mouseClick(w.Vek1->Widget(), Qt::LeftButton, {}, dotCentre(*w.Vek1, 16, 2));
    QVERIFY(lit(*w.Vek1, 1, 1));
    QVERIFY(lit(*w.Vek1, 16, 2));
    QCOMPARE(testing::codeBytes(w.Txt_Display->Text()).mid(0, 4),
             (QStringList{"80H", "00H", "00H", "01H"}));
    QTest::mouseClick(w.Opt_CodeStyle[2], Qt::LeftButton);
    QCOMPARE(testing::codeBytes(w.Txt_Display->Text()).mid(0, 4),
             (QStringList{"0x80", "0x00", "0x00", "0x01"}));
    QTest::mouseClick(w.Opt_CodeModel[1], Qt::LeftButton);
    const QStringList columns = testing::codeBytes(w.Txt_Display->Text());
    QCOMPARE(columns.first(), QStringLiteral("0x80")); // column 1: line 1 lit
    QCOMPARE(columns[30], QStringLiteral("0x40"));     // column 16: line 2 lit
    QCOMPARE(testing::litDots(*w.Vek1), 2);
}

void TestDisplaySettings::editingOffLeavesPanelAndCodeAlone() {
    WindowFixture f;
    auto& w = *f.window;
    w.show();
    const QString code = w.Txt_Display->Text();
    const QString dots = testing::dotPicture(*w.Vek1);
    QTest::mouseClick(w.Chk_VekEdit, Qt::LeftButton);
    QVERIFY(!w.Vek1->Enable());
    QCOMPARE(w.Txt_Display->Text(), code);
    QTest::mouseClick(w.Vek1->Widget(), Qt::LeftButton, {}, dotCentre(*w.Vek1, 8, 8));
    QCOMPARE(testing::dotPicture(*w.Vek1), dots);
    QCOMPARE(w.Txt_Display->Text(), code);
    QTest::mouseClick(w.Chk_VekEdit, Qt::LeftButton);
    QVERIFY(w.Vek1->Enable());
    QCOMPARE(w.Txt_Display->Text(), code);
}

void TestDisplaySettings::colourChangeReplacesHandEditsOnThePanelOnly() {
    WindowFixture f;
    auto& w = *f.window;
    w.show();
    const QString sampled = testing::dotPicture(*w.Vek1);
    QTest::mouseClick(w.Vek1->Widget(), Qt::LeftButton, {}, dotCentre(*w.Vek1, 1, 1));
    const QString editedCode = w.Txt_Display->Text();
    QVERIFY(testing::dotPicture(*w.Vek1) != sampled);
    QTest::mouseClick(w.Kivaro_Color[3], Qt::LeftButton);
    QCOMPARE(testing::dotPicture(*w.Vek1), sampled);
    QCOMPARE(w.Txt_Display->Text(), editedCode);
}

void TestDisplaySettings::changesDuringAYieldLeaveCodeAndPanelInStep_data() {
    QTest::addColumn<QString>("action");
    QTest::newRow("rows shrink") << "rows";
    QTest::newRow("lines shrink") << "lines";
    QTest::newRow("character typed") << "type";
    QTest::newRow("syntax clicked") << "syntax";
    QTest::newRow("colour clicked") << "colour";
    QTest::newRow("dot clicked") << "dot";
    QTest::newRow("colour and syntax clicked in a colour's paint") << "colours";
}

void TestDisplaySettings::changesDuringAYieldLeaveCodeAndPanelInStep() {
    QFETCH(QString, action);
    WindowFixture f;
    auto& w = *f.window;
    w.show();
    w.HScrl_Radius->setValue(1);
    w.HScrl_Rows->setValue(200);
    const bool colours = action == QLatin1String("colours"); // the outer change leaves the code
    if (colours)
        w.HScrl_Lines->setValue(180);
    bool acted = false;
    w.VekSite().SetYieldHook([&] {
        if (acted)
            return;
        acted = true;
        if (action == QLatin1String("rows"))
            w.HScrl_Rows->setValue(151);
        else if (action == QLatin1String("lines"))
            w.HScrl_Lines->setValue(40);
        else if (action == QLatin1String("type"))
            QTest::keyClicks(w.Txt_Char, QStringLiteral("W"));
        else if (action == QLatin1String("syntax"))
            QTest::mouseClick(w.Opt_CodeStyle[2], Qt::LeftButton);
        else if (action == QLatin1String("colour"))
            QTest::mouseClick(w.Kivaro_Color[0], Qt::LeftButton);
        else if (colours)
            for (QAbstractButton* option : {w.Kivaro_Color[0], w.Opt_CodeStyle[2]})
                QTest::mouseClick(option, Qt::LeftButton);
        else
            QTest::mouseClick(w.Vek1->Widget(), Qt::LeftButton, {}, dotCentre(*w.Vek1, 3, 3));
    });
    if (colours)
        QTest::mouseClick(w.Kivaro_Color[3], Qt::LeftButton);
    else
        w.HScrl_Lines->setValue(180);
    w.VekSite().SetYieldHook({});
    QVERIFY(acted);
    QCOMPARE(w.Txt_Display->Text(), freshCode(w));
    const int groups = (w.Vek1->MaxRows() + 7) / 8;
    QCOMPARE(testing::codeBytes(w.Txt_Display->Text()).size(), w.Vek1->MaxLines() * groups);
    QCOMPARE(w.Lbl_VekSet[1]->text(),
             QStringLiteral("&Lines:") + QString::number(w.HScrl_Lines->value()));
}

void TestDisplaySettings::fittingPanelPutsItsDisabledScrollBarBackAtZero_data() {
    QTest::addColumn<bool>("vertical");
    QTest::newRow("Lines") << true;
    QTest::newRow("Rows") << false;
}
void TestDisplaySettings::fittingPanelPutsItsDisabledScrollBarBackAtZero() {
    QFETCH(bool, vertical);
    WindowFixture f;
    auto& w = *f.window;
    orvane::ScrollBar* setting = vertical ? w.HScrl_Lines : w.HScrl_Rows;
    orvane::ScrollBar* position = vertical ? w.VScrl_VekPos : w.HScrl_VekPos;
    setting->setValue(30);
    position->setValue(50);
    setting->setValue(10);
    // Grown again, thumb and panel agree: both at the top (or left).
    setting->setValue(30);
    QCOMPARE(position->value(), 0);
    QCOMPARE(vertical ? w.Vek1->Widget()->y() : w.Vek1->Widget()->x(), 0);
}

void TestDisplaySettings::inputStormOnTheLargestPanelNestsNoPaintInAnother_data() {
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<int>("atYield");
    QTest::addColumn<int>("runs");
    // The refresh the storm asked for runs when the yield ends, then the key's own.
    QTest::newRow("in a key's paint") << true << 1 << 2;
    // No handler started this paint: the storm's refresh still runs before it returns.
    QTest::newRow("in a paint outside the handlers") << false << 254 << 1;
}

// Keys come faster than a 254 x 254 panel repaints: they wait until its paint yields and are
// handled inside that yield. Their paints do not yield themselves, so no handler runs nested
// deeper than that yield, and their refreshes merge into one.
void TestDisplaySettings::inputStormOnTheLargestPanelNestsNoPaintInAnother() {
    QFETCH(bool, byKey);
    QFETCH(int, atYield);
    QFETCH(int, runs);
    WindowFixture f;
    auto& w = *f.window;
    w.HScrl_Lines->setValue(254);
    w.HScrl_Rows->setValue(254);
    int depth = 0;
    int deepest = 0;
    w.VekSite().ResetCounts();
    w.VekSite().SetYieldHook([&] {
        const QScopedValueRollback<int> nested(depth, depth + 1);
        deepest = std::max(deepest, depth);
        for (int key = 1; key < 40 && w.VekSite().YieldCount() == atYield; ++key)
            QTest::keyClick(w.HScrl_Radius, key % 2 ? Qt::Key_Left : Qt::Key_Right);
    });
    const testing::VekEventCounter sampled(*w.Vek1); // a refresh sets or clears every dot
    byKey ? QTest::keyClick(w.HScrl_Radius, Qt::Key_Right) : w.Vek1->ClrAll();
    w.VekSite().SetYieldHook({});
    QCOMPARE(deepest, 1);
    QCOMPARE(w.VekSite().YieldCount(), 254); // the first paint still yields after every line
    QCOMPARE(sampled.changes / (254 * 254), runs);
    QCOMPARE(int(w.Vek1->LedRadius()), w.HScrl_Radius->value());
    QCOMPARE(w.Lbl_VekSet[3]->text(), "Ra&dius:" + QString::number(w.HScrl_Radius->value()));
    const QString code = w.Txt_Display->Text();
    QCOMPARE(code, freshCode(w));
    w.RefreshPipeline(w.kStandardFx, w.kStandardFy); // the panel is what a lone refresh samples
    QCOMPARE(w.Txt_Display->Text(), code);
}

QTEST_MAIN(TestDisplaySettings)
#include "tst_displaysettings.moc"
