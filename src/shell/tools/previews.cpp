#include "shell/tools/previews.h"

#include "client/app_log.h"
#include "model/app_model.h"
#include "model/dropdown_builders.h"
#include "model/model_backstage.h"
#include "panel/animation/view_environment.h"
#include "panel/root/root_view.h"
#include "settings/settings_tab.h"
#include "settings/settings_window_controller.h"
#include "shell/tray/panel_window.h"
#include "shell/tray/tray_glyph.h"

#include <QApplication>
#include <QCoro/QCoroTimer>
#include <QDir>
#include <QPainter>
#include <QPointer>
#include <QStandardPaths>
#include <QTextStream>
#include <chrono>
#include <optional>

using namespace std::chrono_literals;

namespace {
constexpr qreal renderScale = 2; // pixels per point of the off-screen pictures
constexpr qreal iconSheetScale = 4;
constexpr int iconBand = 30; // points: the height of a band and the width of an icon's cell
constexpr int iconSide = 18; // points
const QPoint liveWindowPlace(200, 200);

void say(const QString& line) {
    QTextStream(stdout) << line << Qt::endl;
}

// Writes `image` as `name` into `folder`; a picture that is missing or cannot be written is
// reported with `failure` before its name.
void save(const QImage& image, const QDir& folder, const QString& name, const QString& failure) {
    if (image.isNull() || !image.save(folder.filePath(name), "PNG")) {
        say(failure + name);
        return;
    }
    AppLog::write(QStringLiteral("wrote preview ") + name);
}

// The panel drawn off screen in its still, final state, two pixels a point.
void render(AppModel& model, const QDir& folder, const QString& name) {
    ViewEnvironment::setRenderingPreview(true);
    QImage image;
    {
        RootView view(model);
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.show();
        if (!view.size().isEmpty()) {
            image = QImage(view.size() * renderScale, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(renderScale);
            image.fill(Qt::transparent);
            view.render(&image, {}, {}, QWidget::DrawChildren);
        }
    }
    ViewEnvironment::setRenderingPreview(false);
    save(image, folder, name, QStringLiteral("Could not render "));
}

// What a window on screen shows now, at the screen's pixel density.
void capture(QWidget* window, const QDir& folder, const QString& name) {
    save(window ? window->grab().toImage() : QImage(), folder, name,
         QStringLiteral("Could not capture "));
}

QImage tinted(QImage icon, const QColor& colour) {
    QPainter painter(&icon);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(icon.rect(), colour);
    return icon;
}

// The tray icon, plain and slashed, dark on a light band above and light on a dark band
// below, four pixels a point.
QImage iconSheet() {
    const QList<bool> slashed = {false, true};
    const int width = iconBand * int(slashed.size()) + 10;
    QImage sheet(QSize(width, 2 * iconBand) * iconSheetScale, QImage::Format_ARGB32);
    sheet.setDevicePixelRatio(iconSheetScale);
    QPainter painter(&sheet);
    const struct {
        int top;
        qreal ground;
        QColor ink;
    } bands[] = {{0, 0.92, Qt::black}, {iconBand, 0.1, Qt::white}};
    for (const auto& band : bands) {
        painter.fillRect(QRectF(0, band.top, width, iconBand),
                         QColor::fromRgbF(band.ground, band.ground, band.ground));
        for (int i = 0; i < slashed.size(); ++i) {
            QImage icon = TrayGlyph::image(slashed[i], {}, int(iconSide * iconSheetScale));
            icon.setDevicePixelRatio(iconSheetScale);
            painter.drawImage(QPointF(iconBand * i + 8, band.top + 6), tinted(icon, band.ink));
        }
    }
    return sheet;
}

Dropdown stillDropdown(QString id, const QRectF& anchor, QList<Dropdown::Option> options,
                       std::optional<QString> selected, Tint tint) {
    Dropdown dropdown;
    dropdown.id = std::move(id);
    dropdown.anchor = anchor;
    dropdown.options = std::move(options);
    dropdown.selected = std::move(selected);
    dropdown.tint = tint;
    dropdown.pick = [](const QString&) {};
    return dropdown;
}

void openLive(PanelWindow& window) {
    window.open({});
    window.move(liveWindowPlace);
}

QCoro::Task<> capturesAndQuit(AppModel& model, SettingsWindowController& settingsWindow,
                              QDir folder) {
    ViewState& views = model.viewState();
    const QList<Pod> demo = model.pods();
    const Pod first = demo.value(0, Pod{});

    // The live panel: its content animates as it would for a person.
    views.forgetExpanded(first.id);
    PanelWindow window(model, PanelWindow::Kind::window);
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.setAttribute(Qt::WA_QuitOnClose, false);
    window.resize(380, 900);
    openLive(window);
    co_await QCoro::sleepFor(2s);
    window.adjustSize();
    co_await QCoro::sleepFor(1s);
    capture(&window, folder, QStringLiteral("06-panel-real.png"));

    ModelBackstage::stage(model, {AppModel::Status::ready}, demo.mid(0, 1));
    co_await QCoro::sleepFor(2500ms);
    window.adjustSize();
    co_await QCoro::sleepFor(1s);
    capture(&window, folder, QStringLiteral("10-panel-single.png"));

    // A card reads its fold-out state when it is made, so the content is made afresh.
    views.setExpanded(first.id, true);
    window.close();
    openLive(window);
    co_await QCoro::sleepFor(2500ms);
    window.adjustSize();
    co_await QCoro::sleepFor(1s);
    capture(&window, folder, QStringLiteral("06-panel-single-more.png"));

    model.picker().open(stillDropdown(
        Dropdowns::modeID(first.id), QRectF(140, 93, 100, 36), Dropdowns::modeOptions(first),
        first.acState ? first.acState->mode : std::nullopt, Tint::neutral));
    co_await QCoro::sleepFor(1s);
    capture(&window, folder, QStringLiteral("09-dropdown-mode.png"));

    const std::optional<ModeCapabilities> caps = first.capabilities();
    model.picker().open(
        stillDropdown(Dropdowns::airflowID(first.id), QRectF(90, 420, 270, 30),
                      Swing::options(caps ? caps->swing.value_or(QStringList{}) : QStringList{}),
                      QStringLiteral("fixedBottom"), Tint::cool));
    co_await QCoro::sleepFor(1s);
    capture(&window, folder, QStringLiteral("09-dropdown-airflow.png"));
    if (model.picker().shown())
        model.picker().close();

    for (int frame = 1; frame <= 8; ++frame) {
        co_await QCoro::sleepFor(700ms);
        capture(&window, folder, QStringLiteral("08-air-%1.png").arg(frame));
    }

    views.forgetExpanded(first.id);
    ModelBackstage::stage(model, {AppModel::Status::ready}, demo);
    window.close();

    for (const SettingsTab tab : SettingsTabs::all()) {
        SettingsTabs::save(tab, views);
        settingsWindow.show();
        co_await QCoro::sleepFor(1500ms);
        capture(settingsWindow.window(), folder,
                QStringLiteral("07-settings-") + SettingsTabs::rawValue(tab) + ".png");
        // The window goes at the next turn of the event loop; until it has gone, show() would
        // bring back the same window rather than make one on the next tab.
        const QPointer<QWidget> closing = settingsWindow.window();
        if (closing)
            closing->close();
        for (int turn = 0; closing && turn < 100; ++turn)
            co_await QCoro::sleepFor(10ms);
    }

    say(QStringLiteral("Previews written to ") + folder.path());
    QCoreApplication::exit(0);
}
} // namespace

namespace Previews {

void run(AppModel& model, SettingsWindowController& settingsWindow) {
    // Windows come and go while the pictures are made; the run ends the app itself.
    QApplication::setQuitOnLastWindowClosed(false);

    const QDir folder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                      QStringLiteral("/previews"));
    QDir(folder).removeRecursively();
    QDir().mkpath(folder.path());

    save(iconSheet(), folder, QStringLiteral("00-menu-icons.png"),
         QStringLiteral("Could not render "));

    // Every picture of the panel shows °C, except the one made to show °F.
    Settings celsius = model.settings();
    celsius.unit = QStringLiteral("C");
    Settings fahrenheit = celsius;
    fahrenheit.unit = QStringLiteral("F");
    model.setSettings(celsius);
    render(model, folder, QStringLiteral("01-panel.png"));
    model.setSettings(fahrenheit);
    render(model, folder, QStringLiteral("02-panel-fahrenheit.png"));
    model.setSettings(celsius);

    model.show(QStringLiteral("Couldn't change Bedroom. Sensibo didn't answer in time."));
    render(model, folder, QStringLiteral("03-banner.png"));
    model.clearBanner();

    const QList<Pod> demo = model.pods();
    ModelBackstage::stage(model, {AppModel::Status::needsKey}, demo);
    render(model, folder, QStringLiteral("04-sign-in.png"));
    ModelBackstage::stage(model,
                          {AppModel::Status::offline, QStringLiteral("Can't reach Sensibo.")}, {});
    render(model, folder, QStringLiteral("05-offline.png"));
    ModelBackstage::stage(model, {AppModel::Status::ready}, demo);

    capturesAndQuit(model, settingsWindow, folder); // runs on by itself
}

} // namespace Previews
