#pragma once

#include "client/key_store.h"

// A key store in memory for model tests. Like the real store, a save first forgets the old key,
// so a refused save leaves no key behind.
class MemoryKeyStore final : public KeyStore {
public:
    explicit MemoryKeyStore(std::optional<QString> key = std::nullopt);

    QCoro::Task<std::optional<QString>> read() override;
    QCoro::Task<bool> save(QString key) override;
    QCoro::Task<> remove() override;

    // The key as stored, including an empty one (which read() reports as absent).
    std::optional<QString> storedKey() const { return savedKey; }
    // While set, every save fails.
    void setRefusesSaves(bool refuses) { refusing = refuses; }

private:
    std::optional<QString> savedKey;
    bool refusing = false;
};
