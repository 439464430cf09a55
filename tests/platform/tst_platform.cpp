// The platform layer as the control and the window use it: the property bag and its
// conversions, the shared common dialog, and the picture surface.

#include "common/ScriptedDialogs.h"
#include "platform/CommonDialog.h"
#include "platform/PictureSurface.h"
#include "platform/PropertyBag.h"
#include "platform/QtDialogPresenter.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <functional>

using platform::PictureSurface;
using platform::PlatformError;
using platform::PropertyBag;

namespace {

// The result of call as text, or "E" and the error number it failed with.
QString outcome(const std::function<qint64()>& call) {
    try {
        return QString::number(call());
    } catch (const PlatformError& e) {
        return QStringLiteral("E%1").arg(e.number());
    }
}

PictureSurface* surfaceOf(int w, int h, std::uint32_t back = 0x808080) {
    auto* surface = new PictureSurface;
    surface->resize(w, h);
    surface->SetBackColor(back);
    return surface;
}

// One use of the common dialog: its kind, the user's answer (1 confirm, 0 cancel, else the
// presenter's failure), and what the use leaves behind and offers.
struct DialogCase {
    const char* name;
    const char* kind;
    int answer;
    bool cancelError;
    int filterIndex;
    const char* error;
    const char* fileName;
    int offeredIndex; // -1: not a file dialog
};

} // namespace

Q_DECLARE_METATYPE(DialogCase)

class TstPlatform : public QObject {
    Q_OBJECT

private slots:
    void bagStoresOnlyWhatDiffersFromTheDefault_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("defaultValue");
        QTest::addColumn<bool>("stored");
        QTest::newRow("byte equal to an int default")
            << QVariant::fromValue<quint8>(8) << QVariant(8) << false;
        QTest::newRow("differing number") << QVariant(4) << QVariant(5) << true;
        QTest::newRow("false against true") << QVariant(false) << QVariant(true) << true;
        QTest::newRow("equal text") << QVariant("a") << QVariant("a") << false;
        QTest::newRow("text against a number") << QVariant("x") << QVariant(0) << true;
        QTest::newRow("no default given") << QVariant(0) << QVariant() << true;
    }
    void bagStoresOnlyWhatDiffersFromTheDefault() {
        QFETCH(QVariant, value);
        QFETCH(QVariant, defaultValue);
        QFETCH(bool, stored);
        PropertyBag bag;
        bag.WriteProperty("OnSetColor", value, defaultValue);
        QCOMPARE(bag.Contains("ONSETCOLOR"), stored);
        QCOMPARE(bag.ReadProperty("onsetcolor", 77), stored ? value : QVariant(77));
        bag.WriteProperty("onSetColor", defaultValue, defaultValue); // drops the entry
        QCOMPARE(bag.Count(), 0);
    }

    void savedFormRoundTrips() {
        PropertyBag bag;
        bag.WriteProperty("MaxLines", 16, 8);
        bag.WriteProperty("MaxLines", 17, 8);
        bag.WriteProperty("Enable", false, true);
        bag.WriteProperty("Other", true, false);
        const QString text = bag.ToText();
        QCOMPARE(text, QStringLiteral("maxlines = 17\nenable = 0\nother = -1\n"));
        const PropertyBag back = PropertyBag::FromText(text + "  name_2 =  some text  \n\n");
        QCOMPARE(back.Keys(), (QStringList{"maxlines", "enable", "other", "name_2"}));
        QCOMPARE(back.ReadProperty("maxlines"), QVariant(qlonglong(17)));
        QCOMPARE(back.ReadProperty("NAME_2"), QVariant("some text"));
        QCOMPARE(outcome([] { return PropertyBag::FromText("a = 1\nnot a property").Count(); }),
                 QStringLiteral("E13"));
    }

    // What a stored value becomes as a Byte, a Long and a Boolean ("E6": overflow, "E13": type
    // mismatch); numbers round half to even.
    void storedValuesConvertToFieldTypes_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("outcomes");
        const struct {
            const char* name;
            QVariant value;
            const char* outcomes;
        } cases[] = {{"zero", 0, "0 0 0"},
                     {"top of a byte", 255, "255 255 1"},
                     {"above a byte", 256, "E6 256 1"},
                     {"below a byte", -1, "E6 -1 1"},
                     {"true is minus one", true, "E6 -1 1"},
                     {"numeric text", "16", "16 16 1"},
                     {"halves to even", 2.5, "2 2 1"},
                     {"top of a long", 2147483647.0, "E6 2147483647 1"},
                     {"above a long", 2147483648.0, "E6 E6 1"},
                     {"bottom of a long", -2147483648.0, "E6 -2147483648 1"},
                     {"below a long", -2147483649.0, "E6 E6 1"},
                     {"text", "green", "E13 E13 E13"},
                     {"infinity", INFINITY, "E13 E13 E13"}};
        for (const auto& c : cases)
            QTest::newRow(c.name) << c.value << QString(c.outcomes);
    }
    void storedValuesConvertToFieldTypes() {
        QFETCH(QVariant, value);
        QFETCH(QString, outcomes);
        QCOMPARE(QStringList({outcome([&] { return platform::ToByte(value); }),
                              outcome([&] { return platform::ToLong(value); }),
                              outcome([&] { return platform::ToBoolean(value); })})
                     .join(' '),
                 outcomes);
    }

    void filterTextBecomesQtEntries_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("entries"); // {"E20001"} for a refused filter
        QTest::newRow("picture import")
            << "图象文件(*.jpg,*.bmp,*.ico)|*.jpg;*.bmp;*.ico|所有文件（*.*）|*.*"
            << QStringList{"图象文件(*.jpg,*.bmp,*.ico) (*.jpg *.bmp *.ico)",
                           "所有文件（*.*） (*.*)"};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("spaces and empty patterns")
            << "Text| *.txt ;;*.log" << QStringList{"Text (*.txt *.log)"};
        QTest::newRow("description only") << "Pictures" << QStringList{"E20001"};
        QTest::newRow("odd number of fields") << "Dot|*.dot|All" << QStringList{"E20001"};
        QTest::newRow("blank patterns") << "Dot| ; |All|*.*" << QStringList{"E20001"};
    }
    void filterTextBecomesQtEntries() {
        QFETCH(QString, filter);
        QFETCH(QStringList, entries);
        QStringList got;
        try {
            got = platform::TranslateFilter(filter);
        } catch (const PlatformError& e) {
            got = {QStringLiteral("E%1").arg(e.number())};
        }
        QCOMPARE(got, entries);
    }

    // One dialog shared by every user: what a use leaves behind is what the next one starts
    // from; a cancel changes nothing and, with CancelError, is the cancel error.
    void commonDialogKeepsItsPropertiesAcrossUses_data() {
        QTest::addColumn<DialogCase>("c");
        const DialogCase cases[] = {
            {"open confirmed", "open", 1, true, 2, "0", "/p/b.bmp", 1},
            {"index past the filters", "save", 1, true, 3, "0", "/p/b.bmp", 0},
            {"index 0", "save", 1, true, 0, "0", "/p/b.bmp", 0},
            {"save cancelled", "save", 0, true, 1, "E32755", "/t/A.dot", 0},
            {"quiet cancel", "save", 0, false, 1, "0", "/t/A.dot", 0},
            {"failing dialog", "open", 57, true, 1, "E57", "/t/A.dot", 0},
            {"font cancelled", "font", 0, true, 1, "E32755", "/t/A.dot", -1},
            {"quiet font cancel", "font", 0, false, 1, "0", "/t/A.dot", -1}};
        for (const DialogCase& c : cases)
            QTest::newRow(c.name) << c;
    }
    void commonDialogKeepsItsPropertiesAcrossUses() {
        QFETCH(DialogCase, c);
        testing::ScriptedDialogs presenter;
        c.answer == 1 ? presenter.confirm("/p/b.bmp")
        : c.answer    ? presenter.fail(c.answer)
                      : presenter.cancel();
        presenter.fontAnswers = {std::nullopt};
        platform::CommonDialog dialog(presenter);
        dialog.SetCancelError(c.cancelError);
        dialog.SetDialogTitle("保存点阵文件");
        dialog.SetFilter("Dot|*.dot|All|*.*");
        dialog.SetFilterIndex(c.filterIndex);
        dialog.SetFileName("/t/A.dot");
        dialog.SetFontName("DejaVu Sans");
        dialog.SetFontBold(true);
        const QString kind = c.kind;
        QCOMPARE(outcome([&] {
                     kind == "open"   ? dialog.ShowOpen()
                     : kind == "save" ? dialog.ShowSave()
                                      : dialog.ShowFont();
                     return 0;
                 }),
                 QString(c.error));
        QCOMPARE(dialog.FileName(), QString(c.fileName));
        QCOMPARE(dialog.FontName(), QStringLiteral("DejaVu Sans"));
        QVERIFY(dialog.FontBold());
        if (c.offeredIndex >= 0) {
            const platform::FileDialogRequest& asked = presenter.fileRequests.value(0);
            QCOMPARE(asked.title, QStringLiteral("保存点阵文件"));
            QCOMPARE(asked.fileName, QStringLiteral("/t/A.dot"));
            QCOMPARE(asked.filters, (QStringList{"Dot (*.dot)", "All (*.*)"}));
            QCOMPARE(asked.filterIndex, c.offeredIndex);
            QCOMPARE(dialog.FilterIndex(), c.answer == 1 ? 1 : c.filterIndex);
        }
    }

    // Qt's own dialog: each description once (they name their patterns already), over its
    // owner, opened on the offered filter; the one chosen maps back to its index.
    void qtFileDialogShowsEachDescriptionOnceOverItsOwner() {
        QWidget owner;
        platform::FileDialogRequest request;
        request.filters = platform::TranslateFilter("点阵文件（*.dot）|*.dot|所有文件（*.*）|*.*");
        request.filterIndex = 1;
        request.owner = &owner;
        QStringList shown;
        QWidget* parent = nullptr;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                QApplication::activeModalWidget()->close();
                return;
            }
            parent = dialog->parentWidget();
            if (auto* types = dialog->findChild<QComboBox*>("fileTypeCombo"))
                for (int i = 0; i < types->count(); ++i)
                    shown << types->itemText(i);
            shown << dialog->selectedNameFilter();
            dialog->selectNameFilter(request.filters[0]);
            dialog->selectFile(QDir::temp().filePath("pointillo-none.dot"));
            static_cast<QDialog*>(dialog)->accept();
        });
        const auto result = platform::QtDialogPresenter().ShowOpen(request);
        QCOMPARE(shown, QStringList({"点阵文件（*.dot）", "所有文件（*.*）", "所有文件（*.*）"}));
        QCOMPARE(parent, &owner);
        QVERIFY(result);
        QCOMPARE(result->filterIndex, 0);
    }

    void surfaceScaleIsItsInnerAreaAndKeepsWhatWasDrawn() {
        std::unique_ptr<PictureSurface> s(surfaceOf(10, 10));
        s->PSet(9, 9, 0);
        s->resize(20, 12);
        QCOMPARE(s->Point(9, 9), std::optional<std::uint32_t>(0));
        QCOMPARE(s->Point(19, 11), std::optional<std::uint32_t>(0x808080));
        s->setFrameStyle(QFrame::Box | QFrame::Plain);
        s->setLineWidth(2);
        QCOMPARE(QSizeF(s->ScaleWidth(), s->ScaleHeight()), QSizeF(16, 8));
        QCOMPARE(s->Image().format(), QImage::Format_RGB32);
    }

    void pointReadsThePixelThatContainsIt_data() {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<int>("column"); // -1: outside, no colour
        QTest::newRow("origin") << 0.0f << 5.0f << 0;
        QTest::newRow("just below the next pixel") << 0.999f << 5.0f << 0;
        QTest::newRow("last column") << 9.999f << 5.0f << 9;
        QTest::newRow("right edge") << 10.0f << 5.0f << -1;
        QTest::newRow("just left") << -0.001f << 5.0f << -1;
        QTest::newRow("above") << 4.0f << -0.25f << -1;
        QTest::newRow("below") << 4.0f << 10.0f << -1;
        QTest::newRow("far beyond") << 3e20f << 5.0f << -1;
        QTest::newRow("not a number") << std::nanf("") << 5.0f << -1;
    }
    void pointReadsThePixelThatContainsIt() {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(int, column);
        std::unique_ptr<PictureSurface> s(surfaceOf(10, 10));
        for (int c = 0; c < 10; ++c)
            s->PSet(float(c) + 0.5f, 5, std::uint32_t(c));
        const std::optional<std::uint32_t> want =
            column < 0 ? std::nullopt : std::optional<std::uint32_t>(column);
        QCOMPARE(s->Point(x, y), want);
        if (column < 0) { // nothing is drawn outside
            const QImage before = s->Image();
            s->PSet(x, y, 0xFF);
            QCOMPARE(s->Image(), before);
            QCOMPARE(s->CurrentX(), x);
        }
    }

    // A dot DrawWidth pixels across: every pixel whose centre lies within half the width of
    // the centre of the pixel set; what falls beyond the surface is dropped.
    void wideDotIsRoundAndClippedAtTheEdges_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("2 across in the middle") << 2 << QPoint(4, 4);
        QTest::newRow("4 across at the top-left corner") << 4 << QPoint(0, 0);
        QTest::newRow("4 across at the bottom-right corner") << 4 << QPoint(9, 7);
        QTest::newRow("5 across on the left edge") << 5 << QPoint(0, 4);
        QTest::newRow("3 across on the right edge") << 3 << QPoint(9, 4);
    }
    void wideDotIsRoundAndClippedAtTheEdges() {
        QFETCH(int, width);
        QFETCH(QPoint, at);
        std::unique_ptr<PictureSurface> s(surfaceOf(10, 8));
        s->SetDrawWidth(width);
        s->PSet(at.x() + 0.5f, at.y() + 0.5f, 0xFF);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                const QPoint d = QPoint(x, y) - at;
                const bool inside = 4 * (d.x() * d.x() + d.y() * d.y()) <= width * width;
                QCOMPARE(s->Point(x, y), std::optional<std::uint32_t>(inside ? 0xFF : 0x808080));
            }
    }

    // One picture pixel is one surface pixel, whatever its device pixel ratio (Qt reads a
    // file named "@2x" as 2) or its stored resolution says.
    void pictureIsPaintedAtItsOwnPixelSize_data() {
        QTest::addColumn<double>("ratio");
        QTest::newRow("plain, 96 dpi") << 1.0;
        QTest::newRow("named @2x, stored at 192 dpi") << 2.0;
        QTest::newRow("named @3x, stored at 288 dpi") << 3.0;
    }
    void pictureIsPaintedAtItsOwnPixelSize() {
        QFETCH(double, ratio);
        QImage picture(7, 5, QImage::Format_RGB32);
        picture.fill(Qt::black);
        picture.setDevicePixelRatio(ratio);
        picture.setDotsPerMeterX(int(3780 * ratio));
        picture.setDotsPerMeterY(int(3780 * ratio));
        std::unique_ptr<PictureSurface> s(surfaceOf(12, 12, 0xFFFFFF));
        s->PaintPicture(QImage(), 0, 0); // nothing to paint
        s->PaintPicture(picture, 2, 3);
        const auto colourAt = [&](int x, int y) { return QString::number(*s->Point(x, y), 16); };
        QCOMPARE(QStringList({colourAt(1, 3), colourAt(2, 2), colourAt(2, 3), colourAt(8, 7),
                              colourAt(9, 7), colourAt(8, 8)}),
                 QStringList({"ffffff", "ffffff", "0", "0", "ffffff", "ffffff"}));
    }

    void unusableValuesAreRefusedAndChangeNothing() {
        PictureSurface s;
        s.SetFontSize(20);
        QCOMPARE(outcome([&] { return s.SetDrawWidth(0), 0; }), QStringLiteral("E380"));
        QCOMPARE(outcome([&] { return s.SetDrawWidth(1), 0; }), QStringLiteral("0"));
        for (double bad : {0.0, -1.0, 2048.0, double(NAN)})
            QCOMPARE(outcome([&] { return s.SetFontSize(bad), 0; }), QStringLiteral("E380"));
        QCOMPARE(outcome([&] { return s.SetFontSize(2047), 0; }), QStringLiteral("0"));
        QCOMPARE(s.DrawWidth(), 1);
    }

    void clsAndPrintMoveTheDrawingPosition() {
        std::unique_ptr<PictureSurface> s(surfaceOf(60, 40, 0x123456));
        s->SetFontName("DejaVu Sans");
        s->SetFontSize(12);
        s->SetCurrentX(30);
        s->SetCurrentY(5);
        s->Print("x");
        QCOMPARE(s->CurrentX(), 0.0f);
        QCOMPARE(s->CurrentY(), float(5 + QFontMetricsF(s->DrawFont(), &s->Image()).height()));
        QCOMPARE(s->Image().logicalDpiY(), 96);
        s->Cls();
        QCOMPARE(s->CurrentY(), 0.0f);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                QCOMPARE(s->Point(x, y), std::optional<std::uint32_t>(0x123456));
    }

    void shownSurfacePaintsWhatIsDrawnAndReportsPresses() {
        std::unique_ptr<PictureSurface> s(surfaceOf(50, 40));
        s->setFrameStyle(QFrame::Box | QFrame::Plain);
        s->setLineWidth(2);
        s->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.get()));
        struct PaintCounter : QObject {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* e) override {
                paints += e->type() == QEvent::Paint;
                return false;
            }
        } counter;
        s->installEventFilter(&counter);
        // 0x00BBGGRR: red in the low byte.
        for (auto [colour, shown] :
             {std::pair(0x0000FFu, qRgb(255, 0, 0)), std::pair(0xFF0000u, qRgb(0, 0, 255))}) {
            const int before = counter.paints;
            s->PSet(3, 4, colour);
            QTRY_VERIFY(counter.paints > before);
            QCOMPARE(s->grab().toImage().pixel(5, 6), shown);
        }
        QSignalSpy spy(s.get(), &PictureSurface::MouseDown);
        QTest::mousePress(s.get(), Qt::RightButton, Qt::ShiftModifier, QPoint(12, 7));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy[0][0].value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(spy[0][2].toPointF(), QPointF(10, 5));
    }
};

QTEST_MAIN(TstPlatform)
#include "tst_platform.moc"
