#pragma once

// The LED dot-matrix control Vek. Hosts compile against IVek.h only; this header is for the
// library itself and for its tests and benchmarks, which link the library.

#include "kivaro/IVek.h"

#include <QList>
#include <QPixmap>
#include <QWidget>

#include <array>
#include <cstdint>

namespace platform {
class IControlSite;
class PropertyBag;
} // namespace platform

namespace kivaro {

// The control keeps its geometry in twips (1/1440 inch, 15 to a logical pixel): pitch 42 * r,
// disc radius 20 * r, with r = LedRadius. Its widget is always the panel's size in whole
// pixels, lrint(twips / 15).
//
// The retained surface is the only store of the dot pattern: one colour per dot position, the
// colour of the last disc painted there, or "no disc" (background) after a clear. A dot is lit
// exactly when that colour equals OnSetColor. The surface holds 24-bit colours as a real raster
// would, so a colour with a non-zero high byte is painted as its low 24 bits and never reads
// back equal to itself. paintEvent renders discs from the store, for the exposed region only.
//
// Without a site (a control created directly, not through a host) property-changed
// notifications and yields do nothing.
class Vek : public QWidget, public IVek {
    Q_OBJECT
    Q_INTERFACES(kivaro::IVek platform::IControl)

public:
    // The surface's background colour (0x00BBGGRR): a dark grey that differs from every Color
    // value and from the black outline.
    static constexpr std::uint32_t kBackgroundColor = 0x202020;
    // What sampling returns for a point outside the surface.
    static constexpr std::uint32_t kOutsideColor = 0xFFFFFFFF;
    // The largest matrix a load can produce; the store is always this big.
    static constexpr int kStoreSide = 255;
    static constexpr double kTwipsPerPixel = 15.0;

    explicit Vek(QWidget* parent = nullptr);
    ~Vek() override;

    // platform::IControl
    QWidget* Widget() override { return this; }
    void SetSite(platform::IControlSite* site) override { m_site = site; }
    void InitProperties() override;
    void ReadProperties(const platform::PropertyBag& bag) override;
    void WriteProperties(platform::PropertyBag& bag) const override;
    QVariant Invoke(std::int32_t dispId, platform::InvokeKind kind, QVariantList& args) override;

    // kivaro::IVek
    std::uint8_t MaxLines() const override { return m_maxLines; }
    void setMaxLines(std::uint8_t vNewValue) override;
    std::uint8_t MaxRows() const override { return m_maxRows; }
    void setMaxRows(std::uint8_t vNewValue) override;
    void SetBit(std::uint8_t& X, std::uint8_t& Y) override;
    void ClrBit(std::uint8_t& X, std::uint8_t& Y) override;
    void SetAll() override;
    void ClrAll() override;
    std::uint8_t Bit(std::uint8_t& X, std::uint8_t& Y) override;
    std::int32_t OnSetColor() const override { return m_onSetColor; }
    void setOnSetColor(std::int32_t vNewValue) override;
    std::int32_t OnClrColor() const override { return m_onClrColor; }
    void setOnClrColor(std::int32_t vNewValue) override;
    std::uint8_t LedRadius() const override { return m_ledRadius; }
    void setLedRadius(std::uint8_t vNewValue) override;
    bool Enable() const override { return m_enable; }
    void setEnable(bool vNewValue) override;
    void Clr() override;
    void Advise(IVekEvents* sink) override;
    void Unadvise(IVekEvents* sink) override;

    // The platform's mouse-press notification (x and y in the control's twips) and its click
    // notification. mousePressEvent and mouseReleaseEvent call them; tests may call them too.
    void MouseDown(int button, int shift, float x, float y);
    void ClickNotification();
    std::int32_t DownX() const { return m_downX; }
    std::int32_t DownY() const { return m_downY; }

    // The control's size in twips: the exact panel extent while the widget has its fitted
    // pixel size (it always has, once shown), else the widget's pixels times 15.
    double WidthTwips() const;
    double HeightTwips() const;
    // The colour last painted at the centre of dot (X, Y), 1-based, as sampling finds it.
    std::uint32_t SampleDot(int X, int Y) const;

    QSize sizeHint() const override;

signals:
    void Click();
    void Edited();
    void Changed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // A store entry with no disc: reads as the background colour.
    static constexpr std::uint32_t kNoDisc = 0x01000000;

    double Pitch() const { return 42.0 * m_ledRadius; }
    float FitWidth() const;
    float FitHeight() const;
    void FitSize();
    void ClearSurface();
    // Full-panel paint in colour (DrawAllClr with OnClrColor, SetAll with OnSetColor).
    void DrawAll(std::int32_t colour);
    void DrawAllClr() { DrawAll(m_onClrColor); }
    // Paint the disc of 0-based cell (i, j) in the current fill colour; clipped to the surface.
    void PaintCell(int i, int j);
    // Paint a disc from a geometry that is no longer current (a full-panel paint whose radius
    // was changed under it during a yield): every dot centre the disc covers takes its colour.
    void PaintForeignDisc(double cx, double cy, double radius);
    std::uint32_t SampleCell(int i, int j) const;
    void NormaliseXY(std::uint8_t& X, std::uint8_t& Y) const;
    void Yield();
    void NotifyChanged(const char* key);
    void RaiseClick();
    void RaiseEdited();
    void RaiseChanged();
    QRect CellRect(int i, int j) const;
    void Invalidate(const QRect& rect);
    const QPixmap& DiscPixmap(std::uint32_t colour);

    std::uint8_t m_maxLines = 8;
    std::uint8_t m_maxRows = 8;
    std::int32_t m_onSetColor = Red;
    std::int32_t m_onClrColor = BRed;
    std::int32_t m_downX = 0;
    std::int32_t m_downY = 0;
    bool m_enable = true;
    std::uint8_t m_ledRadius = 4;

    // The surface: its fill colour (set before a disc is painted) and one colour per dot.
    std::uint32_t m_fillColour = 0;
    std::array<std::uint32_t, kStoreSide * kStoreSide> m_store;

    platform::IControlSite* m_site = nullptr;
    QList<IVekEvents*> m_sinks;
    bool m_leftPressed = false;
    // What was asked to be repainted since the last paint.
    QRect m_pendingUpdate;

    // One disc picture per colour at the current radius, drawn by paintEvent.
    struct CachedDisc {
        std::uint32_t colour;
        QPixmap pixmap;
    };
    QList<CachedDisc> m_discs;
    std::uint8_t m_discsRadius = 0;
};

} // namespace kivaro
