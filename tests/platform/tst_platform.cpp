// The platform layer as the control and the window use it: the property bag and its
// conversions, the filter text, the shared common dialog, and the picture surface.

#include "common/ScriptedDialogs.h"
#include "platform/CommonDialog.h"
#include "platform/PictureSurface.h"
#include "platform/PropertyBag.h"

#include <QTest>

#include <cmath>
#include <functional>
#include <memory>

using platform::PictureSurface;
using platform::PlatformError;

namespace {

QVariant value(const QString& text) {
    bool isNumber = false;
    const double number = text.toDouble(&isNumber);
    if (text == "true" || text == "false" || text == "none")
        return text == "none" ? QVariant() : QVariant(text == "true");
    if (text == "inf" || text == "nan")
        return text == "inf" ? INFINITY : NAN;
    if (text.startsWith('"'))
        return text.mid(1).chopped(1);
    if (text.endsWith('u'))
        return QVariant::fromValue<quint8>(quint8(text.chopped(1).toInt()));
    const bool isInt = isNumber && !text.contains('.') && std::abs(number) < 2147483648.0;
    return isInt ? QVariant(int(number)) : isNumber ? QVariant(number) : QVariant(text);
}

// One bag, one common dialog over a scripted presenter, and one 10 x 10 grey surface.
struct Fixture {
    platform::PropertyBag bag;
    testing::ScriptedDialogs presenter;
    platform::CommonDialog dialog{presenter};
    std::unique_ptr<PictureSurface> surface = std::make_unique<PictureSurface>();

    Fixture() { surface->resize(10, 10), surface->SetBackColor(0x808080); }
    QString run(const QString& script);
    QString step(const QString& name, const QString& rest, const QVariantList& args);
};

// Runs the steps of a script, separated by "; ", and gives what they give back, separated by
// spaces, or "E" and the error a step failed with. A step is a name and its arguments,
// separated by ",": numbers, inf, nan, true, false, none (no value), a byte (8u) and
// "quoted" text.
QString Fixture::run(const QString& script) {
    QStringList out;
    for (const QString& part : script.split("; ")) {
        const QString name = part.section(' ', 0, 0), rest = part.section(' ', 1);
        QVariantList args;
        for (const QString& arg : rest.split(','))
            args << value(arg.trimmed());
        try {
            out << step(name, rest, args);
        } catch (const PlatformError& e) {
            out << QStringLiteral("E%1").arg(e.number());
        }
    }
    out.removeAll(QString());
    return out.join(' ');
}

QString Fixture::step(const QString& name, const QString& rest, const QVariantList& args) {
    const auto arg = [&](int i) { return args.value(i).toFloat(); };
    const auto hex = [](std::optional<std::uint32_t> c) {
        return c ? QString::number(*c, 16) : QStringLiteral("none");
    };
    PictureSurface& s = *surface;
    const QHash<QString, std::function<QString()>> steps{
        // The property bag and the conversions of stored values to a Byte, a Long, a Boolean.
        {"write",
         [&] {
             return bag.WriteProperty(rest.section(',', 0, 0), args[1], args.value(2)), QString();
         }},
        {"read", [&] { return bag.ReadProperty(rest, 77).toString(); }},
        {"has", [&] { return QString::number(bag.Contains(rest)); }},
        {"keys", [&] { return bag.Keys().join(','); }},
        {"text", [&] { return bag.ToText().replace('\n', '/'); }},
        {"load",
         [&] {
             return bag = platform::PropertyBag::FromText(QString(rest).replace('/', '\n')),
                    QString();
         }},
        {"byte", [&] { return QString::number(platform::ToByte(args[0])); }},
        {"long", [&] { return QString::number(platform::ToLong(args[0])); }},
        {"boolean", [&] { return QString::number(platform::ToBoolean(args[0])); }},
        {"filter", [&] { return platform::TranslateFilter(rest).join(" + "); }},
        // The common dialog: the presenter's next answers, properties, uses, what it was asked.
        {"confirm", [&] { return presenter.confirm(rest), QString(); }},
        {"cancel", [&] { return presenter.cancel(), QString(); }},
        {"fail", [&] { return presenter.fail(rest.toInt()), QString(); }},
        {"CancelError", [&] { return dialog.SetCancelError(true), QString(); }},
        {"FilterIndex", [&] { return dialog.SetFilterIndex(rest.toInt()), QString(); }},
        {"ShowOpen", [&] { return dialog.ShowOpen(), QString(); }},
        {"ShowSave", [&] { return dialog.ShowSave(), QString(); }},
        {"ShowFont",
         [&] { return presenter.fontAnswers = {std::nullopt}, dialog.ShowFont(), QString(); }},
        {"dialog",
         [&] {
             return QStringLiteral("%1 %2 %3 %4")
                 .arg(dialog.FileName())
                 .arg(dialog.FilterIndex())
                 .arg(dialog.FontName())
                 .arg(dialog.FontBold());
         }},
        {"asked",
         [&] {
             const platform::FileDialogRequest& asked = presenter.fileRequests.value(0);
             return QStringList{asked.title, asked.fileName, asked.filters.join(" + "),
                                QString::number(asked.filterIndex)}
                 .join(" | ");
         }},
        // The surface.
        {"resize", [&] { return s.resize(args[0].toInt(), args[1].toInt()), QString(); }},
        {"frame",
         [&] {
             return s.setFrameStyle(QFrame::Box | QFrame::Plain), s.setLineWidth(rest.toInt()),
                    QString();
         }},
        {"scale", [&] { return QStringLiteral("%1x%2").arg(s.ScaleWidth()).arg(s.ScaleHeight()); }},
        {"image",
         [&] {
             return QStringLiteral("%1dpi %2").arg(s.Image().logicalDpiY()).arg(s.Image().format());
         }},
        {"back", [&] { return s.SetBackColor(rest.toUInt(nullptr, 16)), QString(); }},
        {"PSet",
         [&] {
             return s.PSet(arg(0), arg(1), rest.section(',', 2).toUInt(nullptr, 16)), QString();
         }},
        {"Point", [&] { return hex(s.Point(arg(0), arg(1))); }},
        {"DrawWidth", [&] { return s.SetDrawWidth(rest.toInt()), QString(); }},
        {"FontSize", [&] { return s.SetFontSize(args[0].toDouble()), QString(); }},
        {"at", [&] { return s.SetCurrentX(arg(0)), s.SetCurrentY(arg(1)), QString(); }},
        {"pos", [&] { return QStringLiteral("%1,%2").arg(s.CurrentX()).arg(s.CurrentY()); }},
        {"Cls", [&] { return s.Cls(), QString(); }},
        {"ramp",
         [&] { // column c of line 5 takes colour c
             for (int c = 0; c < s.width(); ++c)
                 s.PSet(float(c) + 0.5f, 5, std::uint32_t(c));
             return QString();
         }},
        {"Print",
         [&] { // gives the lines the drawing position moved down
             const double top = s.CurrentY();
             s.SetFontName("DejaVu Sans"), s.Print(rest);
             const double line = QFontMetricsF(s.DrawFont(), &s.Image()).height();
             return QStringLiteral("%1,%2").arg(s.CurrentX()).arg((s.CurrentY() - top) / line);
         }},
        {"count",
         [&] { // the pixels of a colour
             int n = 0;
             for (int y = 0; y < s.Image().height(); ++y)
                 for (int x = 0; x < s.Image().width(); ++x)
                     n += hex(s.Point(x, y)) == rest;
             return QString::number(n);
         }},
        {"picture",
         [&] { // a black picture w x h at a device pixel ratio, painted at x,y
             QImage picture(args[0].toInt(), args[1].toInt(), QImage::Format_RGB32);
             picture.fill(Qt::black);
             picture.setDevicePixelRatio(args[2].toDouble());
             picture.setDotsPerMeterX(int(3780 * args[2].toDouble()));
             picture.setDotsPerMeterY(int(3780 * args[2].toDouble()));
             s.PaintPicture(QImage(), 0, 0); // nothing to paint
             return s.PaintPicture(picture, arg(3), arg(4)), QString();
         }},
    };
    return steps.contains(name) ? steps[name]() : "unknown step " + name;
}

} // namespace

class TstPlatform : public QObject {
    Q_OBJECT

private slots:
    // One line a script, as "what it pins: script => what it gives back"; a line that begins
    // with spaces goes on the one before.
    void scripts_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("outcome");
        static const QByteArray table = R"(
# The bag stores only what differs from the default given, under its key in lower case, which
# matches in any case; writing the default drops the entry; a key not stored reads the default.
a byte equal to an int default is not stored: write OnSetColor,8u,8; has onsetcolor => 0
a differing number is stored: write OnSetColor,4,5; has ONSETCOLOR; read onSetColor; keys
    => 1 4 onsetcolor
false against true is stored: write Enable,false,true; read enable => false
equal text is not stored: write Name,a,a; read name => 77
text against a number is stored: write Name,x,0; read name => x
a value without a default is stored: write Name,0,none; read name => 0
writing the default drops the entry: write Name,4,5; write NAME,5,5; keys; read name => 77
# The saved form: one line a stored value, a Boolean as -1 or 0; read back, numbers are numbers
# and text is text without the spaces around it.
the saved form holds the last value of each key: write MaxLines,16,8; write MaxLines,17,8;
    write Enable,false,true; write Other,true,false; text
    => maxlines = 17/enable = 0/other = -1/
the saved form reads back: load maxlines = 17//  name_2 =  some text  /; keys; read NAME_2;
    read maxlines => maxlines,name_2 some text 17
an unreadable line fails the load: load a = 1/not a property; keys => E13
# Conversions ("E6": overflow, "E13": type mismatch); numbers round half to even.
zero converts: byte 0; long 0; boolean 0 => 0 0 0
the top of a byte: byte 255; long 255; boolean 255 => 255 255 1
above a byte: byte 256; long 256 => E6 256
below a byte: byte -1; long -1; boolean -1 => E6 -1 1
true is minus one: byte true; long true; boolean true => E6 -1 1
numeric text: byte "16"; long "16"; boolean "16" => 16 16 1
halves to even: byte 2.5; long 3.5; byte 0.5 => 2 4 0
the top of a long: long 2147483647.0; long 2147483648.0 => 2147483647 E6
the bottom of a long: long -2147483648.0; long -2147483649.0 => -2147483648 E6
text and infinity mismatch: byte green; long green; boolean green; boolean inf; long inf
    => E13 E13 E13 E13 E13
# Filter text becomes Qt's entries; a description without patterns is refused.
the picture import filter: filter 图象文件(*.jpg,*.bmp,*.ico)|*.jpg;*.bmp;*.ico|所有文件（*.*）|*.*
    => 图象文件(*.jpg,*.bmp,*.ico) (*.jpg *.bmp *.ico) + 所有文件（*.*） (*.*)
an empty filter: filter  =>
spaces and empty patterns: filter Text| *.txt ;;*.log => Text (*.txt *.log)
a description only: filter Pictures => E20001
an odd number of fields: filter Dot|*.dot|All => E20001
blank patterns: filter Dot| ;|All|*.* => E20001
# One dialog shared by every user: what a use leaves behind is what the next one starts from;
# a cancel changes nothing and, with CancelError, is the cancel error (32755).
an open confirmed: FilterIndex 2; confirm /p/b.bmp; ShowOpen; dialog; asked
    => /p/b.bmp 1 DejaVu Sans 1 保存点阵文件 | /t/A.dot | Dot (*.dot) + All (*.*) | 1
an index past the filters offers the first: FilterIndex 3; confirm /p/b.bmp; ShowSave; asked
    => 保存点阵文件 | /t/A.dot | Dot (*.dot) + All (*.*) | 0
index 0 offers the first: FilterIndex 0; confirm /p/b.bmp; ShowSave; asked
    => 保存点阵文件 | /t/A.dot | Dot (*.dot) + All (*.*) | 0
a cancelled save: CancelError; cancel; ShowSave; dialog => E32755 /t/A.dot 1 DejaVu Sans 1
a quiet cancel: cancel; ShowSave; dialog => /t/A.dot 1 DejaVu Sans 1
a failing dialog: CancelError; fail 57; ShowOpen; dialog => E57 /t/A.dot 1 DejaVu Sans 1
a cancelled font: CancelError; ShowFont; dialog => E32755 /t/A.dot 1 DejaVu Sans 1
a quiet font cancel: ShowFont; dialog => /t/A.dot 1 DejaVu Sans 1
# The surface's scale is its inner area; it keeps what was drawn when it grows.
the scale is the inner area: PSet 9,9,0; resize 20,12; Point 9,9; Point 19,11; frame 2; scale;
    image => 0 808080 16x8 96dpi 4
# A point reads the pixel that contains it; nothing is drawn outside.
the origin: ramp; Point 0,5 => 0
just below the next pixel: ramp; Point 0.999,5 => 0
the last column: ramp; Point 9.999,5 => 9
the right edge: ramp; Point 10,5; PSet 10,5,ff; count ff; pos => none 0 10,5
just left: Point -0.001,5; PSet -0.001,5,ff; count ff => none 0
above: Point 4,-0.25; PSet 4,-0.25,ff; count ff => none 0
below: Point 4,10; PSet 4,10,ff; count ff => none 0
far beyond: Point 3e20,5; PSet 3e20,5,ff; count ff => none 0
not a number: Point nan,5; PSet nan,5,ff; DrawWidth 3; PSet nan,5,ff; count ff => none 0
# A dot DrawWidth pixels across: every pixel whose centre lies within half the width of the
# centre of the pixel set; what falls beyond the surface is dropped.
a dot 2 across: DrawWidth 2; PSet 4.5,4.5,ff; count ff; Point 4,3; Point 5,5 => 5 ff 808080
a dot 4 across at the top-left corner: DrawWidth 4; PSet 0.5,0.5,ff; count ff; Point 2,0;
    Point 1,1; Point 2,1 => 6 ff ff 808080
a dot 4 across at the bottom-right corner: resize 10,8; DrawWidth 4; PSet 9.5,7.5,ff; count ff;
    Point 7,7; Point 8,6; Point 7,6 => 6 ff ff 808080
a dot 5 across on the left edge: DrawWidth 5; PSet 0.5,4.5,ff; count ff; Point 2,3; Point 2,2
    => 13 ff 808080
a dot 3 across on the right edge: DrawWidth 3; PSet 9.5,4.5,ff; count ff; Point 8,5; Point 7,4
    => 6 ff 808080
# One picture pixel is one surface pixel, whatever its device pixel ratio (Qt reads a file named
# "@2x" as 2) or its stored resolution says.
a picture at 96 dpi: resize 12,12; back ffffff; picture 7,5,1,2,3; count 0; Point 2,3; Point 8,7;
    Point 1,3; Point 2,2; Point 9,7; Point 8,8 => 35 0 0 ffffff ffffff ffffff ffffff
a picture named @2x: resize 12,12; picture 7,5,2,2,3; count 0; Point 8,7 => 35 0
a picture named @3x: resize 12,12; picture 7,5,3,2,3; count 0; Point 8,7 => 35 0
# Unusable values are refused and change nothing.
a drawing width below 1: DrawWidth 0; DrawWidth 1; DrawWidth 0 => E380 E380
font sizes out of range: FontSize 0; FontSize -1; FontSize 2048; FontSize nan; FontSize 2047
    => E380 E380 E380 E380
# Cls clears to the back colour and puts the drawing position at the origin; Print starts a
# new line, at 96 dots per inch whatever the screen.
print and clear: resize 60,40; back 123456; FontSize 12; at 30,5; Print x; Cls; pos; count 123456
    => 0,1 0,0 2400
)";
        QString line;
        const auto add = [&line] {
            const qsizetype colon = line.indexOf(':'), arrow = line.lastIndexOf("=>");
            if (colon > 0)
                QTest::newRow(qPrintable(line.left(colon)))
                    << line.mid(colon + 1, arrow - colon - 1).trimmed()
                    << line.mid(arrow + 2).trimmed();
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
    void scripts() {
        QFETCH(QString, script);
        QFETCH(QString, outcome);
        Fixture f;
        f.dialog.SetDialogTitle("保存点阵文件");
        f.dialog.SetFilter("Dot|*.dot|All|*.*");
        f.dialog.SetFileName("/t/A.dot");
        f.dialog.SetFontName("DejaVu Sans");
        f.dialog.SetFontBold(true);
        QCOMPARE(f.run(script), outcome);
    }
};

QTEST_MAIN(TstPlatform)
#include "tst_platform.moc"
