#include "client/app_log.h"
#include "client/keychain.h"
#include "model/app_model.h"
#include "model/system_clock.h"
#include "shell/appearance.h"
#include "shell/sleep_watch.h"
#include "shell/status_item_controller.h"

#include <QApplication>
#include <QDBusConnection>
#include <QSettings>
#include <QSystemTrayIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brindlework"));
    QApplication::setApplicationName(QStringLiteral("Alvore"));
    Appearance::apply();

    const QStringList arguments = QApplication::arguments();
    // Rendering previews runs on the demo units too.
    const bool demo = arguments.contains(QStringLiteral("--demo")) ||
                      arguments.contains(QStringLiteral("--render-previews"));

    Keychain keys;
    SystemClock clock;
    QSettings store;
    AppModel model({keys, clock, store, SensiboAPI::Config{}, LoginItem::forThisApp()}, demo);

    const bool tray = QSystemTrayIcon::isSystemTrayAvailable();
    QApplication::setQuitOnLastWindowClosed(!tray);
    StatusItemController statusItem(model, tray ? StatusItemController::Presentation::tray
                                                : StatusItemController::Presentation::window);
    model.setOnOpenSettings([&statusItem] {
        statusItem.close();
        AppLog::write(QStringLiteral("the settings window is not part of this build"));
    });
    SleepWatch sleepWatch(model, clock, QDBusConnection::systemBus(),
                          QDBusConnection::sessionBus());

    const int status = QApplication::exec();
    AppLog::flush();
    return status;
}
