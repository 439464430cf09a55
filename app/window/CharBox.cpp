#include "CharBox.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

#include <utility>

namespace orvane {

CharBox::CharBox(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!keepOneCharacter())
            emit Change();
    });
}

QString CharBox::FirstCharacter(const QString& text) {
    if (text.isEmpty())
        return {};
    const qsizetype length =
        text.size() >= 2 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate() ? 2 : 1;
    return text.left(length);
}

bool CharBox::keepOneCharacter() {
    const QString first = FirstCharacter(text());
    if (first.size() == text().size())
        return false;
    // A paste of several characters keeps the first; that change of text reports itself.
    setText(first);
    return true;
}

QString CharBox::beyondTheBasicPlane(const QString& keyText) {
    const QChar lead = std::exchange(m_leadHalf, QChar());
    if (keyText.size() == 1 && keyText.front().isHighSurrogate()) {
        m_leadHalf = keyText.front();
        return {};
    }
    const QString text = !lead.isNull() && keyText.size() == 1 && keyText.front().isLowSurrogate()
                             ? lead + keyText
                             : keyText;
    return text.size() == 2 && text.front().isHighSurrogate() && text.back().isLowSurrogate()
               ? text
               : QString();
}

void CharBox::keyPressEvent(QKeyEvent* event) {
    emit KeyDown();
    // A character of two halves may come in one key or in two, one half each.
    const bool half = event->text().size() == 1 && event->text().front().isSurrogate();
    const QString character = beyondTheBasicPlane(event->text());
    if (!character.isEmpty())
        insert(character);
    if (half || !character.isEmpty())
        event->accept();
    else
        QLineEdit::keyPressEvent(event);
}

void CharBox::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty())
        emit KeyDown();
    QLineEdit::inputMethodEvent(event);
}

} // namespace orvane
