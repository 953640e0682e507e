#pragma once

#include "settings/tab_page.h"

#include <QCoro/QCoroTask>
#include <optional>

class AppModel;
class Card;
class ProminentButton;
class QLabel;
class QLineEdit;
class QPushButton;
class Row;

// The API key (shown by its last characters, replaced after the service accepts the new one,
// or removed), the units the key gives access to, and the way to the log file.
class AccountTab : public TabPage {
    Q_OBJECT
public:
    explicit AccountTab(AppModel& model, QWidget* parent = nullptr);

    bool isReplacing() const { return replacing; }
    bool isBusy() const { return busy; }
    std::optional<QString> error() const { return failure; }

private:
    void showKey();
    void showUnits();
    void setReplacing(bool value);
    void setBusy(bool value);
    void setError(std::optional<QString> error);
    QCoro::Task<> save();
    void openLog();

    AppModel& model;
    Row* keyRow;
    QPushButton* keyButton;
    QWidget* editor;
    QLineEdit* field;
    ProminentButton* saveButton;
    QLabel* errorLabel;
    Row* disconnectRow;
    Card* units;
    QLabel* logProblem;
    bool replacing = false;
    bool busy = false;
    std::optional<QString> failure;
};
