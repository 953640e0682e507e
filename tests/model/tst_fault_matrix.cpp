#include "support/log_watch.h"
#include "support/model_rig.h"
#include "support/settle.h"

using namespace std::chrono_literals;
using Response = LoopbackService::Response;
using Kind = AppModel::Status::Kind;

namespace {
const QString unreadable = SensiboAPI::Failure::unreadable().errorDescription();

Response cutOff(const QByteArray& body) {
    Response response = Response::json(body);
    response.closeMidAnswer = true;
    return response;
}

Response reset() {
    Response response;
    response.resetConnection = true;
    return response;
}

Response silent() {
    Response response = Response::json(envelope(QJsonArray()));
    response.delay = 10s;
    return response;
}

// Everything in the user defaults store: settings, presets and the app's flags.
QMap<QString, QVariant> contents(QSettings& store) {
    QMap<QString, QVariant> values;
    for (const QString& key : store.allKeys())
        values.insert(key, store.value(key));
    return values;
}
} // namespace

// Whatever the service or the network does to a refresh, the app says what happened, keeps
// polling at its back-off pace (unless the key was refused) and loses neither the key nor any
// stored data.
class FaultMatrixTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The client's tests word every failed status and undecodable answer, and bound large ones;
    // here one of each kind reaches the model.
    void faultsAreToldAndLoseNothing_data() {
        QTest::addColumn<Response>("answer");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("text");
        const QByteArray listing = envelope(QJsonArray{unitJson("a", "Hall", true)});
        QTest::newRow("401") << Response::json("{}", 401) << Kind::needsKey << QString();
        QTest::newRow("403") << Response::json("{}", 403) << Kind::needsKey << QString();
        QTest::newRow("429") << Response::json(R"({"message":"Slow down"})", 429) << Kind::offline
                             << "Sensibo said: Slow down";
        QTest::newRow("500") << Response::json("<html>oops</html>", 500) << Kind::offline
                             << "Sensibo returned an error (HTTP 500).";
        QTest::newRow("200, wrong shape")
            << Response::json(envelope(QJsonObject{{"id", "a"}})) << Kind::offline << unreadable;
        QTest::newRow("cut off half-way")
            << cutOff(listing) << Kind::offline << "This computer is offline.";
        QTest::newRow("connection reset")
            << reset() << Kind::offline << "This computer is offline.";
        QTest::newRow("no answer in time")
            << silent() << Kind::offline << "Sensibo didn't answer in time.";
    }

    void faultsAreToldAndLoseNothing() {
        QFETCH(Response, answer);
        QFETCH(Kind, kind);
        QFETCH(QString, text);
        ModelRig rig({unitJson("a", "Hall", true)});
        // Short only where the wait itself is tested, so a busy machine cannot turn the other
        // faults into a timeout.
        if (answer.delay > 0ms)
            rig.clientTimeout = 500ms;
        Preset::save({{QUuid::createUuid(), "a", "Evening", {}}}, rig.settings.store());
        Settings{QStringLiteral("a"), "F", 60, false}.save(rig.settings.store());
        AppModel& model = rig.startPolling();
        const std::optional<QString> key = rig.keys.storedKey();
        const QMap<QString, QVariant> stored = contents(rig.settings.store());
        QCOMPARE(model.presets().all().size(), 1);

        // Qt sends a request again once when a reused connection fails before any answer.
        rig.listingAnswers = QList<Response>(8, answer);
        const LogWatch log;
        rig.clock.advance(60s);
        if (kind == Kind::needsKey) {
            QVERIFY(QTest::qWaitFor([&] { return model.status().kind == Kind::needsKey; }));
            QCOMPARE(log.newLines(), QStringList{"refresh: key refused"});
            // No request of any kind uses the refused key: not after time, the panel (which reads
            // timers), a wake, a new interval, a chart, a change or a timer.
            const qsizetype requests = rig.service.requests().size();
            model.setPanelOpen(true);
            model.setAwake(true);
            const Settings settings = model.settings();
            model.setSettings({{}, "C", 120, true});
            model.setSettings(settings);
            model.loadHistory("a");
            model.togglePower("a");
            model.features().setTimer("a", 30, false);
            rig.clock.advance(1h);
            QVERIFY(settle());
            QCOMPARE(rig.service.requests().size(), requests);
            QCOMPARE(rig.clock.pendingSleeps(), QList<qint64>{});
        } else {
            QVERIFY(rig.waitForSleeps({120'000}));
            QCOMPARE(model.status().kind, kind);
            QCOMPARE(model.status().text, text);
            QVERIFY(log.newLines().contains("refresh failed (1): " + text));
            QVERIFY(rig.poll(120s, 240'000));
            rig.listingAnswers.clear(); // the service is back
            QVERIFY(rig.poll(240s));
            QCOMPARE(model.status().kind, Kind::ready);
        }
        QCOMPARE(model.pods().size(), 1);
        QCOMPARE(rig.keys.storedKey(), key);
        QCOMPARE(contents(rig.settings.store()), stored);
        for (const QString& line : log.newLines())
            QVERIFY2(!line.contains(*key), qPrintable(line));
    }
};

QTEST_GUILESS_MAIN(FaultMatrixTest)
#include "tst_fault_matrix.moc"
