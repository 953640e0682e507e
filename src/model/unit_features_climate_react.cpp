#include "client/app_log.h"
#include "model/app_model.h"
#include "model/unit_features.h"

#include <QPointer>

// The switch is a request that never carries the unit's state. Listings that arrive while a
// switch is under way keep the switch shown (see keepShown()).

void UnitFeatures::setClimateReact(const QString& id, bool enabled, Settled done) {
    const std::optional<Pod> unit = model.pod(id);
    const std::shared_ptr<const SensiboAPI> client = model.usableClient();
    if (!unit || !unit->smartMode || (!client && !model.inDemo)) {
        if (done)
            done(QStringLiteral("Alvore can't change Climate React now."));
        return;
    }
    const bool shown = unit->smartMode->isEnabled();
    if (shown == enabled) {
        if (done)
            done(std::nullopt);
        return;
    }
    showClimateReact(id, enabled);
    if (model.inDemo) {
        if (done)
            done(std::nullopt);
        return;
    }
    const auto pending = reactChanges.constFind(id);
    const bool before = pending == reactChanges.cend() ? shown : pending->before;
    const quint64 serial = ++reactSerials;
    reactChanges.insert(id, {before, enabled, serial});
    sendClimateReact(client, id, enabled, serial, model.signInSession, std::move(done));
}

QCoro::Task<> UnitFeatures::sendClimateReact(std::shared_ptr<const SensiboAPI> client, QString id,
                                             bool enabled, quint64 serial, CancelToken session,
                                             Settled done) {
    QPointer<AppModel> self(&model);
    std::optional<QString> failed;
    try {
        co_await client->setClimateReact(id, enabled, session);
    } catch (const Cancelled&) {
        failed = AppModel::droppedText();
    } catch (const SensiboAPI::Failure& failure) {
        if (!self || session.isCancelled()) {
            failed = AppModel::droppedText();
        } else {
            const std::optional<Pod> unit = model.pod(id);
            failed = QStringLiteral("Couldn't turn Climate React %1 for %2. ")
                         .arg(enabled ? QStringLiteral("on") : QStringLiteral("off"),
                              unit ? unit->displayName() : QStringLiteral("the AC")) +
                     failure.errorDescription();
            AppLog::write(QStringLiteral("Climate React switch failed for ") + id +
                          QStringLiteral(": ") + failure.errorDescription());
        }
    }
    // The session's end forgets every switch; a newer switch of the unit owns what is shown.
    const bool latest = self && !session.isCancelled() && reactChanges.contains(id) &&
                        reactChanges.value(id).serial == serial;
    if (latest) {
        const bool before = reactChanges.take(id).before;
        if (failed) {
            showClimateReact(id, before);
            model.show(*failed);
        }
    }
    if (done)
        done(failed);
}

void UnitFeatures::showClimateReact(const QString& id, bool enabled) {
    const qsizetype at = model.indexOf(id);
    if (at < 0)
        return;
    std::optional<ClimateReact>& react = model.podList[at].smartMode;
    if (!react || react->isEnabled() == enabled)
        return;
    react->enabled = enabled;
    Q_EMIT model.podsChanged();
}
