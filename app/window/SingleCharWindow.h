#pragma once

#include "glyph/GlyphEngine.h"
#include "kivaro/IVek.h"
#include "platform/CommonDialog.h"
#include "platform/ControlSite.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace platform {
class IMessageBoxes;
class PictureSurface;
} // namespace platform

namespace orvane {

class CharBox;
class CodeView;
class ScrollBar;

// What the window needs from outside that a test replaces: the dialogs, the message boxes
// and the folder the program (and its control library and help file) lives in.
struct WindowServices {
    platform::IDialogPresenter* dialogs = nullptr; // required
    platform::IMessageBoxes* messages = nullptr;   // required
    QString programFolder;                         // the executable's folder when empty
};

// The program's one window. It owns every control, the panel Vek1 included; its only state of
// its own is CharMode. The handlers are spread over files by subsystem: layout, pipeline,
// display settings, code export, font and help, picture import.
class SingleCharWindow : public QWidget, private kivaro::IVekEvents {
    Q_OBJECT

public:
    // Throws platform::PlatformError when the control library cannot be found or loaded.
    explicit SingleCharWindow(const WindowServices& services, QWidget* parent = nullptr);
    ~SingleCharWindow() override;

    // The controls, by the names the handlers use.
    CodeView* Txt_Display = nullptr;
    platform::CommonDialog Dialog;
    QCheckBox* Chk_VekEdit = nullptr;
    QPushButton* Cmd_Copy = nullptr;
    QPushButton* Cmd_Font = nullptr;
    QPushButton* Cmd_Save = nullptr;
    QPushButton* Cmd_Help = nullptr;
    QGroupBox* Frm_CodeModel = nullptr;
    std::array<QRadioButton*, 2> Opt_CodeModel{};
    QLabel* Label1 = nullptr;
    QGroupBox* Frm_CodeStyle = nullptr;
    std::array<QRadioButton*, 3> Opt_CodeStyle{}; // indexes 1 and 2; there is no 0
    CharBox* Txt_Char = nullptr;
    QGroupBox* Frm_VekSet = nullptr;
    ScrollBar* HScrl_Radius = nullptr;
    ScrollBar* HScrl_Rows = nullptr;
    ScrollBar* HScrl_Lines = nullptr;
    std::array<QLabel*, 4> Lbl_VekSet{}; // indexes 1 to 3; there is no 0
    ScrollBar* HScrl_VekPos = nullptr;
    ScrollBar* VScrl_ChrHgt = nullptr;
    ScrollBar* VScrl_ChrPos = nullptr;
    ScrollBar* HScrl_ChrWth = nullptr;
    ScrollBar* HScrl_ChrPos = nullptr;
    ScrollBar* VScrl_VekPos = nullptr;
    platform::PictureSurface* Pic_VekContainer = nullptr;
    kivaro::IVek* Vek1 = nullptr;
    platform::PictureSurface* Pic_Char = nullptr;
    QGroupBox* Frm_LedColor = nullptr;
    std::array<QRadioButton*, 5> Kivaro_Color{};
    platform::PictureSurface* Pic_Bkp = nullptr;
    QLabel* Image1 = nullptr;

    bool CharMode = false;

    // The fraction pairs, ink and grid colour the window shares with the command-line tool.
    static constexpr float kNewSourceFx = orvane::kNewSourceFx;
    static constexpr float kNewSourceFy = orvane::kNewSourceFy;
    static constexpr float kStandardFx = orvane::kStandardFx;
    static constexpr float kStandardFy = orvane::kStandardFy;
    static constexpr std::uint32_t kInk = orvane::kInk;
    static constexpr std::uint32_t kGridMark = orvane::kGridMark;

    // The site Vek1 talks to: counts its yields and property notifications.
    platform::ControlSite& VekSite() { return m_vekSite; }

    // The refresh pipeline with a fraction pair; withCode false leaves the code text alone.
    void RefreshPipeline(float fx, float fy, bool withCode = true);

    // Handlers, named after control and notification.
    void Form_Initialize();
    void Txt_Char_KeyDown();
    void Txt_Char_Change();
    void GlyphScroll_Change();
    void HScrl_Lines_Change();
    void HScrl_Rows_Change();
    void HScrl_Radius_Change();
    void HScrl_VekPos_Change();
    void VScrl_VekPos_Change();
    void Kivaro_Color_Click(int index);
    void Opt_Code_Click();
    void Chk_VekEdit_Click();
    void Vek1_Edited();
    void Cmd_Copy_Click();
    void Cmd_Save_Click();
    void Cmd_Font_Click();
    void Cmd_Help_Click();
    void Pic_Char_MouseDown(Qt::MouseButton button);

signals:
    // The window was closed: the program ends.
    void Unloaded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // kivaro::IVekEvents
    void Edited() override { Vek1_Edited(); }

    void buildLayout();
    void createVek1();
    void connectHandlers();
    void applyTabOrder();
    void drawLine3D(QPainter& painter) const;
    void runBuildCodeText();
    // The caption of a setting's label: its access-key caption and the scroll bar's value.
    void showSetting(int index, const QString& caption, const ScrollBar* bar);
    void fitVertical();
    void fitHorizontal();
    void importPicture();
    // The matrix settings copied from the panel, the glyph scroll bars at their start values.
    void resetGlyphGeometry();
    void setGlyphScrollRanges();
    void showInfo(const QString& text);
    void runDueRefreshes();

    // Vek1's site, which also knows when the control's yield is dispatching input and runs
    // the refresh that input asked for once the yield is over.
    class VekSiteOfWindow : public platform::ControlSite {
    public:
        explicit VekSiteOfWindow(SingleCharWindow& window) : m_window(window) {}
        void Yield() override;
        bool Yielding() const { return m_depth > 0; }

    private:
        SingleCharWindow& m_window;
        int m_depth = 0;
    };

    // The refresh asked for inside a yield and not yet run: the latest fractions, and the
    // code text if any request wanted it.
    struct DueRefresh {
        bool due = false;
        float fx = 0;
        float fy = 0;
        bool withCode = false;
    };

    WindowServices m_services;
    VekSiteOfWindow m_vekSite{*this};
    DueRefresh m_due;
};

} // namespace orvane
