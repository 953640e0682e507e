#include "settings/settings_window_controller.h"

#include "settings/settings_view.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace {
constexpr QSize windowSize(560, 560);
}

SettingsWindowController::SettingsWindowController(AppModel& model, QObject* parent)
    : QObject(parent), m_model(model) {
}

SettingsWindowController::~SettingsWindowController() {
    delete m_window;
}

void SettingsWindowController::show() {
    if (!m_window) {
        m_window = new SettingsView(m_model);
        m_window->setWindowTitle(QStringLiteral("Alvore Settings"));
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        // Without a tray the app ends with its last window; this one never counts.
        m_window->setAttribute(Qt::WA_QuitOnClose, false);
        m_window->setFixedSize(windowSize);
        QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame({}, windowSize);
            frame.moveCenter(screen->availableGeometry().center());
            m_window->move(frame.topLeft());
        }
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
