#pragma once

#include "platform/IDialogPresenter.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace platform {

// "description|patterns|description|patterns" as Qt's "description (pattern pattern)" entries;
// the patterns of one entry are separated by semicolons. Throws a PlatformError
// (CommonDialog::kErrInvalidFilter) for a description without patterns.
QStringList TranslateFilter(const QString& filter);

// The one common dialog a window shares between its users: every property keeps its value from
// one use to the next, whatever kind of dialog each use shows.
class CommonDialog {
public:
    static constexpr int kErrInvalidFilter = 20001;

    // The presenter is not owned and must outlive the dialog.
    explicit CommonDialog(IDialogPresenter& presenter) : m_presenter(&presenter) {}

    // The window every dialog opens over, centred on it and modal to it.
    QWidget* Owner() const { return m_owner; }
    void SetOwner(QWidget* owner) { m_owner = owner; }

    bool CancelError() const { return m_cancelError; }
    void SetCancelError(bool on) { m_cancelError = on; }
    const QString& DialogTitle() const { return m_dialogTitle; }
    void SetDialogTitle(const QString& title) { m_dialogTitle = title; }
    const QString& Filter() const { return m_filter; }
    void SetFilter(const QString& filter) { m_filter = filter; }
    const QString& FileName() const { return m_fileName; }
    void SetFileName(const QString& name) { m_fileName = name; }
    // 1-based, as the filter's entries are counted.
    int FilterIndex() const { return m_filterIndex; }
    void SetFilterIndex(int index) { m_filterIndex = index; }
    std::int32_t Flags() const { return m_flags; }
    void SetFlags(std::int32_t flags) { m_flags = flags; }

    const QString& FontName() const { return m_fontName; }
    void SetFontName(const QString& name) { m_fontName = name; }
    bool FontBold() const { return m_fontBold; }
    void SetFontBold(bool on) { m_fontBold = on; }
    bool FontItalic() const { return m_fontItalic; }
    void SetFontItalic(bool on) { m_fontItalic = on; }
    bool FontStrikethru() const { return m_fontStrikethru; }
    void SetFontStrikethru(bool on) { m_fontStrikethru = on; }
    bool FontUnderline() const { return m_fontUnderline; }
    void SetFontUnderline(bool on) { m_fontUnderline = on; }
    double FontSize() const { return m_fontSize; }
    void SetFontSize(double points) { m_fontSize = points; }

    // Each shows its dialog modally. On confirmation the choice is in FileName (and
    // FilterIndex) or in the font properties; on a cancel nothing changes, and with CancelError
    // set the call throws PlatformError kErrCancel.
    void ShowOpen();
    void ShowSave();
    void ShowFont();

private:
    FileDialogRequest fileRequest() const;
    void takeFile(const std::optional<FileDialogResult>& result);
    void cancelled() const;

    IDialogPresenter* m_presenter;
    QWidget* m_owner = nullptr;
    bool m_cancelError = false;
    QString m_dialogTitle;
    QString m_filter;
    QString m_fileName;
    int m_filterIndex = 1;
    std::int32_t m_flags = 0;
    QString m_fontName;
    bool m_fontBold = false;
    bool m_fontItalic = false;
    bool m_fontStrikethru = false;
    bool m_fontUnderline = false;
    double m_fontSize = 8;
};

} // namespace platform
