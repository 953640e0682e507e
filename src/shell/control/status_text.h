#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariantMap>

// The texts `alvore status` and `alvore watch` print from the running app's unit records (see
// ControlAdaptor::units) and its state.
namespace StatusText {

// "2 Office  on  Cool 23°C  fan low  room 26.1°C 49%  timer 0:42 then off  Climate React on
// clean the filter"; an offline unit says "offline" after its name.
QString line(const QVariantMap& unit, const QDateTime& now);
// Every unit's line, or what keeps the app from showing units.
QStringList lines(const QList<QVariantMap>& units, const QString& state, const QDateTime& now);
// {"state": ..., "units": [...]} on one line.
QByteArray json(const QList<QVariantMap>& units, const QString& state);
// The line for a status bar, from the unit the tray reports: its line in plain text, or a
// waybar custom-module object (text, tooltip, class on/off/offline). `running` false: the app
// is not running.
QString watchLine(const QList<QVariantMap>& units, const QString& state, bool running, bool waybar,
                  const QDateTime& now);

} // namespace StatusText
