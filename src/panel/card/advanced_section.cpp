#include "panel/card/advanced_section.h"

#include "model/ac_state_rules.h"
#include "model/app_model.h"
#include "model/dropdown_builders.h"
#include "panel/controls/chip_flow.h"
#include "panel/controls/power_switch.h"
#include "panel/controls/small_chip.h"
#include "panel/dropdown/dropdown_trigger.h"
#include "panel/style/fonts.h"
#include "panel/style/palette.h"
#include "panel/style/short_time.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

constexpr int labelWidth = 56;
constexpr int rowSpacing = 10;
constexpr int editorSpacing = 8;

struct Duration {
    const char* label;
    qint64 minutes;
};
constexpr Duration durations[] = {{"30m", 30}, {"1h", 60}, {"2h", 120}};

QLabel* text(const QString& content, const QColor& color, QWidget* parent) {
    auto* label = new QLabel(content, parent);
    label->setFont(Fonts::font(SmallChip::textPoints, QFont::Medium));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

// A labelled row: the 56-point label, then `content` beside it.
QWidget* labelledRow(const QString& title, int height, QLayout* content, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QLabel* label = text(title, Palette::secondaryText(), row);
    label->setFixedSize(labelWidth, height);
    layout->addWidget(label, 0, Qt::AlignTop);
    layout->addLayout(content, 1);
    return row;
}

// A row with `title` at its leading edge and `control` at its trailing one.
QWidget* trailingRow(const QString& title, QWidget* control, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text(title, Palette::secondaryText(), row));
    layout->addStretch(1);
    layout->addWidget(control);
    return row;
}

// Adds `widget` to a row of chips, shown at once even though the row already is.
void add(ChipFlow* flow, QWidget* widget) {
    flow->addWidget(widget);
    widget->show();
}

SmallChip* chip(const QString& label, const QString& help, std::function<void()> action,
                QWidget* parent) {
    auto* chip = new SmallChip(label, parent);
    chip->setHelp(help);
    chip->setAction(std::move(action));
    return chip;
}

Dropdown::Option::Icon swingIcon(const std::optional<QString>& swing) {
    if (swing == QStringLiteral("stopped"))
        return Dropdown::Option::Symbol{QStringLiteral("pause")};
    if (swing && swing->startsWith(QStringLiteral("range")))
        return Dropdown::Option::Symbol{QStringLiteral("arrow.up.and.down")};
    return Dropdown::Option::Vane{Swing::aim(swing).value_or(0.5)};
}

} // namespace

AdvancedSection::AdvancedSection(AppModel& model, QString id, QWidget* parent)
    : QWidget(parent), model(model), podID(std::move(id)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(rowSpacing);

    airflowRow = dropdownRow(QStringLiteral("Airflow"), Dropdowns::airflowID(podID),
                             QStringLiteral("Where the air points"), &Dropdowns::airflow, airflow);
    column->addWidget(airflowRow);
    sidewaysRow = dropdownRow(QStringLiteral("Sideways"), Dropdowns::sidewaysID(podID),
                              QStringLiteral("Where the air points sideways"), &Dropdowns::sideways,
                              sideways);
    column->addWidget(sidewaysRow);
    lightFlow = new ChipFlow;
    lightRow = labelledRow(QStringLiteral("Light"), SmallChip::chipHeight, lightFlow, this);
    column->addWidget(lightRow);
    react = new PowerSwitch(this);
    react->setAction([this] { this->model.features().setClimateReact(podID, !react->isOn()); });
    reactRow = trailingRow(QStringLiteral("Climate React"), react, this);
    column->addWidget(reactRow);

    timerFlow = new ChipFlow;
    column->addWidget(labelledRow(QStringLiteral("Timer"), SmallChip::chipHeight, timerFlow, this));
    presetFlow = new ChipFlow;
    column->addWidget(
        labelledRow(QStringLiteral("Presets"), SmallChip::chipHeight, presetFlow, this));

    column->addWidget(makePresetEditor());

    column->addWidget(makeTimerEditor());
    presetEditor->hide();
    timerEditor->hide();
    connect(&reveal, &Animation::valueChanged, this, &AdvancedSection::revealEditor);

    ticker.setInterval(1000);
    connect(&ticker, &QTimer::timeout, this, &AdvancedSection::showCountdown);
    connect(&model, &AppModel::podsChanged, this, &AdvancedSection::refresh);
    connect(&model, &AppModel::presetsChanged, this, &AdvancedSection::refresh);
    connect(&model, &AppModel::settingsChanged, this, &AdvancedSection::refresh); // °C or °F
    refresh();
}

QWidget* AdvancedSection::dropdownRow(const QString& title, const QString& dropdownID,
                                      const QString& help, DropdownBuilder build,
                                      DropdownTrigger*& trigger) {
    trigger = new DropdownTrigger(
        model, dropdownID, help,
        [this, build](const QRectF& frame) {
            const std::optional<Pod> pod = model.pod(podID);
            return pod ? build(model, *pod, frame) : Dropdown{};
        },
        this);
    auto* layout = new QHBoxLayout;
    layout->addWidget(trigger);
    layout->addStretch(1);
    return labelledRow(title, int(trigger->sizeHint().height()), layout, this);
}

QWidget* AdvancedSection::makePresetEditor() {
    presetEditor = new QWidget(this);
    auto* presetLayout = new QHBoxLayout(presetEditor);
    presetLayout->setContentsMargins(0, 0, 0, 0);
    presetLayout->setSpacing(editorSpacing);
    presetName = new QLineEdit(presetEditor);
    presetName->setPlaceholderText(QStringLiteral("Name"));
    presetName->setAccessibleName(QStringLiteral("Preset name"));
    presetName->setFont(Fonts::font(SmallChip::textPoints));
    presetName->setFixedHeight(SmallChip::chipHeight);
    connect(presetName, &QLineEdit::returnPressed, this, &AdvancedSection::savePreset);
    presetLayout->addWidget(presetName, 1);
    SmallChip* savePresetChip = chip(
        QStringLiteral("Save"), {}, [this] { savePreset(); }, presetEditor);
    savePresetChip->setAccessibleName(QStringLiteral("Save preset"));
    presetLayout->addWidget(savePresetChip);
    presetLayout->addWidget(chip(
        QStringLiteral("Cancel"), {}, [this] { openEditor(std::nullopt); }, presetEditor));
    return presetEditor;
}

QWidget* AdvancedSection::makeTimerEditor() {
    timerEditor = new QWidget(this);
    auto* timerLayout = new QHBoxLayout(timerEditor);
    timerLayout->setContentsMargins(0, 0, 0, 0);
    timerLayout->setSpacing(editorSpacing);
    timerLabel = text({}, Palette::secondaryText(), timerEditor);
    timerTime = new QTimeEdit(timerEditor);
    timerLabel->setBuddy(timerTime); // "Turn off at" names the field for a screen reader
    timerTime->setDisplayFormat(ShortTime::timeOfDayFormat());
    timerTime->setFont(Fonts::font(SmallChip::textPoints));
    timerTime->setFixedHeight(SmallChip::chipHeight);
    timerTime->setTime(model.now().toLocalTime().time());
    timerLayout->addWidget(timerLabel);
    timerLayout->addWidget(timerTime);
    timerLayout->addStretch(1);
    SmallChip* saveTimerChip = chip(
        QStringLiteral("Save"), {}, [this] { saveTimer(); }, timerEditor);
    saveTimerChip->setAccessibleName(QStringLiteral("Save timer"));
    timerLayout->addWidget(saveTimerChip);
    timerLayout->addWidget(chip(
        QStringLiteral("Cancel"), {}, [this] { openEditor(std::nullopt); }, timerEditor));
    return timerEditor;
}

bool AdvancedSection::hasEditor() const {
    return editor.has_value();
}

QSize AdvancedSection::sizeHint() const {
    QSize size = QWidget::sizeHint();
    if (width() > 0 && hasHeightForWidth())
        size.setHeight(heightForWidth(width()));
    return size;
}

QString AdvancedSection::climateReactRule(const Pod& pod, const QString& unit) {
    const ClimateReact rule = pod.smartMode.value_or(ClimateReact{});
    const bool humidity = rule.type == u"humidity";
    const auto value = [&](double threshold) {
        if (humidity)
            return QString::number(std::lround(threshold)) + u'%';
        // Thresholds set in Fahrenheit come back as fractions of a Celsius degree.
        const double shown =
            unit == u"F" ? std::round(toFahrenheit(threshold)) : std::round(threshold * 10) / 10;
        return QString::number(shown) + u'°';
    };
    const std::optional<double> low = rule.lowTemperatureThreshold;
    const std::optional<double> high = rule.highTemperatureThreshold;
    QString text = QStringLiteral("Keeps ") + pod.displayName();
    if (low && high)
        text += QStringLiteral(" between %1 and %2").arg(value(*low), value(*high));
    else if (low || high)
        text += (low ? QStringLiteral(" above ") : QStringLiteral(" below ")) +
                value(low ? *low : *high);
    else
        text += QStringLiteral(" within its set range");
    if (humidity && (low || high))
        text += QStringLiteral(" humidity");
    else if (rule.type == u"feelsLike")
        text += QStringLiteral(" by feel");
    return text;
}

bool AdvancedSection::unitIsOn() const {
    const std::optional<Pod> pod = model.pod(podID);
    return pod && pod->isOn();
}

void AdvancedSection::refresh() {
    const std::optional<Pod> pod = model.pod(podID);
    if (!pod)
        return;
    const std::optional<QString> swing = pod->acState ? pod->acState->swing : std::nullopt;
    const std::optional<ModeCapabilities> caps = pod->capabilities();
    const bool offersSwing =
        !Swing::options(caps ? caps->swing.value_or(QStringList{}) : QStringList{}).isEmpty();
    airflow->setLabel(swingIcon(swing), Swing::title(swing));
    airflowRow->setVisible(offersSwing);

    const std::optional<QString> across =
        pod->acState ? pod->acState->horizontalSwing : std::nullopt;
    sideways->setLabel(Dropdown::Option::Symbol{Sideways::symbol(across)}, Sideways::title(across));
    sidewaysRow->setVisible(
        !Sideways::options(caps ? caps->horizontalSwing.value_or(QStringList{}) : QStringList{})
             .isEmpty());
    const QStringList lights = caps ? caps->light.value_or(QStringList{}) : QStringList{};
    if (lights != lightValues)
        buildLightChips(lights);
    lightRow->setVisible(!lights.isEmpty());
    const std::optional<QString> light = pod->acState ? pod->acState->light : std::nullopt;
    for (int i = 0; i < lightFlow->count(); ++i)
        static_cast<SmallChip*>(lightFlow->itemAt(i)->widget())
            ->setSelected(light == lightValues.at(i));
    reactRow->setVisible(pod->smartMode.has_value());
    if (pod->smartMode) {
        react->setOn(pod->smartMode->isEnabled());
        react->setTint(Palette::accent(pod->acState ? pod->acState->mode : std::nullopt));
        react->setToolTip(climateReactRule(*pod, model.settings().unit));
        react->setAccessibleName(QStringLiteral("Climate React, ") + pod->displayName());
    }

    const bool on = unitIsOn();
    TimerChips timer{.unitOn = on};
    if (pod->timer && pod->timer->fireDate) {
        timer.running = true;
        timer.turnsOn = pod->timer->acState && pod->timer->acState->isOn();
    }
    if (timer != timerChips)
        buildTimerChips(timer);
    showCountdown();
    timerLabel->setText(on ? QStringLiteral("Turn off at") : QStringLiteral("Turn on at"));

    const std::optional<Preset> active = model.presets().active(*pod);
    QList<PresetChip> presets;
    for (const Preset& preset : model.presets().of(podID))
        presets.append({preset.id, preset.name,
                        Preset::describe(preset.state) + QStringLiteral(". Right-click to delete."),
                        active && active->id == preset.id});
    if (presets != presetChips)
        buildPresetChips(presets);
    updateGeometry();
}

void AdvancedSection::buildLightChips(const QStringList& values) {
    lightValues = values;
    lightFlow->clearWidgets();
    QWidget* row = lightFlow->parentWidget();
    for (const QString& value : values) {
        const QString title = value.left(1).toUpper() + value.mid(1); // "on" reads "On"
        SmallChip* button = chip(
            title, QStringLiteral("Set the unit's display light to ") + value,
            [this, value] {
                model.change(podID, false, [&value](ACState& state) { state.light = value; });
            },
            row);
        button->setAccessibleName(QStringLiteral("Light ") + value);
        button->setAutoExclusive(true); // one of a set: read as a radio button
        add(lightFlow, button);
    }
}

void AdvancedSection::buildTimerChips(const TimerChips& chips) {
    timerChips = chips;
    timerFlow->clearWidgets();
    countdown = nullptr;
    QWidget* row = timerFlow->parentWidget();
    if (chips.running) {
        countdown = text({}, Palette::primaryText(), row);
        add(timerFlow, countdown);
        add(timerFlow, chip(
                           QStringLiteral("Cancel"), QStringLiteral("Cancel the timer"),
                           [this] { model.features().cancelTimer(podID); }, row));
        ticker.start();
        return;
    }
    ticker.stop();
    const QString verb = chips.unitOn ? QStringLiteral("Turn off") : QStringLiteral("Turn on");
    for (const Duration& duration : durations) {
        const QString label = QString::fromLatin1(duration.label);
        SmallChip* timer = chip(
            label, verb + QStringLiteral(" in ") + label,
            [this, minutes = duration.minutes] {
                model.features().setTimer(podID, minutes, !unitIsOn());
            },
            row);
        timer->setAccessibleName(timer->toolTip()); // "30m" alone says nothing of what it does
        add(timerFlow, timer);
    }
    SmallChip* atTime = chip(
        QStringLiteral("At a set time"), {}, [this] { openEditor(Editor::timer); }, row);
    atTime->setSymbol(QStringLiteral("clock"));
    atTime->setAccessibleName(verb + QStringLiteral(" at a set time"));
    add(timerFlow, atTime);
}

void AdvancedSection::buildPresetChips(const QList<PresetChip>& chips) {
    presetChips = chips;
    presetFlow->clearWidgets();
    QWidget* row = presetFlow->parentWidget();
    for (const PresetChip& preset : chips) {
        SmallChip* button = chip(
            preset.name, preset.help,
            [this, id = preset.id] {
                const QList<Preset> presets = model.presets().of(podID);
                const auto found = std::find_if(presets.begin(), presets.end(),
                                                [&id](const Preset& p) { return p.id == id; });
                if (found != presets.end())
                    model.apply(*found);
            },
            row);
        button->setAccessibleName(QStringLiteral("Apply preset ") + preset.name);
        button->setSelected(preset.active);
        button->setContextAction(
            [this, id = preset.id](const QPoint& position) { presetMenu(id, position); });
        add(presetFlow, button);
    }
    SmallChip* plus = chip(
        {}, QStringLiteral("Save the current settings as a preset"),
        [this] { openEditor(Editor::preset); }, row);
    plus->setSymbol(QStringLiteral("plus"));
    add(presetFlow, plus);
}

void AdvancedSection::showCountdown() {
    const std::optional<Pod> pod = model.pod(podID);
    if (!countdown || !pod || !pod->timer || !pod->timer->fireDate)
        return;
    const bool turnsOn = pod->timer->acState && pod->timer->acState->isOn();
    countdown->setText((turnsOn ? QStringLiteral("On in ") : QStringLiteral("Off in ")) +
                       ShortTime::countdown(*pod->timer->fireDate, model.now()));
}

void AdvancedSection::presetMenu(const QUuid& id, const QPoint& globalPosition) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("Delete"), this, [this, id] { model.presets().remove(id); });
    menu->popup(globalPosition);
}

void AdvancedSection::openEditor(std::optional<Editor> next) {
    if (next == editor)
        return;
    editor = next;
    if (editor) {
        presetEditor->setVisible(editor == Editor::preset);
        timerEditor->setVisible(editor == Editor::timer);
        reveal.setValue(0);
    }
    reveal.animateTo(editor ? 1 : 0);
    revealEditor(reveal.value());
    if (editor == Editor::preset)
        presetName->setFocus();
    else
        presetName->clear();
    Q_EMIT editorChanged();
}

void AdvancedSection::revealEditor(double shown) {
    for (QWidget* drawer : {presetEditor, timerEditor}) {
        if (drawer->isHidden())
            continue;
        if (!editor && shown <= 0) {
            drawer->hide();
            drawer->setMinimumHeight(0);
            drawer->setMaximumHeight(QWIDGETSIZE_MAX);
            continue;
        }
        // A fixed height keeps the drawer's own layout from growing it back; what does not
        // fit yet is cut off.
        const int full = drawer->layout()->sizeHint().height();
        drawer->setFixedHeight(int(std::lround(std::clamp(shown, 0.0, 1.0) * full)));
    }
    updateGeometry();
}

void AdvancedSection::savePreset() {
    if (const std::optional<Pod> pod = model.pod(podID))
        model.presets().save(presetName->text(), *pod);
    openEditor(std::nullopt);
}

void AdvancedSection::saveTimer() {
    const QTime chosen = timerTime->time();
    const QDateTime at(model.now().toLocalTime().date(), QTime(chosen.hour(), chosen.minute()));
    model.features().setTimer(podID, ACStateRules::timerMinutes(model.now(), at), !unitIsOn());
    openEditor(std::nullopt);
}
