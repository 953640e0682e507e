#pragma once

#include "client/key_store.h"

#include <chrono>
#include <qt6keychain/keychain.h>

// The API key in the desktop's secret store (the Secret Service on Linux), as one item under
// the service "com.brindlework.alvore" and the key "sensibo-api-key". Nothing is ever kept in
// plain text: without a reachable secret store, save fails and read finds nothing.
class Keychain final : public KeyStore {
public:
    // The secret store can hang (a bus that never answers, an unlock prompt left open); an
    // operation that has not finished after `timeout` counts as failed.
    explicit Keychain(std::chrono::milliseconds timeout = std::chrono::minutes(2));

    QCoro::Task<std::optional<QString>> read() override;
    QCoro::Task<bool> save(QString key) override;
    QCoro::Task<bool> remove() override;
    std::optional<QString> problem() const override { return lastProblem; }

    // The problem() of a job that ended with `code`. The Secret Service library reports a
    // missing service like any other failure, so `serviceOnBus` tells them apart: whether the
    // Secret Service had an owner on the session bus once the job had failed.
    static std::optional<QString> problemText(QKeychain::Error code, bool serviceOnBus);

private:
    // The problem() when no Secret Service is on the bus.
    static QString noKeyring();
    // Runs `job`; once it has finished without error, what it read (empty for other jobs), and
    // nothing when it failed or did not finish in time. The outcome becomes problem().
    QCoro::Task<std::optional<QByteArray>> run(QKeychain::Job* job);

    std::chrono::milliseconds jobTimeout;
    std::optional<QString> lastProblem;
};
