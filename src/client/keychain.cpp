#include "client/keychain.h"

#include <QCoro/QCoroSignal>
#include <QPointer>
#include <QStringDecoder>
#include <qt6keychain/keychain.h>

namespace {

const QString service = QStringLiteral("com.brindlework.alvore");
const QString account = QStringLiteral("sensibo-api-key");

// A job on the one item; it deletes itself once finished, so a job that outlives a timed-out
// wait is never destroyed while the secret store still calls back into it.
template <typename Job> Job* makeJob() {
    auto* job = new Job(service);
    job->setKey(account);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    return job;
}

// Runs `job` and returns it once it has finished without error; null when it failed or did
// not finish within `timeout`.
QCoro::Task<QKeychain::Job*> run(QKeychain::Job* job, std::chrono::milliseconds timeout) {
    QPointer<QKeychain::Job> alive(job);
    auto finished = qCoro(job, &QKeychain::Job::finished, timeout);
    job->start();
    const auto outcome = co_await std::move(finished);
    co_return outcome.has_value() && alive && job->error() == QKeychain::NoError ? job : nullptr;
}

} // namespace

Keychain::Keychain(std::chrono::milliseconds timeout) : jobTimeout(timeout) {
}

QCoro::Task<std::optional<QString>> Keychain::read() {
    auto* job = static_cast<QKeychain::ReadPasswordJob*>(
        co_await run(makeJob<QKeychain::ReadPasswordJob>(), jobTimeout));
    if (!job)
        co_return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString key = utf8(job->binaryData());
    if (utf8.hasError() || key.isEmpty())
        co_return std::nullopt;
    co_return key;
}

QCoro::Task<bool> Keychain::save(QString key) {
    co_await remove();
    auto* job = makeJob<QKeychain::WritePasswordJob>();
    job->setTextData(key);
    co_return co_await run(job, jobTimeout) != nullptr;
}

QCoro::Task<> Keychain::remove() {
    co_await run(makeJob<QKeychain::DeletePasswordJob>(), jobTimeout);
}
