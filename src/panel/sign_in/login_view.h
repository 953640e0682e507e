#pragma once

#include <QCoro/QCoroTask>
#include <QString>
#include <QWidget>
#include <optional>

class AppModel;
class QLabel;
class QLineEdit;
class CompactLabel;
class ProminentButton;

// The sign-in view, shown while the model has no key: the API key field, "Connect", the reason
// the last key was refused, a link to the service's key page, the way into the demo, and where
// the key will be kept (or why it cannot be).
class LoginView : public QWidget {
    Q_OBJECT
public:
    explicit LoginView(AppModel& model, QWidget* parent = nullptr);

    bool isBusy() const { return busy; }
    // The last failure's message, shown under the button.
    std::optional<QString> error() const { return failure; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QCoro::Task<> submit();
    void setBusy(bool value);
    void setError(std::optional<QString> error);
    void updateButton();
    void updateKeyWarning();

    AppModel& model;
    QLineEdit* field;
    ProminentButton* connectButton;
    QWidget* errorRow;
    QLabel* errorLabel;
    QLabel* keyWarningLabel;
    CompactLabel* keptLabel;
    bool busy = false;
    std::optional<QString> failure;
    bool focusedOnce = false;
};
