#include "settings/presets_tab.h"

#include "model/app_model.h"
#include "settings/card.h"
#include "settings/preset_row.h"
#include "settings/section_title.h"

#include <QLabel>
#include <QVBoxLayout>

PresetsTab::PresetsTab(AppModel& model, QWidget* parent) : TabPage(parent), model(model) {
    addWidget(note(QStringLiteral(
        "Save presets from a unit's card with +. Rename, reorder or delete them here.")));
    connect(&model, &AppModel::podsChanged, this, &PresetsTab::refresh);
    connect(&model, &AppModel::presetsChanged, this, &PresetsTab::refresh);
    build();
}

QList<PresetRow*> PresetsTab::rows() const {
    return sections ? sections->findChildren<PresetRow*>() : QList<PresetRow*>();
}

PresetsTab::Outline PresetsTab::outline() const {
    Outline listed;
    for (const Pod& pod : model.pods()) {
        QList<QUuid> ids;
        for (const Preset& preset : model.presets().of(pod.id))
            ids.append(preset.id);
        listed.append({pod.displayName(), ids});
    }
    return listed;
}

void PresetsTab::refresh() {
    if (outline() != shown) {
        build();
        return;
    }
    for (PresetRow* row : rows())
        for (const Preset& preset : model.presets().all())
            if (preset.id == row->presetID())
                row->showPreset(preset);
}

void PresetsTab::build() {
    // The old rows go once the event loop is back: a row's own button may have called for this.
    if (sections) {
        sections->hide();
        sections->deleteLater();
    }
    sections = new QWidget(this);
    auto* layout = new QVBoxLayout(sections);
    layout->setContentsMargins(0, 6, 0, 0);
    layout->setSpacing(8);
    column()->addWidget(sections);
    sections->show();
    shown = outline();

    if (model.pods().isEmpty())
        layout->addWidget(note(QStringLiteral("No units yet")));
    for (const Pod& pod : model.pods()) {
        if (layout->count() > 0)
            layout->addSpacing(10);
        layout->addWidget(new SectionTitle(pod.displayName(), sections));
        auto* card = new Card(sections);
        const QList<Preset> presets = model.presets().of(pod.id);
        if (presets.isEmpty()) {
            QLabel* none = note(QStringLiteral("No presets"));
            none->setContentsMargins(16, 12, 16, 12);
            card->addRow(none);
        }
        for (qsizetype index = 0; index < presets.size(); ++index)
            card->addRow(
                new PresetRow(model, presets.at(index), index == 0, index == presets.size() - 1));
        layout->addWidget(card);
    }
}
