#include "platform/Colour.h"
#include "platform/PlatformError.h"
#include "platform/PropertyBag.h"
#include "platform/Rounding.h"

#include <QTest>

using platform::PlatformError;
using platform::PropertyBag;

class TestPropertyBag : public QObject {
    Q_OBJECT

private slots:
    void valueEqualToDefaultIsNotStored_data();
    void valueEqualToDefaultIsNotStored();
    void writingTheDefaultDropsAnEarlierEntry();
    void missingKeyReadsAsTheDefaultOfTheRead();
    void keysMatchWithoutRegardToCase();
    void savedFormRoundTrips();
    void unreadableSavedLineIsAnError();
    void conversionsToFieldTypes_data();
    void conversionsToFieldTypes();
    void conversionFailuresCarryTheirNumbers_data();
    void conversionFailuresCarryTheirNumbers();
    void coloursConvertBothWays_data();
    void coloursConvertBothWays();
    void roundingGoesHalfToEven_data();
    void roundingGoesHalfToEven();
    void sixteenBitConversionOverflows();
};

void TestPropertyBag::valueEqualToDefaultIsNotStored_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("defaultValue");
    QTest::addColumn<bool>("stored");
    QTest::newRow("byte equal to int default") << QVariant::fromValue<quint8>(8) << QVariant(8) << false;
    QTest::newRow("byte differing") << QVariant::fromValue<quint8>(4) << QVariant(5) << true;
    QTest::newRow("true against true") << QVariant(true) << QVariant(true) << false;
    QTest::newRow("false against true") << QVariant(false) << QVariant(true) << true;
    QTest::newRow("colour equal") << QVariant(0xFF) << QVariant(0xFF) << false;
    QTest::newRow("colour differing") << QVariant(0xFF00) << QVariant(0xFF) << true;
    QTest::newRow("no default given") << QVariant(0) << QVariant() << true;
}

void TestPropertyBag::valueEqualToDefaultIsNotStored() {
    QFETCH(QVariant, value);
    QFETCH(QVariant, defaultValue);
    QFETCH(bool, stored);
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Key"), value, defaultValue);
    QCOMPARE(bag.Contains(QStringLiteral("Key")), stored);
    QCOMPARE(bag.Count(), stored ? 1 : 0);
}

void TestPropertyBag::writingTheDefaultDropsAnEarlierEntry() {
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("LedRadius"), 4, 5);
    bag.WriteProperty(QStringLiteral("LedRadius"), 5, 5);
    QVERIFY(!bag.Contains(QStringLiteral("LedRadius")));
    QCOMPARE(bag.ReadProperty(QStringLiteral("LedRadius"), 5).toInt(), 5);
}

void TestPropertyBag::missingKeyReadsAsTheDefaultOfTheRead() {
    PropertyBag bag;
    QCOMPARE(bag.ReadProperty(QStringLiteral("MaxLines"), 8).toInt(), 8);
    QCOMPARE(bag.ReadProperty(QStringLiteral("MaxLines"), 9).toInt(), 9);
}

void TestPropertyBag::keysMatchWithoutRegardToCase() {
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("OnSetColor"), 0xFF00, 0xFF);
    QCOMPARE(bag.ReadProperty(QStringLiteral("onsetcolor"), 0).toInt(), 0xFF00);
    QCOMPARE(bag.ReadProperty(QStringLiteral("ONSETCOLOR"), 0).toInt(), 0xFF00);
    bag.WriteProperty(QStringLiteral("onSetColor"), 0xFF0000, 0xFF);
    QCOMPARE(bag.Count(), 1);
    QCOMPARE(bag.Keys(), QStringList{QStringLiteral("onsetcolor")});
}

void TestPropertyBag::savedFormRoundTrips() {
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("MaxLines"), 16, 8);
    bag.WriteProperty(QStringLiteral("Enable"), false, true);
    bag.WriteProperty(QStringLiteral("OnClrColor"), 0x8000, 0x50);
    const QString text = bag.ToText();
    QCOMPARE(text, QStringLiteral("maxlines = 16\nenable = 0\nonclrcolor = 32768\n"));
    const PropertyBag back = PropertyBag::FromText(text);
    QCOMPARE(back.Keys(), bag.Keys());
    QCOMPARE(platform::ToByte(back.ReadProperty(QStringLiteral("MaxLines"), 8)), 16);
    QCOMPARE(platform::ToBoolean(back.ReadProperty(QStringLiteral("Enable"), true)), false);
    QCOMPARE(platform::ToLong(back.ReadProperty(QStringLiteral("OnClrColor"), 0x50)), 0x8000);
}

void TestPropertyBag::unreadableSavedLineIsAnError() {
    try {
        PropertyBag::FromText(QStringLiteral("maxlines = 16\nthis is not a property\n"));
        QFAIL("an unreadable line was accepted");
    } catch (const PlatformError& e) {
        QCOMPARE(e.number(), int(platform::kErrTypeMismatch));
    }
}

void TestPropertyBag::conversionsToFieldTypes_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("asByte");
    QTest::addColumn<bool>("asBoolean");
    QTest::newRow("zero") << QVariant(0) << 0 << false;
    QTest::newRow("top of a byte") << QVariant(255) << 255 << true;
    QTest::newRow("numeric text") << QVariant(QStringLiteral("16")) << 16 << true;
    QTest::newRow("true is minus one") << QVariant(true) << -1 << true;
}

void TestPropertyBag::conversionsToFieldTypes() {
    QFETCH(QVariant, value);
    QFETCH(int, asByte);
    QFETCH(bool, asBoolean);
    QCOMPARE(platform::ToBoolean(value), asBoolean);
    if (asByte < 0) {
        QVERIFY_THROWS_EXCEPTION(PlatformError, platform::ToByte(value));
        QCOMPARE(platform::ToLong(value), -1);
    } else {
        QCOMPARE(int(platform::ToByte(value)), asByte);
        QCOMPARE(platform::ToLong(value), asByte);
    }
}

void TestPropertyBag::conversionFailuresCarryTheirNumbers_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("number");
    QTest::newRow("above a byte") << QVariant(256) << int(platform::kErrOverflow);
    QTest::newRow("negative byte") << QVariant(-1) << int(platform::kErrOverflow);
    QTest::newRow("not a number") << QVariant(QStringLiteral("green")) << int(platform::kErrTypeMismatch);
}

void TestPropertyBag::conversionFailuresCarryTheirNumbers() {
    QFETCH(QVariant, value);
    QFETCH(int, number);
    try {
        platform::ToByte(value);
        QFAIL("the conversion did not fail");
    } catch (const PlatformError& e) {
        QCOMPARE(e.number(), number);
    }
}

void TestPropertyBag::coloursConvertBothWays_data() {
    QTest::addColumn<quint32>("bgr");
    QTest::addColumn<QRgb>("argb");
    QTest::newRow("red") << quint32(0xFF) << QRgb(0xFFFF0000);
    QTest::newRow("green") << quint32(0xFF00) << QRgb(0xFF00FF00);
    QTest::newRow("blue") << quint32(0xFF0000) << QRgb(0xFF0000FF);
    QTest::newRow("dark purple") << quint32(0x400040) << QRgb(0xFF400040);
    QTest::newRow("brown orange") << quint32(0x0040C0) << QRgb(0xFFC04000);
}

void TestPropertyBag::coloursConvertBothWays() {
    QFETCH(quint32, bgr);
    QFETCH(QRgb, argb);
    QCOMPARE(platform::ToQRgb(bgr), argb);
    QCOMPARE(platform::FromQRgb(argb), bgr);
}

void TestPropertyBag::roundingGoesHalfToEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<long>("rounded");
    QTest::newRow("0.5") << 0.5 << 0L;
    QTest::newRow("1.5") << 1.5 << 2L;
    QTest::newRow("2.5") << 2.5 << 2L;
    QTest::newRow("-0.5") << -0.5 << 0L;
    QTest::newRow("-1.5") << -1.5 << -2L;
    QTest::newRow("142.5") << 142.5 << 142L;
    QTest::newRow("2.4") << 2.4 << 2L;
}

void TestPropertyBag::roundingGoesHalfToEven() {
    QFETCH(double, value);
    QFETCH(long, rounded);
    QCOMPARE(platform::RoundHalfEven(value), rounded);
    QCOMPARE(long(platform::ToInt16(value)), rounded);
}

void TestPropertyBag::sixteenBitConversionOverflows() {
    QCOMPARE(platform::ToInt16(32767.4), qint16(32767));
    QVERIFY_THROWS_EXCEPTION(PlatformError, platform::ToInt16(32767.5));
    QVERIFY_THROWS_EXCEPTION(PlatformError, platform::ToInt16(-32769.0));
}

QTEST_GUILESS_MAIN(TestPropertyBag)
#include "tst_propertybag.moc"
