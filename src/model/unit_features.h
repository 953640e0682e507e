#pragma once

#include "client/cancel_token.h"
#include "client/records.h"
#include "client/sensibo_api.h"
#include "model/settled.h"

#include <QCoro/QCoroTask>
#include <QHash>
#include <memory>

class AppModel;

// What a unit offers beside its state, each with a request of its own: the timer, Climate React
// and the filter reminder. A request shows its result at once and puts the previous value back
// (with a banner) when the service refuses; `done` hears what became of it (a failure when
// nothing was sent). A state change in flight and these requests never roll each other back.
class UnitFeatures {
public:
    explicit UnitFeatures(AppModel& model) : model(model) {}

    // Nothing is sent while signed out or in the demo.
    void setTimer(const QString& id, qint64 minutes, bool turnOn, Settled done = {});
    void cancelTimer(const QString& id, Settled done = {});
    // The unit's countdown reached zero: the timer goes, and the units are read again 5 s later.
    void timerFired(const QString& id);

    // The demo only flips the switch.
    void setClimateReact(const QString& id, bool enabled, Settled done = {});
    // Ends the unit's filter reminder; a second call while the first is under way waits for it.
    void filterCleaned(const QString& id, Settled done = {});

private:
    friend class AppModel;

    // A listed unit keeps what is shown of these requests until the service has answered them,
    // a pending timer the listing leaves out, and (from a light listing) the filter reminder.
    void keepShown(Pod& listed, const Pod* current) const;
    // The session ended: switches in flight are forgotten.
    void forgetSession();

    // Reads every unit's timer, one after another, while `session` lasts.
    QCoro::Task<> refreshTimers(CancelToken session);
    QCoro::Task<> refreshTimer(QString id, CancelToken session);
    // Awaits `request`, a timer change by `client` (held here until it ends), and tells `done`
    // how it went: a failure puts `previous` back and shows `what` failed and why. With
    // `readBack`, a change that went through is followed by reading the unit's timer.
    QCoro::Task<> sendTimer(std::shared_ptr<const SensiboAPI> client, QCoro::Task<> request,
                            QString id, std::optional<PodTimer> previous, QString what,
                            bool readBack, CancelToken session, Settled done);
    // Puts `previous` back on a still listed unit and says what failed; returns what it said.
    QString timerRefused(const QString& id, const std::optional<PodTimer>& previous,
                         const QString& what, const SensiboAPI::Failure& failure);
    QCoro::Task<> refreshLater();
    void showTimer(const QString& id, std::optional<PodTimer> timer);

    QCoro::Task<> sendClimateReact(std::shared_ptr<const SensiboAPI> client, QString id,
                                   bool enabled, quint64 serial, CancelToken session, Settled done);
    void showClimateReact(const QString& id, bool enabled);

    QCoro::Task<> sendFilterCleaned(std::shared_ptr<const SensiboAPI> client, QString id,
                                    quint64 request, CancelToken session);
    void showFilters(const QString& id, std::optional<FiltersCleaning> filters);

    AppModel& model;

    // Climate React switches the service has not answered.
    struct ReactChange {
        bool before; // what the unit showed before the first unanswered switch
        bool wanted;
        quint64 serial; // of the latest request; an older one's answer changes nothing
    };
    QHash<QString, ReactChange> reactChanges;
    quint64 reactSerials = 0;

    // Filter reminders being ended: while the service has not answered, listings leave the
    // reminder cleared.
    struct FilterClearing {
        std::optional<FiltersCleaning> before; // put back when the service refuses
        QList<Settled> waiters;
        quint64 request = 0; // which request owns the record
    };
    QHash<QString, FilterClearing> filterClearings;
    quint64 filterRequests = 0;
};
