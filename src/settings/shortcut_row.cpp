#include "settings/shortcut_row.h"

#include "panel/style/fonts.h"
#include "panel/style/palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace {

class KeyCap : public QLabel {
public:
    KeyCap(const QString& keys, QWidget* parent) : QLabel(keys, parent) {
        setFont(Fonts::font(12, QFont::Medium));
        setAlignment(Qt::AlignCenter);
        setContentsMargins(8, 3, 8, 3);
        setMinimumWidth(52);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Palette::white(0.16), 1));
        painter.setBrush(Palette::white(0.06));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
        painter.end();
        QLabel::paintEvent(event);
    }
};

} // namespace

ShortcutRow::ShortcutRow(const QString& keys, const QString& text, QWidget* parent)
    : QWidget(parent) {
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(16, 10, 16, 10);
    line->setSpacing(12);
    line->addWidget(new KeyCap(keys, this));
    auto* description = new QLabel(text, this);
    description->setFont(Fonts::font(13));
    line->addWidget(description, 1);
}
