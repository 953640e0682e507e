#include "shell/control/application_service.h"
#include "shell/control/single_instance.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

// Each test runs on a bus daemon of its own: the name must be free at the start, whatever else
// runs on the test session's bus.
class SingleInstanceTest : public QObject {
    Q_OBJECT
private:
    QProcess m_daemon;
    QString m_address;
    int m_connections = 0;

    QDBusConnection connect() {
        return QDBusConnection::connectToBus(m_address, QStringLiteral("c%1").arg(++m_connections));
    }

    // The error name of the answer, empty for a plain answer.
    QString call(const QString& method, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            ApplicationService::busName, ApplicationService::objectPath,
            QStringLiteral("org.freedesktop.Application"), method);
        message.setArguments(arguments);
        const QDBusMessage answer = connect().call(message, QDBus::BlockWithGui, 5000);
        return answer.type() == QDBusMessage::ReplyMessage ? QString() : answer.errorName();
    }

private Q_SLOTS:
    void init() {
        m_daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (!m_daemon.waitForStarted())
            QSKIP("needs dbus-daemon");
        QVERIFY(m_daemon.waitForReadyRead(5000));
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }

    void cleanup() {
        for (int i = 1; i <= m_connections; ++i)
            QDBusConnection::disconnectFromBus(QStringLiteral("c%1").arg(i));
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }

    void laterStartsHandOverToTheFirstUntilItLetsGo() {
        QDBusConnection firstBus = connect();
        ApplicationService first;
        QSignalSpy activated(&first, &ApplicationService::activated);
        QCOMPARE(SingleInstance::claim(firstBus, first), SingleInstance::Claim::first);
        // (e2e.single_instance hands over from two starts at once and a later one.)
        QDBusConnection laterBus = connect();
        ApplicationService later;
        QCOMPARE(SingleInstance::claim(laterBus, later), SingleInstance::Claim::handedOver);
        QVERIFY(activated.size() == 1 &&
                !laterBus.objectRegisteredAt(ApplicationService::objectPath));

        // The first answers the freedesktop Application interface, as launchers call it.
        QCOMPARE(QStringList({call("Activate", {QVariantMap()}),
                              call("Open", {QStringList{"file:///tmp/x"}, QVariantMap()}),
                              call("ActivateAction", {"quit", QVariantList(), QVariantMap()})}),
                 QStringList({"", "", "org.freedesktop.DBus.Error.NotSupported"}));
        QCOMPARE(activated.size(), 3);

        // The name is free once released, or once its holder is gone.
        SingleInstance::release(firstBus);

        {
            QDBusConnection secondBus = connect();
            ApplicationService second;
            QCOMPARE(SingleInstance::claim(secondBus, second), SingleInstance::Claim::first);
        }
        // The holder's connection closes, as when its process ends.
        QDBusConnection::disconnectFromBus(QStringLiteral("c%1").arg(m_connections));

        QDBusConnection thirdBus = connect();
        ApplicationService third;
        QTRY_VERIFY(!thirdBus.interface()->isServiceRegistered(ApplicationService::busName));
        QCOMPARE(SingleInstance::claim(thirdBus, third), SingleInstance::Claim::first);
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_single_instance.moc"
