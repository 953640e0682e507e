#include "client/request.h"

#include "client/app_log.h"
#include "client/application_wide.h"
#include "client/transport_error.h"

#include <QCoro/QCoroNetworkReply>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <memory>

namespace {

// No answer of the service comes near this (a full listing of several units is tens of kB); a
// larger one is refused as soon as it passes the bound rather than held in memory.
constexpr qint64 answerLimit = qint64(4) * 1024 * 1024;
// How far the network thread may read ahead of this one. The answer is taken in as it arrives,
// so however late this thread gets to it, an oversized answer is refused after at most this
// much more than the bound has been read.
constexpr qint64 readAhead = qint64(64) * 1024;

bool isDotSegment(const QString& segment) {
    return segment == QLatin1String(".") || segment == QLatin1String("..");
}

// A segment that would make the path name another resource however it is encoded: "." and ".."
// are resolved by servers and proxies, and an empty segment inside the path may be collapsed.
bool isUnusable(const QStringList& path) {
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (isDotSegment(path[i]) || (path[i].isEmpty() && i + 1 < path.size()))
            return true;
    }
    return false;
}

QNetworkRequest makeRequest(const ServiceCall& call) {
    QNetworkRequest request(serviceUrl(call));
    request.setRawHeader("Accept", "application/json");
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
    request.setTransferTimeout(static_cast<int>(call.api.config().timeout.count()));
    if (call.body)
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/json"));
    return request;
}

// A plain GET also reaches bases that aren't HTTP, whose answers then count as status 0.
QNetworkReply* start(const QNetworkRequest& request, const ServiceCall& call) {
    if (call.body)
        return networkAccess().sendCustomRequest(request, call.method, *call.body);
    if (call.method == "GET")
        return networkAccess().get(request);
    return networkAccess().sendCustomRequest(request, call.method);
}

struct Answer {
    QByteArray body;
    bool tooLarge = false;
};

// Takes in the answer of `reply` as it arrives, and aborts the reply once its declared or
// received size passes answerLimit.
std::shared_ptr<Answer> collect(QNetworkReply* reply) {
    auto answer = std::make_shared<Answer>();
    reply->setReadBufferSize(readAhead);
    const auto check = [reply, answer](qint64 size) {
        if (size > answerLimit && !answer->tooLarge) {
            answer->tooLarge = true;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, check] {
        check(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, answer, check] {
        answer->body += reply->readAll();
        check(answer->body.size());
    });
    return answer;
}

struct LaterDeleter {
    void operator()(QObject* object) const { object->deleteLater(); }
};

// What the service said when it refused: its reason, else its message, else nothing. A body
// that isn't such an object gives nothing.
std::optional<QString> errorDetail(const QByteArray& body) {
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    std::optional<QString> reason, message;
    for (auto [key, member] : {std::pair{"reason", &reason}, std::pair{"message", &message}}) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isString())
            *member = value.toString();
        else if (!value.isUndefined() && !value.isNull())
            return std::nullopt;
    }
    return reason ? reason : message;
}

[[noreturn]] void failWithStatus(const ServiceCall& call, int status, const QByteArray& body) {
    AppLog::write(QStringLiteral("%1 %2: HTTP %3 %4")
                      .arg(QString::fromLatin1(call.method), call.name(), QString::number(status),
                           QString::fromUtf8(body.left(300))));
    throw SensiboAPI::Failure::http(status, errorDetail(body));
}

} // namespace

// It has no cache; cookies and credentials are kept away from its stores per request (see
// makeRequest).
QNetworkAccessManager& networkAccess() {
    return applicationWide<QNetworkAccessManager>();
}

QString ServiceCall::name() const {
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (!path[i].isEmpty())
            return path[i];
    }
    return {};
}

QUrl serviceUrl(const ServiceCall& call) {
    QString path = call.base.path(QUrl::FullyEncoded);
    for (const QString& segment : call.path)
        path += QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(segment));

    QByteArray query;
    const auto add = [&query](const QString& name, const QString& value) {
        if (!query.isEmpty())
            query += '&';
        query += QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value, ",");
    };
    for (const auto& [name, value] : call.query)
        add(name, value);
    add(QStringLiteral("apiKey"), call.api.apiKey());

    QUrl url = call.base;
    url.setPath(path, QUrl::StrictMode);
    url.setQuery(QString::fromLatin1(query), QUrl::StrictMode);
    return url;
}

QCoro::Task<QByteArray> send(ServiceCall call, CancelToken cancel, Payload payload) {
    if (cancel.isCancelled())
        throw Cancelled{};
    if (isUnusable(call.path)) {
        AppLog::write(QStringLiteral("unusable unit id for %1 %2")
                          .arg(QString::fromLatin1(call.method), call.name()));
        throw SensiboAPI::Failure::unreadable();
    }

    const QNetworkRequest request = makeRequest(call);
    const std::unique_ptr<QNetworkReply, LaterDeleter> reply(start(request, call));
    cancel.onCancel(reply.get(), [reply = reply.get()] { reply->abort(); });
    const std::shared_ptr<Answer> answer = collect(reply.get());
    co_await reply.get();

    if (cancel.isCancelled())
        throw Cancelled{};
    if (answer->tooLarge) {
        AppLog::write(QStringLiteral("%1 %2: answer larger than %3 bytes, refused")
                          .arg(QString::fromLatin1(call.method), call.name())
                          .arg(answerLimit));
        throw SensiboAPI::Failure::unreadable();
    }
    const QNetworkReply::NetworkError error = reply->error();
    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (isConnectionError(error) || (error != QNetworkReply::NoError && !statusAttribute.isValid()))
        throw SensiboAPI::Failure::network(transportErrorText(error, systemNetworkReach()));

    const int status = statusAttribute.isValid() ? statusAttribute.toInt() : 0;
    if (status == 401 || status == 403)
        throw SensiboAPI::Failure::badKey();
    answer->body += reply->readAll();
    if (status < 200 || status > 299)
        failWithStatus(call, status, answer->body);
    co_return payload == Payload::none ? QByteArray() : std::move(answer->body);
}

void logUndecodable(const ServiceCall& call, const DecodeError& error) {
    AppLog::write(
        QStringLiteral("couldn't decode %1 %2: %3")
            .arg(QString::fromLatin1(call.method), call.name(), QString::fromUtf8(error.what())));
}
