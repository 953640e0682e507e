#include "model/demo_data.h"
#include "model/unit_lookup.h"

#include <QTest>

namespace {
QList<Pod> units() {
    // Bedroom, Office, Living Room; then one without a room, named after its id.
    QList<Pod> pods = DemoData::pods(QDateTime::currentDateTimeUtc());
    Pod unnamed;
    unnamed.id = QStringLiteral("7bX2k9");
    pods.append(unnamed);
    Pod second;
    second.id = QStringLiteral("bed2");
    second.room = Pod::Room{QStringLiteral("Bed 2"), {}};
    pods.append(second);
    return pods;
}
} // namespace

class UnitLookupTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What a text finds: the id, or "error: " and the reason (its start).
    void finds() {
        const QList<Pod> pods = units();
        const auto found = [&pods](const QString& text) {
            const auto result = UnitLookup::find(pods, text);
            const Pod* pod = std::get_if<Pod>(&result);
            return pod ? pod->id : "error: " + std::get<QString>(result);
        };
        QCOMPARE(found("2"), "demo2");
        QCOMPARE(found("demo3"), "demo3");
        QCOMPARE(found("oFFICE"), "demo2");        // a name in any case
        QCOMPARE(found("liv"), "demo3");           // a unique start
        QCOMPARE(found("bed 2"), "bed2");          // a whole name wins over starts
        QCOMPARE(found("sensibo 7bx2"), "7bX2k9"); // the name made from the id
        // Refusals say why; those that find no unit list the units.
        const QString units =
            " The units are: 1 Bedroom, 2 Office, 3 Living Room, 4 Sensibo 7bX2, 5 Bed 2.";
        QCOMPARE(found("Attic"), "error: No unit is called \"Attic\"." + units);
        QCOMPARE(found("Bed"), "error: \"Bed\" could be Bedroom or Bed 2: give more of the name.");
        QCOMPARE(found("9"), "error: There is no unit 9." + units);
        QCOMPARE(found(" "), "error: No unit given." + units);
        // An id is exact: another case of it is a name that no room has.
        QCOMPARE(found("DEMO1"), "error: No unit is called \"DEMO1\"." + units);
    }
};

QTEST_GUILESS_MAIN(UnitLookupTest)
#include "tst_unit_lookup.moc"
