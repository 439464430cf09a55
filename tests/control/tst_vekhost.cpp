// The Vek control as a host sees it: created by ProgID from the program's folder, described
// by its own registration, and called late-bound by dispatch identifier. This test links the
// interface header only, never the library, as a host does.

#include "kivaro/IVek.h"
#include "platform/ControlHost.h"
#include "platform/ControlSite.h"
#include "platform/PlatformError.h"
#include "platform/PropertyBag.h"

#include <QJsonArray>
#include <QTest>
#include <QWidget>

using platform::InvokeKind;
namespace DispId = kivaro::DispId;

namespace {

struct Hosted {
    QWidget container;
    platform::ControlSite site;
    platform::IControl* control = nullptr;

    explicit Hosted(const platform::PropertyBag* stored = nullptr) {
        control = platform::ControlHost::CreateControl(kivaro::kProgId, &container, &site, stored);
    }
    QVariant invoke(std::int32_t id, InvokeKind kind, QVariantList args = {}) {
        return control->Invoke(id, kind, args);
    }
};

} // namespace

class TstVekHost : public QObject {
    Q_OBJECT

private slots:
    void registrationDescribesTheDispatchInterface() {
        const platform::RegisteredClass cls =
            platform::ControlHost::FindClass("zorvik_vekdisplay.VEK");
        QCOMPARE(cls.className, QStringLiteral("Vek"));
        const QJsonObject vek = cls.description["Classes"].toArray().first().toObject();
        QCOMPARE(vek["EventInterface"]["Name"].toString(), QStringLiteral("__Vek"));
        QStringList names;
        QList<int> ids;
        for (const QJsonValue m : vek["DefaultInterface"]["Members"].toArray())
            names << m["Name"].toString(), ids << m["DispId"].toInt();
        QCOMPARE(names.join(' '), "MaxLines MaxRows SetBit ClrBit SetAll ClrAll Bit OnSetColor "
                                  "OnClrColor LedRadius Enable Clr");
        QCOMPARE(ids,
                 (QList<int>{DispId::MaxLines, DispId::MaxRows, DispId::SetBit, DispId::ClrBit,
                             DispId::SetAll, DispId::ClrAll, DispId::Bit, DispId::OnSetColor,
                             DispId::OnClrColor, DispId::LedRadius, DispId::Enable, DispId::Clr}));
    }

    void createdByProgIdWithOrWithoutStoredProperties() {
        Hosted fresh;
        QCOMPARE(fresh.control->Widget()->parentWidget(), &fresh.container);
        QCOMPARE(qobject_cast<kivaro::IVek*>(fresh.control->Widget())->LedRadius(), 4);
        platform::PropertyBag stored;
        stored.WriteProperty("maxlines", 16, 8);
        Hosted loaded(&stored);
        QCOMPARE(loaded.invoke(DispId::MaxLines, InvokeKind::PropertyGet), QVariant(16));
        QCOMPARE(loaded.invoke(DispId::LedRadius, InvokeKind::PropertyGet), QVariant(5));
        QCOMPARE(loaded.control->Widget()->size(), QSize(112, 224));
        QVERIFY(loaded.site.Notifications().isEmpty());
        try {
            QWidget container;
            platform::ControlHost::CreateControl("Zorvik_VekDisplay.Nothing", &container, nullptr,
                                                 nullptr);
            QFAIL("an unknown ProgID made a control");
        } catch (const platform::PlatformError& e) {
            QCOMPARE(e.number(), int(platform::kErrCannotCreateObject));
            QVERIFY(QString(e.what()).contains("Zorvik_VekDisplay.Nothing"));
        }
    }

    void lateBoundPropertiesReadBackWhatWasPut_data() {
        QTest::addColumn<int>("dispId");
        QTest::addColumn<QVariant>("put");
        QTest::addColumn<QVariant>("got");
        QTest::addColumn<QString>("key");
        QTest::newRow("MaxLines") << DispId::MaxLines << QVariant(255) << QVariant(254)
                                  << "MaxLines";
        QTest::newRow("MaxRows") << DispId::MaxRows << QVariant(0) << QVariant(1) << "MaxRows";
        QTest::newRow("OnSetColor")
            << DispId::OnSetColor << QVariant(0xFF00FF) << QVariant(0xFF00FF) << "OnSetColor";
        QTest::newRow("OnClrColor")
            << DispId::OnClrColor << QVariant(0x800080) << QVariant(0x800080) << "OnClrColor";
        QTest::newRow("LedRadius")
            << DispId::LedRadius << QVariant(7) << QVariant(7) << "LedRadius";
        QTest::newRow("Enable") << DispId::Enable << QVariant(false) << QVariant(false) << "Enable";
    }
    void lateBoundPropertiesReadBackWhatWasPut() {
        QFETCH(int, dispId);
        QFETCH(QVariant, put);
        QFETCH(QVariant, got);
        QFETCH(QString, key);
        Hosted h;
        h.invoke(dispId, InvokeKind::PropertyPut, {put});
        QCOMPARE(h.invoke(dispId, InvokeKind::PropertyGet), got);
        QCOMPARE(h.invoke(dispId, InvokeKind::Method), got); // a call without arguments reads
        QCOMPARE(h.site.Notifications(), QStringList{key});
    }

    void lateBoundMethodsGiveBackCorrectedCoordinates() {
        Hosted h;
        QVariantList xy{0, 200};
        h.control->Invoke(DispId::SetBit, InvokeKind::Method, xy);
        QCOMPARE(xy, (QVariantList{1, 8}));
        const auto lit = [&](QVariantList at) {
            return h.invoke(DispId::Bit, InvokeKind::Method, at).toInt();
        };
        QCOMPARE(lit({1, 8}), 1);
        h.invoke(DispId::ClrBit, InvokeKind::Method, {1, 8});
        QCOMPARE(lit({1, 8}), 0);
        for (int clear : {DispId::ClrAll, DispId::Clr}) {
            h.invoke(DispId::SetAll, InvokeKind::Method);
            QCOMPARE(lit({4, 4}), 1);
            h.invoke(clear, InvokeKind::Method);
            QCOMPARE(lit({4, 4}), 0);
        }
    }

    // A call the interface does not have fails and changes nothing: dot 2,2 stays lit, 1,1 out.
    void lateBoundCallsTheInterfaceDoesNotHaveFailAndChangeNothing_data() {
        QTest::addColumn<int>("dispId");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<int>("error");
        const int method = int(InvokeKind::Method), put = int(InvokeKind::PropertyPut),
                  get = int(InvokeKind::PropertyGet);
        QTest::newRow("unknown id") << 0x60030099 << method << QVariantList{} << 438;
        QTest::newRow("put on a method") << DispId::SetAll << put << QVariantList{1} << 438;
        QTest::newRow("put on a by-reference method")
            << DispId::Bit << put << QVariantList{1, 1} << 438;
        QTest::newRow("SetBit read as a property")
            << DispId::SetBit << get << QVariantList{1, 1} << 438;
        QTest::newRow("ClrBit read as a property")
            << DispId::ClrBit << get << QVariantList{2, 2} << 438;
        QTest::newRow("SetAll read as a property")
            << DispId::SetAll << get << QVariantList{} << 438;
        QTest::newRow("ClrAll read as a property")
            << DispId::ClrAll << get << QVariantList{} << 438;
        QTest::newRow("one coordinate") << DispId::SetBit << method << QVariantList{1} << 450;
        QTest::newRow("argument to SetAll") << DispId::SetAll << method << QVariantList{1} << 450;
        QTest::newRow("get with an argument") << DispId::MaxRows << get << QVariantList{1} << 450;
        QTest::newRow("put without a value") << DispId::MaxRows << put << QVariantList{} << 450;
        QTest::newRow("300 into a Byte") << DispId::MaxRows << put << QVariantList{300} << 6;
        QTest::newRow("text coordinate") << DispId::Bit << method << QVariantList{"x", 1} << 13;
    }
    void lateBoundCallsTheInterfaceDoesNotHaveFailAndChangeNothing() {
        QFETCH(int, dispId);
        QFETCH(int, kind);
        QFETCH(QVariantList, args);
        QFETCH(int, error);
        Hosted h;
        h.invoke(DispId::SetBit, InvokeKind::Method, {2, 2});
        try {
            h.invoke(dispId, InvokeKind(kind), args);
            QFAIL("the call was taken");
        } catch (const platform::PlatformError& e) {
            QCOMPARE(e.number(), error);
        }
        QCOMPARE(h.invoke(DispId::Bit, InvokeKind::Method, {1, 1}), QVariant(0));
        QCOMPARE(h.invoke(DispId::Bit, InvokeKind::Method, {2, 2}), QVariant(1));
    }
};

QTEST_MAIN(TstVekHost)
#include "tst_vekhost.moc"
