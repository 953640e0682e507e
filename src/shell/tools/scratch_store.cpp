#include "shell/tools/scratch_store.h"

ScratchStore::ScratchStore(const QSettings& original)
    : copy(std::make_unique<QSettings>(folder.filePath(QStringLiteral("scratch.conf")),
                                       QSettings::IniFormat)) {
    for (const QString& key : original.allKeys())
        copy->setValue(key, original.value(key));
}
