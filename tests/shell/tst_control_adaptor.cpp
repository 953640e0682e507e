#include "shell/application_service.h"
#include "shell/control_adaptor.h"
#include "support/panel_rig.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QProcess>
#include <QSignalSpy>

using namespace std::chrono_literals;

// The control interface on the test session's bus, served under the app's own bus name by a
// model that talks to the loopback service; calls travel over the bus from a second connection,
// or from the `alvore` command.
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
        QVERIFY(server().registerService(ApplicationService::busName));
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
    QByteArray standardError;

    // Runs the command while this event loop serves the calls, calling `meanwhile` as it waits;
    // its exit status, -1 when it did not end.
    int alvore(
        const QStringList& arguments, const std::function<void()>& meanwhile = [] {}) {
        QProcess command;
        command.start(QStringLiteral(ALVORE_PROGRAM), arguments);
        const auto ended = [&] {
            meanwhile();
            return command.state() == QProcess::NotRunning;
        };
        if (!QTest::qWaitFor(ended, 30'000)) {
            command.kill();
            command.waitForFinished();
            return -1;
        }
        standardError = command.readAllStandardError();
        return command.exitStatus() == QProcess::NormalExit ? command.exitCode() : -1;
    }

private Q_SLOTS:
    void initTestCase() {
        if (!server().isConnected())
            QSKIP("needs a session bus");
        qDBusRegisterMetaType<QList<QVariantMap>>();
    }
    void cleanup() {
        server().unregisterService(ApplicationService::busName);
        server().unregisterObject(ApplicationService::objectPath);
    }

    void signedOutRefuses() {
        ModelRig rig(std::nullopt);
        AppModel& model = rig.start();
        QVERIFY(QTest::qWaitFor([&] { return model.status().kind == AppModel::Status::needsKey; }));
        serve(model);
        // The panel is where one signs in.
        QCOMPARE(QStringList({call("TogglePower", {"1"}), call("Refresh"), call("OpenPanel")}),
                 QStringList({"SignedOut", "SignedOut", ""}));
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
        const auto sent = [&](const char* method, const QString& path) {
            QList<LoopbackService::Request> found;
            (void)QTest::qWaitFor(
                [&] { return !(found = rig.service.requests(method, path)).isEmpty(); });
            return found;
        };
        // A power change is sent at once; it may arrive before or after any listing.
        QCOMPARE(call("SetPower", {"office", true}), "");
        const auto power = sent("POST", statePath("b"));
        QVERIFY(power.size() == 1 && power.first().body.contains(R"("on":true)"));
        QCOMPARE(changed.size(), 1);
        const QList<QVariantMap> units = ControlAdaptor::units(model);
        QCOMPARE(QVariantList({units.at(1).value("on"), units.at(2).value("online")}),
                 QVariantList({true, false}));

        QCOMPARE(call("SetTimer", {"bed", 30u, false}), "");
        QVERIFY(!sent("PUT", "/api/v1/pods/a/timer/").isEmpty());
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

    void changeAnsweredOnceTheServiceHas_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("exitStatus");
        QTest::newRow("carried out") << QStringList{"on", "office"} << statePath("b") << 200 << 0;
        QTest::newRow("step refused after the quiet period")
            << QStringList{"target", "bed", "+1"} << statePath("a") << 500 << 1;
        QTest::newRow("timer refused") << QStringList{"timer", "bed", "30m", "off"}
                                       << QStringLiteral("/api/v1/pods/a/timer/") << 500 << 1;
    }
    void changeAnsweredOnceTheServiceHas() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, path);
        QFETCH(int, answer);
        QFETCH(int, exitStatus);
        ModelRig rig;
        AppModel& model = serveUnits(rig, false);
        for (const char* method : {"POST", "PUT"})
            rig.service.on(method, path, LoopbackService::Response::json(envelope({}), answer));
        const QList<QVariantMap> before = ControlAdaptor::units(model);

        // The quiet period of a step runs on the model's clock, which moves only when asked.
        // It stops once the change is sent, so that no later listing or banner timeout interferes.
        const auto sent = [&] {
            return rig.service.requests("POST", path).size() +
                   rig.service.requests("PUT", path).size();
        };
        QCOMPARE(alvore(arguments,
                        [&] {
                            if (sent() == 0)
                                rig.clock.advance(100ms);
                        }),
                 exitStatus);
        const QString printed = QString::fromLocal8Bit(standardError);
        QCOMPARE(sent(), 1);
        if (exitStatus == 0) {
            QVERIFY(printed.isEmpty() && ControlAdaptor::units(model).at(1).value("on").toBool());
        } else {
            QVERIFY2(printed.startsWith("alvore: Couldn't "), qPrintable(printed));
            QCOMPARE(printed.trimmed().mid(8), *model.banner());
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
        QFETCH(QString, message);
        ModelRig rig;
        LoopbackService::Response listing = LoopbackService::Response::json("{}", 500);
        listing.held = held;
        rig.listingAnswers = {listing};
        AppModel& model = rig.start();
        if (!held)
            QVERIFY(QTest::qWaitFor(
                [&] { return model.status().kind == AppModel::Status::offline; }, 10'000));
        serve(model);
        QCOMPARE(alvore({"on", "1"}), 1);
        QCOMPARE(QString::fromLocal8Bit(standardError), message);
        rig.service.release();
    }
};

QTEST_MAIN(ControlAdaptorTest)
#include "tst_control_adaptor.moc"
