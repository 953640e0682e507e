#pragma once

#include "client/cancel_token.h"
#include "client/records.h"
#include "client/sensibo_api.h"
#include "model/settled.h"

#include <QCoro/QCoroTask>
#include <memory>

class AppModel;

// The units' timers: setting and cancelling show the result at once and put the previous timer
// back (with a banner) when the service refuses; nothing happens while signed out or in the
// demo. `done` hears what became of the request (a failure when nothing was sent).
class UnitTimers {
public:
    explicit UnitTimers(AppModel& model) : model(model) {}

    void set(const QString& id, qint64 minutes, bool turnOn, Settled done = {});
    void cancel(const QString& id, Settled done = {});
    // The unit's countdown reached zero: the timer goes, and the units are read again 5 s later.
    void fired(const QString& id);

private:
    friend class AppModel;

    // Reads every unit's timer, one after another, while `session` lasts.
    QCoro::Task<> refreshAll(CancelToken session);
    QCoro::Task<> refreshOne(QString id, CancelToken session);
    // Awaits `request`, a timer change by `client` (held here until it ends), and tells `done`
    // how it went: a failure puts `previous` back and shows `what` failed and why. With
    // `readBack`, a change that went through is followed by reading the unit's timer.
    QCoro::Task<> send(std::shared_ptr<const SensiboAPI> client, QCoro::Task<> request, QString id,
                       std::optional<PodTimer> previous, QString what, bool readBack,
                       CancelToken session, Settled done);
    // Puts `previous` back on a still listed unit and says what failed; returns what it said.
    QString refused(const QString& id, const std::optional<PodTimer>& previous, const QString& what,
                    const SensiboAPI::Failure& failure);
    QCoro::Task<> refreshLater();
    void show(const QString& id, std::optional<PodTimer> timer);

    AppModel& model;
};
