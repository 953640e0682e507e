#include "panel/sign_in/login_view.h"

#include "client/sensibo_api.h"
#include "model/app_model.h"
#include "model/key_submission.h"
#include "panel/controls/compact_label.h"
#include "panel/controls/link_button.h"
#include "panel/controls/prominent_button.h"
#include "panel/style/fonts.h"
#include "panel/style/icons.h"
#include "panel/style/palette.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

namespace {

constexpr int columnWidth = 290;

QColor errorColor() {
    return QColor(255, 69, 58);
}

// The service's web site, where keys are made.
QUrl webSite() {
    QUrl url = SensiboAPI::defaultBase();
    url.setPath({});
    url.setQuery(QString());
    return url;
}

QLabel* textLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    QPalette colors = label->palette();
    colors.setColor(QPalette::WindowText, color);
    label->setPalette(colors);
    return label;
}

// The application's icon: the air conditioner glyph on a rounded square of the accent colour.
class AppIcon : public QWidget {
public:
    explicit AppIcon(QWidget* parent) : QWidget(parent) { setFixedSize(56, 56); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF square(rect());
        QLinearGradient fill(square.topLeft(), square.bottomLeft());
        fill.setColorAt(0, Palette::cool().lighter(115));
        fill.setColorAt(1, Palette::cool().darker(125));
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(square, 13, 13);
        Icons::paint(painter, square.adjusted(13, 13, -13, -13),
                     QStringLiteral("air.conditioner.horizontal"), Qt::white, QFont::DemiBold);
    }
};

// The row under the button that says why a key was not taken; hidden until then.
QLabel* fillErrorRow(QWidget& row) {
    auto* layout = new QHBoxLayout(&row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);
    auto* icon = new QLabel(&row);
    icon->setPixmap(Icons::pixmap(QStringLiteral("exclamationmark.circle.fill"),
                                  Icons::sideForText(12), errorColor(), row.devicePixelRatioF()));
    layout->addWidget(icon, 0, Qt::AlignTop);
    QLabel* label = textLabel({}, Fonts::font(12), errorColor(), &row);
    label->setWordWrap(true);
    layout->addWidget(label, 1);
    row.setFixedWidth(columnWidth);
    row.hide();
    return label;
}

} // namespace

LoginView::LoginView(AppModel& model, QWidget* parent) : QWidget(parent), model(model) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 10, 24, 22);
    column->setSpacing(16);

    column->addWidget(new AppIcon(this), 0, Qt::AlignHCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    texts->addWidget(textLabel(QStringLiteral("Connect to Sensibo"),
                               Fonts::font(15, QFont::DemiBold), Palette::primaryText(), this),
                     0, Qt::AlignHCenter);
    QLabel* hint = textLabel(QStringLiteral("Paste your API key from ") + webSite().host() +
                                 QStringLiteral(" › Settings › API."),
                             Fonts::font(12), Palette::secondaryText(), this);
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignCenter);
    hint->setFixedWidth(columnWidth);
    texts->addWidget(hint, 0, Qt::AlignHCenter);
    column->addLayout(texts);

    field = new QLineEdit(this);
    field->setEchoMode(QLineEdit::Password);
    field->setPlaceholderText(QStringLiteral("API key"));
    field->setAccessibleName(QStringLiteral("API key"));
    field->setFont(Fonts::font(13));
    field->setFixedSize(columnWidth, 30);
    field->setTextMargins(6, 0, 6, 0);
    column->addWidget(field, 0, Qt::AlignHCenter);

    connectButton =
        new ProminentButton(QStringLiteral("Connect"), ProminentButton::Size::large, this);
    connectButton->setFixedWidth(columnWidth);
    column->addWidget(connectButton, 0, Qt::AlignHCenter);

    errorRow = new QWidget(this);
    errorLabel = fillErrorRow(*errorRow);
    column->addWidget(errorRow, 0, Qt::AlignHCenter);

    auto* demo = new LinkButton(QStringLiteral("No Sensibo yet? Try the demo"), 12, this);
    column->addWidget(demo, 0, Qt::AlignHCenter);

    auto* footer = new QHBoxLayout;
    footer->setSpacing(14);
    auto* keyPage = new LinkButton(QStringLiteral("Get your API key"), 10, this);
    footer->addWidget(keyPage, 0, Qt::AlignVCenter);
    keptLabel =
        new CompactLabel(QStringLiteral("lock.fill"), QStringLiteral("Kept in your keyring"), this);
    keptLabel->setFont(Fonts::font(10));
    keptLabel->setColor(Palette::tertiaryText());
    footer->addWidget(keptLabel, 0, Qt::AlignVCenter);
    column->addSpacing(2);
    column->addLayout(footer);
    column->setAlignment(footer, Qt::AlignHCenter);

    keyWarningLabel = textLabel({}, Fonts::font(11), Palette::warm(), this);
    keyWarningLabel->setWordWrap(true);
    keyWarningLabel->setAlignment(Qt::AlignCenter);
    keyWarningLabel->setFixedWidth(columnWidth);
    column->addWidget(keyWarningLabel, 0, Qt::AlignHCenter);

    connect(field, &QLineEdit::textChanged, this, &LoginView::updateButton);
    connect(connectButton, &QAbstractButton::clicked, this, [this] { submit(); });
    connect(demo, &QAbstractButton::clicked, this, [this] { this->model.account().loadDemo(); });
    connect(keyPage, &QAbstractButton::clicked, this, [] {
        QUrl page = webSite();
        page.setPath(QStringLiteral("/me/api"));
        QDesktopServices::openUrl(page);
    });
    connect(&model, &AppModel::keyWarningChanged, this, &LoginView::updateKeyWarning);
    updateButton();
    updateKeyWarning();
}

void LoginView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!focusedOnce) {
        focusedOnce = true;
        field->setFocus(Qt::OtherFocusReason);
    }
}

void LoginView::keyPressEvent(QKeyEvent* event) {
    // Return reaches the view from whichever part has focus (the field passes it on too).
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return QWidget::keyPressEvent(event);
    if (connectButton->isEnabled())
        submit();
}

QCoro::Task<> LoginView::submit() {
    if (busy)
        co_return;
    setBusy(true);
    setError(std::nullopt);
    const QPointer<LoginView> self(this);
    const KeySubmission outcome = co_await submitKey(model, field->text());
    if (!self)
        co_return;
    setError(outcome.refused);
    if (outcome.accepted)
        field->clear();
    setBusy(false);
}

void LoginView::setBusy(bool value) {
    busy = value;
    connectButton->setBusy(busy);
    updateButton();
}

void LoginView::setError(std::optional<QString> error) {
    failure = std::move(error);
    errorLabel->setText(failure.value_or(QString()));
    errorRow->setVisible(failure.has_value());
}

void LoginView::updateButton() {
    const QString key = field->text();
    const bool blank = std::all_of(key.cbegin(), key.cend(), [](QChar character) {
        return character == QLatin1Char(' ') || character == QLatin1Char('\t');
    });
    connectButton->setEnabled(!busy && !blank);
}

void LoginView::updateKeyWarning() {
    const std::optional<QString>& warning = model.account().keyWarning();
    keyWarningLabel->setText(warning.value_or(QString()));
    keyWarningLabel->setVisible(warning.has_value());
    keptLabel->setVisible(!warning);
}
