#include "platform/CommonDialog.h"

#include "platform/PlatformError.h"

namespace platform {

QStringList TranslateFilter(const QString& filter) {
    QStringList entries;
    if (filter.isEmpty())
        return entries;
    const QStringList fields = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i < fields.size(); i += 2) {
        const QString& description = fields[i];
        QStringList patterns;
        if (i + 1 < fields.size()) {
            for (const QString& pattern : fields[i + 1].split(QLatin1Char(';')))
                if (!pattern.trimmed().isEmpty())
                    patterns.append(pattern.trimmed());
        }
        if (patterns.isEmpty())
            throw PlatformError(
                CommonDialog::kErrInvalidFilter,
                QStringLiteral("The filter entry \"%1\" has no file patterns").arg(description));
        entries.append(description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')'));
    }
    return entries;
}

void CommonDialog::ShowOpen() {
    takeFile(m_presenter->ShowOpen(fileRequest()));
}

void CommonDialog::ShowSave() {
    takeFile(m_presenter->ShowSave(fileRequest()));
}

void CommonDialog::ShowFont() {
    FontDialogRequest request;
    if (!m_fontName.isEmpty())
        request.font.setFamily(m_fontName);
    request.font.setBold(m_fontBold);
    request.font.setItalic(m_fontItalic);
    request.font.setStrikeOut(m_fontStrikethru);
    request.font.setUnderline(m_fontUnderline);
    if (m_fontSize > 0)
        request.font.setPointSizeF(m_fontSize);
    request.flags = m_flags;
    request.owner = m_owner;
    const std::optional<QFont> chosen = m_presenter->ShowFont(request);
    if (!chosen) {
        cancelled();
        return;
    }
    m_fontName = chosen->family();
    m_fontBold = chosen->bold();
    m_fontItalic = chosen->italic();
    m_fontStrikethru = chosen->strikeOut();
    m_fontUnderline = chosen->underline();
    if (chosen->pointSizeF() > 0)
        m_fontSize = chosen->pointSizeF();
}

FileDialogRequest CommonDialog::fileRequest() const {
    FileDialogRequest request;
    request.title = m_dialogTitle;
    request.filters = TranslateFilter(m_filter);
    const bool inRange = m_filterIndex >= 1 && m_filterIndex <= request.filters.size();
    request.filterIndex = inRange ? m_filterIndex - 1 : 0;
    request.fileName = m_fileName;
    request.owner = m_owner;
    return request;
}

void CommonDialog::takeFile(const std::optional<FileDialogResult>& result) {
    if (!result) {
        cancelled();
        return;
    }
    m_fileName = result->fileName;
    m_filterIndex = result->filterIndex + 1;
}

void CommonDialog::cancelled() const {
    if (m_cancelError)
        throw PlatformError(kErrCancel, QStringLiteral("Cancel was selected."));
}

} // namespace platform
