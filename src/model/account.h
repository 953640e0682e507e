#pragma once

#include "client/cancel_token.h"
#include "client/sensibo_api.h"

#include <QCoro/QCoroTask>
#include <QString>
#include <memory>
#include <optional>

class AppModel;

// Who the app works for: the user's key (read from and kept in the key store), sign-out, and
// the demo, and what the user should know of the key store. Signing in, out or into the demo
// ends the model's session; the model announces apiKeyChanged() and keyWarningChanged().
class Account {
public:
    explicit Account(AppModel& model) : model(model) {}

    // signIn throws SensiboAPI::Failure: badKey for a key that cannot be one (without asking
    // the service), or the service's verdict. A key the key store refuses is used all the same
    // until the app quits, with keyWarning() saying why.
    QCoro::Task<> signIn(QString key);
    void signOut();
    // The demo units, never the service, whatever key was in use before.
    void loadDemo();
    // Back from the demo to the stored key, or to asking for one.
    void exitDemo();

    // The key of the service client, absent while signed out and in the demo.
    std::optional<QString> apiKey() const;
    // What the user should know of the key store: why a key cannot be kept between runs
    // ("Your key can't be kept: …") once the store has failed to read or save it, or that the
    // key the user removed is still stored ("Couldn't remove the key from your keyring: …");
    // absent while the store works.
    const std::optional<QString>& keyWarning() const { return warning; }
    // Why the key in use lives only in memory, lost when the app quits ("the keyring stayed
    // locked"): the key store refused it. Absent while no key is in use or the store keeps it.
    std::optional<QString> unkeptKeyReason() const;

private:
    friend class AppModel;

    std::shared_ptr<const SensiboAPI> client(const QString& key) const;
    // Reads the stored key and starts polling with it, or asks for one.
    QCoro::Task<> useStoredKey(CancelToken session);
    // Removes the stored key at sign-out; a key left in the store is reported and logged.
    QCoro::Task<> forgetStoredKey();
    // keyWarning() from what the key store reported last.
    void updateKeyWarning();
    void setWarning(std::optional<QString> text);

    AppModel& model;
    std::optional<QString> warning;
    std::optional<QString> problem; // what the key store said at its last read or save
    // Set at sign-out until a key is saved: the store may still hold the key the user removed,
    // which this run never uses again.
    bool storedKeyRemoved = false;
};
