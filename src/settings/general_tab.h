#pragma once

#include "settings/tab_page.h"

#include <QList>

class AppModel;
class QComboBox;
class SegmentedPicker;
class SettingSwitch;

// The tray's unit, reading and icon colours, the unit of readings, how often to poll, launch at
// login, the panel's keys and what the app is. Every control shows the model's value and writes to
// it.
class GeneralTab : public TabPage {
    Q_OBJECT
public:
    explicit GeneralTab(AppModel& model, QWidget* parent = nullptr);

    // The polling intervals offered, in seconds, and the label of each.
    static QList<qint64> refreshChoices();
    static QString refreshLabel(qint64 seconds);

private:
    void showUnits();
    void showSettings();

    AppModel& model;
    QComboBox* room;
    SettingSwitch* showTemperature;
    SegmentedPicker* trayIcon;
    SegmentedPicker* units;
    QComboBox* refresh;
    SettingSwitch* launchAtLogin;
};
