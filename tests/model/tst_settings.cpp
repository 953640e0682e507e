#include "support/log_watch.h"
#include "support/model_rig.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSignalSpy>

using namespace std::chrono_literals;

class SettingsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void unreadableEntryGivesDefaults_data();
    void unreadableEntryGivesDefaults();
    void unwritableStoreIsReported();
    void reading_data();
    void reading();
    void assignmentSavesAndRestartsOnNewInterval();
    void launchAtLogin();
};

void SettingsTest::roundTrip_data() {
    QTest::addColumn<Settings>("settings");
    QTest::newRow("defaults") << Settings{};
    QTest::newRow("all set") << Settings{QStringLiteral("abc"), "F", 45, false};
}

void SettingsTest::roundTrip() {
    QFETCH(Settings, settings);
    TemporarySettings scope;
    settings.save(scope.store());
    QCOMPARE(scope.store().value("settings").typeId(), QMetaType::QByteArray);
    QCOMPARE(Settings::load(scope.store()), settings);
    const QJsonObject stored = QJsonDocument::fromJson(settings.toJson()).object();
    QCOMPARE(stored.contains("menuBarPodID"), settings.menuBarPodID.has_value());
}

void SettingsTest::unreadableEntryGivesDefaults_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<Settings>("loaded");
    const Settings defaults;
    QTest::newRow("none") << QVariant() << defaults;
    QTest::newRow("no showTemperatureInMenuBar")
        << QVariant(QByteArray(R"({"unit":"F","closedInterval":120,"menuBarPodID":"x"})"))
        << defaults;
    QTest::newRow("interval as text")
        << QVariant(QByteArray(
               R"({"unit":"F","closedInterval":"120","showTemperatureInMenuBar":false})"))
        << defaults;
    QTest::newRow("not JSON") << QVariant(QByteArray("{unit")) << defaults;
    QTest::newRow("a string, not bytes")
        << QVariant(
               QString(R"({"unit":"F","closedInterval":120,"showTemperatureInMenuBar":false})"))
        << defaults;
    QTest::newRow("null pod id, interval not offered")
        << QVariant(QByteArray(
               R"({"menuBarPodID":null,"unit":"F","closedInterval":45,"showTemperatureInMenuBar":false})"))
        << Settings{{}, "F", 45, false};
}

// An entry that cannot be read is kept as it was under a key of its own.
void SettingsTest::unreadableEntryGivesDefaults() {
    QFETCH(QVariant, stored);
    QFETCH(Settings, loaded);
    TemporarySettings scope;
    if (stored.isValid())
        scope.store().setValue("settings", stored);
    QCOMPARE(Settings::load(scope.store()), loaded);
    const bool unreadable = stored.isValid() && loaded == Settings{};
    QCOMPARE(scope.store().value("settings.unreadable"), unreadable ? stored : QVariant());
}

// A settings file that cannot be written (its folder is a plain file, which stops even root) is
// reported once, and the app carries on with the values it holds.
void SettingsTest::unwritableStoreIsReported() {
    TemporarySettings scope;
    QFile blocker(scope.folder() + QStringLiteral("/blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    QSettings store(blocker.fileName() + QStringLiteral("/settings.ini"), QSettings::IniFormat);
    const LogWatch watch;
    Settings settings;
    settings.unit = QStringLiteral("F");
    settings.save(store);
    settings.save(store);
    QCOMPARE(watch.newLines(), QStringList{"couldn't write the settings file " + store.fileName()});
    QCOMPARE(Settings::load(store).unit, QStringLiteral("F"));
}

void SettingsTest::reading_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("Celsius") << "en_US"
                             << "C" << 23.44 << 1 << "23.4°";
    QTest::newRow("Fahrenheit") << "en_US"
                                << "F" << 23.44 << 1 << "74.2°";
    QTest::newRow("rounded") << "en_US"
                             << "F" << 21.0 << 0 << "70°";
    QTest::newRow("decimal comma") << "de_DE"
                                   << "C" << 23.44 << 1 << "23,4°";
    QTest::newRow("other unit is Celsius") << "en_US"
                                           << "K" << 20.0 << 0 << "20°";
}

void SettingsTest::reading() {
    QFETCH(QString, locale);
    QFETCH(QString, unit);
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(locale));
    Settings settings;
    settings.unit = unit;
    QCOMPARE(settings.reading(value, decimals), text);
    QCOMPARE(settings.reading(std::nullopt, decimals), QStringLiteral("–"));
    QLocale::setDefault(QLocale::c());
}

void SettingsTest::assignmentSavesAndRestartsOnNewInterval() {
    ModelRig rig;
    rig.units = {unitJson("a", "Hall", true)};
    AppModel& model = rig.startPolling();
    QSignalSpy changed(&model, &AppModel::settingsChanged);
    Settings settings = model.settings();
    settings.unit = "F";
    model.setSettings(settings);
    QCOMPARE(Settings::load(rig.settings.store()).unit, QStringLiteral("F"));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(rig.clock.pendingSleeps(), QList<qint64>{60'000});
    QCOMPARE(rig.listings().size(), 1);

    settings.closedInterval = 120;
    model.setSettings(settings);
    QVERIFY(rig.waitForSleeps({120'000}));
    QCOMPARE(rig.listings().size(), 2);
    QCOMPARE(Settings::load(rig.settings.store()), settings);

    // The same value again is still written.
    rig.settings.store().remove("settings");
    model.setSettings(settings);
    QCOMPARE(Settings::load(rig.settings.store()), settings);
    QCOMPARE(changed.size(), 2);
    QCOMPARE(rig.listings().size(), 2);

    // A new model starts from what was stored.
    rig.model.reset();
    QCOMPARE(rig.start().settings(), settings);
}

void SettingsTest::launchAtLogin() {
    QTemporaryDir home;
    const QString folder = home.filePath("autostart");
    TemporarySettings scope;
    MemoryKeyStore keys;
    VirtualClock clock;
    AppModel model({keys, clock, scope.store(), {}, LoginItem(folder, "/opt/My \"App\"/alvore")},
                   true);
    QSignalSpy changed(&model, &AppModel::launchAtLoginChanged);
    QVERIFY(!model.launchAtLogin());
    model.setLaunchAtLogin(true);
    QVERIFY(model.launchAtLogin());
    QFile entry(folder + "/alvore.desktop");
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    QVERIFY(text.startsWith("[Desktop Entry]\n"));
    QVERIFY(text.contains("Type=Application\n"));
    QVERIFY(text.contains(R"(Exec="/opt/My \\"App\\"/alvore")"));
    model.setLaunchAtLogin(false);
    QVERIFY(!model.launchAtLogin());
    QCOMPARE(changed.size(), 2);

    // A folder that cannot be made: the failure is logged and the switch reads false again.
    QFile blocker(home.filePath("blocked"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    AppModel blocked({keys, clock, scope.store(), {}, LoginItem(blocker.fileName(), "alvore")},
                     true);
    QSignalSpy blockedChanged(&blocked, &AppModel::launchAtLoginChanged);
    LogWatch log;
    blocked.setLaunchAtLogin(true);
    QCOMPARE(blockedChanged.size(), 1);
    QVERIFY(!blocked.launchAtLogin());
    const QStringList lines = log.newLines();
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().startsWith("launch at login change failed: "));
}

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
