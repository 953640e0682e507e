#include "settings/settings_window_controller.h"

#include "settings/settings_view.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace {
constexpr QSize windowSize(560, 560);
}

SettingsWindowController::SettingsWindowController(AppModel& model, QObject* parent)
    : QObject(parent), model(model) {
}

SettingsWindowController::~SettingsWindowController() {
    delete view;
}

void SettingsWindowController::show() {
    if (!view) {
        view = new SettingsView(model);
        view->setWindowTitle(QStringLiteral("Alvore Settings"));
        view->setAttribute(Qt::WA_DeleteOnClose);
        // Without a tray the app ends with its last window; this one never counts.
        view->setAttribute(Qt::WA_QuitOnClose, false);
        view->setFixedSize(windowSize);
        QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame({}, windowSize);
            frame.moveCenter(screen->availableGeometry().center());
            view->move(frame.topLeft());
        }
    }
    view->show();
    view->raise();
    view->activateWindow();
}
