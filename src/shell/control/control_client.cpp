#include "shell/control/control_client.h"

#include "shell/control/application_service.h"
#include "shell/control/command_line.h"
#include "shell/control/control_adaptor.h"
#include "shell/control/status_text.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusServiceWatcher>
#include <QDateTime>
#include <cstdio>

namespace ControlClient {
namespace {
constexpr int readTimeoutMs = 5000;
// The app answers a change once the service has: after the quiet period it waits for steps and
// the request's own timeout at worst.
constexpr int changeTimeoutMs = 60'000;

void print(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

bool notRunning(const QDBusMessage& answer) {
    return answer.errorName() == u"org.freedesktop.DBus.Error.ServiceUnknown" ||
           answer.errorName() == u"org.freedesktop.DBus.Error.NameHasNoOwner";
}

QDBusMessage call(QDBusConnection& bus, const QString& interface, const QString& method,
                  const QVariantList& arguments, int timeoutMs = readTimeoutMs) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        ApplicationService::busName, ApplicationService::objectPath, interface, method);
    message.setArguments(arguments);
    message.setAutoStartService(false);
    return bus.call(message, QDBus::Block, timeoutMs);
}

// The app's units and state, or the failed answer.
struct Snapshot {
    QList<QVariantMap> units;
    QString state;
    QDBusMessage failure;
};

Snapshot read(QDBusConnection& bus) {
    const QDBusMessage answer = call(bus, QStringLiteral("org.freedesktop.DBus.Properties"),
                                     QStringLiteral("GetAll"), {ControlAdaptor::interfaceName});
    if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().isEmpty())
        return {{}, {}, answer};
    const QVariantMap properties = qdbus_cast<QVariantMap>(answer.arguments().first());
    return {qdbus_cast<QList<QVariantMap>>(properties.value(QStringLiteral("Units"))),
            properties.value(QStringLiteral("State")).toString(),
            {}};
}

int failed(const QDBusMessage& answer) {
    print(stderr, notRunning(answer) ? QStringLiteral("alvore: Alvore is not running.")
                                     : QStringLiteral("alvore: ") + answer.errorMessage());
    return 1;
}

int status(QDBusConnection& bus, bool json) {
    const Snapshot snapshot = read(bus);
    if (snapshot.failure.type() == QDBusMessage::ErrorMessage)
        return failed(snapshot.failure);
    if (json)
        print(stdout, QString::fromUtf8(StatusText::json(snapshot.units, snapshot.state)));
    else
        for (const QString& line :
             StatusText::lines(snapshot.units, snapshot.state, QDateTime::currentDateTime()))
            print(stdout, line);
    return 0;
}

// Prints a line now and whenever it would read differently: on every change of the units, and
// when the app ends or starts. Runs until the bar ends it.
class Watch : public QObject {
    Q_OBJECT
public:
    Watch(QDBusConnection bus, bool waybar)
        : connection(std::move(bus)), waybarFormat(waybar),
          appOwner(ApplicationService::busName, connection,
                   QDBusServiceWatcher::WatchForOwnerChange) {
        connection.connect(ApplicationService::busName, ApplicationService::objectPath,
                           ControlAdaptor::interfaceName, QStringLiteral("Changed"), this,
                           SLOT(show()));
        connect(&appOwner, &QDBusServiceWatcher::serviceOwnerChanged, this, &Watch::show);
        show();
    }

public Q_SLOTS:
    void show() {
        const Snapshot snapshot = read(connection);
        const bool running = snapshot.failure.type() != QDBusMessage::ErrorMessage;
        const QString line = StatusText::watchLine(snapshot.units, snapshot.state, running,
                                                   waybarFormat, QDateTime::currentDateTime());
        if (line != lastLine)
            print(stdout, line);
        lastLine = line;
    }

private:
    QDBusConnection connection;
    bool waybarFormat;
    QDBusServiceWatcher appOwner;
    QString lastLine;
};

int send(QDBusConnection& bus, const CommandLine::Request& request) {
    qDBusRegisterMetaType<QList<QVariantMap>>();
    if (request.kind == CommandLine::Request::status)
        return status(bus, request.json);
    if (request.kind == CommandLine::Request::watch) {
        Watch watch(bus, request.waybar);
        return QCoreApplication::exec();
    }
    const QDBusMessage answer = call(bus, ControlAdaptor::interfaceName, request.method,
                                     request.arguments, changeTimeoutMs);
    return answer.type() == QDBusMessage::ReplyMessage ? 0 : failed(answer);
}

} // namespace

int run(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const CommandLine::Parsed parsed = CommandLine::parse(QCoreApplication::arguments().mid(1));
    if (parsed.kind == CommandLine::Parsed::help) {
        std::fputs(parsed.text.toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parsed.kind == CommandLine::Parsed::usageError) {
        print(stderr, QStringLiteral("alvore: ") + parsed.text +
                          QStringLiteral("\nTry \"alvore --help\"."));
        return 2;
    }
    // The bus thread hands an error answer over as these types; registered here first, before
    // that thread runs, they are never looked up while half registered (which warns on stderr).
    qRegisterMetaType<QDBusMessage>();
    qRegisterMetaType<QDBusError>();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        print(stderr, QStringLiteral("alvore: Alvore is not running (there is no session bus)."));
        return 1;
    }
    return send(bus, parsed.request);
}

} // namespace ControlClient

#include "control_client.moc"
