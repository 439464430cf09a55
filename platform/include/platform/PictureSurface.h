#pragma once

#include "GlyphDrawing.h"

#include <QFont>
#include <QFrame>
#include <QImage>
#include <QPointF>
#include <QRgb>
#include <QString>

#include <cstdint>
#include <optional>

namespace platform {

// A picture box that keeps what is drawn on it. Its scale unit is the logical pixel: the scale
// width and height are the size of the inner area (inside the frame), and the retained image
// has exactly that size. A point with fractional coordinates belongs to the pixel that contains
// it, for reading as for drawing. Colours are 0x00BBGGRR.
//
// The holder's Picture is kept apart from the retained image: nothing draws it by itself, a
// caller paints it where it wants it with PaintPicture.
class PictureSurface : public QFrame {
    Q_OBJECT

public:
    // Refused property values (a drawing width or font size that cannot be drawn).
    static constexpr int kErrInvalidValue = 380;

    explicit PictureSurface(QWidget* parent = nullptr);

    double ScaleWidth() const;
    double ScaleHeight() const;

    std::uint32_t BackColor() const { return m_backColor; }
    void SetBackColor(std::uint32_t colour);
    std::uint32_t ForeColor() const { return m_foreColor; }
    void SetForeColor(std::uint32_t colour) { m_foreColor = colour; }
    int DrawWidth() const { return m_drawWidth; }
    // Widths below 1 are refused (kErrInvalidValue).
    void SetDrawWidth(int width);

    float CurrentX() const { return m_currentX; }
    float CurrentY() const { return m_currentY; }
    void SetCurrentX(float x) { m_currentX = x; }
    void SetCurrentY(float y) { m_currentY = y; }

    // The font Print uses. Sizes are in points at a fixed 96 dots per inch, whatever the screen.
    QString FontName() const { return m_font.family(); }
    void SetFontName(const QString& name) { m_font.setFamily(name); }
    double FontSize() const { return m_font.pointSizeF(); }
    // Sizes that are not above zero are refused (kErrInvalidValue).
    void SetFontSize(double points);
    bool FontBold() const { return m_font.bold(); }
    void SetFontBold(bool on) { m_font.setBold(on); }
    bool FontItalic() const { return m_font.italic(); }
    void SetFontItalic(bool on) { m_font.setItalic(on); }
    bool FontStrikethru() const { return m_font.strikeOut(); }
    void SetFontStrikethru(bool on) { m_font.setStrikeOut(on); }
    bool FontUnderline() const { return m_font.underline(); }
    void SetFontUnderline(bool on) { m_font.setUnderline(on); }
    const QFont& DrawFont() const { return m_font; }
    // The family of the face that really draws: FontName may be a name that only a
    // substitution resolves.
    QString FaceName() const;

    // Fills the whole surface with the background colour and puts the drawing position at the
    // origin.
    void Cls();
    // Prints text in ForeColor with the top-left corner of its line box at the drawing position,
    // then moves the drawing position to the start of the next line. Only the glyphs' own
    // pixels change, and the inside of every stroke is exactly ForeColor. A face that stands in
    // for another is drawn from that face's line box (pointillo::SetStandInLineBox).
    void Print(const QString& text);
    // Paints picture at its own size with its top-left corner at (x, y); what lies beyond the
    // surface is cut off.
    void PaintPicture(const QImage& picture, float x, float y);
    // The colour at (x, y), or nothing for a point outside the surface.
    std::optional<std::uint32_t> Point(float x, float y) const;
    // Sets the point (x, y) to colour, as a dot of DrawWidth pixels across.
    void PSet(float x, float y, std::uint32_t colour);

    const QImage& Picture() const { return m_picture; }
    void SetPicture(const QImage& picture) { m_picture = picture; }

    // The retained image (Format_RGB32, 0xffRRGGBB) for readers that walk many pixels.
    const QImage& Image() const;
    // The same for writers that set many pixels at once; the surface repaints afterwards.
    QImage& MutableImage();

    // The pixel that contains the coordinate c. NaN and coordinates far beyond any surface give
    // the lowest int, outside every surface.
    static int PixelIndex(float c) { return pointillo::PixelIndex(c); }

signals:
    // A mouse button went down over the surface; position is in scale units.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void syncImageSize() const;
    QImage& image();
    void scheduleUpdate();

    mutable QImage m_image;
    // The widget size and margins the image was last sized for.
    mutable QSize m_sizedFor;
    mutable bool m_marginsChanged = true;
    QImage m_picture;
    QFont m_font;
    std::uint32_t m_backColor = 0xFFFFFF;
    std::uint32_t m_foreColor = 0;
    int m_drawWidth = 1;
    float m_currentX = 0;
    float m_currentY = 0;
    bool m_updatePending = false;
};

} // namespace platform
