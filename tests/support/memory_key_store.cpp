#include "support/memory_key_store.h"

MemoryKeyStore::MemoryKeyStore(std::optional<QString> key) : savedKey(std::move(key)) {
}

QCoro::Task<std::optional<QString>> MemoryKeyStore::read() {
    reported = failing;
    if (failing || (savedKey && savedKey->isEmpty()))
        co_return std::nullopt;
    // A copy: QCoro moves what co_return names, which would empty the stored key.
    std::optional<QString> key = savedKey;
    co_return key;
}

QCoro::Task<bool> MemoryKeyStore::save(QString key) {
    reported = failing;
    if (failing)
        co_return false;
    savedKey = std::move(key);
    co_return true;
}

QCoro::Task<bool> MemoryKeyStore::remove() {
    reported = failing;
    if (failing)
        co_return false;
    savedKey.reset();
    co_return true;
}
