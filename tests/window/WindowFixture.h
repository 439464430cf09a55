#pragma once

// The real window over scripted doubles, in a program folder of its own with the control in,
// and the plain calls the window tests drive it and read it with.

#include "codegen/CodeText.h"
#include "codegen/CodeView.h"
#include "common/ScriptedDialogs.h"
#include "platform/PictureSurface.h"
#include "window/CharBox.h"
#include "window/ScrollBar.h"
#include "window/SingleCharWindow.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace testing {

// Counts the control's Changed events, one for every dot it paints.
struct ChangeCounter : kivaro::IVekEvents {
    int changes = 0;
    void Changed() override { ++changes; }
};

inline QByteArray fileContents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A white picture with a black rectangle.
inline QImage blackBlock(QSize size, QRect black) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter(&picture).fillRect(black, Qt::black);
    return picture;
}

class WindowFixture {
public:
    QTemporaryDir folder; // the program's folder
    ScriptedDialogs dialogs;
    ScriptedMessages messages;
    bool linked; // the control, in the program's folder
    std::unique_ptr<orvane::SingleCharWindow> window;
    orvane::SingleCharWindow* w;
    ChangeCounter counter;
    QStringList startDots; // the panel as start-up left it

    explicit WindowFixture(bool withControl = true)
        : linked(withControl &&
                 QFile::link(QCoreApplication::applicationDirPath() + "/libKivaro.so",
                             folder.filePath("libKivaro.so"))),
          window(std::make_unique<orvane::SingleCharWindow>(
              orvane::WindowServices{&dialogs, &messages, folder.path()})),
          w(window.get()), startDots(dots()) {
        w->Vek1->Advise(&counter);
        w->VekSite().SetYieldHook([this] { runInputForThisYield(); });
    }
    ~WindowFixture() { w->Vek1->Unadvise(&counter); }

    // The panel, a string per dot line, '#' for a lit dot.
    QStringList dots() const {
        QStringList lines;
        for (std::uint8_t y = 1; y <= w->Vek1->MaxLines(); ++y) {
            QString line;
            for (std::uint8_t x = 1; x <= w->Vek1->MaxRows(); ++x)
                line += w->Vek1->Bit(x, y) == 1 ? '#' : '.';
            lines << line;
        }
        return lines;
    }
    int litDots() const { return int(dots().join(QString()).count('#')); }
    // The smallest rectangle of dots that holds every lit one; the first dot is (1, 1).
    QRect litArea() const {
        const QStringList lines = dots();
        QRect area;
        for (int y = 0; y < lines.size(); ++y)
            for (int x = 0; x < lines[y].size(); ++x)
                area |= lines[y][x] == '#' ? QRect(x + 1, y + 1, 1, 1) : QRect();
        return area;
    }
    // Dots across by dot lines down.
    QSize matrix() const { return QSize(w->Vek1->MaxRows(), w->Vek1->MaxLines()); }
    // The captions of the three matrix settings, which show their values.
    QStringList settingLabels() const {
        return {w->Lbl_VekSet[1]->text(), w->Lbl_VekSet[2]->text(), w->Lbl_VekSet[3]->text()};
    }
    // Full panels painted since the last call of restartCounts, counted in dots changed.
    int panelsPainted() const { return counter.changes / matrix().width() / matrix().height(); }
    void restartCounts() {
        w->VekSite().ResetCounts();
        counter.changes = 0;
    }
    // Clicks dot (x, y) of the panel, the first being (1, 1).
    void clickDot(int x, int y) {
        const QPoint at = (QPointF(x - 0.5, y - 0.5) * 42 * w->Vek1->LedRadius() / 15).toPoint();
        QTest::mouseClick(w->Vek1->Widget(), Qt::LeftButton, {}, at);
    }

    QString code() const { return w->Txt_Display->Text(); }
    // The code text of the panel as it is, in the options chosen.
    QString codeOfPanel() const {
        return orvane::BuildCodeString(
            *w->Vek1, orvane::CodeModelLayout(w->Opt_CodeModel[0]->isChecked()),
            w->Opt_CodeStyle[1]->isChecked(),
            orvane::CodeSubject(w->CharMode, w->Txt_Char->text(), w->Dialog.FileName()));
    }
    // The first line, which names the character or the picture.
    QString codeSubject() const { return code().section("\r\n", 0, 0); }

    // Where the sampled region lies on the glyph surface and how large it is, as the four
    // glyph scroll bars give it.
    QRect glyphRegion() const {
        return QRect(w->HScrl_ChrPos->value(), w->VScrl_ChrPos->value(), w->HScrl_ChrWth->value(),
                     w->VScrl_ChrHgt->value());
    }

    QStringList messageTexts() const {
        QStringList texts;
        for (const auto& shown : messages.shown)
            texts << shown.text;
        return texts;
    }
    // Every dialog and message box must sit over the window, not float free of it.
    int dialogsNotOverTheWindow() const {
        const auto strays = [this](const auto& shown) {
            return std::count_if(shown.begin(), shown.end(),
                                 [this](const auto& one) { return one.owner != w; });
        };
        return int(strays(messages.shown) + strays(dialogs.fileRequests) +
                   strays(dialogs.fontRequests));
    }

    // Runs input inside the panel's paint, at its yield number `at` (counted since the last
    // restartCounts) or the first yield after it.
    void duringPaint(std::function<void()> input, int at = 1) {
        inputAtYield << input;
        yieldToWaitFor = at;
    }
    bool inputDuringPaintRan() const { return inputAtYield.isEmpty(); }

    QString path(const QString& name) const { return folder.filePath(name); }
    bool putFile(const QString& name, const QByteArray& bytes) {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    // The endless /dev/zero, which no file dialog should take as a file.
    bool putDevice(const QString& name) {
        return !::mknod(QFile::encodeName(path(name)).constData(), S_IFCHR | 0666, makedev(1, 5));
    }
    // Clicks with the folder read-only; a test run as root, whom modes do not stop, clicks as
    // nobody.
    void clickInReadOnlyFolder(QWidget* button) {
        const QByteArray at = QFile::encodeName(folder.path());
        const passwd* nobody = ::getpwnam("nobody");
        const bool locked = !::chmod(at, 0555);
        const bool asNobody = locked && nobody && !::geteuid() && !::seteuid(nobody->pw_uid);
        QTest::mouseClick(button, Qt::LeftButton);
        if (asNobody)
            (void)::seteuid(0);
        if (locked)
            ::chmod(at, 0700);
    }

private:
    QList<std::function<void()>> inputAtYield;
    int yieldToWaitFor = 0;

    void runInputForThisYield() {
        if (w->VekSite().YieldCount() >= yieldToWaitFor)
            for (const auto& input : std::exchange(inputAtYield, {}))
                input();
    }
};

// Each test of a window test program gets a window of its own, shown, active and with its
// counts at zero; after it, every dialog must have sat over the window and every input meant
// for a paint must have run.
class WindowTest : public QObject {
    Q_OBJECT

protected:
    std::unique_ptr<WindowFixture> f;
    orvane::SingleCharWindow* w = nullptr;

protected slots:
    void init() {
        f = std::make_unique<WindowFixture>();
        w = f->w;
        w->show();
        QApplication::setActiveWindow(w);
        QVERIFY(QTest::qWaitForWindowActive(w));
        f->restartCounts();
    }
    void cleanup() {
        QCOMPARE(f->dialogsNotOverTheWindow(), 0);
        QVERIFY2(f->inputDuringPaintRan(), "the input meant for a paint never ran");
        f.reset();
    }
};

} // namespace testing
