#pragma once

#include <QCheckBox>
#include <QRadioButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include <type_traits>

namespace orvane {

// A check box or option button whose caption wraps over as many lines as its height holds,
// as the platform the window comes from draws them: the layout gives some of them captions
// wider than one line.
template <typename Button> class WrappingButton : public Button {
    static_assert(std::is_same_v<Button, QCheckBox> || std::is_same_v<Button, QRadioButton>);

public:
    using Button::Button;

    // The caption's place: beside the indicator, the full height of the control.
    QRect CaptionArea() const {
        QStyleOptionButton option;
        this->initStyleOption(&option);
        return this->style()->subElementRect(kContents, &option, this);
    }

    static constexpr int kCaptionFlags =
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        this->initStyleOption(&option);
        const QString caption = option.text;
        option.text.clear();
        option.state &= ~QStyle::State_HasFocus; // the focus frame goes round the caption
        painter.drawControl(kControl, option);
        const QRect area = CaptionArea();
        painter.drawItemText(area, kCaptionFlags, this->palette(), this->isEnabled(), caption,
                             QPalette::WindowText);
        if (this->hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = this->fontMetrics().boundingRect(area, kCaptionFlags, caption);
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    }

private:
    static constexpr bool kCheck = std::is_same_v<Button, QCheckBox>;
    static constexpr QStyle::SubElement kContents =
        kCheck ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents;
    static constexpr QStyle::ControlElement kControl =
        kCheck ? QStyle::CE_CheckBox : QStyle::CE_RadioButton;
};

} // namespace orvane
