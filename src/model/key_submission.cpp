#include "model/key_submission.h"

#include <QTextBoundaryFinder>
#include <algorithm>

namespace {
// One user-perceived character of a key: a letter or digit of any script (with any combining
// marks written after it), "-" or "_".
bool isKeyCharacter(const QString& cluster) {
    if (cluster == QLatin1String("-") || cluster == QLatin1String("_"))
        return true;
    const QList<uint> codePoints = cluster.toUcs4();
    return !codePoints.isEmpty() && QChar::isLetterOrNumber(codePoints.first()) &&
           std::all_of(codePoints.cbegin() + 1, codePoints.cend(),
                       [](uint codePoint) { return QChar::isMark(codePoint); });
}
} // namespace

bool couldBeKey(const QString& key) {
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, key);
    qsizetype count = 0;
    qsizetype start = 0;
    for (qsizetype end = boundaries.toNextBoundary(); end != -1;
         end = boundaries.toNextBoundary()) {
        if (!isKeyCharacter(key.mid(start, end - start)))
            return false;
        start = end;
        ++count;
    }
    return count >= 10 && count <= 200;
}

QCoro::Task<KeySubmission> submitKey(AppModel& model, QString key) {
    KeySubmission outcome;
    try {
        co_await model.account().signIn(std::move(key));
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
