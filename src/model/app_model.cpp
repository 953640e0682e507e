#include "model/app_model.h"

#include "client/app_log.h"

#include <QPointer>
#include <algorithm>

using namespace std::chrono_literals;

namespace {
constexpr qint64 panelOpenInterval = 15; // seconds between polls while the panel is open
constexpr qint64 longestDelay = 300;     // after failures, in seconds
constexpr int maxBackoffExponent = 5;
constexpr qint64 fullListingAge = 3'600'000; // milliseconds
constexpr qint64 staleAfterOpening = 5'000;  // milliseconds
constexpr auto bannerLife = 6s;

// The wait after a refresh: the pace of the panel's state, doubled per consecutive failure.
std::chrono::seconds pollDelay(bool panelOpen, qint64 closedInterval, int failures) {
    // A stored interval of zero or less would poll without pause; a year is plenty.
    const qint64 base =
        panelOpen ? panelOpenInterval : std::clamp<qint64>(closedInterval, 1, 365 * 86'400);
    if (failures <= 0)
        return std::chrono::seconds(base);
    const qint64 doubled = std::min(base, longestDelay) << std::min(failures, maxBackoffExponent);
    return std::chrono::seconds(std::min(doubled, longestDelay));
}
} // namespace

AppModel::AppModel(Dependencies dependencies, bool demo, QObject* parent)
    : QObject(parent), m_dependencies(std::move(dependencies)),
      m_presets(Preset::load(m_dependencies.store)),
      m_settings(Settings::load(m_dependencies.store)) {
    if (demo) {
        loadDemo();
        return;
    }
    removeFormerBuiltInPresets();
    useStoredKey(m_session); // runs on by itself; nothing waits for it
}

AppModel::~AppModel() {
    // Wakes every waiting task, so that each finds the model gone and ends.
    m_pollTask.cancel();
    m_bannerTask.cancel();
    endSession();
}

std::optional<Pod> AppModel::pod(const std::optional<QString>& id) const {
    if (!id)
        return std::nullopt;
    const qsizetype at = indexOf(*id);
    return at < 0 ? std::nullopt : std::optional(m_pods.at(at));
}

std::optional<Pod> AppModel::selectedPod() const {
    if (auto selected = pod(m_selectedID))
        return selected;
    return m_pods.isEmpty() ? std::nullopt : std::optional(m_pods.first());
}

std::optional<Pod> AppModel::menuBarPod() const {
    if (auto chosen = pod(m_settings.menuBarPodID))
        return chosen;
    return m_pods.isEmpty() ? std::nullopt : std::optional(m_pods.first());
}

void AppModel::restartPolling() {
    stopPolling();
    // A refused key is not tried again (on opening the panel, a wake, a new interval) until
    // the user signs in.
    if (!m_api || m_status.kind == Status::needsKey)
        return;
    m_pollTask = CancelToken();
    pollLoop(m_pollTask);
}

void AppModel::stopPolling() {
    m_pollTask.cancel();
}

QCoro::Task<> AppModel::pollLoop(CancelToken cancel) {
    QPointer<AppModel> self(this);
    Clock& clock = m_dependencies.clock;
    while (!cancel.isCancelled()) {
        co_await refresh(cancel);
        if (!self || cancel.isCancelled())
            co_return;
        co_await clock.sleep(pollDelay(m_panelOpen, m_settings.closedInterval, m_failures), cancel);
        if (!self)
            co_return;
    }
}

QCoro::Task<> AppModel::refresh(CancelToken cancel) {
    const std::shared_ptr<const SensiboAPI> client = usableClient();
    if (!client)
        co_return;
    QPointer<AppModel> self(this);
    const Clock& clock = m_dependencies.clock;
    // An answer is dropped when the model is gone, the refresh was cancelled, or the client it
    // asked with has since been dropped (sign-out, demo) or replaced (sign-in).
    const auto stale = [&] { return !self || cancel.isCancelled() || m_api != client; };

    bool full = !m_fullFetched || m_fullFetched->msecsTo(clock.now()) > fullListingAge;
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
            m_fullFetched = clock.now();
        m_failures = 0;
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
        ++m_failures;
        AppLog::write(QStringLiteral("refresh failed (") + QString::number(m_failures) +
                      QStringLiteral("): ") + failure.errorDescription());
        setStatus({Status::offline, failure.errorDescription()});
    } catch (const std::exception& fault) {
        // Not the service's doing: counted as a failed refresh, so that polling goes on at the
        // slower pace and the fault is in the log.
        if (stale())
            co_return;
        ++m_failures;
        AppLog::write(QStringLiteral("refresh failed (") + QString::number(m_failures) +
                      QStringLiteral("): ") + QString::fromUtf8(fault.what()));
    }
}

void AppModel::merge(const QList<Pod>& listed) {
    const QDateTime now = m_dependencies.clock.now();
    QList<Pod> merged;
    merged.reserve(listed.size());
    for (Pod pod : listed) {
        const qsizetype at = indexOf(pod.id);
        const Pod* current = at < 0 ? nullptr : &m_pods.at(at);
        // A light listing leaves out what never changes.
        if (!pod.remoteCapabilities && current) {
            pod.remoteCapabilities = current->remoteCapabilities;
            pod.productModel = current->productModel;
        }
        // What the user set stays on screen until the service has answered it.
        if (current && m_rollback.contains(pod.id))
            pod.acState = current->acState;
        if (const auto held = m_heldWhileOff.find(pod.id); held != m_heldWhileOff.end()) {
            if (pod.acState && pod.acState->on == true)
                m_heldWhileOff.erase(held);
            else
                pod.acState = *held;
        }
        if (!pod.timer && current && current->timer && current->timer->isPending(now))
            pod.timer = current->timer;
        if (pod.timer && !pod.timer->isPending(now))
            pod.timer.reset();
        merged.append(std::move(pod));
    }
    setPods(std::move(merged));
    repairSelection();
}

void AppModel::repairSelection() {
    if (m_selectedID && indexOf(*m_selectedID) >= 0)
        return;
    setSelectedID(m_pods.isEmpty() ? std::nullopt : std::optional(m_pods.first().id));
}

void AppModel::woke() {
    m_failures = 0;
    restartPolling();
}

void AppModel::panelOpened() {
    m_panelOpen = true;
    ++m_openCount;
    Q_EMIT openCountChanged();
    if (!m_lastUpdated || m_lastUpdated->msecsTo(m_dependencies.clock.now()) > staleAfterOpening)
        restartPolling();
    refreshTimers(m_session); // runs on by itself; nothing waits for it
}

void AppModel::panelClosed() {
    m_panelOpen = false;
    setDropdown(std::nullopt);
}

void AppModel::select(int index) {
    if (index >= 1 && index <= m_pods.size())
        setSelectedID(m_pods.at(index - 1).id);
}

void AppModel::show(const QString& message) {
    setBanner(message);
    m_bannerTask.cancel();
    m_bannerTask = CancelToken();
    dismissBannerLater(m_bannerTask);
}

QCoro::Task<> AppModel::dismissBannerLater(CancelToken cancel) {
    QPointer<AppModel> self(this);
    co_await m_dependencies.clock.sleep(bannerLife, cancel);
    // A cancelled wait belongs to a replaced message; the newer one's task clears the banner.
    if (self && !cancel.isCancelled())
        setBanner(std::nullopt);
}

void AppModel::clearBanner() {
    setBanner(std::nullopt);
}

void AppModel::setOnOpenSettings(std::function<void()> action) {
    m_onOpenSettings = std::move(action);
}

void AppModel::openSettings() const {
    if (m_onOpenSettings)
        m_onOpenSettings();
}

qsizetype AppModel::indexOf(const QString& id) const {
    const auto found = std::find_if(m_pods.cbegin(), m_pods.cend(),
                                    [&id](const Pod& pod) { return pod.id == id; });
    return found == m_pods.cend() ? -1 : found - m_pods.cbegin();
}

void AppModel::setStatus(Status status) {
    publish(m_status, std::move(status), &AppModel::statusChanged);
}

void AppModel::setPods(QList<Pod> pods) {
    publish(m_pods, std::move(pods), &AppModel::podsChanged);
}

void AppModel::setPodState(qsizetype index, const ACState& state) {
    if (m_pods.at(index).acState == state)
        return;
    m_pods[index].acState = state;
    Q_EMIT podsChanged();
}

void AppModel::setLastUpdated(std::optional<QDateTime> time) {
    publish(m_lastUpdated, std::move(time), &AppModel::lastUpdatedChanged);
}

void AppModel::setBanner(std::optional<QString> banner) {
    publish(m_banner, std::move(banner), &AppModel::bannerChanged);
}

void AppModel::setSelectedID(std::optional<QString> id) {
    publish(m_selectedID, std::move(id), &AppModel::selectedIDChanged);
}

void AppModel::setHistory(QHash<QString, History> history) {
    publish(m_history, std::move(history), &AppModel::historyChanged);
}

void AppModel::setDemo(bool demo) {
    publish(m_isDemo, std::move(demo), &AppModel::isDemoChanged);
}
