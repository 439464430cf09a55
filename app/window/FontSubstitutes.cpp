#include "FontSubstitutes.h"

#include <QFont>
#include <QStringList>

namespace orvane {

void InstallFontSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("黑体"), {QStringLiteral("WenQuanYi Zen Hei"),
                                                        QStringLiteral("WenQuanYi Zen Hei Sharp")});
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
                                QStringLiteral("WenQuanYi Zen Hei")});
    QFont::insertSubstitutions(QStringLiteral("楷体_GB2312"),
                               {QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UKai TW"),
                                QStringLiteral("WenQuanYi Zen Hei")});
}

} // namespace orvane
