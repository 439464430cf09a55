#pragma once

#include <QLineEdit>

namespace orvane {

// The one-character box: it holds at most one character (one code point, so a character
// outside the basic plane is never cut in half). It reports every key before the key takes
// effect, so that its handler can empty the box and the key typed last replaces the old one.
class CharBox : public QLineEdit {
    Q_OBJECT

public:
    explicit CharBox(QWidget* parent = nullptr);

    // The first character of text, whole.
    static QString FirstCharacter(const QString& text);

signals:
    void KeyDown();
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    bool keepOneCharacter();
    // The character a key types when it lies beyond the basic plane: QLineEdit drops both
    // halves, which are no printable characters on their own. Empty for every other key.
    QString beyondTheBasicPlane(const QString& keyText);

    QChar m_leadHalf; // the first half of a character whose second half is still to come
};

} // namespace orvane
