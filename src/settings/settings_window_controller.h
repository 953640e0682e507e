#pragma once

#include "settings/settings_view.h"

#include <QObject>
#include <QPointer>

// The settings window exists only while it is shown: show() builds it, or brings it to the front
// when it is already there; closing it drops it. Closing it never ends the app.
class SettingsWindowController : public QObject {
    Q_OBJECT
public:
    explicit SettingsWindowController(AppModel& model, QObject* parent = nullptr);
    ~SettingsWindowController() override;

    void show();
    // The window, while there is one.
    SettingsView* window() const { return view; }

private:
    AppModel& model;
    QPointer<SettingsView> view;
};
