#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <optional>

// Records kept as the bytes of one JSON value under a key of the user defaults store.

// The record under `key`, read with `decode`; absent when there is none. A stored value that
// cannot be read is first copied to "<key>.unreadable", so that nothing written later loses it,
// and the log says so.
template <class T>
std::optional<T> loadStoredRecord(QSettings& store, const QString& key,
                                  std::optional<T> (*decode)(const QByteArray&));

// Stores `json` under `key` and writes the store out; a store that cannot be written is
// reported in the log, once until writing works again.
void saveStoredRecord(QSettings& store, const QString& key, const QByteArray& json);

// Copies the value under `key` to "<key>.unreadable" and logs it.
void keepUnreadableAside(QSettings& store, const QString& key);

template <class T>
std::optional<T> loadStoredRecord(QSettings& store, const QString& key,
                                  std::optional<T> (*decode)(const QByteArray&)) {
    const QVariant stored = store.value(key);
    if (!stored.isValid())
        return std::nullopt;
    if (stored.typeId() == QMetaType::QByteArray) {
        if (std::optional<T> record = decode(stored.toByteArray()))
            return record;
    }
    keepUnreadableAside(store, key);
    return std::nullopt;
}
