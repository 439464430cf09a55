// The control as a host meets it: the class its library declares, creation by ProgID, calls by
// dispatch identifier as a late-binding host makes them, and the saved form in the host's
// property bag.

#include "HostedVek.h"
#include "platform/PropertyBag.h"

#include <QJsonArray>
#include <QTest>

using kivaro::Vek;
using platform::InvokeKind;
using platform::PropertyBag;
using namespace testing;
namespace DispId = kivaro::DispId;

Q_DECLARE_METATYPE(platform::InvokeKind)

namespace {

QVariant invoke(Vek& vek, int dispId, InvokeKind kind, QVariantList args = {}) {
    return vek.Invoke(dispId, kind, args);
}

} // namespace

class tst_VekHost : public QObject {
    Q_OBJECT

private slots:
    // ---- Registration and creation ----

    void theLibraryDeclaresTheClassWithItsInterfaces() {
        const platform::RegisteredClass found =
            platform::ControlHost::FindClass("zorvik_vekdisplay.VEK");
        QCOMPARE(found.className, QString("Vek"));
        const QJsonValue vek = found.description["Classes"][0];
        QCOMPARE(vek["EventInterface"]["Name"].toString(), QString("__Vek"));
        QStringList members;
        for (const QJsonValue member : vek["DefaultInterface"]["Members"].toArray())
            members << QStringLiteral("%1 0x%2")
                           .arg(member["Name"].toString())
                           .arg(member["DispId"].toInt(), 0, 16);
        QCOMPARE(members,
                 (QStringList{"MaxLines 0x68030007", "MaxRows 0x68030006", "SetBit 0x60030009",
                              "ClrBit 0x6003000a", "SetAll 0x6003000b", "ClrAll 0x6003000c",
                              "Bit 0x6003000d", "OnSetColor 0x68030005", "OnClrColor 0x68030004",
                              "LedRadius 0x68030003", "Enable 0x68030002", "Clr 0x60030016"}));
    }

    void anUnknownProgIdCreatesNothing() {
        QWidget container;
        try {
            platform::ControlHost::CreateControl("Zorvik_VekDisplay.Nothing", &container, nullptr,
                                                 nullptr);
            QFAIL("a control was created");
        } catch (const platform::PlatformError& e) {
            QCOMPARE(e.number(), int(platform::kErrCannotCreateObject));
            QVERIFY(QString(e.what()).contains("Zorvik_VekDisplay.Nothing"));
        }
    }

    void aControlCreatedWithAStoredFormLoadsIt() {
        const PropertyBag stored = PropertyBag::FromText("maxlines = 16");
        HostedVek host(&stored);
        QCOMPARE(host.vek->parentWidget(), &host.container);
        QCOMPARE(host.vek->size(), QSize(112, 224)); // 8 x 16 dots at radius 5
    }

    // ---- Late binding ----

    void coordinatesComeBackCorrectedToALateBoundCaller() {
        HostedVek host;
        QVariantList at{200, 0};
        host.vek->Invoke(DispId::SetBit, InvokeKind::Method, at);
        QCOMPARE(at, (QVariantList{8, 1}));
        at = {9, 0};
        QCOMPARE(host.vek->Invoke(DispId::Bit, InvokeKind::Method, at), QVariant(1));
        QCOMPARE(at, (QVariantList{8, 1}));
        at = {200, 1};
        host.vek->Invoke(DispId::ClrBit, InvokeKind::Method, at);
        QCOMPARE(at, (QVariantList{8, 1}));
        QCOMPARE(litDots(*host.vek), QStringList());
    }

    void methodsCalledByDispatchIdentifierPaint() {
        HostedVek host;
        invoke(*host.vek, DispId::SetAll, InvokeKind::Method);
        QCOMPARE(picture(*host.vek), allDots(*host.vek, true));
        invoke(*host.vek, DispId::ClrAll, InvokeKind::Method);
        QCOMPARE(picture(*host.vek), allDots(*host.vek, false));
        invoke(*host.vek, DispId::Clr, InvokeKind::Method);
        QCOMPARE(sampled(*host.vek, 1, 1), kBackground);
        QCOMPARE(host.events, (QStringList{"Changed", "Changed"}));
    }

    // A call the interface does not have, or with arguments it cannot take, fails with the
    // platform's error and changes nothing.
    void aLateBoundCallThatCannotRunFails_data() {
        QTest::addColumn<int>("dispId");
        QTest::addColumn<InvokeKind>("kind");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<int>("error");
        const int lacks = platform::kErrNotSupported;
        const int wrongCount = platform::kErrWrongArgCount;
        const QVariantList none, one{1}, two{1, 1};
        const InvokeKind call = InvokeKind::Method, put = InvokeKind::PropertyPut;
        const InvokeKind get = InvokeKind::PropertyGet;
        QTest::newRow("an unknown identifier") << 0x60030099 << call << none << lacks;
        QTest::newRow("Bit put") << DispId::Bit << put << two << lacks;
        QTest::newRow("SetAll read") << DispId::SetAll << get << none << lacks;
        QTest::newRow("SetBit with one coordinate") << DispId::SetBit << call << one << wrongCount;
        QTest::newRow("MaxRows put without a value")
            << DispId::MaxRows << put << none << wrongCount;
        QTest::newRow("a coordinate in words")
            << DispId::Bit << call << QVariantList{"x", 1} << int(platform::kErrTypeMismatch);
    }
    void aLateBoundCallThatCannotRunFails() {
        QFETCH(int, dispId);
        QFETCH(InvokeKind, kind);
        QFETCH(QVariantList, args);
        QFETCH(int, error);
        HostedVek host;
        invoke(*host.vek, DispId::SetBit, InvokeKind::Method, {2, 2});
        host.forget();
        QCOMPARE(errorOf([&] { host.vek->Invoke(dispId, kind, args); }), error);
        QCOMPARE(litDots(*host.vek), QStringList{"(2, 2)"});
        QCOMPARE(host.events, QStringList());
    }

    // ---- The saved form ----

    // Only what differs from 8 x 8, red on dark red, radius 5 and editing on is stored; never
    // the dots.
    void savingStoresWhatDiffersFromTheDefaults() {
        HostedVek host;
        host.vek->SetAll();
        PropertyBag fresh, changed;
        host.vek->WriteProperties(fresh);
        QCOMPARE(fresh.ToText(), QString("ledradius = 4\n"));
        host.vek->setMaxLines(16);
        host.vek->setMaxRows(32);
        host.vek->setLedRadius(5);
        host.vek->setEnable(false);
        host.vek->setOnSetColor(kivaro::Green);
        host.vek->setOnClrColor(kivaro::BGreen);
        host.vek->WriteProperties(changed);
        QCOMPARE(changed.ToText(), QString("maxlines = 16\nmaxrows = 32\nenable = 0\n"
                                           "onsetcolor = 65280\nonclrcolor = 32768\n"));
    }

    // A load puts every dot out.
    void loadingASavedForm_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QSize>("dots");
        QTest::addColumn<int>("radius");
        QTest::addColumn<bool>("enable");
        QTest::addColumn<QColor>("lit");
        QTest::addColumn<QColor>("unlit");
        QTest::newRow("an empty form gives the defaults")
            << "" << QSize(8, 8) << 5 << true << kRed << kDarkRed;
        QTest::newRow("a saved form gives what it holds")
            << "maxrows = 32\nenable = 0\nledradius = 3\nonsetcolor = 65280\nonclrcolor = 32768"
            << QSize(32, 8) << 3 << false << kGreen << kDarkGreen;
    }
    void loadingASavedForm() {
        QFETCH(QString, form);
        QFETCH(QSize, dots);
        QFETCH(int, radius);
        QFETCH(bool, enable);
        QFETCH(QColor, lit);
        QFETCH(QColor, unlit);
        HostedVek host;
        host.vek->setMaxLines(20);
        host.vek->setMaxRows(20);
        host.vek->SetAll();
        host.vek->ReadProperties(PropertyBag::FromText(form));
        QCOMPARE(QSize(host.vek->MaxRows(), host.vek->MaxLines()), dots);
        QCOMPARE(int(host.vek->LedRadius()), radius);
        QCOMPARE(host.vek->Enable(), enable);
        QCOMPARE(platform::ToQColor(host.vek->OnSetColor()), lit);
        QCOMPARE(platform::ToQColor(host.vek->OnClrColor()), unlit);
        QCOMPARE(sampled(*host.vek, 8, 8), unlit);
    }

    // A stored value that does not fit its field ends the load with its error; what was read
    // before it stays, and the panel is not repainted.
    void aBadStoredValueEndsTheLoad_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("error");
        QTest::addColumn<QSize>("dots");
        QTest::newRow("MaxRows -1 after MaxLines 12")
            << "maxlines = 12\nmaxrows = -1" << int(platform::kErrOverflow) << QSize(20, 12);
        QTest::newRow("Enable in words after MaxLines 12")
            << "MaxLines=12\nENABLE = yes" << int(platform::kErrTypeMismatch) << QSize(8, 12);
    }
    void aBadStoredValueEndsTheLoad() {
        QFETCH(QString, form);
        QFETCH(int, error);
        QFETCH(QSize, dots);
        HostedVek host;
        host.vek->setMaxLines(20);
        host.vek->setMaxRows(20);
        host.vek->SetAll();
        host.forget();
        QCOMPARE(errorOf([&] { host.vek->ReadProperties(PropertyBag::FromText(form)); }), error);
        QCOMPARE(QSize(host.vek->MaxRows(), host.vek->MaxLines()), dots);
        QCOMPARE(host.vek->Enable(), true);
        QCOMPARE(picture(*host.vek), allDots(*host.vek, true));
    }
};

QTEST_MAIN(tst_VekHost)
#include "tst_vekhost.moc"
