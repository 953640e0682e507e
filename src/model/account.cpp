#include "model/account.h"

#include "client/app_log.h"
#include "model/app_model.h"
#include "model/key_submission.h"

#include <QPointer>

using Status = AppModel::Status;

std::shared_ptr<const SensiboAPI> Account::client(const QString& key) const {
    SensiboAPI::Config config = model.deps.service;
    Clock& clock = model.deps.clock;
    config.now = [&clock] { return clock.now(); };
    return std::make_shared<const SensiboAPI>(key, std::move(config));
}

QCoro::Task<> Account::useStoredKey(CancelToken session) {
    if (storedKeyRemoved) {
        model.setStatus({Status::needsKey});
        co_return;
    }
    QPointer<AppModel> self(&model);
    const std::optional<QString> key = co_await model.deps.keys.read();
    if (!self || session.isCancelled())
        co_return;
    updateKeyWarning();
    if (!key) {
        model.setStatus({Status::needsKey});
        co_return;
    }
    model.setClient(client(*key));
    model.restartPolling();
}

QCoro::Task<> Account::signIn(QString key) {
    key = key.trimmed();
    if (!couldBeKey(key))
        throw SensiboAPI::Failure::badKey();
    QPointer<AppModel> self(&model);
    KeyStore& keys = model.deps.keys;
    const std::shared_ptr<const SensiboAPI> candidate = client(key);
    // Signing out or switching to the demo meanwhile drops the check: it is not undone.
    const CancelToken session = model.signInSession;
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
    if (model.inDemo)
        model.leaveDemo();
    model.endSession();
    model.setClient(candidate);
    model.setStatus({Status::loading});
    model.restartPolling();
    if (!stored && warning)
        model.show(*warning);
}

void Account::signOut() {
    model.stopPolling();
    model.endSession();
    model.setClient(nullptr);
    model.forgetUnits();
    model.setStatus({Status::needsKey});
    storedKeyRemoved = true;
    forgetStoredKey(); // runs on by itself; nothing waits for it
}

QCoro::Task<> Account::forgetStoredKey() {
    QPointer<AppModel> self(&model);
    const bool removed = co_await model.deps.keys.remove();
    if (removed || !self)
        co_return;
    const QString why =
        model.deps.keys.problem().value_or(QStringLiteral("the keyring refused it"));
    AppLog::write(QStringLiteral("the key store can't remove the key: ") + why);
    // A key signed in with meanwhile has its own warning, if any.
    if (!storedKeyRemoved || model.serviceApi)
        co_return;
    setWarning(QStringLiteral("Couldn't remove the key from your keyring: ") + why + u'.');
}

void Account::loadDemo() {
    model.stopPolling();
    model.endSession();
    model.setClient(nullptr);
    model.showDemo();
}

void Account::exitDemo() {
    model.leaveDemo();
    model.endSession();
    // The key store answers asynchronously; until it has, a key may be there.
    model.setStatus({Status::loading});
    useStoredKey(model.signInSession);
}

std::optional<QString> Account::apiKey() const {
    return model.serviceApi ? std::optional(model.serviceApi->apiKey()) : std::nullopt;
}

std::optional<QString> Account::unkeptKeyReason() const {
    return model.serviceApi ? problem : std::nullopt;
}

void Account::updateKeyWarning() {
    const std::optional<QString> now = model.deps.keys.problem();
    if (now && now != problem)
        AppLog::write(QStringLiteral("the key store can't keep the key: ") + *now);
    setWarning(now ? std::optional(QStringLiteral("Your key can't be kept: ") + *now +
                                   QStringLiteral(". It works until Alvore quits."))
                   : std::nullopt);
    problem = now;
}

void Account::setWarning(std::optional<QString> text) {
    if (text == warning)
        return;
    warning = std::move(text);
    Q_EMIT model.keyWarningChanged();
}
