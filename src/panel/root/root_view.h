#pragma once

#include <QPointer>
#include <QWidget>

class AppModel;
class Banner;
class DropdownLayer;
class QVBoxLayout;

// The whole content of the panel, 380 points wide, as high as its content: the header, then
// the sign-in view, a placeholder or the unit list, with the dropdown layer and the banner
// over them. Panel coordinates (where dropdown triggers measure themselves and the dropdown
// layer places its card) are this widget's, which fills its window.
class RootView : public QWidget {
    Q_OBJECT
public:
    enum class Content { signIn, loading, offline, noUnits, units };

    explicit RootView(AppModel& model, QWidget* parent = nullptr);

    // What the panel shows for the model's status and units.
    Content content() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuild();
    QWidget* makeContent(Content content);
    void replace(QPointer<QWidget>& part, QWidget* with, int at);

    AppModel& model;
    QVBoxLayout* stack;
    QPointer<QWidget> header;
    QPointer<QWidget> body;
    Content shown = Content::loading;
    QString shownMessage; // the offline placeholder's detail
    DropdownLayer* layer;
    Banner* banner;
};
