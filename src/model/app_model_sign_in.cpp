#include "client/app_log.h"
#include "model/app_model.h"
#include "model/demo_data.h"
#include "model/key_submission.h"

#include <QPointer>
#include <algorithm>

std::shared_ptr<const SensiboAPI> AppModel::client(const QString& key) const {
    SensiboAPI::Config config = deps.service;
    Clock& clock = deps.clock;
    config.now = [&clock] { return clock.now(); };
    return std::make_shared<const SensiboAPI>(key, std::move(config));
}

QCoro::Task<> AppModel::useStoredKey(CancelToken session) {
    if (storedKeyRemoved) {
        setStatus({Status::needsKey});
        co_return;
    }
    QPointer<AppModel> self(this);
    const std::optional<QString> key = co_await deps.keys.read();
    if (!self || session.isCancelled())
        co_return;
    updateKeyWarning();
    if (!key) {
        setStatus({Status::needsKey});
        co_return;
    }
    setClient(client(*key));
    restartPolling();
}

QCoro::Task<> AppModel::signIn(QString key) {
    key = key.trimmed();
    if (!couldBeKey(key))
        throw SensiboAPI::Failure::badKey();
    QPointer<AppModel> self(this);
    KeyStore& keys = deps.keys;
    const std::shared_ptr<const SensiboAPI> candidate = client(key);
    // Signing out or switching to the demo meanwhile drops the check: it is not undone.
    const CancelToken session = signInSession;
    co_await candidate->verify(session);
    if (!self)
        co_return;
    if (session.isCancelled())
        throw Cancelled();
    // A key the store refuses still works until the app quits; nothing else keeps it.
    const bool stored = co_await keys.save(key);
    if (!self)
        co_return;
    if (session.isCancelled())
        throw Cancelled();
    if (stored)
        storedKeyRemoved = false;
    updateKeyWarning();
    // Real units are never mixed with made-up ones.
    if (inDemo)
        leaveDemo();
    endSession();
    setClient(candidate);
    setStatus({Status::loading});
    restartPolling();
    if (!stored && keyStoreWarning)
        show(*keyStoreWarning);
}

void AppModel::signOut() {
    stopPolling();
    endSession();
    setClient(nullptr);
    setPods({});
    setHistory({});
    setLastUpdated(std::nullopt);
    setStatus({Status::needsKey});
    storedKeyRemoved = true;
    forgetStoredKey(); // runs on by itself; nothing waits for it
}

QCoro::Task<> AppModel::forgetStoredKey() {
    QPointer<AppModel> self(this);
    const bool removed = co_await deps.keys.remove();
    if (removed || !self)
        co_return;
    const QString why = deps.keys.problem().value_or(QStringLiteral("the keyring refused it"));
    AppLog::write(QStringLiteral("the key store can't remove the key: ") + why);
    // A key signed in with meanwhile has its own warning, if any.
    if (!storedKeyRemoved || serviceApi)
        co_return;
    publish(
        keyStoreWarning,
        std::optional(QStringLiteral("Couldn't remove the key from your keyring: ") + why + u'.'),
        &AppModel::keyWarningChanged);
}

void AppModel::loadDemo() {
    // Demo mode never reaches the service, whatever key was in use before.
    stopPolling();
    endSession();
    setClient(nullptr);
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

void AppModel::stage(Status status, QList<Pod> units) {
    if (!inDemo)
        return;
    setPods(std::move(units));
    repairSelection();
    setStatus(std::move(status));
}

void AppModel::leaveDemo() {
    setDemo(false);
    setPods({});
    setHistory({});
    setLastUpdated(std::nullopt);
    setSelectedID(std::nullopt);
}

void AppModel::exitDemo() {
    leaveDemo();
    endSession();
    // The key store answers asynchronously; until it has, a key may be there.
    setStatus({Status::loading});
    useStoredKey(signInSession);
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
    reactChanges.clear();
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

std::optional<QString> AppModel::apiKey() const {
    return serviceApi ? std::optional(serviceApi->apiKey()) : std::nullopt;
}

std::optional<QString> AppModel::unkeptKeyReason() const {
    return serviceApi ? keyStoreProblem : std::nullopt;
}

void AppModel::updateKeyWarning() {
    const std::optional<QString> problem = deps.keys.problem();
    if (problem && problem != keyStoreProblem)
        AppLog::write(QStringLiteral("the key store can't keep the key: ") + *problem);
    publish(keyStoreWarning,
            problem ? std::optional(QStringLiteral("Your key can't be kept: ") + *problem +
                                    QStringLiteral(". It works until Alvore quits."))
                    : std::nullopt,
            &AppModel::keyWarningChanged);
    keyStoreProblem = problem;
}

void AppModel::setClient(std::shared_ptr<const SensiboAPI> client) {
    if (client == serviceApi)
        return;
    serviceApi = std::move(client);
    Q_EMIT apiKeyChanged();
}
