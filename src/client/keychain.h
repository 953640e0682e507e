#pragma once

#include "client/key_store.h"

#include <chrono>

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
    QCoro::Task<> remove() override;

private:
    std::chrono::milliseconds jobTimeout;
};
