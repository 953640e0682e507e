#include "shell/control/command_line.h"
#include "shell/control/status_text.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using CommandLine::Parsed;

namespace {
Parsed parse(const QString& line) {
    return CommandLine::parse(line.split(u' ', Qt::SkipEmptyParts));
}

// A unit record as the app sends it.
QVariantMap unit(const QString& name, bool on, bool online, bool tray) {
    const QByteArray rest = R"({"number": 1, "mode": "cool", "target": 22, "targetUnit": "C",
        "fan": "auto", "roomTemperature": 24.6, "roomUnit": "C", "humidity": 58.0})";
    QVariantMap unit = QJsonDocument::fromJson(rest).object().toVariantMap();
    unit.insert(
        {{"id", name.toLower()}, {"name", name}, {"online", online}, {"on", on}, {"tray", tray}});
    return unit;
}
} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Anything after the program's name but its own options is a command, "nonsense" too: it is
    // answered with a usage error.
    void commandsOrStart() {
        const auto isCommand = [](std::vector<const char*> argv) {
            return CommandLine::isCommand(int(argv.size()), argv.data());
        };
        QCOMPARE(QList<bool>({isCommand({"alvore", "--help"}), isCommand({"alvore", "nonsense"}),
                              isCommand({"alvore"}), isCommand({"alvore", "--no-tray"})}),
                 QList<bool>({true, true, false, false}));
    }

    void callsTheAppsMethodsOrSaysHowToUseThem_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("method"); // none for a usage error
        QTest::addColumn<QVariantList>("arguments");
        const auto row = [](const char* line, const char* method, const QVariantList& arguments) {
            QTest::newRow(line) << QString(line) << QString(method) << arguments;
        };
        row("on Office", "SetPower", {"Office", true});
        row("mode 1 Heat", "SetMode", {"1", "heat"});
        row("target 1 22", "SetTarget", {"1", 22});
        row("target 1 -2", "StepTarget", {"1", -2});
        row("fan 1 high", "SetFan", {"1", "high"});
        row("sideways 1 fixedLeft", "SetSideways", {"1", "fixedLeft"});
        row("light Office dim", "SetLight", {"Office", "dim"});
        row("preset 1 Movie night", "ApplyPreset", {"1", "Movie night"});
        row("timer 1 1h30m off", "SetTimer", {"1", 90u, false});
        row("timer 1 cancel", "CancelTimer", {"1"});
        row("filter Office done", "FilterCleaned", {"Office"});
        row("react 1 off", "SetClimateReact", {"1", false});
        for (const char* line :
             {"warmer Office", "on", "target 1 warm", "timer 1 30m", "timer 1 2d on", "open Office",
              "watch --format i3", "filter Office", "light 1", "react 1"})
            row(line, "", {});
    }
    void callsTheAppsMethodsOrSaysHowToUseThem() {
        QFETCH(QString, line);
        QFETCH(QString, method);
        const Parsed parsed = parse(line);
        QCOMPARE(parsed.kind, method.isEmpty() ? Parsed::usageError : Parsed::send);
        if (method.isEmpty())
            QVERIFY(!parsed.text.isEmpty());
        else
            QCOMPARE(parsed.request.method, method);
        QTEST(parsed.request.arguments, "arguments");
    }

    void helpAndSwitches() {
        const Parsed all = parse("--help");
        for (const char* name : {"status", "toggle", "timer", "watch"})
            QVERIFY2(all.kind == Parsed::help && all.text.contains(QLatin1String("  ") + name),
                     name);
        const Parsed one = parse("timer --help");
        QVERIFY(one.kind == Parsed::help &&
                one.text.startsWith(u"Usage: alvore timer UNIT 30m on|off"));
        QVERIFY(parse("help timer").text == one.text && parse("status --json").request.json &&
                parse("watch --format=waybar").request.waybar &&
                !parse("watch --format plain").request.waybar);
    }

    void statusLinesAndWaybarModule() {
        const QDateTime now = QDateTime::fromSecsSinceEpoch(1'800'000'000);
        QVariantMap bedroom = unit("Bedroom", true, true, true);
        bedroom.insert("timerAt", now.addSecs(2530).toSecsSinceEpoch());
        bedroom.insert("timerTurnsOn", false);
        bedroom.insert("climateReact", true);
        bedroom.insert("filterDue", true);
        QCOMPARE(StatusText::line(bedroom, now),
                 "1 Bedroom  on  Cool 22°C  fan auto  room 24.6°C 58%  timer 42:10 then off  "
                 "Climate React on  clean the filter");
        QCOMPARE(StatusText::line(unit("Attic", true, false, false), now), "1 Attic  offline");
        QCOMPARE(StatusText::lines({}, "signedOut", now), QStringList{"Alvore is signed out."});

        // The bar shows the unit the tray reports, with every unit in the tooltip.
        const QList<QVariantMap> units{unit("Bedroom", false, true, false),
                                       unit("Office", true, true, true)};
        const auto module = [&](const QString& state, bool running) {
            return QJsonDocument::fromJson(
                       StatusText::watchLine(units, state, running, true, now).toUtf8())
                .object();
        };
        const QJsonObject ready = module("ready", true), gone = module("ready", false);
        QCOMPARE(QStringList({ready["text"].toString(), ready["class"].toString(),
                              gone["class"].toString(), gone["tooltip"].toString()}),
                 QStringList({"24.6°", "on", "offline", "Alvore is not running."}));
        QVERIFY(ready.value("tooltip").toString().contains(u"Bedroom  off"));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_command_line.moc"
