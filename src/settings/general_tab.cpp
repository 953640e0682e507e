#include "settings/general_tab.h"

#include "model/app_model.h"
#include "settings/about_card.h"
#include "settings/card.h"
#include "settings/row.h"
#include "settings/segmented_picker.h"
#include "settings/setting_switch.h"
#include "settings/shortcut_row.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <utility>

namespace {

QComboBox* menuPicker(QWidget* parent) {
    auto* picker = new QComboBox(parent);
    picker->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    picker->setMinimumWidth(150);
    return picker;
}

// Changes one field of the model's settings.
template <class Edit> void editSettings(AppModel& model, Edit edit) {
    Settings settings = model.settings();
    edit(settings);
    model.setSettings(settings);
}

} // namespace

GeneralTab::GeneralTab(AppModel& model, QWidget* parent)
    : TabPage(parent), model(model), room(menuPicker(this)),
      showTemperature(new SettingSwitch(this)),
      trayIcon(new SegmentedPicker({{QStringLiteral("Automatic"), QStringLiteral("automatic")},
                                    {QStringLiteral("Light"), QStringLiteral("light")},
                                    {QStringLiteral("Dark"), QStringLiteral("dark")}},
                                   this)),
      units(new SegmentedPicker({{QStringLiteral("°C"), QStringLiteral("C")},
                                 {QStringLiteral("°F"), QStringLiteral("F")}},
                                this)),
      refresh(menuPicker(this)), launchAtLogin(new SettingSwitch(this)) {
    auto* tray = new Card;
    tray->addRow(
        new Row(QStringLiteral("Room"), QStringLiteral("Whose temperature the tray shows."), room));
    tray->addRow(new Row(QStringLiteral("Show temperature"),
                         QStringLiteral("Next to the icon, for example 23.4°."), showTemperature));
    tray->addRow(new Row(QStringLiteral("Tray icon"),
                         QStringLiteral("Light for a dark bar, dark for a light one. Automatic "
                                        "follows the desktop's colour scheme."),
                         trayIcon));
    addSection(QStringLiteral("Tray"), tray);

    for (const qint64 seconds : refreshChoices())
        refresh->addItem(refreshLabel(seconds), seconds);
    auto* readings = new Card;
    readings->addRow(new Row(
        QStringLiteral("Units"),
        QStringLiteral("For room readings. Targets use whatever unit each AC's remote uses."),
        units));
    readings->addRow(new Row(QStringLiteral("Refresh"),
                             QStringLiteral("How often Alvore checks while the panel is closed. "
                                            "It checks every 15 seconds while it's open."),
                             refresh));
    addSection(QStringLiteral("Readings"), readings);

    auto* startup = new Card;
    startup->addRow(new Row(QStringLiteral("Launch at login"), {}, launchAtLogin));
    addSection(QStringLiteral("Startup"), startup);

    auto* keyboard = new Card;
    keyboard->addRow(new ShortcutRow(QStringLiteral("1–9"), QStringLiteral("Pick a unit")));
    keyboard->addRow(
        new ShortcutRow(QStringLiteral("↑ ↓"), QStringLiteral("Warmer or cooler (← → too)")));
    keyboard->addRow(
        new ShortcutRow(QStringLiteral("P"), QStringLiteral("Turn the unit on or off")));
    addSection(QStringLiteral("Keyboard"), keyboard);

    addSection(QStringLiteral("About"), new AboutCard);

    connect(room, &QComboBox::activated, this, [this](int index) {
        const QVariant id = room->itemData(index);
        if (id.isValid())
            editSettings(this->model, [&](Settings& s) { s.menuBarPodID = id.toString(); });
    });
    connect(showTemperature, &QAbstractButton::clicked, this, [this](bool on) {
        editSettings(this->model, [on](Settings& s) { s.showTemperatureInMenuBar = on; });
    });
    connect(trayIcon, &SegmentedPicker::chosen, this, [this](const QString& look) {
        editSettings(this->model, [&](Settings& s) {
            s.trayIcon = look == u"light"  ? Settings::TrayIcon::light
                         : look == u"dark" ? Settings::TrayIcon::dark
                                           : Settings::TrayIcon::automatic;
        });
    });
    connect(units, &SegmentedPicker::chosen, this, [this](const QString& unit) {
        editSettings(this->model, [&](Settings& s) { s.unit = unit; });
    });
    connect(refresh, &QComboBox::activated, this, [this](int index) {
        const qint64 seconds = refresh->itemData(index).toLongLong();
        editSettings(this->model, [&](Settings& s) { s.closedInterval = seconds; });
    });
    connect(launchAtLogin, &QAbstractButton::clicked, this,
            [this](bool on) { this->model.setLaunchAtLogin(on); });

    connect(&model, &AppModel::podsChanged, this, &GeneralTab::showUnits);
    connect(&model, &AppModel::settingsChanged, this, &GeneralTab::showSettings);
    connect(&model, &AppModel::launchAtLoginChanged, this,
            [this] { launchAtLogin->setChecked(this->model.launchAtLogin()); });
    showUnits();
    showSettings();
    launchAtLogin->setChecked(model.launchAtLogin());
}

QList<qint64> GeneralTab::refreshChoices() {
    return {30, 60, 120, 300};
}

QString GeneralTab::refreshLabel(qint64 seconds) {
    if (seconds < 60)
        return QStringLiteral("Every %1 seconds").arg(seconds);
    if (seconds == 60)
        return QStringLiteral("Every minute");
    return QStringLiteral("Every %1 minutes").arg(seconds / 60);
}

void GeneralTab::showUnits() {
    const QSignalBlocker quiet(room);
    const QList<Pod>& pods = model.pods();
    QList<std::pair<QString, QVariant>> entries;
    for (const Pod& pod : pods)
        entries.append({pod.displayName(), pod.id});
    if (pods.isEmpty())
        entries.append({QStringLiteral("No units yet"), QVariant()});
    // The entries are replaced only when they differ: this may run from the picker's own signal,
    // and every refresh of the units lands here.
    QList<std::pair<QString, QVariant>> listed;
    for (int index = 0; index < room->count(); ++index)
        listed.append({room->itemText(index), room->itemData(index)});
    if (listed != entries) {
        room->clear();
        for (const auto& [title, id] : entries)
            room->addItem(title, id);
    }
    const std::optional<Pod> shown = model.menuBarPod();
    room->setCurrentIndex(pods.isEmpty() ? 0 : shown ? room->findData(shown->id) : -1);
}

void GeneralTab::showSettings() {
    const Settings& settings = model.settings();
    showTemperature->setChecked(settings.showTemperatureInMenuBar);
    trayIcon->setValue(settings.trayIcon == Settings::TrayIcon::light ? QStringLiteral("light")
                       : settings.trayIcon == Settings::TrayIcon::dark
                           ? QStringLiteral("dark")
                           : QStringLiteral("automatic"));
    units->setValue(settings.unit == QStringLiteral("F") ? QStringLiteral("F")
                                                         : QStringLiteral("C"));
    const QSignalBlocker quiet(refresh);
    refresh->setCurrentIndex(refresh->findData(settings.closedInterval));
    // A change of the tray's unit shows in the room picker too.
    showUnits();
}
