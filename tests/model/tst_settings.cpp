#include "model/preset_book.h"
#include "support/log_watch.h"
#include "support/model_rig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSignalSpy>

using namespace std::chrono_literals;

namespace {
// A copy of a program that runs, with its permissions.
QString makeProgram(const QTemporaryDir& root, const QString& path) {
    const QString full = root.filePath(path);
    return QDir().mkpath(QFileInfo(full).path()) && QFile::copy("/bin/true", full) ? full
                                                                                   : QString();
}

Preset preset(const QString& podID, const QString& name, ACState state = {}) {
    return {QUuid::createUuid(), podID, name, std::move(state)};
}

ACState coolAt(qint64 target, const QString& fan) {
    return {true, "cool", target, {}, fan, {}, {}, {}};
}

QStringList names(const QList<Preset>& presets) {
    QStringList names;
    for (const Preset& preset : presets)
        names.append(preset.name);
    return names;
}
} // namespace

// The user's settings and presets: as stored, read back and applied; and launch at login.
class SettingsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // An entry that cannot be read gives the defaults and is kept as it was under a key of its
    // own. The tray icon's colours came later: missing or unknown, the rest still loads.
    void unreadableEntryGivesDefaults() {
        const auto with = [](const char* members) {
            return QVariant(QByteArray(R"({"unit":"F",)") + members + "}");
        };
        const Settings fahrenheit{{}, "F", 45, false};
        const struct {
            QVariant stored;
            Settings loaded;
        } rows[] = {
            {{}, {}},
            {with(R"("closedInterval":120,"menuBarPodID":"x")"), {}}, // a member missing
            {with(R"("closedInterval":"120","showTemperatureInMenuBar":false)"), {}}, // text
            {QByteArray("{unit"), {}},
            // A string, not bytes.
            {with(R"("closedInterval":120,"showTemperatureInMenuBar":false)").toString(), {}},
            // An interval the settings window does not offer, and no unit for the tray.
            {with(R"("menuBarPodID":null,"closedInterval":45,"showTemperatureInMenuBar":false)"),
             fahrenheit},
            {with(R"("closedInterval":45,"showTemperatureInMenuBar":false,"trayIcon":"dark")"),
             {{}, "F", 45, false, Settings::TrayIcon::dark}},
            {with(R"("closedInterval":45,"showTemperatureInMenuBar":false,"trayIcon":7)"),
             fahrenheit}};
        for (const auto& [stored, loaded] : rows) {
            TemporarySettings scope;
            if (stored.isValid())
                scope.store().setValue("settings", stored);
            QCOMPARE(Settings::load(scope.store()), loaded);
            const bool unreadable = stored.isValid() && loaded == Settings{};
            QCOMPARE(scope.store().value("settings.unreadable"), unreadable ? stored : QVariant());
        }

        // A settings file that cannot be written (its folder is a plain file, which stops even
        // root) is reported once, and the app carries on with the values it holds.
        TemporarySettings scope;
        QFile blocker(scope.folder() + QStringLiteral("/blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        QSettings store(blocker.fileName() + QStringLiteral("/settings.ini"), QSettings::IniFormat);
        const LogWatch watch;
        const Settings settings{{}, "F"};
        settings.save(store);
        settings.save(store);
        QCOMPARE(watch.newLines(),
                 QStringList{"couldn't write the settings file " + store.fileName()});
        QCOMPARE(Settings::load(store).unit, QStringLiteral("F"));
    }

    void reading() {
        const auto read = [](const char* locale, const char* unit, double value, int decimals) {
            QLocale::setDefault(QLocale(locale));
            return Settings{{}, unit}.reading(value, decimals);
        };
        // Another unit than "F" reads as Celsius.
        QCOMPARE(QStringList({read("en_US", "C", 23.44, 1), read("en_US", "F", 21.0, 0),
                              read("de_DE", "C", 23.44, 1), read("en_US", "K", 20.0, 0),
                              Settings{}.reading(std::nullopt, 1)}),
                 QStringList({"23.4°", "70°", "23,4°", "20°", "–"}));
        QLocale::setDefault(QLocale::c());
    }

    void assignmentSavesAndRestartsOnNewInterval() {
        ModelRig rig({unitJson("a", "Hall", true)});
        AppModel& model = rig.startPolling();
        QSignalSpy changed(&model, &AppModel::settingsChanged);
        const Settings settings{"a", "F", 120, false, Settings::TrayIcon::light};
        model.setSettings(settings);
        QVERIFY(rig.waitForSleeps({120'000}) && rig.listings().size() == 2);
        QCOMPARE(Settings::load(rig.settings.store()), settings);

        // The same value again is still written, but neither told nor polled for.
        rig.settings.store().remove("settings");
        model.setSettings(settings);
        QCOMPARE(Settings::load(rig.settings.store()), settings);
        QCOMPARE(std::pair(changed.size(), rig.listings().size()),
                 std::pair(qsizetype(1), qsizetype(2)));

        // A new model starts from what was stored.
        rig.model.reset();
        QCOMPARE(rig.start().settings(), settings);
    }

    void launchAtLogin() {
        ModelRig rig;
        AppModel& model = rig.start(true);
        const QString entryPath = rig.autostart.filePath("alvore.desktop");
        model.setLaunchAtLogin(true);
        QVERIFY(model.launchAtLogin() && QFile::exists(entryPath));
        model.setLaunchAtLogin(false);
        QVERIFY(!model.launchAtLogin() && !QFile::exists(entryPath));
        // The program's path is quoted in the entry.
        const LoginItem quoted(rig.autostart.path(), "/opt/My \"App\"/alvore");
        QFile entry(quoted.entryPath());
        QVERIFY(!quoted.setRegistered(true) && entry.open(QIODevice::ReadOnly));
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
        QVERIFY(blockedChanged.size() == 1 && !blocked.launchAtLogin());
        QVERIFY(log.newLines().value(0).startsWith("launch at login change failed: "));
        QVERIFY(blocker.remove());

        // The program the entry starts.
        QTemporaryDir root;
        const QString bin = root.filePath("bin");
        const QString versioned = makeProgram(root, "opt/alvore-0.1.0/alvore");
        const QString other = makeProgram(root, "build/src/alvore");
        QVERIFY(!versioned.isEmpty() && !other.isEmpty() && QDir().mkpath(bin) &&
                QFile::link(versioned, bin + "/alvore"));
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

    // Presets as stored. One bad entry spoils the list; what was stored is kept aside
    // (unreadableEntryGivesDefaults words the rule for every record), even when a new list is
    // written.
    void presetsStoredForm() {
        const QUuid id = QUuid::fromString(QStringLiteral("6f1c2a9e-0b4d-4e8a-9c3f-2d7e5a1b8c40"));
        const QList<Preset> presets{
            {id, "a", "Evening", ACState{true, "heat", {}, {}, {}, {}, {}, {}}}};
        const QByteArray good = R"([{"id":"6F1C2A9E-0B4D-4E8A-9C3F-2D7E5A1B8C40","podID":"a",)"
                                R"("name":"Evening","state":{"on":true,"mode":"heat"}}])";
        QCOMPARE(std::pair(Preset::toJson(presets), Preset::fromJson(good)),
                 std::pair(good, std::optional(presets)));
        const LogWatch watch;
        for (const QByteArray& stored :
             {QByteArray("[{"), QByteArray(good).replace(R"("podID":"a",)", ""),
              good.chopped(1) + R"(,{"podID":"a","name":"N","state":{}}])"}) {
            TemporarySettings settings;
            settings.store().setValue("presets", stored);
            QCOMPARE(Preset::load(settings.store()), QList<Preset>{});
            Preset::save({preset("a", "New")}, settings.store());
            QCOMPARE(settings.store().value("presets.unreadable").toByteArray(), stored);
        }
        QCOMPARE(watch.newLines(), QStringList(3, "the stored presets couldn't be read; kept under "
                                                  "presets.unreadable, starting without"));
    }

    void formerBuiltInsGoOnFirstNormalStartOnly() {
        const QList<Preset> stored{preset("a", "Cool 22°"), preset("a", "Night"),
                                   preset("b", "Heat"),     preset("b", "Dry"),
                                   preset("a", "Cooler"),   preset("a", "Dry run")};
        // Demo mode leaves the list alone, and does not count as the first start.
        ModelRig rig(std::nullopt);
        Preset::save(stored, rig.settings.store());
        QCOMPARE(rig.start(true).presets().all(), stored);

        rig.model.reset();
        AppModel& model = rig.start();
        QCOMPARE(names(model.presets().all()), (QStringList{"Heat", "Cooler", "Dry run"}));
        QCOMPARE(names(Preset::load(rig.settings.store())), names(model.presets().all()));

        rig.model.reset();
        Preset::save(stored, rig.settings.store());
        QCOMPARE(rig.start().presets().all(), stored);
    }

    // Saving takes the unit's state switched on, without horizontal swing and light; a blank
    // name names it after the state, a long one is cut by characters. Every change is stored
    // at once and told once.
    void presetBook() {
        TemporarySettings settings;
        int changes = 0;
        PresetBook book(settings.store(), [&changes] { ++changes; });
        Pod unit;
        unit.id = "a";
        unit.acState = ACState{false, "heat", 24, {}, "low", "rangeFull", "fixedLeft", "on"};
        book.save(" \n\t", unit);
        QCOMPARE(changes, 1);
        const Preset saved = book.all().last();
        QCOMPARE(saved, (Preset{saved.id, "a", "Heat 24° · Low",
                                ACState{true, "heat", 24, {}, "low", "rangeFull", {}, {}}}));
        // Cut to 40 characters, trimmed first; a flag of two code points each is not split.
        book.save("  " + QString(39, u'x') + QStringLiteral("🇫🇷🇩🇪") + "  ", unit);
        QCOMPARE(book.all().last().name, QString(39, u'x') + QStringLiteral("🇫🇷"));
        QCOMPARE(Preset::load(settings.store()), book.all());

        const Preset a = preset("1", "A"), x = preset("2", "X"), b = preset("1", "B"),
                     c = preset("1", "C");
        Preset::save({a, x, b, c}, settings.store());
        PresetBook edited(settings.store(), [&changes] { ++changes; });
        changes = 0;
        edited.move(b.id, -1); // moves only among the presets of its unit
        QCOMPARE(names(edited.all()), (QStringList{"B", "X", "A", "C"}));
        edited.move(b.id, -1); // first of its unit
        edited.move(c.id, +1); // last of its unit
        edited.move(x.id, +1); // alone in its group
        edited.move(QUuid::createUuid(), 1);
        QCOMPARE(changes, 1);
        edited.move(b.id, 2);
        QCOMPARE(names(edited.all()), (QStringList{"C", "X", "A", "B"}));
        edited.rename(x.id, "  " + QString(50, u'r'));
        QCOMPARE(edited.all().at(1).name, "  " + QString(38, u'r')); // cut, not trimmed
        QCOMPARE(Preset::load(settings.store()), edited.all());

        // The first of the unit's own presets that fits its state is active, while it is on.
        const ACState modeOnly{{}, "cool", {}, {}, {}, {}, {}, {}};
        const Preset exact = preset("a", "Exact", coolAt(22, "auto"));
        Preset::save({preset("b", "Elsewhere", modeOnly),
                      preset("a", "Heat", ACState{true, "heat", 22, {}, "auto", {}, {}, {}}),
                      preset("a", "Fan", coolAt(22, "high")), exact, preset("a", "Cool", modeOnly),
                      preset("b", "Office", coolAt(22, "auto"))},
                     settings.store());
        const PresetBook shelf(settings.store(), [] {});
        unit.acState = coolAt(22, "auto");
        QCOMPARE(shelf.active(unit), std::optional(exact));
        unit.acState->targetTemperature = 23; // any target fits a preset without one
        QCOMPARE(shelf.active(unit)->name, QStringLiteral("Cool"));
        unit.id = "b";
        unit.acState = coolAt(22, "auto");
        unit.acState->on = false; // off: even the preset of exactly its state does not count
        QVERIFY(!shelf.active(unit) &&
                names(shelf.of("b")) == QStringList({"Elsewhere", "Office"}));
    }

    // A preset goes out at once, without the clock moving, and switches the unit on; without a
    // target the unit keeps its target and temperature unit. (A preset's target taking over is
    // tst_status_item's contextMenuListsUnitsAndPresets.)
    void applySendsAtOnce() {
        ModelRig rig({unitJson("a", "Bedroom", false, 22)});
        AppModel& model = rig.startPolling();
        rig.service.on("POST", statePath("a"), LoopbackService::Response::json(envelope({})));
        model.apply(preset("a", "Low", ACState{{}, {}, {}, "F", "low", "rangeFull", {}, {}}));
        QVERIFY(rig.service.waitForRequests(2));
        QJsonObject sent = unitJson("a", "", true, 22).value("acState").toObject();
        sent["fanLevel"] = "low";
        sent["swing"] = "rangeFull";
        QCOMPARE(rig.sentState("a"), sent);
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
