#include "support/memory_key_store.h"

MemoryKeyStore::MemoryKeyStore(std::optional<QString> key) : m_key(std::move(key)) {
}

QCoro::Task<std::optional<QString>> MemoryKeyStore::read() {
    if (m_key && m_key->isEmpty())
        co_return std::nullopt;
    // A copy: QCoro moves what co_return names, which would empty the stored key.
    std::optional<QString> key = m_key;
    co_return key;
}

QCoro::Task<bool> MemoryKeyStore::save(QString key) {
    m_key.reset();
    if (m_refusesSaves)
        co_return false;
    m_key = std::move(key);
    co_return true;
}

QCoro::Task<> MemoryKeyStore::remove() {
    m_key.reset();
    co_return;
}
