// The platform pieces the control and the window stand on: the property bag and its saved
// form, the conversions of stored values, the filter text and the shared common dialog, and
// the picture surface.

#include "common/ScriptedDialogs.h"
#include "platform/CommonDialog.h"
#include "platform/PictureSurface.h"
#include "platform/PlatformError.h"
#include "platform/PropertyBag.h"
#include "platform/QtDialogPresenter.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <functional>
#include <limits>

using platform::PictureSurface;
using platform::PropertyBag;

// What a point of the surface reads: a colour 0x00BBGGRR, or nothing outside the surface.
using Pixel = std::optional<std::uint32_t>;

namespace QTest {
template <> inline char* toString(const Pixel& pixel) {
    return qstrdup(pixel ? qPrintable(QStringLiteral("0x%1").arg(*pixel, 6, 16, QChar('0')))
                         : "nothing");
}
} // namespace QTest

namespace {

constexpr int kOverflow = platform::kErrOverflow;
constexpr int kTypeMismatch = platform::kErrTypeMismatch;
constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kRed = 0x0000FF; // 0x00BBGGRR

int errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const platform::PlatformError& e) {
        return e.number();
    }
    return 0;
}

// A 10 x 10 grey surface.
struct GreySurface : PictureSurface {
    GreySurface() {
        resize(10, 10);
        SetBackColor(kGrey);
    }
};

// The pixels of region, a line a string: '#' where the surface has colour, '.' elsewhere.
QStringList picture(const PictureSurface& surface, const QRect& region, std::uint32_t colour) {
    QStringList lines;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        QString line;
        for (int x = region.left(); x <= region.right(); ++x)
            line += QLatin1Char(surface.Point(x, y) == colour ? '#' : '.');
        lines << line;
    }
    return lines;
}

int pixelsOf(const PictureSurface& surface, std::uint32_t colour) {
    const QRect all(0, 0, int(surface.ScaleWidth()), int(surface.ScaleHeight()));
    return int(picture(surface, all, colour).join(QString()).count('#'));
}

// The common dialog set up as the window sets it before saving, over a scripted presenter.
struct SaveDialog {
    testing::ScriptedDialogs presenter;
    platform::CommonDialog dialog{presenter};
    SaveDialog() {
        dialog.SetDialogTitle("保存点阵文件");
        dialog.SetFilter("Dot|*.dot|All|*.*");
        dialog.SetFileName("/t/A.dot");
        dialog.SetFontName("DejaVu Sans");
        dialog.SetFontBold(true);
    }
};

} // namespace

class tst_Platform : public QObject {
    Q_OBJECT

private slots:
    // ---- The property bag ----

    void aValueEqualToItsDefaultIsNotStored_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("defaultValue");
        QTest::addColumn<bool>("stored");
        QTest::newRow("8.0 and 8") << QVariant(8.0) << QVariant(8) << false;
        QTest::newRow("4 and 5") << QVariant(4) << QVariant(5) << true;
        QTest::newRow("the same text") << QVariant("a") << QVariant("a") << false;
        QTest::newRow("text and a number") << QVariant("x") << QVariant(0) << true;
        QTest::newRow("a value without a default") << QVariant(0) << QVariant() << true;
    }
    void aValueEqualToItsDefaultIsNotStored() {
        QFETCH(QVariant, value);
        QFETCH(QVariant, defaultValue);
        QFETCH(bool, stored);
        PropertyBag bag;
        bag.WriteProperty("Name", value, defaultValue);
        QCOMPARE(bag.Contains("name"), stored);
        QCOMPARE(bag.ReadProperty("name", 77), stored ? value : QVariant(77));
    }

    // A line a value, keys in lower case, a Boolean as -1 or 0; writing the default, under any
    // case of the key, drops the stored entry.
    void theSavedFormHoldsTheLastValueOfEachKey() {
        PropertyBag bag;
        bag.WriteProperty("MaxLines", 16, 8);
        bag.WriteProperty("MAXLINES", 17, 8);
        bag.WriteProperty("Radius", 4, 5);
        bag.WriteProperty("Enable", false, true);
        bag.WriteProperty("Other", true, false);
        bag.WriteProperty("radius", 5, 5);
        QCOMPARE(bag.ToText(), QString("maxlines = 17\nenable = 0\nother = -1\n"));
    }

    void theSavedFormReadsBackTrimmedWithNumbersAsNumbers() {
        const PropertyBag bag = PropertyBag::FromText("maxlines = 17\n\n  name_2 =  some text  \n");
        QCOMPARE(bag.Keys(), (QStringList{"maxlines", "name_2"}));
        QCOMPARE(bag.ReadProperty("NAME_2"), QVariant("some text"));
        QCOMPARE(bag.ReadProperty("maxlines").typeId(), QMetaType::LongLong);
        QCOMPARE(bag.ReadProperty("maxlines").toInt(), 17);
    }

    void anUnreadableLineFailsTheLoad() {
        QCOMPARE(errorOf([] { PropertyBag::FromText("a = 1\nnot a property"); }), kTypeMismatch);
    }

    // ---- Conversions of stored values: numbers round half to even ----

    void conversionToAByte_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("error");
        QTest::newRow("0") << QVariant(0) << 0 << 0;
        QTest::newRow("255") << QVariant(255) << 255 << 0;
        QTest::newRow("256 overflows") << QVariant(256) << 0 << kOverflow;
        QTest::newRow("-1 overflows") << QVariant(-1) << 0 << kOverflow;
        QTest::newRow("true is -1, which overflows") << QVariant(true) << 0 << kOverflow;
        QTest::newRow("2.5 to even") << QVariant(2.5) << 2 << 0;
        QTest::newRow("a word") << QVariant("green") << 0 << kTypeMismatch;
    }
    void conversionToAByte() {
        QFETCH(QVariant, value);
        QFETCH(int, byte);
        QFETCH(int, error);
        int got = 0;
        QCOMPARE(errorOf([&] { got = platform::ToByte(value); }), error);
        QCOMPARE(got, byte);
    }

    void conversionToALong_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("error");
        const double infinity = std::numeric_limits<double>::infinity();
        QTest::newRow("numeric text") << QVariant("16") << 16 << 0;
        QTest::newRow("the largest") << QVariant(2147483647.0) << 2147483647 << 0;
        QTest::newRow("one past the largest") << QVariant(2147483648.0) << 0 << kOverflow;
        QTest::newRow("the smallest") << QVariant(-2147483648.0) << int(-2147483648LL) << 0;
        QTest::newRow("one below the smallest") << QVariant(-2147483649.0) << 0 << kOverflow;
        QTest::newRow("infinity") << QVariant(infinity) << 0 << kTypeMismatch;
    }
    void conversionToALong() {
        QFETCH(QVariant, value);
        QFETCH(int, number);
        QFETCH(int, error);
        int got = 0;
        QCOMPARE(errorOf([&] { got = platform::ToLong(value); }), error);
        QCOMPARE(got, number);
    }

    void conversionToABooleanIsFalseOnlyForZero() {
        QCOMPARE(platform::ToBoolean(0), false);
        QCOMPARE(platform::ToBoolean(-1), true);
        QCOMPARE(platform::ToBoolean(0.25), false); // rounded first
    }

    // ---- Filter text and the common dialog ----

    void filterTextBecomesQtsEntries_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("the picture import filter")
            << "图象文件(*.jpg,*.bmp,*.ico)|*.jpg;*.bmp;*.ico|所有文件（*.*）|*.*"
            << QStringList{"图象文件(*.jpg,*.bmp,*.ico) (*.jpg *.bmp *.ico)",
                           "所有文件（*.*） (*.*)"};
        QTest::newRow("empty") << "" << QStringList();
        QTest::newRow("spaces and empty patterns")
            << "Text| *.txt ;;*.log" << QStringList{"Text (*.txt *.log)"};
    }
    void filterTextBecomesQtsEntries() {
        QFETCH(QString, filter);
        QFETCH(QStringList, entries);
        QCOMPARE(platform::TranslateFilter(filter), entries);
    }

    void aDescriptionWithoutPatternsIsRefused_data() {
        QTest::addColumn<QString>("filter");
        QTest::newRow("an odd number of fields") << "Dot|*.dot|All";
        QTest::newRow("blank patterns") << "Dot| ;|All|*.*";
    }
    void aDescriptionWithoutPatternsIsRefused() {
        QFETCH(QString, filter);
        QCOMPARE(errorOf([&] { platform::TranslateFilter(filter); }),
                 platform::CommonDialog::kErrInvalidFilter);
    }

    // Qt's own dialog, closed by a queued call as soon as it runs: nothing waits on a user.
    void qtsFileDialogShowsEachDescriptionOnceOverItsOwner() {
        QWidget owner;
        QStringList types;
        QString selected;
        QWidget* parent = nullptr;
        QMetaObject::invokeMethod(
            qApp,
            [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (const auto* combo = dialog->findChild<QComboBox*>("fileTypeCombo"))
                    for (int i = 0; i < combo->count(); ++i)
                        types << combo->itemText(i);
                selected = dialog->selectedNameFilter();
                parent = dialog->parentWidget();
                dialog->selectNameFilter(dialog->nameFilters().value(0));
                dialog->selectFile("pointillo-none.dot");
                static_cast<QDialog*>(dialog)->accept();
            },
            Qt::QueuedConnection);
        const auto chosen = platform::QtDialogPresenter().ShowOpen(
            {{},
             platform::TranslateFilter("点阵文件（*.dot）|*.dot|所有文件（*.*）|*.*"),
             1,
             {},
             &owner});
        QCOMPARE(types, (QStringList{"点阵文件（*.dot）", "所有文件（*.*）"}));
        QCOMPARE(selected, QString("所有文件（*.*）"));
        QCOMPARE(parent, &owner);
        QVERIFY(chosen);
        QCOMPARE(chosen->filterIndex, 0);
    }

    // FilterIndex counts from 1; one outside the filters offers the first.
    void aConfirmedOpenKeepsTheChoiceAndAsksWithTheSharedProperties_data() {
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<int>("offered");
        QTest::newRow("the last") << 2 << 1;
        QTest::newRow("past the last") << 3 << 0;
        QTest::newRow("zero") << 0 << 0;
    }
    void aConfirmedOpenKeepsTheChoiceAndAsksWithTheSharedProperties() {
        QFETCH(int, filterIndex);
        QFETCH(int, offered);
        SaveDialog d;
        d.dialog.SetFilterIndex(filterIndex);
        d.presenter.confirm("/p/b.bmp");
        d.dialog.ShowOpen();
        QCOMPARE(d.dialog.FileName(), QString("/p/b.bmp"));
        QCOMPARE(d.dialog.FilterIndex(), 1);
        const platform::FileDialogRequest& asked = d.presenter.fileRequests.constLast();
        QCOMPARE(asked.title, QString("保存点阵文件"));
        QCOMPARE(asked.fileName, QString("/t/A.dot"));
        QCOMPARE(asked.filters, (QStringList{"Dot (*.dot)", "All (*.*)"}));
        QCOMPARE(asked.filterIndex, offered);
    }

    // A cancel changes nothing; with CancelError set it is the cancel error.
    void aCancelChangesNothing_data() {
        QTest::addColumn<bool>("cancelError");
        QTest::addColumn<int>("error");
        QTest::newRow("without CancelError") << false << 0;
        QTest::newRow("with CancelError") << true << int(platform::kErrCancel);
    }
    void aCancelChangesNothing() {
        QFETCH(bool, cancelError);
        QFETCH(int, error);
        SaveDialog d;
        d.dialog.SetCancelError(cancelError);
        d.presenter.cancel();
        QCOMPARE(errorOf([&] { d.dialog.ShowSave(); }), error);
        d.presenter.fontAnswers = {std::nullopt};
        QCOMPARE(errorOf([&] { d.dialog.ShowFont(); }), error);
        QCOMPARE(d.dialog.FileName(), QString("/t/A.dot"));
        QCOMPARE(d.dialog.FilterIndex(), 1);
        QCOMPARE(d.dialog.FontName(), QString("DejaVu Sans"));
        QCOMPARE(d.dialog.FontBold(), true);
    }

    // ---- The picture surface ----

    void theScaleIsTheInnerAreaAndGrowingKeepsWhatWasDrawn() {
        GreySurface surface;
        surface.PSet(9, 9, 0);
        surface.resize(20, 12);
        QCOMPARE(surface.Point(9, 9), Pixel(0));
        QCOMPARE(surface.Point(19, 11), Pixel(kGrey));
        surface.setFrameStyle(QFrame::Box | QFrame::Plain);
        surface.setLineWidth(2);
        QCOMPARE(QSizeF(surface.ScaleWidth(), surface.ScaleHeight()), QSizeF(16, 8));
        QCOMPARE(surface.Image().logicalDpiY(), 96);
        QCOMPARE(surface.Image().format(), QImage::Format_RGB32);
    }

    void nothingIsReadOrDrawnOutsideTheSurface_data() {
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<int>("drawWidth");
        const double nan = std::nan("");
        QTest::newRow("the right edge") << QPointF(10, 5) << 1;
        QTest::newRow("just left") << QPointF(-0.001, 5) << 1;
        QTest::newRow("just above") << QPointF(4, -0.25) << 1;
        QTest::newRow("the bottom edge") << QPointF(4, 10) << 1;
        QTest::newRow("not a number") << QPointF(nan, 5) << 1;
        QTest::newRow("not a number, 3 across") << QPointF(nan, 5) << 3;
    }
    void nothingIsReadOrDrawnOutsideTheSurface() {
        QFETCH(QPointF, at);
        QFETCH(int, drawWidth);
        GreySurface surface;
        QCOMPARE(surface.Point(float(at.x()), float(at.y())), Pixel());
        surface.SetDrawWidth(drawWidth);
        surface.PSet(float(at.x()), float(at.y()), kRed);
        QCOMPARE(pixelsOf(surface, kRed), 0);
    }

    // A dot DrawWidth pixels across: the pixels whose centres lie within half the width of the
    // centre of the pixel set.
    void aDotIsDrawWidthPixelsAcross_data() {
        QTest::addColumn<QSize>("surfaceSize");
        QTest::addColumn<int>("width");
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<QRect>("region");
        QTest::addColumn<QStringList>("dot");
        QTest::newRow("4 across at the top-left corner")
            << QSize(10, 10) << 4 << QPointF(0.5, 0.5) << QRect(0, 0, 4, 4)
            << QStringList{"###.", "##..", "#...", "...."};
        QTest::newRow("4 across at the bottom-right corner")
            << QSize(10, 8) << 4 << QPointF(9.5, 7.5) << QRect(6, 4, 4, 4)
            << QStringList{"....", "...#", "..##", ".###"};
        QTest::newRow("2 across in the middle")
            << QSize(10, 10) << 2 << QPointF(4.5, 4.5) << QRect(2, 2, 5, 5)
            << QStringList{".....", "..#..", ".###.", "..#..", "....."};
        QTest::newRow("3 across on the right edge")
            << QSize(10, 10) << 3 << QPointF(9.5, 4.5) << QRect(7, 2, 3, 5)
            << QStringList{"...", ".##", ".##", ".##", "..."};
    }
    void aDotIsDrawWidthPixelsAcross() {
        QFETCH(QSize, surfaceSize);
        QFETCH(int, width);
        QFETCH(QPointF, at);
        QFETCH(QRect, region);
        QFETCH(QStringList, dot);
        GreySurface surface;
        surface.resize(surfaceSize);
        surface.SetDrawWidth(width);
        surface.PSet(float(at.x()), float(at.y()), kRed);
        QCOMPARE(QPointF(surface.CurrentX(), surface.CurrentY()), at);
        QCOMPARE(picture(surface, region, kRed), dot);
        QCOMPARE(pixelsOf(surface, kRed), int(dot.join(QString()).count('#')));
    }

    // A picture pixel is a surface pixel, whatever the picture's device pixel ratio (2 for a
    // file named "@2x") or resolution.
    void aPicturePaintsOnePixelForEachOfItsOwn() {
        const double ratio = 2;
        GreySurface surface;
        surface.resize(12, 12);
        surface.SetBackColor(0xFFFFFF);
        QImage black(7, 5, QImage::Format_RGB32);
        black.fill(Qt::black);
        black.setDevicePixelRatio(ratio);
        black.setDotsPerMeterX(int(3780 * ratio));
        black.setDotsPerMeterY(int(3780 * ratio));
        surface.PaintPicture(QImage(), 0, 0); // a null picture paints nothing
        surface.PaintPicture(black, 2, 3);
        QCOMPARE(picture(surface, QRect(1, 2, 9, 7), 0),
                 (QStringList{".........", ".#######.", ".#######.", ".#######.", ".#######.",
                              ".#######.", "........."}));
        QCOMPARE(pixelsOf(surface, 0), 35);
    }

    void aDrawWidthBelowOneOrAFontSizeOutOfRangeIsRefused() {
        GreySurface surface;
        const int refused = PictureSurface::kErrInvalidValue;
        surface.SetDrawWidth(3);
        QCOMPARE(errorOf([&] { surface.SetDrawWidth(0); }), refused);
        QCOMPARE(surface.DrawWidth(), 3);
        QCOMPARE(errorOf([&] { surface.SetFontSize(0); }), refused);
        QCOMPARE(errorOf([&] { surface.SetFontSize(2048); }), refused);
        QCOMPARE(errorOf([&] { surface.SetFontSize(std::nan("")); }), refused);
        QCOMPARE(errorOf([&] { surface.SetFontSize(2047); }), 0);
    }

    // A shown surface paints what is drawn (red in the low byte) and reports presses inside its
    // 2-pixel frame in scale units.
    void aShownSurfacePaintsWhatIsDrawnAndReportsPresses() {
        GreySurface surface;
        surface.resize(50, 40);
        surface.setFrameStyle(QFrame::Box | QFrame::Plain);
        surface.setLineWidth(2);
        surface.show();
        QVERIFY(QTest::qWaitForWindowExposed(&surface));
        surface.PSet(3, 4, kRed);
        QTRY_COMPARE(surface.grab().toImage().pixelColor(5, 6), QColor(Qt::red));
        surface.PSet(3, 4, 0xFF0000);
        QTRY_COMPARE(surface.grab().toImage().pixelColor(5, 6), QColor(Qt::blue));

        QSignalSpy pressed(&surface, &PictureSurface::MouseDown);
        QTest::mousePress(&surface, Qt::RightButton, Qt::ShiftModifier, QPoint(12, 7));
        QCOMPARE(pressed.size(), 1);
        QCOMPARE(pressed[0][0].value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(pressed[0][1].value<Qt::KeyboardModifiers>(),
                 Qt::KeyboardModifiers(Qt::ShiftModifier));
        QCOMPARE(pressed[0][2].toPointF(), QPointF(10, 5));
    }

    void printStartsALineAndClsClearsToTheBackColour() {
        GreySurface surface;
        surface.resize(60, 40);
        surface.SetBackColor(0x123456);
        surface.SetFontName("DejaVu Sans");
        surface.SetFontSize(12);
        surface.SetCurrentX(30);
        surface.SetCurrentY(5);
        surface.Print("x");
        const double line = QFontMetricsF(surface.DrawFont(), &surface.Image()).height();
        QCOMPARE(surface.CurrentX(), 0.0f);
        QCOMPARE((surface.CurrentY() - 5) / line, 1.0);
        QVERIFY(pixelsOf(surface, 0) > 0);
        surface.Cls();
        QCOMPARE(QPointF(surface.CurrentX(), surface.CurrentY()), QPointF(0, 0));
        QCOMPARE(pixelsOf(surface, 0x123456), 60 * 40);
    }
};

QTEST_MAIN(tst_Platform)
#include "tst_platform.moc"
