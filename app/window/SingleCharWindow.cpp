#include "SingleCharWindow.h"

#include "AppInfo.h"
#include "CharBox.h"
#include "GlyphDrawing.h"
#include "ScrollBar.h"
#include "codegen/CodeView.h"
#include "glyph/GlyphEngine.h"
#include "platform/PictureSurface.h"
#include "platform/PlatformError.h"
#include "platform/Rounding.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

namespace orvane {

SingleCharWindow::SingleCharWindow(const WindowServices& services, QWidget* parent)
    : QWidget(parent), Dialog(*services.dialogs), m_services(services) {
    if (m_services.programFolder.isEmpty())
        m_services.programFolder = ProgramFolder();
    pointillo::InstallFontSubstitutes();
    buildLayout();
    createVek1();
    connectHandlers();
    Dialog.SetOwner(this);
    Form_Initialize();
    // Typing works at once: the character box is where a new user starts.
    Txt_Char->setFocus();
}

SingleCharWindow::~SingleCharWindow() {
    if (Vek1)
        Vek1->Unadvise(this);
}

void SingleCharWindow::createVek1() {
    Vek1 = CreateVek(Pic_VekContainer, &m_vekSite, m_services.programFolder);
    QWidget* widget = Vek1->Widget();
    widget->setObjectName(QStringLiteral("Vek1"));
    widget->move(0, 0);
    widget->setProperty("TabIndex", 27);
    Vek1->Advise(this);
    applyTabOrder();
}

void SingleCharWindow::connectHandlers() {
    connect(Txt_Char, &CharBox::KeyDown, this, &SingleCharWindow::Txt_Char_KeyDown);
    connect(Txt_Char, &CharBox::Change, this, &SingleCharWindow::Txt_Char_Change);
    for (ScrollBar* bar : {HScrl_ChrPos, VScrl_ChrPos, HScrl_ChrWth, VScrl_ChrHgt})
        connect(bar, &ScrollBar::Change, this, &SingleCharWindow::GlyphScroll_Change);
    connect(HScrl_Lines, &ScrollBar::Change, this, &SingleCharWindow::HScrl_Lines_Change);
    connect(HScrl_Rows, &ScrollBar::Change, this, &SingleCharWindow::HScrl_Rows_Change);
    connect(HScrl_Radius, &ScrollBar::Change, this, &SingleCharWindow::HScrl_Radius_Change);
    connect(HScrl_VekPos, &ScrollBar::Change, this, &SingleCharWindow::HScrl_VekPos_Change);
    connect(VScrl_VekPos, &ScrollBar::Change, this, &SingleCharWindow::VScrl_VekPos_Change);
    for (int i = 0; i < int(Kivaro_Color.size()); ++i)
        connect(Kivaro_Color[i], &QAbstractButton::clicked, this,
                [this, i] { Kivaro_Color_Click(i); });
    for (QRadioButton* option :
         {Opt_CodeModel[0], Opt_CodeModel[1], Opt_CodeStyle[1], Opt_CodeStyle[2]})
        connect(option, &QAbstractButton::clicked, this, &SingleCharWindow::Opt_Code_Click);
    connect(Chk_VekEdit, &QAbstractButton::clicked, this, &SingleCharWindow::Chk_VekEdit_Click);
    connect(Cmd_Copy, &QAbstractButton::clicked, this, &SingleCharWindow::Cmd_Copy_Click);
    connect(Cmd_Save, &QAbstractButton::clicked, this, &SingleCharWindow::Cmd_Save_Click);
    connect(Cmd_Font, &QAbstractButton::clicked, this, &SingleCharWindow::Cmd_Font_Click);
    connect(Cmd_Help, &QAbstractButton::clicked, this, &SingleCharWindow::Cmd_Help_Click);
    connect(Pic_Char, &platform::PictureSurface::MouseDown, this,
            [this](Qt::MouseButton button) { Pic_Char_MouseDown(button); });
}

void SingleCharWindow::Form_Initialize() {
    CharMode = true;
    resetGlyphGeometry();

    const QString lf = QStringLiteral("\n");
    const QString cr = QStringLiteral("\r");
    Opt_CodeModel[0]->setText(QStringLiteral("A--B") + lf + cr + QStringLiteral("|     |") + lf +
                              cr + QStringLiteral("C--D"));
    Opt_CodeModel[1]->setText(QStringLiteral("A--C") + lf + cr + QStringLiteral("|     |") + lf +
                              cr + QStringLiteral("B--D"));

    Pic_Char->SetFontBold(false);
    Pic_Char->SetFontItalic(false);
    Pic_Char->SetFontName(StartFontName());
    Pic_Char->SetFontSize(kStartFontSize);

    const auto sw = static_cast<float>(Pic_Char->ScaleWidth());
    const auto sh = static_cast<float>(Pic_Char->ScaleHeight());
    RunGlyphStages(*Pic_Char, *Pic_Bkp, *Vek1, CharMode, Txt_Char->text(), 0, 0, sw, sh,
                   kStandardFx, kStandardFy);
    runBuildCodeText();
}

// The start values of the four glyph scroll bars, from the size of the glyph surface: the
// position bars centred on twice the surface, the region bars at the whole surface.
void SingleCharWindow::setGlyphScrollRanges() {
    HScrl_ChrPos->setMaximum(platform::ToInt16(2 * Pic_Char->ScaleWidth()));
    HScrl_ChrPos->setMinimum(0);
    HScrl_ChrPos->setValue(platform::ToInt16(HScrl_ChrPos->maximum() / 2.0));
    VScrl_ChrPos->setMaximum(platform::ToInt16(2 * Pic_Char->ScaleHeight()));
    VScrl_ChrPos->setMinimum(0);
    VScrl_ChrPos->setValue(platform::ToInt16(VScrl_ChrPos->maximum() / 2.0));
    HScrl_ChrWth->setMaximum(platform::ToInt16(Pic_Char->ScaleWidth()));
    HScrl_ChrWth->setMinimum(1);
    HScrl_ChrWth->setValue(HScrl_ChrWth->maximum());
    VScrl_ChrHgt->setMaximum(platform::ToInt16(Pic_Char->ScaleHeight()));
    VScrl_ChrHgt->setMinimum(1);
    VScrl_ChrHgt->setValue(VScrl_ChrHgt->maximum());
}

void SingleCharWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter painter(this);
    drawLine3D(painter);
}

void SingleCharWindow::closeEvent(QCloseEvent* event) {
    // Closing the window ends the program at once: nothing is saved and nobody is asked.
    event->accept();
    emit Unloaded();
    QCoreApplication::exit(0);
}

} // namespace orvane
