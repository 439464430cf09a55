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
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QTest>
#include <QtEndian>

#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

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
    QPainter(&picture).fillRect(black, Qt::black);
    return picture;
}

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

// The entry's kind and mode, owner and group, as a link itself has them.
QList<uint> modeAndOwner(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return {st.st_mode, st.st_uid, st.st_gid};
}

// The contents a row's "make" step names.
QByteArray contents(const QString& name) {
    QByteArray bmp;
    QBuffer buffer(&bmp);
    block(QSize(100, 60), QRect(0, 0, 72, 37)).save(&buffer, "BMP"); // 8 x 4 dots
    QByteArray huge = bmp, noise;
    qToLittleEndian<qint32>(20000, huge.data() + 18);
    qToLittleEndian<qint32>(20000, huge.data() + 22);
    for (int i = 0; i < 4096; ++i)
        noise.append(char((i * 7919 + 13) % 256));
    const qint64 longest = orvane::kMaxHelpFileBytes; // each zero unscrambles to the key
    const QHash<QString, QByteArray> named{
        {"bmp", bmp},
        {"huge", huge},
        {"truncated", bmp.left(40)},
        {"text", "not a picture\n"},
        {"noise", noise},
        {"longest", QByteArray(longest, 0)},
        {"toolong", QByteArray(longest + 1, 0)},
        {"help", orvane::EncodeHelpFile("丂 第一行\nline\r")},
        {"old", QByteArray(20000, 'o')}, // longer than the code: nothing of it may survive
        {"small", QByteArray(100, 'o')}, // one block of a small disk
    };
    return named.value(name);
}

struct ChangeCounter : kivaro::IVekEvents {
    int changes = 0;
    void Changed() override { ++changes; }
};

void row(const char* name, const QString& steps, const QString& seen) {
    QTest::newRow(name) << steps << seen;
}

} // namespace

class TstWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowFixture> f; // a window of its own for each row
    orvane::SingleCharWindow* w = nullptr;
    QString folder, startPanel, help, skip;
    QImage startGlyph;
    QHash<QString, QWidget*> named;
    ChangeCounter counter;
    QStringList inYield;
    int depth = 0, deepest = 0, yieldAt = 0;
    bool mounted = false, readOnly = false;
    QList<uint> first; // first.dot's mode and owner at the last click

    // The code text the window would write for its panel as it is now.
    QString freshCode() {
        return orvane::BuildCodeString(
            *w->Vek1, w->Opt_CodeModel[0]->isChecked(), w->Opt_CodeStyle[1]->isChecked(),
            orvane::CodeSubject(w->CharMode, w->Txt_Char->text(), w->Dialog.FileName()));
    }

    // One step of a row of userActions, taken as a user or the file system would; false for a
    // step that does not exist.
    bool act(const QString& step) {
        const QString verb = step.section(' ', 0, 0), rest = step.section(' ', 1);
        const QString arg = rest.section(' ', 0, 0), path = folder + "/" + arg;
        const QString more = rest.section(' ', 1, 1), last = rest.section(' ', 2);
        const int n = more.toInt();
        auto* bar = qobject_cast<orvane::ScrollBar*>(named.value(arg));
        const QHash<QString, Qt::Key> keys{
            {"Right", Qt::Key_Right},   {"Left", Qt::Key_Left},   {"PageDown", Qt::Key_PageDown},
            {"PageUp", Qt::Key_PageUp}, {"Shift", Qt::Key_Shift}, {"Space", Qt::Key_Space}};
        const QByteArray at = QFile::encodeName(folder);
        const passwd* nobody = ::getpwnam("nobody");
        QInputMethodEvent commit;
        const double pitch = 42.0 * w->Vek1->LedRadius() / 15.0;
        if (verb == "type") {
            QTest::keyClicks(w->Txt_Char, rest);
        } else if (verb == "paste") {
            w->Txt_Char->setText(rest);
        } else if (verb == "commit") { // an input method's character
            commit.setCommitString(rest);
            QApplication::sendEvent(w->Txt_Char, &commit);
        } else if (verb == "key") {
            QTest::keyClick(named.value(arg), keys.value(more));
        } else if (verb == "keys") { // a storm of alternate keys
            for (int k = 1; k <= n; ++k)
                QTest::keyClick(bar, k % 2 ? Qt::Key_Left : Qt::Key_Right);
        } else if (verb == "set" || verb == "drag" || verb == "release") {
            if (verb == "set")
                bar->setValue(n);
            bar->setSliderDown(verb == "drag");
            if (verb == "drag")
                bar->setSliderPosition(n);
        } else if (verb == "click") {
            // Modes do not stop root: in a read-only folder a test run as root clicks as nobody.
            const bool locked = std::exchange(readOnly, false) && !::chmod(at, 0555);
            const bool asNobody = locked && nobody && !::geteuid() && !::seteuid(nobody->pw_uid);
            first = modeAndOwner(folder + "/first.dot");
            QTest::mouseClick(named.value(arg), more == "right"    ? Qt::RightButton
                                                : more == "middle" ? Qt::MiddleButton
                                                                   : Qt::LeftButton);
            if (asNobody)
                (void)::seteuid(0);
            if (locked)
                ::chmod(at, 0700);
            if (arg == "help")
                help = w->Txt_Display->Text();
        } else if (verb == "dot") {
            QTest::mouseClick(w->Vek1->Widget(), Qt::LeftButton, {},
                              QPoint(int((arg.toInt() - 0.5) * pitch), int((n - 0.5) * pitch)));
        } else if (verb == "colour") {
            const int i = arg.toInt();
            i >= 0 && i < 5 ? QTest::mouseClick(w->Kivaro_Color[i], Qt::LeftButton)
                            : w->Kivaro_Color_Click(i);
        } else if (verb == "block") { // a black block sampled into a quarter of 16 x 16 dots
            w->Pic_Bkp->SetPicture(block(QSize(143, 145), QRect(0, 0, 72, 73)));
            w->CharMode = false;
            w->RefreshPipeline(w->kStandardFx, w->kStandardFy);
        } else if (verb == "container") {
            w->Pic_VekContainer->resize(arg.toInt(), n);
        } else if (verb == "view") { // "|" ends a line, "A×9" is nine As
            const QStringList repeated = QString(rest).replace("|", "\r\n").split("×");
            w->Txt_Display->SetText(repeated[0].repeated(repeated.value(1, "1").toInt()));
        } else if (verb.startsWith(
                       "yield")) { // as input while a paint yields, "yield@N" in its Nth
            inYield << rest;
            yieldAt = verb.section('@', 1).toInt();
        } else if (verb == "clear") {
            counter.changes = 0;
            w->VekSite().ResetCounts();
            w->Vek1->ClrAll();
        } else if (verb == "make") { // name kind [contents, or a link's target]
            const QString target = last == "built" ? QCoreApplication::applicationDirPath() + "/" +
                                                         orvane::kHelpFileName
                                   : last.isEmpty() ? "/dev/zero"
                                                    : folder + "/" + last;
            const mode_t node = more == "pipe" ? S_IFIFO : more == "socket" ? S_IFSOCK : S_IFCHR;
            bool made = more == "missing";
            if (more == "file")
                made = writeFile(path, contents(last));
            else if (more == "folder")
                made = QDir().mkdir(path);
            else if (more == "link")
                made = QFile::link(target, path);
            else if (!made)
                made = !::mknod(QFile::encodeName(path).constData(), node | 0666, makedev(1, 5));
            if (!made)
                skip = "this machine does not let the test make " + step;
        } else if (verb == "own") { // the user nobody may write it in place
            if (nobody)
                (void)::chown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        } else if (verb == "full") { // an 8 KB disk, filled by the step "fill"
            mounted = !::mount("tmpfs", at.constData(), "tmpfs", 0, "size=8k,mode=0755");
            skip = mounted ? "" : "no tmpfs to fill on this machine";
        } else if (verb == "fill") {
            writeFile(folder + "/filler", QByteArray(4096, 'f'));
        } else if (verb == "answer") { // to the next question or dialog
            if (arg == "yes" || arg == "no")
                f->messages.answers
                    << (arg == "yes" ? platform::MsgResult::Yes : platform::MsgResult::No);
            else if (arg == "cancel")
                f->dialogs.cancel();
            else if (arg == "fail") {
                f->dialogs.fail(platform::kErrDeviceIO);
                f->dialogs.fontFailWith = 57;
            } else if (arg == "exhausted")
                f->dialogs.exhausted = true;
            else
                f->dialogs.confirm(path);
        } else if (verb == "readonly") { // for the next click
            readOnly = true;
        } else if (verb == "font") {
            QFont chosen("DejaVu Serif", 12, QFont::Bold, true);
            chosen.setUnderline(true);
            chosen.setStrikeOut(true);
            f->dialogs.fontAnswers = {arg == "chosen"   ? std::optional(chosen)
                                      : arg == "opened" ? std::optional(QFont(rest.mid(7), 106))
                                                        : std::nullopt};
            QTest::mouseClick(w->Cmd_Font, Qt::LeftButton);
        } else if (verb == "focus") { // a key to whatever has the focus in the active window
            w->activateWindow();
            (void)QTest::qWaitForWindowActive(w);
            QTest::keyClick(QApplication::focusWidget(), keys.value(arg));
        } else {
            return false;
        }
        return true;
    }

    // What a user sees of the window, as the keys a row of userActions names.
    QMap<QString, QString> observe() {
        const QString code = w->Txt_Display->Text(), panel = testing::dotPicture(*w->Vek1);
        const int rows = w->Vek1->MaxRows();
        QRect lit;
        for (int i = 0; i < panel.size(); ++i)
            if (panel[i] == '#')
                lit |= QRect(i % (rows + 1), i / (rows + 1), 1, 1);
        const auto bar = [](orvane::ScrollBar* b) {
            return (b->isEnabled() ? QString::number(b->maximum()) : "off") + "@" +
                   QString::number(b->value());
        };
        const auto join = [](QList<int> values, const char* between, int base = 10) {
            QStringList out;
            for (int value : values)
                out << QString::number(value, base);
            return out.join(between);
        };
        const platform::PictureSurface& glyph = *w->Pic_Char;
        const QImage& image = glyph.Image();
        const QRect ink =
            inkBox(image, [](QRgb c) { return c != qRgb(128, 128, 128) && c != qRgb(255, 0, 0); });
        const QSize quarter = image.size() / 4;
        const bool centred = QRect(quarter.width() * 3 / 2, quarter.height() * 3 / 2,
                                   quarter.width(), quarter.height())
                                 .contains(ink.center());
        QStringList dialogs, messages, files;
        for (const auto& request : f->dialogs.fileRequests)
            dialogs << request.title;
        for (const auto& shown : f->messages.shown)
            messages << shown.text;
        const QByteArray written = orvane::DotFileBytes(code);
        for (const QString& name :
             QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            const QByteArray bytes =
                S_ISREG(modeAndOwner(folder + "/" + name)[0]) ? readAll(folder + "/" + name) : "";
            if (name != "libKivaro.so" && name != "filler")
                files << name + ":" +
                             (bytes.isEmpty()                    ? "node"
                              : bytes == written                 ? "code"
                              : bytes.count('o') == bytes.size() ? "old"
                                                                 : "other");
        }
        const QString built =
            QString::fromUtf8(readAll(POINTILLO_HELP_SOURCE)).replace("\n", "\r\n");
        const bool uniform = help.size() > 99 && help.count(help[0]) == help.size();
        return {
            {"char", w->Txt_Char->text()},
            {"subject", code.section("\r\n", 0, 0).replace(folder, "folder")},
            {"bytes", QString::number(code.section("\r\n", 4, 4).split(',').size())},
            {"code", code == freshCode() ? "fresh" : "stale"},
            {"lit", QString::number(panel.count('#'))},
            {"box",
             QString("%1x%2+%3+%4").arg(lit.width()).arg(lit.height()).arg(lit.x()).arg(lit.y())},
            {"panel", panel == startPanel ? "start" : "other"},
            {"refreshes", QString::number(counter.changes / int(panel.count('\n')) / rows)},
            {"mode", QString::number(w->CharMode)},
            {"edit", QString::number(w->Vek1->Enable())},
            {"matrix", join({w->Vek1->MaxLines(), rows, w->Vek1->LedRadius()}, "x")},
            {"colours", join({w->Vek1->OnClrColor(), w->Vek1->OnSetColor()}, "/", 16)},
            {"vbar", bar(w->VScrl_VekPos)},
            {"hbar", bar(w->HScrl_VekPos)},
            {"pos", join({w->Vek1->Widget()->x(), w->Vek1->Widget()->y()}, ",")},
            {"glyph", bar(w->HScrl_ChrPos) + " " + bar(w->VScrl_ChrPos) + " " +
                          join({w->HScrl_ChrWth->value(), w->VScrl_ChrHgt->value()}, " ")},
            // Inside the surface, off its edges, reaching both outer quarters, centred.
            {"ink", image.rect().adjusted(1, 1, -1, -1).contains(ink) && centred &&
                            ink.top() < quarter.height() && ink.bottom() > 3 * quarter.height()
                        ? "centred"
                        : "off"},
            {"drawn", image == startGlyph ? "same" : "other"},
            {"font", glyph.FontName() + " " + QString::number(glyph.FontSize()) + " " +
                         join({glyph.FontBold(), glyph.FontItalic(), glyph.FontUnderline(),
                               glyph.FontStrikethru()},
                              "")},
            {"chooser", f->dialogs.fontRequests.value(0).font.family() + " " +
                            QString::number(f->dialogs.fontRequests.value(0).font.pointSizeF())},
            {"models", w->Opt_CodeModel[0]->text() + " / " + w->Opt_CodeModel[1]->text()},
            {"dialog", dialogs.join('+')},
            {"proposal", f->dialogs.fileRequests.value(0)
                             .fileName.replace(folder, "folder")
                             .replace(QDir::homePath(), "home")},
            {"message", messages.join('+')},
            {"caption", f->messages.shown.value(0).caption},
            {"files", files.join(' ')},
            {"help", help == orvane::AboutText() ? "about"
                     : help == built             ? "built"
                     : uniform                   ? QString("%1×%2").arg(help[0]).arg(help.size())
                                                 : help},
            {"clip", QGuiApplication::clipboard()->text()},
            {"deepest", QString::number(deepest)},
            {"yields", QString::number(w->VekSite().YieldCount())},
        };
    }

private slots:
    void init() {
        f = std::make_unique<WindowFixture>();
        w = f->window.get();
        folder = f->folder.path();
        startPanel = testing::dotPicture(*w->Vek1);
        startGlyph = w->Pic_Char->Image().copy();
        named = {{"char", w->Txt_Char},           {"lines", w->HScrl_Lines},
                 {"rows", w->HScrl_Rows},         {"radius", w->HScrl_Radius},
                 {"vpos", w->VScrl_VekPos},       {"hpos", w->HScrl_VekPos},
                 {"x", w->HScrl_ChrPos},          {"width", w->HScrl_ChrWth},
                 {"height", w->VScrl_ChrHgt},     {"c51", w->Opt_CodeStyle[2]},
                 {"column", w->Opt_CodeModel[1]}, {"row", w->Opt_CodeModel[0]},
                 {"edit", w->Chk_VekEdit},        {"copy", w->Cmd_Copy},
                 {"save", w->Cmd_Save},           {"help", w->Cmd_Help},
                 {"glyph", w->Pic_Char}};
        counter.changes = deepest = 0;
        first = modeAndOwner(folder + "/first.dot");
        w->Vek1->Advise(&counter);
    }
    void cleanup() {
        w->Vek1->Unadvise(&counter);
        if (std::exchange(mounted, false))
            ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
        help.clear();
        skip.clear();
    }

    // Each row takes its steps on a new window, in the order given, and names what it then
    // shows (observe has the keys). Whatever a row does, the code is what the panel shows
    // unless the row says otherwise, the setting bars and labels show the matrix, every dialog
    // and message box opens over the window, and first.dot keeps its mode and owner.
    void userActions_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("seen");
        row("start-up", "",
            "char=英, subject=;英, bytes=32, matrix=16x16x5, colours=8000/ff00, vbar=off@0, "
            "hbar=off@0, glyph=286@143 290@145 143 145, font=黑体 106 0000, ink=centred, "
            "models=A--B\n\r|     |\n\rC--D / A--C\n\r|     |\n\rB--D");
        row("typing goes to the character box at once", "focus Space", "char= ");
        // Each key replaces the character before it; a key that types nothing empties the box.
        const QString wide = QString::fromUcs4(U"\U00020000");
        row("a letter", "type A", "char=A, subject=;A, refreshes=2, mode=1");
        row("an input method's character", "commit 中", "char=中, subject=;中, refreshes=2");
        row("a paste keeps its first character", "paste AB", "char=A, refreshes=1");
        row("beyond the basic plane", "paste " + wide, "char=" + wide + ", refreshes=1");
        row("a paste beyond the basic plane", "paste " + wide + "x", "subject=;" + wide);
        row("left arrow", "key char Left", "char=, subject=;, lit=0, refreshes=1, mode=1");
        row("shift alone", "key char Shift", "char=, lit=0");
        // Scroll bar keys as on the platform: arrows step by one, pages by the large change.
        row("Right adds one", "key lines Right", "matrix=17x16x5");
        row("Left takes one", "key lines Left", "matrix=15x16x5");
        row("Page Down adds five", "key lines PageDown", "matrix=21x16x5");
        row("vertical Page Up takes ten", "key height PageUp", "glyph=286@143 290@145 143 135");
        // The glyph bars move and size the sampled region; a left click puts them back.
        const QString dragged = "block; set width 71; set height 72; drag x 0";
        row("a block in a quarter of the region", "block", "box=8x8+0+0, lit=64, mode=0");
        row("a drag moves nothing until released", dragged, "lit=256");
        row("a drag released", dragged + "; release x", "lit=0, glyph=286@0 290@145 71 72");
        row("a left click puts the region back", dragged + "; release x; click glyph",
            "glyph=286@143 290@145 143 145, box=8x8+0+0, lit=64");
        // The panel scrolls in its container when it grows past it.
        const QString grown = "container 229 224; set lines 30; set rows 30; set vpos 100; "
                              "set hpos 50; ";
        row("as tall as it", grown + "set lines 16; set rows 16",
            "vbar=off@0, hbar=off@0, pos=0,0, bytes=32");
        row("17 lines", grown + "set lines 17; set rows 16",
            "vbar=14@14, hbar=off@0, pos=0,-14, bytes=34");
        row("40 rows", grown + "set lines 16; set rows 40",
            "vbar=off@0, hbar=331@50, pos=-50,0, bytes=80");
        row("radius 6", grown + "set radius 6; set lines 16; set rows 16",
            "vbar=45@45, hbar=40@40, pos=-40,-45");
        row("largest", grown + "set radius 40; set lines 254; set rows 254",
            "vbar=28224@100, hbar=28219@50, pos=-50,-100, bytes=8128");
        row("smaller again", grown + "set lines 10; set rows 3",
            "vbar=off@0, hbar=off@0, pos=0,0, bytes=10");
        row("grown again, bars that were off start at 0",
            grown + "set lines 10; set rows 3; set lines 30; set rows 30",
            "vbar=196@0, hbar=191@0, pos=0,0");
        // A colour option repaints the glyph in its pair, undoing hand edits on the panel only.
        const char* colours[][2] = {{"red", "50/ff"},
                                    {"green", "8000/ff00"},
                                    {"blue", "800000/ff0000"},
                                    {"yellow", "8080/ffff"},
                                    {"pink", "800080/ff00ff"},
                                    {"no option 5", "8000/ff00"},
                                    {"no option -1", "8000/ff00"}};
        for (int i = 0; i < 7; ++i)
            row(colours[i][0], QString("dot 1 1; colour %1").arg(i < 6 ? i : -1),
                QString("colours=%1, panel=start, code=stale").arg(colours[i][1]));
        // A click on a dot toggles it and the code follows; each option writes it anew.
        const QString edited = "key char Space; dot 1 1; dot 16 2; "; // on a blank glyph
        row("C51 clicked after a hand edit", edited + "click c51", "lit=2, box=16x2+0+0");
        row("column-wise clicked after a hand edit", edited + "click column", "lit=2");
        row("editing off", edited + "click edit; dot 8 8", "lit=2, edit=0");
        row("editing on again", edited + "click edit; click edit; dot 8 8", "lit=3, edit=1");
        row("copy takes the code view as it stands", "view typed by hand|line 2; click copy",
            "clip=typed by hand\r\nline 2, code=stale");
        // The chooser opens on the face that draws "黑体"; the chosen face and style are taken,
        // the size is not (sampling sets it), and OK on the opened face changes nothing.
        row("a font chosen", "font chosen",
            "font=DejaVu Serif 106 1111, chooser=WenQuanYi Zen Hei 106, drawn=other");
        row("OK on the opened face", "font opened WenQuanYi Zen Hei",
            "font=WenQuanYi Zen Hei 106 0000, drawn=same, message=");
        row("font cancelled", "font cancel", "font=黑体 106 0000, drawn=same, message=");
        row("font chooser fails", "answer fail; font none",
            "font=黑体 106 0000, message=字体设置错误！");
        row("memory runs out in the font chooser", "answer exhausted; font none",
            "font=黑体 106 0000, message=字体设置错误！");
        // A user acting while a large panel (over 150 dots each way) paints leaves the code, the
        // panel and the labels in step; refreshes for colours alone leave a hand-edited code be.
        const QString large = "set radius 1; set rows 200; ";
        row("rows shrink in a paint", large + "yield set rows 151; set lines 180", "bytes=3420");
        row("character typed in a paint", large + "yield type W; set lines 180",
            "char=W, bytes=4500");
        row("dot clicked in a paint", large + "yield dot 3 3; set lines 180", "bytes=4500");
        row("colour and syntax clicked in a colour's paint",
            large + "set lines 180; yield colour 0; yield click c51; colour 3", "bytes=4500");
        row("two colours clicked in a colour's paint after a hand edit",
            large + "set lines 180; dot 3 3; yield colour 0; yield colour 1; colour 3",
            "code=stale");
        // Keys that come faster than a 254 x 254 panel repaints are handled in its paint's
        // yield, their own paints do not yield, and their refreshes merge into one that runs
        // when the yield ends, though no handler started that paint.
        row("a storm of keys in a paint",
            "set lines 254; set rows 254; yield@254 keys radius 39; clear",
            "deepest=1, yields=254, refreshes=1");
        // Save proposes the character in the program's folder (in the home folder when that is
        // read-only), asks before overwriting, and replaces an old file whole or not at all;
        // it refuses anything but a regular file and leaves no other entry.
        const QString old = "make first.dot file old; own first.dot; make second.dot file old; ";
        const QString yes = "answer first.dot; answer yes; ", q = "是否覆盖同名文件！";
        const QString failed = "文件保存没有成功！", full = "full; make first.dot file small; "
                                                            "own first.dot; fill; " +
                                                            yes;
        row("a new name", old + "answer new.dot; click save",
            "dialog=保存点阵文件, proposal=folder/英.dot, message=, "
            "files=first.dot:old new.dot:code second.dot:old");
        row("yes overwrites", old + yes + "click save",
            "message=" + q + ", caption=友情提示, files=first.dot:code second.dot:old");
        row("no, another old name, yes",
            old + "answer first.dot; answer no; answer second.dot; "
                  "answer yes; click save",
            "message=" + q + "+" + q + ", files=first.dot:old second.dot:code");
        row("no, then a new name", old + "answer first.dot; answer no; answer new.dot; click save",
            "message=" + q + ", files=first.dot:old new.dot:code second.dot:old");
        row("no, then cancel", old + "answer first.dot; answer no; answer cancel; click save",
            "message=" + q + ", files=first.dot:old second.dot:old");
        row("cancel", old + "answer cancel; click save",
            "message=, files=first.dot:old second.dot:old");
        row("the dialog fails", old + "answer fail; click save",
            "message=" + failed + ", caption=友情提示, files=first.dot:old second.dot:old");
        row("a folder that does not exist", "answer missing/new.dot; click save",
            "message=" + failed + ", files=");
        row("memory runs out in the file dialog", "answer exhausted; click save",
            "message=" + failed);
        row("written in place", old + yes + "readonly; click save",
            "proposal=home/英.dot, message=" + q + ", files=first.dot:code second.dot:old");
        row("disk full", full + "click save",
            "message=" + q + "+" + failed + ", files=first.dot:old");
        row("40,000 characters, disk full", full + "view A×40000; click save",
            "message=" + q + "+" + failed + ", files=first.dot:old, code=stale");
        row("40,000 characters in place, disk full", full + "view A×40000; readonly; click save",
            "message=" + q + "+" + failed + ", files=first.dot:old, code=stale");
        for (const auto& [name, kind] : {std::pair{"a pipe", "pipe"},
                                         {"a socket", "socket"},
                                         {"a device", "device"},
                                         {"a link to a device", "link zero"}})
            row(name,
                QString("make zero device; make first.dot %1; ").arg(kind) + yes + "click save",
                "message=" + q + "+" + failed + ", files=first.dot:node zero:node");
        // A right click imports a picture (pure black lights dots); what cannot be read is
        // refused with a message, loses nothing and neither blocks nor reads without end.
        const QString import = "answer p.bmp; click glyph right";
        row("a picture", "make p.bmp file bmp; " + import + "; click glyph middle",
            "dialog=导入图象文件(单色260*140), subject=;folder/p.bmp, box=8x4+0+0, lit=32, mode=0, "
            "message=");
        row("a picture, then a letter", "make p.bmp file bmp; " + import + "; type K",
            "subject=;K, mode=1");
        row("cancel the picture", "make p.bmp file bmp; answer cancel; click glyph right",
            "message=, panel=start, mode=1");
        for (const auto& [name, made] : {std::pair{"not a picture", "file text"},
                                         {"truncated", "file truncated"},
                                         {"hundreds of megapixels", "file huge"},
                                         {"a folder", "folder"},
                                         {"a pipe", "pipe"},
                                         {"a link to /dev/zero", "link"},
                                         {"no such file", "missing"},
                                         {"memory runs out", "file bmp; answer exhausted"}})
            row(name, QString("make p.bmp %1; ").arg(made) + import,
                "message=不能打开所选取的图象文件！, subject=;英, panel=start, mode=1");
        // Help shows the help file in the program's folder, or the about text when it cannot
        // be read; a code option brings the code back.
        const QString helped = "; click help; click row";
        row("help: a text of its own", "make Quibrel.dll file help" + helped,
            "help=丂 第一行\nline\r");
        row("help: an empty file", "make Quibrel.dll file empty" + helped, "help=");
        row("help: as long as allowed", "make Quibrel.dll file longest" + helped,
            QString("help=%1×%2").arg(QChar(orvane::kHelpKey)).arg(orvane::kMaxHelpFileBytes));
        row("help: the built help file", "make Quibrel.dll link built" + helped, "help=built");
        for (const auto& [name, made] : {std::pair{"help: one byte too long", "file toolong"},
                                         {"help: random bytes", "file noise"},
                                         {"help: missing", "missing"},
                                         {"help: a pipe", "pipe"},
                                         {"help: a link to /dev/zero", "link"}})
            row(name, QString("make Quibrel.dll %1").arg(made) + helped, "help=about");
    }
    void userActions() {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        w->show();
        w->VekSite().SetYieldHook([this] {
            const QScopedValueRollback<int> nested(depth, depth + 1);
            deepest = std::max(deepest, depth);
            for (const QString& step :
                 w->VekSite().YieldCount() < yieldAt ? QStringList() : std::exchange(inYield, {}))
                QVERIFY(act(step));
        });
        for (const QString& step : steps.split("; ", Qt::SkipEmptyParts)) {
            QVERIFY2(act(step), qPrintable(step));
            if (!skip.isEmpty())
                QSKIP(qPrintable(skip));
        }
        w->VekSite().SetYieldHook({});
        QVERIFY(inYield.isEmpty());
        const QMap<QString, QString> state = observe();
        for (const QString& pair :
             (seen + (seen.contains("code=") ? "" : ", code=fresh")).split(", ")) {
            const QString name = pair.section('=', 0, 0);
            QCOMPARE(name + "=" + state.value(name, "<no such key>"), pair);
        }
        QCOMPARE(
            QList<int>({w->HScrl_Lines->value(), w->HScrl_Rows->value(), w->HScrl_Radius->value()}),
            QList<int>({w->Vek1->MaxLines(), w->Vek1->MaxRows(), w->Vek1->LedRadius()}));
        QCOMPARE(w->Lbl_VekSet[1]->text() + w->Lbl_VekSet[2]->text() + w->Lbl_VekSet[3]->text(),
                 QString("&Lines:%1Ro&ws:%2Ra&dius:%3")
                     .arg(w->Vek1->MaxLines())
                     .arg(w->Vek1->MaxRows())
                     .arg(w->Vek1->LedRadius()));
        for (const auto& request : f->dialogs.fontRequests)
            QCOMPARE(request.owner, w);
        for (const auto& request : f->dialogs.fileRequests)
            QCOMPARE(request.owner, w);
        QCOMPARE(f->messages.parents, QList<QWidget*>(f->messages.shown.size(), w));
        QCOMPARE(modeAndOwner(folder + "/first.dot"), first);
    }

    // The help file keeps single bytes and the trail bytes of code-page 936 pairs XORed, and
    // cannot hold a character that code page lacks.
    void helpFileScramblesSingleAndTrailBytes() {
        const char k = char(orvane::kHelpKey);
        const QByteArray plain("\x80\x81\x41\xFE\x42\xFF\x81", 7);
        const char want[] = {char(0x80 ^ k), '\x81',         char(0x41 ^ k), '\xFE',
                             char(0x42 ^ k), char(0xFF ^ k), char(0x81 ^ k)};
        QCOMPARE(orvane::ScrambleAnsi(plain), QByteArray(want, 7));
        QVERIFY_THROWS_EXCEPTION(platform::PlatformError,
                                 orvane::EncodeHelpFile(QString::fromUcs4(U"a\U0001F600")));
    }

    // Drawn without clipping, every stroke of a caption stays inside its control (check box
    // and option captions wrap where their controls are more than a line high), and "Vek Set"
    // and the first label's text share no row of dark ink.
    void captionsAreReadableInFull() {
        QCOMPARE(w->font().pointSizeF(), 8.0);
        for (QWidget* control : w->findChildren<QWidget*>()) {
            auto* check = dynamic_cast<orvane::WrappingButton<QCheckBox>*>(control);
            auto* option = dynamic_cast<orvane::WrappingButton<QRadioButton>*>(control);
            auto* label = qobject_cast<QLabel*>(control);
            QVERIFY(!qobject_cast<QCheckBox*>(control) || check);
            QVERIFY(!qobject_cast<QRadioButton*>(control) || option);
            const QString text = check    ? check->text()
                                 : option ? option->text()
                                 : label  ? label->text()
                                          : QString();
            if (text.isEmpty())
                continue;
            const QRect area = check    ? check->CaptionArea()
                               : option ? option->CaptionArea()
                                        : control->contentsRect();
            QImage image(control->size() + QSize(40, 40), QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setFont(control->font());
            painter.drawText(area.translated(20, 20),
                             (label ? int(label->alignment())
                                    : orvane::WrappingButton<QCheckBox>::kCaptionFlags) |
                                 Qt::TextDontClip,
                             text);
            painter.end();
            const QRect ink = inkBox(image, [](QRgb c) { return qGray(c) < 160; });
            QVERIFY2(QRect(QPoint(20, 20), control->size()).contains(ink), qPrintable(text));
        }
        const QRect title = darkInk(w->Frm_VekSet).translated(-w->Frm_VekSet->pos());
        QVERIFY(title.bottom() < darkInk(w->Lbl_VekSet[1]).top());
    }

    void missingControlLibraryIsReportedNotCrashed() {
        QVERIFY_THROWS_EXCEPTION(platform::PlatformError, WindowFixture{false});
    }
};

QTEST_MAIN(TstWindow)
#include "tst_window.moc"
