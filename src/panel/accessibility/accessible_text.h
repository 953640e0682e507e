#pragma once

#include <QAccessibleWidget>

// A painted line of text (LineText, CompactLabel, TightFigure) as a label. Its name is the
// accessible name, else the text it draws with the units written out, so that a reading is
// spoken "24.6 degrees"; its description is the tooltip, which says what the reading is.
class AccessibleText : public QAccessibleWidget {
public:
    explicit AccessibleText(QWidget* widget);

    QString text(QAccessible::Text kind) const override;

private:
    QString drawn() const;
};
