// The control and the platform layer that hosts it, driven by scripts: the control created by
// ProgID as the window creates it, called late-bound by name and through its class (events,
// saved form, geometry, the full-panel paint and its yields, drawing, mouse editing); the
// property bag and its conversions, the filter text, the common dialog and the picture surface.

#include "common/ScriptedDialogs.h"
#include "kivaro/Vek.h"
#include "platform/CommonDialog.h"
#include "platform/ControlHost.h"
#include "platform/ControlSite.h"
#include "platform/PictureSurface.h"
#include "platform/PlatformError.h"
#include "platform/PropertyBag.h"
#include "platform/QtDialogPresenter.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QJsonArray>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using kivaro::Vek;
using platform::InvokeKind;
using platform::PictureSurface;
using platform::PropertyBag;
using Colour = std::optional<std::uint32_t>;

namespace {

// A value in a script: a number (0x for hex, inf, nan), true, false, none (no value), or text
// ("quoted" where it would read as a number).
QVariant value(const QString& text) {
    bool isInt = false, isNumber = false;
    const int integer = text.toInt(&isInt, 0);
    const double number = text.toDouble(&isNumber);
    if (text == "true" || text == "false" || text == "none")
        return text == "none" ? QVariant() : QVariant(text == "true");
    if (text.startsWith('"'))
        return text.mid(1).chopped(1);
    return isInt ? QVariant(integer) : isNumber ? QVariant(number) : QVariant(text);
}

// Its arguments as text, separated by spaces.
template <typename... T> QString words(const T&... parts) {
    return QStringList{QVariant(parts).toString()...}.join(' ');
}

// Vek1 as the window creates it (8 x 8, red on dark red, radius 4), a bag, the common dialog set
// up as the window's save over a scripted presenter, and a 10 x 10 grey surface; it hears the
// control's events (advised twice: once is enough) and what the panel and surface must paint.
struct Fixture : QObject, kivaro::IVekEvents {
    platform::ControlSite site;
    QStringList events;
    QRegion painted;
    QWidget container;
    Vek* vek;
    PropertyBag bag;
    testing::ScriptedDialogs presenter;
    platform::CommonDialog dialog{presenter};
    PictureSurface surface;

    Fixture()
        : vek(qobject_cast<Vek*>(
              platform::ControlHost::CreateControl(kivaro::kProgId, &container, &site, nullptr)
                  ->Widget())) {
        vek->Advise(this);
        vek->Advise(this);
        dialog.SetDialogTitle("保存点阵文件");
        dialog.SetFilter("Dot|*.dot|All|*.*");
        dialog.SetFileName("/t/A.dot");
        dialog.SetFontName("DejaVu Sans");
        dialog.SetFontBold(true);
        surface.resize(10, 10);
        surface.SetBackColor(0x808080);
        vek->installEventFilter(this);
        surface.installEventFilter(this);
    }
    ~Fixture() override { vek->Unadvise(this); }
    void Click() override { events << "Click"; }
    void Edited() override { events << "Edited"; }
    void Changed() override { events << "Changed"; }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            painted |= static_cast<QPaintEvent*>(e)->region();
        return false;
    }
    QString run(const QString& script);
    QString step(const QString& name, const QString& kind, const QString& rest,
                 const QVariantList& args);
};

// Runs the steps of a script ("; " between them) and gives what they give back, or "E" and the
// error a step failed with. A step is a name and its arguments ("," between them). A member of
// the dispatch interface is called late-bound by name: "Name x,y" calls it (and reads a
// property), "Name=v" puts, "Name? x,y" gets; it gives its result, "@" and its arguments back.
QString Fixture::run(const QString& script) {
    static const QRegularExpression split(QStringLiteral(R"(^(\w+)([?=]?)\s*(.*?)\s*$)"));
    QStringList out;
    for (const QString& part : script.split("; ")) {
        const QRegularExpressionMatch m = split.match(part.trimmed());
        QVariantList args;
        for (const QString& arg : m.captured(3).split(',', Qt::SkipEmptyParts))
            args << value(arg.trimmed());
        try {
            out << step(m.captured(1), m.captured(2), m.captured(3), args);
        } catch (const platform::PlatformError& e) {
            out << QStringLiteral("E%1").arg(e.number());
        }
    }
    out.removeAll(QString());
    return out.join(' ');
}

QString Fixture::step(const QString& name, const QString& kind, const QString& rest,
                      const QVariantList& args) {
    const auto arg = [&](int i) { return args.value(i).toFloat(); };
    const auto xy = [&](int i) { return QPoint(args[i].toInt(), args[i + 1].toInt()); };
    const auto hex = [](Colour c) { return c ? QString::number(*c, 16) : QString("none"); };
    PictureSurface& s = surface;
    platform::CommonDialog& d = dialog;
    if (name == "dots") { // the lit dots, or all or none
        QStringList lit;
        for (int y = 1; y <= vek->MaxLines(); ++y)
            for (int x = 1; x <= vek->MaxRows(); ++x) {
                std::uint8_t X = std::uint8_t(x), Y = std::uint8_t(y);
                if (vek->Bit(X, Y))
                    lit << QStringLiteral("%1,%2").arg(x).arg(y);
            }
        const bool all = lit.size() == vek->MaxLines() * vek->MaxRows();
        return lit.isEmpty() ? "none" : all ? "all" : lit.join(' ');
    }
    if (name == "press" || name == "release") { // at x,y pixels, with the left or "right" button
        const QPointF at(arg(0), arg(1));
        const Qt::MouseButton button = rest.endsWith("right") ? Qt::RightButton : Qt::LeftButton;
        const bool press = name == "press";
        QMouseEvent event(press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, at, at,
                          button, press ? button : Qt::NoButton, {});
        return QCoreApplication::sendEvent(vek, &event), QString();
    }
    if (name == "size") { // after a host's resize: in pixels, in twips, and its hint if it differs
        vek->resize(133, 33);
        vek->setGeometry(5, 6, 300, 10);
        const QString hint = vek->sizeHint() == vek->size() ? "" : " (not its hint)";
        return words(vek->width(), vek->height(), vek->WidthTwips(), vek->HeightTwips()) + hint;
    }
    if (name == "show") { // the panel, or the "surface"
        QWidget& shown = rest == "surface" ? static_cast<QWidget&>(s) : container;
        return shown.show(), QTest::qWaitForWindowExposed(&shown) ? "" : "hidden";
    }
    if (name == "state")
        return run("MaxRows; MaxLines; LedRadius; Enable; OnSetColor; OnClrColor; size; dots; "
                   "sample 8,8");
    if (name == "asked") { // by the last use of the common dialog
        const platform::FileDialogRequest& r = presenter.fileRequests.constLast();
        return words(r.title, r.fileName, r.filters.join(" + "), r.filterIndex);
    }
    if (name == "pixel") { // of the rendered panel
        QImage image(vek->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        vek->render(&image);
        return hex(image.pixel(xy(0)) & 0xFFFFFF);
    }
    if (name == "at") { // at N step: SetAll, with step and SetBit 1,1 run by its Nth yield
        int calls = 0;
        site.SetYieldHook([&] {
            if (++calls == rest.section(' ', 0, 0).toInt())
                run(rest.section(' ', 1) + "; SetBit 1,1");
        });
        vek->SetAll();
        return site.SetYieldHook({}), QString();
    }
    if (name == "registration") { // of a ProgID: its class, event interface and members
        const platform::RegisteredClass cls = platform::ControlHost::FindClass(rest);
        const QJsonValue vek = cls.description["Classes"][0];
        QStringList out{cls.className, vek["EventInterface"]["Name"].toString()};
        for (const QJsonValue m : vek["DefaultInterface"]["Members"].toArray())
            out << m["Name"].toString() + '=' + QString::number(m["DispId"].toInt(), 16);
        return out.join(' ');
    }
    if (name == "create") { // from the bag: whether in the container, its size; or the error
        try {
            QWidget* made =
                platform::ControlHost::CreateControl(rest, &container, &site, &bag)->Widget();
            return words(made->parentWidget() == &container, made->width(), made->height());
        } catch (const platform::PlatformError& e) {
            return words(e.number(), QString(e.what()).contains(rest));
        }
    }
    if (name == "painted") { // whether what was painted since it last looked covers x,y,w,h
        const QRect wanted(xy(0), QSize(args[2].toInt(), args[3].toInt()));
        const bool any = QTest::qWaitFor([&] { return !painted.isEmpty(); }, 1000);
        const bool covered = any && (QRegion(wanted) - painted).isEmpty();
        return painted = QRegion(), covered ? "covered" : "missed";
    }
    if (name == "pressed") { // the surface with the right button and shift, as it reports it
        QSignalSpy spy(&s, &PictureSurface::MouseDown);
        QTest::mousePress(&s, Qt::RightButton, Qt::ShiftModifier, xy(0));
        const QPointF at = spy.value(0).value(2).toPointF();
        return words(spy.size(), spy.value(0).value(0).value<Qt::MouseButton>(), at.x(), at.y());
    }
    // Qt's own dialog over an owner: the entries its type list shows, the one it opens on,
    // whether it is over its owner, and the index it gives back for the first entry chosen.
    if (name == "qtopen") {
        QWidget owner;
        QStringList shown;
        QMetaObject::invokeMethod(
            qApp,
            [&] {
                auto* qt = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (const auto* types = qt->findChild<QComboBox*>("fileTypeCombo"))
                    for (int i = 0; i < types->count(); ++i)
                        shown << types->itemText(i);
                shown << qt->selectedNameFilter() << words(qt->parentWidget() == &owner);
                qt->selectNameFilter(qt->nameFilters().value(0));
                qt->selectFile("pointillo-none.dot");
                static_cast<QDialog*>(qt)->accept();
            },
            Qt::QueuedConnection);
        const auto chosen = platform::QtDialogPresenter().ShowOpen(
            {{}, platform::TranslateFilter(rest), 1, {}, &owner});
        return shown.join(' ') + ' ' + words(chosen ? chosen->filterIndex : -1);
    }
    if (name == "Print") { // gives the lines the drawing position moved down
        const double top = s.CurrentY();
        s.SetFontName("DejaVu Sans"), s.Print(rest);
        const double line = QFontMetricsF(s.DrawFont(), &s.Image()).height();
        return words(s.CurrentX(), (s.CurrentY() - top) / line);
    }
    if (name == "count") { // the pixels of a colour
        int n = 0;
        for (int y = 0; y < s.Image().height(); ++y)
            for (int x = 0; x < s.Image().width(); ++x)
                n += hex(s.Point(x, y)) == rest;
        return QString::number(n);
    }
    if (name == "picture") { // a black picture w x h at a device pixel ratio, painted at x,y
        QImage picture(args[0].toInt(), args[1].toInt(), QImage::Format_RGB32);
        const double ratio = args[2].toDouble();
        picture.fill(Qt::black), picture.setDevicePixelRatio(ratio);
        picture.setDotsPerMeterX(int(3780 * ratio)), picture.setDotsPerMeterY(int(3780 * ratio));
        s.PaintPicture(QImage(), 0, 0); // nothing to paint
        return s.PaintPicture(picture, arg(3), arg(4)), QString();
    }
    const QHash<QString, std::function<QString()>> steps{
        // The control: what only its class shows, a host's press in twips and click, its life
        // cycle, saved form (to and from the bag), and what it told its site.
        {"sample", [&] { return hex(vek->SampleDot(args[0].toInt(), args[1].toInt())); }},
        {"click",
         [&] { return vek->MouseDown(1, 0, arg(0), arg(1)), vek->ClickNotification(), ""; }},
        {"down", [&] { return words(vek->DownX(), vek->DownY()); }},
        {"init", [&] { return vek->InitProperties(), ""; }},
        {"load", [&] { return vek->ReadProperties(bag), ""; }},
        {"save", [&] { return vek->WriteProperties(bag), ""; }},
        {"forget", [&] { return events.clear(), site.ResetCounts(), painted = {}, ""; }},
        {"yields", [&] { return QString::number(site.YieldCount()); }},
        {"grab", [&] { return hex(s.grab().toImage().pixel(xy(0)) & 0xFFFFFF); }},
        // The property bag and the conversions of stored values to a Byte, a Long, a Boolean.
        {"write",
         [&] { return bag.WriteProperty(rest.section(',', 0, 0), args[1], args.value(2)), ""; }},
        {"read", [&] { return bag.ReadProperty(rest, 77).toString(); }},
        {"has", [&] { return QString::number(bag.Contains(rest)); }},
        {"keys", [&] { return bag.Keys().join(','); }},
        {"text", [&] { return bag.ToText().replace('\n', '/'); }},
        {"parse",
         [&] { return bag = PropertyBag::FromText(QString(rest).replace('/', '\n')), ""; }},
        {"byte", [&] { return QString::number(platform::ToByte(args[0])); }},
        {"long", [&] { return QString::number(platform::ToLong(args[0])); }},
        {"boolean", [&] { return QString::number(platform::ToBoolean(args[0])); }},
        {"filter", [&] { return platform::TranslateFilter(rest).join(" + "); }},
        // The common dialog: the presenter's next answers, properties, uses, what it was asked.
        {"confirm", [&] { return presenter.confirm(rest), ""; }},
        {"cancel", [&] { return presenter.cancel(), ""; }},
        {"fail", [&] { return presenter.fail(rest.toInt()), ""; }},
        {"CancelError", [&] { return d.SetCancelError(true), ""; }},
        {"FilterIndex", [&] { return d.SetFilterIndex(rest.toInt()), ""; }},
        {"ShowOpen", [&] { return d.ShowOpen(), ""; }},
        {"ShowSave", [&] { return d.ShowSave(), ""; }},
        {"ShowFont", [&] { return presenter.fontAnswers = {std::nullopt}, d.ShowFont(), ""; }},
        {"dialog",
         [&] { return words(d.FileName(), d.FilterIndex(), d.FontName(), d.FontBold()); }},
        // The surface.
        {"resize", [&] { return s.resize(args[0].toInt(), args[1].toInt()), ""; }},
        {"frame", // 2 px wide
         [&] { return s.setFrameStyle(QFrame::Box | QFrame::Plain), s.setLineWidth(2), ""; }},
        {"scale", [&] { return words(s.ScaleWidth(), s.ScaleHeight()); }},
        {"image", [&] { return words(s.Image().logicalDpiY(), int(s.Image().format())); }},
        {"back", [&] { return s.SetBackColor(rest.toUInt(nullptr, 16)), ""; }},
        {"PSet",
         [&] { return s.PSet(arg(0), arg(1), rest.section(',', 2).toUInt(nullptr, 16)), ""; }},
        {"Point", [&] { return hex(s.Point(arg(0), arg(1))); }},
        {"DrawWidth", [&] { return s.SetDrawWidth(rest.toInt()), ""; }},
        {"FontSize", [&] { return s.SetFontSize(args[0].toDouble()), ""; }},
        {"moveto", [&] { return s.SetCurrentX(arg(0)), s.SetCurrentY(arg(1)), ""; }},
        {"pos", [&] { return words(s.CurrentX(), s.CurrentY()); }},
        {"Cls", [&] { return s.Cls(), ""; }},
    };
    if (steps.contains(name))
        return steps[name]();
    static QHash<QString, int> ids; // as a late-binding host finds them, in the registration
    for (const QString& m :
         ids.isEmpty() ? step("registration", {}, kivaro::kProgId, {}).split(' ') : QStringList())
        ids.insert(m.section('=', 0, 0), m.section('=', 1).toInt(nullptr, 16));
    const InvokeKind how = kind == "="   ? InvokeKind::PropertyPut
                           : kind == "?" ? InvokeKind::PropertyGet
                                         : InvokeKind::Method;
    QVariantList inOut = args;
    QString result = vek->Invoke(ids.value(name, 0x60030099), how, inOut).toString();
    if (how != InvokeKind::PropertyPut && !inOut.isEmpty())
        result += '@' + QVariant(inOut).toStringList().join(',');
    return result;
}

} // namespace

class TstControl : public QObject {
    Q_OBJECT

private slots:
    // One case a line, as "what it pins: script => what it gives back | the events the control
    // raised | the properties the host was told of" (the last two when there are any); a line
    // that begins with spaces goes on the one before.
    void scripts_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("outcome");
        static const QByteArray table = R"(
# The library describes its class, found by ProgID in any case: its interfaces and identifiers.
the registration: registration zorvik_vekdisplay.VEK => Vek __Vek MaxLines=68030007
    MaxRows=68030006 SetBit=60030009 ClrBit=6003000a SetAll=6003000b ClrAll=6003000c
    Bit=6003000d OnSetColor=68030005 OnClrColor=68030004 LedRadius=68030003 Enable=68030002
    Clr=60030016
an unknown ProgID makes nothing: create Zorvik_VekDisplay.Nothing => 429 true
a control made from a stored form loads it: parse maxlines = 16; create Zorvik_VekDisplay.Vek
    => true 112 224
# The control, new: 8 x 8 dots, red (ff) on dark red (50), radius 4. Coordinates are corrected
# to the nearest dot of the border.
SetBit corrects to the border: SetBit 5,6; SetBit 0,0; SetBit 200,3; SetBit 3,255; dots
    => @5,6 @1,1 @8,3 @3,8 1,1 8,3 5,6 3,8 | Changed,Changed,Changed,Changed |
Bit corrects and reads: SetBit 8,8; Bit 200,200; Bit 9,0 => @8,8 1@8,8 0@8,1 | Changed |
ClrBit corrects and clears: SetBit 1,8; ClrBit 0,9; dots => @1,8 @1,8 none | Changed,Changed |
SetAll, ClrAll and Clr: SetAll; dots; ClrAll; dots; SetAll; Clr; dots
    => all none none | Changed,Changed,Changed |
# Sampling finds the last disc painted at a dot, the background after a clear, nothing off it.
unlit dots sample the unlit colour, off the panel nothing: sample 8,8; sample 0,1; sample 1,0;
    sample 9,1; sample 1,9 => 50 ffffffff ffffffff ffffffff ffffffff
Clr leaves the background, and SetBit paints a disc on it: SetAll; Clr; sample 4,4; dots;
    SetBit 2,2; sample 2,2; dots => 202020 none @2,2 ff 2,2 | Changed,Changed |
a new unlit colour repaints every dot: SetAll; OnClrColor=0x8080; sample 8,8; dots
    => 8080 none | Changed | OnClrColor
a colour's high byte is lost on the surface: OnSetColor=0x010000FF; SetBit 1,1; sample 1,1; dots
    => @1,1 ff none | Changed | OnSetColor
a new lit colour puts every dot out, equal colours light them: SetAll; OnSetColor=255; dots;
    OnSetColor=0x50; dots => none all | Changed | OnSetColor,OnSetColor
MaxLines 0 is 1, MaxRows 255 is 254, LedRadius 0 is 1, and each puts every dot out: SetAll;
    MaxLines=0; MaxLines; dots; SetAll; MaxRows=255; MaxRows; dots; SetAll; LedRadius=0;
    LedRadius; dots => 1 none 254 none 1 none | Changed,Changed,Changed,Changed,Changed
    | MaxLines,MaxRows,LedRadius
SetAll lights every dot, and Enable repaints nothing: SetAll; sample 8,1; Enable=false; Enable;
    dots => ff false all | Changed | Enable
Bit changes nothing: SetAll; Bit 1,1; dots => 1@1,1 all | Changed |
InitProperties starts over: MaxLines=3; LedRadius=9; Enable=false; OnSetColor=1; SetAll; init;
    state => 8 8 4 true 255 80 90 90 1344 1344 none 50
    | Changed,Changed | MaxLines,LedRadius,Enable,OnSetColor
counts put read back corrected: MaxLines=255; MaxLines?; MaxLines; MaxRows=0; MaxRows?
    => 254 254 1 | Changed,Changed | MaxLines,MaxRows
colours, LedRadius and Enable put read back: OnSetColor=0xFF00FF; OnClrColor=0x800080;
    OnSetColor?; OnClrColor; LedRadius=7; LedRadius?; Enable=false; Enable?
    => 16711935 8388736 7 false |  | OnSetColor,OnClrColor,LedRadius,Enable
300 into a Byte overflows: MaxRows=300; MaxRows => E6 8
# A call the interface does not have fails and changes nothing.
members it lacks and calls as the wrong kind fail with 438: SetBit 2,2; Nothing; SetAll=1;
    Bit=1,1; SetBit? 1,1; ClrBit? 2,2; SetAll?; ClrAll?; dots
    => @2,2 E438 E438 E438 E438 E438 E438 E438 2,2 | Changed |
the wrong number of arguments fails with 450: SetBit 2,2; SetBit 1; SetAll 1; MaxRows? 1;
    MaxRows=; dots => @2,2 E450 E450 E450 E450 2,2 | Changed |
a text coordinate fails with 13: SetBit 2,2; Bit x,1; dots => @2,2 E13 2,2 | Changed |
# A host's click toggles the dot of the cell (168 twips) of the last press; off the panel too.
clicks on cells: click 0,0; dots; click 167,167; dots; click 168,0; click 167.5,167.5;
    click 1343,1343; dots; click 1343,1343; dots
    => 1,1 none 2,1 2,2 8,8 2,1 2,2 | click,click,click,click,click,click |
clicks off the panel: click 5000,10; click 10,5000; click -500,10; click 10,-500; dots
    => none | click,click,click,click |
a click after Clr lights the dot: Clr; click 10,10; dots => 1,1 | click |
a click with editing off toggles nothing: Enable=false; click 10,10; dots => none | Click | Enable
# A left press and release over the panel (89.6 px of 90) clicks the cell of the press (twips).
a left press and release, and a second release is no click: press 12,5; down; release 12,5;
    release 12,5; dots => 180 75 2,1 | click |
a release in the panel's last half pixel: press 89.4,89.4; down; release 89.55,89.55; dots
    => 1341 1341 8,8 | click |
a right press is no click: press 12,5,right; down; release 12,5,right; release 12,5; dots
    => 180 75 none
releases on the first pixel click, just right of and below the panel or without a press not:
    press 12,5; release 0,0; press 12,5; release 90,5; press 12,5; release 12,90; release 12,5;
    dots => 2,1 | click |
# The saved form holds what differs from 8 x 8, red on dark red, radius 5, editing on; never the
# pattern, which a load puts out.
a new control saves its radius: SetAll; save; text => ledradius = 4/ | Changed |
a changed control saves what differs: MaxLines=16; MaxRows=32; LedRadius=5; Enable=false;
    OnSetColor=0xFF00; OnClrColor=0x8000; forget; save; text
    => maxlines = 16/maxrows = 32/enable = 0/onsetcolor = 65280/onclrcolor = 32768/
an empty form loads the defaults: MaxLines=20; MaxRows=20; SetAll; forget; load; state
    => 8 8 5 true 255 80 112 112 1680 1680 none 50
a saved form loads what it holds: MaxLines=20; MaxRows=20; SetAll; forget;
    parse maxlines = 16/maxrows = 32/enable = 0/onsetcolor = 65280/onclrcolor = 32768; load;
    state
    => 32 16 5 false 65280 32768 448 224 6720 3360 none 8000
# A bad stored value ends the load with its error; what was read before it stays.
MaxLines 300 fails the load: MaxLines=20; MaxRows=20; SetAll; forget; parse maxlines = 300; load;
    MaxRows; MaxLines; Enable; dots => E6 20 20 true all
MaxRows -1 fails the load: MaxLines=20; MaxRows=20; SetAll; forget;
    parse maxlines = 12/maxrows = -1; load; MaxRows; MaxLines; Enable; dots
    => E6 20 12 true all
Enable text fails the load: MaxLines=20; MaxRows=20; SetAll; forget;
    parse MaxLines=12/ENABLE = yes; load; MaxRows; MaxLines; Enable; dots
    => E13 8 12 true all
# A shown panel asks for a repaint of at least the disc that changed: at r5 (pitch 14 px, radius
# 6.67 px) a disc is drawn around the middle of the pixel its centre falls in.
a shown panel repaints the changed disc: LedRadius=5; show; forget; SetBit 2,2;
    painted 14,14,15,15; SetBit 5,3; painted 56,28,15,15
    => @2,2 covered @5,3 covered | Changed,Changed |
# The panel is 42 * r twips a dot, its widget that in whole pixels, whatever a host asks.
8 x 8 r4 is 89.6 px: size; show; size => 90 90 1344 1344 90 90 1344 1344
10 rows, 3 lines, r1 are 8.4 px high; radius 0 is 1: LedRadius=1; MaxRows=10; MaxLines=3; forget;
    size; LedRadius=0; MaxRows=16; MaxLines=16; forget; size => 28 8 420 126 45 45 672 672
254 x 254 r255: LedRadius=255; MaxRows=254; MaxLines=254; forget; size
    => 181356 181356 2720340 2720340
# A full-panel paint yields after each line when both counts exceed 150.
151 x 151 and 254 x 254 yield: LedRadius=1; MaxRows=151; MaxLines=151; forget; SetAll; yields;
    ClrAll; yields; dots; MaxRows=254; MaxLines=254; forget; SetAll; yields; dots
    => 151 302 none 254 all | Changed |
150 lines or rows do not yield: LedRadius=1; MaxRows=254; MaxLines=150; forget; SetAll;
    yields; MaxLines=254; MaxRows=150; forget; SetAll; yields => 0 0 | Changed |
# A handler run by a yield of SetAll changes the panel: the paint goes on with its own geometry,
# drops what falls off, and paints in the fill colour, which the handler's SetBit 1,1 leaves.
rows shrink in a yield: LedRadius=1; MaxRows=254; MaxLines=254; forget; at 10 MaxRows=3;
    MaxRows; MaxLines; Bit 1,1; Bit 3,11; Bit 3,254; Bit 2,10
    => 3 254 1@1,1 1@3,11 1@3,254 0@2,10 | Changed,Changed,Changed | MaxRows
lines shrink in a yield: LedRadius=1; MaxRows=254; MaxLines=254; forget; at 10 MaxLines=2;
    MaxRows; MaxLines; Bit 1,1; Bit 254,2
    => 254 2 1@1,1 0@254,2 | Changed,Changed,Changed | MaxLines
rows grow in a yield: LedRadius=1; MaxRows=160; MaxLines=254; forget; at 1 MaxRows=254;
    MaxRows; Bit 254,2; Bit 2,1 => 254 1@254,2 0@2,1 | Changed,Changed,Changed | MaxRows
# Old discs (pitch 882, radius 420 twips) over new dots (pitch 42): old line 2 is centred on new
# line 32, old columns 1 and 2 on new columns 11 and 32; a dot on the rim counts.
the radius shrinks in a yield: LedRadius=21; MaxRows=254; MaxLines=254; forget;
    at 1 LedRadius=1; Bit 1,32; Bit 21,32; Bit 11,22; Bit 11,42; Bit 1,22; Bit 2,1; Bit 1,2;
    Bit 11,21; Bit 32,32 => 1@1,32 1@21,32 1@11,22 1@11,42 0@1,22 0@2,1 0@1,2 0@11,21 1@32,32
    | Changed,Changed | LedRadius
# Growing from pitch 84 to 126, old line 3 and old column 253, the last, fall on new line 2
# and new column 169.
the radius grows in a yield: LedRadius=2; MaxRows=253; MaxLines=254; forget; at 1 LedRadius=3;
    Bit 169,2 => 1@169,2 | Changed,Changed | LedRadius
# Discs of the stored colours on the background, small ones exactly at the centre. Pitch and
# radius: 28 and 13.3 px at r10, 14 and 6.7 at r5, 2.8 and 1.3 at r1.
discs at r10: MaxRows=2; MaxLines=2; LedRadius=10; forget; SetBit 2,1; pixel 14,14;
    pixel 42,14; pixel 42,42; pixel 0,0; pixel 42,31
    => @2,1 500000 ff0000 500000 202020 500000 | Changed |
discs redrawn at r5: MaxRows=2; MaxLines=2; LedRadius=10; SetBit 1,2; LedRadius=5; forget;
    SetBit 2,2; pixel 7,7; pixel 7,21; pixel 21,21; pixel 14,14
    => @1,2 @2,2 500000 500000 ff0000 202020 | Changed |
no discs after Clr: MaxRows=2; MaxLines=2; LedRadius=5; SetBit 2,2; Clr; forget; pixel 21,21;
    pixel 7,7 => @2,2 202020 202020
discs at r1: MaxRows=2; MaxLines=1; LedRadius=1; forget; SetBit 1,1; pixel 1,1; pixel 4,1
    => @1,1 ff0000 500000 | Changed |
# The bag stores what differs from the default given, under its key in lower case, matched in
# any case; the default drops the entry; a key not stored reads the default.
a number is stored when it differs from the default, in any type: write OnSetColor,8.0,8;
    has onsetcolor; write OnSetColor,4,5; has ONSETCOLOR; read onSetColor; keys => 0 1 4 onsetcolor
text and Booleans are stored when they differ, and a value without a default: write Name,a,a;
    read name; write Name,x,0; read name; write Enable,false,true; read enable;
    write Other,0,none; read other => 77 x false 0
writing the default drops the entry: write Name,4,5; write NAME,5,5; keys; read name => 77
# Its saved form: a line a value, a Boolean as -1 or 0; read back, trimmed, numbers are numbers.
the saved form holds the last value of each key: write MaxLines,16,8; write MaxLines,17,8;
    write Enable,false,true; write Other,true,false; text
    => maxlines = 17/enable = 0/other = -1/
the saved form reads back: parse maxlines = 17//  name_2 =  some text  /; keys; read NAME_2;
    read maxlines => maxlines,name_2 some text 17
an unreadable line fails the load: parse a = 1/not a property; keys => E13
# Conversions ("E6": overflow, "E13": type mismatch); numbers round half to even.
zero and the top of a byte: byte 0; long 0; boolean 0; byte 255; long 255; boolean 255
    => 0 0 0 255 255 1
beyond a byte: byte 256; long 256; byte -1; long -1; boolean -1 => E6 256 E6 -1 1
true is minus one: byte true; long true; boolean true => E6 -1 1
numeric text: byte "16"; long "16"; boolean "16" => 16 16 1
halves to even: byte 2.5; long 3.5; byte 0.5 => 2 4 0
the ends of a long: long 2147483647.0; long 2147483648.0; long -2147483648.0; long -2147483649.0
    => 2147483647 E6 -2147483648 E6
text and infinity mismatch: byte green; long green; boolean green; boolean inf; long inf
    => E13 E13 E13 E13 E13
# Filter text becomes Qt's entries; a description without patterns is refused.
the picture import filter: filter 图象文件(*.jpg,*.bmp,*.ico)|*.jpg;*.bmp;*.ico|所有文件（*.*）|*.*
    => 图象文件(*.jpg,*.bmp,*.ico) (*.jpg *.bmp *.ico) + 所有文件（*.*） (*.*)
an empty filter: filter  =>
spaces and empty patterns: filter Text| *.txt ;;*.log => Text (*.txt *.log)
a description only, an odd number of fields, blank patterns: filter Pictures;
    filter Dot|*.dot|All; filter Dot| ;|All|*.* => E20001 E20001 E20001
# One dialog shared by every user, keeping what a use leaves; a cancel changes nothing and, with
# CancelError, is the cancel error (32755).
Qt's dialog shows each description once, over its owner: qtopen 点阵文件（*.dot）|*.dot|所有文件（*.*）|*.*
    => 点阵文件（*.dot） 所有文件（*.*） 所有文件（*.*） true 0
an open confirmed: FilterIndex 2; confirm /p/b.bmp; ShowOpen; dialog; asked
    => /p/b.bmp 1 DejaVu Sans true 保存点阵文件 /t/A.dot Dot (*.dot) + All (*.*) 1
indexes past the filters and 0 offer the first: FilterIndex 3; confirm /p/b.bmp; ShowSave;
    asked; FilterIndex 0; confirm /p/b.bmp; ShowSave; asked
    => 保存点阵文件 /t/A.dot Dot (*.dot) + All (*.*) 0 保存点阵文件 /p/b.bmp Dot (*.dot) + All (*.*) 0
quiet cancels: cancel; ShowSave; ShowFont; dialog => /t/A.dot 1 DejaVu Sans true
cancels with CancelError: CancelError; cancel; ShowSave; ShowFont; fail 57; ShowOpen; dialog
    => E32755 E32755 E57 /t/A.dot 1 DejaVu Sans true
# The surface's scale is its inner area; it keeps what was drawn when it grows.
the scale is the inner area: PSet 9,9,0; resize 20,12; Point 9,9; Point 19,11; frame; scale;
    image => 0 808080 16 8 96 4
# A point reads the pixel that contains it; nothing is drawn outside.
points inside: PSet 0.5,5,0; PSet 1.5,5,1; PSet 9.5,5,9; Point 0,5; Point 0.999,5; Point 9.999,5
    => 0 0 9
the right edge: Point 10,5; PSet 10,5,ff; count ff; pos => none 0 10 5
left, above, below and far beyond: Point -0.001,5; Point 4,-0.25; Point 4,10; Point 3e20,5;
    PSet -0.001,5,ff; PSet 4,-0.25,ff; PSet 4,10,ff; PSet 3e20,5,ff; count ff
    => none none none none 0
not a number: Point nan,5; PSet nan,5,ff; DrawWidth 3; PSet nan,5,ff; count ff => none 0
# A dot DrawWidth pixels across: the pixels centred within half the width of the pixel set's.
a dot 4 across at the top-left corner: DrawWidth 4; PSet 0.5,0.5,ff; count ff; Point 2,0;
    Point 1,1; Point 2,1 => 6 ff ff 808080
a dot 4 across at the bottom-right corner: resize 10,8; DrawWidth 4; PSet 9.5,7.5,ff; count ff;
    Point 7,7; Point 8,6; Point 7,6 => 6 ff ff 808080
a dot 5 across on the left edge: DrawWidth 5; PSet 0.5,4.5,ff; count ff; Point 2,3; Point 2,2
    => 13 ff 808080
dots 2 across in the middle and 3 on the right edge: DrawWidth 2; PSet 4.5,4.5,ff; count ff;
    Point 4,3; Point 5,5; Cls; DrawWidth 3; PSet 9.5,4.5,ff; count ff; Point 8,5; Point 7,4
    => 5 ff 808080 6 ff 808080
# A picture pixel is a surface pixel, whatever its device pixel ratio (2 for a file "@2x").
a picture at 96 dpi: resize 12,12; back ffffff; picture 7,5,1,2,3; count 0; Point 2,3; Point 8,7;
    Point 1,3; Point 2,2; Point 9,7; Point 8,8 => 35 0 0 ffffff ffffff ffffff ffffff
pictures named @2x and @3x: resize 12,12; picture 7,5,2,2,3; count 0; Point 8,7; Cls;
    picture 7,5,3,2,3; count 0; Point 8,7 => 35 0 35 0
a drawing width below 1 is refused: DrawWidth 0; DrawWidth 1; DrawWidth 0 => E380 E380
font sizes out of range are refused:
    FontSize 0; FontSize -1; FontSize 2048; FontSize nan; FontSize 2047
    => E380 E380 E380 E380
# A shown surface paints what is drawn (red in the low byte) and reports presses, in its frame.
a shown surface paints and reports presses: resize 50,40; frame; show surface; forget; PSet 3,4,ff;
    painted 5,6,1,1; grab 5,6; PSet 3,4,ff0000; painted 5,6,1,1; grab 5,6; pressed 12,7
    => covered ff0000 covered ff 1 2 10 5
# Cls clears to the back colour and moves to the origin; Print starts a line, at 96 dpi.
print and clear: resize 60,40; back 123456; FontSize 12; moveto 30,5; Print x; Cls; pos;
    count 123456
    => 0 1 0 0 2400
)";
        const QString text = QString::fromUtf8(table).replace(QRegularExpression("\n +"), " ");
        for (const QString& line : text.split('\n')) {
            const qsizetype colon = line.indexOf(':'), arrow = line.lastIndexOf("=>");
            if (colon > 0 && !line.startsWith('#'))
                QTest::newRow(qPrintable(line.left(colon)))
                    << line.mid(colon + 1, arrow - colon - 1).trimmed()
                    << line.mid(arrow + 2).trimmed().replace("click", "Click,Edited,Changed");
        }
    }
    void scripts() {
        QFETCH(QString, script);
        QFETCH(QString, outcome);
        Fixture f;
        const QString got = f.run(script);
        f.vek->Unadvise(&f);
        f.vek->SetAll();
        const QString events = f.events.join(','), told = f.site.Notifications().join(',');
        const QString heard = got + " | " + events + " | " + told;
        QCOMPARE(events.isEmpty() && told.isEmpty() ? got : heard.trimmed(), outcome);
    }
};

QTEST_MAIN(TstControl)
#include "tst_control.moc"
