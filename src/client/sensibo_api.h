#pragma once

#include "client/cancel_token.h"
#include "client/records.h"

#include <QCoro/QCoroTask>
#include <QDateTime>
#include <QString>
#include <QUrl>
#include <chrono>
#include <exception>
#include <functional>
#include <optional>

// The client of the service's REST API. A small value holding the API key; replaced, not
// changed, when the key changes. Every operation is a coroutine on the main thread that returns
// its value or throws SensiboAPI::Failure, or Cancelled when its token was cancelled (the
// in-flight request is then aborted).
class SensiboAPI {
public:
    // The one failure type of the client; its description is the sentence shown to the user.
    class Failure : public std::exception {
    public:
        enum class Kind { http, network, badKey, unreadable };

        static Failure http(int status, std::optional<QString> detail = {});
        static Failure network(QString description);
        static Failure badKey();
        static Failure unreadable();

        Kind kind() const { return kindValue; }
        int status() const { return statusValue; }                           // http only
        const std::optional<QString>& detail() const { return detailValue; } // http only
        QString errorDescription() const;
        const char* what() const noexcept override;

        bool operator==(const Failure& other) const;

    private:
        Failure(Kind kind, int status, std::optional<QString> detail);
        Kind kindValue;
        int statusValue = 0;
        std::optional<QString> detailValue; // http detail, or the network description
        QByteArray whatText;
    };

    // Where the service lives and how long a request may wait for data.
    struct Config {
        QUrl base = defaultBase(); // version 2 of the API
        QUrl v1 = defaultV1();     // version 1 of the API
        std::chrono::milliseconds timeout = std::chrono::seconds(15);
        // "Now" for computing timers' fire dates at decode time.
        std::function<QDateTime()> now = [] { return QDateTime::currentDateTimeUtc(); };

        // Both bases for a service at `serviceUrl` (scheme and host, e.g. a loopback address).
        static Config forService(const QUrl& serviceUrl);
    };
    static QUrl defaultBase(); // derived from the build's ALVORE_SERVICE_URL
    static QUrl defaultV1();

    // Two constructors rather than a default argument: Config's member initializers can't be
    // used for a default argument inside this class.
    explicit SensiboAPI(QString apiKey);
    SensiboAPI(QString apiKey, Config config);

    const QString& apiKey() const { return key; }
    const Config& config() const { return settings; }

    // The unit listing; the full form also brings capabilities, product models and the filter
    // counts.
    QCoro::Task<QList<Pod>> pods(bool full, CancelToken cancel = {}) const;
    // Sends the whole state; returns the state the service took, or absent.
    QCoro::Task<std::optional<ACState>> setState(QString id, ACState state,
                                                 CancelToken cancel = {}) const;
    QCoro::Task<> setTimer(QString id, qint64 minutesFromNow, ACState state,
                           CancelToken cancel = {}) const;
    QCoro::Task<> cancelTimer(QString id, CancelToken cancel = {}) const;
    QCoro::Task<std::optional<PodTimer>> timer(QString id, CancelToken cancel = {}) const;
    // Turns the unit's Climate React rule on or off.
    QCoro::Task<> setClimateReact(QString id, bool enabled, CancelToken cancel = {}) const;
    // Tells the service the filter was cleaned: its reminder ends and the count starts again.
    QCoro::Task<> filterCleaned(QString id, CancelToken cancel = {}) const;
    QCoro::Task<History> history(QString id, int days, CancelToken cancel = {}) const;
    // Succeeds when the service accepts the key.
    QCoro::Task<> verify(CancelToken cancel = {}) const;

private:
    QString key;
    Config settings;
};
