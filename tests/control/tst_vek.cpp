// The Vek control driven directly through its C++ interface: bit operations, geometry, the
// full-panel paint and its yields, mouse editing, events and property persistence.

#include "kivaro/Vek.h"
#include "platform/ControlSite.h"
#include "platform/PlatformError.h"
#include "platform/PropertyBag.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using kivaro::Vek;

namespace {

struct RecordingSink : kivaro::IVekEvents {
    QStringList events;
    void Click() override { events << QStringLiteral("Click"); }
    void Edited() override { events << QStringLiteral("Edited"); }
    void Changed() override { events << QStringLiteral("Changed"); }
};

// A control as a host makes it: given a site, then initialised (8 x 8, radius 4).
struct Fixture {
    platform::ControlSite site;
    std::unique_ptr<Vek> vek = std::make_unique<Vek>();

    Fixture() {
        vek->SetSite(&site);
        vek->InitProperties();
    }
    Fixture(int lines, int rows, int radius = 4) : Fixture() {
        vek->setMaxLines(std::uint8_t(lines));
        vek->setMaxRows(std::uint8_t(rows));
        vek->setLedRadius(std::uint8_t(radius));
        site.ResetCounts();
    }
};

int bit(Vek& vek, int x, int y) {
    std::uint8_t X = std::uint8_t(x);
    std::uint8_t Y = std::uint8_t(y);
    return vek.Bit(X, Y);
}

void setBit(Vek& vek, int x, int y) {
    std::uint8_t X = std::uint8_t(x);
    std::uint8_t Y = std::uint8_t(y);
    vek.SetBit(X, Y);
}

int litCount(Vek& vek) {
    int lit = 0;
    for (int y = 1; y <= vek.MaxLines(); ++y)
        for (int x = 1; x <= vek.MaxRows(); ++x)
            lit += bit(vek, x, y);
    return lit;
}

using Action = std::function<void(Vek&)>;

} // namespace

Q_DECLARE_METATYPE(Action)

class TstVek : public QObject {
    Q_OBJECT

private slots:
    // ---- Bit operations and coordinate correction ----

    void setBit_correctsOutOfRangeCoordinatesInCallersVariables_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("expectedX");
        QTest::addColumn<int>("expectedY");
        QTest::newRow("0,0 -> 1,1") << 0 << 0 << 1 << 1;
        QTest::newRow("200,3 -> 8,3") << 200 << 3 << 8 << 3;
        QTest::newRow("3,200 -> 3,8") << 3 << 200 << 3 << 8;
        QTest::newRow("255,255 -> 8,8") << 255 << 255 << 8 << 8;
        QTest::newRow("in range unchanged") << 5 << 6 << 5 << 6;
    }
    void setBit_correctsOutOfRangeCoordinatesInCallersVariables() {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, expectedX);
        QFETCH(int, expectedY);
        Fixture f;
        std::uint8_t X = std::uint8_t(x);
        std::uint8_t Y = std::uint8_t(y);
        f.vek->SetBit(X, Y);
        QCOMPARE(int(X), expectedX);
        QCOMPARE(int(Y), expectedY);
        QCOMPARE(bit(*f.vek, expectedX, expectedY), 1);
        QCOMPARE(litCount(*f.vek), 1);
    }

    void clrBitAndBit_correctCoordinatesToo() {
        Fixture f;
        f.vek->SetAll();
        std::uint8_t X = 0, Y = 99;
        f.vek->ClrBit(X, Y);
        QCOMPARE(int(X), 1);
        QCOMPARE(int(Y), 8);
        X = 250;
        Y = 0;
        QCOMPARE(int(f.vek->Bit(X, Y)), 1);
        QCOMPARE(int(X), 8);
        QCOMPARE(int(Y), 1);
        QCOMPARE(bit(*f.vek, 1, 8), 0);
    }

    void bit_returnsTheNumberOneForALitDot() {
        Fixture f;
        setBit(*f.vek, 3, 4);
        QCOMPARE(bit(*f.vek, 3, 4), 1);
        QCOMPARE(bit(*f.vek, 4, 3), 0);
        std::uint8_t X = 1, Y = 1;
        f.vek->ClrBit((X = 3), (Y = 4));
        QCOMPARE(bit(*f.vek, 3, 4), 0);
    }

    void setAllAndClrAll_lightAndPutOutEveryDot() {
        Fixture f(5, 7);
        f.vek->SetAll();
        QCOMPARE(litCount(*f.vek), 35);
        f.vek->ClrAll();
        QCOMPARE(litCount(*f.vek), 0);
        QCOMPARE(f.vek->SampleDot(1, 1), std::uint32_t(kivaro::BRed));
    }

    void clr_removesEveryDiscIncludingTheUnlitOnes() {
        Fixture f;
        f.vek->SetAll();
        f.vek->Clr();
        QCOMPARE(litCount(*f.vek), 0);
        QCOMPARE(f.vek->SampleDot(4, 4), Vek::kBackgroundColor);
        // The next operation paints discs again.
        setBit(*f.vek, 2, 2);
        QCOMPARE(f.vek->SampleDot(2, 2), std::uint32_t(kivaro::Red));
        QCOMPARE(f.vek->SampleDot(3, 2), Vek::kBackgroundColor);
    }

    void resetsThePattern_data() {
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("changedEvents");
        QTest::newRow("MaxLines") << Action([](Vek& v) { v.setMaxLines(8); }) << 1;
        QTest::newRow("MaxRows") << Action([](Vek& v) { v.setMaxRows(8); }) << 1;
        QTest::newRow("LedRadius") << Action([](Vek& v) { v.setLedRadius(4); }) << 0;
        QTest::newRow("OnSetColor same value")
            << Action([](Vek& v) { v.setOnSetColor(v.OnSetColor()); }) << 0;
        QTest::newRow("OnClrColor") << Action([](Vek& v) { v.setOnClrColor(kivaro::BBlue); }) << 0;
        QTest::newRow("Clr") << Action([](Vek& v) { v.Clr(); }) << 0;
        QTest::newRow("ClrAll") << Action([](Vek& v) { v.ClrAll(); }) << 1;
    }
    void resetsThePattern() {
        QFETCH(Action, action);
        QFETCH(int, changedEvents);
        Fixture f;
        f.vek->SetAll();
        QCOMPARE(litCount(*f.vek), 64);
        QSignalSpy changed(f.vek.get(), &Vek::Changed);
        action(*f.vek);
        QCOMPARE(litCount(*f.vek), 0);
        QCOMPARE(changed.count(), changedEvents);
    }

    void raisesChangedExactlyWhenThePatternOrDimensionsChange_data() {
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("changedEvents");
        QTest::newRow("SetBit") << Action([](Vek& v) { setBit(v, 1, 1); }) << 1;
        QTest::newRow("ClrBit on an unlit dot") << Action([](Vek& v) {
            std::uint8_t X = 2, Y = 2;
            v.ClrBit(X, Y);
        }) << 1;
        QTest::newRow("SetAll") << Action([](Vek& v) { v.SetAll(); }) << 1;
        QTest::newRow("ClrAll") << Action([](Vek& v) { v.ClrAll(); }) << 1;
        QTest::newRow("Bit") << Action([](Vek& v) { bit(v, 1, 1); }) << 0;
        QTest::newRow("Clr") << Action([](Vek& v) { v.Clr(); }) << 0;
        QTest::newRow("Enable") << Action([](Vek& v) { v.setEnable(false); }) << 0;
        QTest::newRow("LedRadius") << Action([](Vek& v) { v.setLedRadius(3); }) << 0;
        QTest::newRow("OnSetColor") << Action([](Vek& v) { v.setOnSetColor(1); }) << 0;
        QTest::newRow("OnClrColor") << Action([](Vek& v) { v.setOnClrColor(1); }) << 0;
        QTest::newRow("InitProperties") << Action([](Vek& v) { v.InitProperties(); }) << 0;
        QTest::newRow("ReadProperties")
            << Action([](Vek& v) { v.ReadProperties(platform::PropertyBag()); }) << 0;
    }
    void raisesChangedExactlyWhenThePatternOrDimensionsChange() {
        QFETCH(Action, action);
        QFETCH(int, changedEvents);
        Fixture f;
        RecordingSink sink;
        f.vek->Advise(&sink);
        QSignalSpy changed(f.vek.get(), &Vek::Changed);
        action(*f.vek);
        QCOMPARE(changed.count(), changedEvents);
        QCOMPARE(sink.events.count(QStringLiteral("Changed")), changedEvents);
        f.vek->Unadvise(&sink);
    }

    void countSetters_correctZeroAnd255_data() {
        QTest::addColumn<bool>("lines");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("stored");
        for (bool lines : {true, false}) {
            const char* name = lines ? "MaxLines" : "MaxRows";
            QTest::addRow("%s 0", name) << lines << 0 << 1;
            QTest::addRow("%s 255", name) << lines << 255 << 254;
            QTest::addRow("%s 254", name) << lines << 254 << 254;
            QTest::addRow("%s 1", name) << lines << 1 << 1;
        }
    }
    void countSetters_correctZeroAnd255() {
        QFETCH(bool, lines);
        QFETCH(int, value);
        QFETCH(int, stored);
        Fixture f;
        QSignalSpy changed(f.vek.get(), &Vek::Changed);
        if (lines)
            f.vek->setMaxLines(std::uint8_t(value));
        else
            f.vek->setMaxRows(std::uint8_t(value));
        QCOMPARE(int(lines ? f.vek->MaxLines() : f.vek->MaxRows()), stored);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(f.site.Notifications(),
                 QStringList{lines ? QStringLiteral("MaxLines") : QStringLiteral("MaxRows")});
    }

    void ledRadius_zeroReadsBackAsOneAnd255IsAccepted() {
        Fixture f;
        f.vek->setLedRadius(0);
        QCOMPARE(int(f.vek->LedRadius()), 1);
        f.vek->setLedRadius(255);
        QCOMPARE(int(f.vek->LedRadius()), 255);
        QCOMPARE(f.vek->WidthTwips(), 255.0 * 42 * 8);
    }

    void setters_notifyTheHostWithThePersistenceKey_data() {
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("key");
        QTest::newRow("Enable") << Action([](Vek& v) { v.setEnable(false); }) << "Enable";
        QTest::newRow("LedRadius") << Action([](Vek& v) { v.setLedRadius(2); }) << "LedRadius";
        QTest::newRow("OnSetColor")
            << Action([](Vek& v) { v.setOnSetColor(kivaro::Green); }) << "OnSetColor";
        QTest::newRow("OnClrColor")
            << Action([](Vek& v) { v.setOnClrColor(kivaro::BGreen); }) << "OnClrColor";
        QTest::newRow("Clr notifies nothing") << Action([](Vek& v) { v.Clr(); }) << QString();
        QTest::newRow("SetAll notifies nothing") << Action([](Vek& v) { v.SetAll(); }) << QString();
    }
    void setters_notifyTheHostWithThePersistenceKey() {
        QFETCH(Action, action);
        QFETCH(QString, key);
        Fixture f(8, 8);
        action(*f.vek);
        QCOMPARE(f.site.Notifications(), key.isEmpty() ? QStringList() : QStringList{key});
    }

    void enable_repaintsNothing() {
        Fixture f;
        setBit(*f.vek, 2, 3);
        f.vek->setEnable(false);
        QCOMPARE(litCount(*f.vek), 1);
        QCOMPARE(f.vek->Enable(), false);
    }

    void equalColours_makeEveryPaintedDotReadLit() {
        Fixture f;
        f.vek->setOnSetColor(kivaro::BRed);
        QCOMPARE(litCount(*f.vek), 64);
        f.vek->Clr();
        QCOMPARE(litCount(*f.vek), 0);
    }

    void onClrColor_repaintsEveryDotInTheNewUnlitColour() {
        Fixture f;
        f.vek->setOnClrColor(kivaro::BYellow);
        QCOMPARE(f.vek->SampleDot(1, 1), std::uint32_t(kivaro::BYellow));
        QCOMPARE(f.vek->SampleDot(8, 8), std::uint32_t(kivaro::BYellow));
    }

    // The surface keeps 24 bits of colour, as a screen surface does (high byte 0): a colour
    // with a high byte is painted but never compares equal to what is sampled.
    void colourWithAHighByte_neverReadsLit() {
        Fixture f;
        f.vek->setOnSetColor(0x010000FF);
        setBit(*f.vek, 1, 1);
        QCOMPARE(bit(*f.vek, 1, 1), 0);
        QCOMPARE(f.vek->SampleDot(1, 1), 0xFFu);
    }

    // ---- Geometry, fit size and the full-panel paint ----

    void geometry_fitsThePanel_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("radius");
        QTest::addColumn<double>("widthTwips");
        QTest::addColumn<double>("heightTwips");
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("8x8 r4") << 8 << 8 << 4 << 1344.0 << 1344.0 << QSize(90, 90);
        QTest::newRow("16x16 r5") << 16 << 16 << 5 << 3360.0 << 3360.0 << QSize(224, 224);
        QTest::newRow("3 lines x 10 rows r1")
            << 3 << 10 << 1 << 420.0 << 126.0 << QSize(28, 8); // 8.4 px
        QTest::newRow("254x254 r1") << 254 << 254 << 1 << 10668.0 << 10668.0 << QSize(711, 711);
        QTest::newRow("254x254 r40")
            << 254 << 254 << 40 << 426720.0 << 426720.0 << QSize(28448, 28448);
    }
    void geometry_fitsThePanel() {
        QFETCH(int, lines);
        QFETCH(int, rows);
        QFETCH(int, radius);
        QFETCH(double, widthTwips);
        QFETCH(double, heightTwips);
        QFETCH(QSize, pixels);
        Fixture f(lines, rows, radius);
        QCOMPARE(f.vek->WidthTwips(), widthTwips);
        QCOMPARE(f.vek->HeightTwips(), heightTwips);
        QCOMPARE(f.vek->size(), pixels);
        QCOMPARE(f.vek->sizeHint(), pixels);
    }

    void newControl_is1344TwipsSquare() {
        Vek vek;
        vek.InitProperties();
        QCOMPARE(vek.WidthTwips(), 1344.0);
        QCOMPARE(vek.HeightTwips(), 1344.0);
    }

    void hostResize_isUndone_whileShown() {
        QWidget container;
        container.resize(400, 400);
        auto* vek = new Vek(&container);
        vek->InitProperties();
        container.show();
        QVERIFY(QTest::qWaitForWindowExposed(&container));
        vek->resize(2000 / 15, 500 / 15);
        QCOMPARE(vek->size(), QSize(90, 90));
        QCOMPARE(vek->WidthTwips(), 1344.0);
        vek->setGeometry(5, 6, 300, 10);
        QCOMPARE(vek->size(), QSize(90, 90));
    }

    void hostResize_isUndone_whileHidden() {
        Vek vek;
        vek.InitProperties();
        vek.resize(133, 33);
        QCOMPARE(vek.size(), QSize(90, 90));
        vek.setMaxRows(16);
        QCOMPARE(vek.size(), QSize(179, 90)); // 2688 twips = 179.2 px
    }

    void fullPanelPaint_yieldsAfterEveryLineOnlyWhenBothCountsExceed150_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("yields");
        QTest::newRow("151 x 151") << 151 << 151 << 151;
        QTest::newRow("150 x 254") << 150 << 254 << 0;
        QTest::newRow("254 x 150") << 254 << 150 << 0;
        QTest::newRow("254 x 254") << 254 << 254 << 254;
        QTest::newRow("8 x 8") << 8 << 8 << 0;
    }
    void fullPanelPaint_yieldsAfterEveryLineOnlyWhenBothCountsExceed150() {
        QFETCH(int, lines);
        QFETCH(int, rows);
        QFETCH(int, yields);
        Fixture f(lines, rows, 1);
        f.vek->SetAll();
        QCOMPARE(f.site.YieldCount(), yields);
        f.site.ResetCounts();
        f.vek->ClrAll();
        QCOMPARE(f.site.YieldCount(), yields);
        QCOMPARE(litCount(*f.vek), 0);
    }

    void withoutSite_nothingYieldsOrNotifies() {
        Vek vek;
        vek.InitProperties();
        vek.setMaxLines(200);
        vek.setMaxRows(200);
        vek.SetAll();
        QCOMPARE(bit(vek, 200, 200), 1);
    }

    // A handler that runs inside a yield shrinks the panel: the paint goes on with its line
    // count, and whatever falls outside the surface now is dropped (ASan checks the writes).
    // The fill colour belongs to the surface and the paint sets it once: the handler's own
    // repaint leaves it at OnClrColor, so the handler lights a dot to make it OnSetColor again
    // and the rest of the outer paint visible.
    void reentrantShrinkDuringYield_neverPaintsOutsideTheSurface_data() {
        QTest::addColumn<Action>("handler");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("lastDot");
        QTest::addColumn<int>("lit");
        // Lines 11 on are painted after the shrink: lit where they are still on the surface.
        QTest::newRow("MaxRows") << Action([](Vek& v) { v.setMaxRows(3); }) << 254 << 3 << 1
                                 << 1 + 244 * 3;
        QTest::newRow("MaxLines") << Action([](Vek& v) { v.setMaxLines(2); }) << 2 << 254 << 0 << 1;
        QTest::newRow("both") << Action([](Vek& v) {
            v.setMaxLines(1);
            v.setMaxRows(1);
        }) << 1 << 1 << 1 << 1;
    }
    void reentrantShrinkDuringYield_neverPaintsOutsideTheSurface() {
        QFETCH(Action, handler);
        QFETCH(int, lines);
        QFETCH(int, rows);
        QFETCH(int, lastDot);
        QFETCH(int, lit);
        Fixture f(254, 254, 1);
        int calls = 0;
        f.site.SetYieldHook([&] {
            if (++calls == 10) {
                handler(*f.vek);
                setBit(*f.vek, 1, 1);
            }
        });
        f.vek->SetAll();
        QCOMPARE(int(f.vek->MaxLines()), lines);
        QCOMPARE(int(f.vek->MaxRows()), rows);
        QCOMPARE(bit(*f.vek, rows, lines), lastDot);
        QCOMPARE(litCount(*f.vek), lit);
        f.site.SetYieldHook({});
    }

    void reentrantGrowDuringYield_keepsPaintingWithTheNewColumnCount() {
        Fixture f(254, 160, 1);
        int calls = 0;
        f.site.SetYieldHook([&] {
            if (++calls == 1) {
                f.vek->setMaxRows(254);
                setBit(*f.vek, 1, 1);
            }
        });
        f.vek->SetAll();
        // The inner repaint put line 1 out; the outer paint went on from line 2 with the new
        // column count.
        QCOMPARE(bit(*f.vek, 2, 1), 0);
        QCOMPARE(bit(*f.vek, 254, 2), 1);
        QCOMPARE(bit(*f.vek, 254, 254), 1);
        f.site.SetYieldHook({});
    }

    // The surface's fill colour is set once per full-panel paint; a SetBit inside a yield sets
    // it to OnSetColor, and a ClrAll then goes on painting lit discs with it.
    void reentrantSetBitDuringClrAll_changesTheSurfacesFillColour() {
        Fixture f(200, 200, 1);
        int calls = 0;
        f.site.SetYieldHook([&] {
            if (++calls == 100)
                setBit(*f.vek, 1, 1);
        });
        f.vek->ClrAll();
        QCOMPARE(bit(*f.vek, 1, 100), 0);
        QCOMPARE(bit(*f.vek, 1, 101), 1);
        QCOMPARE(bit(*f.vek, 200, 200), 1);
        f.site.SetYieldHook({});
    }

    // A radius change inside a yield: the paint goes on with its own, larger discs, each of
    // which covers the centres of several small dots of the new geometry.
    void reentrantRadiusChangeDuringYield_paintsWithTheOldGeometry() {
        Fixture f(254, 254, 2);
        int calls = 0;
        f.site.SetYieldHook([&] {
            if (++calls == 1) {
                f.vek->setLedRadius(1);
                setBit(*f.vek, 1, 1);
            }
        });
        f.vek->SetAll();
        QCOMPARE(int(f.vek->LedRadius()), 1);
        // Line 2 of radius 2 is centred at 1.5 * 84 = 126 twips, radius 40: it covers the
        // radius-1 centres at 105 and 147 (lines 3 and 4, 0-based 2 and 3).
        QCOMPARE(bit(*f.vek, 3, 3), 1);
        QCOMPARE(bit(*f.vek, 254, 254), 1); // old line and column 127 cover it
        // Lines 1 and 2 of radius 1 lie under old line 1 only, painted before the change.
        QCOMPARE(bit(*f.vek, 2, 1), 0);
        QCOMPARE(bit(*f.vek, 254, 2), 0);
        f.site.SetYieldHook({});
    }

    void repaint_rendersDiscsOfTheStoredColours() {
        Fixture f(2, 2, 10); // pitch 28 px, disc radius 13.3 px
        setBit(*f.vek, 2, 1);
        QImage image(f.vek->size(), QImage::Format_ARGB32_Premultiplied);
        f.vek->render(&image);
        QCOMPARE(image.pixel(14, 14), QColor(0x50, 0, 0).rgb());     // dot 1,1 unlit
        QCOMPARE(image.pixel(42, 14), QColor(0xFF, 0, 0).rgb());     // dot 2,1 lit
        QCOMPARE(image.pixel(0, 0), QColor(0x20, 0x20, 0x20).rgb()); // background corner
        f.vek->Clr();
        f.vek->render(&image);
        QCOMPARE(image.pixel(42, 14), QColor(0x20, 0x20, 0x20).rgb());
    }

    // ---- Mouse editing and events ----

    void mouseDown_storesTwipsRoundedHalfToEven_data() {
        QTest::addColumn<float>("x");
        QTest::addColumn<int>("expected");
        QTest::newRow("0.5") << 0.5f << 0;
        QTest::newRow("1.5") << 1.5f << 2;
        QTest::newRow("2.5") << 2.5f << 2;
        QTest::newRow("167.4") << 167.4f << 167;
        QTest::newRow("-0.5") << -0.5f << 0;
    }
    void mouseDown_storesTwipsRoundedHalfToEven() {
        QFETCH(float, x);
        QFETCH(int, expected);
        Fixture f;
        QCOMPARE(f.vek->DownX(), 0);
        f.vek->MouseDown(2, 0, x, x + 1.0f);
        QCOMPARE(f.vek->DownX(), expected);
        QCOMPARE(f.vek->DownY(), int(std::lrint(x + 1.0f)));
    }

    void click_togglesTheCellOfTheLastPress_data() {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<int>("dotX");
        QTest::addColumn<int>("dotY");
        QTest::newRow("0,0 -> 1,1") << 0.f << 0.f << 1 << 1;
        QTest::newRow("167,167 -> 1,1") << 167.f << 167.f << 1 << 1;
        QTest::newRow("168,0 -> 2,1") << 168.f << 0.f << 2 << 1;
        QTest::newRow("gap corner 1343,1343 -> 8,8") << 1343.f << 1343.f << 8 << 8;
        QTest::newRow("167.5 rounds to 168 -> 2,2") << 167.5f << 167.5f << 2 << 2;
    }
    void click_togglesTheCellOfTheLastPress() {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(int, dotX);
        QFETCH(int, dotY);
        Fixture f; // radius 4, pitch 168
        f.vek->MouseDown(1, 0, x, y);
        f.vek->ClickNotification();
        QCOMPARE(bit(*f.vek, dotX, dotY), 1);
        QCOMPARE(litCount(*f.vek), 1);
        f.vek->ClickNotification();
        QCOMPARE(litCount(*f.vek), 0);
        QCOMPARE(f.vek->SampleDot(dotX, dotY), std::uint32_t(kivaro::BRed));
    }

    void click_raisesClickEditedChanged_orOnlyClickWhenEditingIsOff_data() {
        QTest::addColumn<bool>("enable");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("enabled") << true << QStringList{"Click", "Edited", "Changed"};
        QTest::newRow("disabled") << false << QStringList{"Click"};
    }
    void click_raisesClickEditedChanged_orOnlyClickWhenEditingIsOff() {
        QFETCH(bool, enable);
        QFETCH(QStringList, events);
        Fixture f;
        f.vek->setEnable(enable);
        RecordingSink sink;
        f.vek->Advise(&sink);
        QStringList signalOrder;
        connect(f.vek.get(), &Vek::Click, this, [&] { signalOrder << "Click"; });
        connect(f.vek.get(), &Vek::Edited, this, [&] { signalOrder << "Edited"; });
        connect(f.vek.get(), &Vek::Changed, this, [&] { signalOrder << "Changed"; });
        f.vek->MouseDown(1, 0, 100, 100);
        f.vek->ClickNotification();
        QCOMPARE(sink.events, events);
        QCOMPARE(signalOrder, events);
        QCOMPARE(litCount(*f.vek), enable ? 1 : 0);
        f.vek->Unadvise(&sink);
        f.vek->ClickNotification();
        QCOMPARE(sink.events, events);
    }

    void click_eventsSeeTheToggledDot() {
        Fixture f;
        int seen = -1;
        connect(f.vek.get(), &Vek::Edited, this, [&] { seen = bit(*f.vek, 1, 1); });
        f.vek->ClickNotification();
        QCOMPARE(seen, 1);
    }

    void click_afterClr_paintsALitDisc() {
        Fixture f;
        f.vek->Clr();
        f.vek->MouseDown(1, 0, 300, 500);
        f.vek->ClickNotification();
        QCOMPARE(bit(*f.vek, 2, 3), 1);
        QCOMPARE(f.vek->SampleDot(1, 1), Vek::kBackgroundColor);
    }

    void click_outsideThePanel_isClipped() {
        Fixture f;
        f.vek->MouseDown(1, 0, 5000, 5000);
        QSignalSpy changed(f.vek.get(), &Vek::Changed);
        f.vek->ClickNotification();
        f.vek->MouseDown(1, 0, -500, 10);
        f.vek->ClickNotification();
        QCOMPARE(litCount(*f.vek), 0);
        QCOMPARE(changed.count(), 2);
    }

    void realMouseClick_togglesTheDotUnderThePointer_data() {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<int>("downX");
        QTest::addColumn<int>("dotX");
        QTest::addColumn<int>("dotY");
        QTest::newRow("pixel 10,10") << QPoint(10, 10) << 150 << 1 << 1;
        QTest::newRow("pixel 12,5") << QPoint(12, 5) << 180 << 2 << 1;
        QTest::newRow("pixel 89,89") << QPoint(89, 89) << 1335 << 8 << 8;
    }
    void realMouseClick_togglesTheDotUnderThePointer() {
        QFETCH(QPoint, pixel);
        QFETCH(int, downX);
        QFETCH(int, dotX);
        QFETCH(int, dotY);
        Fixture f;
        f.vek->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.vek.get()));
        QSignalSpy clicks(f.vek.get(), &Vek::Click);
        QSignalSpy edits(f.vek.get(), &Vek::Edited);
        QTest::mouseClick(f.vek.get(), Qt::LeftButton, {}, pixel);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(edits.count(), 1);
        QCOMPARE(f.vek->DownX(), downX);
        QCOMPARE(bit(*f.vek, dotX, dotY), 1);
        QCOMPARE(litCount(*f.vek), 1);
    }

    void realMousePress_recordsEveryButton_butOnlyTheLeftClicks() {
        Fixture f;
        f.vek->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.vek.get()));
        QSignalSpy clicks(f.vek.get(), &Vek::Click);
        QTest::mouseClick(f.vek.get(), Qt::RightButton, Qt::ShiftModifier, QPoint(30, 40));
        QCOMPARE(f.vek->DownX(), 450);
        QCOMPARE(f.vek->DownY(), 600);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(litCount(*f.vek), 0);
    }

    // ---- Property persistence ----

    void newControl_savesOnlyItsRadius() {
        Fixture f;
        platform::PropertyBag bag;
        f.vek->WriteProperties(bag);
        QCOMPARE(bag.Keys(), QStringList{"ledradius"});
        QCOMPARE(bag.ReadProperty("LedRadius").toInt(), 4);

        Fixture loaded;
        loaded.site.ResetCounts();
        QSignalSpy changed(loaded.vek.get(), &Vek::Changed);
        loaded.vek->ReadProperties(bag);
        QCOMPARE(int(loaded.vek->MaxLines()), 8);
        QCOMPARE(int(loaded.vek->MaxRows()), 8);
        QCOMPARE(int(loaded.vek->LedRadius()), 4);
        QCOMPARE(loaded.vek->OnSetColor(), std::int32_t(kivaro::Red));
        QCOMPARE(loaded.vek->OnClrColor(), std::int32_t(kivaro::BRed));
        QCOMPARE(loaded.vek->Enable(), true);
        QCOMPARE(changed.count(), 0);
        QVERIFY(loaded.site.Notifications().isEmpty());
    }

    void emptyBag_loadsRadiusFive() {
        Vek vek;
        vek.ReadProperties(platform::PropertyBag());
        QCOMPARE(int(vek.MaxLines()), 8);
        QCOMPARE(int(vek.MaxRows()), 8);
        QCOMPARE(int(vek.LedRadius()), 5);
        QCOMPARE(vek.OnSetColor(), std::int32_t(kivaro::Red));
        QCOMPARE(vek.OnClrColor(), std::int32_t(kivaro::BRed));
        QCOMPARE(vek.Enable(), true);
        QCOMPARE(vek.WidthTwips(), 1680.0);
        QCOMPARE(vek.SampleDot(8, 8), std::uint32_t(kivaro::BRed));
    }

    void savedState_roundTripsThroughTheSavedForm() {
        Fixture f;
        f.vek->setMaxLines(16);
        f.vek->setMaxRows(32);
        f.vek->setLedRadius(5);
        f.vek->setOnSetColor(kivaro::Green);
        f.vek->setOnClrColor(kivaro::BGreen);
        f.vek->setEnable(false);
        f.vek->SetAll();
        platform::PropertyBag bag;
        f.vek->WriteProperties(bag);
        QCOMPARE(bag.Keys(),
                 (QStringList{"maxlines", "maxrows", "enable", "onsetcolor", "onclrcolor"}));
        QCOMPARE(bag.ReadProperty("MaxLines").toInt(), 16);
        QCOMPARE(bag.ReadProperty("MaxRows").toInt(), 32);
        QCOMPARE(platform::ToBoolean(bag.ReadProperty("Enable")), false);
        QCOMPARE(bag.ReadProperty("OnSetColor").toInt(), 0xFF00);
        QCOMPARE(bag.ReadProperty("OnClrColor").toInt(), 0x8000);

        const platform::PropertyBag saved = platform::PropertyBag::FromText(bag.ToText());
        Vek loaded;
        loaded.ReadProperties(saved);
        QCOMPARE(int(loaded.MaxLines()), 16);
        QCOMPARE(int(loaded.MaxRows()), 32);
        QCOMPARE(int(loaded.LedRadius()), 5);
        QCOMPARE(loaded.OnSetColor(), std::int32_t(kivaro::Green));
        QCOMPARE(loaded.OnClrColor(), std::int32_t(kivaro::BGreen));
        QCOMPARE(loaded.Enable(), false);
        QCOMPARE(litCount(loaded), 0); // the pattern is never persisted
        QCOMPARE(loaded.size(), QSize(448, 224));
    }

    void load_correctsCountsOfZeroAnd255AndRadiusZero_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("storedRadius");
        QTest::addColumn<int>("radius");
        QTest::newRow("0 -> 1, radius 0 -> 1") << 0 << 1 << 0 << 1;
        QTest::newRow("255 -> 254, radius 255") << 255 << 254 << 255 << 255;
    }
    void load_correctsCountsOfZeroAnd255AndRadiusZero() {
        QFETCH(int, stored);
        QFETCH(int, count);
        QFETCH(int, storedRadius);
        QFETCH(int, radius);
        platform::PropertyBag bag;
        bag.WriteProperty("maxlines", stored, 8);
        bag.WriteProperty("maxrows", stored, 8);
        bag.WriteProperty("ledradius", storedRadius, 5);
        Vek vek;
        vek.ReadProperties(bag);
        QCOMPARE(int(vek.MaxLines()), count);
        QCOMPARE(int(vek.MaxRows()), count);
        QCOMPARE(int(vek.LedRadius()), radius);
        QCOMPARE(vek.SampleDot(count, count), std::uint32_t(kivaro::BRed));
    }

    void load_badValue_throwsAndKeepsWhatWasReadBefore_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("rows");
        const int overflow = platform::kErrOverflow;
        const int mismatch = platform::kErrTypeMismatch;
        QTest::newRow("MaxLines 300") << "MaxLines" << QVariant(300) << overflow << 20 << 20;
        QTest::newRow("MaxRows -1") << "maxrows" << QVariant(-1) << overflow << 12 << 20;
        // MaxRows is not stored: it reads as its default, 8.
        QTest::newRow("Enable text") << "ENABLE" << QVariant("yes") << mismatch << 12 << 8;
        QTest::newRow("OnSetColor text") << "OnSetColor" << QVariant("red") << mismatch << 12 << 8;
    }
    void load_badValue_throwsAndKeepsWhatWasReadBefore() {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(int, error);
        QFETCH(int, lines);
        QFETCH(int, rows);
        Fixture f(20, 20);
        f.vek->SetAll();
        platform::PropertyBag bag;
        bag.WriteProperty("maxlines", 12, 8);
        bag.WriteProperty(key, value, 8);
        try {
            f.vek->ReadProperties(bag);
            QFAIL("ReadProperties accepted a bad value");
        } catch (const platform::PlatformError& e) {
            QCOMPARE(e.number(), error);
        }
        QCOMPARE(int(f.vek->MaxLines()), lines);
        QCOMPARE(int(f.vek->MaxRows()), rows);
        // The panel was not repainted: the lit dots are still lit.
        QCOMPARE(bit(*f.vek, 5, 5), 1);
    }

    // ---- Faults found by using the real window ----

    void release_inThePanelsLastHalfPixel_stillClicks() {
        Fixture f; // 8 x 8 at radius 4: a panel of 89.6 px in a widget of 90
        const QPointF at(89.55, 10);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons held =
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
            QMouseEvent event(type, at, at, Qt::LeftButton, held, {});
            QCoreApplication::sendEvent(f.vek.get(), &event);
        }
        QCOMPARE(bit(*f.vek, 8, 1), 1);
    }

    void smallDiscs_showTheirExactColourAtTheCentre() {
        Fixture f(1, 2, 1); // pitch 2.8 px: centres at 1.4 and 4.2
        setBit(*f.vek, 1, 1);
        QImage image(f.vek->size(), QImage::Format_ARGB32_Premultiplied);
        f.vek->render(&image);
        QCOMPARE(image.pixel(1, 1), QColor(0xFF, 0, 0).rgb()); // lit, Red
        QCOMPARE(image.pixel(4, 1), QColor(0x50, 0, 0).rgb()); // unlit, BRed
    }
};

QTEST_MAIN(TstVek)
#include "tst_vek.moc"
