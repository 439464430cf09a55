// Hosts the Kivaro LED panel, created by its ProgID from the folder the package installed it
// in, and scrolls a text across 32 x 8 dots. A click on a dot toggles it and stops the text.
//   scrolling_text [TEXT] [--frames N]   (--frames: stop after N frames, print the last one)
#include "kivaro/ControlFolder.h"
#include "kivaro/IVek.h"
#include "platform/ControlHost.h"
#include "platform/ControlSite.h"
#include "platform/PlatformError.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <cstdio>

namespace {

constexpr std::uint8_t kLines = 8;
constexpr std::uint8_t kRows = 32;

// The whole text once, black on white, with a panel's width of blank on both sides so that it
// scrolls in from the right and out at the left. Frame n shows columns n to n + 31.
QImage textStrip(const QString& text) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(kLines + 1);
    font.setStyleStrategy(QFont::NoAntialias);
    const int width = QFontMetrics(font).horizontalAdvance(text);
    QImage strip(width + 2 * kRows, kLines, QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter painter(&strip);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(kRows, 0, width, kLines), Qt::AlignCenter, text);
    return strip;
}

// Listens to the panel's events; only a hand edit matters here.
class PanelEvents : public kivaro::IVekEvents {
public:
    bool edited = false;
    void Edited() override {
        if (!edited)
            std::puts("A dot was toggled by hand: the text stops here.");
        edited = true;
    }
};

void showFrame(kivaro::IVek& vek, const QImage& strip, int offset) {
    for (std::uint8_t y = 1; y <= kLines; ++y) {
        for (std::uint8_t x = 1; x <= kRows; ++x) {
            std::uint8_t column = x;
            std::uint8_t line = y;
            if (qGray(strip.pixel(offset + x - 1, y - 1)) < 128)
                vek.SetBit(column, line);
            else
                vek.ClrBit(column, line);
        }
    }
}

void printFrame(kivaro::IVek& vek) {
    for (std::uint8_t y = 1; y <= kLines; ++y) {
        for (std::uint8_t x = 1; x <= kRows; ++x) {
            std::uint8_t column = x;
            std::uint8_t line = y;
            std::putchar(vek.Bit(column, line) ? '#' : '.');
        }
        std::putchar('\n');
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int frames = 0;
    if (const qsizetype at = args.indexOf(QStringLiteral("--frames")); at >= 0) {
        frames = args.value(at + 1).toInt();
        if (frames <= 0) {
            std::fputs("scrolling_text: --frames needs a number of frames above 0\n", stderr);
            return 2;
        }
        args.remove(at, 2);
    }
    const QImage strip = textStrip(args.isEmpty() ? QStringLiteral("Kivaro") : args.join(' '));

    PanelEvents events;
    platform::ControlSite site;
    QWidget window;
    QWidget* panel = nullptr;
    try {
        panel = platform::ControlHost::CreateControl(QString::fromLatin1(kivaro::kProgId), &window,
                                                     &site, nullptr, kivaro::ControlFolder())
                    ->Widget();
    } catch (const platform::PlatformError& e) {
        std::fprintf(stderr, "scrolling_text: %s\n", e.what());
        return 1;
    }
    kivaro::IVek* vek = qobject_cast<kivaro::IVek*>(panel);
    if (!vek) {
        std::fputs("scrolling_text: the control is not an LED dot-matrix panel\n", stderr);
        return 1;
    }
    vek->setMaxLines(kLines);
    vek->setMaxRows(kRows);
    vek->setLedRadius(3);
    vek->setEnable(true);
    vek->Advise(&events);
    window.setWindowTitle(QStringLiteral("Kivaro"));
    window.resize(panel->size());
    window.show();

    int offset = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!events.edited)
            showFrame(*vek, strip, offset);
        offset = (offset + 1) % (strip.width() - kRows + 1);
        if (frames > 0 && --frames == 0) {
            printFrame(*vek);
            app.quit();
        }
    });
    timer.start(frames > 0 ? 1 : 60);
    const int status = app.exec();
    vek->Unadvise(&events);
    return status;
}
