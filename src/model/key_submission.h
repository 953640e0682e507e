#pragma once

#include "model/app_model.h"

#include <QCoro/QCoroTask>
#include <QString>
#include <optional>

// What became of a key the user submitted, in the sign-in view or the Account tab.
struct KeySubmission {
    bool accepted = false;
    // Why the key was not taken, for the user; absent when it was, or when a newer sign-in
    // superseded this one (then there is nothing to report).
    std::optional<QString> refused;
};

// Signs in with `key` and tells what became of it.
QCoro::Task<KeySubmission> submitKey(AppModel& model, QString key);
