#include "client/sensibo_api.h"

#include "client/json_codec.h"
#include "client/request.h"

// Every operation builds its ServiceCall from a copy of this value before its first suspension
// and never touches `this` afterwards, so the caller may replace the value while a request is
// in flight.

SensiboAPI::Failure::Failure(Kind kind, int status, std::optional<QString> detail)
    : kindValue(kind), statusValue(status), detailValue(std::move(detail)),
      whatText(errorDescription().toUtf8()) {
}

SensiboAPI::Failure SensiboAPI::Failure::http(int status, std::optional<QString> detail) {
    return Failure(Kind::http, status, std::move(detail));
}

SensiboAPI::Failure SensiboAPI::Failure::network(QString description) {
    return Failure(Kind::network, 0, std::move(description));
}

SensiboAPI::Failure SensiboAPI::Failure::badKey() {
    return Failure(Kind::badKey, 0, {});
}

SensiboAPI::Failure SensiboAPI::Failure::unreadable() {
    return Failure(Kind::unreadable, 0, {});
}

QString SensiboAPI::Failure::errorDescription() const {
    switch (kindValue) {
    case Kind::http:
        return detailValue
                   ? QStringLiteral("Sensibo said: ") + *detailValue
                   : QStringLiteral("Sensibo returned an error (HTTP %1).").arg(statusValue);
    case Kind::network:
        return detailValue.value_or(QString());
    case Kind::badKey:
        return QStringLiteral("Sensibo didn't accept the API key.");
    case Kind::unreadable:
        return QStringLiteral("Sensibo sent something Alvore couldn't read.");
    }
    Q_UNREACHABLE();
}

const char* SensiboAPI::Failure::what() const noexcept {
    return whatText.constData();
}

bool SensiboAPI::Failure::operator==(const Failure& other) const {
    return kindValue == other.kindValue && statusValue == other.statusValue &&
           detailValue == other.detailValue;
}

namespace {
// The API base of `version` for the service at `serviceUrl`, below any path it already has.
QUrl apiBase(const QUrl& serviceUrl, const QString& version) {
    QString root = serviceUrl.path();
    while (root.endsWith(QLatin1Char('/')))
        root.chop(1);
    QUrl base = serviceUrl;
    base.setPath(root + QStringLiteral("/api/") + version);
    return base;
}

const QUrl& builtInService() {
    static const QUrl url(QStringLiteral(ALVORE_SERVICE_URL));
    return url;
}

// The answer to a state change: the state the unit took, and whether it took it.
struct StateChange {
    std::optional<ACState> acState;
    std::optional<QString> status;
    std::optional<QString> failureReason;
};

StateChange readStateChange(const QJsonValue& value, const DecodeContext& context) {
    const QJsonObject object = decodeJson<QJsonObject>(value, context);
    return {decodeMember<ACState>(object, QStringLiteral("acState"), context),
            decodeMember<QString>(object, QStringLiteral("status"), context),
            decodeMember<QString>(object, QStringLiteral("failureReason"), context)};
}

QByteArray stateBody(const ACState& state) {
    return encodeJsonObject({{QStringLiteral("acState"), encodeJson(state)}});
}

QByteArray timerBody(qint64 minutesFromNow, const ACState& state) {
    return encodeJsonObject({{QStringLiteral("minutesFromNow"), QByteArray::number(minutesFromNow)},
                             {QStringLiteral("acState"), encodeJson(state)}});
}
} // namespace

SensiboAPI::Config SensiboAPI::Config::forService(const QUrl& serviceUrl) {
    return {.base = apiBase(serviceUrl, QStringLiteral("v2")),
            .v1 = apiBase(serviceUrl, QStringLiteral("v1"))};
}

QUrl SensiboAPI::defaultBase() {
    return apiBase(builtInService(), QStringLiteral("v2"));
}

QUrl SensiboAPI::defaultV1() {
    return apiBase(builtInService(), QStringLiteral("v1"));
}

SensiboAPI::SensiboAPI(QString apiKey) : SensiboAPI(std::move(apiKey), Config()) {
}

SensiboAPI::SensiboAPI(QString apiKey, Config config)
    : key(std::move(apiKey)), settings(std::move(config)) {
}

QCoro::Task<QList<Pod>> SensiboAPI::pods(bool full, CancelToken cancel) const {
    QString fields =
        QStringLiteral("id,room,acState,measurements,connectionStatus,timer,smartMode");
    if (full)
        fields += QStringLiteral(",remoteCapabilities,productModel,filtersCleaning");
    const ServiceCall call{"GET", settings.base, {"users", "me", "pods"}, {{"fields", fields}},
                           {},    *this};
    co_return (co_await fetch<QList<Pod>>(call, cancel)).value_or(QList<Pod>());
}

QCoro::Task<std::optional<ACState>> SensiboAPI::setState(QString id, ACState state,
                                                         CancelToken cancel) const {
    const ServiceCall call{"POST", settings.base,    {"pods", id, "acStates"},
                           {},     stateBody(state), *this};
    const std::optional<StateChange> change =
        co_await fetch<StateChange>(call, cancel, &readStateChange);
    if (!change)
        co_return std::nullopt;
    if (change->status && change->status->toLower() == QLatin1String("failed"))
        throw Failure::http(
            200, change->failureReason.value_or(QStringLiteral("the AC didn't take the change")));
    co_return change->acState;
}

QCoro::Task<> SensiboAPI::setTimer(QString id, qint64 minutesFromNow, ACState state,
                                   CancelToken cancel) const {
    const ServiceCall call{
        "PUT", settings.v1, {"pods", id, "timer", ""}, {}, timerBody(minutesFromNow, state), *this};
    co_await send(call, cancel, Payload::none);
}

QCoro::Task<> SensiboAPI::cancelTimer(QString id, CancelToken cancel) const {
    const ServiceCall call{"DELETE", settings.v1, {"pods", id, "timer", ""}, {}, {}, *this};
    co_await send(call, cancel, Payload::none);
}

QCoro::Task<std::optional<PodTimer>> SensiboAPI::timer(QString id, CancelToken cancel) const {
    const ServiceCall call{"GET", settings.v1, {"pods", id, "timer", ""}, {}, {}, *this};
    co_return co_await fetch<PodTimer>(call, cancel);
}

QCoro::Task<> SensiboAPI::setClimateReact(QString id, bool enabled, CancelToken cancel) const {
    const QByteArray body = encodeJsonObject(
        {{QStringLiteral("enabled"), enabled ? QByteArrayLiteral("true") : "false"}});
    const ServiceCall call{"PUT", settings.base, {"pods", id, "smartmode"}, {}, body, *this};
    co_await send(call, cancel, Payload::none);
}

QCoro::Task<> SensiboAPI::filterCleaned(QString id, CancelToken cancel) const {
    const ServiceCall call{"DELETE", settings.base, {"pods", id, "cleanFiltersNotification"}, {},
                           {},       *this};
    co_await send(call, cancel, Payload::none);
}

QCoro::Task<History> SensiboAPI::history(QString id, int days, CancelToken cancel) const {
    const ServiceCall call{"GET",
                           settings.base,
                           {"pods", id, "historicalMeasurements"},
                           {{"days", QString::number(days)}},
                           {},
                           *this};
    co_return (co_await fetch<History>(call, cancel)).value_or(History());
}

QCoro::Task<> SensiboAPI::verify(CancelToken cancel) const {
    const ServiceCall call{"GET", settings.base, {"users", "me", "pods"}, {{"fields", "id"}},
                           {},    *this};
    co_await fetch<QList<Pod::IDOnly>>(call, cancel);
}
