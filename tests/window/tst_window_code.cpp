// The code: hand edits and the code options, the whole text, copying and saving it.

#include "Golden.h"
#include "SaveFile.h"
#include "WindowFixture.h"
#include "codegen/DotFile.h"

#include <QtTest>
#include <QtWidgets>

using testing::WindowFixture;
using Entry = WindowFixture::Entry;

namespace {

const QString kOverwrite = "是否覆盖同名文件！";
const QString kNotSaved = "文件保存没有成功！";

} // namespace

class TstWindowCode : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowFixture> f;
    orvane::SingleCharWindow* w = nullptr;
    QList<uint> firstDotModeAndOwner;

    // A blank glyph with two dots lit by hand: the first, and the last of the second line.
    void editTwoDotsOnABlankGlyph() {
        QTest::keyClick(w->Txt_Char, Qt::Key_Space);
        f->clickDot(1, 1);
        f->clickDot(16, 2);
    }
    void putTwoOldDotFiles() {
        QVERIFY(f->putFile("first.dot", QByteArray(20000, 'o')));
        QVERIFY(f->putFile("second.dot", QByteArray(20000, 'o')));
        firstDotModeAndOwner = testing::modeAndOwner(f->path("first.dot"));
    }
    void clickSave() { QTest::mouseClick(w->Cmd_Save, Qt::LeftButton); }
    QByteArray savedCode() const { return pointillo::DotFileBytes(f->code()); }

private slots:
    void init() {
        f = std::make_unique<WindowFixture>();
        w = f->w;
        w->show();
        firstDotModeAndOwner.clear();
    }
    void cleanup() {
        QCOMPARE(f->dialogsNotOverTheWindow(), 0);
        if (!firstDotModeAndOwner.isEmpty())
            QCOMPARE(testing::modeAndOwner(f->path("first.dot")), firstDotModeAndOwner);
        f.reset();
    }

    void startUpCodeIsTheGoldenText() { testing::compareWithGolden(f->code(), "start-up.txt"); }

    void aClickOnADotTogglesItAndTheCodeFollows() {
        editTwoDotsOnABlankGlyph();
        QCOMPARE(f->dots().mid(0, 3),
                 (QStringList{"#...............", "...............#", "................"}));
        QCOMPARE(f->litDots(), 2);
        QCOMPARE(f->code(), f->codeOfPanel());
        f->clickDot(1, 1);
        QCOMPARE(f->litDots(), 1);
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
        QCOMPARE(f->litArea(), QRect(1, 1, 16, 2));
        QCOMPARE(f->litDots(), 2);
        QCOMPARE(f->code(), f->codeOfPanel());
        testing::compareWithGolden(f->code(), golden);
    }

    void handEditingCanBeSwitchedOff_data() {
        QTest::addColumn<int>("editClicks");
        QTest::addColumn<int>("litDots");
        QTest::newRow("editing off") << 1 << 2;
        QTest::newRow("editing on again") << 2 << 3;
    }
    void handEditingCanBeSwitchedOff() {
        QFETCH(int, editClicks);
        QFETCH(int, litDots);
        editTwoDotsOnABlankGlyph();
        for (int i = 0; i < editClicks; ++i)
            QTest::mouseClick(w->Chk_VekEdit, Qt::LeftButton);
        f->clickDot(8, 8);
        QCOMPARE(f->litDots(), litDots);
        QCOMPARE(f->code(), f->codeOfPanel());
    }

    void copyTakesTheCodeViewAsItIs() {
        w->Txt_Display->SetText("A\r\nB");
        QTest::mouseClick(w->Cmd_Copy, Qt::LeftButton);
        QCOMPARE(QGuiApplication::clipboard()->text(), "A\r\nB");
        QCOMPARE(f->code(), "A\r\nB");
    }

    void saveProposesTheCharacterInTheProgramFolder() {
        putTwoOldDotFiles();
        f->dialogs.confirm(f->path("new.dot"));
        clickSave();
        QCOMPARE(f->dialogs.fileRequests.size(), 1);
        QCOMPARE(f->dialogs.fileRequests[0].title, "保存点阵文件");
        QCOMPARE(f->dialogs.fileRequests[0].fileName, f->path("英.dot"));
        QCOMPARE(f->messageTexts(), QStringList());
        QCOMPARE(f->entriesChanged(), QStringList{"new.dot"});
        QCOMPARE(testing::fileContents(f->path("new.dot")), savedCode());
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
        clickSave();
        QCOMPARE(f->dialogs.fileRequests.value(0).fileName, f->path("_.dot"));
    }

    void saveOverwritesAfterYes() {
        putTwoOldDotFiles();
        f->dialogs.confirm(f->path("first.dot"));
        f->messages.answers << platform::MsgResult::Yes;
        clickSave();
        QCOMPARE(f->messageTexts(), QStringList{kOverwrite});
        QCOMPARE(f->entriesChanged(), QStringList{"first.dot"});
        QCOMPARE(testing::fileContents(f->path("first.dot")), savedCode());
    }

    void saveAsksAgainAfterNo() {
        putTwoOldDotFiles();
        f->dialogs.confirm(f->path("first.dot"));
        f->messages.answers << platform::MsgResult::No;
        f->dialogs.confirm(f->path("second.dot"));
        f->messages.answers << platform::MsgResult::Yes;
        clickSave();
        QCOMPARE(f->messageTexts(), (QStringList{kOverwrite, kOverwrite}));
        QCOMPARE(f->entriesChanged(), QStringList{"second.dot"});
        QCOMPARE(testing::fileContents(f->path("second.dot")), savedCode());
    }

    void saveWritesNothingWhenCancelled_data() {
        QTest::addColumn<bool>("afterNo");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("cancelled") << false << QStringList();
        QTest::newRow("cancelled after no") << true << QStringList{kOverwrite};
    }
    void saveWritesNothingWhenCancelled() {
        QFETCH(bool, afterNo);
        QFETCH(QStringList, messages);
        putTwoOldDotFiles();
        if (afterNo) {
            f->dialogs.confirm(f->path("first.dot"));
            f->messages.answers << platform::MsgResult::No;
        }
        f->dialogs.cancel();
        clickSave();
        QCOMPARE(f->messageTexts(), messages);
        QCOMPARE(f->entriesChanged(), QStringList());
    }

    void aFailingSaveDialogIsReported_data() {
        QTest::addColumn<int>("failure"); // -1 is running out of memory
        QTest::newRow("a device error") << int(platform::kErrDeviceIO);
        QTest::newRow("out of memory") << -1;
    }
    void aFailingSaveDialogIsReported() {
        QFETCH(int, failure);
        putTwoOldDotFiles();
        f->dialogs.fail(failure);
        clickSave();
        QCOMPARE(f->messageTexts(), QStringList{kNotSaved});
        QCOMPARE(f->messages.shown[0].caption, "友情提示");
        QCOMPARE(f->entriesChanged(), QStringList());
    }

    // In a folder it may not write to, save writes the old file in place and proposes the
    // home folder.
    void saveWritesInPlaceInAReadOnlyFolder() {
        putTwoOldDotFiles();
        f->dialogs.confirm(f->path("first.dot"));
        f->messages.answers << platform::MsgResult::Yes;
        f->clickInReadOnlyFolder(w->Cmd_Save);
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
        f->dialogs.confirm(f->path("first.dot"));
        f->messages.answers << platform::MsgResult::Yes;
        if (inPlace) {
            w->Txt_Display->SetText(QString(40000, 'A'));
            f->clickInReadOnlyFolder(w->Cmd_Save);
        } else {
            clickSave();
        }
        QCOMPARE(f->messageTexts(), (QStringList{kOverwrite, kNotSaved}));
        QCOMPARE(f->entriesChanged(), QStringList());
        QCOMPARE(f->code(), inPlace ? QString(40000, 'A') : f->codeOfPanel());
    }

    void saveRefusesWhatIsNotARegularFile_data() {
        QTest::addColumn<Entry>("entry");
        QTest::newRow("a pipe") << Entry::Pipe;
        QTest::newRow("a socket") << Entry::Socket;
        QTest::newRow("a device") << Entry::Device;
        QTest::newRow("a link to a device") << Entry::LinkToDevZero;
    }
    void saveRefusesWhatIsNotARegularFile() {
        QFETCH(Entry, entry);
        QVERIFY(f->putNode("zero", S_IFCHR));
        QVERIFY(entry == Entry::LinkToDevZero ? f->putLink("first.dot", f->path("zero"))
                                              : f->putEntry("first.dot", entry));
        firstDotModeAndOwner = testing::modeAndOwner(f->path("first.dot"));
        f->dialogs.confirm(f->path("first.dot"));
        f->messages.answers << platform::MsgResult::Yes;
        clickSave();
        QCOMPARE(f->messageTexts(), (QStringList{kOverwrite, kNotSaved}));
        QCOMPARE(f->entriesChanged(), QStringList());
    }
};

QTEST_MAIN(TstWindowCode)
#include "tst_window_code.moc"
