#pragma once

#include "settings/settings_tab.h"

#include <QWidget>

class AppModel;
class QScrollArea;
class TabBar;

// The settings window's content: the tab bar on top and under it the selected tab, scrolling.
// Ctrl+W closes the window.
// The selected tab is stored at once, so a new window, or the next run, opens on it.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    explicit SettingsView(AppModel& model, QWidget* parent = nullptr);

    TabBar* tabBar() const { return bar; }
    // The selected tab's content.
    QWidget* content() const;

private:
    void showTab(SettingsTab tab);

    AppModel& model;
    TabBar* bar;
    QScrollArea* scroller;
};
