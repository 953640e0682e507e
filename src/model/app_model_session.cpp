#include "model/app_model.h"
#include "model/demo_data.h"

void AppModel::stage(Status status, QList<Pod> units) {
    if (!inDemo)
        return;
    setPods(std::move(units));
    repairSelection();
    setStatus(std::move(status));
}

void AppModel::showDemo() {
    const QDateTime now = deps.clock.now();
    setDemo(true);
    setPods(DemoData::pods(now));
    setSelectedID(podList.isEmpty() ? std::nullopt : std::optional(podList.first().id));
    setLastUpdated(now.addSecs(-12));
    setStatus({Status::ready});
    QHash<QString, History> history;
    for (const Pod& pod : std::as_const(podList)) {
        const double base = pod.measurements ? pod.measurements->temperature.value_or(23.0) : 23.0;
        history.insert(pod.id, DemoData::history(base, now));
    }
    setHistory(std::move(history));
}

void AppModel::forgetUnits() {
    setPods({});
    setHistory({});
    setLastUpdated(std::nullopt);
}

void AppModel::leaveDemo() {
    setDemo(false);
    forgetUnits();
    setSelectedID(std::nullopt);
}

QString AppModel::droppedText() {
    return QStringLiteral("The change was dropped: Alvore signed out or switched to the demo.");
}

void AppModel::endSession() {
    signInSession.cancel();
    signInSession = CancelToken();
    // The next session starts without the last one's failures and messages.
    failedRefreshes = 0;
    bannerTask.cancel();
    setBanner(std::nullopt);
    const auto ended = std::exchange(changes, {});
    unitFeatures.forgetSession();
    historyFetched.clear();
    for (const UnitChange& change : ended)
        change.send.cancel();
    for (const UnitChange& change : ended)
        for (const Settled& done : change.waiters)
            done(droppedText());
}

std::shared_ptr<const SensiboAPI> AppModel::usableClient() const {
    return currentStatus.kind == Status::needsKey ? nullptr : serviceApi;
}

void AppModel::setClient(std::shared_ptr<const SensiboAPI> client) {
    if (client == serviceApi)
        return;
    serviceApi = std::move(client);
    Q_EMIT apiKeyChanged();
}
