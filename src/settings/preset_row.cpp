#include "settings/preset_row.h"

#include "model/app_model.h"
#include "panel/controls/round_button.h"
#include "panel/style/fonts.h"
#include "panel/style/icons.h"
#include "panel/style/palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
constexpr int buttonSize = 24;
constexpr qreal symbolSide = 16;
} // namespace

PresetRow::PresetRow(AppModel& model, const Preset& preset, bool first, bool last, QWidget* parent)
    : QWidget(parent), model(model), id(preset.id), symbol(new QLabel(this)),
      name(new QLineEdit(preset.name, this)), description(new QLabel(this)),
      up(new RoundButton(QStringLiteral("chevron.up"), buttonSize, this)),
      down(new RoundButton(QStringLiteral("chevron.down"), buttonSize, this)),
      remove(new RoundButton(QStringLiteral("trash"), buttonSize, this)) {
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(16, 8, 12, 8);
    line->setSpacing(10);
    symbol->setFixedSize(int(symbolSide), int(symbolSide));
    line->addWidget(symbol, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(0);
    name->setFrame(false);
    name->setPlaceholderText(QStringLiteral("Name"));
    name->setAccessibleName(QStringLiteral("Name"));
    name->setFont(Fonts::font(13));
    QPalette fieldColors = name->palette();
    fieldColors.setColor(QPalette::Base, Qt::transparent);
    name->setPalette(fieldColors);
    texts->addWidget(name);
    description->setFont(Fonts::font(11.5));
    QPalette colors = description->palette();
    colors.setColor(QPalette::WindowText, Palette::secondaryText());
    description->setPalette(colors);
    description->setContentsMargins(2, 0, 0, 0);
    texts->addWidget(description);
    line->addLayout(texts, 1);

    up->setHelp(QStringLiteral("Move up"));
    down->setHelp(QStringLiteral("Move down"));
    remove->setHelp(QStringLiteral("Delete"));
    for (RoundButton* button : {up, down, remove})
        line->addWidget(button, 0, Qt::AlignVCenter);

    // Every keystroke renames; the model keeps the first 40 characters.
    connect(name, &QLineEdit::textEdited, this,
            [this](const QString& text) { this->model.presets().rename(id, text); });
    connect(name, &QLineEdit::returnPressed, this,
            [this] { this->model.presets().rename(id, name->text()); });
    up->setAction([this] { this->model.presets().move(id, -1); });
    down->setAction([this] { this->model.presets().move(id, +1); });
    remove->setAction([this] { this->model.presets().remove(id); });

    up->setEnabled(!first);
    down->setEnabled(!last);
    showPreset(preset);
}

void PresetRow::showPreset(const Preset& preset) {
    symbol->setPixmap(Icons::pixmap(ACMode::symbol(preset.state.mode.value_or(QString())),
                                    symbolSide, Palette::secondaryText(), devicePixelRatioF()));
    if (!name->hasFocus() && name->text() != preset.name)
        name->setText(preset.name);
    description->setText(Preset::describe(preset.state));
}
