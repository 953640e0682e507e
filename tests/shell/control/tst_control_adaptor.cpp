#include "shell/control/application_service.h"
#include "shell/control/control_adaptor.h"
#include "shell/control/single_instance.h"
#include "support/panel_rig.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>

using namespace std::chrono_literals;

// The control interface on the test session's bus, served under the app's own bus name by a
// model that talks to the loopback service; calls travel over the bus from a second connection,
// or from the `alvore` command.
class ControlAdaptorTest : public QObject {
    Q_OBJECT
private:
    ApplicationService* service = nullptr;
    int opened = 0;
    QString lastError, standardError;

    static QDBusConnection bus(const char* name) {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    }

    void serve(AppModel& model) {
        service = new ApplicationService(&model);
        new ControlAdaptor(service, model, {[this] { ++opened; }, [] {}});
        QVERIFY(bus("server").registerObject(ApplicationService::objectPath, service,
                                             QDBusConnection::ExportAdaptors));
        QVERIFY(bus("server").registerService(ApplicationService::busName));
    }

    // Bedroom (on at 24°, with a light, its filter due and Climate React off), Office (at 30°)
    // and the Attic (offline), listed and served.
    AppModel& serveUnits(ModelRig& rig, bool officeOn) {
        QJsonObject bedroom = unitJson("a", "Bedroom", true, 24);
        bedroom.insert("filtersCleaning", QJsonObject{{"shouldCleanFilters", true}});
        QJsonObject cool =
            bedroom["remoteCapabilities"].toObject()["modes"].toObject()["cool"].toObject();
        cool["light"] = QJsonArray{"on", "off"};
        bedroom["remoteCapabilities"] = QJsonObject{{"modes", QJsonObject{{"cool", cool}}}};
        bedroom["smartMode"] = QJsonObject{{"enabled", false}};
        rig.units = {bedroom, unitJson("b", "Office", officeOn, 30), offlineUnit("c", "Attic")};
        AppModel& model = rig.startPolling();
        serve(model);
        return model;
    }

    // The answer's error name without the control interface's prefix; empty for a plain answer.
    QString call(const QString& method, const QVariantList& arguments = {},
                 const QString& interface = ControlAdaptor::interfaceName) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            bus("server").baseService(), ApplicationService::objectPath, interface, method);
        message.setArguments(arguments);
        const QDBusMessage answer = bus("client").call(message, QDBus::BlockWithGui, 5000);
        lastError = answer.errorMessage();
        return answer.errorName().remove(ControlAdaptor::interfaceName + ".Error.");
    }

    // Runs the command while this event loop serves the calls, calling `meanwhile` as it waits;
    // its exit status, -1 when it did not end.
    int alvore(
        const QStringList& arguments, const std::function<void()>& meanwhile = [] {}) {
        QProcess command;
        command.start(QStringLiteral(ALVORE_PROGRAM), arguments);
        const bool ended = QTest::qWaitFor(
            [&] { return meanwhile(), command.state() == QProcess::NotRunning; }, 30'000);
        standardError = QString::fromLocal8Bit(command.readAllStandardError());
        return ended && command.exitStatus() == QProcess::NormalExit ? command.exitCode() : -1;
    }

private Q_SLOTS:
    void initTestCase() {
        if (!bus("server").isConnected())
            QSKIP("needs a session bus");
    }
    void cleanup() {
        for (const char* name : {"server", "later"})
            bus(name).unregisterService(ApplicationService::busName);
        bus("server").unregisterObject(ApplicationService::objectPath);
    }

    // A later start hands over to the first, which answers the freedesktop Application interface
    // as launchers call it, until it lets the name go or its connection closes as when its
    // process ends. (e2e.single_instance hands over from two starts at once and a later one.)
    void laterStartsHandOverToTheFirstUntilItLetsGo() {
        ApplicationService first, later, second;
        QSignalSpy activated(&first, &ApplicationService::activated);
        QCOMPARE(SingleInstance::claim(bus("server"), first), SingleInstance::Claim::first);
        QCOMPARE(SingleInstance::claim(bus("later"), later), SingleInstance::Claim::handedOver);
        QVERIFY(activated.size() == 1 &&
                !bus("later").objectRegisteredAt(ApplicationService::objectPath));
        const QString launcher = QStringLiteral("org.freedesktop.Application");
        QCOMPARE(QStringList(
                     {call("Activate", {QVariantMap()}, launcher),
                      call("Open", {QStringList{"file:///tmp/x"}, QVariantMap()}, launcher),
                      call("ActivateAction", {"quit", QVariantList(), QVariantMap()}, launcher)}),
                 QStringList({"", "", "org.freedesktop.DBus.Error.NotSupported"}));
        QCOMPARE(activated.size(), 3);

        SingleInstance::release(bus("server"));
        QCOMPARE(SingleInstance::claim(bus("second"), second), SingleInstance::Claim::first);
        QDBusConnection::disconnectFromBus("second");
        QTRY_VERIFY(!bus("later").interface()->isServiceRegistered(ApplicationService::busName));
        QCOMPARE(SingleInstance::claim(bus("later"), later), SingleInstance::Claim::first);
    }

    void signedOutRefuses() {
        ModelRig rig(std::nullopt);
        AppModel& model = rig.start();
        QVERIFY(rig.waitForNeedsKey());
        serve(model);
        // The panel is where one signs in.
        QCOMPARE(QStringList({call("TogglePower", {"1"}), call("Refresh"), call("OpenPanel")}),
                 QStringList({"SignedOut", "SignedOut", ""}));
        QVERIFY(opened == 1 && ControlAdaptor::state(model) == "signedOut");
    }

    // Each refusal is named and says why; nothing reaches the service.
    void refusalsSayWhy() {
        ModelRig rig;
        serveUnits(rig, true);
        const qsizetype requests = rig.service.requests().size();
        const auto refuses = [&](const char* method, const QVariantList& arguments,
                                 const QString& why) {
            const QString answer = call(method, arguments) + ": " + lastError;
            QVERIFY2(answer.startsWith(why), qPrintable(answer));
        };
        refuses("SetPower", {"attic", true}, "Offline: Attic is offline.");
        refuses("SetFan", {"1", "turbo"},
                "NotOffered: Bedroom has no fan level \"turbo\" in this mode; it offers auto, "
                "low, medium, high.");
        refuses("SetTarget", {"1", 40}, "NotOffered: Bedroom takes a target from 16° to 30°.");
        refuses("StepTarget", {"2", 1},
                "NotOffered: Office is already at its highest target, 30°.");
        refuses(
            "SetLight", {"1", "dim"},
            "NotOffered: Bedroom has no display light \"dim\" in this mode; it offers on, off.");
        refuses("SetSideways", {"1", "fixedLeft"},
                "NotOffered: Bedroom has no sideways swing in this mode.");
        refuses("ApplyPreset", {"1", "Night"},
                "UnknownPreset: Bedroom has no preset named \"Night\"; it has no presets.");
        refuses("CancelTimer", {"2"}, "NoTimer: Office has no timer.");
        refuses("SetClimateReact", {"2", true}, "NotOffered: Office has no Climate React set up.");
        QCOMPARE(rig.service.requests().size(), requests);
    }

    // The command fails when the service refuses; a step is sent after its quiet period.
    void changeAnsweredOnceTheServiceHas_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("answer");
        const auto rows = [](const QString& line, const QString& path, QList<int> answers) {
            for (const int answer : answers)
                QTest::addRow("%s: %d", qPrintable(line), answer)
                    << line.split(u' ') << path << answer;
        };
        rows("on office", statePath("b"), {200});
        rows("light bed OFF", statePath("a"), {200});
        rows("target bed +1", statePath("a"), {500});
        rows("timer bed 30m off", "/api/v1/pods/a/timer/", {200, 500});
        rows("filter bed done", "/api/v2/pods/a/cleanFiltersNotification", {200, 500});
        rows("react bed on", climateReactPath("a"), {200, 500});
    }
    void changeAnsweredOnceTheServiceHas() {
        QFETCH(QString, path);
        QFETCH(int, answer);
        ModelRig rig;
        AppModel& model = serveUnits(rig, false);
        for (const char* method : {"POST", "PUT", "DELETE"})
            rig.service.on(method, path, LoopbackService::Response::json(envelope({}), answer));
        // A state taken comes back in the answer, as the service sends it.
        rig.otherAnswers = [answer](const LoopbackService::Request& request) {
            const QJsonObject sent = QJsonDocument::fromJson(request.body).object();
            return request.method == "POST" && answer == 200
                       ? std::optional(LoopbackService::Response::json(envelope(sent)))
                       : std::nullopt;
        };
        const QList<QVariantMap> before = ControlAdaptor::units(model);
        QVERIFY(!before.at(2).value("online").toBool() && before.at(0).value("filterDue").toBool());
        QSignalSpy changed(service->findChild<ControlAdaptor*>(), &ControlAdaptor::Changed);

        // The quiet period of a step runs on the model's clock, which moves only when asked.
        // It stops once the change is sent, so that no later listing or banner timeout interferes.
        const auto sent = [&] {
            return rig.service.requests("POST", path).size() +
                   rig.service.requests("PUT", path).size() +
                   rig.service.requests("DELETE", path).size();
        };
        QFETCH(QStringList, arguments);
        QCOMPARE(alvore(arguments, [&] { rig.clock.advance(sent() == 0 ? 100ms : 0ms); }),
                 answer == 200 ? 0 : 1);
        QCOMPARE(sent(), 1);
        if (answer == 200) { // and announced once
            QVERIFY(standardError.isEmpty() && ControlAdaptor::units(model) != before);
            QCOMPARE(changed.size(), 1);
        } else {
            QVERIFY2(standardError.startsWith("alvore: Couldn't "), qPrintable(standardError));
            QCOMPARE(standardError.trimmed().mid(8), *model.banner());
            QCOMPARE(ControlAdaptor::units(model), before);
        }
    }

    void withoutUnitsTheAnswerComesAtOnce_data() {
        QTest::addColumn<bool>("held");
        QTest::addColumn<QString>("message");
        QTest::newRow("listing under way")
            << true << "alvore: Alvore is still reading the units; try again shortly.\n";
        QTest::newRow("listing failed")
            << false
            << "alvore: Alvore couldn't read the units: Sensibo returned an error (HTTP 500).\n";
    }
    void withoutUnitsTheAnswerComesAtOnce() {
        QFETCH(bool, held);
        ModelRig rig;
        rig.listingAnswers = {held ? heldBack(errorAnswer) : errorAnswer};
        AppModel& model = rig.start();
        if (!held)
            QVERIFY(QTest::qWaitFor(
                [&] { return model.status().kind == AppModel::Status::offline; }, 10'000));
        serve(model);
        QCOMPARE(alvore({"on", "1"}), 1);
        QTEST(standardError, "message");
        rig.service.release();
    }
};

QTEST_MAIN(ControlAdaptorTest)
#include "tst_control_adaptor.moc"
