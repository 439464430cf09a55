// The Vek control driven directly through its C++ interface: bit operations and their
// corrections, geometry, the full-panel paint and what a handler run inside its yields may do,
// drawing, mouse editing, events and persistence.

#include "kivaro/Vek.h"
#include "platform/ControlSite.h"
#include "platform/PlatformError.h"
#include "platform/PropertyBag.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using kivaro::Vek;
using Action = std::function<void(Vek&)>;
using Pixels = QList<std::pair<QPoint, QRgb>>;
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
        std::uint8_t X, Y;
        const auto ask = [&] { X = std::uint8_t(asked.x()), Y = std::uint8_t(asked.y()); };
        ask(), f.vek->SetBit(X, Y);
        QCOMPARE(QPoint(X, Y), corrected);
        QCOMPARE(litCount(*f.vek), 1);
        ask();
        QCOMPARE(int(f.vek->Bit(X, Y)), 1);
        QCOMPARE(QPoint(X, Y), corrected);
        ask(), f.vek->ClrBit(X, Y);
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
        for (QPoint off : {QPoint(0, 1), QPoint(1, 0), QPoint(9, 1), QPoint(1, 9)})
            QTest::addRow("off the panel at %d,%d", off.x(), off.y())
                << none << off << Vek::kOutsideColor;
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
        if (colour != Vek::kOutsideColor)
            QCOMPARE(bit(*f.vek, dot.x(), dot.y()),
                     int(colour == std::uint32_t(f.vek->OnSetColor())));
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
        QTest::addColumn<QSize>("matrix"); // rows x lines
        QTest::addColumn<int>("radius");
        QTest::newRow("8 x 8 r4") << QSize(8, 8) << 4;
        QTest::newRow("3 lines, 10 rows, r1: 8.4 px") << QSize(10, 3) << 1;
        QTest::newRow("radius 0 is 1") << QSize(16, 16) << 0;
        QTest::newRow("254 x 254 r255") << QSize(254, 254) << 255;
    }
    void panelFitsItsMatrix() {
        QFETCH(QSize, matrix);
        QFETCH(int, radius);
        Fixture f(matrix.height(), matrix.width(), radius);
        const QSizeF twips = QSizeF(matrix) * 42.0 * std::max(radius, 1);
        for (bool shown : {false, true}) {
            f.vek->resize(133, 33);
            f.vek->setGeometry(5, 6, 300, 10);
            QCOMPARE(f.vek->size(), (twips / 15).toSize());
            QCOMPARE(f.vek->sizeHint(), f.vek->size());
            QCOMPARE(QSizeF(f.vek->WidthTwips(), f.vek->HeightTwips()), twips);
            if (!shown && matrix.height() < 100) {
                f.vek->show();
                QVERIFY(QTest::qWaitForWindowExposed(f.vek.get()));
            }
        }
    }

    void fullPanelPaintYieldsAfterEachLineWhenBothCountsExceed150_data() {
        QTest::addColumn<QSize>("matrix"); // rows x lines
        QTest::addColumn<int>("yields");
        QTest::newRow("151 x 151") << QSize(151, 151) << 151;
        QTest::newRow("150 x 254") << QSize(254, 150) << 0;
        QTest::newRow("254 x 150") << QSize(150, 254) << 0;
        QTest::newRow("254 x 254") << QSize(254, 254) << 254;
    }
    void fullPanelPaintYieldsAfterEachLineWhenBothCountsExceed150() {
        QFETCH(QSize, matrix);
        QFETCH(int, yields);
        Fixture f(matrix.height(), matrix.width(), 1);
        f.vek->SetAll();
        QCOMPARE(f.site.YieldCount(), yields);
        QCOMPARE(litCount(*f.vek), matrix.width() * matrix.height());
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
            if (++calls == atYield)
                handler(*f.vek), setBit(*f.vek, 1, 1);
        });
        f.vek->SetAll();
        f.site.SetYieldHook({});
        QCOMPARE(QSize(f.vek->MaxRows(), f.vek->MaxLines()), matrix);
        for (int want : {0, 1})
            for (const QPoint& p : want ? lit : unlit)
                QVERIFY2(bit(*f.vek, p.x(), p.y()) == want,
                         qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    }

    // Discs of the stored colours on the background; small discs keep their exact colour at
    // the centre rather than a blend with the background.
    void discsAreDrawnInTheirStoredColours_data() {
        QTest::addColumn<QSize>("matrix"); // rows x lines
        QTest::addColumn<int>("radius");
        QTest::addColumn<Action>("action");
        QTest::addColumn<Pixels>("pixels");
        const QRgb lit = qRgb(0xFF, 0, 0), unlit = qRgb(0x50, 0, 0), back = qRgb(0x20, 0x20, 0x20);
        // Pitch 28 px, disc radius 13.3 px.
        QTest::newRow("r10") << QSize(2, 2) << 10 << Action([](Vek& v) { setBit(v, 2, 1); })
                             << Pixels{{{14, 14}, unlit},
                                       {{42, 14}, lit},
                                       {{42, 42}, unlit},
                                       {{0, 0}, back},
                                       {{42, 31}, unlit}}; // 3 px into the disc
        // Pitch 14 px, radius 6.7 px.
        QTest::newRow("redrawn at r5") << QSize(2, 2) << 10 << Action([](Vek& v) {
            setBit(v, 1, 2), v.setLedRadius(5), setBit(v, 2, 2);
        }) << Pixels{{{7, 7}, unlit}, {{7, 21}, unlit}, {{21, 21}, lit}, {{14, 14}, back}};
        QTest::newRow("r5 after Clr")
            << QSize(2, 2) << 5 << Action([](Vek& v) { setBit(v, 2, 2), v.Clr(); })
            << Pixels{{{21, 21}, back}, {{7, 7}, back}};
        // Pitch 2.8 px: centres at 1.4 and 4.2.
        QTest::newRow("r1") << QSize(2, 1) << 1 << Action([](Vek& v) { setBit(v, 1, 1); })
                            << Pixels{{{1, 1}, lit}, {{4, 1}, unlit}};
    }
    void discsAreDrawnInTheirStoredColours() {
        QFETCH(QSize, matrix);
        QFETCH(int, radius);
        QFETCH(Action, action);
        QFETCH(Pixels, pixels);
        Fixture f(matrix.height(), matrix.width(), radius);
        action(*f.vek);
        QImage image(f.vek->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        f.vek->render(&image);
        for (auto [at, colour] : pixels)
            QVERIFY2(image.pixel(at) == colour,
                     qPrintable(QStringLiteral("%1,%2").arg(at.x()).arg(at.y())));
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

    // A click toggles the dot of the cell under the last press: a host's MouseDown in twips (a
    // cell is 168 at r4) and ClickNotification, or a left press and release over the panel
    // (89.6 px in a widget of 90) to its last half pixel. A host's click off the panel changes
    // nothing.
    void clickTogglesTheCellOfTheLastPress_data() {
        QTest::addColumn<int>("button");      // 0: a host's MouseDown and ClickNotification
        QTest::addColumn<QPointF>("press");   // in twips; -1,-1: no press
        QTest::addColumn<QPointF>("release"); // in pixels
        QTest::addColumn<QPoint>("dot");      // 0,0: none
        const auto host = [](const char* name, QPointF press, QPoint dot) {
            QTest::newRow(name) << 0 << press << QPointF() << dot;
        };
        host("origin", {0, 0}, {1, 1});
        host("last twip of the first cell", {167, 167}, {1, 1});
        host("first twip of the second", {168, 0}, {2, 1});
        host("a half rounds to even", {167.5, 167.5}, {2, 2});
        host("last corner", {1343, 1343}, {8, 8});
        host("right of the panel", {5000, 10}, {});
        host("below the panel", {10, 5000}, {});
        host("left of the panel", {-500, 10}, {});
        host("above the panel", {10, -500}, {});
        const int left = Qt::LeftButton;
        const QPointF at(180, 75);
        QTest::newRow("left") << left << at << QPointF(12, 5) << QPoint(2, 1);
        QTest::newRow("last half pixel")
            << left << QPointF(1343, 1343) << QPointF(89.55, 89.55) << QPoint(8, 8);
        QTest::newRow("right") << int(Qt::RightButton) << at << QPointF(12, 5) << QPoint();
        QTest::newRow("released just right of it") << left << at << QPointF(90, 5) << QPoint();
        QTest::newRow("released just below it") << left << at << QPointF(12, 90) << QPoint();
        QTest::newRow("release without a press")
            << left << QPointF(-1, -1) << QPointF(12, 5) << QPoint();
    }
    void clickTogglesTheCellOfTheLastPress() {
        QFETCH(int, button);
        QFETCH(QPointF, press);
        QFETCH(QPointF, release);
        QFETCH(QPoint, dot);
        Fixture f;
        Recorder sink;
        f.vek->Advise(&sink);
        const auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButtons held) {
            QMouseEvent event(type, at, at, Qt::MouseButton(button), held, {});
            QCoreApplication::sendEvent(f.vek.get(), &event);
        };
        for (int lit : {1, 0}) { // the second click puts the dot out again
            if (!button) {
                f.vek->MouseDown(1, 0, float(press.x()), float(press.y()));
                f.vek->ClickNotification();
            } else if (press.x() >= 0) {
                send(QEvent::MouseButtonPress, press / 15, Qt::MouseButton(button));
                QCOMPARE(QPointF(f.vek->DownX(), f.vek->DownY()), press);
            }
            if (button)
                send(QEvent::MouseButtonRelease, release, Qt::NoButton);
            QCOMPARE(litCount(*f.vek), dot.isNull() ? 0 : lit);
            QCOMPARE(dot.isNull() ? lit : bit(*f.vek, dot.x(), dot.y()), lit);
        }
        const QStringList click{"Click", "Edited", "Changed"};
        QCOMPARE(sink.events, button && dot.isNull() ? QStringList() : click + click);
        QCOMPARE(int(f.vek->LedRadius()) * f.vek->Enable(), 4);
        f.vek->Unadvise(&sink);
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
        const auto state = [](Vek* v) {
            return QList<int>({v->MaxLines(), v->MaxRows(), v->LedRadius(), v->Enable(),
                               v->OnSetColor(), v->OnClrColor(), v->width(), v->height()});
        };
        QCOMPARE(state(loaded.vek.get()), state(f.vek.get()));
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
