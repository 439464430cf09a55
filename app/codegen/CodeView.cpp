#include "codegen/CodeView.h"

#include <QKeyEvent>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace orvane {

CodeView::CodeView(QWidget* parent) : QPlainTextEdit(parent) {
    // A code view with both scroll bars: long lines run on instead of wrapping.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
    SetCodeFont(font());
    connect(this, &QPlainTextEdit::textChanged, this, &CodeView::takeTypedText);
}

void CodeView::SetCodeFont(QFont font) {
    // The code is one long line of hexadecimal: laid out without shaping it takes a fraction
    // of the time, and plain ASCII looks the same either way.
    font.setStyleStrategy(QFont::PreferNoShaping);
    setFont(font);
}

void CodeView::SetText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_settingText = true;
    replaceShownText(shown);
    m_settingText = false;
}

// setPlainText lays out the old text and the new one's longest line while it moves the
// cursor about: at 254 x 254 dots a line of 48 KB, whose layout costs more than sampling and
// packing together. A document filled before the view takes it lays out nothing; the view lays
// out a line only when it shows it.
void CodeView::replaceShownText(const QString& shown) {
    auto* doc = new QTextDocument(this);
    doc->setDocumentLayout(new QPlainTextDocumentLayout(doc));
    doc->setDefaultFont(font());
    doc->setUndoRedoEnabled(false);
    doc->setPlainText(shown);
    doc->setUndoRedoEnabled(true);
    const QPointer<QTextDocument> old = document();
    setDocument(doc);
    // The text control deletes the document it was given by its view, but not always at once.
    if (old && old->parent() == this)
        delete old;
}

void CodeView::keyPressEvent(QKeyEvent* event) {
    // Tab and Shift+Tab have moved the focus before they get here; with Ctrl or Alt held they
    // arrive as keys, and would type a tab character.
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CodeView::takeTypedText() {
    if (m_settingText)
        return;
    // toPlainText would also turn non-breaking spaces into spaces; the raw text keeps them.
    QString typed = document()->toRawText();
    typed.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    typed.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    m_text = typed;
}

} // namespace orvane
