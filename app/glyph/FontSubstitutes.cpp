#include "FontSubstitutes.h"

#include "platform/PictureSurface.h"

#include <QFont>
#include <QStringList>

namespace orvane {

namespace {

// The Chinese system faces draw a line one em high, 0.86 em above the baseline and 0.14 em
// below it. The free faces reach much further (the sans-serif one 0.96 em up and 0.3 em down),
// which would push the default character out of the bottom of the glyph surface.
constexpr platform::LineBox kChineseSystemLine{0.86, 0.14};

} // namespace

void InstallFontSubstitutes() {
    const QString zenHei = QStringLiteral("WenQuanYi Zen Hei");
    const QString zenHeiSharp = QStringLiteral("WenQuanYi Zen Hei Sharp");
    const QString umingCn = QStringLiteral("AR PL UMing CN");
    const QString umingTw = QStringLiteral("AR PL UMing TW");
    const QString ukaiCn = QStringLiteral("AR PL UKai CN");
    const QString ukaiTw = QStringLiteral("AR PL UKai TW");
    for (const QString& face : {zenHei, zenHeiSharp, umingCn, umingTw, ukaiCn, ukaiTw})
        platform::PictureSurface::SetStandInLineBox(face, kChineseSystemLine);
    QFont::insertSubstitutions(QStringLiteral("黑体"), {zenHei, zenHeiSharp});
    QFont::insertSubstitutions(QStringLiteral("宋体"), {umingCn, umingTw, zenHei});
    QFont::insertSubstitutions(QStringLiteral("楷体_GB2312"), {ukaiCn, ukaiTw, zenHei});
}

} // namespace orvane
