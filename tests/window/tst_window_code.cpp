// The code: hand edits and the code options, the whole text, and saving it.

#include "Golden.h"
#include "SaveFile.h"
#include "WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

using Entry = testing::WindowFixture::Entry;

namespace {

const QString kOverwrite = "是否覆盖同名文件！";
const QString kNotSaved = "文件保存没有成功！";

} // namespace

class TstWindowCode : public testing::WindowTest {
    Q_OBJECT

    QList<uint> firstDotModeAndOwner; // checked after each test that sets it

    // A blank glyph with two dots lit by hand: the first, and the last of the second line.
    void editTwoDotsOnABlankGlyph() {
        QTest::keyClick(w->Txt_Char, Qt::Key_Space);
        f->clickDot(1, 1);
        f->clickDot(16, 2);
    }
    // first.dot, whose mode and owner no save may change, and second.dot.
    void putTwoOldDotFiles() {
        QVERIFY(f->putFile("first.dot", QByteArray(20000, 'o')));
        QVERIFY(f->putFile("second.dot", QByteArray(20000, 'o')));
        firstDotModeAndOwner = testing::modeAndOwner(f->path("first.dot"));
    }
    // Save, to first.dot, with Yes to overwriting it.
    void saveOverFirstDot(bool inReadOnlyFolder = false) {
        f->dialogs.confirm(f->path("first.dot"));
        f->messages.answers << platform::MsgResult::Yes;
        if (inReadOnlyFolder)
            f->clickInReadOnlyFolder(w->Cmd_Save);
        else
            QTest::mouseClick(w->Cmd_Save, Qt::LeftButton);
    }
    QByteArray savedCode() const { return pointillo::DotFileBytes(f->code()); }

private slots:
    void cleanup() {
        const QList<uint> before = std::exchange(firstDotModeAndOwner, {});
        if (!before.isEmpty())
            QCOMPARE(testing::modeAndOwner(f->path("first.dot")), before);
        WindowTest::cleanup();
    }

    void startUpCodeIsTheGoldenText() { testing::compareWithGolden(f->code(), "start-up.txt"); }

    void aClickOnADotTogglesItUnlessEditingIsOff() {
        editTwoDotsOnABlankGlyph();
        QCOMPARE(f->dots().mid(0, 3),
                 (QStringList{"#...............", "...............#", "................"}));
        QCOMPARE(f->litDots(), 2);
        f->clickDot(1, 1);
        QCOMPARE(f->litDots(), 1);
        QTest::mouseClick(w->Chk_VekEdit, Qt::LeftButton);
        f->clickDot(8, 8);
        QCOMPARE(f->litDots(), 1);
        QTest::mouseClick(w->Chk_VekEdit, Qt::LeftButton);
        f->clickDot(8, 8);
        QCOMPARE(f->litDots(), 2);
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    // An option writes the code anew from the panel as the hand left it.
    void codeOptionsKeepTheHandEdit_data() {
        QTest::addColumn<bool>("c51");
        QTest::addColumn<bool>("columnWise");
        QTest::addColumn<QString>("golden");
        QTest::newRow("Asm51 row-wise") << false << false << "hand-edit-asm51-row-wise.txt";
        QTest::newRow("C51 row-wise") << true << false << "hand-edit-c51-row-wise.txt";
        QTest::newRow("Asm51 column-wise") << false << true << "hand-edit-asm51-column-wise.txt";
        QTest::newRow("C51 column-wise") << true << true << "hand-edit-c51-column-wise.txt";
    }
    void codeOptionsKeepTheHandEdit() {
        QFETCH(bool, c51);
        QFETCH(bool, columnWise);
        QFETCH(QString, golden);
        editTwoDotsOnABlankGlyph();
        if (c51)
            QTest::mouseClick(w->Opt_CodeStyle[2], Qt::LeftButton);
        if (columnWise)
            QTest::mouseClick(w->Opt_CodeModel[1], Qt::LeftButton);
        QCOMPARE(f->code(), f->codeOfPanel());
        testing::compareWithGolden(f->code(), golden);
    }

    // Save asks about every name that exists, and after No asks for another.
    void saveProposesTheCharacterAndAsksBeforeOverwriting() {
        putTwoOldDotFiles();
        f->dialogs.confirm(f->path("first.dot"));
        f->messages.answers << platform::MsgResult::No;
        f->dialogs.confirm(f->path("second.dot"));
        f->messages.answers << platform::MsgResult::Yes;
        QTest::mouseClick(w->Cmd_Save, Qt::LeftButton);
        QCOMPARE(f->dialogs.fileRequests.size(), 2);
        QCOMPARE(f->dialogs.fileRequests[0].title, "保存点阵文件");
        QCOMPARE(f->dialogs.fileRequests[0].fileName, f->path("英.dot"));
        QCOMPARE(f->messageTexts(), (QStringList{kOverwrite, kOverwrite}));
        QCOMPARE(f->entriesChanged(), QStringList{"second.dot"});
        QCOMPARE(testing::fileContents(f->path("second.dot")), savedCode());
    }

    void saveProposesASafeNameForAnUnsafeCharacter_data() {
        QTest::addColumn<QString>("character");
        QTest::newRow("a slash") << "/";
        QTest::newRow("a NUL") << QString(QChar());
    }
    void saveProposesASafeNameForAnUnsafeCharacter() {
        QFETCH(QString, character);
        w->Txt_Char->setText(character);
        f->dialogs.cancel();
        QTest::mouseClick(w->Cmd_Save, Qt::LeftButton);
        QCOMPARE(f->dialogs.fileRequests.value(0).fileName, f->path("_.dot"));
    }

    // A new name is written too; nothing is written after a cancel, or when the dialog fails.
    void saveWritesOnlyWhatTheDialogConfirms_data() {
        QTest::addColumn<int>("failure"); // of the dialog; -1 is running out of memory
        QTest::addColumn<bool>("afterNo");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("changed");
        QTest::newRow("a new name") << 0 << false << QStringList() << QStringList{"new.dot"};
        QTest::newRow("cancelled") << 0 << false << QStringList() << QStringList();
        QTest::newRow("cancelled after no") << 0 << true << QStringList{kOverwrite}
                                            << QStringList();
        QTest::newRow("a device error") << int(platform::kErrDeviceIO) << false
                                        << QStringList{kNotSaved} << QStringList();
        QTest::newRow("out of memory") << -1 << false << QStringList{kNotSaved} << QStringList();
    }
    void saveWritesOnlyWhatTheDialogConfirms() {
        QFETCH(int, failure);
        QFETCH(bool, afterNo);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, changed);
        putTwoOldDotFiles();
        if (afterNo) {
            f->dialogs.confirm(f->path("first.dot"));
            f->messages.answers << platform::MsgResult::No;
        }
        if (failure)
            f->dialogs.fail(failure);
        else if (changed.isEmpty())
            f->dialogs.cancel();
        else
            f->dialogs.confirm(f->path("new.dot"));
        QTest::mouseClick(w->Cmd_Save, Qt::LeftButton);
        QCOMPARE(f->messageTexts(), messages);
        for (const auto& shown : f->messages.shown)
            QCOMPARE(shown.caption, "友情提示");
        QCOMPARE(f->entriesChanged(), changed);
        if (!changed.isEmpty())
            QCOMPARE(testing::fileContents(f->path("new.dot")), savedCode());
    }

    // In a folder it may not write to, save writes the old file in place and proposes the
    // home folder.
    void saveWritesInPlaceInAReadOnlyFolder() {
        putTwoOldDotFiles();
        saveOverFirstDot(true);
        QCOMPARE(f->dialogs.fileRequests[0].fileName, QDir::homePath() + "/英.dot");
        QCOMPARE(f->messageTexts(), QStringList{kOverwrite});
        QCOMPARE(f->entriesChanged(), QStringList{"first.dot"});
        QCOMPARE(testing::fileContents(f->path("first.dot")), savedCode());
    }

    void saveOnAFullDiskKeepsTheOldFile_data() {
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("replacing the file") << false;
        QTest::newRow("40,000 characters written in place") << true;
    }
    void saveOnAFullDiskKeepsTheOldFile() {
        QFETCH(bool, inPlace);
        if (!f->fillTheDisk())
            QSKIP("no tmpfs to fill on this machine");
        QVERIFY(f->putFile("first.dot", QByteArray(100, 'o')));
        firstDotModeAndOwner = testing::modeAndOwner(f->path("first.dot"));
        if (inPlace)
            w->Txt_Display->SetText(QString(40000, 'A'));
        saveOverFirstDot(inPlace);
        QCOMPARE(f->messageTexts(), (QStringList{kOverwrite, kNotSaved}));
        QCOMPARE(f->entriesChanged(), QStringList());
        QCOMPARE(f->code(), inPlace ? QString(40000, 'A') : f->codeOfPanel());
    }

    void saveRefusesWhatIsNotARegularFile_data() {
        QTest::addColumn<Entry>("entry");
        QTest::newRow("a pipe") << Entry::Pipe;
        QTest::newRow("a device") << Entry::Device;
    }
    void saveRefusesWhatIsNotARegularFile() {
        QFETCH(Entry, entry);
        QVERIFY(f->putEntry("first.dot", entry));
        firstDotModeAndOwner = testing::modeAndOwner(f->path("first.dot"));
        saveOverFirstDot();
        QCOMPARE(f->messageTexts(), (QStringList{kOverwrite, kNotSaved}));
        QCOMPARE(f->entriesChanged(), QStringList());
    }
};

QTEST_MAIN(TstWindowCode)
#include "tst_window_code.moc"
