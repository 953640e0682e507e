#include "settings/segmented_picker.h"

#include "panel/style/fonts.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>

namespace {

// Joined segments: only the outer corners are round; the chosen one is filled with the accent.
QString segmentStyle(bool first, bool last) {
    return QStringLiteral("QPushButton { border: 1px solid rgba(255, 255, 255, 36);"
                          " background: rgba(255, 255, 255, 15); padding: 3px 0;"
                          " border-top-left-radius: %1px; border-bottom-left-radius: %1px;"
                          " border-top-right-radius: %2px; border-bottom-right-radius: %2px; }"
                          " QPushButton:checked { background: rgb(51, 143, 255);"
                          " border-color: rgb(51, 143, 255); }")
        .arg(first ? 6 : 0)
        .arg(last ? 6 : 0);
}

} // namespace

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
        segment->setStyleSheet(segmentStyle(values.isEmpty(), values.size() == options.size() - 1));
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
