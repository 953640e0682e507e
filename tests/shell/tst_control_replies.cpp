#include "shell/application_service.h"
#include "shell/control_adaptor.h"
#include "support/model_rig.h"

#include <QDBusConnection>
#include <QProcess>

using namespace std::chrono_literals;

// The `alvore` command against the control interface on the test session's bus, served under
// the app's own bus name by a model that talks to the loopback service: what the command
// prints and returns once the service has answered the change, or when the app has no units.
class ControlRepliesTest : public QObject {
    Q_OBJECT
private:
    QByteArray standardError;

    void serve(AppModel& model) {
        auto* service = new ApplicationService(&model);
        new ControlAdaptor(service, model, {[] {}, [] {}});
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.registerObject(ApplicationService::objectPath, service,
                                   QDBusConnection::ExportAdaptors));
        QVERIFY(bus.registerService(ApplicationService::busName));
    }

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
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a session bus");
    }
    void cleanup() {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterService(ApplicationService::busName);
        bus.unregisterObject(ApplicationService::objectPath);
    }

    void changeAnsweredOnceTheServiceHas_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("exitStatus");
        QTest::newRow("carried out") << QStringList{"on", "office"} << statePath("b") << 200 << 0;
        QTest::newRow("refused") << QStringList{"on", "office"} << statePath("b") << 500 << 1;
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
        rig.units = {unitJson("a", "Bedroom", true, 24), unitJson("b", "Office", false)};
        AppModel& model = rig.startPolling();
        serve(model);
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
            QCOMPARE(printed, QString());
            QCOMPARE(ControlAdaptor::units(model).at(1).value("on"), true);
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

QTEST_MAIN(ControlRepliesTest)
#include "tst_control_replies.moc"
