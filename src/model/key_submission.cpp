#include "model/key_submission.h"

QCoro::Task<KeySubmission> submitKey(AppModel& model, QString key) {
    KeySubmission outcome;
    try {
        co_await model.signIn(std::move(key));
        outcome.accepted = true;
    } catch (const Cancelled&) {
        // Superseded: the key in use stays and there is nothing to report.
    } catch (const SensiboAPI::Failure& refusal) {
        outcome.refused =
            refusal.kind() == SensiboAPI::Failure::Kind::badKey
                ? QStringLiteral("That key wasn't accepted. Check it's copied in full.")
                : refusal.errorDescription();
    } catch (const std::exception& other) {
        outcome.refused = QString::fromUtf8(other.what());
    }
    co_return outcome;
}
