// The window on a desktop, driven by keyboard: Tab walks every control in the order of the tab
// indexes and never writes into the code, a key beyond the basic plane types its character, and
// the frames' titles keep clear of the captions under them.

#include "WindowFixture.h"
#include "codegen/CodeView.h"
#include "window/CharBox.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// The controls Tab stops at, in the order of their tab indexes, from Pic_Char (0) on. Frames,
// labels, the disabled panel scroll bars and the hidden Pic_Bkp take no focus.
const QStringList kTabStops{
    "HScrl_ChrPos",     "HScrl_ChrWth",     "VScrl_ChrPos",     "VScrl_ChrHgt",
    "Txt_Display",      "Cmd_Help",         "Kivaro_Color(4)",  "Kivaro_Color(3)",
    "Kivaro_Color(2)",  "Kivaro_Color(1)",  "Kivaro_Color(0)",  "HScrl_Lines",
    "HScrl_Rows",       "HScrl_Radius",     "Txt_Char",         "Opt_CodeStyle(1)",
    "Opt_CodeStyle(2)", "Opt_CodeModel(0)", "Opt_CodeModel(1)", "Cmd_Save",
    "Cmd_Font",         "Cmd_Copy",         "Chk_VekEdit"};

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
        QTest::addColumn<bool>("forward");
        QTest::addColumn<QStringList>("stops");
        QTest::newRow("Tab") << true << fromStartFocus(kTabStops, true);
        QTest::newRow("Shift+Tab") << false << fromStartFocus(kTabStops, false);
    }
    void tabOrderFollowsTheTabIndexes() {
        QFETCH(bool, forward);
        QFETCH(QStringList, stops);
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
};

QTEST_MAIN(TstDesktop)
#include "tst_desktop.moc"
