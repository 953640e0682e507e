#pragma once

#include "shell/tray/notifier_types.h"

#include <QDBusContext>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>

class QAction;
class QMenu;

// Hands a QMenu and its submenus to the tray's host over com.canonical.dbusmenu; the host draws
// the menu itself and sends back the user's clicks. Entries are numbered afresh each time the
// menu is rebuilt, and each rebuild is a new layout revision.
// A menu the host has open holds still: from the host's AboutToShow until its click or its
// "closed", a rebuild waits; only properties of the entries shown may change meanwhile.
class DBusMenuExporter : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)
public:
    // `rebuild` refills `menu` from what it shows.
    DBusMenuExporter(QMenu& menu, std::function<void()> rebuild, QObject* parent = nullptr);

    // What the menu shows may have changed: rebuilds it now, or once the host's menu closes.
    void refresh();
    bool isHeldOpen() const { return heldOpen; }
    uint revision() const { return layoutRevision; }

    uint version() const { return 3; }
    QString textDirection() const;
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public Q_SLOTS:
    Q_SCRIPTABLE uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                NotifierTypes::MenuLayout& layout);
    Q_SCRIPTABLE NotifierTypes::MenuItems GetGroupProperties(const QList<int>& ids,
                                                             const QStringList& propertyNames);
    Q_SCRIPTABLE QDBusVariant GetProperty(int id, const QString& name);
    Q_SCRIPTABLE void Event(int id, const QString& eventId, const QDBusVariant& data,
                            uint timestamp);
    Q_SCRIPTABLE QList<int> EventGroup(const NotifierTypes::MenuEvents& events);
    Q_SCRIPTABLE bool AboutToShow(int id);
    Q_SCRIPTABLE QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

Q_SIGNALS:
    Q_SCRIPTABLE void ItemsPropertiesUpdated(const NotifierTypes::MenuItems& updatedProps,
                                             const NotifierTypes::MenuItemKeysList& removedProps);
    Q_SCRIPTABLE void LayoutUpdated(uint revision, int parent);
    Q_SCRIPTABLE void ItemActivationRequested(int id, uint timestamp);

private:
    void relayout();
    void number(const QMenu& submenu);
    bool knows(int id) const { return id == 0 || entries.contains(id); }
    QVariantMap properties(int id, const QStringList& names = {}) const;
    NotifierTypes::MenuLayout layoutOf(int id, int depth, const QStringList& names) const;
    void released();

    QMenu& exported;
    std::function<void()> rebuild;
    uint layoutRevision = 0;
    int lastID = 0;
    QHash<int, QPointer<QAction>> entries;
    QHash<const QAction*, int> ids;
    QList<QMetaObject::Connection> watches;
    bool heldOpen = false;
    bool rebuildWaiting = false;
};
