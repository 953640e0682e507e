#include "model/app_model.h"

#include "client/app_log.h"
#include "model/poll_pace.h"

#include <QPointer>
#include <algorithm>

using namespace std::chrono_literals;

namespace {
constexpr qint64 fullListingAge = 3'600'000; // milliseconds
constexpr qint64 staleAfterOpening = 5'000;  // milliseconds
constexpr auto bannerLife = 6s;
} // namespace

AppModel::AppModel(Dependencies dependencies, bool demo, QObject* parent)
    : QObject(parent), deps(std::move(dependencies)), views(deps.store),
      userSettings(Settings::load(deps.store)) {
    if (demo) {
        userAccount.loadDemo();
        return;
    }
    presetBook.removeFormerBuiltIns();
    userAccount.useStoredKey(signInSession); // runs on by itself; nothing waits for it
}

AppModel::~AppModel() {
    // Wakes every waiting task, so that each finds the model gone and ends.
    pollTask.cancel();
    bannerTask.cancel();
    endSession();
}

std::optional<Pod> AppModel::pod(const std::optional<QString>& id) const {
    if (!id)
        return std::nullopt;
    const qsizetype at = indexOf(*id);
    return at < 0 ? std::nullopt : std::optional(podList.at(at));
}

std::optional<Pod> AppModel::menuBarPod() const {
    if (auto chosen = pod(userSettings.menuBarPodID))
        return chosen;
    return podList.isEmpty() ? std::nullopt : std::optional(podList.first());
}

void AppModel::restartPolling() {
    stopPolling();
    // A refused key is not tried again (on opening the panel, a wake, a new interval) until
    // the user signs in.
    if (!serviceApi || currentStatus.kind == Status::needsKey)
        return;
    pollTask = CancelToken();
    pollLoop(pollTask);
}

void AppModel::stopPolling() {
    pollTask.cancel();
}

QCoro::Task<> AppModel::pollLoop(CancelToken cancel) {
    QPointer<AppModel> self(this);
    Clock& clock = deps.clock;
    while (!cancel.isCancelled()) {
        co_await refresh(cancel);
        if (!self || cancel.isCancelled())
            co_return;
        co_await clock.sleep(
            PollPace::delay(panelShown, userSettings.closedInterval, failedRefreshes), cancel);
        if (!self)
            co_return;
    }
}

QCoro::Task<> AppModel::refresh(CancelToken cancel) {
    const std::shared_ptr<const SensiboAPI> client = usableClient();
    if (!client)
        co_return;
    QPointer<AppModel> self(this);
    const Clock& clock = deps.clock;
    // An answer is dropped when the model is gone, the refresh was cancelled, or the client it
    // asked with has since been dropped (sign-out, demo) or replaced (sign-in).
    const auto stale = [&] { return !self || cancel.isCancelled() || serviceApi != client; };

    bool full = !fullFetched || fullFetched->msecsTo(clock.now()) > fullListingAge;
    try {
        QList<Pod> listed = co_await client->pods(full, cancel);
        if (stale())
            co_return;
        const bool added = std::any_of(listed.cbegin(), listed.cend(),
                                       [this](const Pod& pod) { return indexOf(pod.id) < 0; });
        if (!full && added) {
            listed = co_await client->pods(true, cancel);
            if (stale())
                co_return;
            full = true;
        }
        if (full)
            fullFetched = clock.now();
        failedRefreshes = 0;
        merge(listed);
        setLastUpdated(clock.now());
        setStatus({Status::ready});
    } catch (const Cancelled&) {
    } catch (const SensiboAPI::Failure& failure) {
        if (stale())
            co_return;
        if (failure.kind() == SensiboAPI::Failure::Kind::badKey) {
            AppLog::write(QStringLiteral("refresh: key refused"));
            stopPolling();
            setStatus({Status::needsKey});
            co_return;
        }
        ++failedRefreshes;
        AppLog::write(QStringLiteral("refresh failed (") + QString::number(failedRefreshes) +
                      QStringLiteral("): ") + failure.errorDescription());
        setStatus({Status::offline, failure.errorDescription()});
    } catch (const std::exception& fault) {
        // Not the service's doing: counted as a failed refresh, so that polling goes on at the
        // slower pace and the fault is in the log.
        if (stale())
            co_return;
        ++failedRefreshes;
        AppLog::write(QStringLiteral("refresh failed (") + QString::number(failedRefreshes) +
                      QStringLiteral("): ") + QString::fromUtf8(fault.what()));
    }
}

void AppModel::merge(const QList<Pod>& listed) {
    QList<Pod> merged;
    merged.reserve(listed.size());
    for (Pod pod : listed) {
        const qsizetype at = indexOf(pod.id);
        const Pod* current = at < 0 ? nullptr : &podList.at(at);
        // A light listing leaves out what never changes.
        if (!pod.remoteCapabilities && current) {
            pod.remoteCapabilities = current->remoteCapabilities;
            pod.productModel = current->productModel;
        }
        if (const auto change = changes.find(pod.id); change != changes.end()) {
            // What the user set stays on screen until the service has answered it.
            if (current && change->rollback)
                pod.acState = current->acState;
            if (change->heldWhileOff && !pod.isOn())
                pod.acState = *change->heldWhileOff;
            else if (change->heldWhileOff)
                change->heldWhileOff.reset();
            forgetSettled(pod.id);
        }
        unitFeatures.keepShown(pod, current);
        merged.append(std::move(pod));
    }
    setPods(std::move(merged));
    repairSelection();
}

void AppModel::repairSelection() {
    if (selection && indexOf(*selection) >= 0)
        return;
    setSelectedID(podList.isEmpty() ? std::nullopt : std::optional(podList.first().id));
}

void AppModel::setAwake(bool awake) {
    if (!awake) {
        stopPolling();
        return;
    }
    failedRefreshes = 0;
    restartPolling();
}

void AppModel::setPanelOpen(bool open) {
    panelShown = open;
    if (!open) {
        dropdownPicker.close();
        return;
    }
    ++opens;
    Q_EMIT openCountChanged();
    if (!updatedAt || updatedAt->msecsTo(deps.clock.now()) > staleAfterOpening)
        restartPolling();
    unitFeatures.refreshTimers(signInSession); // runs on by itself; nothing waits for it
}

void AppModel::select(int index) {
    if (index >= 1 && index <= podList.size())
        setSelectedID(podList.at(index - 1).id);
}

void AppModel::show(const QString& message) {
    setBanner(message);
    bannerTask.cancel();
    bannerTask = CancelToken();
    dismissBannerLater(bannerTask);
}

QCoro::Task<> AppModel::dismissBannerLater(CancelToken cancel) {
    QPointer<AppModel> self(this);
    co_await deps.clock.sleep(bannerLife, cancel);
    // A cancelled wait belongs to a replaced message; the newer one's task clears the banner.
    if (self && !cancel.isCancelled())
        setBanner(std::nullopt);
}

void AppModel::clearBanner() {
    setBanner(std::nullopt);
}

qsizetype AppModel::indexOf(const QString& id) const {
    const auto found = std::find_if(podList.cbegin(), podList.cend(),
                                    [&id](const Pod& pod) { return pod.id == id; });
    return found == podList.cend() ? -1 : found - podList.cbegin();
}

void AppModel::setStatus(Status status) {
    publish(currentStatus, std::move(status), &AppModel::statusChanged);
}

void AppModel::setPods(QList<Pod> pods) {
    publish(podList, std::move(pods), &AppModel::podsChanged);
}

void AppModel::setPodState(qsizetype index, const ACState& state) {
    if (podList.at(index).acState == state)
        return;
    podList[index].acState = state;
    Q_EMIT podsChanged();
}

void AppModel::setLastUpdated(std::optional<QDateTime> time) {
    publish(updatedAt, std::move(time), &AppModel::lastUpdatedChanged);
}

void AppModel::setBanner(std::optional<QString> banner) {
    publish(bannerText, std::move(banner), &AppModel::bannerChanged);
}

void AppModel::setSelectedID(std::optional<QString> id) {
    publish(selection, std::move(id), &AppModel::selectedIDChanged);
}

void AppModel::setHistory(QHash<QString, History> history) {
    publish(histories, std::move(history), &AppModel::historyChanged);
}

void AppModel::setDemo(bool demo) {
    publish(inDemo, demo, &AppModel::isDemoChanged);
}
