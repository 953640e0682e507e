#pragma once

#include "client/cancel_token.h"
#include "client/key_store.h"
#include "client/records.h"
#include "client/sensibo_api.h"
#include "model/account.h"
#include "model/clock.h"
#include "model/dropdown_picker.h"
#include "model/login_item.h"
#include "model/preset_book.h"
#include "model/settings.h"
#include "model/settled.h"
#include "model/unit_features.h"
#include "model/view_state.h"

#include <QCoro/QCoroTask>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QUuid>
#include <functional>
#include <memory>
#include <optional>

// The one model of the app, on the main thread: the units, the connection status, the
// selection, the banner, the settings and the room histories; it polls the service and carries
// out every user action. Each published field has a change signal; the tray item, the panel and
// the settings window redraw from them.
class AppModel : public QObject {
    Q_OBJECT
public:
    struct Status {
        enum Kind {
            loading,  // a key is present and no listing has arrived yet
            ready,    // the last refresh succeeded
            needsKey, // no key, or the service refused it
            offline,  // the last refresh failed; `text` says why
        };
        Status(Kind kind = loading, QString text = {}) : kind(kind), text(std::move(text)) {}
        Kind kind;
        QString text;
        bool operator==(const Status&) const = default;
    };

    // What the model works with; the app passes the real ones, tests their stand-ins.
    struct Dependencies {
        KeyStore& keys;
        Clock& clock;
        QSettings& store; // the user defaults store
        SensiboAPI::Config service;
        LoginItem loginItem;
    };

    // With `demo`, the model shows the demo units and never reads the key or polls. Otherwise
    // the status stays `loading` while the stored key is read, then becomes `needsKey` or
    // polling starts.
    AppModel(Dependencies dependencies, bool demo, QObject* parent = nullptr);
    ~AppModel() override;

    // Published state.
    const Status& status() const { return currentStatus; }
    const QList<Pod>& pods() const { return podList; }
    const std::optional<QDateTime>& lastUpdated() const { return updatedAt; }
    const std::optional<QString>& banner() const { return bannerText; }
    const std::optional<QString>& selectedID() const { return selection; }
    const QHash<QString, History>& history() const { return histories; }
    const Settings& settings() const { return userSettings; }
    bool isDemo() const { return inDemo; }
    // The model clock's current time; views count down and age their texts from it.
    QDateTime now() const { return deps.clock.now(); }
    // What views keep of themselves across restarts (a card's fold-out, the settings tab).
    ViewState& viewState() const { return views; }

    std::optional<Pod> pod(const std::optional<QString>& id) const;
    // The unit the tray item reports: the one chosen in the settings, or the first one.
    std::optional<Pod> menuBarPod() const;

    // Polls the service again at once, as "Try Again" does.
    void restartPolling();
    // The system or its screens went to sleep (polling ends) or woke up: past failures are
    // forgotten and polling starts at once.
    void setAwake(bool awake);
    // The panel opened (a stale listing and the timers are read again) or closed (its dropdown
    // closes); polling runs at the open panel's pace while it shows.
    void setPanelOpen(bool open);
    // Selects the unit at the 1-based `index`; other indexes change nothing.
    void select(int index);
    // Shows `message` in the banner for 6 seconds, replacing any message shown before.
    void show(const QString& message);
    // The user dismissed the banner.
    void clearBanner();

    // Asks for the settings window through settingsRequested().
    void openSettings() { Q_EMIT settingsRequested(); }

    using Settled = ::Settled;

    // Changing a unit. `change` applies `edit` to a copy of the unit's state, fits it to the
    // unit, shows it at once and sends it, after 0.6 s of quiet with `debounce`.
    void change(const QString& id, bool debounce, const std::function<void(ACState&)>& edit);
    void togglePower(const QString& id);
    void setMode(const QString& id, const QString& mode);
    // One allowed target temperature up (by > 0) or down.
    void step(const QString& id, int by);
    // `by` places along the unit's ordered fan levels.
    void stepFan(const QString& id, int by);
    // Calls `done` once the unit's change in flight (waiting out its quiet period or under way)
    // has been carried out or refused, or dropped with the session; a newer change of the unit
    // settles it too. With none in flight, calls it at once.
    void whenSettled(const QString& id, Settled done);

    // The units' timers, Climate React and filter reminders.
    UnitFeatures& features() { return unitFeatures; }

    // The user's presets; presetsChanged() tells of their changes.
    PresetBook& presets() { return presetBook; }
    const PresetBook& presets() const { return presetBook; }
    // Puts the preset's settings on its unit, sent at once.
    void apply(const Preset& preset);

    // The last day of a unit's room readings into history(); at most one request per unit
    // every 10 minutes, none while signed out or in the demo.
    QCoro::Task<> loadHistory(QString id);

    // The panel's dropdown picker; dropdownChanged() tells of its changes. Closing the panel
    // closes its dropdown.
    DropdownPicker& picker() { return dropdownPicker; }

    // Settings. Every assignment is saved; a new closedInterval restarts polling.
    void setSettings(const Settings& settings);
    bool launchAtLogin() const;
    void setLaunchAtLogin(bool enabled);

    // The key, sign-in, sign-out and the demo.
    Account& account() { return userAccount; }
    const Account& account() const { return userAccount; }

Q_SIGNALS:
    void statusChanged();
    void podsChanged();
    void lastUpdatedChanged();
    void bannerChanged();
    void selectedIDChanged();
    void historyChanged();
    void presetsChanged();
    void dropdownChanged();
    void settingsChanged();
    void isDemoChanged();
    void openCountChanged();
    void settingsRequested();
    // The login item may have changed; read launchAtLogin() again.
    void launchAtLoginChanged();
    // A key came into use or went out of use; read account().apiKey() again.
    void apiKeyChanged();
    // Read account().keyWarning() again.
    void keyWarningChanged();

private:
    // The preview renderer, the benchmarks and the tests reach what is not for views through it.
    friend class ModelBackstage;
    friend class Account;
    friend class UnitFeatures;

    void stopPolling();
    // Fetches the unit list once and merges it; failures end up in the status and the log.
    QCoro::Task<> refresh(CancelToken cancel = {});
    // Takes a listing in: what the user set and the service has not answered yet stays, and a
    // light listing keeps the capabilities the model already knows.
    void merge(const QList<Pod>& listed);
    // In the demo only: shows `status` and `units` as given, for pictures of the panel in
    // states the demo never reaches by itself.
    void stage(Status status, QList<Pod> units);

    // Assigns a published field and announces it, unless the value is unchanged.
    template <class T> void publish(T& field, T value, void (AppModel::*changed)()) {
        if (value == field)
            return;
        field = std::move(value);
        Q_EMIT(this->*changed)();
    }
    void setStatus(Status status);
    void setPods(QList<Pod> pods);
    void setPodState(qsizetype index, const ACState& state);
    void setLastUpdated(std::optional<QDateTime> time);
    void setBanner(std::optional<QString> banner);
    void setSelectedID(std::optional<QString> id);
    void setHistory(QHash<QString, History> history);
    void setDemo(bool demo);
    void setClient(std::shared_ptr<const SensiboAPI> client);
    // The client for a new request: none while signed out, in the demo, or once the service
    // has refused the key (until the next sign-in).
    std::shared_ptr<const SensiboAPI> usableClient() const;
    // Ends the session (signed in, signed out or demo): its pending sends, timer requests and
    // key read stop, and what it knew of changes in flight and loaded histories goes.
    void endSession();
    // What a change in flight hears when its session ends.
    static QString droppedText();
    qsizetype indexOf(const QString& id) const;

    QCoro::Task<> pollLoop(CancelToken cancel);
    void repairSelection();
    QCoro::Task<> dismissBannerLater(CancelToken cancel);

    QCoro::Task<> send(QString id, ACState next, bool debounce,
                       std::shared_ptr<const SensiboAPI> client, CancelToken cancel);

    // The demo units, their history and the ready status.
    void showDemo();
    // Clears the units, their histories and the update time.
    void forgetUnits();
    void leaveDemo();

    // Calls the waiters of the unit's change in flight.
    void settled(const QString& id, const std::optional<QString>& failure);
    // Drops the unit's change record once nothing of it is left.
    void forgetSettled(const QString& id);

    Dependencies deps;
    mutable ViewState views;

    // The fields, published ones first.
    Status currentStatus;
    QList<Pod> podList;
    std::optional<QDateTime> updatedAt;
    std::optional<QString> bannerText;
    std::optional<QString> selection;
    QHash<QString, History> histories;
    PresetBook presetBook{deps.store, [this] { Q_EMIT presetsChanged(); }};
    DropdownPicker dropdownPicker{[this] { Q_EMIT dropdownChanged(); }};
    UnitFeatures unitFeatures{*this};
    Account userAccount{*this};
    Settings userSettings;
    std::shared_ptr<const SensiboAPI> serviceApi; // absent while signed out and in demo mode
    bool panelShown = false;
    int failedRefreshes = 0; // consecutive failed refreshes
    CancelToken pollTask;
    // What the change road knows of one unit's change the service has not carried out.
    struct UnitChange {
        // The state before, while a send is waiting out its quiet period or under way: the
        // change is in flight exactly while it is set.
        std::optional<ACState> rollback;
        CancelToken send;                    // the latest send
        QList<Settled> waiters;              // who waits for the change in flight
        std::optional<ACState> heldWhileOff; // settings chosen while the unit stays off
    };
    QHash<QString, UnitChange> changes;       // per unit with something of a change left
    QHash<QString, QDateTime> historyFetched; // per unit: when its last load started
    CancelToken bannerTask;
    bool inDemo = false;
    std::optional<QDateTime> fullFetched;
    int opens = 0;
    // Cancelled at each switch between signed out, signed in and demo; what a session started
    // (a key read, sends, timer requests) ends with it.
    CancelToken signInSession;
};
