#include "model/demo_data.h"

#include <QTest>
#include <QTimeZone>
#include <cmath>

class DemoDataTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void units();
    void capabilities();
    void history();
};

namespace {
const QDateTime now(QDate(2024, 5, 1), QTime(10, 0), QTimeZone::utc());
}

void DemoDataTest::units() {
    const QList<Pod> pods = DemoData::pods(now);
    QCOMPARE(pods.size(), 3);
    const Pod& bedroom = pods.at(0);
    QCOMPARE(bedroom.id, QStringLiteral("demo1"));
    QCOMPARE(bedroom.room, (Pod::Room{QStringLiteral("Bedroom"), {}}));
    QCOMPARE(bedroom.acState, (ACState{true, "cool", 22, "C", "auto", "stopped", {}, {}}));
    QCOMPARE(bedroom.measurements, (Measurements{24.6, 58, {}, {}, {}, {}, TimeStamp{{}, 40}}));
    QCOMPARE(bedroom.connectionStatus, (Pod::ConnectionStatus{true, {}}));
    QCOMPARE(bedroom.model(), QStringLiteral("Sky"));
    ACState off;
    off.on = false;
    QCOMPARE(bedroom.timer, (PodTimer{true, off, {}, now.addSecs(2530)}));

    const Pod& office = pods.at(1);
    QCOMPARE(office.room->name, QStringLiteral("Office"));
    QCOMPARE(office.acState, (ACState{false, "cool", 23, "C", "low", "rangeFull", {}, {}}));
    QCOMPARE(office.measurements, (Measurements{26.1, 49, 26.8, 612, 140, {}, TimeStamp{{}, 70}}));
    QCOMPARE(office.productModel, QStringLiteral("airq"));
    QCOMPARE(office.timer, std::nullopt);
    QCOMPARE(office.modes(), (QStringList{"cool", "heat", "fan", "dry", "auto"}));

    const Pod& living = pods.at(2);
    QCOMPARE(living.room->name, QStringLiteral("Living Room"));
    QCOMPARE(living.acState, (ACState{false, "fan", {}, "C", "medium", {}, {}, {}}));
    QCOMPARE(living.measurements->time, (TimeStamp{{}, 3600}));
    QCOMPARE(living.connectionStatus->isAlive, false);
    QCOMPARE(living.productModel, QStringLiteral("skyplus"));
    QCOMPARE(living.modes(), (QStringList{"cool", "fan", "dry", "auto"}));
}

void DemoDataTest::capabilities() {
    const RemoteCapabilities caps = DemoData::caps(true);
    const ModeCapabilities fan = caps.modes->value("fan");
    QCOMPARE(fan.temperatures, std::nullopt);
    QCOMPARE(fan.fanLevels, (QStringList{"low", "medium", "high"}));
    const ModeCapabilities dry = caps.modes->value("dry");
    QCOMPARE(dry.fanLevels, QStringList{"low"});
    const ModeCapabilities cool = caps.modes->value("cool");
    const auto celsius = cool.temperatures->value("C");
    QCOMPARE(celsius.isNative, true);
    QCOMPARE(celsius.values.size(), 15);
    QCOMPARE(celsius.values.first(), 16);
    QCOMPARE(celsius.values.last(), 30);
    QCOMPARE(cool.fanLevels, (QStringList{"quiet", "low", "medium", "high", "auto"}));
    QCOMPARE(cool.swing->size(), 7);
    QCOMPARE(cool.horizontalSwing, std::nullopt);
    QCOMPARE(cool.light, std::nullopt);
    QVERIFY(!DemoData::caps(false).modes->contains("heat"));
}

void DemoDataTest::history() {
    const History history = DemoData::history(24.6, now);
    QCOMPARE(history.temperature.size(), 96);
    QCOMPARE(history.humidity.size(), 96);
    QCOMPARE(history.temperature.first().time, now.addDays(-1));
    QCOMPARE(history.temperature.last().time, now.addSecs(-900));
    QVERIFY(std::abs(history.temperature.first().value - (24.6 + 2.2 * std::sin(-1.2))) < 1e-12);
    QVERIFY(std::abs(history.temperature.first().value - 22.55) < 0.01);
    QCOMPARE(history.humidity.first().value, 61.0);
    const double t = 48 / 96.0;
    QVERIFY(std::abs(history.temperature.at(48).value -
                     (24.6 + 2.2 * std::sin(2 * M_PI * t - 1.2) + 0.3 * std::sin(40 * t))) < 1e-12);
}

QTEST_GUILESS_MAIN(DemoDataTest)
#include "tst_demo_data.moc"
