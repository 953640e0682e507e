#include "model/demo_data.h"

#include <QTest>
#include <QTimeZone>

class DemoDataTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unitsAndHistory();
};

void DemoDataTest::unitsAndHistory() {
    const QDateTime now(QDate(2024, 5, 1), QTime(10, 0), QTimeZone::utc());
    const QList<Pod> pods = DemoData::pods(now);
    QCOMPARE(pods.size(), 3);
    QCOMPARE(pods.at(0).id, QStringLiteral("demo1"));
    QCOMPARE(pods.at(0).acState, (ACState{true, "cool", 22, "C", "auto", "stopped", {}, {}}));
    QCOMPARE(pods.at(0).timer->fireDate, now.addSecs(2530));
    QCOMPARE(pods.at(1).room->name, QStringLiteral("Office"));
    QCOMPARE(pods.at(2).connectionStatus->isAlive, false);
    QCOMPARE(pods.at(2).modes(), (QStringList{"cool", "fan", "dry", "auto"}));
    QVERIFY(!DemoData::caps(false).modes->contains("heat"));

    const History history = DemoData::history(24.6, now);
    QCOMPARE(history.temperature.size(), 96);
    QCOMPARE(history.humidity.size(), 96);
    QCOMPARE(history.temperature.first().time, now.addDays(-1));
    QCOMPARE(history.temperature.last().time, now.addSecs(-900));
}

QTEST_GUILESS_MAIN(DemoDataTest)
#include "tst_demo_data.moc"
