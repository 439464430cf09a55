// The control through its own interface: the bit operations and the corrections of their
// coordinates, what each setter does to the panel, the panel's size, the full-panel paint and
// its yields, editing with the mouse, and the discs a shown panel draws.

#include "HostedVek.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QTest>

using kivaro::Vek;
using namespace testing;

namespace {

// A host's press (in twips) and click, as the platform delivers them.
void click(Vek& vek, QPointF twips) {
    vek.MouseDown(1, 0, float(twips.x()), float(twips.y()));
    vek.ClickNotification();
}

void sendMouse(Vek& vek, QEvent::Type type, Qt::MouseButton button, QPointF pixels) {
    QMouseEvent event(type, pixels, pixels, button,
                      type == QEvent::MouseButtonPress ? button : Qt::NoButton, {});
    QCoreApplication::sendEvent(&vek, &event);
}

// The colour of pixel at of the panel as it paints itself.
QColor rendered(Vek& vek, QPoint at) {
    QImage image(vek.size(), QImage::Format_ARGB32_Premultiplied);
    vek.render(&image);
    return QColor(image.pixel(at));
}

// A panel of rows x lines at radius, with the record of events started afresh.
void shape(HostedVek& host, int radius, int rows, int lines) {
    host.vek->setLedRadius(radius);
    host.vek->setMaxRows(rows);
    host.vek->setMaxLines(lines);
    host.forget();
}

// SetAll over a panel of rows x lines at radius, with handler and then SetBit(1, 1) run in
// its yield number at; the record of events starts just before SetAll.
void paintWithHandlerAtYield(HostedVek& host, int radius, int rows, int lines, int at,
                             const std::function<void()>& handler) {
    shape(host, radius, rows, lines);
    int yields = 0;
    host.site.SetYieldHook([&] {
        if (++yields != at)
            return;
        handler();
        setBit(*host.vek, 1, 1);
    });
    host.vek->SetAll();
    host.site.SetYieldHook({});
}

// Gathers what a shown widget is asked to repaint.
class PaintRecorder : public QObject {
public:
    QRegion painted;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted |= static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

} // namespace

class tst_Vek : public QObject {
    Q_OBJECT

private slots:
    // ---- Bit operations ----

    // SetBit, Bit and ClrBit at the same coordinates, on the new 8 x 8 panel; each hands the
    // corrected coordinates back.
    void bitOperationsOutsideThePanelCorrectToTheBorder_data() {
        QTest::addColumn<QPoint>("asked");
        QTest::addColumn<QPoint>("corrected");
        QTest::newRow("inside the panel") << QPoint(5, 6) << QPoint(5, 6);
        QTest::newRow("past the right, line zero") << QPoint(9, 0) << QPoint(8, 1);
        QTest::newRow("past the bottom, column zero") << QPoint(0, 9) << QPoint(1, 8);
        QTest::newRow("past both edges") << QPoint(200, 255) << QPoint(8, 8);
    }
    void bitOperationsOutsideThePanelCorrectToTheBorder() {
        QFETCH(QPoint, asked);
        QFETCH(QPoint, corrected);
        HostedVek host;
        const QString dot = QStringLiteral("(%1, %2)").arg(corrected.x()).arg(corrected.y());
        std::uint8_t X = std::uint8_t(asked.x()), Y = std::uint8_t(asked.y());
        host.vek->SetBit(X, Y);
        QCOMPARE(QPoint(X, Y), corrected);
        QCOMPARE(litDots(*host.vek), QStringList{dot});
        X = std::uint8_t(asked.x()), Y = std::uint8_t(asked.y());
        QCOMPARE(int(host.vek->Bit(X, Y)), 1);
        QCOMPARE(QPoint(X, Y), corrected);
        X = std::uint8_t(asked.x()), Y = std::uint8_t(asked.y());
        host.vek->ClrBit(X, Y);
        QCOMPARE(QPoint(X, Y), corrected);
        QCOMPARE(litDots(*host.vek), QStringList());
        QCOMPARE(host.events, (QStringList{"Changed", "Changed"}));
    }

    // Clr leaves only the background and raises nothing.
    void setAllLightsEveryDotClrAllPutsThemOutAndClrRemovesThem() {
        HostedVek host;
        QCOMPARE(sampled(*host.vek, 8, 8), kDarkRed);
        host.vek->SetAll();
        QCOMPARE(picture(*host.vek), allDots(*host.vek, true));
        QCOMPARE(sampled(*host.vek, 8, 1), kRed);
        host.vek->ClrAll();
        QCOMPARE(picture(*host.vek), allDots(*host.vek, false));
        host.vek->SetAll();
        host.vek->Clr();
        QCOMPARE(sampled(*host.vek, 4, 4), kBackground);
        QCOMPARE(rendered(*host.vek, {16, 16}), kBackground);
        QCOMPARE(host.events, (QStringList{"Changed", "Changed", "Changed"}));
    }

    // Column zero, line zero, past the right edge and past the bottom edge.
    void samplingOffThePanelFindsNothing() {
        HostedVek host;
        host.vek->SetAll();
        for (const QPoint dot : {QPoint(0, 1), QPoint(1, 0), QPoint(9, 1), QPoint(1, 9)})
            QCOMPARE(host.vek->SampleDot(dot.x(), dot.y()), Vek::kOutsideColor);
    }

    // ---- Setters ----

    // Every setter but Enable's repaints the panel unlit; only the counts raise Changed. Set as
    // the window sets them, by dispatch identifier; the property is named by its key.
    void settersCorrectTheirValueAndPutEveryDotOut_data() {
        QTest::addColumn<int>("dispId");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("put");
        QTest::addColumn<int>("readBack");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<bool>("putsOut");
        using namespace kivaro;
        const QStringList changed{"Changed"}, none;
        QTest::newRow("MaxLines 255 is 254")
            << DispId::MaxLines << "MaxLines" << 255 << 254 << changed << true;
        QTest::newRow("MaxRows 0 is 1")
            << DispId::MaxRows << "MaxRows" << 0 << 1 << changed << true;
        QTest::newRow("LedRadius 0 is 1")
            << DispId::LedRadius << "LedRadius" << 0 << 1 << none << true;
        QTest::newRow("OnSetColor to its own value")
            << DispId::OnSetColor << "OnSetColor" << int(Red) << int(Red) << none << true;
        QTest::newRow("OnClrColor to BYellow")
            << DispId::OnClrColor << "OnClrColor" << int(BYellow) << int(BYellow) << none << true;
        QTest::newRow("Enable off leaves the dots")
            << DispId::Enable << "Enable" << 0 << 0 << none << false;
    }
    void settersCorrectTheirValueAndPutEveryDotOut() {
        QFETCH(int, dispId);
        QFETCH(QString, key);
        QFETCH(int, put);
        QFETCH(int, readBack);
        QFETCH(QStringList, events);
        QFETCH(bool, putsOut);
        HostedVek host;
        host.vek->SetAll();
        host.forget();
        QVariantList value{put}, none;
        host.vek->Invoke(dispId, platform::InvokeKind::PropertyPut, value);
        QCOMPARE(host.vek->Invoke(dispId, platform::InvokeKind::PropertyGet, none).toInt(),
                 readBack);
        // Dispatch lets a call without arguments read a property too.
        QCOMPARE(host.vek->Invoke(dispId, platform::InvokeKind::Method, none).toInt(), readBack);
        QCOMPARE(picture(*host.vek), allDots(*host.vek, !putsOut));
        QCOMPARE(host.events, events);
        QCOMPARE(host.notifications(), QStringList{key});
    }

    // The surface keeps 24 bits a pixel, as a real raster would.
    void aLitColourWithAHighByteNeverReadsLit() {
        HostedVek host;
        host.vek->setOnSetColor(0x010000FF);
        setBit(*host.vek, 1, 1);
        QCOMPARE(sampled(*host.vek, 1, 1), kRed);
        QCOMPARE(litDots(*host.vek), QStringList());
    }

    void anAdvisedSinkHearsEachEventOnceAndAnUnadvisedOneNothing() {
        HostedVek host;
        host.vek->Advise(&host);
        host.vek->SetAll();
        QCOMPARE(host.events, QStringList{"Changed"});
        host.vek->Unadvise(&host);
        host.vek->ClrAll();
        QCOMPARE(host.events, QStringList{"Changed"});
    }

    // ---- Size ----

    // The panel is 42 * r twips a dot; the widget is that in whole pixels, whatever a host asks.
    void theControlKeepsThePanelSizeWhateverTheHostAsks_data() {
        QTest::addColumn<int>("radius");
        QTest::addColumn<QSize>("dots");
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<QSizeF>("twips");
        QTest::newRow("8 x 8 at radius 4")
            << 4 << QSize(8, 8) << QSize(90, 90) << QSizeF(1344, 1344);
        QTest::newRow("10 across, 3 down at radius 1")
            << 1 << QSize(10, 3) << QSize(28, 8) << QSizeF(420, 126);
        QTest::newRow("254 x 254 at radius 255")
            << 255 << QSize(254, 254) << QSize(181356, 181356) << QSizeF(2720340, 2720340);
    }
    void theControlKeepsThePanelSizeWhateverTheHostAsks() {
        QFETCH(int, radius);
        QFETCH(QSize, dots);
        QFETCH(QSize, pixels);
        QFETCH(QSizeF, twips);
        HostedVek host;
        shape(host, radius, dots.width(), dots.height());
        host.vek->resize(133, 33);
        host.vek->setGeometry(5, 6, 300, 10);
        QCOMPARE(host.vek->size(), pixels);
        QCOMPARE(host.vek->sizeHint(), pixels);
        QCOMPARE(QSizeF(host.vek->WidthTwips(), host.vek->HeightTwips()), twips);
    }

    // ---- The full-panel paint ----

    void aFullPanelPaintYieldsAfterEachLineWhenBothCountsExceed150_data() {
        QTest::addColumn<QSize>("dots");
        QTest::addColumn<int>("yields");
        QTest::newRow("151 x 151") << QSize(151, 151) << 151;
        QTest::newRow("254 across, 150 down") << QSize(254, 150) << 0;
        QTest::newRow("150 across, 254 down") << QSize(150, 254) << 0;
    }
    void aFullPanelPaintYieldsAfterEachLineWhenBothCountsExceed150() {
        QFETCH(QSize, dots);
        QFETCH(int, yields);
        HostedVek host;
        shape(host, 1, dots.width(), dots.height());
        host.vek->SetAll();
        QCOMPARE(host.site.YieldCount(), yields);
        QCOMPARE(picture(*host.vek), allDots(*host.vek, true));
    }

    // A handler run by a yield of SetAll changes the panel, then the user lights dot (1, 1),
    // which leaves the fill colour lit. The paint goes on with the geometry it started with,
    // drops what falls off the panel now, and paints in the fill colour.
    void rowsShrunkInAYieldClipTheRestOfThePaint() {
        HostedVek host;
        paintWithHandlerAtYield(host, 1, 254, 254, 10, [&] { host.vek->setMaxRows(3); });
        QVERIFY(!isLit(*host.vek, 2, 10)); // painted before the yield, then cleared
        QVERIFY(isLit(*host.vek, 3, 11));
        QVERIFY(isLit(*host.vek, 3, 254));
        QCOMPARE(host.events, (QStringList{"Changed", "Changed", "Changed"}));
    }

    void rowsGrownInAYieldArePaintedFromTheNextLine() {
        HostedVek host;
        paintWithHandlerAtYield(host, 1, 160, 254, 1, [&] { host.vek->setMaxRows(254); });
        QVERIFY(isLit(*host.vek, 254, 2));
        QVERIFY(!isLit(*host.vek, 2, 1));
    }

    // Discs of radius 21 (pitch 882, radius 420 twips) painted over dots of radius 1 (pitch 42):
    // the old line 2 lies on the new line 32, the old columns 1 and 2 on the new columns 11 and
    // 32, and every new dot within the old disc, on its rim too, takes its colour.
    void radiusShrunkInAYieldPaintsTheOldDiscsOverTheNewDots_data() {
        QTest::addColumn<QPoint>("dot");
        QTest::addColumn<bool>("lit");
        QTest::newRow("old column 1, line 2: its centre") << QPoint(11, 32) << true;
        QTest::newRow("its rim to the left") << QPoint(1, 32) << true;
        QTest::newRow("its rim to the right") << QPoint(21, 32) << true;
        QTest::newRow("a corner outside the disc") << QPoint(1, 22) << false;
        QTest::newRow("old line 1, painted before the yield") << QPoint(2, 1) << false;
    }
    void radiusShrunkInAYieldPaintsTheOldDiscsOverTheNewDots() {
        QFETCH(QPoint, dot);
        QFETCH(bool, lit);
        HostedVek host;
        paintWithHandlerAtYield(host, 21, 254, 254, 1, [&] { host.vek->setLedRadius(1); });
        QCOMPARE(isLit(*host.vek, dot.x(), dot.y()), lit);
    }

    // Pitch 84 grown to 126: the old line 3 and the old last column, 253, fall on the new line 2
    // and column 169.
    void radiusGrownInAYieldKeepsTheOldDiscOfTheLastColumn() {
        HostedVek host;
        paintWithHandlerAtYield(host, 2, 253, 254, 1, [&] { host.vek->setLedRadius(3); });
        QVERIFY(isLit(*host.vek, 169, 2));
    }

    // ---- Mouse editing ----

    // With radius 4 a cell is 168 twips square; a click anywhere in it toggles its dot. A click
    // off the panel raises the same events and changes nothing.
    void aClickTogglesTheDotOfTheCellPressed_data() {
        QTest::addColumn<QPointF>("pressed");
        QTest::addColumn<QStringList>("lit");
        QTest::newRow("last twip of the first cell") << QPointF(167, 167) << QStringList{"(1, 1)"};
        QTest::newRow("first twip of the second column")
            << QPointF(168, 0) << QStringList{"(2, 1)"};
        QTest::newRow("a half twip rounds to even")
            << QPointF(167.5, 167.5) << QStringList{"(2, 2)"};
        QTest::newRow("right of the panel") << QPointF(5000, 10) << QStringList();
        QTest::newRow("below it") << QPointF(10, 5000) << QStringList();
        QTest::newRow("left of it") << QPointF(-500, 10) << QStringList();
        QTest::newRow("above it") << QPointF(10, -500) << QStringList();
    }
    void aClickTogglesTheDotOfTheCellPressed() {
        QFETCH(QPointF, pressed);
        QFETCH(QStringList, lit);
        HostedVek host;
        click(*host.vek, pressed);
        QCOMPARE(litDots(*host.vek), lit);
        QCOMPARE(host.events, (QStringList{"Click", "Edited", "Changed"}));
        click(*host.vek, pressed);
        QCOMPARE(litDots(*host.vek), QStringList());
    }

    void aClickWithEditingOffOnlyRaisesClick() {
        HostedVek host;
        host.vek->setEnable(false);
        click(*host.vek, {10, 10});
        QCOMPARE(litDots(*host.vek), QStringList());
        QCOMPARE(host.events, QStringList{"Click"});
    }

    // A press over the panel (89.6 px of 90 at radius 4) records where it was, in twips; a left
    // release over the panel after a left press clicks the cell of the press.
    void aLeftPressAndReleaseOverThePanelClick_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPointF>("pressed");
        QTest::addColumn<QPointF>("released");
        QTest::addColumn<QPoint>("downTwips");
        QTest::addColumn<QStringList>("lit");
        const QPointF at(12, 5);
        const QPoint twips(180, 75);
        QTest::newRow("released on the first pixel")
            << Qt::LeftButton << at << QPointF(0, 0) << twips << QStringList{"(2, 1)"};
        QTest::newRow("released in the panel's last half pixel")
            << Qt::LeftButton << QPointF(89.4, 89.4) << QPointF(89.55, 89.55) << QPoint(1341, 1341)
            << QStringList{"(8, 8)"};
        QTest::newRow("released just right of the panel")
            << Qt::LeftButton << at << QPointF(90, 5) << twips << QStringList();
        QTest::newRow("released just below the panel")
            << Qt::LeftButton << at << QPointF(12, 90) << twips << QStringList();
        QTest::newRow("the right button") << Qt::RightButton << at << at << twips << QStringList();
    }
    void aLeftPressAndReleaseOverThePanelClick() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPointF, pressed);
        QFETCH(QPointF, released);
        QFETCH(QPoint, downTwips);
        QFETCH(QStringList, lit);
        HostedVek host;
        sendMouse(*host.vek, QEvent::MouseButtonPress, button, pressed);
        QCOMPARE(QPoint(host.vek->DownX(), host.vek->DownY()), downTwips);
        sendMouse(*host.vek, QEvent::MouseButtonRelease, button, released);
        // A second release without a press is no click.
        sendMouse(*host.vek, QEvent::MouseButtonRelease, Qt::LeftButton, released);
        QCOMPARE(litDots(*host.vek), lit);
        const QStringList clickEvents{"Click", "Edited", "Changed"};
        QCOMPARE(host.events, lit.isEmpty() ? QStringList() : clickEvents);
    }

    // ---- Drawing ----

    // At radius 5 the pitch is 14 px and a disc 6.67 px in radius, drawn around the middle of
    // the pixel its centre falls in.
    void aShownPanelRepaintsTheChangedDisc() {
        HostedVek host;
        host.vek->setLedRadius(5);
        host.container.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host.container));
        PaintRecorder recorder;
        host.vek->installEventFilter(&recorder);
        setBit(*host.vek, 5, 3);
        QVERIFY(QTest::qWaitFor([&] { return !recorder.painted.isEmpty(); }, 1000));
        QCOMPARE(QRegion(56, 28, 15, 15) - recorder.painted, QRegion());
    }

    // At radius 10 a 2 x 2 panel has a pitch of 28 px and discs 13.3 px in radius.
    void discsAreDrawnInTheirColoursOnTheBackground() {
        HostedVek host;
        shape(host, 10, 2, 2);
        setBit(*host.vek, 2, 1);
        QCOMPARE(rendered(*host.vek, {14, 14}), kDarkRed); // the centre of (1, 1)
        QCOMPARE(rendered(*host.vek, {42, 14}), kRed);     // the centre of (2, 1)
        QCOMPARE(rendered(*host.vek, {42, 31}), kDarkRed); // inside the rim of (2, 2)
        QCOMPARE(rendered(*host.vek, {0, 0}), kBackground); // the corner, between discs
    }

    void aNewRadiusRedrawsEveryDiscAtItsSize() {
        HostedVek host;
        shape(host, 10, 2, 2);
        setBit(*host.vek, 1, 2);
        host.vek->setLedRadius(5); // pitch 14 px
        setBit(*host.vek, 2, 2);
        QCOMPARE(rendered(*host.vek, {7, 21}), kDarkRed);
        QCOMPARE(rendered(*host.vek, {21, 21}), kRed);
        QCOMPARE(rendered(*host.vek, {14, 14}), kBackground);
    }

    // At radius 1 (pitch 2.8 px, radius 1.3) a disc is its centre pixels, without an outline.
    void smallDiscsAreTheirColourAtTheCentre() {
        HostedVek host;
        shape(host, 1, 2, 1);
        setBit(*host.vek, 1, 1);
        QCOMPARE(rendered(*host.vek, {1, 1}), kRed);
        QCOMPARE(rendered(*host.vek, {4, 1}), kDarkRed);
    }
};

QTEST_MAIN(tst_Vek)
#include "tst_vek.moc"
