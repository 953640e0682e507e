#include "client/app_log.h"
#include "model/app_model.h"
#include "model/unit_features.h"

#include <QPointer>

namespace {
const QString notSent = QStringLiteral("Alvore can't clear the filter reminder now.");
}

void UnitFeatures::filterCleaned(const QString& id, Settled done) {
    const std::optional<Pod> unit = model.pod(id);
    const std::shared_ptr<const SensiboAPI> client = model.usableClient();
    if (!unit || (!model.inDemo && !client)) {
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
    const std::optional<FiltersCleaning> before = unit->filtersCleaning;
    FiltersCleaning cleared = before.value_or(FiltersCleaning{});
    cleared.shouldCleanFilters = false;
    if (model.inDemo) {
        showFilters(id, cleared);
        if (done)
            done(std::nullopt);
        return;
    }
    const quint64 request = ++filterRequests;
    filterClearings.insert(
        id, {before, done ? QList<Settled>{std::move(done)} : QList<Settled>{}, request});
    showFilters(id, cleared);
    sendFilterCleaned(client, id, request, model.signInSession);
}

QCoro::Task<> UnitFeatures::sendFilterCleaned(std::shared_ptr<const SensiboAPI> client, QString id,
                                              quint64 request, CancelToken session) {
    QPointer<AppModel> self(&model);
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
        failed = AppModel::droppedText();
    } else if (why) {
        showFilters(id, clearing.before);
        failed = QStringLiteral("Couldn't clear the filter reminder. ") + *why;
        model.show(*failed);
        AppLog::write(QStringLiteral("clearing the filter reminder failed for ") + id +
                      QStringLiteral(": ") + *why);
    }
    for (const Settled& done : clearing.waiters)
        done(failed);
}

void UnitFeatures::showFilters(const QString& id, std::optional<FiltersCleaning> filters) {
    const qsizetype at = model.indexOf(id);
    if (at < 0 || model.podList.at(at).filtersCleaning == filters)
        return;
    model.podList[at].filtersCleaning = std::move(filters);
    Q_EMIT model.podsChanged();
}
