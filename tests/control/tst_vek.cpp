// The Vek control as a host makes it, by ProgID from the program's folder, and drives it
// through its class and late-bound by dispatch identifier: corrections, events, the saved
// form, geometry, the full-panel paint and what a handler run inside its yields may do,
// drawing and mouse editing.

#include "kivaro/Vek.h"
#include "platform/ControlHost.h"
#include "platform/ControlSite.h"
#include "platform/PlatformError.h"
#include "platform/PropertyBag.h"

#include <QJsonArray>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegularExpression>
#include <QTest>

using kivaro::Vek;
using platform::InvokeKind;

namespace {

constexpr InvokeKind kPut = InvokeKind::PropertyPut, kGet = InvokeKind::PropertyGet,
                     kMethod = InvokeKind::Method;

struct Recorder : kivaro::IVekEvents {
    QStringList events;
    void Click() override { events << "Click"; }
    void Edited() override { events << "Edited"; }
    void Changed() override { events << "Changed"; }
};

// A control created in a container as the window creates Vek1 (8 x 8, radius 4), with a sink
// advised twice (once is enough).
struct Fixture {
    platform::ControlSite site;
    Recorder sink;
    QWidget container;
    Vek* vek;

    Fixture()
        : vek(qobject_cast<Vek*>(
              platform::ControlHost::CreateControl(kivaro::kProgId, &container, &site, nullptr)
                  ->Widget())) {
        vek->Advise(&sink);
        vek->Advise(&sink);
    }
    ~Fixture() { vek->Unadvise(&sink); }
    void show() {
        container.show();
        QVERIFY(QTest::qWaitForWindowExposed(&container));
    }
    QString run(const QString& script);
    QString step(const QString& name, const QString& kind, const QString& rest);
    QString dots();
    void mouse(QEvent::Type type, Qt::MouseButton button, const QVariantList& at);
};

// The lit dots as "x,y ...", or "all" or "none".
QString Fixture::dots() {
    QStringList lit;
    for (int y = 1; y <= vek->MaxLines(); ++y)
        for (int x = 1; x <= vek->MaxRows(); ++x) {
            std::uint8_t X = std::uint8_t(x), Y = std::uint8_t(y);
            if (vek->Bit(X, Y))
                lit << QStringLiteral("%1,%2").arg(x).arg(y);
        }
    return lit.isEmpty()                                    ? "none"
           : lit.size() == vek->MaxLines() * vek->MaxRows() ? "all"
                                                            : lit.join(' ');
}

void Fixture::mouse(QEvent::Type type, Qt::MouseButton button, const QVariantList& at) {
    const QPointF pixel(at.value(0).toDouble(), at.value(1).toDouble());
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? button : Qt::NoButton;
    QMouseEvent event(type, pixel, pixel, button, held, {});
    QCoreApplication::sendEvent(vek, &event);
}

// Runs the steps of a script, separated by ";", and gives what they give back, separated by
// spaces. A member of the dispatch interface is called late-bound by its name, with its
// arguments after it: "Name x,y" calls it (and reads a property), "Name=v" puts, "Name? x,y"
// gets; it gives its result, then "@" and its arguments as they came back, or "E" and its
// error. The other steps reach what only the class has: the colour "sample"d at a dot, the lit
// "dots", a host's "click" at x,y twips, "init", "save" and "load" k=v,..., a left or right
// ("right") "press" or "release" at x,y pixels, "forget" the events and notifications so far,
// "show", the "down" position, the "size" in pixels and twips after a host's resize, the "yields"
// so far, and the colour of a rendered "pixel".
QString Fixture::run(const QString& script) {
    static const QRegularExpression split(QStringLiteral(R"(^\s*(\w+)([?=]?)\s*(.*?)\s*$)"));
    QStringList out;
    for (const QString& part : script.split(';')) {
        const QRegularExpressionMatch m = split.match(part);
        out << step(m.captured(1), m.captured(2), m.captured(3));
    }
    out.removeAll(QString());
    return out.join(' ');
}

QString Fixture::step(const QString& name, const QString& kind, const QString& rest) {
    QVariantList args;
    for (const QString& arg : rest.split(',', Qt::SkipEmptyParts)) {
        bool isInt = false;
        const int number = arg.toInt(&isInt, 0);
        args << (arg == "false" ? QVariant(false) : isInt ? QVariant(number) : QVariant(arg));
    }
    const auto hex = [](std::uint32_t colour) { return QString::number(colour, 16); };
    try {
        if (name == "sample")
            return hex(vek->SampleDot(args[0].toInt(), args[1].toInt()));
        if (name == "dots")
            return dots();
        if (name == "at") { // at N step: SetAll, with step and SetBit 1,1 run by its Nth yield
            int calls = 0;
            site.SetYieldHook([&] {
                if (++calls == rest.section(QLatin1Char(' '), 0, 0).toInt())
                    run(rest.section(' ', 1) + "; SetBit 1,1");
            });
            vek->SetAll();
            site.SetYieldHook({});
            return {};
        }
        if (name == "state")
            return run("MaxRows; MaxLines; LedRadius; Enable; OnSetColor; OnClrColor; size; dots; "
                       "sample 8,8");
        if (name == "click")
            vek->MouseDown(1, 0, args[0].toFloat(), args[1].toFloat()), vek->ClickNotification();
        else if (name == "forget")
            sink.events.clear(), site.ResetCounts();
        else if (name == "show")
            show();
        else if (name == "init")
            vek->InitProperties();
        else if (name == "load")
            vek->ReadProperties(platform::PropertyBag::FromText(QString(rest).replace(',', '\n')));
        else if (name == "save") {
            platform::PropertyBag bag;
            vek->WriteProperties(bag);
            return bag.ToText().trimmed().replace('\n', ',');
        } else if (name.endsWith("press") || name.endsWith("release"))
            mouse(name.endsWith("press") ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease,
                  name.startsWith("right") ? Qt::RightButton : Qt::LeftButton, args);
        else if (name == "down")
            return QStringLiteral("%1,%2").arg(vek->DownX()).arg(vek->DownY());
        else if (name == "size") {
            vek->resize(133, 33);
            vek->setGeometry(5, 6, 300, 10);
            return QStringLiteral("%1x%2 %3x%4%5")
                .arg(vek->width())
                .arg(vek->height())
                .arg(vek->WidthTwips(), 0, 'g', 10)
                .arg(vek->HeightTwips(), 0, 'g', 10)
                .arg(vek->sizeHint() == vek->size() ? "" : " (not its hint)");
        } else if (name == "yields")
            return QString::number(site.YieldCount());
        else if (name == "pixel") {
            QImage image(vek->size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            vek->render(&image);
            return hex(image.pixel(args[0].toInt(), args[1].toInt()) & 0xFFFFFF);
        } else {
            static const QHash<QString, int> ids = [] {
                QHash<QString, int> ids;
                const auto cls = platform::ControlHost::FindClass(kivaro::kProgId).description;
                for (const QJsonValue m :
                     cls["Classes"][0]["DefaultInterface"]["Members"].toArray())
                    ids.insert(m["Name"].toString(), m["DispId"].toInt());
                return ids;
            }();
            const InvokeKind how = kind == "=" ? kPut : kind == "?" ? kGet : kMethod;
            QString result = vek->Invoke(ids.value(name, 0x60030099), how, args).toString();
            if (how != kPut && !args.isEmpty())
                result += '@' + QVariant(args).toStringList().join(',');
            return result;
        }
    } catch (const platform::PlatformError& e) {
        return QStringLiteral("E%1").arg(e.number());
    }
    return {};
}

} // namespace

class TstVek : public QObject {
    Q_OBJECT

private slots:
    // The library describes its own class, found by a ProgID in any case: the members of its
    // dispatch interface in order with their fixed identifiers, and its event interface.
    void registrationDescribesTheDispatchInterface() {
        const platform::RegisteredClass cls =
            platform::ControlHost::FindClass("zorvik_vekdisplay.VEK");
        QCOMPARE(cls.className, QStringLiteral("Vek"));
        const QJsonObject vek = cls.description["Classes"].toArray().first().toObject();
        QCOMPARE(vek["EventInterface"]["Name"].toString(), QStringLiteral("__Vek"));
        QStringList members;
        for (const QJsonValue m : vek["DefaultInterface"]["Members"].toArray())
            members << m["Name"].toString() + ' ' + QString::number(m["DispId"].toInt(), 16);
        QCOMPARE(members.join(", "),
                 "MaxLines 68030007, MaxRows 68030006, SetBit 60030009, "
                 "ClrBit 6003000a, SetAll 6003000b, ClrAll 6003000c, Bit 6003000d, "
                 "OnSetColor 68030005, OnClrColor 68030004, LedRadius 68030003, "
                 "Enable 68030002, Clr 60030016");
        QWidget container;
        try {
            platform::ControlHost::CreateControl("Zorvik_VekDisplay.Nothing", &container, nullptr,
                                                 nullptr);
            QFAIL("an unknown ProgID made a control");
        } catch (const platform::PlatformError& e) {
            QCOMPARE(e.number(), int(platform::kErrCannotCreateObject));
            QVERIFY(QString(e.what()).contains("Zorvik_VekDisplay.Nothing"));
        }
    }

    // Scripts run on a new 8 x 8 control (red on dark red, radius 4), one a line as "what it
    // pins: script => what it gives back | the events heard | the properties notified"; a line
    // that begins with spaces goes on the one before.
    void members_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("outcome");
        static const QByteArray table = R"(
# Coordinates are corrected to the nearest dot of the border.
SetBit corrects to the border: SetBit 5,6; SetBit 0,0; SetBit 200,3; SetBit 3,255; dots
    => @5,6 @1,1 @8,3 @3,8 1,1 8,3 5,6 3,8 | Changed,Changed,Changed,Changed |
Bit corrects and reads: SetBit 8,8; Bit 200,200; Bit 9,0 => @8,8 1@8,8 0@8,1 | Changed |
ClrBit corrects and clears: SetBit 1,8; ClrBit 0,9; dots => @1,8 @1,8 none | Changed,Changed |
SetAll, ClrAll and Clr: SetAll; dots; ClrAll; dots; SetAll; Clr; dots
    => all none none | Changed,Changed,Changed |
# Sampling finds the colour of the last disc painted at a dot, the background after a clear,
# and nothing off the panel.
unlit dots sample the unlit colour: sample 8,8 => 50 |  |
off the panel samples nothing: sample 0,1; sample 1,0; sample 9,1; sample 1,9
    => ffffffff ffffffff ffffffff ffffffff |  |
Clr leaves the background: SetAll; Clr; sample 4,4; dots => 202020 none | Changed |
SetBit after Clr paints a disc: Clr; SetBit 2,2; sample 2,2; dots => @2,2 ff 2,2 | Changed |
SetAll lights every dot: SetAll; sample 8,1; dots => ff all | Changed |
a new unlit colour repaints every dot: SetAll; OnClrColor=0x8080; sample 8,8; dots
    => 8080 none | Changed | OnClrColor
a colour's high byte is lost on the surface: OnSetColor=0x010000FF; SetBit 1,1; sample 1,1; dots
    => @1,1 ff none | Changed | OnSetColor
a new lit colour puts every dot out: SetAll; OnSetColor=255; dots => none | Changed | OnSetColor
equal colours light every dot: OnSetColor=0x50; dots => all |  | OnSetColor
MaxLines 0 is 1 and puts every dot out: SetAll; MaxLines=0; MaxLines; dots
    => 1 none | Changed,Changed | MaxLines
MaxRows 255 is 254 and puts every dot out: SetAll; MaxRows=255; MaxRows; dots
    => 254 none | Changed,Changed | MaxRows
LedRadius 0 is 1 and puts every dot out: SetAll; LedRadius=0; LedRadius; dots
    => 1 none | Changed | LedRadius
Enable repaints nothing: SetAll; Enable=false; Enable; dots => false all | Changed | Enable
Bit changes nothing: SetAll; Bit 1,1; dots => 1@1,1 all | Changed |
InitProperties starts over: MaxLines=3; LedRadius=9; Enable=false; OnSetColor=1; SetAll; init;
    state => 8 8 4 true 255 80 90x90 1344x1344 none 50
    | Changed,Changed | MaxLines,LedRadius,Enable,OnSetColor
# Late bound: a put, a get and a call without arguments.
MaxLines put 255 reads back 254: MaxLines=255; MaxLines?; MaxLines
    => 254 254 | Changed | MaxLines
MaxRows put 0 reads back 1: MaxRows=0; MaxRows? => 1 | Changed | MaxRows
colours put read back: OnSetColor=0xFF00FF; OnClrColor=0x800080; OnSetColor?; OnClrColor
    => 16711935 8388736 |  | OnSetColor,OnClrColor
LedRadius put reads back: LedRadius=7; LedRadius? => 7 |  | LedRadius
Enable put reads back: Enable=false; Enable? => false |  | Enable
300 into a Byte overflows: MaxRows=300; MaxRows => E6 8 |  |
# A call the interface does not have fails and changes nothing.
members it lacks and calls as the wrong kind fail with 438: SetBit 2,2; Nothing; SetAll=1;
    Bit=1,1; SetBit? 1,1; ClrBit? 2,2; SetAll?; ClrAll?; dots
    => @2,2 E438 E438 E438 E438 E438 E438 E438 2,2 | Changed |
the wrong number of arguments fails with 450: SetBit 2,2; SetBit 1; SetAll 1; MaxRows? 1;
    MaxRows=; dots => @2,2 E450 E450 E450 E450 2,2 | Changed |
a text coordinate fails with 13: SetBit 2,2; Bit x,1; dots => @2,2 E13 2,2 | Changed |
# A host's click toggles the dot of the cell (168 twips at r4) under the last press; off the
# panel it changes nothing, but is still a click.
clicks on cells: click 0,0; dots; click 167,167; dots; click 168,0; click 167.5,167.5;
    click 1343,1343; dots; click 1343,1343; dots
    => 1,1 none 2,1 2,2 8,8 2,1 2,2 | click,click,click,click,click,click |
clicks off the panel: click 5000,10; click 10,5000; click -500,10; click 10,-500; dots
    => none | click,click,click,click |
a click with editing off toggles nothing: Enable=false; click 10,10; dots => none | Click | Enable
# A left press and release over the panel (89.6 px in a widget of 90, to its last half pixel)
# is a click on the cell of the press, kept in twips.
a left press and release: press 12,5; down; release 12,5; dots => 180,75 2,1 | click |
a release on the panel's first pixel: press 12,5; release 0,0; dots => 2,1 | click |
a release in the panel's last half pixel: press 89.4,89.4; down; release 89.55,89.55; dots
    => 1341,1341 8,8 | click |
a second release is no click: press 12,5; release 12,5; release 12,5; dots => 2,1 | click |
a right press is no click: rightpress 12,5; down; rightrelease 12,5; release 12,5; dots
    => 180,75 none |  |
a release just right of the panel: press 12,5; release 90,5; dots => none |  |
a release just below the panel: press 12,5; release 12,90; dots => none |  |
a release without a press: release 12,5; dots => none |  |
# The saved form holds what differs from the defaults (8 x 8, red on dark red, radius 5,
# editing on); the pattern is never saved, and loading puts every dot out.
a new control saves its radius: SetAll; save => ledradius = 4 | Changed |
a changed control saves what differs: MaxLines=16; MaxRows=32; LedRadius=5; Enable=false;
    OnSetColor=0xFF00; OnClrColor=0x8000; forget; save
    => maxlines = 16,maxrows = 32,enable = 0,onsetcolor = 65280,onclrcolor = 32768 |  |
an empty form loads the defaults: MaxLines=20; MaxRows=20; SetAll; forget; load ; state
    => 8 8 5 true 255 80 112x112 1680x1680 none 50 |  |
a saved form loads what it holds: MaxLines=20; MaxRows=20; SetAll; forget;
    load maxlines = 16,maxrows = 32,enable = 0,onsetcolor = 65280,onclrcolor = 32768; state
    => 32 16 5 false 65280 32768 448x224 6720x3360 none 8000 |  |
# A bad stored value ends the load with its error; what was read before it stays.
MaxLines 300 fails the load: MaxLines=20; MaxRows=20; SetAll; forget; load maxlines = 300;
    MaxRows; MaxLines; Enable; dots => E6 20 20 true all |  |
MaxRows -1 fails the load: MaxLines=20; MaxRows=20; SetAll; forget;
    load maxlines = 12,maxrows = -1; MaxRows; MaxLines; Enable; dots
    => E6 20 12 true all |  |
Enable text fails the load: MaxLines=20; MaxRows=20; SetAll; forget;
    load MaxLines=12,ENABLE = yes; MaxRows; MaxLines; Enable; dots
    => E13 8 12 true all |  |
# The panel is 42 * r twips a dot, its widget that in whole pixels, whatever a host asks.
8 x 8 r4 is 89.6 px: size; show; size => 90x90 1344x1344 90x90 1344x1344 |  |
10 rows, 3 lines, r1 is 8.4 px high: LedRadius=1; MaxRows=10; MaxLines=3; forget; size
    => 28x8 420x126 |  |
radius 0 is 1: LedRadius=0; MaxRows=16; MaxLines=16; forget; size => 45x45 672x672 |  |
254 x 254 r255: LedRadius=255; MaxRows=254; MaxLines=254; forget; size
    => 181356x181356 2720340x2720340 |  |
# A full-panel paint yields after each line when both counts exceed 150.
151 x 151 yields: LedRadius=1; MaxRows=151; MaxLines=151; forget; SetAll; yields; ClrAll;
    yields; dots => 151 302 none | Changed,Changed |
150 lines or rows do not yield: LedRadius=1; MaxRows=254; MaxLines=150; forget; SetAll;
    yields; MaxLines=254; MaxRows=150; forget; SetAll; yields => 0 0 | Changed |
254 x 254 yields: LedRadius=1; MaxRows=254; MaxLines=254; forget; SetAll; yields; dots
    => 254 all | Changed |
# A handler run by a yield of SetAll changes the panel under it. The paint goes on with its own
# line count and geometry, drops what falls off the surface now, and paints with the surface's
# fill colour, which the handler's SetBit 1,1 leaves lit.
rows shrink in a yield: LedRadius=1; MaxRows=254; MaxLines=254; forget; at 10 MaxRows=3;
    MaxRows; MaxLines; Bit 1,1; Bit 3,11; Bit 3,254; Bit 2,10
    => 3 254 1@1,1 1@3,11 1@3,254 0@2,10 | Changed,Changed,Changed | MaxRows
lines shrink in a yield: LedRadius=1; MaxRows=254; MaxLines=254; forget; at 10 MaxLines=2;
    MaxRows; MaxLines; Bit 1,1; Bit 254,2 => 254 2 1@1,1 0@254,2 | Changed,Changed,Changed | MaxLines
rows grow in a yield: LedRadius=1; MaxRows=160; MaxLines=254; forget; at 1 MaxRows=254;
    MaxRows; Bit 254,2; Bit 2,1 => 254 1@254,2 0@2,1 | Changed,Changed,Changed | MaxRows
# Old discs (pitch 882, radius 420 twips) over new dots (pitch 42): old line 2 is centred on new
# line 32 and old column 1 on new column 11; a dot on the rim counts.
the radius shrinks in a yield: LedRadius=21; MaxRows=254; MaxLines=254; forget;
    at 1 LedRadius=1; Bit 1,32; Bit 21,32; Bit 11,22; Bit 11,42; Bit 1,22; Bit 2,1; Bit 1,2;
    Bit 11,21 => 1@1,32 1@21,32 1@11,22 1@11,42 0@1,22 0@2,1 0@1,2 0@11,21 | Changed,Changed | LedRadius
# Discs of the stored colours on the background; small discs keep their exact colour at the
# centre rather than a blend with the background. Pitch 28 px and disc radius 13.3 px at r10,
# 14 and 6.7 at r5, 2.8 and 1.3 at r1.
discs at r10: MaxRows=2; MaxLines=2; LedRadius=10; forget; SetBit 2,1; pixel 14,14;
    pixel 42,14; pixel 42,42; pixel 0,0; pixel 42,31
    => @2,1 500000 ff0000 500000 202020 500000 | Changed |
discs redrawn at r5: MaxRows=2; MaxLines=2; LedRadius=10; SetBit 1,2; LedRadius=5; forget;
    SetBit 2,2; pixel 7,7; pixel 7,21; pixel 21,21; pixel 14,14
    => @1,2 @2,2 500000 500000 ff0000 202020 | Changed |
no discs after Clr: MaxRows=2; MaxLines=2; LedRadius=5; SetBit 2,2; Clr; forget; pixel 21,21;
    pixel 7,7 => @2,2 202020 202020 |  |
discs at r1: MaxRows=2; MaxLines=1; LedRadius=1; forget; SetBit 1,1; pixel 1,1; pixel 4,1
    => @1,1 ff0000 500000 | Changed |
)";
        QString line;
        const auto add = [&line] {
            const qsizetype colon = line.indexOf(':'), arrow = line.indexOf("=>");
            if (colon > 0)
                QTest::newRow(qPrintable(line.left(colon)))
                    << line.mid(colon + 1, arrow - colon - 1).trimmed()
                    << line.mid(arrow + 2).trimmed().replace("click", "Click,Edited,Changed");
            line.clear();
        };
        for (const QString& text : QString::fromUtf8(table).split('\n')) {
            if (text.startsWith(' '))
                line += ' ' + text.trimmed();
            else if (!text.startsWith('#'))
                add(), line = text;
        }
        add();
    }
    void members() {
        QFETCH(QString, script);
        QFETCH(QString, outcome);
        Fixture f;
        const QString got = f.run(script);
        f.vek->Unadvise(&f.sink);
        f.vek->SetAll();
        const QStringList heard{got, f.sink.events.join(','), f.site.Notifications().join(',')};
        QCOMPARE(heard.join(" | ").trimmed(), outcome);
    }

    // A shown panel asks for a repaint of at least the disc that changed.
    void shownPanelRepaintsTheChangedDisc() {
        // Pitch 14 px, radius 6.67 px: a disc is drawn around the middle of the pixel its
        // centre falls in, and reaches into a row and column beyond its true extent.
        Fixture f;
        f.run("LedRadius=5; show");
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
            f.run(QStringLiteral("SetBit %1,%2").arg(dot.x()).arg(dot.y()));
            const QPointF centre(std::floor((dot.x() - 0.5) * 14) + 0.5,
                                 std::floor((dot.y() - 0.5) * 14) + 0.5);
            const double r = 20.0 * 5 / 15;
            const QRect disc = QRectF(centre - QPointF(r, r), QSizeF(2 * r, 2 * r)).toAlignedRect();
            QTRY_VERIFY(!recorder.painted.isEmpty());
            QVERIFY((QRegion(disc & f.vek->rect()) - recorder.painted).isEmpty());
        }
    }
};

QTEST_MAIN(TstVek)
#include "tst_vek.moc"
