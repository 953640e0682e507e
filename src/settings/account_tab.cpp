#include "settings/account_tab.h"

#include "client/app_log.h"
#include "model/app_model.h"
#include "model/key_submission.h"
#include "panel/controls/link_button.h"
#include "panel/controls/prominent_button.h"
#include "panel/style/fonts.h"
#include "settings/card.h"
#include "settings/row.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QColor errorColor() {
    return QColor(255, 69, 58);
}

QColor onlineColor() {
    return QColor(48, 209, 88);
}

QColor offlineColor() {
    return QColor(255, 159, 10);
}

QLabel* colouredLabel(const QString& text, const QColor& color, qreal points) {
    auto* label = new QLabel(text);
    label->setFont(Fonts::font(points));
    label->setWordWrap(true);
    QPalette colors = label->palette();
    colors.setColor(QPalette::WindowText, color);
    label->setPalette(colors);
    return label;
}

// The service's unit as the Units card lists it: the product model, then its modes.
QString unitDetail(const Pod& pod) {
    QStringList modes;
    for (const QString& mode : pod.modes())
        modes.append(ACMode::title(mode));
    return pod.model() + QStringLiteral(" · ") + modes.join(QStringLiteral(", "));
}

} // namespace

AccountTab::AccountTab(AppModel& model, QWidget* parent)
    : TabPage(parent), model(model), keyButton(new QPushButton), editor(new QWidget),
      field(new QLineEdit(editor)),
      saveButton(new ProminentButton(QStringLiteral("Check and Save"),
                                     ProminentButton::Size::regular, editor)),
      errorLabel(colouredLabel({}, errorColor(), 11.5)), units(new Card),
      logProblem(colouredLabel({}, errorColor(), 11.5)) {
    auto* service = new Card;
    keyRow = new Row(QStringLiteral("API key"), {}, keyButton);
    service->addRow(keyRow);

    auto* editorColumn = new QVBoxLayout(editor);
    editorColumn->setContentsMargins(16, 10, 16, 12);
    editorColumn->setSpacing(6);
    auto* editorLine = new QHBoxLayout;
    editorLine->setSpacing(10);
    field->setEchoMode(QLineEdit::Password);
    field->setPlaceholderText(QStringLiteral("Paste a new API key"));
    field->setAccessibleName(QStringLiteral("API key"));
    field->setFont(Fonts::font(13));
    editorLine->addWidget(field, 1);
    editorLine->addWidget(saveButton);
    editorColumn->addLayout(editorLine);
    errorLabel->setParent(editor);
    editorColumn->addWidget(errorLabel);
    service->addRow(editor);

    auto* disconnect = new QPushButton(QStringLiteral("Disconnect"));
    QPalette destructive = disconnect->palette();
    destructive.setColor(QPalette::ButtonText, errorColor());
    disconnect->setPalette(destructive);
    disconnectRow = new Row(
        {}, QStringLiteral("Removes the key from your keyring. Your presets stay."), disconnect);
    service->addRow(disconnectRow);
    addSection(QStringLiteral("Sensibo"), service);

    addSection(QStringLiteral("Units"), units);

    auto* showLog = new LinkButton(QStringLiteral("Show Log"), 12, this);
    addWidget(showLog, Qt::AlignLeft);
    logProblem->setParent(this);
    addWidget(logProblem);
    logProblem->hide();

    connect(keyButton, &QPushButton::clicked, this, [this] { setReplacing(!replacing); });
    connect(saveButton, &QAbstractButton::clicked, this, [this] { save(); });
    connect(field, &QLineEdit::returnPressed, this, [this] { save(); });
    connect(disconnect, &QPushButton::clicked, this, [this] { this->model.account().signOut(); });
    connect(showLog, &QAbstractButton::clicked, this, &AccountTab::openLog);
    connect(&model, &AppModel::apiKeyChanged, this, &AccountTab::showKey);
    connect(&model, &AppModel::keyWarningChanged, this, &AccountTab::showKey);
    connect(&model, &AppModel::podsChanged, this, &AccountTab::showUnits);

    setReplacing(false);
    setError(std::nullopt);
    showUnits();
}

void AccountTab::showKey() {
    const std::optional<QString> key = model.account().apiKey();
    const std::optional<QString> unkept = model.account().unkeptKeyReason();
    if (!key)
        keyRow->setDetail(
            QStringLiteral("Not connected.") +
            (model.account().keyWarning() ? u' ' + *model.account().keyWarning() : QString()));
    else if (unkept)
        keyRow->setDetail(QStringLiteral("Used until Alvore quits: ") + *unkept);
    else
        keyRow->setDetail(QStringLiteral("••••") + key->right(4) +
                          QStringLiteral(", kept in your keyring."));
    keyButton->setText(replacing ? QStringLiteral("Cancel")
                       : key     ? QStringLiteral("Replace…")
                                 : QStringLiteral("Add Key…"));
    disconnectRow->setVisible(key.has_value());
}

void AccountTab::showUnits() {
    units->clear();
    if (model.pods().isEmpty()) {
        auto* none = new Row(QStringLiteral("No units yet"), {});
        units->addRow(none);
    }
    for (const Pod& pod : model.pods()) {
        const bool offline = pod.isKnownOffline();
        QLabel* state = offline ? colouredLabel(QStringLiteral("Offline"), offlineColor(), 12)
                                : colouredLabel(QStringLiteral("Online"), onlineColor(), 12);
        units->addRow(new Row(pod.displayName(), unitDetail(pod), state));
    }
}

void AccountTab::setReplacing(bool value) {
    replacing = value;
    editor->setVisible(replacing);
    if (replacing)
        field->setFocus(Qt::OtherFocusReason);
    else
        setError(std::nullopt);
    showKey();
}

void AccountTab::setBusy(bool value) {
    busy = value;
    saveButton->setBusy(busy);
    saveButton->setEnabled(!busy);
    field->setEnabled(!busy);
}

void AccountTab::setError(std::optional<QString> error) {
    failure = std::move(error);
    errorLabel->setText(failure.value_or(QString()));
    errorLabel->setVisible(failure.has_value());
}

QCoro::Task<> AccountTab::save() {
    if (busy)
        co_return;
    setBusy(true);
    setError(std::nullopt);
    const QPointer<AccountTab> self(this);
    const KeySubmission outcome = co_await submitKey(model, field->text());
    if (!self)
        co_return;
    setBusy(false);
    if (outcome.accepted) {
        field->clear();
        setReplacing(false);
    } else {
        setError(outcome.refused);
    }
}

void AccountTab::openLog() {
    const QString path = AppLog::path();
    const bool opened = QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    logProblem->setText(opened ? QString()
                               : QStringLiteral("No application could open the log file, ") + path +
                                     QStringLiteral("."));
    logProblem->setVisible(!opened);
}
