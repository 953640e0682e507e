#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

class QIcon;

// The structured values that the tray item (org.kde.StatusNotifierItem) and its menu
// (com.canonical.dbusmenu) send and take over D-Bus.
namespace NotifierTypes {

// One size of a picture: ARGB32 pixels in network byte order.
struct Pixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;
};
using Pixmaps = QList<Pixmap>;

struct ToolTip {
    QString iconName;
    Pixmaps icon;
    QString title;
    QString body;
};

// A menu entry, its properties and its children (each a MenuLayout in a variant).
struct MenuLayout {
    int id = 0;
    QVariantMap properties;
    QVariantList children;
};

struct MenuItem {
    int id = 0;
    QVariantMap properties;
};
using MenuItems = QList<MenuItem>;

struct MenuItemKeys {
    int id = 0;
    QStringList names;
};
using MenuItemKeysList = QList<MenuItemKeys>;

struct MenuEvent {
    int id = 0;
    QString name;
    QDBusVariant data;
    uint timestamp = 0;
};
using MenuEvents = QList<MenuEvent>;

// `icon` drawn at each size a host asks for most.
Pixmaps pixmaps(const QIcon& icon);

// Makes the types above known to Qt D-Bus; needed before an object that uses them is exported.
void registerTypes();

} // namespace NotifierTypes

Q_DECLARE_METATYPE(NotifierTypes::Pixmap)
Q_DECLARE_METATYPE(NotifierTypes::ToolTip)
Q_DECLARE_METATYPE(NotifierTypes::MenuLayout)
Q_DECLARE_METATYPE(NotifierTypes::MenuItem)
Q_DECLARE_METATYPE(NotifierTypes::MenuItemKeys)
Q_DECLARE_METATYPE(NotifierTypes::MenuEvent)

QDBusArgument& operator<<(QDBusArgument& argument, const NotifierTypes::Pixmap& value);
const QDBusArgument& operator>>(const QDBusArgument& argument, NotifierTypes::Pixmap& value);
QDBusArgument& operator<<(QDBusArgument& argument, const NotifierTypes::ToolTip& value);
const QDBusArgument& operator>>(const QDBusArgument& argument, NotifierTypes::ToolTip& value);
QDBusArgument& operator<<(QDBusArgument& argument, const NotifierTypes::MenuLayout& value);
const QDBusArgument& operator>>(const QDBusArgument& argument, NotifierTypes::MenuLayout& value);
QDBusArgument& operator<<(QDBusArgument& argument, const NotifierTypes::MenuItem& value);
const QDBusArgument& operator>>(const QDBusArgument& argument, NotifierTypes::MenuItem& value);
QDBusArgument& operator<<(QDBusArgument& argument, const NotifierTypes::MenuItemKeys& value);
const QDBusArgument& operator>>(const QDBusArgument& argument, NotifierTypes::MenuItemKeys& value);
QDBusArgument& operator<<(QDBusArgument& argument, const NotifierTypes::MenuEvent& value);
const QDBusArgument& operator>>(const QDBusArgument& argument, NotifierTypes::MenuEvent& value);
