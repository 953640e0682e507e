#include "client/keychain.h"

#include <QCoro/QCoroSignal>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringDecoder>
#include <memory>

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

// What became of a job, taken as the job reports it. A failed job may be destroyed straight
// after reporting, before a queued call to it is delivered, so a task waiting on the job's own
// signal would wait until its timeout; it waits on this object's instead.
class JobEnd : public QObject {
    Q_OBJECT
public:
    explicit JobEnd(QKeychain::Job* job) {
        connect(
            job, &QKeychain::Job::finished, this,
            [this](QKeychain::Job* finished) {
                code = finished->error();
                if (const auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(finished))
                    data = read->binaryData();
                Q_EMIT ended();
            },
            Qt::DirectConnection);
    }
    QKeychain::Error code = QKeychain::OtherError;
    QByteArray data;

Q_SIGNALS:
    void ended();
};

// Whether something owns the Secret Service's name on the session bus. Asked only once a job has
// failed; a bus that never answers costs the call's own timeout.
QCoro::Task<bool> secretServiceOnBus() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        co_return false;
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    auto watcher = std::make_unique<QDBusPendingCallWatcher>(
        bus.asyncCall(ask << QStringLiteral("org.freedesktop.secrets"), 5000));
    if (!watcher->isFinished())
        co_await qCoro(watcher.get(), &QDBusPendingCallWatcher::finished);
    const QDBusPendingReply<bool> reply = *watcher;
    co_return reply.isValid() && reply.value();
}

} // namespace

QString Keychain::noKeyring() {
    return QStringLiteral("no keyring is available on this desktop");
}

Keychain::Keychain(std::chrono::milliseconds timeout) : jobTimeout(timeout) {
}

std::optional<QString> Keychain::problemText(QKeychain::Error code, bool serviceOnBus) {
    switch (code) {
    case QKeychain::NoError:
    case QKeychain::EntryNotFound:
        return std::nullopt;
    case QKeychain::AccessDenied:
    case QKeychain::AccessDeniedByUser:
        return QStringLiteral("the keyring stayed locked");
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented:
        break;
    case QKeychain::CouldNotDeleteEntry:
    case QKeychain::OtherError:
        if (serviceOnBus)
            return QStringLiteral("the keyring refused it");
        break;
    }
    return noKeyring();
}

QCoro::Task<std::optional<QByteArray>> Keychain::run(QKeychain::Job* job) {
    JobEnd end(job);
    auto ended = qCoro(&end, &JobEnd::ended, jobTimeout);
    job->start();
    const bool finished = (co_await std::move(ended)).has_value();
    if (!finished)
        lastProblem = QStringLiteral("the keyring didn't answer");
    else if (end.code == QKeychain::OtherError || end.code == QKeychain::CouldNotDeleteEntry)
        lastProblem = problemText(end.code, co_await secretServiceOnBus());
    else
        lastProblem = problemText(end.code, true);
    if (!finished || end.code != QKeychain::NoError)
        co_return std::nullopt;
    co_return end.data;
}

QCoro::Task<std::optional<QString>> Keychain::read() {
    const std::optional<QByteArray> data = co_await run(makeJob<QKeychain::ReadPasswordJob>());
    if (!data)
        co_return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString key = utf8(*data);
    if (utf8.hasError() || key.isEmpty())
        co_return std::nullopt;
    co_return key;
}

QCoro::Task<bool> Keychain::save(QString key) {
    // Written over the stored item, which the Secret Service replaces in place: deleting it
    // first would lose the working key whenever the write then fails.
    auto* job = makeJob<QKeychain::WritePasswordJob>();
    job->setTextData(key);
    co_return (co_await run(job)).has_value();
}

QCoro::Task<bool> Keychain::remove() {
    co_await run(makeJob<QKeychain::DeletePasswordJob>());
    // No item to delete is no problem, and where there is no keyring nothing was ever stored.
    co_return !lastProblem || lastProblem == noKeyring();
}

#include "keychain.moc"
