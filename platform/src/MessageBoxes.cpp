#include "platform/MessageBoxes.h"

#include <QMessageBox>

namespace platform {

MsgResult QtMessageBoxes::Show(QWidget* parent, const QString& text, const QString& caption,
                               MsgIcon icon, MsgButtons buttons) {
    QMessageBox box(icon == MsgIcon::Question ? QMessageBox::Question : QMessageBox::Information,
                    caption, text,
                    buttons == MsgButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                 : QMessageBox::Ok,
                    parent);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    default:
        return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    }
}

} // namespace platform
