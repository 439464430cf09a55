#include "../glyph/RecordingVek.h"
#include "AppInfo.h"
#include "codegen/CodeText.h"
#include "codegen/CodeView.h"
#include "kivaro/Vek.h"

#include <QTest>

using orvane::BuildCodeString;
using orvane::BuildCodeText;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString header(bool asm51, const QString& subject) {
    const QString mark = asm51 ? ";" : "//";
    return mark + subject + kCrLf + mark + "Pointillo V1.0 作者：" + orvane::kAuthor + "  电邮：" +
           orvane::kEmail + kCrLf + mark + (asm51 ? "Asm51" : "C51") +
           " Code,逐行从上到下取模,每行左为最高位" + kCrLf + mark + "Creat By Pointillo V1.0" +
           kCrLf;
}

// The data part: everything after the four header lines (and after "DB " in Asm51).
QString dataOf(const QString& text, bool asm51) {
    QString data = text.section(kCrLf, 4);
    if (asm51) {
        if (!data.startsWith(QLatin1String("DB ")))
            return QStringLiteral("<no DB>");
        data.remove(0, 3);
    }
    return data;
}

void shape(kivaro::Vek& vek, int rows, int lines) {
    vek.setMaxRows(static_cast<std::uint8_t>(rows));
    vek.setMaxLines(static_cast<std::uint8_t>(lines));
}

void light(kivaro::Vek& vek, int x, int y) {
    std::uint8_t X = std::uint8_t(x), Y = std::uint8_t(y);
    vek.SetBit(X, Y);
}

// The number form of one byte, written from the table of forms rather than from the generator.
QString numberForm(int b, bool asm51) {
    const QString hex = QString::number(b, 16).toUpper();
    if (asm51)
        return (b < 16 || b > 159 ? QStringLiteral("0") : QString()) + hex + QStringLiteral("H");
    return QStringLiteral("0x") + hex.rightJustified(2, QLatin1Char('0'));
}

} // namespace

class tst_CodeGen : public QObject {
    Q_OBJECT

private slots:
    void workedExampleInAllFourForms_data();
    void workedExampleInAllFourForms();
    void everyByteHasItsNumberForm_data();
    void everyByteHasItsNumberForm();
    void smallMatricesPackAsStated_data();
    void smallMatricesPackAsStated();
    void longLinesEndInAShortLowGroup_data();
    void longLinesEndInAShortLowGroup();
    void headerEndsBeforeTheDataLine_data();
    void headerEndsBeforeTheDataLine();
    void firstLineNamesCharacterOrPictureFile_data();
    void firstLineNamesCharacterOrPictureFile();
    void eachDotIsQueriedOnceInGroupOrder_data();
    void eachDotIsQueriedOnceInGroupOrder();
    void codeViewReceivesTheWholeText();
    void failingControlLeavesThePreviousText();
    void codeViewGivesBackCarriageReturns();
    void typedTextEndsLinesWithCrLf();
};

void tst_CodeGen::workedExampleInAllFourForms_data() {
    QTest::addColumn<bool>("rowWise");
    QTest::addColumn<bool>("asm51");
    QTest::addColumn<QString>("data");
    QTest::newRow("Asm51 row-wise") << true << true << "DB 0C0H,02H,41H,01H";
    QTest::newRow("C51 row-wise") << true << false << "0xC0,0x02,0x41,0x01";
    QTest::newRow("Asm51 column-wise")
        << false << true << "DB 02H,03H,00H,00H,00H,00H,00H,01H,02H,01H";
    QTest::newRow("C51 column-wise")
        << false << false << "0x02,0x03,0x00,0x00,0x00,0x00,0x00,0x01,0x02,0x01";
}

void tst_CodeGen::workedExampleInAllFourForms() {
    QFETCH(bool, rowWise);
    QFETCH(bool, asm51);
    QFETCH(QString, data);
    kivaro::Vek vek;
    shape(vek, 10, 2);
    for (const QPoint& p :
         {QPoint(1, 1), QPoint(2, 1), QPoint(9, 1), QPoint(2, 2), QPoint(8, 2), QPoint(10, 2)})
        light(vek, p.x(), p.y());

    QCOMPARE(BuildCodeString(vek, rowWise, asm51, QStringLiteral("A")),
             header(asm51, QStringLiteral("A")) + data);
}

void tst_CodeGen::everyByteHasItsNumberForm_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("asmForm");
    QTest::addColumn<QString>("cForm");
    const QHash<int, QPair<QString, QString>> literal{
        {0, {"00H", "0x00"}},   {15, {"0FH", "0x0F"}},   {16, {"10H", "0x10"}},
        {159, {"9FH", "0x9F"}}, {160, {"0A0H", "0xA0"}}, {255, {"0FFH", "0xFF"}}};
    for (int b = 0; b < 256; ++b) {
        const auto forms = literal.value(b, {numberForm(b, true), numberForm(b, false)});
        QTest::addRow("%d", b) << b << forms.first << forms.second;
    }
}

void tst_CodeGen::everyByteHasItsNumberForm() {
    QFETCH(int, value);
    QFETCH(QString, asmForm);
    QFETCH(QString, cForm);
    RecordingVek control(8, 1);
    for (int x = 1; x <= 8; ++x)
        control.SetDot(x, 1, value & (0x80 >> (x - 1)));
    QCOMPARE(dataOf(BuildCodeString(control, true, true, {}), true), asmForm);
    QCOMPARE(dataOf(BuildCodeString(control, true, false, {}), false), cForm);
    // One line of eight dots read column-wise: eight one-dot columns, each 0 or 1.
    QCOMPARE(dataOf(BuildCodeString(control, false, false, {}), false).count(','), 7);
}

void tst_CodeGen::smallMatricesPackAsStated_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QList<QPoint>>("lit");
    QTest::addColumn<bool>("rowWise");
    QTest::addColumn<QString>("c51");
    QTest::newRow("1x1 lit") << 1 << 1 << QList<QPoint>{{1, 1}} << true << "0x01";
    QTest::newRow("1x1 dark") << 1 << 1 << QList<QPoint>{} << true << "0x00";
    QTest::newRow("1x1 lit column-wise") << 1 << 1 << QList<QPoint>{{1, 1}} << false << "0x01";
    QTest::newRow("8x1 leftmost") << 8 << 1 << QList<QPoint>{{1, 1}} << true << "0x80";
    QTest::newRow("9x1 first and last")
        << 9 << 1 << QList<QPoint>{{1, 1}, {9, 1}} << true << "0x80,0x01";
    QTest::newRow("1x9 column-wise top and bottom")
        << 1 << 9 << QList<QPoint>{{1, 1}, {1, 9}} << false << "0x80,0x01";
    QTest::newRow("10x2 column 9 in bit 1")
        << 10 << 2 << QList<QPoint>{{9, 2}} << true << "0x00,0x00,0x00,0x02";
    QTest::newRow("3x1 short group low") << 3 << 1 << QList<QPoint>{{1, 1}} << true << "0x04";
}

void tst_CodeGen::smallMatricesPackAsStated() {
    QFETCH(int, rows);
    QFETCH(int, lines);
    QFETCH(QList<QPoint>, lit);
    QFETCH(bool, rowWise);
    QFETCH(QString, c51);
    kivaro::Vek vek;
    shape(vek, rows, lines);
    for (const QPoint& p : lit)
        light(vek, p.x(), p.y());
    QCOMPARE(dataOf(BuildCodeString(vek, rowWise, false, {}), false), c51);
    QString asmData = c51;
    asmData.replace(QLatin1String("0x"), QString());
    QStringList asmBytes = asmData.split(',');
    for (QString& b : asmBytes)
        b = numberForm(b.toInt(nullptr, 16), true);
    QCOMPARE(dataOf(BuildCodeString(vek, rowWise, true, {}), true), asmBytes.join(','));
}

void tst_CodeGen::longLinesEndInAShortLowGroup_data() {
    QTest::addColumn<int>("along");
    QTest::addColumn<bool>("rowWise");
    for (int n : {16, 249, 250, 251, 252, 253, 254}) {
        QTest::addRow("%d across, row-wise", n) << n << true;
        QTest::addRow("%d down, column-wise", n) << n << false;
    }
}

// Light the first dot of every line's (or column's) last group and the last dot of the
// matrix; the rest of the matrix stays dark.
void tst_CodeGen::longLinesEndInAShortLowGroup() {
    QFETCH(int, along);
    QFETCH(bool, rowWise);
    const int across = 16;
    kivaro::Vek vek;
    shape(vek, rowWise ? along : across, rowWise ? across : along);
    const int lastGroupStart = (along - 1) / 8 * 8 + 1;
    const int shortLength = along - lastGroupStart + 1;
    for (int k = 1; k <= across; ++k)
        rowWise ? light(vek, lastGroupStart, k) : light(vek, k, lastGroupStart);

    const QString data = dataOf(BuildCodeString(vek, rowWise, false, {}), false);
    const QStringList bytes = data.split(',');
    const int perLine = (along + 7) / 8;
    QCOMPARE(bytes.size(), across * perLine);
    QVERIFY(!data.endsWith(','));
    QVERIFY(!data.contains(QLatin1String(",,")) && !data.contains('\r') && !data.contains('\n'));
    for (int k = 0; k < bytes.size(); ++k) {
        const bool last = k % perLine == perLine - 1;
        const int want = last ? 1 << (shortLength - 1) : 0;
        QCOMPARE(bytes[k], numberForm(want, false));
    }
}

void tst_CodeGen::headerEndsBeforeTheDataLine_data() {
    QTest::addColumn<bool>("asm51");
    QTest::addColumn<bool>("rowWise");
    QTest::newRow("C51 row-wise") << false << true;
    QTest::newRow("C51 column-wise") << false << false;
    QTest::newRow("Asm51 row-wise") << true << true;
    QTest::newRow("Asm51 column-wise") << true << false;
}

void tst_CodeGen::headerEndsBeforeTheDataLine() {
    QFETCH(bool, asm51);
    QFETCH(bool, rowWise);
    RecordingVek control(16, 16);
    const QString text = BuildCodeString(control, rowWise, asm51, QStringLiteral("英"));
    const QStringList lines = text.split(kCrLf);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[2],
             QString(asm51 ? ";Asm51" : "//C51") + " Code,逐行从上到下取模,每行左为最高位");
    QCOMPARE(lines[4].startsWith("DB 0"), asm51);
    QCOMPARE(lines[4].startsWith("0x"), !asm51);
    QCOMPARE(lines[4].count(','), 31);
    QCOMPARE(text.count('\r'), 4);
    QCOMPARE(text.count('\n'), 4);
}

void tst_CodeGen::firstLineNamesCharacterOrPictureFile_data() {
    QTest::addColumn<bool>("charMode");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("character") << true << "A"
                               << "/pics/a.bmp"
                               << ";A";
    QTest::newRow("empty character") << true << ""
                                     << "/pics/a.bmp"
                                     << ";";
    QTest::newRow("picture") << false << "A"
                             << "/pics/a.bmp"
                             << ";/pics/a.bmp";
    QTest::newRow("picture after a save") << false << "A"
                                          << "/tools/A.dot"
                                          << ";/tools/A.dot";
}

void tst_CodeGen::firstLineNamesCharacterOrPictureFile() {
    QFETCH(bool, charMode);
    QFETCH(QString, typed);
    QFETCH(QString, fileName);
    QFETCH(QString, firstLine);
    RecordingVek control(8, 8);
    const QString subject = orvane::CodeSubject(charMode, typed, fileName);
    QCOMPARE(BuildCodeString(control, true, true, subject).section(kCrLf, 0, 0), firstLine);
}

void tst_CodeGen::eachDotIsQueriedOnceInGroupOrder_data() {
    QTest::addColumn<bool>("rowWise");
    QTest::newRow("row-wise") << true;
    QTest::newRow("column-wise") << false;
}

void tst_CodeGen::eachDotIsQueriedOnceInGroupOrder() {
    QFETCH(bool, rowWise);
    RecordingVek control(10, 3);
    BuildCodeString(control, rowWise, false, {});
    QList<RecordingVek::Call> want;
    for (int outer = 1; outer <= (rowWise ? 3 : 10); ++outer)
        for (int k = 1; k <= (rowWise ? 10 : 3); ++k)
            want.append({'B', rowWise ? k : outer, rowWise ? outer : k});
    QCOMPARE(control.calls, want);
    QCOMPARE(control.RowReads(), 1);
    QCOMPARE(control.LineReads(), 1);
}

void tst_CodeGen::codeViewReceivesTheWholeText() {
    kivaro::Vek vek;
    shape(vek, 16, 16);
    light(vek, 1, 1);
    orvane::CodeView view;
    view.SetText(QStringLiteral("old"));
    BuildCodeText(vek, view, true, false, QStringLiteral("A"));
    QCOMPARE(view.Text(), BuildCodeString(vek, true, false, QStringLiteral("A")));
    QVERIFY(view.Text().contains(QLatin1String("0x80,0x00,")));
}

void tst_CodeGen::failingControlLeavesThePreviousText() {
    RecordingVek control(8, 8);
    control.FailBit();
    orvane::CodeView view;
    view.SetText(QStringLiteral("previous\r\ntext"));
    QVERIFY_THROWS_EXCEPTION(platform::PlatformError,
                             BuildCodeText(control, view, true, true, QStringLiteral("A")));
    QCOMPARE(view.Text(), QStringLiteral("previous\r\ntext"));
}

void tst_CodeGen::codeViewGivesBackCarriageReturns() {
    orvane::CodeView view;
    const QString text = QStringLiteral(";A\r\n;x\u00a0y\r\nDB 00H\rlone\nend");
    view.SetText(text);
    QCOMPARE(view.Text(), text);
    QVERIFY(!view.toPlainText().contains('\r'));
    QCOMPARE(view.toPlainText().count('\n'), 4);
}

void tst_CodeGen::typedTextEndsLinesWithCrLf() {
    orvane::CodeView view;
    view.SetText(QStringLiteral("a\r\nb"));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.moveCursor(QTextCursor::End);
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClicks(&view, QStringLiteral("c"));
    QCOMPARE(view.Text(), QStringLiteral("a\r\nb\r\nc"));
}

QTEST_MAIN(tst_CodeGen)
#include "tst_codegen.moc"
