// Draws the program's artwork (banner, help-button logo, window and desktop icons) into
// resources/.
// Build and run by hand when the artwork changes:
//   g++ -std=c++20 -fPIC make_artwork.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_artwork
//   QT_QPA_PLATFORM=offscreen /tmp/make_artwork ../resources
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

namespace {

// A small LED matrix showing a "P", the mark of the program.
const char* const kMarkRows[] = {"11110", "10001", "10001", "11110", "10000", "10000", "10000"};

void drawLedMark(QPainter& p, QRectF box, QColor lit, QColor unlit) {
    const int n = 7;
    const double pitch = std::min(box.width() / 5, box.height() / n);
    const double r = pitch * 0.4;
    p.setPen(Qt::NoPen);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < 5; ++x) {
            p.setBrush(kMarkRows[y][x] == '1' ? lit : unlit);
            const QPointF c(box.left() + (x + 0.5) * pitch, box.top() + (y + 0.5) * pitch);
            p.drawEllipse(c, r, r);
        }
    }
}

QImage banner() {
    QImage img(245, 98, QImage::Format_RGB32);
    img.fill(QColor(0x80, 0x80, 0xFF));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawLedMark(p, QRectF(10, 12, 52, 74), QColor(0, 255, 0), QColor(0, 96, 0));
    p.setPen(QColor(0x10, 0x10, 0x50));
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRectF(70, 14, 170, 40), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Pointillo"));
    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(14);
    p.setFont(sub);
    p.drawText(QRectF(72, 56, 170, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("LED dot-matrix moulds"));
    p.drawText(QRectF(72, 74, 170, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("V1.0"));
    return img;
}

QImage logo() {
    QImage img(160, 120, QImage::Format_RGB32);
    img.fill(QColor(0x80, 0x80, 0xFF));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawLedMark(p, QRectF(55, 8, 50, 70), QColor(255, 255, 0), QColor(96, 96, 0));
    p.setPen(QColor(0x10, 0x10, 0x50));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(22);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(0, 82, 160, 34), Qt::AlignCenter, QStringLiteral("? Help"));
    p.end();
    return img.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
}

// The program's mark on a black tile. At 48 px and up the LEDs are round and smoothed.
QImage icon(int size) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0, 0, 0));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, size, size), size / 8.0, size / 8.0);
    drawLedMark(p, QRectF(size * 0.18, size * 0.06, size * 0.7, size * 0.9), QColor(255, 0, 0),
                QColor(80, 0, 0));
    return img;
}

// At 16 and 32 px smoothing would blur each LED into its neighbours, so every LED is a block
// of whole pixels (with a one-pixel gap at 32 px) and the tile's corners are cut by hand.
QImage crispIcon(int size) {
    const int pitch = size / 8;
    const int led = size >= 32 ? pitch - 1 : pitch;
    const int corner = size / 16;
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.fillRect(QRect(corner, 0, size - 2 * corner, size), Qt::black);
    p.fillRect(QRect(0, corner, size, size - 2 * corner), Qt::black);
    const int left = (size - (5 * pitch - (pitch - led))) / 2;
    const int top = (size - (7 * pitch - (pitch - led))) / 2;
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 5; ++x) {
            const QColor colour = kMarkRows[y][x] == '1' ? QColor(255, 0, 0) : QColor(80, 0, 0);
            p.fillRect(QRect(left + x * pitch, top + y * pitch, led, led), colour);
        }
    }
    return img;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    bool ok = banner().save(dir + QStringLiteral("/banner.png")) &&
              logo().save(dir + QStringLiteral("/help_logo.png"));
    // The window uses icon16 and icon32; the desktop's icon theme gets every size.
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QImage image = size <= 32 ? crispIcon(size) : icon(size);
        ok = ok && image.save(dir + QStringLiteral("/icon%1.png").arg(size));
    }
    return ok ? 0 : 1;
}
