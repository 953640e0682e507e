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

// Whether `key` (trimmed) can be a key at all: 10 to 200 user-perceived characters, each a
// letter or digit of any script (with any combining marks after it), "-" or "_". Anything else
// is refused without asking the service.
bool couldBeKey(const QString& key);

// Signs in with `key` and tells what became of it.
QCoro::Task<KeySubmission> submitKey(AppModel& model, QString key);
