#include "shell/control/control_adaptor.h"

#include "model/app_model.h"
#include "model/unit_lookup.h"
#include "shell/control/application_service.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <cmath>

const QString ControlAdaptor::interfaceName = QStringLiteral("com.brindlework.Alvore1");

namespace {
QVariantMap record(const Pod& pod, int number, const AppModel& model) {
    QVariantMap unit{
        {QStringLiteral("id"), pod.id},
        {QStringLiteral("name"), pod.displayName()},
        {QStringLiteral("number"), number},
        {QStringLiteral("online"), !pod.isKnownOffline()},
        {QStringLiteral("tray"), model.menuBarPod() && model.menuBarPod()->id == pod.id},
    };
    const ACState state = pod.acState.value_or(ACState{});
    unit.insert(QStringLiteral("on"), state.on == true);
    const auto put = [&unit](const char* key, const auto& value) {
        if (value)
            unit.insert(QLatin1String(key), *value);
    };
    put("mode", state.mode);
    put("target", state.targetTemperature);
    if (state.targetTemperature)
        unit.insert(QStringLiteral("targetUnit"), state.temperatureUnit.value_or("C"));
    put("fan", state.fanLevel);
    put("swing", state.swing);
    put("sideways", state.horizontalSwing);
    put("light", state.light);
    if (pod.measurements) {
        if (const auto celsius = pod.measurements->temperature) {
            const bool fahrenheit = model.settings().unit == u"F";
            const double reading = fahrenheit ? toFahrenheit(*celsius) : *celsius;
            unit.insert(QStringLiteral("roomTemperature"), std::round(reading * 10) / 10);
            unit.insert(QStringLiteral("roomUnit"), fahrenheit ? "F" : "C");
        }
        put("humidity", pod.measurements->humidity);
    }
    if (pod.timer && pod.timer->isPending(model.now())) {
        unit.insert(QStringLiteral("timerAt"), pod.timer->fireDate->toSecsSinceEpoch());
        unit.insert(QStringLiteral("timerTurnsOn"),
                    pod.timer->acState && pod.timer->acState->on == true);
    }
    if (pod.isFilterDue())
        unit.insert(QStringLiteral("filterDue"), true);
    if (pod.smartMode)
        unit.insert(QStringLiteral("climateReact"), pod.smartMode->isEnabled());
    return unit;
}

bool offers(const QStringList& options, const QString& wanted, QString& exact) {
    for (const QString& option : options)
        if (option.compare(wanted, Qt::CaseInsensitive) == 0) {
            exact = option;
            return true;
        }
    return false;
}
} // namespace

ControlAdaptor::ControlAdaptor(ApplicationService* service, AppModel& model, PanelActions panel)
    : QDBusAbstractAdaptor(service), application(service), appModel(model),
      panelActions(std::move(panel)) {
    qDBusRegisterMetaType<QList<QVariantMap>>();
    announcedUnits = units();
    announcedState = state();
    for (const auto changed : {&AppModel::podsChanged, &AppModel::statusChanged,
                               &AppModel::settingsChanged, &AppModel::isDemoChanged})
        connect(&model, changed, this, &ControlAdaptor::announceIfChanged);
}

QList<QVariantMap> ControlAdaptor::units(const AppModel& model) {
    QList<QVariantMap> units;
    const QList<Pod>& pods = model.pods();
    for (qsizetype i = 0; i < pods.size(); ++i)
        units.append(record(pods.at(i), int(i + 1), model));
    return units;
}

QString ControlAdaptor::state(const AppModel& model) {
    if (model.isDemo())
        return QStringLiteral("demo");
    switch (model.status().kind) {
    case AppModel::Status::loading:
        return QStringLiteral("loading");
    case AppModel::Status::ready:
        return QStringLiteral("ready");
    case AppModel::Status::needsKey:
        return QStringLiteral("signedOut");
    case AppModel::Status::offline:
        break;
    }
    return QStringLiteral("offline");
}

void ControlAdaptor::announceIfChanged() {
    QList<QVariantMap> now = units();
    QString nowState = state();
    if (now == announcedUnits && nowState == announcedState)
        return;
    announcedUnits = std::move(now);
    announcedState = std::move(nowState);
    Q_EMIT Changed();
}

void ControlAdaptor::fail(const char* error, const QString& message) {
    application->sendErrorReply(interfaceName + QStringLiteral(".Error.") + QLatin1String(error),
                                message);
}

std::function<void(const std::optional<QString>&)> ControlAdaptor::laterAnswer() {
    if (!application->calledFromDBus())
        return [](const std::optional<QString>&) {};
    application->setDelayedReply(true);
    return [bus = application->connection(),
            call = application->message()](const std::optional<QString>& failure) {
        bus.send(failure ? call.createErrorReply(interfaceName + QStringLiteral(".Error.Failed"),
                                                 *failure)
                         : call.createReply());
    };
}

void ControlAdaptor::answerWhenSettled(const QString& id) {
    appModel.whenSettled(id, laterAnswer());
}

bool ControlAdaptor::refuseWhenSignedOut() {
    if (state() != u"signedOut")
        return false;
    fail("SignedOut", QStringLiteral("Alvore is signed out: sign in from its panel first."));
    return true;
}

std::optional<Pod> ControlAdaptor::controllable(const QString& text) {
    if (refuseWhenSignedOut())
        return std::nullopt;
    if (state() == u"loading") {
        fail("NotReady", QStringLiteral("Alvore is still reading the units; try again shortly."));
        return std::nullopt;
    }
    // Offline before the first listing: there are units, the app just could not read them.
    if (state() == u"offline" && appModel.pods().isEmpty()) {
        fail("NotReady",
             QStringLiteral("Alvore couldn't read the units: ") + appModel.status().text);
        return std::nullopt;
    }
    auto found = UnitLookup::find(appModel.pods(), text);
    if (const QString* why = std::get_if<QString>(&found)) {
        fail("UnknownUnit", *why);
        return std::nullopt;
    }
    Pod& pod = std::get<Pod>(found);
    if (pod.isKnownOffline()) {
        fail("Offline", pod.displayName() + QStringLiteral(" is offline."));
        return std::nullopt;
    }
    return std::move(pod);
}

bool ControlAdaptor::refuseInDemo(const QString& what) {
    if (!appModel.isDemo())
        return false;
    fail("Demo", what + QStringLiteral(" not available in the demo."));
    return true;
}

void ControlAdaptor::TogglePower(const QString& unit) {
    if (const auto pod = controllable(unit)) {
        appModel.togglePower(pod->id);
        answerWhenSettled(pod->id);
    }
}

void ControlAdaptor::SetPower(const QString& unit, bool on) {
    if (const auto pod = controllable(unit)) {
        appModel.change(pod->id, false, [on](ACState& state) { state.on = on; });
        answerWhenSettled(pod->id);
    }
}

void ControlAdaptor::SetMode(const QString& unit, const QString& mode) {
    const auto pod = controllable(unit);
    if (!pod)
        return;
    const QStringList modes = pod->modes();
    QString exact;
    if (!offers(modes, mode, exact))
        return fail("NotOffered", QStringLiteral("%1 has no mode \"%2\"; it offers %3.")
                                      .arg(pod->displayName(), mode, modes.join(", ")));
    appModel.setMode(pod->id, exact);
    answerWhenSettled(pod->id);
}

void ControlAdaptor::StepTarget(const QString& unit, int by) {
    const auto pod = controllable(unit);
    if (!pod || by == 0)
        return;
    const ACState state = pod->acState.value_or(ACState{});
    const QList<qint64> values = pod->temperatures(state);
    if (!state.targetTemperature || values.isEmpty())
        return fail(
            "NotOffered",
            QStringLiteral("%1 has no target temperature in this mode.").arg(pod->displayName()));
    const qint64 current = *state.targetTemperature;
    const bool up = by > 0;
    if ((up && current >= values.last()) || (!up && current <= values.first()))
        return fail("NotOffered", QStringLiteral("%1 is already at its %2 target, %3°.")
                                      .arg(pod->displayName(), up ? "highest" : "lowest")
                                      .arg(current));
    for (int i = 0; i < std::abs(by); ++i)
        appModel.step(pod->id, up ? 1 : -1);
    answerWhenSettled(pod->id);
}

void ControlAdaptor::SetTarget(const QString& unit, int degrees) {
    const auto pod = controllable(unit);
    if (!pod)
        return;
    const QList<qint64> values = pod->temperatures(pod->acState.value_or(ACState{}));
    if (!values.contains(degrees)) {
        if (values.isEmpty())
            return fail("NotOffered", QStringLiteral("%1 has no target temperature in this mode.")
                                          .arg(pod->displayName()));
        return fail("NotOffered", QStringLiteral("%1 takes a target from %2° to %3°.")
                                      .arg(pod->displayName())
                                      .arg(values.first())
                                      .arg(values.last()));
    }
    appModel.change(pod->id, false,
                    [degrees](ACState& state) { state.targetTemperature = degrees; });
    answerWhenSettled(pod->id);
}

void ControlAdaptor::SetFan(const QString& unit, const QString& level) {
    const auto pod = controllable(unit);
    if (!pod)
        return;
    const QStringList levels = pod->fanLevels();
    QString exact;
    if (!offers(levels, level, exact))
        return fail(
            "NotOffered",
            levels.isEmpty()
                ? QStringLiteral("%1 has no fan levels in this mode.").arg(pod->displayName())
                : QStringLiteral("%1 has no fan level \"%2\" in this mode; it offers %3.")
                      .arg(pod->displayName(), level, levels.join(", ")));
    appModel.change(pod->id, false, [&exact](ACState& state) { state.fanLevel = exact; });
    answerWhenSettled(pod->id);
}

void ControlAdaptor::SetSideways(const QString& unit, const QString& position) {
    setOffered(unit, QStringLiteral("sideways swing"), position, &ModeCapabilities::horizontalSwing,
               &ACState::horizontalSwing);
}

void ControlAdaptor::SetLight(const QString& unit, const QString& light) {
    setOffered(unit, QStringLiteral("display light"), light, &ModeCapabilities::light,
               &ACState::light);
}

void ControlAdaptor::setOffered(const QString& unit, const QString& what, const QString& wanted,
                                std::optional<QStringList> ModeCapabilities::*offered,
                                std::optional<QString> ACState::*setting) {
    const auto pod = controllable(unit);
    if (!pod)
        return;
    const std::optional<ModeCapabilities> caps = pod->capabilities();
    const QStringList values = caps ? ((*caps).*offered).value_or(QStringList{}) : QStringList{};
    QString exact;
    if (!offers(values, wanted, exact))
        return fail("NotOffered",
                    values.isEmpty()
                        ? QStringLiteral("%1 has no %2 in this mode.").arg(pod->displayName(), what)
                        : QStringLiteral("%1 has no %2 \"%3\" in this mode; it offers %4.")
                              .arg(pod->displayName(), what, wanted, values.join(", ")));
    appModel.change(pod->id, false, [&](ACState& state) { state.*setting = exact; });
    answerWhenSettled(pod->id);
}

void ControlAdaptor::ApplyPreset(const QString& unit, const QString& name) {
    const auto pod = controllable(unit);
    if (!pod)
        return;
    const QList<Preset> presets = appModel.presets().of(pod->id);
    for (const Preset& preset : presets)
        if (preset.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0) {
            appModel.apply(preset);
            return answerWhenSettled(pod->id);
        }
    QStringList names;
    for (const Preset& preset : presets)
        names.append(u'"' + preset.name + u'"');
    fail("UnknownPreset",
         QStringLiteral("%1 has no preset named \"%2\"").arg(pod->displayName(), name) +
             (names.isEmpty() ? QStringLiteral("; it has no presets.")
                              : QStringLiteral("; its presets are ") + names.join(", ") + u'.'));
}

void ControlAdaptor::SetTimer(const QString& unit, uint minutes, bool turnOn) {
    const auto pod = controllable(unit);
    if (!pod || refuseInDemo(QStringLiteral("Timers are")))
        return;
    if (minutes < 1)
        return fail("NotOffered", QStringLiteral("A timer needs at least one minute."));
    appModel.features().setTimer(pod->id, qint64(minutes), turnOn, laterAnswer());
}

void ControlAdaptor::CancelTimer(const QString& unit) {
    const auto pod = controllable(unit);
    if (!pod || refuseInDemo(QStringLiteral("Timers are")))
        return;
    if (!pod->timer || !pod->timer->isPending(appModel.now()))
        return fail("NoTimer", pod->displayName() + QStringLiteral(" has no timer."));
    appModel.features().cancelTimer(pod->id, laterAnswer());
}

void ControlAdaptor::FilterCleaned(const QString& unit) {
    if (const auto pod = controllable(unit))
        appModel.features().filterCleaned(pod->id, laterAnswer());
}

void ControlAdaptor::SetClimateReact(const QString& unit, bool on) {
    const auto pod = controllable(unit);
    if (!pod)
        return;
    if (!pod->smartMode)
        return fail("NotOffered",
                    pod->displayName() + QStringLiteral(" has no Climate React set up."));
    appModel.features().setClimateReact(pod->id, on, laterAnswer());
}

void ControlAdaptor::Refresh() {
    if (!refuseWhenSignedOut())
        appModel.restartPolling();
}

void ControlAdaptor::OpenPanel() {
    panelActions.open();
}

void ControlAdaptor::ClosePanel() {
    panelActions.close();
}
