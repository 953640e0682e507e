#include "model/preset_book.h"
#include "support/log_watch.h"
#include "support/model_rig.h"

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
        QCOMPARE(model.presets().all(), QList<Preset>{});
        model.presets().save("New", *model.pod("demo1")); // replaces the stored entry
        QCOMPARE(Preset::load(rig.settings.store()), model.presets().all());
        QCOMPARE(model.presets().all().size(), 1);
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
        QCOMPARE(rig.start(true).presets().all(), stored);
        QVERIFY(!rig.settings.store().contains("presets.unseeded"));

        rig.model.reset();
        AppModel& model = rig.start();
        QCOMPARE(names(model.presets().all()), (QStringList{"Heat", "Cooler", "Dry run"}));
        QCOMPARE(names(Preset::load(rig.settings.store())), names(model.presets().all()));
        QCOMPARE(rig.settings.store().value("presets.unseeded").toBool(), true);

        rig.model.reset();
        Preset::save(stored, rig.settings.store());
        QCOMPARE(rig.start().presets().all(), stored);
    }

    // The first of the unit's own presets that fits its state, while it is on.
    void activeAndOwnPresets() {
        TemporarySettings settings;
        const ACState modeOnly{{}, "cool", {}, {}, {}, {}, {}, {}};
        const Preset exact = preset("a", "Exact", coolAt(22, "auto"));
        Preset::save({preset("b", "Elsewhere", modeOnly),
                      preset("a", "Heat", ACState{true, "heat", 22, {}, "auto", {}, {}, {}}),
                      preset("a", "Fan", coolAt(22, "high")), exact, preset("a", "Cool", modeOnly),
                      preset("b", "Office", coolAt(22, "auto"))},
                     settings.store());
        const PresetBook book(settings.store(), [] {});
        Pod unit;
        unit.id = "a";
        unit.acState = coolAt(22, "auto");
        QCOMPARE(book.active(unit), std::optional(exact));
        unit.acState->targetTemperature = 23; // any target fits a preset without one
        QCOMPARE(book.active(unit)->name, QStringLiteral("Cool"));
        unit.id = "b";
        unit.acState = coolAt(22, "auto");
        unit.acState->on = false; // off: even the preset of exactly its state does not count
        QCOMPARE(book.active(unit), std::nullopt);
        QCOMPARE(names(book.of("b")), (QStringList{"Elsewhere", "Office"}));
    }

    // Saving takes the unit's state switched on, without horizontal swing and light; a blank
    // name names it after the state, a long one is cut by characters. Every change is stored
    // at once and told once.
    void savingAndEditing() {
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
        book.save(QString(50, u'n'), unit);
        QCOMPARE(book.all().last().name, QString(40, u'n'));
        // A flag of two code points each is not split.
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
        edited.rename(a.id, "");
        edited.remove(c.id);
        QCOMPARE(names(edited.all()), (QStringList{"  " + QString(38, u'r'), "", "B"}));
        QCOMPARE(Preset::load(settings.store()), edited.all());
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
