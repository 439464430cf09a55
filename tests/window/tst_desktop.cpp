// The window on a desktop, driven by keyboard: Tab walks every control in the order of the tab
// indexes and never writes into the code, a key beyond the basic plane types its character, and
// the frames' titles keep clear of the captions under them.

#include "WindowFixture.h"
#include "codegen/CodeText.h"
#include "codegen/CodeView.h"
#include "window/CharBox.h"
#include "window/ScrollBar.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// The controls Tab stops at, in the order of their tab indexes, from Pic_Char (0) on: in each
// group of options the one chosen (at start Green, Asm and the row-wise model). Frames, labels,
// picture surfaces, the disabled panel scroll bars and the hidden Pic_Bkp take no focus.
const QStringList kTabStops{
    "HScrl_ChrPos", "HScrl_ChrWth",     "VScrl_ChrPos",     "VScrl_ChrHgt", "Txt_Display",
    "Cmd_Help",     "Kivaro_Color(1)",  "HScrl_Lines",      "HScrl_Rows",   "HScrl_Radius",
    "Txt_Char",     "Opt_CodeStyle(1)", "Opt_CodeModel(0)", "Cmd_Save",     "Cmd_Font",
    "Cmd_Copy",     "Chk_VekEdit"};

// The stops in the order Tab reaches them from the control that has the focus at start.
QStringList fromStartFocus(QStringList stops, bool forward) {
    if (!forward)
        std::reverse(stops.begin(), stops.end());
    const qsizetype start = stops.indexOf("Txt_Char");
    return stops.mid(start + 1) + stops.mid(0, start + 1);
}

QString focusName() {
    const QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QStringLiteral("(nothing)");
}

void sendKey(QWidget* to, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(to, &press);
    QApplication::sendEvent(to, &release);
}

QString dots(kivaro::IVek& vek) {
    QString picture;
    for (std::uint8_t y = 1; y <= vek.MaxLines(); ++y, picture += '\n')
        for (std::uint8_t x = 1; x <= vek.MaxRows(); ++x)
            picture += vek.Bit(x, y) == 1 ? '#' : '.';
    return picture;
}

// The rows of the window from the first to the last that holds ink: 't' where only the title
// has ink, 'c' only the caption, 'X' both, '-' neither.
QString inkRows(const QImage& title, const QImage& caption) {
    const auto inkIn = [](const QImage& image, int y) {
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 160)
                return true;
        return false;
    };
    QString rows;
    for (int y = 0; y < title.height(); ++y) {
        const bool t = inkIn(title, y), c = inkIn(caption, y);
        rows += t && c ? 'X' : t ? 't' : c ? 'c' : '-';
    }
    while (rows.startsWith('-'))
        rows.remove(0, 1);
    while (rows.endsWith('-'))
        rows.chop(1);
    return rows;
}

// What widget alone draws, children left out, on white, as rows of the window from top down.
QImage drawnAlone(QWidget* widget, QRect within, int windowRows) {
    QImage image(widget->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    widget->render(&image, {}, {}, QWidget::DrawWindowBackground);
    QImage rows(within.width(), windowRows, QImage::Format_RGB32);
    rows.fill(Qt::white);
    QPainter(&rows).drawImage(QPoint(0, widget->mapTo(widget->window(), QPoint()).y()),
                              image.copy(within));
    return rows;
}

} // namespace

class TstDesktop : public QObject {
    Q_OBJECT

    std::unique_ptr<testing::WindowFixture> f;
    orvane::SingleCharWindow* w = nullptr;

private slots:
    void init() {
        f = std::make_unique<testing::WindowFixture>();
        w = f->window.get();
        w->show();
        QApplication::setActiveWindow(w);
        QVERIFY(QTest::qWaitForWindowActive(w));
    }
    void cleanup() { f.reset(); }

    void tabOrderFollowsTheTabIndexes_data() {
        QTest::addColumn<QString>("chosen"); // an option clicked first, if any
        QTest::addColumn<bool>("forward");
        QTest::addColumn<QStringList>("stops");
        QTest::newRow("Tab") << "" << true << fromStartFocus(kTabStops, true);
        QTest::newRow("Shift+Tab") << "" << false << fromStartFocus(kTabStops, false);
        QStringList yellow = kTabStops;
        yellow.replace(yellow.indexOf("Kivaro_Color(1)"), "Kivaro_Color(3)");
        QTest::newRow("Tab once Yellow is chosen")
            << "Kivaro_Color(3)" << true << fromStartFocus(yellow, true);
    }
    void tabOrderFollowsTheTabIndexes() {
        QFETCH(QString, chosen);
        QFETCH(bool, forward);
        QFETCH(QStringList, stops);
        if (!chosen.isEmpty()) {
            QTest::mouseClick(w->findChild<QWidget*>(chosen), Qt::LeftButton);
            w->Txt_Char->setFocus(Qt::MouseFocusReason);
        }
        QCOMPARE(focusName(), "Txt_Char");
        QStringList reached;
        for (qsizetype n = 0; n < stops.size(); ++n) {
            QTest::keyClick(QApplication::focusWidget(), forward ? Qt::Key_Tab : Qt::Key_Backtab,
                            forward ? Qt::NoModifier : Qt::ShiftModifier);
            reached << focusName();
        }
        QCOMPARE(reached, stops);
    }

    void tabLeavesTheCodeView_data() {
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<QString>("focus");
        QTest::newRow("Tab") << QKeyCombination(Qt::Key_Tab) << "Cmd_Help";
        QTest::newRow("Shift+Tab")
            << QKeyCombination(Qt::ShiftModifier, Qt::Key_Backtab) << "VScrl_ChrHgt";
        QTest::newRow("Ctrl+Tab") << QKeyCombination(Qt::ControlModifier, Qt::Key_Tab)
                                  << "Txt_Display";
        QTest::newRow("Ctrl+Shift+Tab")
            << QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Backtab)
            << "Txt_Display";
    }
    void tabLeavesTheCodeView() {
        QFETCH(QKeyCombination, key);
        QFETCH(QString, focus);
        w->Txt_Display->setFocus(Qt::MouseFocusReason);
        w->Txt_Display->moveCursor(QTextCursor::End);
        const QString code = w->Txt_Display->Text();
        const QString shown = w->Txt_Display->toPlainText();
        QTest::keyClick(w->Txt_Display, key.key(), key.keyboardModifiers());
        QCOMPARE(focusName(), focus);
        QCOMPARE(w->Txt_Display->Text(), code);
        QCOMPARE(w->Txt_Display->toPlainText(), shown);
        QApplication::clipboard()->clear();
        w->Cmd_Copy_Click();
        QCOMPARE(QApplication::clipboard()->text(), code);
    }

    // The view shows the code it holds, one long line of bytes included, and what is typed at
    // its start (where a new code puts the cursor) joins that code.
    void theCodeViewShowsTheCodeItHolds_data() {
        QTest::addColumn<int>("dots"); // lines and rows of the matrix
        QTest::addColumn<QString>("typed");
        QTest::newRow("the start-up matrix") << 16 << "";
        QTest::newRow("the largest matrix") << 254 << "";
        QTest::newRow("typed after a new code") << 254 << "; mine\r\n";
    }
    void theCodeViewShowsTheCodeItHolds() {
        QFETCH(int, dots);
        QFETCH(QString, typed);
        w->HScrl_Lines->setValue(dots);
        w->HScrl_Rows->setValue(dots);
        const QString code =
            orvane::BuildCodeString(*w->Vek1, pointillo::Layout::Row(), true, w->Txt_Char->text());
        QCOMPARE(w->Txt_Display->Text(), code);
        QCOMPARE(w->Txt_Display->toPlainText(), QString(code).replace("\r\n", "\n"));
        w->Txt_Display->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(w->Txt_Display, QString(typed).remove('\r').remove('\n'));
        if (typed.endsWith("\r\n"))
            QTest::keyClick(w->Txt_Display, Qt::Key_Return);
        QCOMPARE(w->Txt_Display->Text(), typed + code);
    }

    void aKeyBeyondTheBasicPlaneTypesItsCharacter_data() {
        const QString wide = QString::fromUcs4(U"\U00020000");
        const QString lead = wide.left(1), trail = wide.mid(1);
        QTest::addColumn<QStringList>("keys"); // the text of each key event, in turn
        QTest::addColumn<QString>("typed");
        QTest::newRow("one key, both halves") << QStringList{wide} << wide;
        QTest::newRow("two keys, a half each") << QStringList{lead, trail} << wide;
        QTest::newRow("a letter after it") << QStringList{wide, "A"} << "A";
        QTest::newRow("a lone trail half") << QStringList{trail} << "";
        QTest::newRow("a lead half, then a letter") << QStringList{lead, "A"} << "A";
        QTest::newRow("a letter") << QStringList{"A"} << "A";
    }
    void aKeyBeyondTheBasicPlaneTypesItsCharacter() {
        QFETCH(QStringList, keys);
        QFETCH(QString, typed);
        for (const QString& key : keys)
            sendKey(w->Txt_Char, key);
        QCOMPARE(w->Txt_Char->text(), typed);
        QCOMPARE(w->Txt_Display->Text().section("\r\n", 0, 0), ";" + typed);
        const QString panel = dots(*w->Vek1);
        w->Txt_Char->setText(QString());
        w->Txt_Char->setText(typed); // a paste of the same character
        QCOMPARE(panel, dots(*w->Vek1));
    }

    void frameTitlesKeepARowAboveTheCaptions_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("caption"); // the control right under the title
        QTest::newRow("Vek Set over Lines") << "Frm_VekSet"
                                            << "Lbl_VekSet(1)";
        QTest::newRow("Led Color over Red") << "Frm_LedColor"
                                            << "Kivaro_Color(0)";
        QTest::newRow("Code Style over Asm") << "Frm_CodeStyle"
                                             << "Opt_CodeStyle(1)";
        QTest::newRow("Code Model over its options") << "Frm_CodeModel"
                                                     << "Opt_CodeModel(0)";
    }
    void frameTitlesKeepARowAboveTheCaptions() {
        QFETCH(QString, frame);
        QFETCH(QString, caption);
        auto* box = w->findChild<QGroupBox*>(frame);
        auto* under = w->findChild<QWidget*>(caption);
        QVERIFY(box && under);
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.subControls = QStyle::SC_GroupBoxLabel;
        const QRect label = box->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                         QStyle::SC_GroupBoxLabel, box);
        const QString rows = inkRows(drawnAlone(box, label, w->height()),
                                     drawnAlone(under, under->rect(), w->height()));
        // Title rows, then empty rows, then the caption's rows and its access key's line. Two
        // empty rows here keep one where a desktop's rasteriser sets the title a row lower.
        QVERIFY2(QRegularExpression("^t+--+c[c-]*$").match(rows).hasMatch(), qPrintable(rows));
    }
};

QTEST_MAIN(TstDesktop)
#include "tst_desktop.moc"
