#include "client/app_log.h"
#include "model/app_model.h"

#include <QPointer>

namespace {
const QString notSent = QStringLiteral("Alvore can't clear the filter reminder now.");
}

void AppModel::filterCleaned(const QString& id, Settled done) {
    const qsizetype at = indexOf(id);
    const std::shared_ptr<const SensiboAPI> client = usableClient();
    if (at < 0 || (!inDemo && !client)) {
        if (done)
            done(notSent);
        return;
    }
    // A second "Done" while the first is under way waits for it instead of asking again.
    if (const auto clearing = filterClearings.find(id); clearing != filterClearings.end()) {
        if (done)
            clearing->waiters.append(std::move(done));
        return;
    }
    const std::optional<FiltersCleaning> before = podList.at(at).filtersCleaning;
    FiltersCleaning cleared = before.value_or(FiltersCleaning{});
    cleared.shouldCleanFilters = false;
    if (inDemo) {
        setPodFilters(at, cleared);
        if (done)
            done(std::nullopt);
        return;
    }
    const quint64 request = ++filterRequests;
    filterClearings.insert(
        id, {before, done ? QList<Settled>{std::move(done)} : QList<Settled>{}, request});
    setPodFilters(at, cleared);
    sendFilterCleaned(client, id, request, signInSession);
}

QCoro::Task<> AppModel::sendFilterCleaned(std::shared_ptr<const SensiboAPI> client, QString id,
                                          quint64 request, CancelToken session) {
    QPointer<AppModel> self(this);
    std::optional<QString> why;
    try {
        co_await client->filterCleaned(id, session);
    } catch (const Cancelled&) {
    } catch (const SensiboAPI::Failure& failure) {
        why = failure.errorDescription();
    }
    if (!self)
        co_return;
    const auto found = filterClearings.find(id);
    // A session started since owns the unit's record.
    if (found == filterClearings.end() || found->request != request)
        co_return;
    const FilterClearing clearing = *found;
    filterClearings.erase(found);
    std::optional<QString> failed;
    if (session.isCancelled()) {
        failed = droppedText();
    } else if (why) {
        if (const qsizetype at = indexOf(id); at >= 0)
            setPodFilters(at, clearing.before);
        failed = QStringLiteral("Couldn't clear the filter reminder. ") + *why;
        show(*failed);
        AppLog::write(QStringLiteral("clearing the filter reminder failed for ") + id +
                      QStringLiteral(": ") + *why);
    }
    for (const Settled& done : clearing.waiters)
        done(failed);
}

void AppModel::keepFilterReminder(Pod& listed, const Pod* current) const {
    if (current && (!listed.filtersCleaning || filterClearings.contains(listed.id)))
        listed.filtersCleaning = current->filtersCleaning;
}

void AppModel::setPodFilters(qsizetype index, std::optional<FiltersCleaning> filters) {
    if (podList.at(index).filtersCleaning == filters)
        return;
    podList[index].filtersCleaning = std::move(filters);
    Q_EMIT podsChanged();
}
