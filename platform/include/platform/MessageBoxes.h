#pragma once

#include <QString>

class QWidget;

namespace platform {

enum class MsgIcon { Information, Question };
enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Yes, No };

// Modal message boxes with the system's captions, icons and buttons. The window reaches them
// through this interface so that a test can answer them from a script.
class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    virtual MsgResult Show(QWidget* parent, const QString& text, const QString& caption,
                           MsgIcon icon, MsgButtons buttons) = 0;
};

class QtMessageBoxes : public IMessageBoxes {
public:
    MsgResult Show(QWidget* parent, const QString& text, const QString& caption, MsgIcon icon,
                   MsgButtons buttons) override;
};

} // namespace platform
