#include "platform/CommonDialog.h"
#include "platform/PlatformError.h"
#include "platform/QtDialogPresenter.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QList>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

using platform::CommonDialog;
using platform::FileDialogRequest;
using platform::FileDialogResult;
using platform::FontDialogRequest;

namespace {

// Answers each dialog from a script instead of a user, and keeps what it was asked to show.
class ScriptedPresenter : public platform::IDialogPresenter {
public:
    std::optional<FileDialogResult> ShowOpen(const FileDialogRequest& request) override {
        kinds.append(QStringLiteral("open"));
        fileRequests.append(request);
        return nextFile();
    }
    std::optional<FileDialogResult> ShowSave(const FileDialogRequest& request) override {
        kinds.append(QStringLiteral("save"));
        fileRequests.append(request);
        return nextFile();
    }
    std::optional<QFont> ShowFont(const FontDialogRequest& request) override {
        kinds.append(QStringLiteral("font"));
        fontRequests.append(request);
        if (failure)
            failure();
        const std::optional<QFont> answer = fonts.value(0);
        if (!fonts.isEmpty())
            fonts.removeFirst();
        return answer;
    }

    QList<std::optional<FileDialogResult>> files;
    QList<std::optional<QFont>> fonts;
    std::function<void()> failure;
    QStringList kinds;
    QList<FileDialogRequest> fileRequests;
    QList<FontDialogRequest> fontRequests;

private:
    std::optional<FileDialogResult> nextFile() {
        if (failure)
            failure();
        const std::optional<FileDialogResult> answer = files.value(0);
        if (!files.isEmpty())
            files.removeFirst();
        return answer;
    }
};

const QString kPictureFilter =
    QStringLiteral("图象文件(*.jpg,*.bmp,*.ico)|*.jpg;*.bmp;*.ico|所有文件（*.*）|*.*");
const QString kDotFilter = QStringLiteral("点阵文件（*.dot）|*.dot|所有文件（*.*）|*.*");

int errorNumber(const std::function<void()>& call) {
    try {
        call();
    } catch (const platform::PlatformError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

class tst_CommonDialog : public QObject {
    Q_OBJECT

private slots:
    void filterTextBecomesQtEntries_data();
    void filterTextBecomesQtEntries();
    void filterEntryWithoutPatternsIsRefused_data();
    void filterEntryWithoutPatternsIsRefused();
    void confirmedOpenPutsPathAndFilterInProperties();
    void cancelWithCancelErrorThrowsCancelAndChangesNothing_data();
    void cancelWithCancelErrorThrowsCancelAndChangesNothing();
    void cancelWithoutCancelErrorReturnsQuietly();
    void otherFailuresKeepTheirOwnNumber();
    void invalidFilterShowsNothing();
    void propertiesAreKeptAcrossUsesOfAnyKind();
    void fontChooserIsFilledFromAndReturnsTheFontProperties();
    // Faults found by using the real window as a new user would.
    void qtFileDialogShowsEachDescriptionOnceOverItsOwner();
};

void tst_CommonDialog::filterTextBecomesQtEntries_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("picture import")
        << kPictureFilter
        << QStringList{"图象文件(*.jpg,*.bmp,*.ico) (*.jpg *.bmp *.ico)", "所有文件（*.*） (*.*)"};
    QTest::newRow("dot files") << kDotFilter
                               << QStringList{"点阵文件（*.dot） (*.dot)", "所有文件（*.*） (*.*)"};
    QTest::newRow("empty") << QString() << QStringList{};
    QTest::newRow("spaces and empty patterns")
        << "Text| *.txt ;;*.log" << QStringList{"Text (*.txt *.log)"};
}

void tst_CommonDialog::filterTextBecomesQtEntries() {
    QFETCH(QString, filter);
    QFETCH(QStringList, entries);
    QCOMPARE(platform::TranslateFilter(filter), entries);
}

void tst_CommonDialog::filterEntryWithoutPatternsIsRefused_data() {
    QTest::addColumn<QString>("filter");
    QTest::newRow("description only") << "Pictures";
    QTest::newRow("odd number of fields") << "Dot|*.dot|All";
    QTest::newRow("empty patterns") << "Dot| ; |All|*.*";
}

void tst_CommonDialog::filterEntryWithoutPatternsIsRefused() {
    QFETCH(QString, filter);
    QCOMPARE(errorNumber([&] { platform::TranslateFilter(filter); }),
             CommonDialog::kErrInvalidFilter);
}

void tst_CommonDialog::confirmedOpenPutsPathAndFilterInProperties() {
    ScriptedPresenter presenter;
    presenter.files = {FileDialogResult{QStringLiteral("/pics/a.bmp"), 1}};
    CommonDialog dialog(presenter);
    dialog.SetCancelError(true);
    dialog.SetDialogTitle(QStringLiteral("导入图象文件(单色260*140)"));
    dialog.SetFilter(kPictureFilter);

    dialog.ShowOpen();
    QCOMPARE(dialog.FileName(), QStringLiteral("/pics/a.bmp"));
    QCOMPARE(dialog.FilterIndex(), 2);
    QCOMPARE(presenter.kinds, QStringList{"open"});
    const FileDialogRequest& asked = presenter.fileRequests.constFirst();
    QCOMPARE(asked.title, QStringLiteral("导入图象文件(单色260*140)"));
    QCOMPARE(asked.filters, platform::TranslateFilter(kPictureFilter));
    QCOMPARE(asked.filterIndex, 0);
}

void tst_CommonDialog::cancelWithCancelErrorThrowsCancelAndChangesNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("open") << "open";
    QTest::newRow("save") << "save";
    QTest::newRow("font") << "font";
}

void tst_CommonDialog::cancelWithCancelErrorThrowsCancelAndChangesNothing() {
    QFETCH(QString, kind);
    ScriptedPresenter presenter;
    presenter.files = {std::nullopt};
    presenter.fonts = {std::nullopt};
    CommonDialog dialog(presenter);
    dialog.SetCancelError(true);
    dialog.SetFileName(QStringLiteral("/tools/A.dot"));
    dialog.SetFontName(QStringLiteral("DejaVu Sans"));
    dialog.SetFontBold(true);

    const int number = errorNumber([&] {
        if (kind == "open")
            dialog.ShowOpen();
        else if (kind == "save")
            dialog.ShowSave();
        else
            dialog.ShowFont();
    });
    QCOMPARE(number, int(platform::kErrCancel));
    QCOMPARE(presenter.kinds, QStringList{kind});
    QCOMPARE(dialog.FileName(), QStringLiteral("/tools/A.dot"));
    QCOMPARE(dialog.FilterIndex(), 1);
    QCOMPARE(dialog.FontName(), QStringLiteral("DejaVu Sans"));
    QVERIFY(dialog.FontBold());
}

void tst_CommonDialog::cancelWithoutCancelErrorReturnsQuietly() {
    ScriptedPresenter presenter;
    presenter.files = {std::nullopt};
    CommonDialog dialog(presenter);
    dialog.SetFileName(QStringLiteral("keep.dot"));
    QCOMPARE(errorNumber([&] { dialog.ShowSave(); }), 0);
    QCOMPARE(dialog.FileName(), QStringLiteral("keep.dot"));
}

void tst_CommonDialog::otherFailuresKeepTheirOwnNumber() {
    ScriptedPresenter presenter;
    presenter.failure = [] {
        throw platform::PlatformError(platform::kErrDeviceIO, QStringLiteral("no dialog"));
    };
    CommonDialog dialog(presenter);
    dialog.SetCancelError(true);
    QCOMPARE(errorNumber([&] { dialog.ShowOpen(); }), int(platform::kErrDeviceIO));
    QCOMPARE(errorNumber([&] { dialog.ShowFont(); }), int(platform::kErrDeviceIO));
}

void tst_CommonDialog::invalidFilterShowsNothing() {
    ScriptedPresenter presenter;
    CommonDialog dialog(presenter);
    dialog.SetCancelError(true);
    dialog.SetFilter(QStringLiteral("Dot files"));
    dialog.SetFileName(QStringLiteral("keep.dot"));
    const int number = errorNumber([&] { dialog.ShowSave(); });
    QCOMPARE(number, CommonDialog::kErrInvalidFilter);
    QVERIFY(number != platform::kErrCancel);
    QVERIFY(presenter.kinds.isEmpty());
    QCOMPARE(dialog.FileName(), QStringLiteral("keep.dot"));
}

void tst_CommonDialog::propertiesAreKeptAcrossUsesOfAnyKind() {
    ScriptedPresenter presenter;
    presenter.files = {FileDialogResult{QStringLiteral("/pics/logo.jpg"), 0},
                       FileDialogResult{QStringLiteral("/tools/A.dot"), 0},
                       FileDialogResult{QStringLiteral("/pics/other.bmp"), 0}};
    presenter.fonts = {QFont(QStringLiteral("DejaVu Serif"), 20), std::nullopt};
    CommonDialog dialog(presenter);
    dialog.SetCancelError(true);
    dialog.SetDialogTitle(QStringLiteral("导入图象文件(单色260*140)"));
    dialog.SetFilter(kPictureFilter);
    dialog.ShowOpen();

    dialog.SetFlags(0x103);
    dialog.ShowFont();
    QCOMPARE(dialog.FileName(), QStringLiteral("/pics/logo.jpg"));

    dialog.SetDialogTitle(QStringLiteral("保存点阵文件"));
    dialog.SetFilter(kDotFilter);
    dialog.SetFileName(QStringLiteral("/tools/A.dot"));
    dialog.ShowSave();
    QCOMPARE(dialog.Flags(), 0x103);

    // The next import starts from what the save left behind.
    dialog.SetDialogTitle(QStringLiteral("导入图象文件(单色260*140)"));
    dialog.SetFilter(kPictureFilter);
    dialog.ShowOpen();
    QCOMPARE(presenter.fileRequests.at(2).fileName, QStringLiteral("/tools/A.dot"));
    QCOMPARE(dialog.FileName(), QStringLiteral("/pics/other.bmp"));

    QCOMPARE(errorNumber([&] { dialog.ShowFont(); }), int(platform::kErrCancel));
    QCOMPARE(presenter.fontRequests.at(1).flags, 0x103);
    QCOMPARE(presenter.fontRequests.at(1).font.family(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(presenter.kinds, (QStringList{"open", "font", "save", "open", "font"}));
}

void tst_CommonDialog::fontChooserIsFilledFromAndReturnsTheFontProperties() {
    ScriptedPresenter presenter;
    QFont chosen(QStringLiteral("AR PL UKai CN"));
    chosen.setPointSizeF(36);
    chosen.setItalic(true);
    chosen.setStrikeOut(true);
    presenter.fonts = {chosen};
    CommonDialog dialog(presenter);
    dialog.SetFontName(QStringLiteral("WenQuanYi Zen Hei"));
    dialog.SetFontBold(true);
    dialog.SetFontUnderline(true);
    dialog.SetFontSize(106);

    dialog.ShowFont();
    const QFont& offered = presenter.fontRequests.constFirst().font;
    QCOMPARE(offered.family(), QStringLiteral("WenQuanYi Zen Hei"));
    QVERIFY(offered.bold() && offered.underline() && !offered.italic() && !offered.strikeOut());
    QCOMPARE(offered.pointSizeF(), 106.0);
    QCOMPARE(dialog.FontName(), QStringLiteral("AR PL UKai CN"));
    QVERIFY(!dialog.FontBold() && dialog.FontItalic() && dialog.FontStrikethru());
    QVERIFY(!dialog.FontUnderline());
    QCOMPARE(dialog.FontSize(), 36.0);
}

void tst_CommonDialog::qtFileDialogShowsEachDescriptionOnceOverItsOwner() {
    QWidget owner;
    platform::QtDialogPresenter presenter;
    platform::FileDialogRequest request;
    request.filters =
        platform::TranslateFilter(QStringLiteral("点阵文件（*.dot）|*.dot|所有文件（*.*）|*.*"));
    request.filterIndex = 1;
    request.owner = &owner;
    QStringList shown;
    QWidget* parent = nullptr;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            parent = dialog->parentWidget();
            if (auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
                for (int i = 0; i < types->count(); ++i)
                    shown << types->itemText(i);
            dialog->selectFile(QDir::temp().filePath(QStringLiteral("pointillo-none.dot")));
            static_cast<QDialog*>(dialog)->accept();
        } else if (modal) {
            modal->close();
        }
    });
    const std::optional<platform::FileDialogResult> result = presenter.ShowOpen(request);
    QCOMPARE(shown,
             QStringList({QStringLiteral("点阵文件（*.dot）"), QStringLiteral("所有文件（*.*）")}));
    QCOMPARE(parent, &owner);
    QVERIFY(result);
    QCOMPARE(result->filterIndex, 1);
}

QTEST_MAIN(tst_CommonDialog)
#include "tst_commondialog.moc"
