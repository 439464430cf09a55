// The display settings: the scroll bars' keys, the panel's scrolling in its container, the
// LED colours, and input that arrives while a large panel paints.

#include "WindowFixture.h"
#include "platform/Colour.h"

#include <QtTest>
#include <QtWidgets>

class TstWindowSettings : public testing::WindowTest {
    Q_OBJECT

    // A panel of small LEDs, larger than 150 x 150 dots, so that its paint yields.
    void makeALargePanel() {
        w->HScrl_Radius->setValue(1);
        w->HScrl_Rows->setValue(200);
        w->HScrl_Lines->setValue(180);
    }

private slots:
    // Left steps back by one, where Qt would step a horizontal bar on; the page keys step by the
    // large change (5 for the matrix, a tenth of the glyph's 145 for its height).
    void scrollBarKeysStepTheSetting_data() {
        QTest::addColumn<QString>("bar");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("value");
        QTest::newRow("Left takes a line") << "HScrl_Lines" << int(Qt::Key_Left) << 15;
        QTest::newRow("Home goes to one line") << "HScrl_Lines" << int(Qt::Key_Home) << 1;
        QTest::newRow("Page Down adds five lines") << "HScrl_Lines" << int(Qt::Key_PageDown) << 21;
        QTest::newRow("Page Up takes ten from the glyph's height")
            << "VScrl_ChrHgt" << int(Qt::Key_PageUp) << 135;
    }
    void scrollBarKeysStepTheSetting() {
        QFETCH(QString, bar);
        QFETCH(int, key);
        QFETCH(int, value);
        auto* scrollBar = w->findChild<QScrollBar*>(bar);
        QTest::keyClick(scrollBar, Qt::Key(key));
        QCOMPARE(scrollBar->value(), value);
    }

    // Scrolled to the far end first, the panel keeps what scrolling still fits.
    void panelScrollsInItsContainerWhenItOutgrowsIt_data() {
        QTest::addColumn<QSize>("matrix");
        QTest::addColumn<int>("downMaximum"); // 0 when the bar is off
        QTest::addColumn<int>("acrossMaximum");
        QTest::addColumn<QPoint>("panelAt");
        QTest::newRow("as tall and wide as it") << QSize(16, 16) << 0 << 0 << QPoint(0, 0);
        QTest::newRow("17 lines") << QSize(16, 17) << 14 << 0 << QPoint(0, -14);
        QTest::newRow("40 rows") << QSize(40, 16) << 0 << 331 << QPoint(-50, 0);
    }
    void panelScrollsInItsContainerWhenItOutgrowsIt() {
        QFETCH(QSize, matrix);
        QFETCH(int, downMaximum);
        QFETCH(int, acrossMaximum);
        QFETCH(QPoint, panelAt);
        w->Pic_VekContainer->resize(229, 224);
        w->HScrl_Lines->setValue(30);
        w->HScrl_Rows->setValue(30);
        w->VScrl_VekPos->setValue(100);
        w->HScrl_VekPos->setValue(50);
        w->HScrl_Lines->setValue(matrix.height());
        w->HScrl_Rows->setValue(matrix.width());
        QCOMPARE(w->VScrl_VekPos->isEnabled(), downMaximum > 0);
        QCOMPARE(w->HScrl_VekPos->isEnabled(), acrossMaximum > 0);
        if (downMaximum > 0)
            QCOMPARE(w->VScrl_VekPos->maximum(), downMaximum);
        if (acrossMaximum > 0)
            QCOMPARE(w->HScrl_VekPos->maximum(), acrossMaximum);
        QCOMPARE(w->Vek1->Widget()->pos(), panelAt);
        QCOMPARE(QPoint(-w->HScrl_VekPos->value(), -w->VScrl_VekPos->value()), panelAt);
    }

    // A colour option repaints the glyph in its pair; a hand edit is undone on the panel and
    // kept in the code. A number no option has leaves the colours as they are, green after
    // start-up.
    void colourOptionRepaintsTheGlyphInItsPair_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QColor>("lit");
        QTest::addColumn<QColor>("unlit");
        QTest::newRow("red") << 0 << QColor(255, 0, 0) << QColor(0x50, 0, 0);
        QTest::newRow("green") << 1 << QColor(0, 255, 0) << QColor(0, 0x80, 0);
        QTest::newRow("blue") << 2 << QColor(0, 0, 255) << QColor(0, 0, 0x80);
        QTest::newRow("yellow") << 3 << QColor(255, 255, 0) << QColor(0x80, 0x80, 0);
        QTest::newRow("pink") << 4 << QColor(255, 0, 255) << QColor(0x80, 0, 0x80);
        QTest::newRow("one past the last keeps green")
            << 5 << QColor(0, 255, 0) << QColor(0, 0x80, 0);
        QTest::newRow("one before the first keeps green")
            << -1 << QColor(0, 255, 0) << QColor(0, 0x80, 0);
    }
    void colourOptionRepaintsTheGlyphInItsPair() {
        QFETCH(int, option);
        QFETCH(QColor, lit);
        QFETCH(QColor, unlit);
        f->clickDot(1, 1);
        const QString editedCode = f->code();
        if (option >= 0 && option < int(w->Kivaro_Color.size()))
            QTest::mouseClick(w->Kivaro_Color[option], Qt::LeftButton);
        else
            w->Kivaro_Color_Click(option);
        QCOMPARE(platform::ToQColor(w->Vek1->OnSetColor()), lit);
        QCOMPARE(platform::ToQColor(w->Vek1->OnClrColor()), unlit);
        QCOMPARE(f->dots(), f->startDots);
        QCOMPARE(f->code(), editedCode);
    }

    // Colours clicked while a colour's paint yields keep the hand-edited code; a syntax clicked
    // then writes the code anew, from the panel as that paint leaves it.
    void aColoursPaintKeepsTheHandEditedCodeUntilASyntaxIsClicked() {
        makeALargePanel();
        f->clickDot(3, 3);
        const QString editedCode = f->code();
        f->duringPaint([this] {
            w->Kivaro_Color_Click(0);
            w->Kivaro_Color_Click(1);
        });
        w->Kivaro_Color_Click(3);
        QCOMPARE(f->code(), editedCode);
        f->duringPaint([this] {
            QTest::mouseClick(w->Kivaro_Color[0], Qt::LeftButton);
            QTest::mouseClick(w->Opt_CodeStyle[2], Qt::LeftButton);
        });
        QTest::mouseClick(w->Kivaro_Color[3], Qt::LeftButton);
        QVERIFY(f->code().startsWith("//"));
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    // A paint of 254 x 254 dots not started by a handler: forty keys at its last line ask for
    // one refresh, which runs when the paint is over, not at the next paint's yields.
    void keysDuringAPaintMergeIntoOneRefresh() {
        w->HScrl_Lines->setValue(254);
        w->HScrl_Rows->setValue(254);
        f->restartCounts();
        f->duringPaint(
            [this] {
                for (int i = 0; i < 20; ++i) {
                    QTest::keyClick(w->HScrl_Radius, Qt::Key_Left);
                    QTest::keyClick(w->HScrl_Radius, Qt::Key_Right);
                }
            },
            254);
        w->Vek1->ClrAll();
        QCOMPARE(w->VekSite().YieldCount(), 254);
        QCOMPARE(f->panelsPainted(), 1);
        QCOMPARE(f->settingLabels(), (QStringList{"&Lines:254", "Ro&ws:254", "Ra&dius:5"}));
        QCOMPARE(f->code(), f->codeOfPanel());
    }
};

QTEST_MAIN(TstWindowSettings)
#include "tst_window_settings.moc"
