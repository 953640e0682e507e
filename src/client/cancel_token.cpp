#include "client/cancel_token.h"

#include <QTimer>

class CancelToken::State : public QObject {
    Q_OBJECT
public:
    bool cancelled = false;
Q_SIGNALS:
    void fired();
};

CancelToken::CancelToken() : state(std::make_shared<State>()) {
}

void CancelToken::cancel() const {
    if (state->cancelled)
        return;
    // A woken task may drop every token, this one included, before the emission returns.
    const std::shared_ptr<State> keep = state;
    keep->cancelled = true;
    Q_EMIT keep->fired();
}

bool CancelToken::isCancelled() const {
    return state->cancelled;
}

QMetaObject::Connection CancelToken::onCancel(QObject* context,
                                              std::function<void()> action) const {
    if (state->cancelled) {
        QTimer::singleShot(0, context, std::move(action));
        return {};
    }
    return QObject::connect(state.get(), &State::fired, context, std::move(action),
                            Qt::SingleShotConnection);
}

#include "cancel_token.moc"
