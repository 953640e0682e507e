#pragma once

#include <QWidget>

// A key combination drawn as a key cap, followed by what it does.
class ShortcutRow : public QWidget {
    Q_OBJECT
public:
    ShortcutRow(const QString& keys, const QString& text, QWidget* parent = nullptr);
};
