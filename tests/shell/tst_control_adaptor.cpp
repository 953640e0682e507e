#include "shell/application_service.h"
#include "shell/control_adaptor.h"
#include "support/panel_rig.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QSignalSpy>

// The control interface on the test session's bus, served by a model that talks to the
// loopback service; calls travel over the bus from a second connection.
class ControlAdaptorTest : public QObject {
    Q_OBJECT
private:
    ApplicationService* m_service = nullptr;
    int m_opened = 0;

    QDBusConnection server() {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus, "server");
    }
    QDBusConnection client() {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus, "client");
    }

    void serve(AppModel& model) {
        m_service = new ApplicationService(&model);
        new ControlAdaptor(m_service, model, {[this] { ++m_opened; }, [] {}});
        QVERIFY(server().registerObject(ApplicationService::objectPath, m_service,
                                        QDBusConnection::ExportAdaptors));
    }

    // Bedroom (on at 24°), Office (at 30°) and the Attic (offline), listed and served.
    AppModel& serveUnits(ModelRig& rig, bool officeOn) {
        rig.units = {unitJson("a", "Bedroom", true, 24), unitJson("b", "Office", officeOn, 30),
                     offlineUnit("c", "Attic")};
        AppModel& model = rig.startPolling();
        serve(model);
        return model;
    }

    // The answer's error name without the interface's prefix; empty for a plain answer.
    QString call(const QString& method, const QVariantList& arguments = {}) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(server().baseService(), ApplicationService::objectPath,
                                           ControlAdaptor::interfaceName, method);
        message.setArguments(arguments);
        const QDBusMessage answer = client().call(message, QDBus::BlockWithGui, 5000);
        lastError = answer.errorMessage();
        return answer.errorName().remove(ControlAdaptor::interfaceName + ".Error.");
    }
    QString lastError;

private Q_SLOTS:
    void initTestCase() {
        if (!server().isConnected())
            QSKIP("needs a session bus");
        qDBusRegisterMetaType<QList<QVariantMap>>();
    }
    void cleanup() { server().unregisterObject(ApplicationService::objectPath); }

    void signedOutRefuses() {
        ModelRig rig(std::nullopt);
        AppModel& model = rig.start();
        QVERIFY(QTest::qWaitFor([&] { return model.status().kind == AppModel::Status::needsKey; }));
        serve(model);
        QCOMPARE(call("TogglePower", {"1"}), "SignedOut");
        QCOMPARE(call("Refresh"), "SignedOut");
        QCOMPARE(call("OpenPanel"), ""); // the panel is where one signs in
        QCOMPARE(m_opened, 1);
        QCOMPARE(ControlAdaptor::state(model), "signedOut");
    }

    void changesReachTheService() {
        ModelRig rig;
        AppModel& model = serveUnits(rig, false);
        rig.service.on("POST", statePath("b"), LoopbackService::Response::json(envelope({})));
        rig.service.on("PUT", QStringLiteral("/api/v1/pods/a/timer/"),
                       LoopbackService::Response::json(envelope({})));

        QSignalSpy changed(m_service->findChild<ControlAdaptor*>(), &ControlAdaptor::Changed);
        QCOMPARE(call("SetPower", {"office", true}), "");
        // A power change is sent at once; it may arrive before or after any listing.
        QVERIFY(QTest::qWaitFor(
            [&] { return !rig.service.requests("POST", statePath("b")).isEmpty(); }));
        QCOMPARE(rig.service.requests("POST", statePath("b")).size(), 1);
        QVERIFY(rig.service.requests("POST", statePath("b")).first().body.contains(R"("on":true)"));
        QCOMPARE(changed.size(), 1);
        const QList<QVariantMap> units = ControlAdaptor::units(model);
        QCOMPARE(units.at(1).value("on"), true);
        QCOMPARE(units.at(2).value("online"), false);

        QCOMPARE(call("SetTimer", {"bed", 30u, false}), "");
        QVERIFY(QTest::qWaitFor([&] {
            return !rig.service.requests("PUT", QStringLiteral("/api/v1/pods/a/timer/")).isEmpty();
        }));
        QVERIFY(ControlAdaptor::units(model).first().contains("timerAt"));
        QCOMPARE(call("CancelTimer", {"2"}), "NoTimer");
    }

    void refusalsSayWhy_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("message");
        QTest::addRow("offline unit") << "SetPower" << QVariantList{"attic", true}
                                      << QString("Offline") << QString("Attic is offline.");
        QTest::addRow("fan level")
            << "SetFan" << QVariantList{"1", "turbo"} << QString("NotOffered")
            << QString("Bedroom has no fan level \"turbo\" in this mode; it offers "
                       "auto, low, medium, high.");
        QTest::addRow("target") << "SetTarget" << QVariantList{"1", 40} << QString("NotOffered")
                                << QString("Bedroom takes a target from 16° to 30°.");
        QTest::addRow("step past the top")
            << "StepTarget" << QVariantList{"2", 1} << QString("NotOffered")
            << QString("Office is already at its highest target, 30°.");
        QTest::addRow("preset") << "ApplyPreset" << QVariantList{"1", "Night"}
                                << QString("UnknownPreset")
                                << QString(
                                       "Bedroom has no preset named \"Night\"; it has no presets.");
    }
    void refusalsSayWhy() {
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        QFETCH(QString, message);
        ModelRig rig;
        serveUnits(rig, true);
        const qsizetype requests = rig.service.requests().size();
        QTEST(call(method, arguments), "error");
        QVERIFY2(lastError.startsWith(message), qPrintable(lastError));
        QCOMPARE(rig.service.requests().size(), requests);
    }
};

QTEST_MAIN(ControlAdaptorTest)
#include "tst_control_adaptor.moc"
