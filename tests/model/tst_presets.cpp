#include "support/log_watch.h"
#include "support/model_rig.h"

#include <QSignalSpy>

namespace {
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

class PresetsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void storedForm() {
        const QUuid id = QUuid::fromString(QStringLiteral("6f1c2a9e-0b4d-4e8a-9c3f-2d7e5a1b8c40"));
        const QList<Preset> presets{
            {id, "a", "Evening", ACState{true, "heat", {}, {}, {}, {}, {}, {}}}};
        QCOMPARE(Preset::toJson(presets),
                 QByteArray(R"([{"id":"6F1C2A9E-0B4D-4E8A-9C3F-2D7E5A1B8C40","podID":"a",)"
                            R"("name":"Evening","state":{"on":true,"mode":"heat"}}])"));
        QCOMPARE(Preset::fromJson(Preset::toJson(presets)), presets);
    }

    void badStoredListGivesNone_data() {
        QTest::addColumn<QByteArray>("stored");
        const QByteArray good =
            R"({"id":"6F1C2A9E-0B4D-4E8A-9C3F-2D7E5A1B8C40","podID":"a","name":"N","state":{}})";
        QTest::newRow("not JSON") << QByteArray("[{");
        QTest::newRow("no podID") << QByteArray(
            R"([{"id":"6F1C2A9E-0B4D-4E8A-9C3F-2D7E5A1B8C40","name":"N","state":{}}])");
        QTest::newRow("one bad entry after a good one")
            << QByteArray("[" + good + R"(,{"podID":"a","name":"N","state":{}}])");
    }

    // The model starts with no presets, and the stored list survives under a key of its own when a
    // new list is written over it.
    void badStoredListGivesNone() {
        QFETCH(QByteArray, stored);
        ModelRig rig;
        rig.settings.store().setValue("presets", stored);
        const LogWatch watch;
        AppModel& model = rig.start(true);
        QCOMPARE(model.presets(), QList<Preset>{});
        model.savePreset("New", "demo1"); // replaces the stored entry
        QCOMPARE(Preset::load(rig.settings.store()), model.presets());
        QCOMPARE(model.presets().size(), 1);
        QCOMPARE(rig.settings.store().value("presets.unreadable").toByteArray(), stored);
        QCOMPARE(watch.newLines().filter("presets"),
                 QStringList{"the stored presets couldn't be read; kept under presets.unreadable, "
                             "starting without"});
    }

    void formerBuiltInsGoOnFirstNormalStartOnly() {
        const QList<Preset> stored{preset("a", "Cool 22°"), preset("a", "Night"),
                                   preset("b", "Heat"),     preset("b", "Dry"),
                                   preset("a", "Cooler"),   preset("a", "Dry run")};
        // Demo mode leaves the list and the flag alone.
        ModelRig rig(std::nullopt);
        Preset::save(stored, rig.settings.store());
        QCOMPARE(rig.start(true).presets(), stored);
        QVERIFY(!rig.settings.store().contains("presets.unseeded"));

        rig.model.reset();
        AppModel& model = rig.start();
        QCOMPARE(names(model.presets()), (QStringList{"Heat", "Cooler", "Dry run"}));
        QCOMPARE(names(Preset::load(rig.settings.store())), names(model.presets()));
        QCOMPARE(rig.settings.store().value("presets.unseeded").toBool(), true);

        rig.model.reset();
        Preset::save(stored, rig.settings.store());
        QCOMPARE(rig.start().presets(), stored);
    }

    void activePresetOfUnit() {
        ModelRig rig;
        const ACState modeOnly{{}, "cool", {}, {}, {}, {}, {}, {}};
        const Preset exact = preset("demo1", "Exact", coolAt(22, "auto"));
        const Preset office = preset("demo2", "Office", coolAt(23, "low"));
        // demo1 is on, cool at 22 °C, fan auto. A preset fits when what it sets agrees.
        Preset::save({preset("demo2", "Elsewhere", modeOnly),
                      preset("demo1", "Heat", ACState{true, "heat", 22, {}, "auto", {}, {}, {}}),
                      preset("demo1", "Fan", coolAt(22, "high")), exact,
                      preset("demo1", "Cool", modeOnly), office},
                     rig.settings.store());
        AppModel& model = rig.start(true);
        QCOMPARE(model.activePreset(*model.pod("demo1")),
                 std::optional(exact)); // the first of its own that fits
        model.step("demo1", +1);        // any target fits a preset without one
        QCOMPARE(model.activePreset(*model.pod("demo1"))->name, QStringLiteral("Cool"));
        // demo2 is off: even the preset of exactly its state does not count.
        QCOMPARE(model.activePreset(*model.pod("demo2")), std::nullopt);
        QCOMPARE(names(model.presets("demo2")), (QStringList{"Elsewhere", "Office"}));
    }

    void saveTakesTheUnitsStateSwitchedOn() {
        QJsonObject unit = unitJson("a", "Bedroom", false);
        unit.insert("acState",
                    QJsonDocument::fromJson(R"({"on":false,"mode":"heat","targetTemperature":24,)"
                                            R"("fanLevel":"low","swing":"rangeFull",)"
                                            R"("horizontalSwing":"fixedLeft","light":"on"})")
                        .object());
        ModelRig rig({unit});
        AppModel& model = rig.startPolling();
        QSignalSpy changed(&model, &AppModel::presetsChanged);
        model.savePreset(" \n\t", "a");
        QCOMPARE(changed.size(), 1);
        const Preset saved = model.presets().last();
        QCOMPARE(saved, (Preset{saved.id, "a", "Heat 24° · Low",
                                ACState{true, "heat", 24, {}, "low", "rangeFull", {}, {}}}));

        model.savePreset(QString(50, u'n'), "a");
        QCOMPARE(model.presets().last().name, QString(40, u'n'));
        // A name is cut by characters: a flag of two code points each is not split.
        const QString flags = QString(39, u'x') + QStringLiteral("🇫🇷🇩🇪");
        model.savePreset("  " + flags + "  ", "a");
        QCOMPARE(model.presets().last().name, QString(39, u'x') + QStringLiteral("🇫🇷"));
        model.savePreset("Ghost", "nowhere");
        QCOMPARE(model.presets().size(), 3);
        // What the model saves is there after a restart, in order.
        const QList<Preset> presets = model.presets();
        rig.model.reset();
        QCOMPARE(rig.start().presets(), presets);
        QCOMPARE(Preset::describe(coolAt(19, "auto")), "Cool 19°");
    }

    // Renaming, deleting and moving (within the unit's own presets) are stored at once.
    void editing() {
        ModelRig rig;
        const Preset a = preset("1", "A"), x = preset("2", "X"), b = preset("1", "B"),
                     c = preset("1", "C");
        Preset::save({a, x, b, c}, rig.settings.store());
        AppModel& model = rig.start(true);
        QSignalSpy changed(&model, &AppModel::presetsChanged);
        model.movePreset(b.id, -1);
        QCOMPARE(names(model.presets()), (QStringList{"B", "X", "A", "C"}));
        model.movePreset(b.id, -1); // first of its unit
        model.movePreset(c.id, +1); // last of its unit
        model.movePreset(x.id, +1); // alone in its group
        model.movePreset(QUuid::createUuid(), 1);
        QCOMPARE(changed.size(), 1);
        model.movePreset(b.id, 2);
        QCOMPARE(names(model.presets()), (QStringList{"C", "X", "A", "B"}));

        model.renamePreset(x.id, "  " + QString(50, u'r'));
        QCOMPARE(model.presets().at(1).name, "  " + QString(38, u'r')); // cut, not trimmed
        model.renamePreset(a.id, "");
        model.deletePreset(c.id);
        QCOMPARE(names(model.presets()), (QStringList{"  " + QString(38, u'r'), "", "B"}));
        QCOMPARE(Preset::load(rig.settings.store()), model.presets());
    }

    void applySendsAtOnce() {
        ModelRig rig({unitJson("a", "Bedroom", false, 22)});
        AppModel& model = rig.startPolling();
        rig.service.on("POST", statePath("a"), LoopbackService::Response::json(envelope({})));
        model.apply(preset("a", "Warm", ACState{{}, "cool", 26, {}, "high", "rangeFull", {}, {}}));
        QCOMPARE(model.pod("a")->acState->on, true); // a preset without "on" switches on
        QVERIFY(rig.service.waitForRequests(2));     // without the clock moving: no debounce
        QJsonObject sent = unitJson("a", "", true, 26).value("acState").toObject();
        sent["fanLevel"] = "high";
        sent["swing"] = "rangeFull";
        QCOMPARE(rig.sentState("a"), sent);

        // Without a target, the unit keeps its target and temperature unit.
        ACState state{true, "cool", 22, "C", "auto", {}, {}, {}};
        preset("a", "Low", ACState{{}, {}, {}, "F", "low", {}, {}, {}}).applyTo(state);
        QCOMPARE(state, (ACState{true, "cool", 22, "C", "low", {}, {}, {}}));
    }
};

QTEST_GUILESS_MAIN(PresetsTest)
#include "tst_presets.moc"
