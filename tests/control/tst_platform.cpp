// The platform pieces the control and the window stand on: the property bag, the conversions
// of stored values, the filter text, the common dialog and the picture surface, where the
// window's own tests, which load, ask and draw through them, do not reach.

#include "common/PaintRecorder.h"
#include "common/ScriptedDialogs.h"
#include "platform/CommonDialog.h"
#include "platform/PictureSurface.h"
#include "platform/PlatformError.h"
#include "platform/PropertyBag.h"
#include "platform/QtDialogPresenter.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QTest>

#include <cmath>
#include <functional>
#include <limits>

using platform::PictureSurface;
using platform::PropertyBag;

namespace {

constexpr int kOverflow = platform::kErrOverflow;
constexpr int kTypeMismatch = platform::kErrTypeMismatch;
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
        SetBackColor(0x808080);
    }
};

// The pixels of the surface, a line a string: '#' where it has colour, '.' elsewhere.
QStringList picture(const PictureSurface& surface, std::uint32_t colour) {
    QStringList lines;
    for (int y = 0; y < surface.ScaleHeight(); ++y) {
        QString line;
        for (int x = 0; x < surface.ScaleWidth(); ++x)
            line += QLatin1Char(surface.Point(x, y) == colour ? '#' : '.');
        lines << line;
    }
    return lines;
}

} // namespace

class tst_Platform : public QObject {
    Q_OBJECT

private slots:
    // A line a value, keys in lower case, a Boolean as -1 or 0. A value equal to its default,
    // as a number whatever its type, is not stored, and writing it under any case of the key
    // drops the stored entry.
    void theSavedFormHoldsTheLastValueOfEachKeyThatDiffersFromItsDefault() {
        PropertyBag bag;
        bag.WriteProperty("MaxLines", 16, 8);
        bag.WriteProperty("MAXLINES", 17, 8);
        bag.WriteProperty("Radius", 4, 5);
        bag.WriteProperty("Other", true, false);
        bag.WriteProperty("radius", 5, 5);
        bag.WriteProperty("Eight", 8.0, 8);
        bag.WriteProperty("Word", "x", 0);
        bag.WriteProperty("Free", 0, QVariant()); // a value without a default
        QCOMPARE(bag.ToText(), QString("maxlines = 17\nother = -1\nword = x\nfree = 0\n"));
        QCOMPARE(bag.Contains("MaxLines"), true);
        QCOMPARE(bag.Contains("radius"), false);
    }

    void anUnreadableLineFailsTheLoad() {
        QCOMPARE(errorOf([] { PropertyBag::FromText("a = 1\nnot a property"); }), kTypeMismatch);
    }

    // True is -1.
    void conversionsOfStoredValues_data() {
        QTest::addColumn<bool>("toLong"); // else to a byte
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("error");
        const double infinity = std::numeric_limits<double>::infinity();
        QTest::newRow("255 is a byte") << false << QVariant(255) << 255 << 0;
        QTest::newRow("256 overflows a byte") << false << QVariant(256) << 0 << kOverflow;
        QTest::newRow("-1 overflows a byte") << false << QVariant(-1) << 0 << kOverflow;
        QTest::newRow("true overflows a byte") << false << QVariant(true) << 0 << kOverflow;
        QTest::newRow("the largest long") << true << QVariant(2147483647.0) << 2147483647 << 0;
        QTest::newRow("one past it") << true << QVariant(2147483648.0) << 0 << kOverflow;
        QTest::newRow("the smallest long")
            << true << QVariant(-2147483648.0) << int(-2147483648LL) << 0;
        QTest::newRow("one below it") << true << QVariant(-2147483649.0) << 0 << kOverflow;
        QTest::newRow("infinity") << true << QVariant(infinity) << 0 << kTypeMismatch;
    }
    void conversionsOfStoredValues() {
        QFETCH(bool, toLong);
        QFETCH(QVariant, value);
        QFETCH(int, number);
        QFETCH(int, error);
        int got = 0;
        QCOMPARE(errorOf([&] { got = toLong ? platform::ToLong(value) : platform::ToByte(value); }),
                 error);
        QCOMPARE(got, number);
    }

    // A description without patterns is refused.
    void filterTextBecomesQtsEntries_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("error");
        QTest::newRow("the picture import filter")
            << "图象文件(*.jpg,*.bmp,*.ico)|*.jpg;*.bmp;*.ico|所有文件（*.*）|*.*"
            << QStringList{"图象文件(*.jpg,*.bmp,*.ico) (*.jpg *.bmp *.ico)",
                           "所有文件（*.*） (*.*)"}
            << 0;
        QTest::newRow("empty") << "" << QStringList() << 0;
        QTest::newRow("spaces and empty patterns")
            << "Text| *.txt ;;*.log" << QStringList{"Text (*.txt *.log)"} << 0;
        const int refused = platform::CommonDialog::kErrInvalidFilter;
        QTest::newRow("an odd number of fields") << "Dot|*.dot|All" << QStringList() << refused;
        QTest::newRow("blank patterns") << "Dot| ;|All|*.*" << QStringList() << refused;
    }
    void filterTextBecomesQtsEntries() {
        QFETCH(QString, filter);
        QFETCH(QStringList, entries);
        QFETCH(int, error);
        QStringList got;
        QCOMPARE(errorOf([&] { got = platform::TranslateFilter(filter); }), error);
        QCOMPARE(got, entries);
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
        platform::FileDialogRequest request;
        request.filters = platform::TranslateFilter("点阵文件（*.dot）|*.dot|所有文件（*.*）|*.*");
        request.filterIndex = 1;
        request.owner = &owner;
        const auto chosen = platform::QtDialogPresenter().ShowOpen(request);
        QCOMPARE(types, (QStringList{"点阵文件（*.dot）", "所有文件（*.*）"}));
        QCOMPARE(selected, QString("所有文件（*.*）"));
        QCOMPARE(parent, &owner);
        QVERIFY(chosen);
        QCOMPARE(chosen->filterIndex, 0);
    }

    // FilterIndex counts from 1; one outside the filters offers the first.
    void aConfirmedOpenOffersTheFilterIndexAndKeepsTheChoice_data() {
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<int>("offered");
        QTest::newRow("the last") << 2 << 1;
        QTest::newRow("past the last") << 3 << 0;
        QTest::newRow("zero") << 0 << 0;
    }
    void aConfirmedOpenOffersTheFilterIndexAndKeepsTheChoice() {
        QFETCH(int, filterIndex);
        QFETCH(int, offered);
        testing::ScriptedDialogs presenter;
        platform::CommonDialog dialog{presenter};
        dialog.SetFilter("Dot|*.dot|All|*.*");
        dialog.SetFilterIndex(filterIndex);
        presenter.confirm("/p/b.bmp");
        dialog.ShowOpen();
        QCOMPARE(presenter.fileRequests.constLast().filterIndex, offered);
        QCOMPARE(dialog.FileName(), QString("/p/b.bmp"));
        QCOMPARE(dialog.FilterIndex(), 1);
    }

    // The right and the bottom edge, just left of the first pixel and just above it, and not a
    // number with a dot 3 pixels across.
    void nothingIsReadOrDrawnOutsideTheSurface() {
        GreySurface surface;
        const QImage untouched = surface.Image().copy();
        for (const QPointF at :
             {QPointF(10, 5), QPointF(4, 10), QPointF(-0.001, 5), QPointF(4, -0.25)}) {
            QVERIFY(!surface.Point(float(at.x()), float(at.y())));
            surface.PSet(float(at.x()), float(at.y()), kRed);
        }
        surface.SetDrawWidth(3);
        surface.PSet(float(std::nan("")), 5, kRed);
        QVERIFY(surface.Image() == untouched);
    }

    // The pixels whose centres lie within half the width of the centre of the pixel set, cut
    // at the surface's edges.
    void aDotIsDrawWidthPixelsAcross() {
        GreySurface surface;
        surface.resize(10, 8);
        surface.SetDrawWidth(4);
        surface.PSet(0.5, 0.5, kRed);
        surface.PSet(9.5, 7.5, kRed);
        QCOMPARE(QPointF(surface.CurrentX(), surface.CurrentY()), QPointF(9.5, 7.5));
        QCOMPARE(picture(surface, kRed),
                 (QStringList{"###.......", "##........", "#.........", "..........", "..........",
                              ".........#", "........##", ".......###"}));
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

    // Its scale is the area inside its 2-pixel frame, even before it is shown; a shown surface
    // repaints after each change and paints what is drawn there (red in the low byte).
    void aFramedSurfaceDrawsInsideItsFrame() {
        GreySurface surface;
        surface.setFrameStyle(QFrame::Box | QFrame::Plain);
        surface.setLineWidth(2);
        QCOMPARE(QSizeF(surface.ScaleWidth(), surface.ScaleHeight()), QSizeF(6, 6));
        surface.show();
        QVERIFY(QTest::qWaitForWindowExposed(&surface));
        testing::PaintRecorder recorder;
        surface.installEventFilter(&recorder);
        for (const QPoint at : {QPoint(3, 4), QPoint(0, 0)}) {
            recorder.painted = QRegion();
            surface.PSet(at.x(), at.y(), kRed);
            QTRY_VERIFY(!recorder.painted.isEmpty());
        }
        QCOMPARE(surface.grab().toImage().pixelColor(5, 6), QColor(Qt::red));
    }
};

QTEST_MAIN(tst_Platform)
#include "tst_platform.moc"
