#include "model/demo_data.h"
#include "model/unit_lookup.h"

#include <QTest>

namespace {
// What `text` finds among the units: the id, or "error: " and the reason.
QString found(const QList<Pod>& pods, const QString& text) {
    const auto result = UnitLookup::find(pods, text);
    if (const Pod* pod = std::get_if<Pod>(&result))
        return pod->id;
    return QStringLiteral("error: ") + std::get<QString>(result);
}

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
    void finds_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("id");
        const auto row = [](const char* name, const char* text, const char* id) {
            QTest::newRow(name) << QString(text) << QString(id);
        };
        row("number", "2", "demo2");
        row("id", "demo3", "demo3");
        row("name in any case", "oFFICE", "demo2");
        row("unique start", "liv", "demo3");
        row("name shared as a start wins", "bed 2", "bed2");
        row("name made from the id", "sensibo 7bx2", "7bX2k9");
        // Refusals, with their reason.
        row("unknown name", "Attic",
            "error: No unit is called \"Attic\". The units are: 1 Bedroom, 2 Office, "
            "3 Living Room, 4 Sensibo 7bX2, 5 Bed 2.");
        row("start of two names", "Bed",
            "error: \"Bed\" could be Bedroom or Bed 2: give more of the name.");
        row("number past the end", "9", "error: There is no unit 9.");
        row("nothing", " ", "error: No unit given.");
        // An id is exact: another case of it is a name that no room has.
        row("id in another case", "DEMO1", "error: No unit is called \"DEMO1\".");
    }
    void finds() {
        QFETCH(QString, text);
        QFETCH(QString, id);
        const QString result = found(units(), text);
        QVERIFY2(result.startsWith(id), qPrintable(result));
    }
};

QTEST_GUILESS_MAIN(UnitLookupTest)
#include "tst_unit_lookup.moc"
