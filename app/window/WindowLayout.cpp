#include "CharBox.h"
#include "ScrollBar.h"
#include "SingleCharWindow.h"
#include "Twips.h"
#include "WrappingButton.h"
#include "codegen/CodeView.h"
#include "glyph/GlyphEngine.h"
#include "platform/Colour.h"
#include "platform/PictureSurface.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include <map>

namespace orvane {

namespace {

// Every control carries its name, an array member its index as "Kivaro_Color(1)". Creation
// order of the focusable controls is not their tab order; each records its place.
void setTab(QWidget* w, const QString& name, int tab) {
    w->setObjectName(name);
    w->setProperty("TabIndex", tab);
}

void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                   TwipsToPixels(height));
}

void setTextColour(QWidget* w, std::uint32_t bgr) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, platform::ToQColor(bgr));
    pal.setColor(QPalette::Text, platform::ToQColor(bgr));
    pal.setColor(QPalette::ButtonText, platform::ToQColor(bgr));
    w->setPalette(pal);
}

QFont pointFont(const QString& family, double points, bool bold) {
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

ScrollBar* scrollBar(QWidget* parent, Qt::Orientation o, int min, int max, int large, int value) {
    auto* bar = new ScrollBar(o, parent);
    bar->setRange(min, max);
    bar->setSingleStep(1);
    bar->setPageStep(large);
    bar->setValue(value);
    return bar;
}

QRadioButton* option(QWidget* parent, const QString& caption) {
    auto* button = new WrappingButton<QRadioButton>(caption, parent);
    // Each array of options is a group of its own; the frames group them.
    button->setAutoExclusive(true);
    // Tab stops at the chosen option of a group, as on the platform the window comes from;
    // the arrow keys move on to the others.
    button->setFocusPolicy(Qt::ClickFocus);
    QObject::connect(button, &QAbstractButton::toggled, button, [button](bool chosen) {
        button->setFocusPolicy(chosen ? Qt::StrongFocus : Qt::ClickFocus);
    });
    return button;
}

// The frames' titles are a size smaller than the captions inside them, as on the platform the
// window comes from: at the caption size a title's last row of ink meets the first caption
// under it ("Vek Set" over "Lines:16"). The controls inside keep the caption size.
void setFrameTitleFont(QGroupBox* frame) {
    const QFont captions = frame->window()->font();
    QFont title = captions;
    title.setPointSizeF(kFrameTitlePoints);
    frame->setFont(title);
    for (QWidget* control : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        control->setFont(captions);
}

} // namespace

void SingleCharWindow::buildLayout() {
    setWindowTitle(QStringLiteral("Pointillo (Single Char)"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/artwork/icon32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/artwork/icon16.png"), QSize(16, 16));
    setWindowIcon(icon);
    setFixedSize(TwipsToPixels(8640), TwipsToPixels(6360));
    // The layout was made for captions in a narrow 8-point sans-serif face, a line 12 pixels
    // high; the desktop's wider and taller default would cut them off or run them together.
    setFont(pointFont(QStringLiteral("Liberation Sans"), kCaptionPoints, false));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);

    Txt_Display = new CodeView(this);
    place(Txt_Display, 2700, 3795, 5895, 2520);
    Txt_Display->SetText(QStringLiteral("Some Information That I want Display!\r\n"));
    Txt_Display->SetCodeFont(pointFont(QStringLiteral("宋体"), 10.5, false));
    setTextColour(Txt_Display, 0x400040);
    setTab(Txt_Display, QStringLiteral("Txt_Display"), 8);

    Chk_VekEdit = new WrappingButton<QCheckBox>(QStringLiteral("Vek Edit Enable"), this);
    place(Chk_VekEdit, 0, 1680, 1095, 375);
    Chk_VekEdit->setChecked(true);
    setTab(Chk_VekEdit, QStringLiteral("Chk_VekEdit"), 35);

    Cmd_Copy = new QPushButton(QStringLiteral("&Copy"), this);
    place(Cmd_Copy, 0, 2280, 1095, 255);
    setTab(Cmd_Copy, QStringLiteral("Cmd_Copy"), 34);
    Cmd_Font = new QPushButton(QStringLiteral("&Font"), this);
    place(Cmd_Font, 0, 2505, 1095, 255);
    setTab(Cmd_Font, QStringLiteral("Cmd_Font"), 33);
    Cmd_Save = new QPushButton(QStringLiteral("&Save"), this);
    place(Cmd_Save, 0, 2040, 1095, 255);
    setTab(Cmd_Save, QStringLiteral("Cmd_Save"), 32);

    Frm_CodeModel = new QGroupBox(QStringLiteral("Code Model"), this);
    place(Frm_CodeModel, 1140, 1665, 2265, 1095);
    setTab(Frm_CodeModel, QStringLiteral("Frm_CodeModel"), 28);
    Opt_CodeModel[0] = option(Frm_CodeModel, QStringLiteral("CodeModel1"));
    place(Opt_CodeModel[0], 120, 240, 735, 615);
    Opt_CodeModel[0]->setChecked(true);
    setTab(Opt_CodeModel[0], QStringLiteral("Opt_CodeModel(0)"), 29);
    Opt_CodeModel[1] = option(Frm_CodeModel, QStringLiteral("CodeModel2"));
    place(Opt_CodeModel[1], 1440, 240, 735, 615);
    setTab(Opt_CodeModel[1], QStringLiteral("Opt_CodeModel(1)"), 30);
    for (QRadioButton* o : Opt_CodeModel)
        setTextColour(o, 0xC00000);
    Label1 = new QLabel(QStringLiteral("A--->B……>C--->D"), Frm_CodeModel);
    place(Label1, 360, 840, 1695, 255);
    setTextColour(Label1, 0x0040C0);
    setTab(Label1, QStringLiteral("Label1"), 31);

    Frm_CodeStyle = new QGroupBox(QStringLiteral("Code Style"), this);
    place(Frm_CodeStyle, 1140, 2850, 2265, 840);
    setTab(Frm_CodeStyle, QStringLiteral("Frm_CodeStyle"), 24);
    Opt_CodeStyle[2] = option(Frm_CodeStyle, QStringLiteral("C51 &Hexadecimal"));
    place(Opt_CodeStyle[2], 105, 465, 1905, 225);
    setTab(Opt_CodeStyle[2], QStringLiteral("Opt_CodeStyle(2)"), 26);
    Opt_CodeStyle[1] = option(Frm_CodeStyle, QStringLiteral("&Asm Hexadecimal"));
    place(Opt_CodeStyle[1], 120, 240, 1905, 225);
    Opt_CodeStyle[1]->setChecked(true);
    setTab(Opt_CodeStyle[1], QStringLiteral("Opt_CodeStyle(1)"), 25);

    Txt_Char = new CharBox(this);
    place(Txt_Char, 60, 2760, 975, 915);
    Txt_Char->setFont(pointFont(QStringLiteral("宋体"), 42, false));
    Txt_Char->setAlignment(Qt::AlignCenter);
    {
        // The start character goes in before any handler is connected: it is design data.
        const QSignalBlocker quiet(Txt_Char);
        Txt_Char->setText(QStringLiteral("英"));
    }
    setTab(Txt_Char, QStringLiteral("Txt_Char"), 23);

    Frm_VekSet = new QGroupBox(QStringLiteral("Vek Set"), this);
    place(Frm_VekSet, 7485, 2205, 1140, 1260);
    setTab(Frm_VekSet, QStringLiteral("Frm_VekSet"), 16);
    HScrl_Radius = scrollBar(Frm_VekSet, Qt::Horizontal, 1, 40, 5, 1);
    place(HScrl_Radius, 30, 1065, 1095, 180);
    setTab(HScrl_Radius, QStringLiteral("HScrl_Radius"), 22);
    HScrl_Rows = scrollBar(Frm_VekSet, Qt::Horizontal, 1, 254, 5, 1);
    place(HScrl_Rows, -15, 705, 1095, 180);
    setTab(HScrl_Rows, QStringLiteral("HScrl_Rows"), 20);
    HScrl_Lines = scrollBar(Frm_VekSet, Qt::Horizontal, 1, 254, 5, 1);
    place(HScrl_Lines, 30, 330, 1095, 180);
    setTab(HScrl_Lines, QStringLiteral("HScrl_Lines"), 18);
    const std::array<std::tuple<int, const char*, int, int, int, int, int, ScrollBar*>, 3> labels{{
        {1, "&Lines", 45, 135, 1050, 180, 17, HScrl_Lines},
        {2, "Ro&ws", 15, 480, 1050, 180, 19, HScrl_Rows},
        {3, "Ra&dius", 30, 855, 1050, 195, 21, HScrl_Radius},
    }};
    for (const auto& [index, caption, l, t, w, h, tab, buddy] : labels) {
        Lbl_VekSet[index] = new QLabel(QString::fromUtf8(caption), Frm_VekSet);
        place(Lbl_VekSet[index], l, t, w, h);
        setTextColour(Lbl_VekSet[index], 0x000000);
        Lbl_VekSet[index]->setBuddy(buddy);
        setTab(Lbl_VekSet[index], QStringLiteral("Lbl_VekSet(%1)").arg(index), tab);
    }

    Cmd_Help = new QPushButton(QStringLiteral("&Help"), this);
    place(Cmd_Help, 7440, 3480, 1215, 285);
    Cmd_Help->setIcon(QIcon(QStringLiteral(":/artwork/help_logo.png")));
    Cmd_Help->setIconSize(QSize(Cmd_Help->height() * 4 / 3 - 4, Cmd_Help->height() - 4));
    setTab(Cmd_Help, QStringLiteral("Cmd_Help"), 9);

    HScrl_VekPos = scrollBar(this, Qt::Horizontal, 0, 32767, 10, 0);
    place(HScrl_VekPos, 3750, 3495, 3690, 270);
    HScrl_VekPos->setEnabled(false);
    setTab(HScrl_VekPos, QStringLiteral("HScrl_VekPos"), 2);
    VScrl_ChrHgt = scrollBar(this, Qt::Vertical, 0, 32767, 10, 0);
    place(VScrl_ChrHgt, 2280, 4005, 180, 2175);
    setTab(VScrl_ChrHgt, QStringLiteral("VScrl_ChrHgt"), 7);
    VScrl_ChrPos = scrollBar(this, Qt::Vertical, 0, 32767, 10, 0);
    place(VScrl_ChrPos, -30, 4005, 180, 2175);
    setTab(VScrl_ChrPos, QStringLiteral("VScrl_ChrPos"), 6);
    HScrl_ChrWth = scrollBar(this, Qt::Horizontal, 0, 32767, 10, 0);
    place(HScrl_ChrWth, -45, 3825, 2550, 180);
    setTab(HScrl_ChrWth, QStringLiteral("HScrl_ChrWth"), 5);
    HScrl_ChrPos = scrollBar(this, Qt::Horizontal, 0, 32767, 10, 0);
    place(HScrl_ChrPos, -45, 6180, 2520, 180);
    setTab(HScrl_ChrPos, QStringLiteral("HScrl_ChrPos"), 4);
    VScrl_VekPos = scrollBar(this, Qt::Vertical, 0, 32767, 10, 0);
    place(VScrl_VekPos, 3750, 105, 255, 3405);
    VScrl_VekPos->setEnabled(false);
    setTab(VScrl_VekPos, QStringLiteral("VScrl_VekPos"), 3);

    Pic_VekContainer = new platform::PictureSurface(this);
    Pic_VekContainer->setFrameShape(QFrame::NoFrame);
    place(Pic_VekContainer, 4020, 90, 3440, 3440);
    Pic_VekContainer->setFont(pointFont(QStringLiteral("楷体_GB2312"), 7.5, true));
    setTab(Pic_VekContainer, QStringLiteral("Pic_VekContainer"), 1);

    Pic_Char = new platform::PictureSurface(this);
    Pic_Char->setFrameShape(QFrame::NoFrame);
    place(Pic_Char, 165, 3990, kGlyphSurfaceWidthTwips, kGlyphSurfaceHeightTwips);
    Pic_Char->SetBackColor(kGlyphBackColor);
    Pic_Char->SetFontName(QStringLiteral("黑体"));
    Pic_Char->SetFontSize(72);
    Pic_Char->SetFontBold(true);
    Pic_Char->Cls();
    setTab(Pic_Char, QStringLiteral("Pic_Char"), 0);

    Frm_LedColor = new QGroupBox(QStringLiteral("Led Color"), this);
    place(Frm_LedColor, 7485, 105, 1140, 2115);
    setTab(Frm_LedColor, QStringLiteral("Frm_LedColor"), 10);
    const std::array<std::tuple<const char*, int, int, std::uint32_t>, 5> colours{{
        {"&Red", 330, 15, 0x0000FF},
        {"&Green", 675, 14, 0x00FF00},
        {"&Blue", 1020, 13, 0xFF0000},
        {"&Yellow", 1365, 12, 0x00FFFF},
        {"&Pink", 1695, 11, 0xFF00FF},
    }};
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const auto& [caption, top, tab, colour] = colours[i];
        Kivaro_Color[i] = option(Frm_LedColor, QString::fromUtf8(caption));
        place(Kivaro_Color[i], 165, top, 900, 315);
        setTextColour(Kivaro_Color[i], colour);
        setTab(Kivaro_Color[i], QStringLiteral("Kivaro_Color(%1)").arg(i), tab);
    }
    Kivaro_Color[1]->setChecked(true);

    Pic_Bkp = new platform::PictureSurface(this);
    place(Pic_Bkp, 3375, 4035, 2145, 2175);
    Pic_Bkp->hide();
    setTab(Pic_Bkp, QStringLiteral("Pic_Bkp"), 36);
    Txt_Display->raise();

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    place(Image1, 45, 105, 3375, 1455);
    Image1->setPixmap(QPixmap(QStringLiteral(":/artwork/banner.png")));
    Image1->setScaledContents(true);

    for (QGroupBox* frame : {Frm_CodeModel, Frm_CodeStyle, Frm_VekSet, Frm_LedColor})
        setFrameTitleFont(frame);
    applyTabOrder();
}

void SingleCharWindow::applyTabOrder() {
    std::map<int, QWidget*> byTab;
    for (QWidget* w : findChildren<QWidget*>()) {
        // Frames and labels keep their index but take no focus: chaining them would move
        // their children out of order. Options not chosen take Tab once they are chosen.
        const QVariant tab = w->property("TabIndex");
        if (tab.isValid() && w->focusPolicy() != Qt::NoFocus)
            byTab[tab.toInt()] = w;
    }
    QWidget* previous = nullptr;
    for (const auto& [tab, w] : byTab) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    }
}

// The engraved rules: each light line runs beside a dark one. Index, colour, start and end in
// twips, width in pixels, in the order they are drawn.
void SingleCharWindow::drawLine3D(QPainter& painter) const {
    struct Line {
        std::uint32_t colour;
        int x1, y1, x2, y2, width;
    };
    constexpr std::uint32_t white = 0xFFFFFF;
    constexpr std::uint32_t dark = 0x400000;
    static const Line lines[] = {
        {white, 0, 15, 8640, 15, 3},       {dark, -30, 75, 8625, 75, 1},
        {white, 3495, 90, 3495, 3750, 2},  {dark, 3720, 90, 3720, 3690, 1},
        {white, 0, 3765, 8685, 3765, 3},   {white, 2520, 3840, 2520, 6405, 3},
        {dark, 2745, 3825, 2745, 6390, 2}, {dark, 2475, 3840, 2475, 6405, 2},
        {dark, 8685, 3810, -30, 3810, 1},
    };
    for (const Line& l : lines) {
        painter.setPen(QPen(platform::ToQColor(l.colour), l.width));
        painter.drawLine(QPointF(l.x1 / kTwipsPerPixel, l.y1 / kTwipsPerPixel),
                         QPointF(l.x2 / kTwipsPerPixel, l.y2 / kTwipsPerPixel));
    }
}

} // namespace orvane
