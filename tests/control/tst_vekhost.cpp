// The Vek control as a host sees it: created by ProgID from the program's folder through the
// hosting layer, described by its self-registration, and called late-bound by dispatch
// identifier. This test links the interface header only, never the library, as a host does.

#include "kivaro/IVek.h"
#include "platform/ControlHost.h"
#include "platform/ControlSite.h"
#include "platform/PlatformError.h"
#include "platform/PropertyBag.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <QTest>
#include <QUuid>
#include <QWidget>

using platform::InvokeKind;

namespace {

constexpr char kProgId[] = "Zorvik_VekDisplay.Vek";

struct Hosted {
    QWidget container;
    platform::ControlSite site;
    platform::IControl* control = nullptr;

    explicit Hosted(const platform::PropertyBag* stored = nullptr) {
        control = platform::ControlHost::CreateControl(QString::fromLatin1(kProgId), &container,
                                                       &site, stored);
    }

    QVariant get(std::int32_t id) {
        QVariantList args;
        return control->Invoke(id, InvokeKind::PropertyGet, args);
    }
    void put(std::int32_t id, const QVariant& value) {
        QVariantList args{value};
        control->Invoke(id, InvokeKind::PropertyPut, args);
    }
    QVariant call(std::int32_t id, QVariantList& args) {
        return control->Invoke(id, InvokeKind::Method, args);
    }
    QVariant call(std::int32_t id) {
        QVariantList args;
        return call(id, args);
    }
};

} // namespace

class TstVekHost : public QObject {
    Q_OBJECT

private slots:
    void selfRegistration_declaresTheClassAndItsTypeDescription() {
        const platform::RegisteredClass cls =
            platform::ControlHost::FindClass(QString::fromLatin1(kProgId));
        QCOMPARE(cls.className, QStringLiteral("Vek"));
        const QJsonObject lib = cls.description.value("TypeLibrary").toObject();
        QCOMPARE(lib.value("Name").toString(), QStringLiteral("Zorvik_VekDisplay"));

        const QJsonObject vek = cls.description.value("Classes").toArray().first().toObject();
        const QJsonObject dispatch = vek.value("DefaultInterface").toObject();
        const QJsonObject events = vek.value("EventInterface").toObject();
        const QJsonObject color = cls.description.value("Enums").toArray().first().toObject();
        QCOMPARE(dispatch.value("Name").toString(), QStringLiteral("_Vek"));
        QCOMPARE(events.value("Name").toString(), QStringLiteral("__Vek"));
        QCOMPARE(color.value("Name").toString(), QStringLiteral("Color"));

        // Five distinct fixed identifiers.
        const QStringList guids{lib.value("Guid").toString(), vek.value("Guid").toString(),
                                dispatch.value("Guid").toString(), events.value("Guid").toString(),
                                color.value("Guid").toString()};
        for (const QString& guid : guids)
            QVERIFY2(QUuid::fromString(guid).isNull() == false, qPrintable(guid));
        QCOMPARE(QSet<QString>(guids.begin(), guids.end()).size(), 5);

        const QMap<QString, std::int32_t> expected{{"MaxLines", kivaro::DispId::MaxLines},
                                                   {"MaxRows", kivaro::DispId::MaxRows},
                                                   {"SetBit", kivaro::DispId::SetBit},
                                                   {"ClrBit", kivaro::DispId::ClrBit},
                                                   {"SetAll", kivaro::DispId::SetAll},
                                                   {"ClrAll", kivaro::DispId::ClrAll},
                                                   {"Bit", kivaro::DispId::Bit},
                                                   {"OnSetColor", kivaro::DispId::OnSetColor},
                                                   {"OnClrColor", kivaro::DispId::OnClrColor},
                                                   {"LedRadius", kivaro::DispId::LedRadius},
                                                   {"Enable", kivaro::DispId::Enable},
                                                   {"Clr", kivaro::DispId::Clr}};
        const QJsonArray members = dispatch.value("Members").toArray();
        QCOMPARE(members.size(), expected.size());
        QStringList order;
        for (const auto& m : members) {
            const QJsonObject member = m.toObject();
            const QString name = member.value("Name").toString();
            order << name;
            QCOMPARE(std::int32_t(member.value("DispId").toDouble()), expected.value(name));
        }
        QCOMPARE(order,
                 (QStringList{"MaxLines", "MaxRows", "SetBit", "ClrBit", "SetAll", "ClrAll", "Bit",
                              "OnSetColor", "OnClrColor", "LedRadius", "Enable", "Clr"}));
        QStringList eventNames;
        for (const auto& e : events.value("Events").toArray())
            eventNames << e.toObject().value("Name").toString();
        QCOMPARE(eventNames, (QStringList{"Click", "Edited", "Changed"}));
        QCOMPARE(color.value("Values").toObject().value("BGreen").toInt(), 0x8000);
    }

    void createByProgId_initialisesANewControl() {
        Hosted h;
        QVERIFY(h.control);
        QCOMPARE(h.control->Widget()->parentWidget(), &h.container);
        auto* vek = dynamic_cast<kivaro::IVek*>(h.control);
        QVERIFY(vek);
        QCOMPARE(qobject_cast<kivaro::IVek*>(h.control->Widget()), vek);
        QCOMPARE(int(vek->LedRadius()), 4);
        QCOMPARE(h.control->Widget()->size(), QSize(90, 90));
    }

    void createByProgId_loadsStoredProperties() {
        // The values the main window stores for Vek1.
        platform::PropertyBag stored;
        stored.WriteProperty("maxlines", 16, 8);
        stored.WriteProperty("maxrows", 16, 8);
        stored.WriteProperty("onsetcolor", int(kivaro::Green), int(kivaro::Red));
        stored.WriteProperty("onclrcolor", int(kivaro::BGreen), int(kivaro::BRed));
        Hosted h(&stored);
        QCOMPARE(h.get(kivaro::DispId::MaxLines).toInt(), 16);
        QCOMPARE(h.get(kivaro::DispId::LedRadius).toInt(), 5);
        QCOMPARE(h.get(kivaro::DispId::OnSetColor).toInt(), int(kivaro::Green));
        QCOMPARE(h.control->Widget()->size(), QSize(224, 224));
        QVERIFY(h.site.Notifications().isEmpty());
    }

    void unknownProgId_cannotCreateObject() {
        QWidget container;
        platform::ControlSite site;
        try {
            platform::ControlHost::CreateControl("Zorvik_VekDisplay.Nothing", &container, &site,
                                                 nullptr);
            QFAIL("an unknown ProgID created a control");
        } catch (const platform::PlatformError& e) {
            QCOMPARE(e.number(), int(platform::kErrCannotCreateObject));
            QVERIFY2(QString::fromUtf8(e.what()).contains("Zorvik_VekDisplay.Nothing"), e.what());
        }
    }

    void lateBound_getsAndSetsEveryProperty_data() {
        QTest::addColumn<int>("dispId");
        QTest::addColumn<QVariant>("initial");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("readBack");
        QTest::addColumn<QString>("key");
        QTest::newRow("MaxLines") << kivaro::DispId::MaxLines << QVariant(8) << QVariant(255)
                                  << QVariant(254) << "MaxLines";
        QTest::newRow("MaxRows") << kivaro::DispId::MaxRows << QVariant(8) << QVariant(0)
                                 << QVariant(1) << "MaxRows";
        QTest::newRow("OnSetColor") << kivaro::DispId::OnSetColor << QVariant(0xFF)
                                    << QVariant(0xFF00FF) << QVariant(0xFF00FF) << "OnSetColor";
        QTest::newRow("OnClrColor") << kivaro::DispId::OnClrColor << QVariant(0x50)
                                    << QVariant(0x800080) << QVariant(0x800080) << "OnClrColor";
        QTest::newRow("LedRadius") << kivaro::DispId::LedRadius << QVariant(4) << QVariant(0)
                                   << QVariant(1) << "LedRadius";
        QTest::newRow("Enable") << kivaro::DispId::Enable << QVariant(true) << QVariant(false)
                                << QVariant(false) << "Enable";
    }
    void lateBound_getsAndSetsEveryProperty() {
        QFETCH(int, dispId);
        QFETCH(QVariant, initial);
        QFETCH(QVariant, value);
        QFETCH(QVariant, readBack);
        QFETCH(QString, key);
        Hosted h;
        QCOMPARE(h.get(dispId), initial);
        h.put(dispId, value);
        QCOMPARE(h.get(dispId), readBack);
        QCOMPARE(h.site.Notifications(), QStringList{key});
        // A method call without arguments reads a property, as dispatch allows.
        QCOMPARE(h.call(dispId), readBack);
    }

    void lateBound_callsEveryMethodAndReturnsCorrectedCoordinates() {
        Hosted h;
        QVariantList xy{0, 200};
        h.call(kivaro::DispId::SetBit, xy);
        QCOMPARE(xy, (QVariantList{1, 8}));
        xy = {1, 8};
        QCOMPARE(h.call(kivaro::DispId::Bit, xy).toInt(), 1);
        xy = {9, 0};
        QCOMPARE(h.call(kivaro::DispId::Bit, xy).toInt(), 0);
        QCOMPARE(xy, (QVariantList{8, 1}));
        xy = {1, 8};
        h.call(kivaro::DispId::ClrBit, xy);
        QCOMPARE(h.call(kivaro::DispId::Bit, xy).toInt(), 0);
        h.call(kivaro::DispId::SetAll);
        xy = {4, 4};
        QCOMPARE(h.call(kivaro::DispId::Bit, xy).toInt(), 1);
        h.call(kivaro::DispId::ClrAll);
        QCOMPARE(h.call(kivaro::DispId::Bit, xy).toInt(), 0);
        h.call(kivaro::DispId::SetAll);
        h.call(kivaro::DispId::Clr);
        QCOMPARE(h.call(kivaro::DispId::Bit, xy).toInt(), 0);
    }

    void lateBound_eventsReachAnAdvisedSink() {
        struct Sink : kivaro::IVekEvents {
            int changed = 0;
            void Changed() override { ++changed; }
        } sink;
        Hosted h;
        auto* vek = dynamic_cast<kivaro::IVek*>(h.control);
        vek->Advise(&sink);
        QVariantList xy{2, 2};
        h.call(kivaro::DispId::SetBit, xy);
        h.call(kivaro::DispId::SetAll);
        QCOMPARE(sink.changed, 2);
        vek->Unadvise(&sink);
    }

    void lateBound_rejectsWhatTheInterfaceDoesNotHave_data() {
        QTest::addColumn<int>("dispId");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<int>("error");
        const int notSupported = platform::kErrNotSupported;
        const int wrongCount = platform::kErrWrongArgCount;
        const int method = int(InvokeKind::Method);
        const int put = int(InvokeKind::PropertyPut);
        const int get = int(InvokeKind::PropertyGet);
        QTest::newRow("unknown id") << 0x60030099 << method << QVariantList{} << notSupported;
        QTest::newRow("put on a method")
            << kivaro::DispId::SetAll << put << QVariantList{1} << notSupported;
        QTest::newRow("SetBit one argument")
            << kivaro::DispId::SetBit << method << QVariantList{1} << wrongCount;
        QTest::newRow("SetAll with argument")
            << kivaro::DispId::SetAll << method << QVariantList{1} << wrongCount;
        QTest::newRow("get with argument")
            << kivaro::DispId::MaxRows << get << QVariantList{1} << wrongCount;
        QTest::newRow("put without value")
            << kivaro::DispId::MaxRows << put << QVariantList{} << wrongCount;
        QTest::newRow("put 300 into a Byte")
            << kivaro::DispId::MaxRows << put << QVariantList{300} << int(platform::kErrOverflow);
        QTest::newRow("text coordinate") << kivaro::DispId::Bit << method << QVariantList{"x", 1}
                                         << int(platform::kErrTypeMismatch);
    }
    void lateBound_rejectsWhatTheInterfaceDoesNotHave() {
        QFETCH(int, dispId);
        QFETCH(int, kind);
        QFETCH(QVariantList, args);
        QFETCH(int, error);
        Hosted h;
        try {
            h.control->Invoke(dispId, InvokeKind(kind), args);
            QFAIL("the call was accepted");
        } catch (const platform::PlatformError& e) {
            QCOMPARE(e.number(), error);
        }
    }

    void lateBound_methodReadAsAPropertyFailsAndChangesNothing_data() {
        QTest::addColumn<int>("dispId");
        QTest::addColumn<QVariantList>("args");
        QTest::newRow("SetBit") << kivaro::DispId::SetBit << QVariantList{1, 1};
        QTest::newRow("ClrBit") << kivaro::DispId::ClrBit << QVariantList{2, 2};
        QTest::newRow("SetAll") << kivaro::DispId::SetAll << QVariantList{};
        QTest::newRow("ClrAll") << kivaro::DispId::ClrAll << QVariantList{};
    }
    void lateBound_methodReadAsAPropertyFailsAndChangesNothing() {
        QFETCH(int, dispId);
        QFETCH(QVariantList, args);
        Hosted h;
        QVariantList lit{2, 2}, unlit{1, 1};
        h.call(kivaro::DispId::SetBit, lit);
        try {
            h.control->Invoke(dispId, InvokeKind::PropertyGet, args);
            QFAIL("a method ran as a property get");
        } catch (const platform::PlatformError& e) {
            QCOMPARE(e.number(), int(platform::kErrNotSupported));
        }
        QCOMPARE(h.call(kivaro::DispId::Bit, unlit).toInt(), 0);
        QCOMPARE(h.call(kivaro::DispId::Bit, lit).toInt(), 1);
    }
};

QTEST_MAIN(TstVekHost)
#include "tst_vekhost.moc"
