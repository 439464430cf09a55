// The main window driven as a user drives it: start-up, typing, the glyph and display
// settings, hand editing, copying and saving, the font chooser, picture import and help.

#include "WindowFixture.h"
#include "codegen/CodeText.h"
#include "codegen/CodeView.h"
#include "codegen/DotFile.h"
#include "platform/PictureSurface.h"
#include "window/CharBox.h"
#include "window/HelpFile.h"
#include "window/ScrollBar.h"
#include "window/WrappingButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <functional>
#include <optional>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <tuple>
#include <unistd.h>

using platform::MsgResult;
using testing::codeBytes;
using testing::codeLines;
using testing::dotPicture;
using testing::litDots;
using testing::WindowFixture;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A white picture with a black rectangle on it.
QImage block(QSize size, QRect black) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = black.top(); y <= black.bottom(); ++y)
        for (int x = black.left(); x <= black.right(); ++x)
            picture.setPixel(x, y, qRgb(0, 0, 0));
    return picture;
}

// The panel picture of a block of dots lit in the top-left corner of 16 x 16.
QString corner(int columns, int lines) {
    QString picture;
    for (int y = 0; y < 16; ++y)
        picture += QString(y < lines ? columns : 0, '#').leftJustified(16, '.') + '\n';
    return picture;
}

// The code text the window would write for its panel as it is now.
QString freshCode(orvane::SingleCharWindow* w) {
    return orvane::BuildCodeString(
        *w->Vek1, w->Opt_CodeModel[0]->isChecked(), w->Opt_CodeStyle[1]->isChecked(),
        orvane::CodeSubject(w->CharMode, w->Txt_Char->text(), w->Dialog.FileName()));
}

QPoint dotCentre(kivaro::IVek& vek, int x, int y) {
    const double pitch = 42.0 * vek.LedRadius() / 15.0;
    return QPoint(int((x - 0.5) * pitch), int((y - 0.5) * pitch));
}

struct ChangeCounter : kivaro::IVekEvents {
    int changes = 0;
    void Changed() override { ++changes; }
};

// The smallest rectangle that holds every pixel of image that isInk accepts.
QRect inkBox(const QImage& image, const std::function<bool(QRgb)>& isInk) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isInk(image.pixel(x, y)))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// Where the dark pixels of widget's own drawing lie, in its parent's coordinates.
QRect darkInk(QWidget* widget) {
    QImage image(widget->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    widget->render(&image, {}, {}, QWidget::DrawWindowBackground);
    return inkBox(image, [](QRgb c) { return qGray(c) < 80; }).translated(widget->pos());
}

// While it lives the running user may not write to folder; a test run as root (whom modes do
// not stop) runs as the user nobody, who owns what ownFile was given.
struct ReadOnlyFolder {
    QByteArray folder;
    bool asNobody = false;
    ReadOnlyFolder(const QString& path, bool active) : folder(QFile::encodeName(path)) {
        const passwd* nobody = ::getpwnam("nobody");
        asNobody = active && !::chmod(folder.constData(), 0555) && nobody && !::geteuid() &&
                   !::seteuid(nobody->pw_uid);
    }
    ~ReadOnlyFolder() { (void)(asNobody && ::seteuid(0)), ::chmod(folder.constData(), 0755); }
    static void ownFile(const QString& path) {
        if (const passwd* nobody = ::getpwnam("nobody"))
            (void)::chown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    }
};

// The entry's kind and mode, owner and group, as a link itself has them.
std::tuple<mode_t, uid_t, gid_t> modeAndOwner(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return {st.st_mode, st.st_uid, st.st_gid};
}

// A pipe, a socket or a device like /dev/zero at path, or a link to the device at target.
bool makeNode(const QString& kind, const QString& path, const QString& target = "/dev/zero") {
    if (kind == "link")
        return QFile::link(target, path);
    const mode_t type = kind == "pipe" ? S_IFIFO : kind == "socket" ? S_IFSOCK : S_IFCHR;
    return ::mknod(QFile::encodeName(path).constData(), type | 0666, makedev(1, 5)) == 0;
}

} // namespace

class TstWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowFixture> f; // a window of its own for each row
    orvane::SingleCharWindow* w = nullptr;
    void open(const QString& folder) {
        f = std::make_unique<WindowFixture>(folder);
        w = f->window.get();
    }

private slots:
    void init() { open(QCoreApplication::applicationDirPath()); }
    void startsWithTheCodeOfTheDefaultCharacter() {
        QCOMPARE(codeLines(w->Txt_Display->Text()).value(0), QStringLiteral(";英"));
        QCOMPARE(codeBytes(w->Txt_Display->Text()).size(), 32);
        QCOMPARE(w->Txt_Display->Text(), freshCode(w));
        QCOMPARE(QList<int>({w->Vek1->MaxLines(), w->Vek1->MaxRows(), w->Vek1->LedRadius()}),
                 QList<int>({16, 16, 5}));
        QCOMPARE(QList<int>({w->Vek1->OnSetColor(), w->Vek1->OnClrColor()}),
                 QList<int>({kivaro::Green, kivaro::BGreen}));
        QCOMPARE(QList<int>({w->HScrl_ChrPos->maximum(), w->HScrl_ChrPos->value(),
                             w->VScrl_ChrPos->maximum(), w->VScrl_ChrPos->value(),
                             w->HScrl_ChrWth->minimum(), w->HScrl_ChrWth->value(),
                             w->VScrl_ChrHgt->value()}),
                 QList<int>({286, 143, 290, 145, 1, 143, 145}));
        QCOMPARE(QStringList({w->Lbl_VekSet[1]->text(), w->Lbl_VekSet[2]->text(),
                              w->Lbl_VekSet[3]->text()}),
                 QStringList({"&Lines:16", "Ro&ws:16", "Ra&dius:5"}));
        QVERIFY(!w->HScrl_VekPos->isEnabled() && !w->VScrl_VekPos->isEnabled());
        QCOMPARE(w->Opt_CodeModel[1]->text(), QStringLiteral("A--C\n\r|     |\n\rB--D"));
        QCOMPARE(w->Pic_Char->FontName(), QStringLiteral("黑体"));
        // The glyph lies inside the surface, off its edges, reaching both outer quarters.
        const QImage& image = w->Pic_Char->Image();
        const QRect ink =
            inkBox(image, [](QRgb c) { return c != qRgb(128, 128, 128) && c != qRgb(255, 0, 0); });
        QVERIFY2(image.rect().adjusted(1, 1, -1, -1).contains(ink),
                 qPrintable(QDebug::toString(ink)));
        QVERIFY(ink.top() < image.height() / 4 && ink.bottom() > image.height() * 3 / 4);
        QVERIFY(std::abs(ink.center().x() - image.width() / 2) < image.width() / 8);
        QVERIFY(std::abs(ink.center().y() - image.height() / 2) < image.height() / 8);
        w->show(); // typing goes to the character box at once
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(w->Txt_Char->text(), QStringLiteral(" "));
    }

    void scrollBarKeysStepAsOnThePlatform_data() {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("value");
        // Lines: 16 of 1 to 254, large change 5; glyph height: 145 of 1 to 145, large change 10.
        QTest::newRow("Right adds one") << false << int(Qt::Key_Right) << 17;
        QTest::newRow("Left takes one") << false << int(Qt::Key_Left) << 15;
        QTest::newRow("Page Down adds five") << false << int(Qt::Key_PageDown) << 21;
        QTest::newRow("Home goes to 1") << false << int(Qt::Key_Home) << 1;
        QTest::newRow("End goes to 254") << false << int(Qt::Key_End) << 254;
        QTest::newRow("vertical Page Up takes ten") << true << int(Qt::Key_PageUp) << 135;
    }
    void scrollBarKeysStepAsOnThePlatform() {
        QFETCH(bool, vertical);
        QFETCH(int, key);
        QFETCH(int, value);
        orvane::ScrollBar* bar = vertical ? w->VScrl_ChrHgt : w->HScrl_Lines;
        QTest::keyClick(bar, Qt::Key(key));
        QCOMPARE(bar->value(), value);
    }

    // Each key replaces the character before it; a key that types nothing empties the box.
    void typingReplacesTheCharacter_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown");
        QTest::newRow("a letter") << "A" << 0 << "A";
        QTest::newRow("a paste keeps its first character") << "AB" << -1 << "A";
        QTest::newRow("beyond the basic plane")
            << QString::fromUcs4(U"\U00020000x") << -1 << QString::fromUcs4(U"\U00020000");
        QTest::newRow("left arrow") << "" << int(Qt::Key_Left) << "";
        QTest::newRow("shift alone") << "" << int(Qt::Key_Shift) << "";
    }
    void typingReplacesTheCharacter() {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, shown);
        w->show();
        ChangeCounter counter;
        w->Vek1->Advise(&counter);
        if (key > 0)
            QTest::keyClick(w->Txt_Char, Qt::Key(key));
        else if (key == 0)
            QTest::keyClicks(w->Txt_Char, typed);
        else
            w->Txt_Char->setText(typed);
        w->Vek1->Unadvise(&counter);
        QCOMPARE(w->Txt_Char->text(), shown);
        QCOMPARE(codeLines(w->Txt_Display->Text()).value(0), ";" + shown);
        QCOMPARE(w->Txt_Display->Text(), freshCode(w));
        QCOMPARE(counter.changes, key == 0 ? 2 * 256 : 256); // emptied first, then the key
        QCOMPARE(litDots(*w->Vek1) > 0, !shown.isEmpty());
        QVERIFY(w->CharMode);
    }

    void glyphScrollBarsMoveAndSizeTheGlyph() {
        w->Pic_Bkp->SetPicture(block(QSize(143, 145), QRect(0, 0, 71, 72)));
        w->CharMode = false;
        w->RefreshPipeline(w->kStandardFx, w->kStandardFy);
        QCOMPARE(dotPicture(*w->Vek1), corner(8, 8));
        w->HScrl_ChrWth->setValue(71);
        w->VScrl_ChrHgt->setValue(72);
        QCOMPARE(litDots(*w->Vek1), 256);
        w->HScrl_ChrPos->setSliderDown(true); // a drag changes nothing until released
        w->HScrl_ChrPos->setSliderPosition(0);
        QCOMPARE(litDots(*w->Vek1), 256);
        w->HScrl_ChrPos->setSliderDown(false);
        QCOMPARE(litDots(*w->Vek1), 0);
        QTest::mouseClick(w->Pic_Char, Qt::LeftButton); // back to the start values
        QCOMPARE(QList<int>({w->HScrl_ChrPos->value(), w->VScrl_ChrPos->value(),
                             w->HScrl_ChrWth->value()}),
                 QList<int>({143, 145, 143}));
        QCOMPARE(dotPicture(*w->Vek1), corner(8, 8));
    }

    // The panel scrolls in its container (made 229 x 224 pixels) when it grows past it.
    void panelScrollsWhenItOutgrowsItsContainer_data() {
        QTest::addColumn<QList<int>>("settings"); // lines, rows, radius
        QTest::addColumn<QList<int>>("scroll");   // enabled, maximum: vertical then horizontal
        QTest::newRow("as tall as it") << QList<int>{16, 16, 5} << QList<int>{0, 0, 0, 0};
        QTest::newRow("17 lines") << QList<int>{17, 16, 5} << QList<int>{1, 238 - 224, 0, 0};
        QTest::newRow("40 rows") << QList<int>{16, 40, 5} << QList<int>{0, 0, 1, 560 - 229};
        QTest::newRow("radius 6") << QList<int>{16, 16, 6}
                                  << QList<int>{1, 269 - 224, 1, 269 - 229};
        QTest::newRow("largest") << QList<int>{254, 254, 40}
                                 << QList<int>{1, 28448 - 224, 1, 28448 - 229};
        QTest::newRow("smaller again") << QList<int>{10, 3, 5} << QList<int>{0, 0, 0, 0};
    }
    void panelScrollsWhenItOutgrowsItsContainer() {
        QFETCH(QList<int>, settings);
        QFETCH(QList<int>, scroll);
        w->Pic_VekContainer->resize(229, 224);
        w->HScrl_Lines->setValue(30);
        w->HScrl_Rows->setValue(30);
        w->VScrl_VekPos->setValue(100);
        w->HScrl_VekPos->setValue(50);
        QCOMPARE(w->Vek1->Widget()->pos(), QPoint(-50, -100));
        w->HScrl_Radius->setValue(settings[2]);
        w->HScrl_Lines->setValue(settings[0]);
        w->HScrl_Rows->setValue(settings[1]);
        QCOMPARE(QList<int>({w->Vek1->MaxLines(), w->Vek1->MaxRows(), w->Vek1->LedRadius()}),
                 settings);
        QCOMPARE(w->Lbl_VekSet[3]->text(), "Ra&dius:" + QString::number(settings[2]));
        QCOMPARE(
            QList<int>({w->VScrl_VekPos->isEnabled(), scroll[0] ? w->VScrl_VekPos->maximum() : 0,
                        w->HScrl_VekPos->isEnabled(), scroll[2] ? w->HScrl_VekPos->maximum() : 0}),
            scroll);
        const QPoint pos = w->Vek1->Widget()->pos();
        QCOMPARE(pos, QPoint(scroll[2] ? -std::min(50, scroll[3]) : 0,
                             scroll[0] ? -std::min(100, scroll[1]) : 0));
        QCOMPARE(codeBytes(w->Txt_Display->Text()).size(), settings[0] * ((settings[1] + 7) / 8));
        w->HScrl_Lines->setValue(30); // grown again, a bar that was off starts at 0 with the panel
        w->HScrl_Rows->setValue(30);
        const QPoint grown = w->Vek1->Widget()->pos();
        QCOMPARE(QList<int>({scroll[0] ? 0 : w->VScrl_VekPos->value() - grown.y(),
                             scroll[2] ? 0 : w->HScrl_VekPos->value() - grown.x()}),
                 QList<int>({0, 0}));
    }

    // A colour option repaints the glyph in its pair, undoing hand edits on the panel only.
    void colourOptionsRepaintTheGlyphInTheirPair_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("unlit");
        QTest::addColumn<int>("lit");
        QTest::newRow("red") << 0 << 0x50 << 0xFF;
        QTest::newRow("green") << 1 << 0x8000 << 0xFF00;
        QTest::newRow("blue") << 2 << 0x800000 << 0xFF0000;
        QTest::newRow("yellow") << 3 << 0x8080 << 0xFFFF;
        QTest::newRow("pink") << 4 << 0x800080 << 0xFF00FF;
        QTest::newRow("no option 5") << 5 << 0x8000 << 0xFF00;
        QTest::newRow("no option -1") << -1 << 0x8000 << 0xFF00;
    }
    void colourOptionsRepaintTheGlyphInTheirPair() {
        QFETCH(int, index);
        QFETCH(int, unlit);
        QFETCH(int, lit);
        w->show();
        const QString sampled = dotPicture(*w->Vek1);
        QTest::mouseClick(w->Vek1->Widget(), Qt::LeftButton, {}, dotCentre(*w->Vek1, 1, 1));
        const QString editedCode = w->Txt_Display->Text();
        QVERIFY(editedCode != freshCode(w) || dotPicture(*w->Vek1) != sampled);
        if (index >= 0 && index < 5)
            QTest::mouseClick(w->Kivaro_Color[index], Qt::LeftButton);
        else
            w->Kivaro_Color_Click(index);
        QCOMPARE(QList<int>({w->Vek1->OnClrColor(), w->Vek1->OnSetColor()}),
                 QList<int>({unlit, lit}));
        QCOMPARE(dotPicture(*w->Vek1), sampled);
        QCOMPARE(w->Txt_Display->Text(), editedCode);
    }

    void handEditFollowsIntoTheCode() {
        w->show();
        QTest::keyClicks(w->Txt_Char, " "); // a blank glyph
        QTest::mouseClick(w->Vek1->Widget(), Qt::LeftButton, {}, dotCentre(*w->Vek1, 1, 1));
        QTest::mouseClick(w->Vek1->Widget(), Qt::LeftButton, {}, dotCentre(*w->Vek1, 16, 2));
        QCOMPARE(codeBytes(w->Txt_Display->Text()).mid(0, 4),
                 QStringList({"80H", "00H", "00H", "01H"}));
        for (QRadioButton* option : {w->Opt_CodeStyle[2], w->Opt_CodeModel[1]}) {
            QTest::mouseClick(option, Qt::LeftButton); // each option writes the code anew
            QCOMPARE(w->Txt_Display->Text(), freshCode(w));
        }
        QCOMPARE(codeBytes(w->Txt_Display->Text()).value(30), QStringLiteral("0x40")); // column 16
        QTest::mouseClick(w->Chk_VekEdit, Qt::LeftButton); // editing off: clicks change nothing
        QVERIFY(!w->Vek1->Enable());
        QTest::mouseClick(w->Vek1->Widget(), Qt::LeftButton, {}, dotCentre(*w->Vek1, 8, 8));
        QCOMPARE(litDots(*w->Vek1), 2);
        QTest::mouseClick(w->Chk_VekEdit, Qt::LeftButton);
        QVERIFY(w->Vek1->Enable());
        QCOMPARE(w->Txt_Display->Text(), freshCode(w));
        w->Txt_Display->SetText("typed by hand\r\nsecond line"); // copied as it stands
        QTest::mouseClick(w->Cmd_Copy, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), w->Txt_Display->Text());
    }

    // A user acting while a large panel paints (both counts over 150) leaves the code, the
    // panel and the labels in step.
    void changesDuringAYieldLeaveCodeAndPanelInStep_data() {
        QTest::addColumn<int>("action");
        QTest::newRow("rows shrink") << 0;
        QTest::newRow("character typed") << 1;
        QTest::newRow("dot clicked") << 2;
        QTest::newRow("colour and syntax clicked in a colour's paint") << 3;
    }
    void changesDuringAYieldLeaveCodeAndPanelInStep() {
        QFETCH(int, action);
        w->show();
        w->HScrl_Radius->setValue(1);
        w->HScrl_Rows->setValue(200);
        if (action == 3) // the outer change leaves the code as it is
            w->HScrl_Lines->setValue(180);
        bool acted = false;
        w->VekSite().SetYieldHook([&] {
            if (std::exchange(acted, true))
                return;
            if (action == 0)
                w->HScrl_Rows->setValue(151);
            else if (action == 1)
                QTest::keyClicks(w->Txt_Char, "W");
            else if (action == 2)
                QTest::mouseClick(w->Vek1->Widget(), Qt::LeftButton, {}, dotCentre(*w->Vek1, 3, 3));
            else
                for (QAbstractButton* option : {w->Kivaro_Color[0], w->Opt_CodeStyle[2]})
                    QTest::mouseClick(option, Qt::LeftButton);
        });
        action == 3 ? QTest::mouseClick(w->Kivaro_Color[3], Qt::LeftButton)
                    : w->HScrl_Lines->setValue(180);
        w->VekSite().SetYieldHook({});
        QVERIFY(acted);
        QCOMPARE(w->Txt_Display->Text(), freshCode(w));
        QCOMPARE(codeBytes(w->Txt_Display->Text()).size(), 180 * ((w->Vek1->MaxRows() + 7) / 8));
    }

    // Keys come faster than a 254 x 254 panel repaints: they are handled inside its paint's
    // yield, their own paints do not yield, and their refreshes merge into one.
    void inputStormOnTheLargestPanelNestsNoPaintInAnother_data() {
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<int>("atYield");
        QTest::addColumn<int>("runs"); // the storm's refresh after the yield, then the key's own
        QTest::newRow("in a key's paint") << true << 1 << 2;
        QTest::newRow("in a paint outside the handlers") << false << 254 << 1;
    }
    void inputStormOnTheLargestPanelNestsNoPaintInAnother() {
        QFETCH(bool, byKey);
        QFETCH(int, atYield);
        QFETCH(int, runs);
        w->HScrl_Lines->setValue(254);
        w->HScrl_Rows->setValue(254);
        int depth = 0, deepest = 0;
        w->VekSite().ResetCounts();
        w->VekSite().SetYieldHook([&] {
            const QScopedValueRollback<int> nested(depth, depth + 1);
            deepest = std::max(deepest, depth);
            for (int key = 1; key < 40 && w->VekSite().YieldCount() == atYield; ++key)
                QTest::keyClick(w->HScrl_Radius, key % 2 ? Qt::Key_Left : Qt::Key_Right);
        });
        ChangeCounter sampled; // a refresh sets or clears every dot
        w->Vek1->Advise(&sampled);
        byKey ? QTest::keyClick(w->HScrl_Radius, Qt::Key_Right) : w->Vek1->ClrAll();
        w->Vek1->Unadvise(&sampled);
        w->VekSite().SetYieldHook({});
        QCOMPARE(deepest, 1);
        QCOMPARE(w->VekSite().YieldCount(), 254); // the first paint still yields after every line
        QCOMPARE(sampled.changes / (254 * 254), runs);
        QCOMPARE(int(w->Vek1->LedRadius()), w->HScrl_Radius->value());
        QCOMPARE(w->Lbl_VekSet[3]->text(), "Ra&dius:" + QString::number(w->HScrl_Radius->value()));
        const QString code = w->Txt_Display->Text();
        QCOMPARE(code, freshCode(w));
        w->RefreshPipeline(w->kStandardFx,
                           w->kStandardFy); // the panel is what a lone refresh samples
        QCOMPARE(w->Txt_Display->Text(), code);
    }

    // Save proposes the character in the program's folder, asks before overwriting, and
    // writes the file whole or not at all.
    void saveAsksBeforeOverwriting_data() {
        QTest::addColumn<QStringList>("script"); // file answers and question answers, in turn
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QString>("message");
        QTest::newRow("a new name") << QStringList{"new"} << "new" << 0 << "";
        QTest::newRow("yes overwrites") << QStringList{"first", "yes"} << "first" << 1 << "";
        QTest::newRow("no, another old name, yes")
            << QStringList{"first", "no", "second", "yes"} << "second" << 2 << "";
        QTest::newRow("no, then a new name")
            << QStringList{"first", "no", "new"} << "new" << 1 << "";
        QTest::newRow("no, then cancel") << QStringList{"first", "no", "cancel"} << "" << 1 << "";
        QTest::newRow("cancel") << QStringList{"cancel"} << "" << 0 << "";
        QTest::newRow("the dialog fails") << QStringList{"fail"} << "" << 0 << "文件保存没有成功！";
        QTest::newRow("a folder that does not exist")
            << QStringList{"missing/new"} << "" << 0 << "文件保存没有成功！";
        QTest::newRow("memory runs out")
            << QStringList{"exhausted"} << "" << 0 << "文件保存没有成功！";
    }
    void saveAsksBeforeOverwriting() {
        QFETCH(QStringList, script);
        QFETCH(QString, written);
        QFETCH(int, questions);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QByteArray old(20000, 'x'); // longer than the code: nothing of it may survive
        for (const char* name : {"first", "second"})
            QVERIFY(writeFile(dir.filePath(QString(name) + ".dot"), old));
        for (const QString& step : script) {
            if (step == "yes" || step == "no")
                f->messages.answers << (step == "yes" ? MsgResult::Yes : MsgResult::No);
            else if (step == "cancel")
                f->dialogs.cancel();
            else if (step == "fail")
                f->dialogs.fail(platform::kErrDeviceIO);
            else if (step == "exhausted")
                f->dialogs.exhausted = true;
            else
                f->dialogs.confirm(dir.filePath(step + ".dot"));
        }
        QTest::mouseClick(w->Cmd_Save, Qt::LeftButton);
        QCOMPARE(f->dialogs.fileRequests.value(0).fileName,
                 QCoreApplication::applicationDirPath() + "/英.dot");
        QCOMPARE(f->dialogs.fileRequests.value(0).title, QStringLiteral("保存点阵文件"));
        QCOMPARE(f->dialogs.fileRequests.value(0).owner, w); // over the window
        QCOMPARE(f->messages.parents, QList<QWidget*>(f->messages.shown.size(), w));
        QCOMPARE(f->messages.shown.size(), questions + !message.isEmpty());
        for (int i = 0; i < questions; ++i)
            QCOMPARE(f->messages.shown[i].text, QStringLiteral("是否覆盖同名文件！"));
        QCOMPARE(f->messages.shown.value(questions).text, message);
        if (!message.isEmpty())
            QCOMPARE(f->messages.shown.value(questions).caption, QStringLiteral("友情提示"));
        const QByteArray code = orvane::DotFileBytes(w->Txt_Display->Text());
        for (const char* name : {"first", "second", "new"}) {
            const QByteArray before = QString(name) == "new" ? QByteArray("<none>") : old;
            QCOMPARE(readAll(dir.filePath(QString(name) + ".dot")),
                     written == name ? code : before);
        }
    }

    // Saving replaces an existing file whole or leaves it as it was, with its mode and owner,
    // and refuses anything but a regular file.
    void saveNeverLosesTheEntryItReplaces_data() {
        QTest::addColumn<QString>("kind"); // "file", or a node makeNode makes
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<bool>("inPlace"); // in a read-only folder, so written in place
        QTest::newRow("300 characters, disk full") << "file" << 300 << true << false;
        QTest::newRow("40,000 characters, disk full") << "file" << 40000 << true << false;
        QTest::newRow("40,000 characters in place, disk full") << "file" << 40000 << true << true;
        QTest::newRow("replaced by a new file") << "file" << 300 << false << false;
        QTest::newRow("written in place") << "file" << 300 << false << true;
        for (const char* kind : {"pipe", "socket", "device", "link"})
            QTest::newRow(kind) << QString(kind) << 300 << false << false;
    }
    void saveNeverLosesTheEntryItReplaces() {
        QFETCH(QString, kind);
        QFETCH(int, length);
        QFETCH(bool, diskFull);
        QFETCH(bool, inPlace);
        QTemporaryDir dir, devices; // a link leads to a device of the test's own
        // A full disk is an 8 KB tmpfs, where the test may mount one.
        const QByteArray at = QFile::encodeName(dir.path());
        const bool mounted =
            diskFull && !::mount("tmpfs", at.constData(), "tmpfs", 0, "size=8k,mode=0755");
        const auto unmount = qScopeGuard([&] {
            if (mounted)
                ::umount2(at.constData(), MNT_DETACH);
        });
        if (diskFull && !mounted)
            QSKIP("no tmpfs to fill on this machine");
        const QString path = dir.filePath("old.dot"), device = devices.filePath("zero");
        const QByteArray old(100, 'o');
        if (kind == "file" && writeFile(path, old))
            ReadOnlyFolder::ownFile(path);
        else if (kind != "file" && (!makeNode("device", device) || !makeNode(kind, path, device)))
            QSKIP("this machine does not let the test make such a node");
        const auto before = modeAndOwner(path);
        if (mounted) // the last free block
            writeFile(dir.filePath("filler"), QByteArray(4096, 'f'));
        w->Txt_Display->SetText(QString(length, 'A'));
        f->dialogs.confirm(path);
        f->messages.answers = {MsgResult::Yes};
        {
            const ReadOnlyFolder readOnly(dir.path(), inPlace);
            w->Cmd_Save_Click();
        }
        const bool fails = diskFull || kind != "file";
        QCOMPARE(f->messages.shown.size(), fails ? 2 : 1); // the overwrite question, the failure
        QCOMPARE(f->messages.shown.last().text,
                 fails ? "文件保存没有成功！" : "是否覆盖同名文件！");
        if (kind == "file")
            QCOMPARE(readAll(path), fails ? old : orvane::DotFileBytes(w->Txt_Display->Text()));
        else
            QVERIFY(S_ISCHR(std::get<0>(modeAndOwner(device))));
        QVERIFY(modeAndOwner(path) == before);
        QCOMPARE(QDir(dir.path()).entryList({"old.dot*"}, QDir::Files | QDir::System).size(), 1);
    }

    // The proposal is a plain name in a folder the user may write.
    void proposalLiesInAFolderTheUserMayWrite_data() {
        QTest::addColumn<QString>("character");
        QTest::addColumn<int>("folder"); // 0 as made, 1 its name ending in a slash, 2 read-only
        QTest::addColumn<QString>("name");
        QTest::newRow("slash") << "/" << 0 << "_.dot";
        QTest::newRow("NUL") << QString(QChar(0)) << 0 << "_.dot";
        QTest::newRow("a folder ending in a slash") << "" << 1 << ".dot";
        QTest::newRow("read-only program folder: home") << "英" << 2 << "英.dot";
    }
    void proposalLiesInAFolderTheUserMayWrite() {
        QFETCH(QString, character);
        QFETCH(int, folder);
        QFETCH(QString, name);
        QTemporaryDir dir;
        const ReadOnlyFolder readOnly(dir.path(), folder == 2);
        QCOMPARE(orvane::ProposedDotFileName(dir.path() + QString(folder == 1, '/'), character),
                 (folder == 2 ? QDir::homePath() : dir.path()) + '/' + name);
    }

    // The chooser opens on the face that draws "黑体"; the chosen face and style are taken,
    // the size is not (sampling sets it), and OK on the opened face changes nothing.
    void fontChooserAppliesFaceAndStyle_data() {
        QTest::addColumn<int>("answer"); // 1 a styled font, 2 the opened face, 0 cancel, else fails
        QTest::addColumn<QString>("face");
        QTest::newRow("chosen") << 1 << "DejaVu Serif";
        QTest::newRow("OK on the opened face") << 2 << "WenQuanYi Zen Hei";
        QTest::newRow("cancelled") << 0 << "黑体";
        QTest::newRow("failed") << 57 << "黑体";
        QTest::newRow("memory runs out") << -1 << "黑体";
    }
    void fontChooserAppliesFaceAndStyle() {
        QFETCH(int, answer);
        QFETCH(QString, face);
        QFont chosen("DejaVu Serif", 12);
        chosen.setBold(true), chosen.setItalic(true), chosen.setUnderline(true),
            chosen.setStrikeOut(true);
        const QFont opened("WenQuanYi Zen Hei", 106);
        f->dialogs.fontAnswers = {answer == 1   ? std::optional(chosen)
                                  : answer == 2 ? std::optional(opened)
                                                : std::nullopt};
        f->dialogs.fontFailWith = answer > 2 ? answer : 0;
        f->dialogs.exhausted = answer < 0;
        const QString code = w->Txt_Display->Text();
        const QImage glyph = w->Pic_Char->Image().copy();
        QTest::mouseClick(w->Cmd_Font, Qt::LeftButton);
        QCOMPARE(f->dialogs.fontRequests.value(0).font.family(), opened.family());
        QCOMPARE(f->dialogs.fontRequests.value(0).font.pointSizeF(), 106.0);
        QCOMPARE(f->dialogs.fontRequests.value(0).owner, w);
        QCOMPARE(w->Pic_Char->FontName(), face);
        QCOMPARE(w->Pic_Char->FontSize(), 106.0);
        const bool styled = answer == 1;
        QCOMPARE(QList<bool>({w->Pic_Char->FontBold(), w->Pic_Char->FontItalic(),
                              w->Pic_Char->FontUnderline(), w->Pic_Char->FontStrikethru()}),
                 QList<bool>(4, styled));
        QCOMPARE(w->Txt_Display->Text() == code, !styled);
        QCOMPARE(w->Pic_Char->Image() == glyph, !styled);
        const bool fails = answer < 0 || answer > 2;
        QCOMPARE(f->messages.shown.value(0).text, fails ? "字体设置错误！" : "");
        QCOMPARE(f->messages.parents.value(0), fails ? w : nullptr);
    }

    // A right click imports a picture (pure black lights dots); what cannot be read is
    // refused with a message and loses nothing.
    void rightClickImportsAPicture_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a picture") << "good";
        QTest::newRow("cancel") << "cancel";
        QTest::newRow("not a picture") << "text";
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("hundreds of megapixels") << "huge";
        QTest::newRow("no such file") << "missing";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a pipe") << "pipe";
        QTest::newRow("a link to /dev/zero") << "link";
        QTest::newRow("memory runs out") << "exhausted";
    }
    void rightClickImportsAPicture() {
        QFETCH(QString, kind);
        const bool refused = kind != "good" && kind != "cancel";
        QTemporaryDir dir;
        const QString good = dir.filePath("good.bmp");
        QVERIFY(block(QSize(100, 60), QRect(0, 0, 71, 36)).save(good)); // 8 x 4 dots
        QByteArray bytes = readAll(good);
        const QString bad = kind == "folder" ? dir.path() : dir.filePath("bad.bmp");
        if (kind == "text")
            bytes = "this is not a picture\n";
        else if (kind == "truncated")
            bytes.truncate(40);
        if (kind == "huge") {
            qToLittleEndian<qint32>(20000, bytes.data() + 18);
            qToLittleEndian<qint32>(20000, bytes.data() + 22);
        }
        if (kind == "pipe" || kind == "link")
            QVERIFY(makeNode(kind, bad));
        else if (kind != "missing" && kind != "folder")
            QVERIFY(writeFile(bad, bytes));
        const QString start = w->Txt_Display->Text();
        kind == "cancel" ? f->dialogs.cancel() : f->dialogs.confirm(kind == "good" ? good : bad);
        f->dialogs.exhausted = kind == "exhausted";
        QTest::mouseClick(w->Pic_Char, Qt::RightButton);
        QTest::mouseClick(w->Pic_Char, Qt::MiddleButton); // does nothing
        QCOMPARE(f->dialogs.fileRequests.size(), 1);
        QCOMPARE(f->dialogs.fileRequests[0].title, QStringLiteral("导入图象文件(单色260*140)"));
        QCOMPARE(f->messages.shown.value(0).text, refused ? "不能打开所选取的图象文件！" : "");
        QCOMPARE(w->CharMode, kind != "good");
        QCOMPARE(codeLines(w->Txt_Display->Text()).value(0), kind == "good" ? ";" + good : ";英");
        if (kind == "good")
            QCOMPARE(dotPicture(*w->Vek1), corner(8, 4));
        else
            QCOMPARE(w->Txt_Display->Text(), start);
        w->show();
        QTest::keyClicks(w->Txt_Char, "K"); // typing takes the character back
        QVERIFY(w->CharMode);
        QCOMPARE(codeLines(w->Txt_Display->Text()).value(0), QStringLiteral(";K"));
    }

    // Help shows the help file beside the program; any input change brings the code back.
    void helpShowsTheHelpFileOrElseTheAboutText_data() {
        QTest::addColumn<QString>("content"); // "built", "missing", "random" or the text
        QTest::newRow("the built help file") << "built";
        QTest::newRow("missing") << "missing";
        QTest::newRow("random bytes") << "random";
        QTest::newRow("an empty file") << "";
        QTest::newRow("a text of its own") << "丂 第一行 line";
        QTest::newRow("a pipe") << "pipe"; // neither blocks nor reads without end
        QTest::newRow("a link to /dev/zero") << "link";
        QTest::newRow("one byte too long") << "toolong";
        QTest::newRow("as long as allowed") << "longest";
    }
    void helpShowsTheHelpFileOrElseTheAboutText() {
        QFETCH(QString, content);
        QTemporaryDir dir;
        const QString bin = QCoreApplication::applicationDirPath();
        QFile::link(bin + "/libKivaro.so", dir.filePath("libKivaro.so"));
        QByteArray noise;
        for (int i = 0; i < 4096; ++i)
            noise.append(char((i * 7919 + 13) % 256));
        const QString help = dir.filePath("Quibrel.dll");
        const qint64 longest = orvane::kMaxHelpFileBytes;
        QFile zeros(help); // each zero unscrambles to the key's character
        const bool about =
            QStringList{"missing", "random", "pipe", "link", "toolong"}.contains(content);
        if (content == "random")
            QVERIFY(writeFile(help, noise));
        else if (content == "pipe" || content == "link")
            QVERIFY(makeNode(content, help));
        else if (content == "toolong" || content == "longest")
            QVERIFY(zeros.open(QIODevice::WriteOnly) &&
                    zeros.resize(longest + (content != "longest")));
        else if (content != "missing" && content != "built")
            QVERIFY(writeFile(help, orvane::EncodeHelpFile(content)));
        open(content == "built" ? bin : dir.path());
        QTest::mouseClick(w->Cmd_Help, Qt::LeftButton);
        QString want = content;
        if (content == "built")
            want = QString::fromUtf8(readAll(POINTILLO_HELP_SOURCE)).replace("\n", "\r\n");
        else if (content == "longest")
            want = QString(longest, QChar(orvane::kHelpKey));
        else if (about)
            want = orvane::AboutText();
        QCOMPARE(w->Txt_Display->Text(), want);
        QVERIFY(f->messages.shown.isEmpty());
        w->Opt_Code_Click();
        QCOMPARE(codeLines(w->Txt_Display->Text()).value(0), QStringLiteral(";英"));
    }

    // The help file keeps single bytes and the trail bytes of code-page 936 pairs XORed.
    void helpFileScramblesSingleAndTrailBytes() {
        const char k = char(orvane::kHelpKey);
        const QByteArray plain("\x80\x81\x41\xFE\x42\xFF\x81", 7);
        const char want[] = {char(0x80 ^ k), '\x81',         char(0x41 ^ k), '\xFE',
                             char(0x42 ^ k), char(0xFF ^ k), char(0x81 ^ k)};
        QCOMPARE(orvane::ScrambleAnsi(plain), QByteArray(want, 7));
    }

    // Drawn without clipping, every stroke of a caption stays inside its control; check box
    // and option captions wrap where their controls are more than a line high.
    void captionsAreReadableInFull() {
        QCOMPARE(w->font().pointSizeF(), 8.0);
        const auto fits = [](QWidget* control, QRect area, const QString& text, int flags) {
            QImage image(control->size() + QSize(40, 40), QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setFont(control->font());
            painter.drawText(area.translated(20, 20), flags | Qt::TextDontClip, text);
            painter.end();
            const QRect ink = inkBox(image, [](QRgb c) { return qGray(c) < 160; });
            QVERIFY2(QRect(QPoint(20, 20), control->size()).contains(ink), qPrintable(text));
        };
        const auto wrapping = [&](auto* none) {
            using Button = std::remove_pointer_t<decltype(none)>;
            for (Button* button : w->findChildren<Button*>()) {
                auto* wraps = dynamic_cast<orvane::WrappingButton<Button>*>(button);
                QVERIFY2(wraps, qPrintable(button->text()));
                fits(wraps, wraps->CaptionArea(), wraps->text(), wraps->kCaptionFlags);
            }
        };
        wrapping(static_cast<QCheckBox*>(nullptr));
        wrapping(static_cast<QRadioButton*>(nullptr));
        for (QLabel* label : w->findChildren<QLabel*>())
            if (!label->text().isEmpty())
                fits(label, label->contentsRect(), label->text(), int(label->alignment()));
        // Drawn apart, "Vek Set" and the first label's text share no row of dark ink.
        const QRect title = darkInk(w->Frm_VekSet).translated(-w->Frm_VekSet->pos());
        QVERIFY(title.bottom() < darkInk(w->Lbl_VekSet[1]).top());
    }

    void missingControlLibraryIsReportedNotCrashed() {
        QTemporaryDir empty;
        QVERIFY_THROWS_EXCEPTION(platform::PlatformError, WindowFixture{empty.path()});
    }
};

QTEST_MAIN(TstWindow)
#include "tst_window.moc"
