#include "model/dropdown_builders.h"

#include "model/app_model.h"

#include <QPointer>

QString Dropdowns::modeID(const QString& podID) {
    return QStringLiteral("mode.") + podID;
}

QString Dropdowns::airflowID(const QString& podID) {
    return QStringLiteral("airflow.") + podID;
}

QList<Dropdown::Option> Dropdowns::modeOptions(const Pod& pod) {
    QList<Dropdown::Option> options;
    for (const QString& mode : pod.modes()) {
        options.append({.id = mode,
                        .title = ACMode::title(mode),
                        .icon = Dropdown::Option::Symbol{ACMode::symbol(mode)},
                        .tint = accentTint(mode)});
    }
    return options;
}

Dropdown Dropdowns::mode(AppModel& model, const Pod& pod, const QRectF& anchor) {
    const bool on = pod.isOn();
    const QPointer<AppModel> target(&model);
    Dropdown dropdown;
    dropdown.id = modeID(pod.id);
    dropdown.name = QStringLiteral("Mode");
    dropdown.anchor = anchor;
    dropdown.options = modeOptions(pod);
    dropdown.selected = on ? pod.acState->mode : std::nullopt;
    dropdown.tint = accentTint(pod.acState ? pod.acState->mode : std::nullopt);
    dropdown.pick = [target, id = pod.id](const QString& mode) {
        if (target)
            target->setMode(id, mode);
    };
    return dropdown;
}

Dropdown Dropdowns::airflow(AppModel& model, const Pod& pod, const QRectF& anchor) {
    const bool on = pod.isOn();
    const std::optional<ModeCapabilities> caps = pod.capabilities();
    const QPointer<AppModel> target(&model);
    Dropdown dropdown;
    dropdown.id = airflowID(pod.id);
    dropdown.name = QStringLiteral("Airflow");
    dropdown.anchor = anchor;
    dropdown.options = Swing::options(caps ? caps->swing.value_or(QStringList{}) : QStringList{});
    dropdown.selected = pod.acState ? pod.acState->swing : std::nullopt;
    dropdown.tint = accentTint(pod.acState ? pod.acState->mode : std::nullopt);
    if (!on)
        dropdown.note = QStringLiteral("Off now. Set when you turn it on.");
    dropdown.pick = [target, id = pod.id](const QString& swing) {
        if (target)
            target->change(id, false, [&swing](ACState& state) { state.swing = swing; });
    };
    return dropdown;
}

QString Dropdowns::sidewaysID(const QString& podID) {
    return QStringLiteral("sideways.") + podID;
}

Dropdown Dropdowns::sideways(AppModel& model, const Pod& pod, const QRectF& anchor) {
    Dropdown dropdown = airflow(model, pod, anchor);
    const std::optional<ModeCapabilities> caps = pod.capabilities();
    dropdown.id = sidewaysID(pod.id);
    dropdown.name = QStringLiteral("Sideways");
    dropdown.options =
        Sideways::options(caps ? caps->horizontalSwing.value_or(QStringList{}) : QStringList{});
    dropdown.selected = pod.acState ? pod.acState->horizontalSwing : std::nullopt;
    dropdown.pick = [target = QPointer<AppModel>(&model), id = pod.id](const QString& position) {
        if (target)
            target->change(id, false,
                           [&position](ACState& state) { state.horizontalSwing = position; });
    };
    return dropdown;
}
