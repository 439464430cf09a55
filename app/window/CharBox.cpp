#include "CharBox.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

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

void CharBox::keyPressEvent(QKeyEvent* event) {
    emit KeyDown();
    QLineEdit::keyPressEvent(event);
}

void CharBox::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty())
        emit KeyDown();
    QLineEdit::inputMethodEvent(event);
}

} // namespace orvane
