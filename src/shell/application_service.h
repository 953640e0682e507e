#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusContext>
#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

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

// org.freedesktop.Application, as desktops and `gapplication launch` call it. The app opens no
// documents and has no actions: Open shows the app like Activate, ActivateAction refuses.
class FreedesktopApplicationAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit FreedesktopApplicationAdaptor(ApplicationService* service);

public Q_SLOTS:
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& name, const QVariantList& parameter,
                        const QVariantMap& platformData);

private:
    ApplicationService* application;
};
