// The Vek control driven directly through its C++ interface: bit operations and their
// corrections, geometry, the full-panel paint and what a handler run inside its yields may do,
// drawing, mouse editing, events and persistence.

#include "kivaro/Vek.h"
#include "platform/ControlSite.h"
#include "platform/PlatformError.h"
#include "platform/PropertyBag.h"

#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using kivaro::Vek;
using Action = std::function<void(Vek&)>;
Q_DECLARE_METATYPE(Action)

namespace {

// A control as a host makes it: given a site, then initialised (8 x 8, radius 4).
struct Fixture {
    platform::ControlSite site;
    std::unique_ptr<Vek> vek = std::make_unique<Vek>();

    explicit Fixture(int lines = 8, int rows = 8, int radius = 4) {
        vek->SetSite(&site);
        vek->InitProperties();
        vek->setMaxLines(std::uint8_t(lines));
        vek->setMaxRows(std::uint8_t(rows));
        vek->setLedRadius(std::uint8_t(radius));
        site.ResetCounts();
    }
};

int bit(Vek& vek, int x, int y) {
    std::uint8_t X = std::uint8_t(x), Y = std::uint8_t(y);
    return vek.Bit(X, Y);
}

void setBit(Vek& vek, int x, int y) {
    std::uint8_t X = std::uint8_t(x), Y = std::uint8_t(y);
    vek.SetBit(X, Y);
}

int litCount(Vek& vek) {
    int lit = 0;
    for (int y = 1; y <= vek.MaxLines(); ++y)
        for (int x = 1; x <= vek.MaxRows(); ++x)
            lit += bit(vek, x, y);
    return lit;
}

struct Recorder : kivaro::IVekEvents {
    QStringList events;
    void Click() override { events << "Click"; }
    void Edited() override { events << "Edited"; }
    void Changed() override { events << "Changed"; }
};

} // namespace

class TstVek : public QObject {
    Q_OBJECT

private slots:
    void coordinatesAreCorrectedToTheBorder_data() {
        QTest::addColumn<QPoint>("asked");
        QTest::addColumn<QPoint>("corrected");
        QTest::newRow("in range") << QPoint(5, 6) << QPoint(5, 6);
        QTest::newRow("zero") << QPoint(0, 0) << QPoint(1, 1);
        QTest::newRow("right of the panel") << QPoint(200, 3) << QPoint(8, 3);
        QTest::newRow("below the panel") << QPoint(3, 255) << QPoint(3, 8);
    }
    void coordinatesAreCorrectedToTheBorder() {
        QFETCH(QPoint, asked);
        QFETCH(QPoint, corrected);
        Fixture f;
        QSignalSpy changed(f.vek.get(), &Vek::Changed);
        std::uint8_t X = std::uint8_t(asked.x()), Y = std::uint8_t(asked.y());
        f.vek->SetBit(X, Y);
        QCOMPARE(QPoint(X, Y), corrected);
        QCOMPARE(bit(*f.vek, corrected.x(), corrected.y()), 1);
        QCOMPARE(litCount(*f.vek), 1);
        X = std::uint8_t(asked.x()), Y = std::uint8_t(asked.y());
        QCOMPARE(int(f.vek->Bit(X, Y)), 1);
        QCOMPARE(QPoint(X, Y), corrected);
        X = std::uint8_t(asked.x()), Y = std::uint8_t(asked.y());
        f.vek->ClrBit(X, Y);
        QCOMPARE(QPoint(X, Y), corrected);
        QCOMPARE(litCount(*f.vek), 0);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(f.vek->SampleDot(corrected.x(), corrected.y()), std::uint32_t(kivaro::BRed));
    }

    // Sampling finds the colour of the last disc painted at a dot, the background after a
    // clear, and nothing (kOutsideColor) off the panel.
    void samplingFindsTheLastDiscPainted_data() {
        QTest::addColumn<Action>("action");
        QTest::addColumn<QPoint>("dot");
        QTest::addColumn<std::uint32_t>("colour");
        const Action none = [](Vek&) {};
        QTest::newRow("unlit") << none << QPoint(8, 8) << std::uint32_t(kivaro::BRed);
        QTest::newRow("left of the panel") << none << QPoint(0, 1) << Vek::kOutsideColor;
        QTest::newRow("above the panel") << none << QPoint(1, 0) << Vek::kOutsideColor;
        QTest::newRow("right of the panel") << none << QPoint(9, 1) << Vek::kOutsideColor;
        QTest::newRow("below the panel") << none << QPoint(1, 9) << Vek::kOutsideColor;
        QTest::newRow("after Clr")
            << Action([](Vek& v) { v.Clr(); }) << QPoint(4, 4) << Vek::kBackgroundColor;
        QTest::newRow("SetBit after Clr")
            << Action([](Vek& v) { v.Clr(), setBit(v, 2, 2); }) << QPoint(2, 2) << 0xFFu;
        QTest::newRow("SetAll") << Action([](Vek& v) { v.SetAll(); }) << QPoint(8, 1) << 0xFFu;
        QTest::newRow("new unlit colour")
            << Action([](Vek& v) { v.setOnClrColor(kivaro::BYellow); }) << QPoint(8, 8) << 0x8080u;
        QTest::newRow("high byte is lost")
            << Action([](Vek& v) { v.setOnSetColor(0x010000FF), setBit(v, 1, 1); }) << QPoint(1, 1)
            << 0xFFu;
    }
    void samplingFindsTheLastDiscPainted() {
        QFETCH(Action, action);
        QFETCH(QPoint, dot);
        QFETCH(std::uint32_t, colour);
        Fixture f;
        action(*f.vek);
        QCOMPARE(f.vek->SampleDot(dot.x(), dot.y()), colour);
        const bool litColour = colour == std::uint32_t(f.vek->OnSetColor());
        if (dot.x() >= 1 && dot.x() <= 8 && dot.y() >= 1 && dot.y() <= 8)
            QCOMPARE(bit(*f.vek, dot.x(), dot.y()), litColour ? 1 : 0);
    }

    // Which members put every dot out, and which raise Changed.
    void membersResetThePatternAndRaiseChanged_data() {
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("lit");
        QTest::addColumn<int>("changed");
        QTest::addColumn<QString>("notified");
        QTest::newRow("MaxLines 0 is 1")
            << Action([](Vek& v) { v.setMaxLines(0); }) << 0 << 1 << "MaxLines";
        QTest::newRow("MaxRows 255 is 254")
            << Action([](Vek& v) { v.setMaxRows(255); }) << 0 << 1 << "MaxRows";
        QTest::newRow("LedRadius")
            << Action([](Vek& v) { v.setLedRadius(3); }) << 0 << 0 << "LedRadius";
        QTest::newRow("OnSetColor")
            << Action([](Vek& v) { v.setOnSetColor(v.OnSetColor()); }) << 0 << 0 << "OnSetColor";
        QTest::newRow("OnClrColor")
            << Action([](Vek& v) { v.setOnClrColor(1); }) << 0 << 0 << "OnClrColor";
        QTest::newRow("equal colours light every dot")
            << Action([](Vek& v) { v.setOnSetColor(kivaro::BRed); }) << 64 << 0 << "OnSetColor";
        QTest::newRow("Enable repaints nothing")
            << Action([](Vek& v) { v.setEnable(false); }) << 64 << 0 << "Enable";
        QTest::newRow("Clr") << Action([](Vek& v) { v.Clr(); }) << 0 << 0 << "";
        QTest::newRow("ClrAll") << Action([](Vek& v) { v.ClrAll(); }) << 0 << 1 << "";
        QTest::newRow("SetAll") << Action([](Vek& v) { v.SetAll(); }) << 64 << 1 << "";
        QTest::newRow("Bit") << Action([](Vek& v) { bit(v, 1, 1); }) << 64 << 0 << "";
        QTest::newRow("InitProperties")
            << Action([](Vek& v) { v.InitProperties(); }) << 0 << 0 << "";
    }
    void membersResetThePatternAndRaiseChanged() {
        QFETCH(Action, action);
        QFETCH(int, lit);
        QFETCH(int, changed);
        QFETCH(QString, notified);
        Fixture f;
        f.vek->SetAll();
        Recorder sink;
        f.vek->Advise(&sink);
        f.vek->Advise(&sink); // once is enough
        action(*f.vek);
        f.vek->Unadvise(&sink);
        setBit(*f.vek, 1, 1);
        QCOMPARE(litCount(*f.vek), std::max(lit, 1));
        QCOMPARE(sink.events.count("Changed"), changed);
        QCOMPARE(f.site.Notifications(),
                 notified.isEmpty() ? QStringList() : QStringList{notified});
        QVERIFY(f.vek->MaxLines() >= 1 && f.vek->MaxRows() <= 254 && f.vek->LedRadius() >= 1);
    }

    // The panel is 42 * r twips a dot, its widget that in whole pixels, whatever a host asks.
    void panelFitsItsMatrix_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("radius");
        QTest::newRow("8 x 8 r4") << 8 << 8 << 4;
        QTest::newRow("3 lines, 10 rows, r1: 8.4 px") << 3 << 10 << 1;
        QTest::newRow("radius 0 is 1") << 16 << 16 << 0;
        QTest::newRow("254 x 254 r255") << 254 << 254 << 255;
    }
    void panelFitsItsMatrix() {
        QFETCH(int, lines);
        QFETCH(int, rows);
        QFETCH(int, radius);
        Fixture f(lines, rows, radius);
        const double pitch = 42.0 * std::max(radius, 1);
        const QSize pixels(int(std::lrint(pitch * rows / 15)), int(std::lrint(pitch * lines / 15)));
        for (bool shown : {false, true}) {
            f.vek->resize(133, 33);
            f.vek->setGeometry(5, 6, 300, 10);
            QCOMPARE(f.vek->size(), pixels);
            QCOMPARE(f.vek->sizeHint(), pixels);
            QCOMPARE(f.vek->WidthTwips(), pitch * rows);
            QCOMPARE(f.vek->HeightTwips(), pitch * lines);
            if (!shown && lines < 100) {
                f.vek->show();
                QVERIFY(QTest::qWaitForWindowExposed(f.vek.get()));
            }
        }
    }

    void fullPanelPaintYieldsAfterEachLineWhenBothCountsExceed150_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("yields");
        QTest::newRow("151 x 151") << 151 << 151 << 151;
        QTest::newRow("150 x 254") << 150 << 254 << 0;
        QTest::newRow("254 x 150") << 254 << 150 << 0;
        QTest::newRow("254 x 254") << 254 << 254 << 254;
    }
    void fullPanelPaintYieldsAfterEachLineWhenBothCountsExceed150() {
        QFETCH(int, lines);
        QFETCH(int, rows);
        QFETCH(int, yields);
        Fixture f(lines, rows, 1);
        f.vek->SetAll();
        QCOMPARE(f.site.YieldCount(), yields);
        QCOMPARE(litCount(*f.vek), lines * rows);
        f.vek->ClrAll();
        QCOMPARE(f.site.YieldCount(), 2 * yields);
        QCOMPARE(litCount(*f.vek), 0);
    }

    // A handler run by a yield of SetAll changes the panel under it. The paint goes on with
    // its own line count and geometry, drops what falls off the surface now, and paints with
    // the surface's fill colour, which the handler's SetBit(1, 1) leaves lit.
    void paintGoesOnWithItsOwnGeometryAfterAChangeInAYield_data() {
        QTest::addColumn<QSize>("start");
        QTest::addColumn<int>("radius");
        QTest::addColumn<int>("atYield");
        QTest::addColumn<Action>("handler");
        QTest::addColumn<QSize>("matrix");
        QTest::addColumn<QList<QPoint>>("lit");
        QTest::addColumn<QList<QPoint>>("unlit");
        const QSize full(254, 254);
        QTest::newRow("rows shrink")
            << full << 1 << 10 << Action([](Vek& v) { v.setMaxRows(3); }) << QSize(3, 254)
            << QList<QPoint>{{1, 1}, {3, 11}, {3, 254}} << QList<QPoint>{{2, 10}};
        QTest::newRow("lines shrink")
            << full << 1 << 10 << Action([](Vek& v) { v.setMaxLines(2); }) << QSize(254, 2)
            << QList<QPoint>{{1, 1}} << QList<QPoint>{{254, 2}};
        QTest::newRow("rows grow")
            << QSize(160, 254) << 1 << 1 << Action([](Vek& v) { v.setMaxRows(254); }) << full
            << QList<QPoint>{{254, 2}} << QList<QPoint>{{2, 1}};
        // Old discs (pitch 882, radius 420 twips) over new dots (pitch 42): old line 2 is
        // centred on new line 32 and old column 1 on new column 11; a dot on the rim counts.
        QTest::newRow("radius shrinks")
            << full << 21 << 1 << Action([](Vek& v) { v.setLedRadius(1); }) << full
            << QList<QPoint>{{1, 32}, {21, 32}, {11, 22}, {11, 42}}
            << QList<QPoint>{{1, 22}, {2, 1}, {1, 2}, {11, 21}};
    }
    void paintGoesOnWithItsOwnGeometryAfterAChangeInAYield() {
        QFETCH(QSize, start);
        QFETCH(int, radius);
        QFETCH(int, atYield);
        QFETCH(Action, handler);
        QFETCH(QSize, matrix);
        QFETCH(QList<QPoint>, lit);
        QFETCH(QList<QPoint>, unlit);
        Fixture f(start.height(), start.width(), radius);
        int calls = 0;
        f.site.SetYieldHook([&] {
            if (++calls == atYield) {
                handler(*f.vek);
                setBit(*f.vek, 1, 1);
            }
        });
        f.vek->SetAll();
        f.site.SetYieldHook({});
        QCOMPARE(QSize(f.vek->MaxRows(), f.vek->MaxLines()), matrix);
        const auto name = [](QPoint p) {
            return QByteArray::number(p.x()) + "," + QByteArray::number(p.y());
        };
        for (const QPoint& p : lit)
            QVERIFY2(bit(*f.vek, p.x(), p.y()) == 1, name(p).constData());
        for (const QPoint& p : unlit)
            QVERIFY2(bit(*f.vek, p.x(), p.y()) == 0, name(p).constData());
    }

    // Discs of the stored colours on the background, redrawn at a new radius.
    void paintDrawsTheStoredDiscs() {
        Fixture f(2, 2, 10); // pitch 28 px, disc radius 13.3 px
        setBit(*f.vek, 2, 1);
        QImage image(f.vek->size(), QImage::Format_RGB32);
        f.vek->render(&image);
        QCOMPARE(image.pixel(14, 14), qRgb(0x50, 0, 0));
        QCOMPARE(image.pixel(42, 14), qRgb(0xFF, 0, 0));
        QCOMPARE(image.pixel(42, 42), qRgb(0x50, 0, 0));
        QCOMPARE(image.pixel(0, 0), qRgb(0x20, 0x20, 0x20));
        QCOMPARE(image.pixel(42, 31), qRgb(0x50, 0, 0)); // 3 px into the disc below
        f.vek->setLedRadius(5);                          // pitch 14 px, radius 6.7 px
        setBit(*f.vek, 2, 2);
        image = QImage(f.vek->size(), QImage::Format_RGB32);
        f.vek->render(&image);
        QCOMPARE(image.pixel(7, 7), qRgb(0x50, 0, 0));
        QCOMPARE(image.pixel(21, 21), qRgb(0xFF, 0, 0));
        QCOMPARE(image.pixel(14, 14), qRgb(0x20, 0x20, 0x20)); // between four discs
        f.vek->Clr();
        f.vek->render(&image);
        QCOMPARE(image.pixel(21, 21), qRgb(0x20, 0x20, 0x20));
    }

    // A shown panel asks for a repaint of at least the disc that changed.
    void shownPanelRepaintsTheChangedDisc() {
        // Pitch 14 px, radius 6.67 px: a disc is drawn around the middle of the pixel its
        // centre falls in, and reaches into a row and column beyond its true extent.
        Fixture f(8, 8, 5);
        f.vek->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.vek.get()));
        struct PaintRecorder : QObject {
            QRegion painted;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint)
                    painted |= static_cast<QPaintEvent*>(e)->region();
                return false;
            }
        } recorder;
        f.vek->installEventFilter(&recorder);
        for (QPoint dot : {QPoint(2, 2), QPoint(5, 3)}) {
            recorder.painted = QRegion();
            setBit(*f.vek, dot.x(), dot.y());
            const QPointF centre(std::floor((dot.x() - 0.5) * 14) + 0.5,
                                 std::floor((dot.y() - 0.5) * 14) + 0.5);
            const double r = 20.0 * 5 / 15;
            const QRect disc = QRectF(centre - QPointF(r, r), QSizeF(2 * r, 2 * r)).toAlignedRect();
            QTRY_VERIFY(!recorder.painted.isEmpty());
            QVERIFY((QRegion(disc & f.vek->rect()) - recorder.painted).isEmpty());
        }
    }

    // A click toggles the dot of the cell under the last press (pitch 168 twips at r4), and
    // changes nothing off the panel.
    void clickTogglesTheCellOfTheLastPress_data() {
        QTest::addColumn<QPointF>("press");
        QTest::addColumn<QPoint>("dot"); // 0,0: off the panel
        QTest::newRow("origin") << QPointF(0, 0) << QPoint(1, 1);
        QTest::newRow("last twip of the first cell") << QPointF(167, 167) << QPoint(1, 1);
        QTest::newRow("first twip of the second") << QPointF(168, 0) << QPoint(2, 1);
        QTest::newRow("a half rounds to even") << QPointF(167.5, 167.5) << QPoint(2, 2);
        QTest::newRow("last corner") << QPointF(1343, 1343) << QPoint(8, 8);
        QTest::newRow("right of the panel") << QPointF(5000, 10) << QPoint();
        QTest::newRow("below the panel") << QPointF(10, 5000) << QPoint();
        QTest::newRow("left of the panel") << QPointF(-500, 10) << QPoint();
        QTest::newRow("above the panel") << QPointF(10, -500) << QPoint();
    }
    void clickTogglesTheCellOfTheLastPress() {
        QFETCH(QPointF, press);
        QFETCH(QPoint, dot);
        Fixture f;
        Recorder sink;
        f.vek->Advise(&sink);
        f.vek->MouseDown(1, 0, float(press.x()), float(press.y()));
        f.vek->ClickNotification();
        QCOMPARE(litCount(*f.vek), dot.isNull() ? 0 : 1);
        if (!dot.isNull())
            QCOMPARE(bit(*f.vek, dot.x(), dot.y()), 1);
        f.vek->ClickNotification();
        QCOMPARE(litCount(*f.vek), 0);
        QCOMPARE(sink.events,
                 QStringList({"Click", "Edited", "Changed", "Click", "Edited", "Changed"}));
        QCOMPARE(int(f.vek->LedRadius()), 4);
        QVERIFY(f.vek->Enable());
        f.vek->Unadvise(&sink);
    }

    // Only a left press and release over the panel is a click; the press of any button is
    // stored in twips.
    void mouseClicksOnTheShownPanel_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("release"); // -1,-1: no press before the release
        QTest::addColumn<int>("clicks");
        QTest::newRow("left") << int(Qt::LeftButton) << QPoint(12, 5) << QPoint(12, 5) << 1;
        QTest::newRow("right") << int(Qt::RightButton) << QPoint(30, 40) << QPoint(30, 40) << 0;
        QTest::newRow("released off the panel")
            << int(Qt::LeftButton) << QPoint(12, 5) << QPoint(95, 5) << 0;
        QTest::newRow("release without a press")
            << int(Qt::LeftButton) << QPoint(-1, -1) << QPoint(12, 5) << 0;
    }
    void mouseClicksOnTheShownPanel() {
        QFETCH(int, button);
        QFETCH(QPoint, press);
        QFETCH(QPoint, release);
        QFETCH(int, clicks);
        Fixture f;
        f.vek->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.vek.get()));
        QSignalSpy clicked(f.vek.get(), &Vek::Click);
        if (press.x() >= 0) {
            QTest::mousePress(f.vek.get(), Qt::MouseButton(button), {}, press);
            QCOMPARE(QPoint(f.vek->DownX(), f.vek->DownY()), press * 15);
        }
        QTest::mouseRelease(f.vek.get(), Qt::MouseButton(button), {}, release);
        QCOMPARE(clicked.count(), clicks);
        QCOMPARE(bit(*f.vek, 2, 1), clicks);
    }

    // The saved form holds what differs from the defaults (8 x 8, red on dark red, radius 5,
    // editing on); the pattern is never saved.
    void propertiesRoundTripThroughTheSavedForm_data() {
        QTest::addColumn<Action>("change");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("new control") << Action([](Vek&) {}) << QStringList{"ledradius"};
        QTest::newRow("all changed") << Action([](Vek& v) {
            v.setMaxLines(16), v.setMaxRows(32), v.setLedRadius(5), v.setEnable(false);
            v.setOnSetColor(kivaro::Green), v.setOnClrColor(kivaro::BGreen);
        }) << QStringList{"maxlines", "maxrows", "enable", "onsetcolor", "onclrcolor"};
    }
    void propertiesRoundTripThroughTheSavedForm() {
        QFETCH(Action, change);
        QFETCH(QStringList, keys);
        Fixture f;
        change(*f.vek);
        f.vek->SetAll();
        platform::PropertyBag bag;
        f.vek->WriteProperties(bag);
        QCOMPARE(bag.Keys(), keys);
        Fixture loaded(20, 20, 9);
        loaded.vek->SetAll();
        QSignalSpy changed(loaded.vek.get(), &Vek::Changed);
        loaded.vek->ReadProperties(platform::PropertyBag::FromText(bag.ToText()));
        for (auto [a, b] : {std::pair(loaded.vek.get(), f.vek.get())}) {
            QCOMPARE(QList<int>({a->MaxLines(), a->MaxRows(), a->LedRadius(), a->Enable()}),
                     QList<int>({b->MaxLines(), b->MaxRows(), b->LedRadius(), b->Enable()}));
            QCOMPARE(QList<int>({a->OnSetColor(), a->OnClrColor()}),
                     QList<int>({b->OnSetColor(), b->OnClrColor()}));
            QCOMPARE(a->size(), b->size());
        }
        QCOMPARE(litCount(*loaded.vek), 0);
        QCOMPARE(loaded.vek->SampleDot(loaded.vek->MaxRows(), loaded.vek->MaxLines()),
                 std::uint32_t(loaded.vek->OnClrColor()));
        QCOMPARE(changed.count(), 0);
        QVERIFY(loaded.site.Notifications().isEmpty());
    }

    // A bad stored value ends the load with its error; what was read before it stays.
    void badStoredValueFailsTheLoad_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("error");
        QTest::addColumn<QSize>("matrix");
        QTest::newRow("MaxLines 300") << "MaxLines" << QVariant(300) << 6 << QSize(20, 20);
        QTest::newRow("MaxRows -1") << "maxrows" << QVariant(-1) << 6 << QSize(20, 12);
        QTest::newRow("Enable text") << "ENABLE" << QVariant("yes") << 13 << QSize(8, 12);
    }
    void badStoredValueFailsTheLoad() {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(int, error);
        QFETCH(QSize, matrix);
        Fixture f(20, 20);
        f.vek->SetAll();
        platform::PropertyBag bag;
        bag.WriteProperty("maxlines", 12, 8);
        bag.WriteProperty(key, value, 8);
        try {
            f.vek->ReadProperties(bag);
            QFAIL("a bad value was loaded");
        } catch (const platform::PlatformError& e) {
            QCOMPARE(e.number(), error);
        }
        QCOMPARE(QSize(f.vek->MaxRows(), f.vek->MaxLines()), matrix);
        QCOMPARE(bit(*f.vek, 5, 5), 1);
    }
};

QTEST_MAIN(TstVek)
#include "tst_vek.moc"
