#include "support/log_watch.h"
#include "support/model_rig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSignalSpy>

using namespace std::chrono_literals;

namespace {
QString makeProgram(const QTemporaryDir& root, const QString& path) {
    QString full = root.filePath(path);
    QDir().mkpath(QFileInfo(full).path());
    QFile file(full);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.setPermissions(file.permissions() | QFile::ExeOwner);
    return full;
}
} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unreadableEntryGivesDefaults_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<Settings>("loaded");
        const auto row = [](const char* name, const QVariant& stored, const Settings& loaded) {
            QTest::newRow(name) << stored << loaded;
        };
        const auto bytes = [](const char* json) { return QVariant(QByteArray(json)); };
        row("none", {}, {});
        row("no showTemperatureInMenuBar",
            bytes(R"({"unit":"F","closedInterval":120,"menuBarPodID":"x"})"), {});
        row("interval as text",
            bytes(R"({"unit":"F","closedInterval":"120","showTemperatureInMenuBar":false})"), {});
        row("not JSON", bytes("{unit"), {});
        row("a string, not bytes",
            QString(R"({"unit":"F","closedInterval":120,"showTemperatureInMenuBar":false})"), {});
        row("null pod id, interval not offered",
            bytes(R"({"menuBarPodID":null,"unit":"F","closedInterval":45,)"
                  R"("showTemperatureInMenuBar":false})"),
            {{}, "F", 45, false});
        // The tray icon's colours came later: missing or unknown, the rest still loads.
        row("dark tray icon",
            bytes(R"({"unit":"F","closedInterval":45,"showTemperatureInMenuBar":false,)"
                  R"("trayIcon":"dark"})"),
            {{}, "F", 45, false, Settings::TrayIcon::dark});
        row("unknown tray icon",
            bytes(R"({"unit":"F","closedInterval":45,"showTemperatureInMenuBar":false,)"
                  R"("trayIcon":7})"),
            {{}, "F", 45, false});
    }

    // An entry that cannot be read is kept as it was under a key of its own.
    void unreadableEntryGivesDefaults() {
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
    void unwritableStoreIsReported() {
        TemporarySettings scope;
        QFile blocker(scope.folder() + QStringLiteral("/blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        QSettings store(blocker.fileName() + QStringLiteral("/settings.ini"), QSettings::IniFormat);
        const LogWatch watch;
        Settings settings;
        settings.unit = QStringLiteral("F");
        settings.save(store);
        settings.save(store);
        QCOMPARE(watch.newLines(),
                 QStringList{"couldn't write the settings file " + store.fileName()});
        QCOMPARE(Settings::load(store).unit, QStringLiteral("F"));
    }

    void reading() {
        const struct {
            const char *locale, *unit;
            double value;
            int decimals;
            const char* text;
        } rows[] = {{"en_US", "C", 23.44, 1, "23.4°"},
                    {"en_US", "F", 21.0, 0, "70°"},
                    {"de_DE", "C", 23.44, 1, "23,4°"},
                    {"en_US", "K", 20.0, 0, "20°"}}; // another unit reads as Celsius
        for (const auto& row : rows) {
            QLocale::setDefault(QLocale(row.locale));
            Settings settings;
            settings.unit = row.unit;
            QCOMPARE(settings.reading(row.value, row.decimals), row.text);
            QCOMPARE(settings.reading(std::nullopt, row.decimals), QStringLiteral("–"));
        }
        QLocale::setDefault(QLocale::c());
    }

    void assignmentSavesAndRestartsOnNewInterval() {
        ModelRig rig({unitJson("a", "Hall", true)});
        AppModel& model = rig.startPolling();
        QSignalSpy changed(&model, &AppModel::settingsChanged);
        Settings settings = model.settings();
        settings.unit = "F";
        model.setSettings(settings);
        QCOMPARE(Settings::load(rig.settings.store()).unit, QStringLiteral("F"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(rig.clock.pendingSleeps(), QList<qint64>{60'000}); // the same interval: no restart

        settings.closedInterval = 120;
        settings.menuBarPodID = "a";
        settings.trayIcon = Settings::TrayIcon::light;
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

    void launchAtLogin() {
        ModelRig rig;
        AppModel& model = rig.start(true);
        QSignalSpy changed(&model, &AppModel::launchAtLoginChanged);
        model.setLaunchAtLogin(true);
        QVERIFY(model.launchAtLogin());
        QVERIFY(QFile::exists(rig.autostart.filePath("alvore.desktop")));
        model.setLaunchAtLogin(false);
        QVERIFY(!model.launchAtLogin());
        QCOMPARE(changed.size(), 2);
        // The program's path is quoted in the entry.
        const LoginItem quoted(rig.autostart.path(), "/opt/My \"App\"/alvore");
        QCOMPARE(quoted.setRegistered(true), std::nullopt);
        QFile entry(quoted.entryPath());
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QVERIFY(entry.readAll().contains(R"(Exec="/opt/My \\"App\\"/alvore")"));

        // A folder that cannot be made: the failure is logged and the switch reads false again.
        rig.model.reset();
        QVERIFY(QDir(rig.autostart.path()).removeRecursively());
        QFile blocker(rig.autostart.path());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        AppModel& blocked = rig.start(true);
        QSignalSpy blockedChanged(&blocked, &AppModel::launchAtLoginChanged);
        const LogWatch log;
        blocked.setLaunchAtLogin(true);
        QCOMPARE(blockedChanged.size(), 1);
        QVERIFY(!blocked.launchAtLogin());
        QVERIFY(log.newLines().value(0).startsWith("launch at login change failed: "));
        QVERIFY(blocker.remove());
    }

    void launchEntryStartsTheInstalledProgram() {
        QTemporaryDir root;
        const QString bin = root.filePath("bin");
        const QString versioned = makeProgram(root, "opt/alvore-0.1.0/alvore");
        const QString other = makeProgram(root, "build/src/alvore");
        QVERIFY(!versioned.isEmpty() && !other.isEmpty());
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(QFile::link(versioned, bin + "/alvore"));
        const QStringList path{root.filePath("empty"), bin};

        // Installed behind a link on the search path: the entry names the link, not the version.
        QCOMPARE(LoginItem::stableProgram(versioned, path), bin + "/alvore");
        QCOMPARE(LoginItem::stableProgram(bin + "/alvore", path), bin + "/alvore");
        // A different program of the same name (a build folder): the entry starts this one.
        QCOMPARE(LoginItem::stableProgram(other, path), other);
        QCOMPARE(LoginItem::stableProgram(other, {root.filePath("empty")}), other);
        // The running file was replaced by an upgrade: the installed one is what starts next time.
        QCOMPARE(LoginItem::stableProgram(root.filePath("opt/alvore-0.0.9/alvore"), path),
                 bin + "/alvore");
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
