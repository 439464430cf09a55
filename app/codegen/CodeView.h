#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace orvane {

// A text box that gives back exactly the string it was given, carriage returns included: the
// string is kept beside the widget, which shows it with plain line breaks. What the user types
// becomes the string, with CR LF line ends. Tab moves the focus on, as in a multi-line box of
// the platform the window comes from: no Tab key ever writes into the code.
class CodeView : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CodeView(QWidget* parent = nullptr);

    const QString& Text() const { return m_text; }
    void SetText(const QString& text);
    void SetCodeFont(QFont font);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void takeTypedText();
    void replaceShownText(const QString& shown);

    QString m_text;
    bool m_settingText = false;
};

} // namespace orvane
