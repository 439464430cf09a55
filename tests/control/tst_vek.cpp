// The control through its own interface: what each setter does to the panel, the panel's size,
// the full-panel paint and its yields, editing with the mouse, and the discs a shown panel
// draws. The bit operations and their corrections go through late binding in tst_vekhost.

#include "HostedVek.h"
#include "common/PaintRecorder.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QTest>

using kivaro::Vek;
using namespace testing;

namespace {

// The left button pressed or released at pixels.
void sendMouse(Vek& vek, QEvent::Type type, QPointF pixels) {
    QMouseEvent event(type, pixels, pixels, Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {});
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

} // namespace

class tst_Vek : public QObject {
    Q_OBJECT

private slots:
    // A setter of the panel's geometry corrects its value and repaints the panel unlit; only the
    // counts raise Changed. Set as the window sets them, by dispatch identifier; the property is
    // named by its key.
    void settersCorrectTheirValueAndPutEveryDotOut_data() {
        QTest::addColumn<int>("dispId");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("put");
        QTest::addColumn<int>("readBack");
        QTest::addColumn<QStringList>("events");
        using namespace kivaro;
        const QStringList changed{"Changed"}, none;
        QTest::newRow("MaxLines 255 is 254")
            << DispId::MaxLines << "MaxLines" << 255 << 254 << changed;
        QTest::newRow("MaxRows 0 is 1") << DispId::MaxRows << "MaxRows" << 0 << 1 << changed;
        QTest::newRow("LedRadius 0 is 1") << DispId::LedRadius << "LedRadius" << 0 << 1 << none;
    }
    void settersCorrectTheirValueAndPutEveryDotOut() {
        QFETCH(int, dispId);
        QFETCH(QString, key);
        QFETCH(int, put);
        QFETCH(int, readBack);
        QFETCH(QStringList, events);
        HostedVek host;
        host.vek->SetAll();
        host.forget();
        QVariantList value{put}, none;
        host.vek->Invoke(dispId, platform::InvokeKind::PropertyPut, value);
        QCOMPARE(host.vek->Invoke(dispId, platform::InvokeKind::PropertyGet, none).toInt(),
                 readBack);
        QCOMPARE(litDots(*host.vek), QStringList());
        QCOMPARE(host.events, events);
        QCOMPARE(host.site.Notifications(), QStringList{key});
    }

    // The panel is 42 * r twips a dot; the widget is that in whole pixels (89.6 is 90, 8.4 is
    // 8), whatever a host asks. Past its last column or line there is nothing to sample.
    void theControlKeepsThePanelSizeWhateverTheHostAsks() {
        HostedVek host; // 8 x 8 at radius 4
        host.vek->resize(133, 33);
        QCOMPARE(host.vek->size(), QSize(90, 90));
        QCOMPARE(QSizeF(host.vek->WidthTwips(), host.vek->HeightTwips()), QSizeF(1344, 1344));
        shape(host, 1, 10, 3);
        host.vek->setGeometry(5, 6, 300, 10);
        QCOMPARE(host.vek->size(), QSize(28, 8));
        QCOMPARE(host.vek->sizeHint(), QSize(28, 8));
        QCOMPARE(QSizeF(host.vek->WidthTwips(), host.vek->HeightTwips()), QSizeF(420, 126));
        QCOMPARE(host.vek->SampleDot(11, 1), Vek::kOutsideColor);
        QCOMPARE(host.vek->SampleDot(1, 4), Vek::kOutsideColor);
        QCOMPARE(host.vek->SampleDot(10, 3), std::uint32_t(host.vek->OnClrColor()));
    }

    // A host that loosens the control's minimum or maximum finds it fixed again at the next
    // geometry setter, even one that keeps the size (8 x 8 at radius 4: 90 x 90 px).
    void aLoosenedSizeIsFixedAgainByTheNextGeometrySetter_data() {
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QSize>("maximum");
        QTest::newRow("a smaller minimum") << QSize(10, 10) << QSize(90, 90);
        QTest::newRow("a larger maximum") << QSize(90, 90) << QSize(500, 500);
    }
    void aLoosenedSizeIsFixedAgainByTheNextGeometrySetter() {
        QFETCH(QSize, minimum);
        QFETCH(QSize, maximum);
        HostedVek host;
        host.vek->setMinimumSize(minimum);
        host.vek->setMaximumSize(maximum);
        host.vek->setLedRadius(4);
        QCOMPARE(host.vek->minimumSize(), QSize(90, 90));
        QCOMPARE(host.vek->maximumSize(), QSize(90, 90));
    }

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
        QCOMPARE(litDots(*host.vek).size(), dots.width() * dots.height());
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

    // Discs of radius 21 (pitch 882, radius 420 twips) painted over dots of radius 1 (pitch 42):
    // the old line 2 lies on the new line 32, the old columns 1 and 2 on the new columns 11 and
    // 32, and every new dot within the old disc, on its rim too, takes its colour.
    void radiusShrunkInAYieldPaintsTheOldDiscsOverTheNewDots() {
        HostedVek host;
        paintWithHandlerAtYield(host, 21, 254, 254, 1, [&] { host.vek->setLedRadius(1); });
        QVERIFY(isLit(*host.vek, 11, 32)); // the centre of old column 1, line 2
        QVERIFY(isLit(*host.vek, 1, 32));  // its rim to the left
        QVERIFY(isLit(*host.vek, 21, 32)); // and to the right
        QVERIFY(!isLit(*host.vek, 1, 22)); // a corner outside the disc
        QVERIFY(!isLit(*host.vek, 2, 1));  // old line 1, painted before the yield
    }

    // Pitch 84 grown to 126: the old line 3 and the old last column, 253, fall on the new line 2
    // and column 169.
    void radiusGrownInAYieldKeepsTheOldDiscOfTheLastColumn() {
        HostedVek host;
        paintWithHandlerAtYield(host, 2, 253, 254, 1, [&] { host.vek->setLedRadius(3); });
        QVERIFY(isLit(*host.vek, 169, 2));
    }

    // A left release over the panel (89.6 px of 90 at radius 4) after a left press clicks the
    // cell of the press: (12, 5) px is (180, 75) twips, in the second cell of 168.
    void aLeftPressAndReleaseOverThePanelClick_data() {
        QTest::addColumn<QPointF>("pressed");
        QTest::addColumn<QPointF>("released");
        QTest::addColumn<QStringList>("lit");
        const QPointF at(12, 5);
        QTest::newRow("released on the first pixel")
            << at << QPointF(0, 0) << QStringList{"(2, 1)"};
        QTest::newRow("released in the panel's last half pixel")
            << QPointF(89.4, 89.4) << QPointF(89.55, 89.55) << QStringList{"(8, 8)"};
        QTest::newRow("released just right of the panel") << at << QPointF(90, 5) << QStringList();
        QTest::newRow("released just below the panel") << at << QPointF(12, 90) << QStringList();
    }
    void aLeftPressAndReleaseOverThePanelClick() {
        QFETCH(QPointF, pressed);
        QFETCH(QPointF, released);
        QFETCH(QStringList, lit);
        HostedVek host;
        sendMouse(*host.vek, QEvent::MouseButtonPress, pressed);
        sendMouse(*host.vek, QEvent::MouseButtonRelease, released);
        // A second release without a press is no click.
        sendMouse(*host.vek, QEvent::MouseButtonRelease, released);
        QCOMPARE(litDots(*host.vek), lit);
    }

    // The host may pass on a press anywhere. One past the last column of a full panel (168
    // twips a dot at radius 4) lights nothing, not the first dot of the next line.
    void aClickPastAFullPanelsLastColumnLightsNothing() {
        HostedVek host;
        shape(host, 4, 254, 254);
        host.vek->MouseDown(1, 0, 255.5f * 168, 0.5f * 168);
        host.vek->ClickNotification();
        QCOMPARE(litDots(*host.vek), QStringList());
    }

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

    // At radius 10 a 2 x 2 panel has a pitch of 28 px and discs 13.3 px in radius; a new radius
    // redraws every disc at its size, and at radius 1 (pitch 2.8 px, radius 1.3) a disc is its
    // centre pixels, without an outline.
    void discsAreDrawnInTheirColoursOnTheBackgroundAtTheirRadius() {
        HostedVek host;
        shape(host, 10, 2, 2);
        setBit(*host.vek, 2, 1);
        QCOMPARE(rendered(*host.vek, {14, 14}), kDarkRed);  // the centre of (1, 1)
        QCOMPARE(rendered(*host.vek, {42, 14}), kRed);      // the centre of (2, 1)
        QCOMPARE(rendered(*host.vek, {42, 31}), kDarkRed);  // inside the rim of (2, 2)
        QCOMPARE(rendered(*host.vek, {0, 0}), kBackground); // the corner, between discs

        host.vek->setLedRadius(5); // pitch 14 px
        setBit(*host.vek, 2, 2);
        QCOMPARE(rendered(*host.vek, {7, 21}), kDarkRed);
        QCOMPARE(rendered(*host.vek, {21, 21}), kRed);
        QCOMPARE(rendered(*host.vek, {14, 14}), kBackground);

        host.vek->setLedRadius(1);
        setBit(*host.vek, 1, 1);
        QCOMPARE(rendered(*host.vek, {1, 1}), kRed);
        QCOMPARE(rendered(*host.vek, {4, 1}), kDarkRed);
    }
};

QTEST_MAIN(tst_Vek)
#include "tst_vek.moc"
