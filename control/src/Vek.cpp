#include "kivaro/Vek.h"

#include "platform/Colour.h"
#include "platform/ControlSite.h"
#include "platform/PropertyBag.h"
#include "platform/Rounding.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QScopedValueRollback>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

namespace kivaro {

namespace {

// Persistence keys, also the names passed to the property-changed notification.
constexpr char kKeyMaxLines[] = "MaxLines";
constexpr char kKeyMaxRows[] = "MaxRows";
constexpr char kKeyEnable[] = "Enable";
constexpr char kKeyLedRadius[] = "LedRadius";
constexpr char kKeyOnSetColor[] = "OnSetColor";
constexpr char kKeyOnClrColor[] = "OnClrColor";

// Defaults given to the property bag; a new control differs only in its radius (4).
constexpr int kDefaultCount = 8;
constexpr bool kDefaultEnable = true;
constexpr int kDefaultLedRadius = 5;
constexpr int kNewLedRadius = 4;

// The setters keep the counts within 1..254, so the 8-bit counters of the full-panel paint
// never pass 255. Loading applies the same correction, which keeps that true
// for counts read from a saved form too.
std::uint8_t CorrectCount(std::uint8_t value) {
    if (value == 0)
        return 1;
    if (value == 255)
        return 254;
    return value;
}

std::uint8_t CorrectRadius(std::uint8_t value) {
    return value == 0 ? 1 : value;
}

int ToPixels(double twips) {
    return static_cast<int>(platform::RoundHalfEven(twips / Vek::kTwipsPerPixel));
}

// A real raster keeps 24 bits of colour per pixel.
constexpr std::uint32_t SurfaceColour(std::int32_t colour) {
    return static_cast<std::uint32_t>(colour) & 0xFFFFFFu;
}

// True while a full-panel paint (of any control: they share the one user-interface thread)
// is in its yield. A paint started by a handler inside that yield does not yield itself: each
// queued input would otherwise start one more paint nested in the last, and a storm of input
// on a large panel would grow the stack without bound.
bool g_paintYielding = false;

} // namespace

Vek::Vek(QWidget* parent) : QWidget(parent) {
    m_store.fill(kNoDisc);
    // paintEvent covers every exposed pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    FitSize();
}

Vek::~Vek() = default;

// ---- Life cycle and persistence ----

void Vek::InitProperties() {
    m_maxLines = kDefaultCount;
    m_maxRows = kDefaultCount;
    m_onSetColor = Red;
    m_onClrColor = BRed;
    m_ledRadius = kNewLedRadius;
    m_enable = kDefaultEnable;
    FitSize();
    ClearSurface();
    DrawAllClr();
}

void Vek::ReadProperties(const platform::PropertyBag& bag) {
    using platform::ToBoolean;
    using platform::ToByte;
    using platform::ToLong;
    const auto read = [&bag](const char* key, const QVariant& def) {
        return bag.ReadProperty(QString::fromLatin1(key), def);
    };
    // Each field is stored as soon as it is read: a failure leaves those before it changed.
    m_maxLines = CorrectCount(ToByte(read(kKeyMaxLines, kDefaultCount)));
    m_maxRows = CorrectCount(ToByte(read(kKeyMaxRows, kDefaultCount)));
    m_enable = ToBoolean(read(kKeyEnable, kDefaultEnable));
    m_ledRadius = CorrectRadius(ToByte(read(kKeyLedRadius, kDefaultLedRadius)));
    m_onSetColor = ToLong(read(kKeyOnSetColor, static_cast<int>(Red)));
    m_onClrColor = ToLong(read(kKeyOnClrColor, static_cast<int>(BRed)));
    FitSize();
    ClearSurface();
    DrawAllClr();
}

void Vek::WriteProperties(platform::PropertyBag& bag) const {
    const auto write = [&bag](const char* key, const QVariant& value, const QVariant& def) {
        bag.WriteProperty(QString::fromLatin1(key), value, def);
    };
    write(kKeyMaxLines, int(m_maxLines), kDefaultCount);
    write(kKeyMaxRows, int(m_maxRows), kDefaultCount);
    write(kKeyEnable, m_enable, kDefaultEnable);
    write(kKeyLedRadius, int(m_ledRadius), kDefaultLedRadius);
    write(kKeyOnSetColor, m_onSetColor, static_cast<int>(Red));
    write(kKeyOnClrColor, m_onClrColor, static_cast<int>(BRed));
}

// ---- Properties ----

void Vek::setMaxLines(std::uint8_t vNewValue) {
    m_maxLines = CorrectCount(vNewValue);
    NotifyChanged(kKeyMaxLines);
    FitSize();
    ClearSurface();
    DrawAllClr();
    RaiseChanged();
}

void Vek::setMaxRows(std::uint8_t vNewValue) {
    m_maxRows = CorrectCount(vNewValue);
    NotifyChanged(kKeyMaxRows);
    FitSize();
    ClearSurface();
    DrawAllClr();
    RaiseChanged();
}

void Vek::setOnSetColor(std::int32_t vNewValue) {
    m_onSetColor = vNewValue;
    NotifyChanged(kKeyOnSetColor);
    DrawAllClr();
}

void Vek::setOnClrColor(std::int32_t vNewValue) {
    m_onClrColor = vNewValue;
    NotifyChanged(kKeyOnClrColor);
    ClearSurface();
    DrawAllClr();
}

void Vek::setLedRadius(std::uint8_t vNewValue) {
    m_ledRadius = CorrectRadius(vNewValue);
    NotifyChanged(kKeyLedRadius);
    FitSize();
    ClearSurface();
    DrawAllClr();
}

void Vek::setEnable(bool vNewValue) {
    m_enable = vNewValue;
    NotifyChanged(kKeyEnable);
}

// ---- Bit operations ----

void Vek::NormaliseXY(std::uint8_t& X, std::uint8_t& Y) const {
    if (X == 0)
        X = 1;
    else if (X > m_maxRows)
        X = m_maxRows;
    if (Y == 0)
        Y = 1;
    else if (Y > m_maxLines)
        Y = m_maxLines;
}

void Vek::SetBit(std::uint8_t& X, std::uint8_t& Y) {
    NormaliseXY(X, Y);
    m_fillColour = m_onSetColor;
    PaintCell(X - 1, Y - 1);
    RaiseChanged();
}

void Vek::ClrBit(std::uint8_t& X, std::uint8_t& Y) {
    NormaliseXY(X, Y);
    m_fillColour = m_onClrColor;
    PaintCell(X - 1, Y - 1);
    RaiseChanged();
}

std::uint8_t Vek::Bit(std::uint8_t& X, std::uint8_t& Y) {
    NormaliseXY(X, Y);
    return SampleCell(X - 1, Y - 1) == static_cast<std::uint32_t>(m_onSetColor) ? 1 : 0;
}

void Vek::SetAll() {
    DrawAll(m_onSetColor);
    RaiseChanged();
}

void Vek::ClrAll() {
    DrawAllClr();
    RaiseChanged();
}

void Vek::Clr() {
    ClearSurface();
}

std::uint32_t Vek::SampleDot(int X, int Y) const {
    return SampleCell(X - 1, Y - 1);
}

// ---- The surface ----

std::uint32_t Vek::SampleCell(int i, int j) const {
    if (i < 0 || j < 0 || i >= m_maxRows || j >= m_maxLines)
        return kOutsideColor;
    const std::uint32_t c = m_store[j * kStoreSide + i];
    return c == kNoDisc ? kBackgroundColor : c;
}

void Vek::PaintCell(int i, int j) {
    // The surface ends at the panel's edge; a disc beyond it is dropped, as on a real surface.
    if (i < 0 || j < 0 || i >= m_maxRows || j >= m_maxLines)
        return;
    m_store[j * kStoreSide + i] = SurfaceColour(m_fillColour);
    if (isVisible())
        Invalidate(CellRect(i, j));
}

// Asks for a repaint of rect. A scan of SetBit calls on a shown panel would otherwise hand Qt
// one small rectangle per disc, and merging tens of thousands of them into its dirty region
// costs more than the paint: the rectangles are gathered into one until the next paint.
void Vek::Invalidate(const QRect& rect) {
    if (m_pendingUpdate.contains(rect))
        return;
    m_pendingUpdate |= rect;
    update(m_pendingUpdate);
}

void Vek::PaintForeignDisc(double cx, double cy, double radius) {
    const double pitch = Pitch();
    const auto first = [pitch](double lo) { return std::max(0.0, std::ceil(lo / pitch - 0.5)); };
    const auto last = [pitch](double hi, int count) {
        return std::min(count - 1.0, std::floor(hi / pitch - 0.5));
    };
    const int i0 = static_cast<int>(first(cx - radius));
    const int i1 = static_cast<int>(last(cx + radius, m_maxRows));
    const int j0 = static_cast<int>(first(cy - radius));
    const int j1 = static_cast<int>(last(cy + radius, m_maxLines));
    for (int j = j0; j <= j1; ++j) {
        for (int i = i0; i <= i1; ++i) {
            const double dx = (i + 0.5) * pitch - cx;
            const double dy = (j + 0.5) * pitch - cy;
            if (dx * dx + dy * dy <= radius * radius)
                PaintCell(i, j);
        }
    }
}

void Vek::ClearSurface() {
    m_store.fill(kNoDisc);
    if (isVisible())
        Invalidate(rect());
}

void Vek::DrawAll(std::int32_t colour) {
    const double pitch = Pitch();
    const double radius = 20.0 * m_ledRadius;
    m_fillColour = colour;
    const std::uint8_t lines = m_maxLines;
    for (std::uint8_t y = 1; y <= lines; ++y) {
        const std::uint8_t columns = m_maxRows;
        // A handler run by the yield may have changed the radius, the counts or the fill
        // colour; the paint goes on with its own geometry and the surface's fill colour, and
        // whatever falls outside the surface now is dropped.
        if (pitch == Pitch() && y <= m_maxLines) {
            const std::uint8_t inside = std::min(columns, m_maxRows);
            const std::uint32_t fill = SurfaceColour(m_fillColour);
            std::fill_n(m_store.begin() + (y - 1) * kStoreSide, inside, fill);
            if (isVisible()) {
                const QRect cell = CellRect(0, y - 1);
                Invalidate(QRect(0, cell.top(), width(), cell.height()));
            }
        } else {
            for (std::uint8_t x = 1; x <= columns; ++x)
                PaintForeignDisc((x - 0.5) * pitch, (y - 0.5) * pitch, radius);
        }
        if (MaxRows() > 150 && MaxLines() > 150 && !g_paintYielding) {
            const QScopedValueRollback<bool> yielding(g_paintYielding, true);
            Yield();
        }
    }
}

float Vek::FitWidth() const {
    return static_cast<float>(static_cast<double>(m_ledRadius) * 42.0 * m_maxRows);
}

float Vek::FitHeight() const {
    return static_cast<float>(static_cast<double>(m_ledRadius) * 42.0 * m_maxLines);
}

double Vek::WidthTwips() const {
    const float fit = FitWidth();
    return ToPixels(fit) == width() ? fit : width() * kTwipsPerPixel;
}

double Vek::HeightTwips() const {
    const float fit = FitHeight();
    return ToPixels(fit) == height() ? fit : height() * kTwipsPerPixel;
}

QSize Vek::sizeHint() const {
    return {ToPixels(FitWidth()), ToPixels(FitHeight())};
}

// Compares in whole pixels, the unit it sets: comparing twips with a pixel size would never
// find them equal and resize forever. The size is also made the widget's minimum and maximum,
// so a host's resize is undone at once even while the control is hidden (when Qt holds the
// resize notification back until it is shown) and layouts leave the control its size.
void Vek::FitSize() {
    const int w = ToPixels(FitWidth());
    if (m_maxRows != 0 && (w != width() || minimumWidth() != w || maximumWidth() != w))
        setFixedWidth(w);
    const int h = ToPixels(FitHeight());
    if (m_maxLines != 0 && (h != height() || minimumHeight() != h || maximumHeight() != h))
        setFixedHeight(h);
}

void Vek::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitSize();
}

QRect Vek::CellRect(int i, int j) const {
    const double pitch = Pitch() / kTwipsPerPixel;
    const double radius = 20.0 * m_ledRadius / kTwipsPerPixel;
    const double cx = (i + 0.5) * pitch;
    const double cy = (j + 0.5) * pitch;
    const int left = static_cast<int>(std::floor(cx - radius)) - 1;
    const int top = static_cast<int>(std::floor(cy - radius)) - 1;
    const int right = static_cast<int>(std::ceil(cx + radius)) + 1;
    const int bottom = static_cast<int>(std::ceil(cy + radius)) + 1;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

namespace {

// Discs below this radius in pixels are drawn pixel by pixel, without an outline.
constexpr double kSmallDiscRadius = 2.0;

} // namespace

const QPixmap& Vek::DiscPixmap(std::uint32_t colour) {
    if (m_discsRadius != m_ledRadius || m_discs.size() > 16) {
        m_discs.clear();
        m_discsRadius = m_ledRadius;
    }
    for (const CachedDisc& disc : m_discs) {
        if (disc.colour == colour)
            return disc.pixmap;
    }
    const double radius = 20.0 * m_ledRadius / kTwipsPerPixel;
    const int half = static_cast<int>(std::ceil(radius)) + 1;
    QPixmap pixmap(2 * half + 1, 2 * half + 1);
    pixmap.fill(Qt::transparent);
    if (radius < kSmallDiscRadius) {
        // An outline a pixel wide would cover such a disc whole and smoothing would blend away
        // its colour: every pixel whose centre lies on the disc takes the fill colour exactly.
        QPainter painter(&pixmap);
        for (int y = 0; y < pixmap.height(); ++y)
            for (int x = 0; x < pixmap.width(); ++x)
                if (std::hypot(x - half, y - half) <= radius)
                    painter.fillRect(x, y, 1, 1, platform::ToQColor(colour));
    } else {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 1.0));
        painter.setBrush(platform::ToQColor(colour));
        // The outline's outer edge lies on the disc's radius.
        const double drawn = std::max(0.5, radius - 0.5);
        painter.drawEllipse(QPointF(half + 0.5, half + 0.5), drawn, drawn);
    }
    m_discs.append({colour, pixmap});
    return m_discs.constLast().pixmap;
}

void Vek::paintEvent(QPaintEvent* event) {
    m_pendingUpdate = QRect();
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.fillRect(exposed, platform::ToQColor(kBackgroundColor));

    const double pitch = Pitch() / kTwipsPerPixel;
    const double radius = 20.0 * m_ledRadius / kTwipsPerPixel;
    const double reach = radius + 2.0;
    const int i0 = std::max(0, static_cast<int>(std::floor((exposed.left() - reach) / pitch)));
    const int j0 = std::max(0, static_cast<int>(std::floor((exposed.top() - reach) / pitch)));
    const int i1 = std::min(int(m_maxRows) - 1,
                            static_cast<int>(std::floor((exposed.right() + reach) / pitch)));
    const int j1 = std::min(int(m_maxLines) - 1,
                            static_cast<int>(std::floor((exposed.bottom() + reach) / pitch)));

    std::uint32_t lastColour = kNoDisc;
    const QPixmap* disc = nullptr;
    int half = 0;
    for (int j = j0; j <= j1; ++j) {
        const int top = static_cast<int>(std::floor((j + 0.5) * pitch));
        const std::uint32_t* row = m_store.data() + j * kStoreSide;
        for (int i = i0; i <= i1; ++i) {
            const std::uint32_t colour = row[i];
            if (colour == kNoDisc)
                continue;
            if (colour != lastColour) {
                disc = &DiscPixmap(colour);
                half = disc->width() / 2;
                lastColour = colour;
            }
            const int left = static_cast<int>(std::floor((i + 0.5) * pitch));
            painter.drawPixmap(left - half, top - half, *disc);
        }
    }
}

// ---- Mouse editing and events ----

void Vek::MouseDown(int button, int shift, float x, float y) {
    Q_UNUSED(button);
    Q_UNUSED(shift);
    m_downX = static_cast<std::int32_t>(platform::RoundHalfEven(x));
    m_downY = static_cast<std::int32_t>(platform::RoundHalfEven(y));
}

void Vek::ClickNotification() {
    RaiseClick();
    if (!m_enable)
        return;
    const double pitch = Pitch();
    // Truncated towards zero; no comparison with the counts: a cell off the panel is off the
    // surface, and sampling and painting there find nothing and change nothing.
    const int i = static_cast<int>(std::trunc(m_downX / pitch));
    const int j = static_cast<int>(std::trunc(m_downY / pitch));
    const bool lit = SampleCell(i, j) == static_cast<std::uint32_t>(m_onSetColor);
    m_fillColour = lit ? m_onClrColor : m_onSetColor;
    PaintCell(i, j);
    RaiseEdited();
    RaiseChanged();
}

void Vek::mousePressEvent(QMouseEvent* event) {
    // The platform's button and shift codes: left 1, right 2, middle 4; shift 1, ctrl 2, alt 4.
    const Qt::KeyboardModifiers mods = event->modifiers();
    const int shift = (mods & Qt::ShiftModifier ? 1 : 0) | (mods & Qt::ControlModifier ? 2 : 0) |
                      (mods & Qt::AltModifier ? 4 : 0);
    const QPointF pos = event->position();
    MouseDown(static_cast<int>(event->button()), shift,
              static_cast<float>(pos.x() * kTwipsPerPixel),
              static_cast<float>(pos.y() * kTwipsPerPixel));
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    event->accept();
}

void Vek::mouseReleaseEvent(QMouseEvent* event) {
    // The platform's click: the left button pressed and released over the control.
    if (event->button() != Qt::LeftButton || !m_leftPressed)
        return;
    m_leftPressed = false;
    event->accept();
    // In the press's own unit: rounding to whole pixels would lose the panel's last half pixel.
    const QPointF pos = event->position();
    if (pos.x() >= 0 && pos.y() >= 0 && pos.x() < width() && pos.y() < height())
        ClickNotification();
}

void Vek::Advise(IVekEvents* sink) {
    if (sink && !m_sinks.contains(sink))
        m_sinks.append(sink);
}

void Vek::Unadvise(IVekEvents* sink) {
    m_sinks.removeAll(sink);
}

// A sink may advise or unadvise while an event is being raised: iterate over a copy.
void Vek::RaiseClick() {
    const QList<IVekEvents*> sinks = m_sinks;
    for (IVekEvents* sink : sinks)
        sink->Click();
    emit Click();
}

void Vek::RaiseEdited() {
    const QList<IVekEvents*> sinks = m_sinks;
    for (IVekEvents* sink : sinks)
        sink->Edited();
    emit Edited();
}

void Vek::RaiseChanged() {
    // Raised once per dot a scan paints: the sinks are copied as plain pointers, without the
    // atomic reference counting a copy of the list costs, which took a quarter of a 254 x 254
    // refresh.
    const QVarLengthArray<IVekEvents*, 4> sinks(m_sinks.cbegin(), m_sinks.cend());
    for (IVekEvents* sink : sinks)
        sink->Changed();
    emit Changed();
}

// ---- Host services ----

void Vek::NotifyChanged(const char* key) {
    if (m_site)
        m_site->PropertyChanged(QString::fromLatin1(key));
}

void Vek::Yield() {
    if (m_site)
        m_site->Yield();
}

} // namespace kivaro
