#include "client/app_log.h"
#include "model/app_model.h"

#include <QPointer>

namespace {
constexpr qint64 historyLifetime = 600'000; // milliseconds before a unit's history is read again
constexpr int historyDays = 1;
} // namespace

QCoro::Task<> AppModel::loadHistory(QString id) {
    const std::shared_ptr<const SensiboAPI> client = usableClient();
    if (!client)
        co_return;
    const QDateTime now = deps.clock.now();
    if (const auto fetched = historyFetched.constFind(id);
        fetched != historyFetched.cend() && fetched->msecsTo(now) <= historyLifetime)
        co_return;
    // Stamped before asking, so that other charts of the unit don't ask meanwhile.
    historyFetched.insert(id, now);
    QPointer<AppModel> self(this);
    try {
        History answer = co_await client->history(id, historyDays);
        // An answer for a dropped or replaced key belongs to no unit shown now.
        if (!self || serviceApi != client)
            co_return;
        QHash<QString, History> history = histories;
        history[id] = std::move(answer);
        setHistory(std::move(history));
    } catch (const SensiboAPI::Failure& failure) {
        if (!self || serviceApi != client)
            co_return;
        historyFetched.remove(id);
        AppLog::write(QStringLiteral("history failed for ") + id + QStringLiteral(": ") +
                      failure.errorDescription());
    }
}
