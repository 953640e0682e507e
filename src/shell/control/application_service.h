#pragma once

#include <QDBusContext>
#include <QObject>

// The running app as other programs on the session bus see it: one object at `objectPath`,
// under the name `busName` while this process holds it. Each D-Bus interface is an adaptor on
// this object, so further interfaces sit beside the freedesktop one at the same path.
// Calls reach the adaptors with their D-Bus context on this object.
class ApplicationService : public QObject, public QDBusContext {
    Q_OBJECT
public:
    static const QString busName;
    static const QString objectPath;

    explicit ApplicationService(QObject* parent = nullptr);

Q_SIGNALS:
    // Someone asked for the app: the panel opens, or the window comes forward.
    void activated();
};
