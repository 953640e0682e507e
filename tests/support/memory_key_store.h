#pragma once

#include "client/key_store.h"

// A key store in memory for model tests. Like the real store, a refused save leaves the old key
// in place.
class MemoryKeyStore final : public KeyStore {
public:
    explicit MemoryKeyStore(std::optional<QString> key = std::nullopt) : savedKey(std::move(key)) {}

    QCoro::Task<std::optional<QString>> read() override {
        reported = failing;
        if (failing || (savedKey && savedKey->isEmpty()))
            co_return std::nullopt;
        // A copy: QCoro moves what co_return names, which would empty the stored key.
        std::optional<QString> key = savedKey;
        co_return key;
    }
    QCoro::Task<bool> save(QString key) override {
        if (!(reported = failing))
            savedKey = std::move(key);
        co_return !failing;
    }
    QCoro::Task<bool> remove() override {
        if (!(reported = failing))
            savedKey.reset();
        co_return !failing;
    }
    std::optional<QString> problem() const override { return reported; }

    // The key as stored, including an empty one (which read() reports as absent).
    std::optional<QString> storedKey() const { return savedKey; }
    // While set, reads find nothing and saves and removals fail, reporting `problem`.
    void setProblem(std::optional<QString> problem) { failing = std::move(problem); }

private:
    std::optional<QString> savedKey;
    std::optional<QString> failing;
    std::optional<QString> reported;
};
