#include "shell/tray/dbus_menu_exporter.h"

#include <QAction>
#include <QBuffer>
#include <QGuiApplication>
#include <QMenu>

namespace {
// The host's labels mark the access key with '_' where Qt's mark it with '&'.
QString hostLabel(const QString& text) {
    QString label;
    label.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'_')
            label += QStringLiteral("__");
        else if (c == u'&' && i + 1 < text.size() && text.at(i + 1) == u'&')
            label += text.at(++i);
        else
            label += c == u'&' ? u'_' : c;
    }
    return label;
}

QByteArray png(const QIcon& icon) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    icon.pixmap(QSize(16, 16), 1.0).save(&buffer, "PNG");
    return bytes;
}
} // namespace

DBusMenuExporter::DBusMenuExporter(QMenu& menu, std::function<void()> rebuild, QObject* parent)
    : QObject(parent), exported(menu), rebuild(std::move(rebuild)) {
    NotifierTypes::registerTypes();
    relayout();
}

QString DBusMenuExporter::textDirection() const {
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl")
                                                                 : QStringLiteral("ltr");
}

void DBusMenuExporter::refresh() {
    if (heldOpen) {
        rebuildWaiting = true;
        return;
    }
    rebuildWaiting = false;
    rebuild();
    relayout();
}

void DBusMenuExporter::relayout() {
    for (const QMetaObject::Connection& watch : std::as_const(watches))
        disconnect(watch);
    watches.clear();
    entries.clear();
    ids.clear();
    number(exported);
    ++layoutRevision;
    Q_EMIT LayoutUpdated(layoutRevision, 0);
}

void DBusMenuExporter::number(const QMenu& submenu) {
    for (QAction* action : submenu.actions()) {
        const int id = ++lastID;
        entries.insert(id, action);
        ids.insert(action, id);
        // A change to an entry the host shows is sent as it is: the entry stays where it is.
        watches.append(connect(action, &QAction::changed, this, [this, id] {
            Q_EMIT ItemsPropertiesUpdated({{id, properties(id)}}, {});
        }));
        if (const QMenu* inner = action->menu())
            number(*inner);
    }
}

QVariantMap DBusMenuExporter::properties(int id, const QStringList& names) const {
    QVariantMap all;
    const QAction* action = entries.value(id);
    if (id == 0) {
        all.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
    } else if (!action) {
        return all;
    } else if (action->isSeparator()) {
        all.insert(QStringLiteral("type"), QStringLiteral("separator"));
    } else {
        all.insert(QStringLiteral("label"), hostLabel(action->text()));
        if (!action->icon().isNull())
            all.insert(QStringLiteral("icon-data"), png(action->icon()));
        if (action->menu())
            all.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
        if (action->isCheckable()) {
            all.insert(QStringLiteral("toggle-type"), QStringLiteral("checkmark"));
            all.insert(QStringLiteral("toggle-state"), action->isChecked() ? 1 : 0);
        }
    }
    if (action && !action->isEnabled())
        all.insert(QStringLiteral("enabled"), false);
    if (action && !action->isVisible())
        all.insert(QStringLiteral("visible"), false);
    if (names.isEmpty())
        return all;
    QVariantMap asked;
    for (const QString& name : names)
        if (all.contains(name))
            asked.insert(name, all.value(name));
    return asked;
}

NotifierTypes::MenuLayout DBusMenuExporter::layoutOf(int id, int depth,
                                                     const QStringList& names) const {
    NotifierTypes::MenuLayout layout{id, properties(id, names), {}};
    const QAction* action = entries.value(id);
    const QMenu* submenu = id == 0 ? &exported : action ? action->menu() : nullptr;
    if (!submenu || depth == 0)
        return layout;
    for (const QAction* child : submenu->actions())
        if (const auto found = ids.constFind(child); found != ids.cend())
            layout.children.append(QVariant::fromValue(layoutOf(*found, depth - 1, names)));
    return layout;
}

uint DBusMenuExporter::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                 NotifierTypes::MenuLayout& layout) {
    if (!knows(parentId)) {
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("No menu entry %1").arg(parentId));
        return 0;
    }
    layout = layoutOf(parentId, recursionDepth, propertyNames);
    return layoutRevision;
}

NotifierTypes::MenuItems DBusMenuExporter::GetGroupProperties(const QList<int>& ids,
                                                              const QStringList& propertyNames) {
    NotifierTypes::MenuItems items;
    for (const int id : ids)
        if (knows(id))
            items.append({id, properties(id, propertyNames)});
    return items;
}

QDBusVariant DBusMenuExporter::GetProperty(int id, const QString& name) {
    return QDBusVariant(properties(id).value(name));
}

void DBusMenuExporter::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
    if (eventId == QLatin1String("opened") && id == 0) {
        heldOpen = true;
    } else if (eventId == QLatin1String("closed") && id == 0) {
        released();
    } else if (eventId == QLatin1String("clicked")) {
        // The entry's work is done first: a rebuild that waited would delete it.
        QPointer<QAction> action = entries.value(id);
        heldOpen = false;
        QMetaObject::invokeMethod(
            this,
            [this, action] {
                if (action && action->isEnabled())
                    action->trigger();
                if (!heldOpen && rebuildWaiting)
                    refresh();
            },
            Qt::QueuedConnection);
    }
}

void DBusMenuExporter::released() {
    heldOpen = false;
    if (rebuildWaiting)
        refresh();
}

QList<int> DBusMenuExporter::EventGroup(const NotifierTypes::MenuEvents& events) {
    QList<int> unknown;
    for (const NotifierTypes::MenuEvent& event : events) {
        if (knows(event.id))
            Event(event.id, event.name, event.data, event.timestamp);
        else
            unknown.append(event.id);
    }
    return unknown;
}

bool DBusMenuExporter::AboutToShow(int id) {
    if (id != 0)
        return false;
    // The host is about to draw the menu: it shows what is so now, and holds still from here.
    heldOpen = false;
    refresh();
    heldOpen = true;
    return true;
}

QList<int> DBusMenuExporter::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    QList<int> updatesNeeded;
    for (const int id : ids) {
        if (!knows(id))
            idErrors.append(id);
        else if (AboutToShow(id))
            updatesNeeded.append(id);
    }
    return updatesNeeded;
}
