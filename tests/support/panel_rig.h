#pragma once

#include "support/model_rig.h"

#include <QAccessible>
#include <QImage>
#include <QMenu>
#include <QMetaEnum>
#include <QWidget>

// The children of `parent` a user sees; parts being replaced stay hidden until deleted.
template <class T> QList<T*> shownIn(const QWidget& parent) {
    QList<T*> found;
    for (T* child : parent.findChildren<T*>())
        if (child->isVisibleTo(&parent))
            found.append(child);
    return found;
}

// What a screen reader reads of `object`: its role, name and the states it tells, as
// "CheckBox 'Power, Bedroom' checked".
inline QString spoken(QAccessibleInterface* read) {
    if (!read)
        return QStringLiteral("nothing");
    QString said = QStringLiteral("%1 '%2'").arg(
        QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(read->role())),
        read->text(QAccessible::Name));
    const QAccessible::State state = read->state();
    const QList<std::pair<bool, const char*>> told{{bool(state.checked), " checked"},
                                                   {state.expandable && !state.expanded, " folded"},
                                                   {bool(state.expanded), " expanded"},
                                                   {bool(state.selected), " selected"}};
    for (const auto& [shown, word] : told)
        if (shown)
            said += QLatin1String(word);
    return said;
}
inline QString spoken(QObject* object) {
    return spoken(QAccessible::queryAccessibleInterface(object));
}

// What a screen reader reads of every control a user sees in `parent`.
inline QStringList spokenIn(const QWidget& parent) {
    QStringList all;
    for (QWidget* child : shownIn<QWidget>(parent))
        all << spoken(child);
    return all;
}

// The shown child of `parent` a screen reader knows by `name`.
template <class T = QWidget> T* named(const QWidget& parent, const QString& name) {
    for (T* child : shownIn<T>(parent))
        if (QAccessible::queryAccessibleInterface(child)->text(QAccessible::Name) == name)
            return child;
    return nullptr;
}

// A screen reader's press on `object`.
inline void pressAloud(QObject* object) {
    QAccessible::queryAccessibleInterface(object)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
}

// A menu's entries, "—" for a separator.
inline QStringList menuTitles(const QMenu& menu) {
    QStringList titles;
    for (const QAction* action : menu.actions())
        titles.append(action->isSeparator() ? QStringLiteral("—") : action->text());
    return titles;
}

inline QAction* menuEntry(const QMenu& menu, const QString& title) {
    for (QAction* action : menu.actions())
        if (action->text() == title)
            return action;
    qWarning("no menu entry %s", qPrintable(title));
    return nullptr;
}

// The service's verdict on a key: 200 accepts it, 401 and 403 refuse it.
inline LoopbackService::Response
keyCheck(int status, std::chrono::milliseconds delay = std::chrono::milliseconds(0)) {
    auto answer = LoopbackService::Response::json(
        status == 200 ? envelope(QJsonArray{}) : QByteArray("{}"), status);
    answer.delay = delay;
    return answer;
}

// A unit the service last heard from four minutes ago.
inline QJsonObject offlineUnit(const QString& id, const QString& room) {
    QJsonObject unit = unitJson(id, room, false);
    unit["connectionStatus"] = QJsonObject{
        {"isAlive", false}, {"lastSeen", QJsonObject{{"time", "x"}, {"secondsAgo", 240}}}};
    return unit;
}

// The widget drawn over black, as the panel's dark background shows it.
inline QImage renderOnBlack(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    widget.render(&image, {}, {}, QWidget::RenderFlags());
    return image;
}
