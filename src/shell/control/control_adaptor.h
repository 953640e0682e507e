#pragma once

#include <QDBusAbstractAdaptor>
#include <QList>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <optional>

class AppModel;
class ApplicationService;
struct ACState;
struct ModeCapabilities;
struct Pod;

// com.brindlework.Alvore1: the running app's units and controls for scripts, status bars and
// keyboard shortcuts. Every change goes through the model's own operations, as a click in the
// panel would; a request the app cannot carry out is answered with an error saying why. A change
// is answered once the service has carried it out (after the quiet period the model waits for
// steps), or with an error when it refused. A unit is named as people name it: its number, its
// room name (or the start of it) or its id.
class ControlAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.brindlework.Alvore1")
    Q_PROPERTY(QList<QVariantMap> Units READ units)
    Q_PROPERTY(QString State READ state)
public:
    static const QString interfaceName;
    struct PanelActions {
        std::function<void()> open;
        std::function<void()> close;
    };

    ControlAdaptor(ApplicationService* service, AppModel& model, PanelActions panel);

    // One record per unit, in list order; keys of values the unit does not report are left out.
    static QList<QVariantMap> units(const AppModel& model);
    // "demo", "loading", "ready", "offline" (the service cannot be reached) or "signedOut".
    static QString state(const AppModel& model);
    QList<QVariantMap> units() const { return units(appModel); }
    QString state() const { return state(appModel); }

public Q_SLOTS:
    void TogglePower(const QString& unit);
    void SetPower(const QString& unit, bool on);
    void SetMode(const QString& unit, const QString& mode);
    // `by` allowed target temperatures up (> 0) or down.
    void StepTarget(const QString& unit, int by);
    void SetTarget(const QString& unit, int degrees);
    void SetFan(const QString& unit, const QString& level);
    void SetSideways(const QString& unit, const QString& position);
    void SetLight(const QString& unit, const QString& light);
    void ApplyPreset(const QString& unit, const QString& name);
    void SetTimer(const QString& unit, uint minutes, bool turnOn);
    void CancelTimer(const QString& unit);
    void SetClimateReact(const QString& unit, bool on);
    // The unit's filter was cleaned: its reminder ends.
    void FilterCleaned(const QString& unit);
    void Refresh();
    void OpenPanel();
    void ClosePanel();

Q_SIGNALS:
    // The units or the state differ from what they were at the last Changed.
    void Changed();

private:
    // The unit named by `text` when it can be controlled now; otherwise answers the call with
    // the reason.
    std::optional<Pod> controllable(const QString& text);
    bool refuseWhenSignedOut();
    bool refuseInDemo(const QString& what);
    void fail(const char* error, const QString& message);
    // Sets a setting of the unit's current mode, named `what` ("display light") to the user,
    // when the mode offers `wanted`; otherwise says what it offers.
    void setOffered(const QString& unit, const QString& what, const QString& wanted,
                    std::optional<QStringList> ModeCapabilities::*offered,
                    std::optional<QString> ACState::*setting);
    // Holds back the answer to the call being served until the unit's change has settled.
    void answerWhenSettled(const QString& id);
    // Answers the call being served later, when the returned function is called.
    std::function<void(const std::optional<QString>&)> laterAnswer();
    void announceIfChanged();

    ApplicationService* application;
    AppModel& appModel;
    PanelActions panelActions;
    QList<QVariantMap> announcedUnits;
    QString announcedState;
};
