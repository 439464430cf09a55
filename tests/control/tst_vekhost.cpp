// The control as a host meets it: calls by dispatch identifier as a late-binding host makes
// them, and the saved form in the host's property bag.

#include "HostedVek.h"
#include "platform/PropertyBag.h"

#include <QTest>

using platform::InvokeKind;
using platform::PropertyBag;
using namespace testing;
namespace DispId = kivaro::DispId;

Q_DECLARE_METATYPE(platform::InvokeKind)

namespace {

QVariant invoke(kivaro::Vek& vek, int dispId, QVariantList args = {},
                InvokeKind kind = InvokeKind::Method) {
    return vek.Invoke(dispId, kind, args);
}

} // namespace

class tst_VekHost : public QObject {
    Q_OBJECT

private slots:
    // SetBit, Bit and ClrBit hand the coordinates back corrected to the new 8 x 8 panel.
    void methodsCalledByDispatchIdentifierPaintAndCorrectTheCoordinates() {
        HostedVek host;
        QVariantList at{200, 0};
        host.vek->Invoke(DispId::SetBit, InvokeKind::Method, at);
        QCOMPARE(at, (QVariantList{8, 1}));
        QCOMPARE(litDots(*host.vek), QStringList{"(8, 1)"});
        at = {0, 9};
        QCOMPARE(host.vek->Invoke(DispId::Bit, InvokeKind::Method, at), QVariant(0));
        QCOMPARE(at, (QVariantList{1, 8}));
        at = {9, 0};
        host.vek->Invoke(DispId::ClrBit, InvokeKind::Method, at);
        QCOMPARE(at, (QVariantList{8, 1}));
        QCOMPARE(litDots(*host.vek), QStringList());
        invoke(*host.vek, DispId::SetAll);
        QCOMPARE(litDots(*host.vek).size(), 64);
        invoke(*host.vek, DispId::ClrAll);
        QCOMPARE(litDots(*host.vek), QStringList());
        invoke(*host.vek, DispId::Clr);
        QCOMPARE(sampled(*host.vek, 4, 4), kBackground);
        QCOMPARE(host.events, (QStringList{"Changed", "Changed", "Changed", "Changed"}));
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
        const InvokeKind call = InvokeKind::Method, put = InvokeKind::PropertyPut;
        QTest::newRow("an unknown identifier") << 0x60030099 << call << QVariantList() << lacks;
        QTest::newRow("Bit put") << DispId::Bit << put << QVariantList{1, 1} << lacks;
        QTest::newRow("SetBit with one coordinate")
            << DispId::SetBit << call << QVariantList{1} << wrongCount;
    }
    void aLateBoundCallThatCannotRunFails() {
        QFETCH(int, dispId);
        QFETCH(InvokeKind, kind);
        QFETCH(QVariantList, args);
        QFETCH(int, error);
        HostedVek host;
        invoke(*host.vek, DispId::SetBit, {2, 2});
        host.forget();
        QCOMPARE(errorOf([&] { host.vek->Invoke(dispId, kind, args); }), error);
        QCOMPARE(litDots(*host.vek), QStringList{"(2, 2)"});
        QCOMPARE(host.events, QStringList());
    }

    // Only what differs from 8 x 8, red on dark red, radius 5 and editing on is stored; never
    // the dots. The properties are put as a late-binding host puts them.
    void savingStoresWhatDiffersFromTheDefaults() {
        HostedVek host;
        host.vek->SetAll();
        PropertyBag fresh, changed;
        host.vek->WriteProperties(fresh);
        QCOMPARE(fresh.ToText(), QString("ledradius = 4\n"));
        const InvokeKind put = InvokeKind::PropertyPut;
        invoke(*host.vek, DispId::MaxLines, {16}, put);
        invoke(*host.vek, DispId::MaxRows, {32}, put);
        invoke(*host.vek, DispId::LedRadius, {5}, put);
        invoke(*host.vek, DispId::Enable, {false}, put);
        invoke(*host.vek, DispId::OnSetColor, {int(kivaro::Green)}, put);
        invoke(*host.vek, DispId::OnClrColor, {int(kivaro::BGreen)}, put);
        host.vek->WriteProperties(changed);
        QCOMPARE(changed.ToText(), QString("maxlines = 16\nmaxrows = 32\nenable = 0\n"
                                           "onsetcolor = 65280\nonclrcolor = 32768\n"));
    }

    // A stored value that does not fit its field ends the load with its error; what was read
    // before it stays, and the panel is not repainted.
    void aBadStoredValueEndsTheLoad() {
        HostedVek host;
        host.vek->setMaxLines(20);
        host.vek->setMaxRows(20);
        host.vek->SetAll();
        const PropertyBag form = PropertyBag::FromText("MaxLines=12\nENABLE = yes");
        QCOMPARE(errorOf([&] { host.vek->ReadProperties(form); }), platform::kErrTypeMismatch);
        QCOMPARE(QSize(host.vek->MaxRows(), host.vek->MaxLines()), QSize(8, 12));
        QCOMPARE(host.vek->Enable(), true);
        QCOMPARE(litDots(*host.vek).size(), 8 * 12);
    }
};

QTEST_MAIN(tst_VekHost)
#include "tst_vekhost.moc"
