#include "codegen/CodeView.h"

#include <QTextDocument>

namespace orvane {

CodeView::CodeView(QWidget* parent) : QPlainTextEdit(parent) {
    // A code view with both scroll bars: long lines run on instead of wrapping.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
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
    setPlainText(shown);
    m_settingText = false;
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
