#include "AppInfo.h"
#include "WindowFixture.h"
#include "WindowProbe.h"
#include "codegen/CodeView.h"
#include "codegen/DotFile.h"
#include "platform/PictureSurface.h"
#include "window/CharBox.h"
#include "window/HelpFile.h"
#include "window/ScrollBar.h"

#include <QClipboard>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <csignal>
#include <new>
#include <optional>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <tuple>
#include <unistd.h>

using testing::codeLines;
using testing::WindowFixture;

namespace {

const QString kFriendly = QStringLiteral("友情提示");

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A white picture with a black rectangle on it.
QImage blockPicture(QSize size, QRect black) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = black.top(); y <= black.bottom(); ++y)
        for (int x = black.left(); x <= black.right(); ++x)
            picture.setPixel(x, y, qRgb(0, 0, 0));
    return picture;
}

// A program folder with the control library but nothing else, for help file cases.
QString folderWithControlOnly(const QTemporaryDir& dir) {
    const QString bin = QCoreApplication::applicationDirPath();
    QFile::link(bin + QStringLiteral("/libKivaro.so"),
                dir.filePath(QStringLiteral("libKivaro.so")));
    return dir.path();
}

// Makes writes past limit bytes fail, as a disk that fills up would, while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower = m_old;
        lower.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

// While it lives the running user may not write to folder: its mode denies it, and a test run
// as root (whom modes do not stop) runs as the user nobody, who owns files made by ownFile.
class ReadOnlyFolder {
public:
    ReadOnlyFolder(const QString& folder, bool active) : m_folder(QFile::encodeName(folder)) {
        if (active)
            ::chmod(m_folder.constData(), 0555);
        const passwd* nobody = ::getpwnam("nobody");
        m_asNobody = active && nobody && ::geteuid() == 0 && ::seteuid(nobody->pw_uid) == 0;
    }
    ~ReadOnlyFolder() {
        if (m_asNobody)
            (void)::seteuid(0);
        ::chmod(m_folder.constData(), 0755);
    }
    static void ownFile(const QString& path) {
        if (const passwd* nobody = ::getpwnam("nobody"))
            (void)::chown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    }

private:
    QByteArray m_folder;
    bool m_asNobody = false;
};

// The entry's kind and mode, owner and group, as a link itself has them.
std::tuple<mode_t, uid_t, gid_t> modeAndOwner(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return {st.st_mode, st.st_uid, st.st_gid};
}

// A pipe, a socket or a device like /dev/zero at path, or a link to the device at target.
bool makeNode(const QString& kind, const QString& path,
              const QString& target = QStringLiteral("/dev/zero")) {
    if (kind == QLatin1String("link"))
        return QFile::link(target, path);
    const mode_t type = kind == QLatin1String("pipe")     ? S_IFIFO
                        : kind == QLatin1String("socket") ? S_IFSOCK
                                                          : S_IFCHR;
    return ::mknod(QFile::encodeName(path).constData(), type | 0666, makedev(1, 5)) == 0;
}

// Dialogs that fail as memory running out inside Qt would.
struct ExhaustedDialogs : testing::ScriptedDialogs {
    using Result = std::optional<platform::FileDialogResult>;
    Result ShowOpen(const platform::FileDialogRequest&) override { throw std::bad_alloc(); }
    Result ShowSave(const platform::FileDialogRequest&) override { throw std::bad_alloc(); }
    std::optional<QFont> ShowFont(const platform::FontDialogRequest&) override {
        throw std::bad_alloc();
    }
};

} // namespace

class TestExport : public QObject {
    Q_OBJECT

private slots:
    void copyPutsTheWholeTextOnTheClipboard();
    void saveProposesTheCharacterInTheProgramFolder();
    void saveToANewNameWritesAtOnce();
    void savedFileIsGb18030WithOneLineEnd();
    void overwriteQuestionLoop_data();
    void overwriteQuestionLoop();
    void failedSaveSaysSoAndKeepsTheOldFile();
    void unwritableTargetSaysSo();
    void folderJoinNeverDoublesTheSeparator_data();
    void folderJoinNeverDoublesTheSeparator();
    void fontChooserAppliesFaceAndStyleButNotSize();
    void fontChooserCancelAndFailure();
    void importSamplesABlackAndWhitePicture();
    void importLargerPictureShowsItsTopLeftUntilMoved();
    void leftButtonRecentresTheGlyph();
    void typingAfterImportNamesTheCharacterAgain();
    void importCancelChangesNothing();
    void badPicturesAreRefusedAndLoseNothing_data();
    void badPicturesAreRefusedAndLoseNothing();
    void middleButtonDoesNothing();
    void helpShowsTheHelpText();
    void helpFileRoundTripsThroughTheBuildTool();
    void scramblingXorsSingleBytesAndTrailBytes();
    void unreadableHelpShowsTheAboutText_data();
    void unreadableHelpShowsTheAboutText();
    // Faults found by using the real window as a new user would.
    void fontChooserOpensOnTheDrawingFaceAndOkAloneChangesNothing();
    void saveKeepsAnExistingEntryWholeWithItsModeAndOwner_data();
    void saveKeepsAnExistingEntryWholeWithItsModeAndOwner();
    void proposalLiesInAFolderTheUserMayWrite_data();
    void proposalLiesInAFolderTheUserMayWrite();
    void helpAndImportReadOnlyBoundedRegularFiles_data();
    void helpAndImportReadOnlyBoundedRegularFiles();
    void anyExceptionInADialogHandlerIsThatHandlersFailure_data();
    void anyExceptionInADialogHandlerIsThatHandlersFailure();
};

void TestExport::copyPutsTheWholeTextOnTheClipboard() {
    WindowFixture f;
    auto& w = *f.window;
    QTest::mouseClick(w.Cmd_Copy, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), w.Txt_Display->Text());
    w.Txt_Display->SetText(QStringLiteral("typed by hand\r\nsecond line"));
    QTest::mouseClick(w.Cmd_Copy, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("typed by hand\r\nsecond line"));
}

void TestExport::saveProposesTheCharacterInTheProgramFolder() {
    WindowFixture f;
    auto& w = *f.window;
    f.dialogs.cancel();
    QTest::mouseClick(w.Cmd_Save, Qt::LeftButton);
    QCOMPARE(f.dialogs.fileRequests.size(), 1);
    const platform::FileDialogRequest& request = f.dialogs.fileRequests[0];
    QCOMPARE(request.fileName, QCoreApplication::applicationDirPath() + QStringLiteral("/英.dot"));
    QCOMPARE(request.title, QStringLiteral("保存点阵文件"));
    QCOMPARE(request.filters.size(), 2);
    QVERIFY(f.messages.shown.isEmpty());
    w.Txt_Char->setText(QString());
    f.dialogs.cancel();
    w.Cmd_Save_Click();
    QCOMPARE(f.dialogs.fileRequests[1].fileName,
             QCoreApplication::applicationDirPath() + QStringLiteral("/.dot"));
}

void TestExport::saveToANewNameWritesAtOnce() {
    QTemporaryDir dir;
    WindowFixture f;
    const QString path = dir.filePath(QStringLiteral("new.dot"));
    f.dialogs.confirm(path);
    f.window->Cmd_Save_Click();
    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(readAll(path), orvane::DotFileBytes(f.window->Txt_Display->Text()));
    QCOMPARE(f.window->Dialog.FileName(), path);
}

void TestExport::savedFileIsGb18030WithOneLineEnd() {
    QTemporaryDir dir;
    WindowFixture f;
    const QString path = dir.filePath(QStringLiteral("a.dot"));
    f.dialogs.confirm(path);
    f.window->Cmd_Save_Click();
    const QByteArray bytes = readAll(path);
    // ";英" and the full-width colon after 作者 in code page 936.
    QVERIFY(bytes.startsWith(QByteArray(";\xd3\xa2\r\n;Pointillo V1.0 \xd7\xf7\xd5\xdf\xa3\xba")));
    QVERIFY(bytes.endsWith("H\r\n"));
    QVERIFY(!bytes.endsWith("\r\n\r\n"));
    QCOMPARE(bytes.count("\r\n"), 5);
}

void TestExport::overwriteQuestionLoop_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("written"); // which file ends up with the code, or none
    QTest::addColumn<int>("questions");
    QTest::newRow("yes overwrites") << "yes"
                                    << "first" << 1;
    QTest::newRow("no then another existing name, then yes") << "no-other-yes"
                                                             << "second" << 2;
    QTest::newRow("no then a new name") << "no-new"
                                        << "third" << 1;
    QTest::newRow("no then cancel") << "no-cancel"
                                    << "" << 1;
}

void TestExport::overwriteQuestionLoop() {
    QFETCH(QString, script);
    QFETCH(QString, written);
    QFETCH(int, questions);
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.dot"));
    const QString second = dir.filePath(QStringLiteral("second.dot"));
    const QString third = dir.filePath(QStringLiteral("third.dot"));
    const QByteArray old(20000, 'x'); // longer than the code: nothing of it may survive
    writeFile(first, old);
    writeFile(second, old);
    WindowFixture f;
    f.dialogs.confirm(first);
    using platform::MsgResult;
    if (script == QLatin1String("yes")) {
        f.messages.answers = {MsgResult::Yes};
    } else if (script == QLatin1String("no-other-yes")) {
        f.messages.answers = {MsgResult::No, MsgResult::Yes};
        f.dialogs.confirm(second);
    } else if (script == QLatin1String("no-new")) {
        f.messages.answers = {MsgResult::No};
        f.dialogs.confirm(third);
    } else {
        f.messages.answers = {MsgResult::No};
        f.dialogs.cancel();
    }
    f.window->Cmd_Save_Click();
    QCOMPARE(f.messages.shown.size(), questions);
    for (const auto& shown : f.messages.shown) {
        QCOMPARE(shown.text, QStringLiteral("是否覆盖同名文件！"));
        QCOMPARE(shown.caption, kFriendly);
        QVERIFY(shown.icon == platform::MsgIcon::Question);
        QVERIFY(shown.buttons == platform::MsgButtons::YesNo);
    }
    const QByteArray code = orvane::DotFileBytes(f.window->Txt_Display->Text());
    const QStringList names{QStringLiteral("first"), QStringLiteral("second"),
                            QStringLiteral("third")};
    for (const QString& name : names) {
        const QString path = dir.filePath(name + QStringLiteral(".dot"));
        if (name == written)
            QCOMPARE(readAll(path), code);
        else if (name == QLatin1String("third"))
            QVERIFY(!QFile::exists(path));
        else
            QCOMPARE(readAll(path), old);
    }
}

void TestExport::failedSaveSaysSoAndKeepsTheOldFile() {
    QTemporaryDir dir;
    WindowFixture f;
    auto& w = *f.window;
    w.HScrl_Lines->setValue(254); // a long code text
    w.HScrl_Rows->setValue(254);
    const QString path = dir.filePath(QStringLiteral("full.dot"));
    const QByteArray old("old content that must survive\r\n");
    writeFile(path, old);
    f.dialogs.confirm(path);
    f.messages.answers = {platform::MsgResult::Yes};
    {
        const FileSizeLimit diskFillsUp(4096);
        w.Cmd_Save_Click();
    }
    QCOMPARE(f.messages.shown.size(), 2);
    QCOMPARE(f.messages.shown[1].text, QStringLiteral("文件保存没有成功！"));
    QCOMPARE(f.messages.shown[1].caption, kFriendly);
    QVERIFY(f.messages.shown[1].icon == platform::MsgIcon::Information);
    QCOMPARE(readAll(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("full.dot")});
}

void TestExport::unwritableTargetSaysSo() {
    QTemporaryDir dir;
    WindowFixture f;
    f.dialogs.confirm(dir.filePath(QStringLiteral("no/such/folder/a.dot")));
    f.window->Cmd_Save_Click();
    f.dialogs.fail(platform::kErrDeviceIO); // a dialog that fails, not cancels
    f.window->Cmd_Save_Click();
    QCOMPARE(f.messages.shown.size(), 2);
    for (const auto& shown : f.messages.shown)
        QCOMPARE(shown.text, QStringLiteral("文件保存没有成功！"));
}

void TestExport::folderJoinNeverDoublesTheSeparator_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("joined");
    QTest::newRow("root") << "/"
                          << "/A.dot";
    QTest::newRow("plain folder") << "/opt/tools"
                                  << "/opt/tools/A.dot";
    QTest::newRow("folder with separator") << "/opt/tools/"
                                           << "/opt/tools/A.dot";
}

void TestExport::folderJoinNeverDoublesTheSeparator() {
    QFETCH(QString, folder);
    QFETCH(QString, joined);
    QCOMPARE(orvane::JoinFolder(folder, QStringLiteral("A.dot")), joined);
}

void TestExport::fontChooserAppliesFaceAndStyleButNotSize() {
    WindowFixture f;
    auto& w = *f.window;
    QFont chosen(QStringLiteral("AR PL UKai CN"));
    chosen.setPointSizeF(12);
    chosen.setBold(true);
    chosen.setItalic(true);
    chosen.setUnderline(true);
    f.dialogs.fontAnswers = {chosen};
    QTest::mouseClick(w.Vek1->Widget(), Qt::LeftButton, {}, QPoint(3, 3)); // a hand edit
    const QString edited = testing::dotPicture(*w.Vek1);
    QTest::mouseClick(w.Cmd_Font, Qt::LeftButton);
    QCOMPARE(f.dialogs.fontRequests.size(), 1);
    QCOMPARE(f.dialogs.fontRequests[0].font.family(), QStringLiteral("WenQuanYi Zen Hei"));
    QCOMPARE(f.dialogs.fontRequests[0].font.pointSizeF(), 106.0);
    QCOMPARE(f.dialogs.fontRequests[0].flags, 0x103);
    QCOMPARE(w.Pic_Char->FontName(), QStringLiteral("AR PL UKai CN"));
    QVERIFY(w.Pic_Char->FontBold());
    QVERIFY(w.Pic_Char->FontItalic());
    QVERIFY(w.Pic_Char->FontUnderline());
    QVERIFY(!w.Pic_Char->FontStrikethru());
    QCOMPARE(w.Pic_Char->FontSize(), 106.0);
    QVERIFY(testing::dotPicture(*w.Vek1) != edited);
    // The next chooser opens with the font chosen the first time.
    f.dialogs.fontAnswers = {std::nullopt};
    w.Cmd_Font_Click();
    QCOMPARE(f.dialogs.fontRequests[1].font.family(), QStringLiteral("AR PL UKai CN"));
    QVERIFY(f.dialogs.fontRequests[1].font.bold());
}

void TestExport::fontChooserCancelAndFailure() {
    WindowFixture f;
    auto& w = *f.window;
    const QString code = w.Txt_Display->Text();
    f.dialogs.fontAnswers = {std::nullopt};
    w.Cmd_Font_Click();
    QVERIFY(f.messages.shown.isEmpty());
    QCOMPARE(w.Pic_Char->FontName(), QStringLiteral("黑体"));
    QCOMPARE(w.Txt_Display->Text(), code);
    f.dialogs.fontFailWith = platform::kErrDeviceIO;
    w.Cmd_Font_Click();
    QCOMPARE(f.messages.shown.size(), 1);
    QCOMPARE(f.messages.shown[0].text, QStringLiteral("字体设置错误！"));
    QCOMPARE(w.Pic_Char->FontName(), QStringLiteral("黑体"));
}

void TestExport::importSamplesABlackAndWhitePicture() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("block.bmp"));
    // Black over the left half of the surface's top quarter: 8 columns by 4 lines of dots.
    QVERIFY(blockPicture(QSize(100, 60), QRect(0, 0, 71, 36)).save(path));
    WindowFixture f;
    auto& w = *f.window;
    f.dialogs.confirm(path);
    QTest::mouseClick(w.Pic_Char, Qt::RightButton);
    QCOMPARE(f.dialogs.fileRequests.size(), 1);
    QCOMPARE(f.dialogs.fileRequests[0].title, QStringLiteral("导入图象文件(单色260*140)"));
    QVERIFY(!w.CharMode);
    QString expected;
    for (int y = 0; y < 16; ++y)
        expected +=
            y < 4 ? QStringLiteral("########........\n") : QStringLiteral("................\n");
    QCOMPARE(testing::dotPicture(*w.Vek1), expected);
    QCOMPARE(codeLines(w.Txt_Display->Text())[0], QStringLiteral(";") + path);
    QVERIFY(f.messages.shown.isEmpty());
}

void TestExport::importLargerPictureShowsItsTopLeftUntilMoved() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.png"));
    // All black beyond the surface's width, white over it.
    QVERIFY(blockPicture(QSize(400, 145), QRect(143, 0, 257, 145)).save(path));
    WindowFixture f;
    auto& w = *f.window;
    f.dialogs.confirm(path);
    w.Pic_Char_MouseDown(Qt::RightButton);
    QCOMPARE(testing::litDots(*w.Vek1), 0);
    w.HScrl_ChrPos->setValue(w.HScrl_ChrPos->minimum()); // the picture moves a surface left
    QCOMPARE(testing::litDots(*w.Vek1), 256);
    QVERIFY(!w.CharMode);
}

void TestExport::leftButtonRecentresTheGlyph() {
    WindowFixture f;
    auto& w = *f.window;
    const QString start = testing::dotPicture(*w.Vek1);
    w.HScrl_ChrPos->setValue(100);
    w.VScrl_ChrHgt->setValue(50);
    QVERIFY(testing::dotPicture(*w.Vek1) != start);
    testing::VekEventCounter events(*w.Vek1);
    QTest::mouseClick(w.Pic_Char, Qt::LeftButton);
    QCOMPARE(w.HScrl_ChrPos->value(), 143);
    QCOMPARE(w.VScrl_ChrHgt->value(), 145);
    QCOMPARE(testing::dotPicture(*w.Vek1), start);
    // Right after, nothing changes and nothing is drawn.
    events.changes = 0;
    QTest::mouseClick(w.Pic_Char, Qt::LeftButton);
    QCOMPARE(events.changes, 0);
}

void TestExport::typingAfterImportNamesTheCharacterAgain() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.bmp"));
    QVERIFY(blockPicture(QSize(10, 10), QRect(0, 0, 5, 5)).save(path));
    WindowFixture f;
    auto& w = *f.window;
    w.show();
    f.dialogs.confirm(path);
    w.Pic_Char_MouseDown(Qt::RightButton);
    QCOMPARE(codeLines(w.Txt_Display->Text())[0], QStringLiteral(";") + path);
    QTest::keyClicks(w.Txt_Char, QStringLiteral("K"));
    QVERIFY(w.CharMode);
    QCOMPARE(codeLines(w.Txt_Display->Text())[0], QStringLiteral(";K"));
}

void TestExport::importCancelChangesNothing() {
    WindowFixture f;
    auto& w = *f.window;
    const QString code = w.Txt_Display->Text();
    f.dialogs.cancel();
    w.Pic_Char_MouseDown(Qt::RightButton);
    QVERIFY(w.CharMode);
    QCOMPARE(w.Txt_Display->Text(), code);
    QVERIFY(f.messages.shown.isEmpty());
}

void TestExport::badPicturesAreRefusedAndLoseNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("not a picture") << "text";
    QTest::newRow("truncated picture") << "truncated";
    QTest::newRow("header claims hundreds of megapixels") << "huge";
    QTest::newRow("path that does not exist") << "missing";
    QTest::newRow("a folder") << "folder";
}

void TestExport::badPicturesAreRefusedAndLoseNothing() {
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.bmp"));
    QVERIFY(blockPicture(QSize(40, 40), QRect(0, 0, 20, 20)).save(good));
    QString bad = dir.filePath(QStringLiteral("bad.bmp"));
    if (kind == QLatin1String("text")) {
        writeFile(bad, "this is not a picture at all\n");
    } else if (kind == QLatin1String("truncated")) {
        QByteArray bytes = readAll(good);
        bytes.truncate(40);
        writeFile(bad, bytes);
    } else if (kind == QLatin1String("huge")) {
        QByteArray bytes = readAll(good);
        qToLittleEndian<qint32>(20000, bytes.data() + 18); // width
        qToLittleEndian<qint32>(20000, bytes.data() + 22); // height
        writeFile(bad, bytes);
    } else if (kind == QLatin1String("folder")) {
        bad = dir.path();
    }
    WindowFixture f;
    auto& w = *f.window;
    f.dialogs.confirm(good);
    w.Pic_Char_MouseDown(Qt::RightButton);
    const QString code = w.Txt_Display->Text();
    const QImage picture = w.Pic_Bkp->Picture();
    f.dialogs.confirm(bad);
    w.Pic_Char_MouseDown(Qt::RightButton);
    QCOMPARE(f.messages.shown.size(), 1);
    QCOMPARE(f.messages.shown[0].text, QStringLiteral("不能打开所选取的图象文件！"));
    QCOMPARE(f.messages.shown[0].caption, kFriendly);
    QCOMPARE(w.Txt_Display->Text(), code);
    QCOMPARE(w.Pic_Bkp->Picture(), picture);
    QVERIFY(!w.CharMode);
}

void TestExport::middleButtonDoesNothing() {
    WindowFixture f;
    auto& w = *f.window;
    const QString code = w.Txt_Display->Text();
    QTest::mouseClick(w.Pic_Char, Qt::MiddleButton);
    QVERIFY(f.dialogs.fileRequests.isEmpty());
    QCOMPARE(w.Txt_Display->Text(), code);
}

void TestExport::helpShowsTheHelpText() {
    WindowFixture f;
    auto& w = *f.window;
    QTest::mouseClick(w.Cmd_Help, Qt::LeftButton);
    QString expected = QString::fromUtf8(readAll(QStringLiteral(POINTILLO_HELP_SOURCE)));
    expected.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    QCOMPARE(w.Txt_Display->Text(), expected);
    QVERIFY(expected.contains(QStringLiteral("使用说明")));
    // Any change of input brings the code back.
    w.Opt_Code_Click();
    QCOMPARE(codeLines(w.Txt_Display->Text())[0], QStringLiteral(";英"));
}

void TestExport::helpFileRoundTripsThroughTheBuildTool() {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("help.txt"));
    const QString help = dir.filePath(QStringLiteral("Quibrel.dll"));
    writeFile(source, QStringLiteral("第一行 line one\n第二行：全角，标点。\n").toUtf8());
    const int rc = QProcess::execute(
        QCoreApplication::applicationDirPath() + QStringLiteral("/helpgen"), {source, help});
    QCOMPARE(rc, 0);
    const QByteArray scrambled = readAll(help);
    QVERIFY(!scrambled.contains("line one"));
    QCOMPARE(orvane::ReadHelpFile(help),
             QStringLiteral("第一行 line one\r\n第二行：全角，标点。\r\n"));
}

void TestExport::scramblingXorsSingleBytesAndTrailBytes() {
    const std::uint8_t key = orvane::kHelpKey;
    QVERIFY(key < 0x80);
    const QByteArray plain("A\xd3\xa2"
                           "B",
                           4); // "A英B" in code page 936
    const QByteArray expected = QByteArray(1, char('A' ^ key)) + "\xd3" +
                                QByteArray(1, char(0xa2 ^ key)) + QByteArray(1, char('B' ^ key));
    QCOMPARE(orvane::ScrambleAnsi(plain), expected);
    QCOMPARE(orvane::ScrambleAnsi(expected), plain);
}

void TestExport::unreadableHelpShowsTheAboutText_data() {
    QTest::addColumn<QString>("content"); // "missing", "random" or the help file's text
    QTest::newRow("missing help file") << "missing";
    QTest::newRow("random bytes") << "random";
    QTest::newRow("empty help file") << "";
}

void TestExport::unreadableHelpShowsTheAboutText() {
    QFETCH(QString, content);
    QTemporaryDir dir;
    const QString folder = folderWithControlOnly(dir);
    if (content == QLatin1String("random")) {
        QByteArray noise;
        for (int i = 0; i < 4096; ++i)
            noise.append(char((i * 7919 + 13) % 256));
        writeFile(dir.filePath(QStringLiteral("Quibrel.dll")), noise);
    } else if (content != QLatin1String("missing")) {
        writeFile(dir.filePath(QStringLiteral("Quibrel.dll")), orvane::EncodeHelpFile(content));
    }
    WindowFixture f(folder);
    f.window->Cmd_Help_Click();
    const QString about =
        QStringLiteral("Pointillo V1.0\r\n\r\n作者：Pointillo Team\r\n\r\n"
                       "您的这份拷贝可能丢失了部分文件，致使帮助信息损坏，要获得帮助信息，请联系"
                       "support@pointillo.example。获得完整拷贝。");
    if (content == QLatin1String("missing") || content == QLatin1String("random"))
        QCOMPARE(f.window->Txt_Display->Text(), about);
    else
        QCOMPARE(f.window->Txt_Display->Text(), content);
    QVERIFY(f.messages.shown.isEmpty());
}

void TestExport::fontChooserOpensOnTheDrawingFaceAndOkAloneChangesNothing() {
    WindowFixture f;
    auto& w = *f.window;
    const QString code = w.Txt_Display->Text();
    const QImage glyph = w.Pic_Char->Image().copy();
    // The chooser opens on a face it lists; OK without a change hands that font back.
    f.dialogs.fontAnswers = {std::nullopt};
    w.Cmd_Font_Click();
    const QFont opened = f.dialogs.fontRequests.value(0).font;
    QVERIFY2(QFontDatabase::families().contains(opened.family()), qPrintable(opened.family()));
    f.dialogs.fontAnswers = {opened};
    w.Cmd_Font_Click();
    QCOMPARE(w.Txt_Display->Text(), code);
    QCOMPARE(w.Pic_Char->Image(), glyph);
}

void TestExport::saveKeepsAnExistingEntryWholeWithItsModeAndOwner_data() {
    QTest::addColumn<QString>("kind"); // "file", or a node makeNode makes
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<bool>("inPlace"); // in a read-only folder, so written in place
    QTest::newRow("300 characters, disk full") << "file" << 300 << true << false;
    QTest::newRow("40,000 characters, disk full") << "file" << 40000 << true << false;
    QTest::newRow("40,000 characters in place, disk full") << "file" << 40000 << true << true;
    QTest::newRow("replaced by a new file") << "file" << 300 << false << false;
    QTest::newRow("written in place") << "file" << 300 << false << true;
    for (const char* kind : {"pipe", "socket", "device", "link"})
        QTest::newRow(kind) << QString::fromLatin1(kind) << 300 << false << false;
}

void TestExport::saveKeepsAnExistingEntryWholeWithItsModeAndOwner() {
    QFETCH(QString, kind);
    QFETCH(int, length);
    QFETCH(bool, diskFull);
    QFETCH(bool, inPlace);
    QTemporaryDir dir;
    QTemporaryDir devices; // a link leads to a device of the test's own, never the system's
    // A full disk is an 8 KB tmpfs where the test may mount one; elsewhere writes past 4 KB fail.
    const bool mounted = diskFull && ::mount("tmpfs", QFile::encodeName(dir.path()), "tmpfs", 0,
                                             "size=8k,mode=0755") == 0;
    const auto unmount = qScopeGuard([&] {
        if (mounted)
            ::umount2(QFile::encodeName(dir.path()), MNT_DETACH);
    });
    const QString path = dir.filePath(QStringLiteral("old.dot"));
    const QString device = devices.filePath(QStringLiteral("zero"));
    const QByteArray old(100, 'o');
    if (kind == QLatin1String("file")) {
        writeFile(path, old);
        ReadOnlyFolder::ownFile(path);
    } else if (!makeNode(QStringLiteral("device"), device) || !makeNode(kind, path, device)) {
        QSKIP("this machine does not let the test make such a node");
    }
    const auto before = modeAndOwner(path);
    if (mounted) // the last free block
        writeFile(dir.filePath(QStringLiteral("filler")), QByteArray(4096, 'f'));
    WindowFixture f;
    f.window->Txt_Display->SetText(QString(length, QLatin1Char('A')));
    f.dialogs.confirm(path);
    f.messages.answers = {platform::MsgResult::Yes};
    {
        std::optional<FileSizeLimit> limit;
        if (diskFull && !mounted)
            limit.emplace(4096);
        const ReadOnlyFolder readOnly(dir.path(), inPlace);
        f.window->Cmd_Save_Click();
    }
    const bool fails = diskFull || kind != QLatin1String("file");
    QCOMPARE(f.messages.shown.size(), fails ? 2 : 1); // the overwrite question, and the failure
    if (fails)
        QCOMPARE(f.messages.shown[1].text, QStringLiteral("文件保存没有成功！"));
    if (kind == QLatin1String("file"))
        QCOMPARE(readAll(path), fails ? old : orvane::DotFileBytes(f.window->Txt_Display->Text()));
    else
        QVERIFY(S_ISCHR(std::get<0>(modeAndOwner(device))));
    QVERIFY(modeAndOwner(path) == before);
    QCOMPARE(
        QDir(dir.path()).entryList({QStringLiteral("old.dot*")}, QDir::Files | QDir::System).size(),
        1);
}

void TestExport::proposalLiesInAFolderTheUserMayWrite_data() {
    QTest::addColumn<QString>("character");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("name");
    QTest::newRow("slash") << "/" << false << "_.dot";
    QTest::newRow("NUL") << QString(QChar(0)) << false << "_.dot";
    QTest::newRow("read-only program folder: home") << "英" << true << "英.dot";
}

void TestExport::proposalLiesInAFolderTheUserMayWrite() {
    QFETCH(QString, character);
    QFETCH(bool, readOnly);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const ReadOnlyFolder folder(dir.path(), readOnly);
    QCOMPARE(orvane::ProposedDotFileName(dir.path(), character),
             (readOnly ? QDir::homePath() : dir.path()) + QLatin1Char('/') + name);
}

// Neither blocks on a pipe nor reads without end from a device; help reads a few MB at most.
void TestExport::helpAndImportReadOnlyBoundedRegularFiles_data() {
    QTest::addColumn<bool>("help");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<qint64>("size"); // of the file a kind "file" makes
    const qint64 most = orvane::kMaxHelpFileBytes;
    QTest::newRow("help: pipe") << true << "pipe" << 0LL;
    QTest::newRow("help: link to /dev/zero") << true << "link" << 0LL;
    QTest::newRow("help: one byte too long") << true << "file" << most + 1;
    QTest::newRow("help: as long as allowed") << true << "file" << most;
    QTest::newRow("import: pipe") << false << "pipe" << 0LL;
    QTest::newRow("import: link to /dev/zero") << false << "link" << 0LL;
}

void TestExport::helpAndImportReadOnlyBoundedRegularFiles() {
    QFETCH(bool, help);
    QFETCH(QString, kind);
    QFETCH(qint64, size);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quibrel.dll"));
    QFile file(path); // zeros, each of which unscrambles to the key's character
    QVERIFY(kind == QLatin1String("file") ? file.open(QIODevice::WriteOnly) && file.resize(size)
                                          : makeNode(kind, path));
    WindowFixture f(folderWithControlOnly(dir));
    const QString code = f.window->Txt_Display->Text();
    if (help) {
        f.window->Cmd_Help_Click();
        const bool refused = kind != QLatin1String("file") || size > orvane::kMaxHelpFileBytes;
        QCOMPARE(f.window->Txt_Display->Text(),
                 refused ? orvane::AboutText() : QString(size, QChar(orvane::kHelpKey)));
        return;
    }
    f.dialogs.confirm(path);
    f.window->Pic_Char_MouseDown(Qt::RightButton);
    QCOMPARE(f.messages.shown.size(), 1);
    QCOMPARE(f.messages.shown[0].text, QStringLiteral("不能打开所选取的图象文件！"));
    QCOMPARE(f.window->Txt_Display->Text(), code);
}

void TestExport::anyExceptionInADialogHandlerIsThatHandlersFailure_data() {
    QTest::addColumn<QString>("message"); // the row names the handler
    QTest::newRow("import") << QStringLiteral("不能打开所选取的图象文件！");
    QTest::newRow("save") << QStringLiteral("文件保存没有成功！");
    QTest::newRow("font") << QStringLiteral("字体设置错误！");
}

void TestExport::anyExceptionInADialogHandlerIsThatHandlersFailure() {
    QFETCH(QString, message);
    ExhaustedDialogs dialogs;
    testing::ScriptedMessages messages;
    orvane::SingleCharWindow w({&dialogs, &messages, QCoreApplication::applicationDirPath()});
    const QString code = w.Txt_Display->Text();
    const QByteArray handler = QTest::currentDataTag();
    if (handler == "import")
        w.Pic_Char_MouseDown(Qt::RightButton);
    else if (handler == "save")
        w.Cmd_Save_Click();
    else
        w.Cmd_Font_Click();
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].text, message);
    QCOMPARE(w.Txt_Display->Text(), code);
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
