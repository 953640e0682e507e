#include "settings/segmented_picker.h"

#include "panel/fonts.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>

SegmentedPicker::SegmentedPicker(const QList<std::pair<QString, QString>>& options, QWidget* parent)
    : QWidget(parent), group(new QButtonGroup(this)) {
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(0);
    for (const auto& [label, value] : options) {
        auto* segment = new QPushButton(label, this);
        segment->setCheckable(true);
        segment->setFont(Fonts::font(12, QFont::Medium));
        segment->setFixedWidth(44);
        group->addButton(segment, int(values.size()));
        values.append(value);
        line->addWidget(segment);
    }
    connect(group, &QButtonGroup::idClicked, this,
            [this](int index) { Q_EMIT chosen(values.at(index)); });
}

std::optional<QString> SegmentedPicker::value() const {
    const int index = group->checkedId();
    return index < 0 ? std::nullopt : std::optional(values.at(index));
}

void SegmentedPicker::setValue(const QString& value) {
    const qsizetype index = values.indexOf(value);
    if (index >= 0) {
        group->button(int(index))->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; uncheck through a non-exclusive moment.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}
