#pragma once

#include <QCoro/QCoroTask>
#include <QString>
#include <optional>

// Where the API key is kept between runs. The running app uses the system's secret store
// (Keychain); model tests use an in-memory store.
class KeyStore {
public:
    virtual ~KeyStore() = default;

    // The stored key; absent when there is none, it cannot be read, or it is empty.
    virtual QCoro::Task<std::optional<QString>> read() = 0;
    // Replaces the stored key; true exactly when the new key was stored. A save that fails
    // leaves the key stored before in place.
    virtual QCoro::Task<bool> save(QString key) = 0;
    // Forgets the key; true when no key is left stored (forgetting an absent key is not an error).
    virtual QCoro::Task<bool> remove() = 0;
    // Why the last read, save or removal could not reach the store, in words that finish the
    // sentence "Your key can't be kept: …" (such as "no keyring is available on this desktop");
    // absent after one that could. Finding no key is not a problem.
    virtual std::optional<QString> problem() const = 0;
};
