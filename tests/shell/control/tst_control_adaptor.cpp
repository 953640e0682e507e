#include "shell/control/application_service.h"
#include "shell/control/control_adaptor.h"
#include "support/panel_rig.h"

#include <QDBusConnection>
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

    // The answer's error name without the interface's prefix; empty for a plain answer.
    QString call(const QString& method, const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            bus("server").baseService(), ApplicationService::objectPath,
            ControlAdaptor::interfaceName, method);
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
        bus("server").unregisterService(ApplicationService::busName);
        bus("server").unregisterObject(ApplicationService::objectPath);
    }

    void signedOutRefuses() {
        ModelRig rig(std::nullopt);
        AppModel& model = rig.start();
        QVERIFY(QTest::qWaitFor([&] { return model.status().kind == AppModel::Status::needsKey; }));
        serve(model);
        // The panel is where one signs in.
        QCOMPARE(QStringList({call("TogglePower", {"1"}), call("Refresh"), call("OpenPanel")}),
                 QStringList({"SignedOut", "SignedOut", ""}));
        QCOMPARE(opened, 1);
        QCOMPARE(ControlAdaptor::state(model), "signedOut");
    }

    // Nothing reaches the service.
    void refusalsSayWhy_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, const char* method, const QVariantList& arguments,
                            const char* error, const char* message) {
            QTest::newRow(name) << QString(method) << arguments << QString(error)
                                << QString(message);
        };
        row("offline unit", "SetPower", {"attic", true}, "Offline", "Attic is offline.");
        row("fan level", "SetFan", {"1", "turbo"}, "NotOffered",
            "Bedroom has no fan level \"turbo\" in this mode; it offers auto, low, medium, high.");
        row("target", "SetTarget", {"1", 40}, "NotOffered",
            "Bedroom takes a target from 16° to 30°.");
        row("step past the top", "StepTarget", {"2", 1}, "NotOffered",
            "Office is already at its highest target, 30°.");
        row("light", "SetLight", {"1", "dim"}, "NotOffered",
            "Bedroom has no display light \"dim\" in this mode; it offers on, off.");
        row("sideways", "SetSideways", {"1", "fixedLeft"}, "NotOffered",
            "Bedroom has no sideways swing in this mode.");
        row("preset", "ApplyPreset", {"1", "Night"}, "UnknownPreset",
            "Bedroom has no preset named \"Night\"; it has no presets.");
        row("no timer", "CancelTimer", {"2"}, "NoTimer", "Office has no timer.");
        row("no Climate React", "SetClimateReact", {"2", true}, "NotOffered",
            "Office has no Climate React set up.");
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

    void changeAnsweredOnceTheServiceHas_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("exitStatus");
        const QString timer = QStringLiteral("/api/v1/pods/a/timer/");
        QTest::newRow("carried out") << QStringList{"on", "office"} << statePath("b") << 200 << 0;
        QTest::newRow("light") << QStringList{"light", "bed", "OFF"} << statePath("a") << 200 << 0;
        QTest::newRow("timer set")
            << QStringList{"timer", "bed", "30m", "off"} << timer << 200 << 0;
        QTest::newRow("step refused after the quiet period")
            << QStringList{"target", "bed", "+1"} << statePath("a") << 500 << 1;
        QTest::newRow("timer refused")
            << QStringList{"timer", "bed", "30m", "off"} << timer << 500 << 1;
        const QString filter = QStringLiteral("/api/v2/pods/a/cleanFiltersNotification");
        QTest::newRow("filter cleaned")
            << QStringList{"filter", "bed", "done"} << filter << 200 << 0;
        QTest::newRow("filter refused")
            << QStringList{"filter", "bed", "done"} << filter << 500 << 1;
        QTest::newRow("Climate React on")
            << QStringList{"react", "bed", "on"} << climateReactPath("a") << 200 << 0;
        QTest::newRow("Climate React refused")
            << QStringList{"react", "bed", "on"} << climateReactPath("a") << 500 << 1;
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
        QTEST(alvore(arguments,
                     [&] {
                         if (sent() == 0)
                             rig.clock.advance(100ms);
                     }),
              "exitStatus");
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
        rig.listingAnswers = {LoopbackService::Response::json("{}", 500)};
        rig.listingAnswers[0].held = held;
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
