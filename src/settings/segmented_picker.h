#pragma once

#include <QList>
#include <QString>
#include <QWidget>
#include <optional>
#include <utility>

class QButtonGroup;

// A row of joined segments, one of them chosen: a picker for a handful of values.
class SegmentedPicker : public QWidget {
    Q_OBJECT
public:
    // Each option is its label and its value.
    explicit SegmentedPicker(const QList<std::pair<QString, QString>>& options,
                             QWidget* parent = nullptr);

    std::optional<QString> value() const;
    // Marks the segment of `value`; no segment for a value none has.
    void setValue(const QString& value);

Q_SIGNALS:
    // The user chose the segment of `value`.
    void chosen(const QString& value);

private:
    QList<QString> values;
    QButtonGroup* group;
};
