#include "client/app_log.h"
#include "client/keychain.h"
#include "model/app_model.h"
#include "model/system_clock.h"
#include "panel/accessibility/panel_accessibility.h"
#include "settings/accessibility/settings_accessibility.h"
#include "settings/settings_window_controller.h"
#include "shell/control/application_service.h"
#include "shell/control/command_line.h"
#include "shell/control/control_adaptor.h"
#include "shell/control/control_client.h"
#include "shell/control/single_instance.h"
#include "shell/desktop/appearance.h"
#include "shell/desktop/desktop_look.h"
#include "shell/desktop/desktop_notifications.h"
#include "shell/desktop/display_platform.h"
#include "shell/desktop/relocation.h"
#include "shell/desktop/sleep_watch.h"
#include "shell/tools/previews.h"
#include "shell/tools/scratch_store.h"
#include "shell/tools/timing_log.h"
#include "shell/tray/status_item_controller.h"

#include <QApplication>
#include <QDBusConnection>
#include <QNetworkInformation>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTimer>
#include <optional>

namespace {

// How long after the start the desktop's notifications are set up.
constexpr int notificationsAfterMs = 1000;

// In the background the app has no face until a command or a later start opens the panel. The
// renderer of previews draws its own panel and shows nothing on the desktop: no icon, no window.
StatusItemController::Presentation presentation(const QStringList& arguments) {
    const bool background = arguments.contains(QStringLiteral("--no-tray")) ||
                            arguments.contains(QStringLiteral("--render-previews"));
    const bool tray = !background && QSystemTrayIcon::isSystemTrayAvailable();
    QApplication::setQuitOnLastWindowClosed(!tray && !background);
    return tray         ? StatusItemController::Presentation::tray
           : background ? StatusItemController::Presentation::background
                        : StatusItemController::Presentation::window;
}

// The desktop's answers come after the icon is up; each redraws what it concerns.
void follow(DesktopLook& desktopLook, StatusItemController& statusItem) {
    statusItem.setDarkTray(desktopLook.isDark());
    QObject::connect(&desktopLook, &DesktopLook::isDarkChanged, &statusItem,
                     [&] { statusItem.setDarkTray(desktopLook.isDark()); });
    Appearance::setReducedMotion(desktopLook.reducesMotion());
    QObject::connect(&desktopLook, &DesktopLook::reducesMotionChanged, &desktopLook,
                     [&] { Appearance::setReducedMotion(desktopLook.reducesMotion()); });
}

// The system's view of the network words the offline text; loaded once the icon shows. The
// demo never goes online, so there it waits for the demo's end (its backend brings in GLib's
// I/O library and a thread of its own).
void loadNetworkInformationOnline(AppModel& model) {
    const auto load = [] {
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    };
    if (!model.isDemo())
        QTimer::singleShot(0, &model, load);
    QObject::connect(&model, &AppModel::isDemoChanged, &model, [&model, load] {
        if (!model.isDemo() && !QNetworkInformation::instance())
            load();
    });
}

} // namespace

int main(int argc, char* argv[]) {
    TimingLog::begin();
    if (CommandLine::isCommand(argc, argv))
        return ControlClient::run(argc, argv);
    if (!DisplayPlatform::applyBeforeStart(argc, argv))
        return 1;
    QApplication app(argc, argv);
    // After the application's own, so that these come first; the accessibility bridge asks
    // for nothing before the event loop runs.
    PanelAccessibility::install();
    SettingsAccessibility::install();
    QApplication::setOrganizationName(QStringLiteral("Brindlework"));
    QApplication::setApplicationName(QStringLiteral("Alvore"));

    const QStringList arguments = QApplication::arguments();
    // Rendering previews runs on the demo units too, on its own beside a running app.
    const bool previews = arguments.contains(QStringLiteral("--render-previews"));
    const bool demo = previews || arguments.contains(QStringLiteral("--demo"));

    ApplicationService service;
    if (!previews && SingleInstance::claim(QDBusConnection::sessionBus(), service) ==
                         SingleInstance::Claim::handedOver)
        return 0;
    // The desktop's own palette, before the app's dark one replaces it.
    const QPalette desktopPalette = QApplication::palette();
    Appearance::apply();

    Keychain keys;
    SystemClock clock;
    QSettings userStore;
    // The renderer may run beside the user's app, which owns the stored values.
    std::optional<ScratchStore> scratch;
    if (previews)
        scratch.emplace(userStore);
    QSettings& store = scratch ? scratch->store() : userStore;
    AppModel model({keys, clock, store, SensiboAPI::Config{}, LoginItem::forThisApp()}, demo);

    StatusItemController statusItem(model, presentation(arguments));
    TimingLog::watch(statusItem.panel());
    DesktopLook desktopLook(QDBusConnection::sessionBus(), desktopPalette);
    follow(desktopLook, statusItem);
    SettingsWindowController settingsWindow(model);
    QObject::connect(&model, &AppModel::settingsRequested, &settingsWindow, [&] {
        statusItem.close();
        settingsWindow.show();
    });
    SleepWatch sleepWatch(model, clock, QDBusConnection::systemBus(),
                          QDBusConnection::sessionBus());
    // The renderer tells the desktop nothing. A reminder can wait until the icon is up: its bus
    // calls would otherwise hold the icon back.
    std::optional<DesktopNotifications> notifications;
    if (!previews)
        QTimer::singleShot(notificationsAfterMs, &app, [&] {
            notifications.emplace(model, store, QDBusConnection::sessionBus());
        });
    QObject::connect(&service, &ApplicationService::activated, &statusItem,
                     &StatusItemController::show);
    new ControlAdaptor(
        &service, model,
        {[&statusItem] { statusItem.show(); }, [&statusItem] { statusItem.close(); }});

    loadNetworkInformationOnline(model);

    Relocation::DesktopPlatform relocationPlatform;
    if (previews)
        Previews::run(model, settingsWindow);
    else
        QTimer::singleShot(0, &app, [&] {
            Relocation::offerIfNeeded(relocationPlatform, store, Relocation::Places::forThisApp());
        });

    const int status = QApplication::exec();
    AppLog::flush();
    return status;
}
