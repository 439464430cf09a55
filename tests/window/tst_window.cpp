// The main window driven as a user drives it, in steps, and what it then shows.

#include "SaveFile.h"
#include "WindowFixture.h"
#include "codegen/CodeText.h"
#include "codegen/CodeView.h"
#include "codegen/DotFile.h"
#include "platform/PictureSurface.h"
#include "window/CharBox.h"
#include "window/HelpFile.h"
#include "window/ScrollBar.h"
#include "window/WrappingButton.h"

#include <QtTest>
#include <QtWidgets>

#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QImage block(QSize size, QRect black) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter(&picture).fillRect(black, Qt::black);
    return picture;
}

// Where the pixels darker than a grey level lie.
QRect ink(const QImage& image, int grey) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            box |= qGray(image.pixel(x, y)) < grey ? QRect(x, y, 1, 1) : QRect();
    return box;
}

// The entry's kind and mode, owner and group, as a link itself has them.
QList<uint> modeAndOwner(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return {st.st_mode, st.st_uid, st.st_gid};
}

// Pictures of 8 x 4 dots (one claims 20000 x 20000 pixels, one is cut short) and old files.
QByteArray contents(const QString& name) {
    QByteArray bmp;
    QBuffer buffer(&bmp);
    block(QSize(100, 60), QRect(0, 0, 72, 37)).save(&buffer, "BMP");
    const QByteArray huge = bmp.left(18) + QByteArray("\x20\x4e\0\0\x20\x4e\0\0", 8) + bmp.mid(26);
    const QByteArray help = orvane::EncodeHelpFile("丂 第一行\nline\r"), text = "not a picture";
    const QByteArray damaged("\x81\x48", 2); // unscrambles to a lead byte and no trail byte
    const QByteArray tooLong(orvane::kMaxHelpFileBytes + 1, 0), old(20000, 'o'), small(100, 'o');
    const QByteArray longest(orvane::kMaxHelpFileBytes, char('a' ^ orvane::kHelpKey));
    return QList{bmp, huge, bmp.left(40), text, damaged, tooLong, longest, help, old, small}.value(
        QString("bmp huge cut text damaged toolong longest help old small")
            .split(' ')
            .indexOf(name));
}

QString dots(kivaro::IVek& vek) {
    QString picture;
    for (std::uint8_t y = 1; y <= vek.MaxLines(); ++y, picture += '\n')
        for (std::uint8_t x = 1; x <= vek.MaxRows(); ++x)
            picture += vek.Bit(x, y) == 1 ? '#' : '.';
    return picture;
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

    std::unique_ptr<testing::WindowFixture> f; // a window of its own for each row
    orvane::SingleCharWindow* w = nullptr;
    QString folder, startPanel, help, skip;
    QHash<QString, QWidget*> named;
    QMap<QString, QByteArray> made; // the entries a row made, and what they held
    ChangeCounter counter;
    QStringList inYield;
    int yieldAt = 0;
    bool mounted = false, readOnly = false;
    QList<uint> first; // first.dot's mode and owner before the last click

    // A click; in a read-only folder a test run as root (whom modes do not stop) runs as nobody.
    void click(const QString& name, const QString& button) {
        const QByteArray at = QFile::encodeName(folder);
        const passwd* nobody = ::getpwnam("nobody");
        const bool locked = std::exchange(readOnly, false) && !::chmod(at, 0555);
        const bool asNobody = locked && nobody && !::geteuid() && !::seteuid(nobody->pw_uid);
        first = modeAndOwner(folder + "/first.dot");
        const QHash<QString, Qt::MouseButton> buttons{{"right", Qt::RightButton},
                                                      {"middle", Qt::MiddleButton}};
        QTest::mouseClick(named.value(name), buttons.value(button, Qt::LeftButton));
        if (asNobody)
            (void)::seteuid(0);
        if (locked)
            ::chmod(at, 0700);
        help = name == "help" ? w->Txt_Display->Text() : help;
    }

    // An entry of the program's folder; a link leads to /dev/zero unless told otherwise.
    bool make(const QString& name, const QString& kind, const QString& what) {
        const QString path = folder + "/" + name;
        const QString target =
            what == "built"  ? QCoreApplication::applicationDirPath() + "/" + orvane::kHelpFileName
            : what.isEmpty() ? "/dev/zero"
                             : folder + "/" + what;
        const mode_t node = kind == "pipe" ? S_IFIFO : kind == "socket" ? S_IFSOCK : S_IFCHR;
        if (kind == "missing")
            return true;
        made[name] = kind == "file" ? contents(what) : "node";
        const passwd* nobody = ::getpwnam("nobody"); // who may write it in place
        return kind == "file" ? writeFile(path, contents(what)) &&
                                    (!nobody || !::chown(QFile::encodeName(path).constData(),
                                                         nobody->pw_uid, nobody->pw_gid))
               : kind == "folder" ? QDir().mkdir(path)
               : kind == "link"
                   ? QFile::link(target, path)
                   : !::mknod(QFile::encodeName(path).constData(), node | 0666, makedev(1, 5));
    }

    bool act(const QString& step) {
        const QStringList a = step.split(' ');
        const QString rest = step.section(' ', 1), path = folder + "/" + a.value(1);
        const int n = a.value(2).toInt();
        auto* bar = qobject_cast<orvane::ScrollBar*>(named.value(a.value(1)));
        const QPoint dot =
            (QPointF(a.value(1).toInt() - 0.5, n - 0.5) * 42 * w->Vek1->LedRadius() / 15).toPoint();
        QFont styled(rest, 12, QFont::Bold, true); // a font the chooser answers with
        styled.setUnderline(true);
        styled.setStrikeOut(true);
        QInputMethodEvent commit; // an input method's character
        commit.setCommitString(rest);
        // "|" ends a line of the code view's text, "A×9" is nine As.
        const QStringList view = QString(rest).replace("|", "\r\n").split("×");
        const QHash<QString, std::function<void()>> steps{
            {"type", [&] { QTest::keyClicks(w->Txt_Char, rest); }},
            {"paste", [&] { w->Txt_Char->setText(rest); }},
            {"commit", [&] { QApplication::sendEvent(w->Txt_Char, &commit); }},
            {"key", [&] { QTest::keyClick(named.value(a[1]), QKeySequence(a.value(2))[0].key()); }},
            {"set", [&] { bar->setValue(n); }},
            {"drag", [&] { bar->setSliderDown(true); }},
            {"to", [&] { bar->setSliderPosition(n); }},
            {"release", [&] { bar->setSliderDown(false); }},
            {"click", [&] { click(a.value(1), a.value(2)); }},
            {"dot", [&] { QTest::mouseClick(w->Vek1->Widget(), Qt::LeftButton, {}, dot); }},
            {"colour", [&] { w->Kivaro_Color_Click(a[1].toInt()); }},
            {"picture",
             [&] { // a black block that fills a quarter of 16 x 16 dots
                 w->Pic_Bkp->SetPicture(block(QSize(143, 145), QRect(0, 0, 72, 73)));
                 w->CharMode = false;
             }},
            {"container", [&] { w->Pic_VekContainer->resize(a[1].toInt(), n); }},
            {"view",
             [&] { w->Txt_Display->SetText(view[0].repeated(view.value(1, "1").toInt())); }},
            {"yield", [&] { inYield << rest; }},     // as input while a paint yields
            {"at", [&] { yieldAt = a[1].toInt(); }}, // the yield that the steps wait for
            {"clear",
             [&] { // counting yields and changes afresh
                 w->VekSite().ResetCounts();
                 counter.changes = 0;
                 w->Vek1->ClrAll();
             }},
            {"make",
             [&] { skip = make(a.value(1), a.value(2), a.value(3)) ? "" : "cannot " + step; }},
            {"full",
             [&] { // a disk of one block
                 mounted = !::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0,
                                    "size=4k,mode=0755");
                 skip = mounted ? "" : "no tmpfs to fill on this machine";
             }},
            {"yes", [&] { f->messages.answers << platform::MsgResult::Yes; }},
            {"no", [&] { f->messages.answers << platform::MsgResult::No; }},
            {"choose", [&] { f->dialogs.confirm(path); }},
            {"cancel", [&] { f->dialogs.cancel(); }},
            {"fail", [&] { f->dialogs.fail(platform::kErrDeviceIO); }},
            {"nomemory", [&] { f->dialogs.fail(-1); }},
            {"face", [&] { f->dialogs.fontAnswers = {styled}; }},
            {"nofont", [&] { f->dialogs.fontAnswers = {std::nullopt}; }},
            {"plain", [&] { f->dialogs.fontAnswers = {QFont(rest, 106)}; }},
            {"fontfails", [&] { f->dialogs.fontFailWith = 57; }},
            {"fontnomemory", [&] { f->dialogs.fontFailWith = -1; }},
            {"readonly", [&] { readOnly = true; }}, // for the next click
        };
        const auto run = steps.value(a[0]);
        if (run)
            run();
        return bool(run);
    }

    QMap<QString, QString> observe() {
        const QString code = w->Txt_Display->Text(), panel = dots(*w->Vek1);
        const int rows = w->Vek1->MaxRows();
        QRect lit;
        for (int i = 0; i < panel.size(); ++i)
            lit |= panel[i] == '#' ? QRect(i % (rows + 1), i / (rows + 1), 1, 1) : QRect();
        const auto bar = [](orvane::ScrollBar* b) {
            return QString("%1@%2 ")
                .arg(b->isEnabled() ? QString::number(b->maximum()) : "off")
                .arg(b->value());
        };
        const platform::PictureSurface& glyph = *w->Pic_Char;
        const QFont asked = f->dialogs.fontRequests.value(0).font;
        platform::FileDialogRequest request = f->dialogs.fileRequests.value(0);
        QStringList messages, changed;
        int strays = 0; // dialogs and boxes not over the window
        for (const auto& shown : f->messages.shown)
            messages << shown.text, strays += shown.owner != w;
        for (const auto& asked : f->dialogs.fileRequests)
            strays += asked.owner != w;
        for (const auto& asked : f->dialogs.fontRequests)
            strays += asked.owner != w;
        // The entries the row did not make, or made and that hold something else now.
        for (const QString& name :
             QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            const QString path = folder + "/" + name;
            const QByteArray now = S_ISREG(modeAndOwner(path)[0]) ? readAll(path) : "node";
            if (now != made.value(name, now + "?") && name != "libKivaro.so")
                changed << name + (now == pointillo::DotFileBytes(code) ? ":code" : ":other");
        }
        QString built = QString::fromUtf8(readAll(POINTILLO_HELP_SOURCE));
        return {
            {"char", w->Txt_Char->text()},
            {"focus", w->focusWidget() == w->Txt_Char ? "char" : "elsewhere"},
            {"strays", QString::number(strays)},
            {"subject", code.section("\r\n", 0, 0).replace(folder, "folder")},
            {"bytes", QString::number(code.section("\r\n", 4, 4).split(',').size())},
            {"code", code == freshCode() ? "fresh" : "stale"},
            {"lit", QString::number(panel.count('#'))},
            {"box", QString::asprintf("%d %d %d %d", lit.width(), lit.height(), lit.x(), lit.y())},
            {"panel", panel == startPanel ? "start" : "other"},
            {"refreshes", QString::number(counter.changes / int(panel.count('\n')) / rows)},
            {"mode", QString::number(w->CharMode)},
            {"matrix",
             QString::asprintf("%dx%dx%d", w->Vek1->MaxLines(), rows, w->Vek1->LedRadius())},
            {"colours", QString::asprintf("%x/%x", w->Vek1->OnClrColor(), w->Vek1->OnSetColor())},
            {"scroll",
             bar(w->VScrl_VekPos) + bar(w->HScrl_VekPos) +
                 QString::asprintf("%d,%d", w->Vek1->Widget()->x(), w->Vek1->Widget()->y())},
            {"glyph",
             bar(w->HScrl_ChrPos) + bar(w->VScrl_ChrPos) +
                 QString::asprintf("%d %d", w->HScrl_ChrWth->value(), w->VScrl_ChrHgt->value())},
            {"font",
             glyph.FontName() + QString::asprintf(" %g %d%d%d%d", glyph.FontSize(),
                                                  glyph.FontBold(), glyph.FontItalic(),
                                                  glyph.FontUnderline(), glyph.FontStrikethru())},
            {"chooser", asked.family() + " " + QString::number(asked.pointSizeF())},
            {"dialog", QString::number(f->dialogs.fileRequests.size()) + " " + request.title},
            {"proposal",
             request.fileName.replace(folder, "folder").replace(QDir::homePath(), "home")},
            {"message", messages.join('+')},
            {"caption", f->messages.shown.value(0).caption},
            {"changed", changed.join(' ')},
            {"helplength", QString::number(help.size())},
            {"help", help == orvane::AboutText()           ? "about"
                     : help == built.replace("\n", "\r\n") ? "built"
                                                           : help},
            {"clip", QGuiApplication::clipboard()->text()},
            {"yields", QString::number(w->VekSite().YieldCount())},
        };
    }

    QString freshCode() {
        return orvane::BuildCodeString(
            *w->Vek1, orvane::CodeModelLayout(w->Opt_CodeModel[0]->isChecked()),
            w->Opt_CodeStyle[1]->isChecked(),
            orvane::CodeSubject(w->CharMode, w->Txt_Char->text(), w->Dialog.FileName()));
    }

private slots:
    void init() {
        f = std::make_unique<testing::WindowFixture>();
        w = f->window.get();
        folder = f->folder.path();
        startPanel = dots(*w->Vek1);
        const QList<QWidget*> widgets{
            w->Txt_Char,        w->HScrl_Lines,      w->HScrl_Rows,       w->HScrl_Radius,
            w->VScrl_VekPos,    w->HScrl_VekPos,     w->HScrl_ChrPos,     w->HScrl_ChrWth,
            w->VScrl_ChrHgt,    w->Opt_CodeStyle[2], w->Opt_CodeModel[1], w->Opt_CodeModel[0],
            w->Chk_VekEdit,     w->Cmd_Copy,         w->Cmd_Save,         w->Cmd_Help,
            w->Cmd_Font,        w->Pic_Char,         w->Kivaro_Color[0],  w->Kivaro_Color[1],
            w->Kivaro_Color[2], w->Kivaro_Color[3],  w->Kivaro_Color[4]};
        const QStringList names =
            QString("char lines rows radius vpos hpos x width height c51 "
                    "column row edit copy save help font glyph red green blue yellow pink")
                .split(' ');
        for (int i = 0; i < names.size(); ++i)
            named[names[i]] = widgets[i];
        first = modeAndOwner(folder + "/first.dot");
        w->Vek1->Advise(&counter);
    }
    void cleanup() {
        w->Vek1->Unadvise(&counter);
        if (std::exchange(mounted, false))
            ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
        counter.changes = yieldAt = 0;
        help = skip = QString();
        made.clear();
    }

    // Each row takes its steps on a new window and names what it then shows. Unless it says
    // otherwise the code is what the panel shows and no file changes; the labels always show
    // the matrix and first.dot keeps its mode and owner.
    void userActions_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("seen");
        row("start-up", "",
            "subject=;英, matrix=16x16x5, scroll=off@0 off@0 0,0, glyph=286@143 "
            "290@145 143 145, font=黑体 106 0000, focus=char");
        // Scroll bar keys step by one, by the large change (5 for lines, 10 for the glyph's
        // height of 145), or to either end, horizontal or vertical.
        for (const QString key : {"lines Right:17x16", "lines Left:15x16", "lines PgDown:21x16",
                                  "lines Home:1x16", "lines End:254x16", "rows Right:16x17"})
            row(qPrintable(key.section(':', 0, 0)), "key " + key.section(':', 0, 0),
                "matrix=" + key.section(':', 1) + "x5");
        row("height Up", "key height Up", "glyph=286@143 290@145 143 144");
        row("height PgUp", "key height PgUp", "glyph=286@143 290@145 143 135");
        // Each key replaces the character before it; a key that types nothing empties the box.
        const QString wide = QString::fromUcs4(U"\U00020000"), trail = QChar(0xDC00), nul = QChar();
        row("a letter", "type A", "char=A, subject=;A, refreshes=2, mode=1");
        row("an input method's character", "commit 中", "char=中, subject=;中, refreshes=2");
        row("a paste keeps its first character", "paste AB", "char=A, refreshes=1");
        row("beyond the basic plane", "paste " + wide, "char=" + wide + ", refreshes=1");
        row("a paste beyond the basic plane", "paste " + wide + "x", "subject=;" + wide);
        row("a letter and a lone trail surrogate", "paste A" + trail, "char=A");
        row("left arrow", "key char Left", "char=, subject=;, lit=0, refreshes=1, mode=1");
        // The glyph bars move and size the sampled region; a left click puts them back.
        const QString half = "picture; set width 71; set height 72; drag x; to x 0";
        row("a drag moves nothing until released", half, "lit=256");
        row("a drag released", half + "; release x", "lit=0, glyph=286@0 290@145 71 72");
        row("a left click puts the region back", half + "; release x; click glyph",
            "glyph=286@143 290@145 143 145, box=8 8 0 0, lit=64");
        // The panel scrolls in its container when it grows past it.
        const QString grown =
            "container 229 224; set lines 30; set rows 30; set vpos 100; set hpos 50; set ";
        row("as tall as it", grown + "lines 16; set rows 16", "scroll=off@0 off@0 0,0");
        row("17 lines", grown + "lines 17; set rows 16", "scroll=14@14 off@0 0,-14");
        row("40 rows", grown + "rows 40; set lines 16", "scroll=off@0 331@50 -50,0");
        row("smaller again", grown + "lines 10; set rows 3", "scroll=off@0 off@0 0,0");
        // A colour option repaints the glyph in its pair, undoing hand edits on the panel only.
        const QString options =
            "click red:50/ff,click green:8000/ff00,click blue:800000/ff0000,"
            "click yellow:8080/ffff,click pink:800080/ff00ff,colour 5:8000/ff00,"
            "colour -1:8000/ff00";
        for (const QString& option : options.split(','))
            row(qPrintable(option.section(':', 0, 0)), "dot 1 1; " + option.section(':', 0, 0),
                "colours=" + option.section(':', 1) + ", panel=start, code=stale");
        // A click on a dot toggles it and the code follows; each option writes it anew.
        const QString edited = "key char Space; dot 1 1; dot 16 2; "; // on a blank glyph
        row("C51 clicked after a hand edit", edited + "click c51", "lit=2, box=16 2 0 0");
        row("column-wise clicked after a hand edit", edited + "click column", "lit=2");
        row("editing off", edited + "click edit; dot 8 8", "lit=2");
        row("editing on again", edited + "click edit; click edit; dot 8 8", "lit=3");
        row("copy takes the view as it is", "view A|B; click copy", "clip=A\r\nB, code=stale");
        // The chooser opens on the face that draws "黑体"; face and style are taken, size not.
        const QString font = "; click font", unchanged = "font=黑体 106 0000, ";
        row("a font chosen", "face DejaVu Serif" + font,
            "font=DejaVu Serif 106 1111, chooser=WenQuanYi Zen Hei 106, panel=other");
        row("OK on the face it opened on", "plain WenQuanYi Zen Hei" + font,
            "font=WenQuanYi Zen Hei 106 0000, panel=start");
        row("font cancelled", "nofont" + font, unchanged + "panel=start, message=");
        row("font chooser fails", "fontfails" + font, unchanged + "message=字体设置错误！");
        row("font chooser out of memory", "fontnomemory" + font,
            unchanged + "message=字体设置错误！");
        // Input in a large panel's paint leaves code and panel in step, or the hand-edited code.
        const QString large = "set radius 1; set rows 200; ", lines = "; set lines 180";
        row("rows shrink in a paint", large + "yield set rows 151" + lines, "bytes=3420");
        row("colour and syntax clicked in a colour's paint",
            large + "set lines 180; yield click red; yield click c51; click yellow", "bytes=4500");
        row("two colours clicked in a colour's paint after a hand edit",
            large + "set lines 180; dot 3 3; yield colour 0; yield colour 1; colour 3",
            "code=stale");
        // Keys in a paint of 254 x 254 dots not started by a handler merge into one refresh.
        const QString keys =
            QString("yield key radius Left; yield key radius Right; ").repeated(20);
        row("a storm of keys in a paint", "set lines 254; set rows 254; at 254; " + keys + "clear",
            "yields=254, refreshes=1");
        // Save asks before it overwrites, and replaces a regular file whole or not at all.
        const QString old = "make first.dot file old; make second.dot file old; ";
        const QString yes = "choose first.dot; yes; ", no = "choose first.dot; no; ";
        const QString q = "是否覆盖同名文件！", qf = "message=" + q + "+文件保存没有成功！";
        const QString full = "full; make first.dot file small; " + yes, save = "click save";
        row("a new name", old + "choose new.dot; " + save,
            "dialog=1 保存点阵文件, proposal=folder/英.dot, message=, changed=new.dot:code");
        row("yes overwrites", old + yes + save, "message=" + q + ", changed=first.dot:code");
        row("a slash in the name", "paste /; cancel; " + save, "proposal=folder/_.dot");
        row("a NUL in the name", "paste " + nul + "; cancel; " + save, "proposal=folder/_.dot");
        row("no, another old name, yes", old + no + "choose second.dot; yes; " + save,
            "message=" + q + "+" + q + ", changed=second.dot:code");
        row("no, then cancel", old + no + "cancel; " + save, "message=" + q + "");
        row("cancel", old + "cancel; " + save, "message=");
        row("dialog fails", old + "fail; " + save, "message=文件保存没有成功！, caption=友情提示");
        row("out of memory in the dialog", old + "nomemory; " + save, "message=文件保存没有成功！");
        row("written in place", old + yes + "readonly; " + save,
            "proposal=home/英.dot, message=" + q + ", changed=first.dot:code");
        row("disk full", full + save, qf + "");
        row("40,000 characters in place, disk full", full + "view A×40000; readonly; " + save,
            qf + ", code=stale");
        for (const char* kind : {"pipe", "socket", "device", "link zero"})
            QTest::addRow("a %s", kind)
                << QString("make zero device; make first.dot %1; ").arg(kind) + yes + save << qf;
        // A right click imports a picture; what cannot be read is refused and loses nothing.
        const QString import = "; choose p.bmp; click glyph right";
        row("a picture", "make p.bmp file bmp" + import + "; click glyph middle",
            "dialog=1 导入图象文件(单色260*140), subject=;folder/p.bmp, box=8 4 0 0, lit=32, "
            "mode=0, message=");
        row("a picture, then a letter", "make p.bmp file bmp" + import + "; type K",
            "subject=;K, mode=1");
        row("out of memory importing", "nomemory; click glyph right",
            "message=不能打开所选取的图象文件！, panel=start, mode=1");
        row("cancel the picture", "make p.bmp file bmp; cancel; click glyph right",
            "message=, panel=start, mode=1");
        for (const char* kind :
             {"file text", "file cut", "file huge", "folder", "pipe", "link", "missing"})
            QTest::addRow("picture: %s", kind)
                << QString("make p.bmp %1").arg(kind) + import
                << "message=不能打开所选取的图象文件！, subject=;英, panel=start, mode=1";
        // Help shows the program folder's help file, or the about text; an option brings the code.
        const QString helped = "; click help; click row";
        row("help: a text of its own", "make Quibrel.dll file help" + helped,
            "help=丂 第一行\nline\r");
        row("help: a file of the largest size", "make Quibrel.dll file longest" + helped,
            "helplength=4194304");
        row("help: the built help file", "make Quibrel.dll link built" + helped, "help=built");
        for (const char* kind : {"file toolong", "file damaged", "missing", "pipe", "link"})
            QTest::addRow("help: %s", kind)
                << QString("make Quibrel.dll %1").arg(kind) + helped << "help=about";
    }
    void userActions() {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        w->show();
        w->VekSite().SetYieldHook([this] {
            for (const QString& step :
                 w->VekSite().YieldCount() < yieldAt ? QStringList() : std::exchange(inYield, {}))
                QVERIFY(act(step));
        });
        for (const QString& step : steps.split("; ", Qt::SkipEmptyParts)) {
            QVERIFY2(act(step), qPrintable(step));
            if (!skip.isEmpty())
                QSKIP(qPrintable(skip));
        }
        QVERIFY(inYield.isEmpty());
        const QMap<QString, QString> state = observe();
        for (const QString fallback :
             {"code=fresh", "changed=", "strays=0"}) // unless the row names them
            seen += seen.contains(fallback.section('=', 0, 0) + "=") ? "" : ", " + fallback;
        for (const QString& pair : seen.split(", ")) {
            const QString name = pair.section('=', 0, 0);
            QCOMPARE(name + "=" + state.value(name, "<no such key>"), pair);
        }
        const QStringList m = state.value("matrix").split('x');
        QCOMPARE(w->Lbl_VekSet[1]->text() + w->Lbl_VekSet[2]->text() + w->Lbl_VekSet[3]->text(),
                 QString("&Lines:%1Ro&ws:%2Ra&dius:%3").arg(m[0], m[1], m[2]));
        QCOMPARE(modeAndOwner(folder + "/first.dot"), first);
    }

    // The help file keeps single and trail bytes XORed, and only characters of code page 936.
    void helpFileScramblesSingleAndTrailBytes() {
        const char k = char(orvane::kHelpKey);
        const char want[] = {char(0x80 ^ k), '\x81',         char(0x41 ^ k), '\xFE',
                             char(0x42 ^ k), char(0xFF ^ k), char(0x81 ^ k)};
        QCOMPARE(orvane::ScrambleAnsi("\x80\x81\x41\xFE\x42\xFF\x81"), QByteArray(want, 7));
        QVERIFY_THROWS_EXCEPTION(platform::PlatformError,
                                 orvane::EncodeHelpFile(QString::fromUcs4(U"a\U0001F600")));
    }

    // Drawn without clipping, every caption stays inside its control; check boxes and options
    // wrap theirs. "Vek Set" and the first label, each drawn alone, share no row of dark ink.
    void captionsAreReadableInFull() {
        QCOMPARE(w->font().pointSizeF(), 8.0);
        const auto fits = [](QWidget* control, QRect area, const QString& text, int flags) {
            QImage image(control->size() + QSize(40, 40), QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setFont(control->font());
            painter.drawText(area.translated(20, 20), flags | Qt::TextDontClip, text);
            painter.end();
            QVERIFY2(QRect(QPoint(20, 20), control->size()).contains(ink(image, 160)),
                     qPrintable(text));
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
        const auto alone = [](QWidget* widget) {
            QImage image(widget->size(), QImage::Format_RGB32);
            image.fill(Qt::white);
            widget->render(&image, {}, {}, QWidget::DrawWindowBackground);
            return ink(image, 80).translated(widget->mapTo(widget->window(), QPoint()));
        };
        QVERIFY(alone(w->Frm_VekSet).bottom() < alone(w->Lbl_VekSet[1]).top());
    }

    void missingControlLibraryIsReportedNotCrashed() {
        QVERIFY_THROWS_EXCEPTION(platform::PlatformError, testing::WindowFixture{false});
    }
};

QTEST_MAIN(TstWindow)
#include "tst_window.moc"
