#include "client/app_log.h"
#include "model/app_model.h"

#include <QPointer>

// Climate React has a road of its own beside the state changes: the switch is a separate
// request that never carries the unit's state, so a state change in flight and a switch never
// roll each other back. Listings that arrive while a switch is under way keep the switch shown
// (see merge()).

void AppModel::setClimateReact(const QString& id, bool enabled, Settled done) {
    const qsizetype at = indexOf(id);
    const std::shared_ptr<const SensiboAPI> client = usableClient();
    if (at < 0 || !podList.at(at).smartMode || (!client && !inDemo)) {
        if (done)
            done(QStringLiteral("Alvore can't change Climate React now."));
        return;
    }
    const bool shown = podList.at(at).smartMode->isEnabled();
    if (shown == enabled) {
        if (done)
            done(std::nullopt);
        return;
    }
    setPodClimateReact(at, enabled);
    if (inDemo) {
        if (done)
            done(std::nullopt);
        return;
    }
    const auto pending = reactChanges.constFind(id);
    const bool before = pending == reactChanges.cend() ? shown : pending->before;
    const quint64 serial = ++reactSerials;
    reactChanges.insert(id, {before, enabled, serial});
    sendClimateReact(client, id, enabled, serial, signInSession, std::move(done));
}

QCoro::Task<> AppModel::sendClimateReact(std::shared_ptr<const SensiboAPI> client, QString id,
                                         bool enabled, quint64 serial, CancelToken session,
                                         Settled done) {
    QPointer<AppModel> self(this);
    std::optional<QString> failed;
    try {
        co_await client->setClimateReact(id, enabled, session);
    } catch (const Cancelled&) {
        failed = droppedText();
    } catch (const SensiboAPI::Failure& failure) {
        if (!self || session.isCancelled()) {
            failed = droppedText();
        } else {
            const qsizetype at = indexOf(id);
            failed = QStringLiteral("Couldn't turn Climate React %1 for %2. ")
                         .arg(enabled ? QStringLiteral("on") : QStringLiteral("off"),
                              at < 0 ? QStringLiteral("the AC") : podList.at(at).displayName()) +
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
            if (const qsizetype at = indexOf(id); at >= 0)
                setPodClimateReact(at, before);
            show(*failed);
        }
    }
    if (done)
        done(failed);
}

void AppModel::setPodClimateReact(qsizetype index, bool enabled) {
    std::optional<ClimateReact>& react = podList[index].smartMode;
    if (!react || react->isEnabled() == enabled)
        return;
    react->enabled = enabled;
    Q_EMIT podsChanged();
}

void AppModel::keepClimateReact(Pod& listed) const {
    if (const auto react = reactChanges.constFind(listed.id);
        react != reactChanges.cend() && listed.smartMode)
        listed.smartMode->enabled = react->wanted;
}
