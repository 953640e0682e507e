#include "model/stored_record.h"

#include "client/app_log.h"

void keepUnreadableAside(QSettings& store, const QString& key) {
    const QString aside = key + QStringLiteral(".unreadable");
    store.setValue(aside, store.value(key));
    AppLog::write(QStringLiteral("the stored %1 couldn't be read; kept under %2, starting without")
                      .arg(key, aside));
}

void saveStoredRecord(QSettings& store, const QString& key, const QByteArray& json) {
    static bool reported = false;
    store.setValue(key, json);
    store.sync();
    const bool failed = store.status() != QSettings::NoError;
    if (failed && !reported)
        AppLog::write(QStringLiteral("couldn't write the settings file %1").arg(store.fileName()));
    reported = failed;
}
