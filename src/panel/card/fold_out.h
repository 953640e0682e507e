#pragma once

#include "panel/animation/spring.h"

#include <QWidget>

class AdvancedSection;
class AppModel;
class PieceEffect;

// A unit card's fold-out: the advanced section, always laid out at its natural height and shown
// through a clip that opens from 0 to that height. Folded it is transparent, 12 points higher
// and lets the pointer through.
class FoldOut : public QWidget {
    Q_OBJECT
public:
    FoldOut(AppModel& model, const QString& podID, QWidget* parent = nullptr);

    AdvancedSection& section() { return *advanced; }

    // Opens or closes it with a spring; at once without `animate`.
    void setExpanded(bool value, bool animate);
    // 0 folded … 1 open; a spring may pass 1 a little.
    qreal openness() const { return fold.value(); }
    // Shut and at rest: nothing of it shows.
    bool isShut() const { return !expanded && !fold.isAnimating() && fold.value() <= 0; }
    // The section's measured natural height.
    int naturalHeight() const { return natural; }
    // The height the card gives it now.
    int shownHeight() const;

Q_SIGNALS:
    // The shown height changed: the card lays itself out again.
    void heightChanged();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void measure();
    void apply();

    AdvancedSection* advanced;
    PieceEffect* effect;
    Spring fold{0.45, 0.88};
    bool expanded = false;
    int natural = 0;
};
