// The code: hand edits and the code options, the whole text, and saving it.

#include "Golden.h"
#include "SaveFile.h"
#include "WindowFixture.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QString kOverwrite = "是否覆盖同名文件！";

} // namespace

class TstWindowCode : public testing::WindowTest {
    Q_OBJECT

    QByteArray savedCode() const { return pointillo::DotFileBytes(f->code()); }

private slots:
    void startUpCodeIsTheGoldenTextWhichCopyTakesWhole() {
        testing::compareWithGolden(f->code(), "start-up.txt");
        QTest::mouseClick(w->Cmd_Copy, Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text(), f->code());
    }

    // Toggling a dot is the control's; the window's Edit box turns that off and on again.
    void aClickOnADotChangesNothingWhileEditingIsOff() {
        QTest::mouseClick(w->Chk_VekEdit, Qt::LeftButton);
        f->clickDot(8, 8);
        QCOMPARE(f->dots(), f->startDots);
        QTest::mouseClick(w->Chk_VekEdit, Qt::LeftButton);
        f->clickDot(8, 8);
        QVERIFY(f->dots() != f->startDots);
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
        // A blank glyph with two dots lit by hand: the first, and the last of the second line.
        QTest::keyClick(w->Txt_Char, Qt::Key_Space);
        f->clickDot(1, 1);
        f->clickDot(16, 2);
        QTest::mouseClick(w->Opt_CodeStyle[c51 ? 2 : 1], Qt::LeftButton);
        QTest::mouseClick(w->Opt_CodeModel[columnWise ? 1 : 0], Qt::LeftButton);
        QCOMPARE(f->code(), f->codeOfPanel());
        testing::compareWithGolden(f->code(), golden);
    }

    // The name proposed is the character's in the program's folder, or in the home folder
    // where the program may not write.
    void saveProposesTheCharactersName_data() {
        QTest::addColumn<QString>("character");
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::addColumn<QString>("name");
        QTest::newRow("a slash") << "/" << false << "_.dot";
        QTest::newRow("a NUL") << QString(QChar()) << false << "_.dot";
        QTest::newRow("a read-only folder") << "英" << true << "英.dot";
    }
    void saveProposesTheCharactersName() {
        QFETCH(QString, character);
        QFETCH(bool, readOnlyFolder);
        QFETCH(QString, name);
        w->Txt_Char->setText(character);
        f->dialogs.cancel();
        if (readOnlyFolder)
            f->clickInReadOnlyFolder(w->Cmd_Save);
        else
            QTest::mouseClick(w->Cmd_Save, Qt::LeftButton);
        QCOMPARE(f->dialogs.fileRequests.value(0).title, "保存点阵文件");
        QCOMPARE(f->dialogs.fileRequests.value(0).fileName,
                 readOnlyFolder ? QDir::homePath() + "/" + name : f->path(name));
    }

    // Save asks about every name that exists, and after No asks for another, which a cancel
    // may end.
    void saveAsksBeforeOverwriting_data() {
        QTest::addColumn<bool>("secondNameConfirmed");
        QTest::newRow("No, then another name") << true;
        QTest::newRow("No, then cancelled") << false;
    }
    void saveAsksBeforeOverwriting() {
        QFETCH(bool, secondNameConfirmed);
        QVERIFY(f->putFile("first.dot", "old"));
        QVERIFY(f->putFile("second.dot", "old"));
        f->dialogs.confirm(f->path("first.dot"));
        f->messages.answers << platform::MsgResult::No;
        if (secondNameConfirmed) {
            f->dialogs.confirm(f->path("second.dot"));
            f->messages.answers << platform::MsgResult::Yes;
        } else {
            f->dialogs.cancel();
        }
        QTest::mouseClick(w->Cmd_Save, Qt::LeftButton);
        QCOMPARE(f->messageTexts(), QStringList(secondNameConfirmed ? 2 : 1, kOverwrite));
        QCOMPARE(f->messages.shown.value(0).caption, "友情提示");
        QCOMPARE(testing::fileContents(f->path("first.dot")), "old");
        QCOMPARE(testing::fileContents(f->path("second.dot")),
                 secondNameConfirmed ? savedCode() : "old");
    }

    // A name that is a device is asked about like a file, then fails, and nothing is written.
    void saveOverADeviceIsReportedAsFailed() {
        QVERIFY(f->putDevice("first.dot"));
        f->dialogs.confirm(f->path("first.dot"));
        f->messages.answers << platform::MsgResult::Yes;
        QTest::mouseClick(w->Cmd_Save, Qt::LeftButton);
        QCOMPARE(f->messageTexts(), (QStringList{kOverwrite, "文件保存没有成功！"}));
        QVERIFY(!QFileInfo(f->path("first.dot")).isFile());
    }
};

QTEST_MAIN(TstWindowCode)
#include "tst_window_code.moc"
