#include "shell/control/command_line.h"

#include <QRegularExpression>
#include <array>

namespace CommandLine {
namespace {

struct Command {
    const char* name;
    const char* usage;
    const char* summary;
};

const std::array<Command, 17> commands = {{
    {"status", "status [--json]", "Show every unit: one line each, or JSON."},
    {"on", "on UNIT", "Turn a unit on."},
    {"off", "off UNIT", "Turn a unit off."},
    {"toggle", "toggle UNIT", "Turn a unit on when it is off, off when it is on."},
    {"mode", "mode UNIT MODE", "Set the mode: cool, heat, fan, dry, auto (those the unit has)."},
    {"target", "target UNIT 22|+1|-1", "Set the target temperature, or step it up or down."},
    {"fan", "fan UNIT LEVEL", "Set the fan level: quiet, low, medium, high, auto, ..."},
    {"sideways", "sideways UNIT POSITION",
     "Point the air sideways: stopped, fixedLeft, fixedCenter, rangeFull, ... (those the unit "
     "has)."},
    {"light", "light UNIT on|off|dim", "Switch the unit's display light on, off or to dim."},
    {"preset", "preset UNIT NAME", "Put one of the unit's presets on it."},
    {"timer", "timer UNIT 30m on|off, timer UNIT cancel",
     "Turn the unit on or off after a while (30m, 2h, 1h30m), or cancel its timer."},
    {"react", "react UNIT on|off", "Turn the unit's Climate React rule on or off."},
    {"filter", "filter UNIT done", "Tell the service the unit's filter was cleaned."},
    {"refresh", "refresh", "Read the units from the service now."},
    {"open", "open", "Open the panel."},
    {"close", "close", "Close the panel."},
    {"watch", "watch [--format waybar|plain]",
     "Print a line for the unit in the tray now and on every change, for status bars."},
}};

const Command* command(const QString& name) {
    for (const Command& command : commands)
        if (name == QLatin1String(command.name))
            return &command;
    return nullptr;
}

QString overview() {
    QString text = QStringLiteral(
        "Usage: alvore [--demo] [--no-tray]\n"
        "       alvore COMMAND [ARGUMENTS]\n\n"
        "Without a command, starts Alvore (--no-tray: without tray icon or window, for\n"
        "desktops without a tray; `alvore open` shows the panel). A command drives the\n"
        "running app.\n\nCommands:\n");
    for (const Command& command : commands)
        text += QStringLiteral("  %1\n      %2\n")
                    .arg(QLatin1String(command.usage), QLatin1String(command.summary));
    text += QStringLiteral(
        "\nUNIT is a unit's number, its room name (any case; the start of it is enough when\n"
        "no other room starts the same way) or its id.\n"
        "Exit status: 0 done, 1 Alvore is not running or the action failed, 2 usage error.\n");
    return text;
}

Parsed help(const QString& text) {
    return {Parsed::help, {}, text};
}

Parsed error(const QString& text) {
    return {Parsed::usageError, {}, text};
}

Parsed call(const QString& method, QVariantList arguments) {
    Request request;
    request.method = method;
    request.arguments = std::move(arguments);
    return {Parsed::send, request, {}};
}

bool isHelp(const QString& argument) {
    return argument == u"--help" || argument == u"-h";
}

Parsed parseStatus(const QStringList& words) {
    Request request;
    request.kind = Request::status;
    for (const QString& word : words) {
        if (word != u"--json")
            return error(QStringLiteral("status takes only --json, not \"%1\".").arg(word));
        request.json = true;
    }
    return {Parsed::send, request, {}};
}

Parsed parseWatch(QStringList words) {
    Request request;
    request.kind = Request::watch;
    if (!words.isEmpty() && words.first().startsWith(u"--format=")) {
        words.replace(0, words.first().mid(9));
        words.prepend(QStringLiteral("--format"));
    }
    if (words.isEmpty())
        return {Parsed::send, request, {}};
    if (words.size() != 2 || words.first() != u"--format" ||
        (words.last() != u"waybar" && words.last() != u"plain"))
        return error(QStringLiteral("watch takes only --format waybar or --format plain."));
    request.waybar = words.last() == u"waybar";
    return {Parsed::send, request, {}};
}

Parsed parseTarget(const QStringList& words) {
    static const QRegularExpression number(QStringLiteral("^([+-]?)(\\d{1,3})$"));
    const auto match = words.size() == 2 ? number.match(words.at(1)) : QRegularExpressionMatch();
    if (!match.hasMatch())
        return error(
            QStringLiteral("target takes a UNIT and a temperature (22) or a step (+1, -1)."));
    const int value = match.captured(2).toInt();
    if (match.captured(1).isEmpty())
        return call(QStringLiteral("SetTarget"), {words.first(), value});
    return call(QStringLiteral("StepTarget"),
                {words.first(), match.captured(1) == u"-" ? -value : value});
}

Parsed parseTimer(const QStringList& words) {
    if (words.size() == 2 && words.at(1) == u"cancel")
        return call(QStringLiteral("CancelTimer"), {words.first()});
    const uint after = words.size() == 3 ? minutes(words.at(1)) : 0;
    if (after == 0 || (words.at(2) != u"on" && words.at(2) != u"off"))
        return error(QStringLiteral(
            "timer takes a UNIT, a time (30m, 2h, 1h30m) and on or off; or a UNIT and cancel."));
    return call(QStringLiteral("SetTimer"), {words.first(), after, words.at(2) == u"on"});
}

// The commands that act on one unit and name it first.
Parsed parsePower(const QString& name, const QStringList& words) {
    if (words.size() != 1)
        return error(QStringLiteral("%1 takes one UNIT.").arg(name));
    if (name == u"toggle")
        return call(QStringLiteral("TogglePower"), {words.first()});
    return call(QStringLiteral("SetPower"), {words.first(), name == u"on"});
}

// The commands that take a UNIT and one value.
struct ValueCommand {
    const char* name;
    const char* method;
    const char* usage;
    bool lowercase; // the app knows the value in lower case only
};
constexpr std::array<ValueCommand, 4> valueCommands{{
    {"mode", "SetMode", "mode takes a UNIT and a MODE.", true},
    {"fan", "SetFan", "fan takes a UNIT and a LEVEL.", true},
    {"sideways", "SetSideways", "sideways takes a UNIT and a POSITION.", false},
    {"light", "SetLight", "light takes a UNIT and on, off or dim.", false},
}};

Parsed parseUnitCommand(const QString& name, const QStringList& words) {
    const QString& unit = words.first();
    if (name == u"on" || name == u"off" || name == u"toggle")
        return parsePower(name, words);
    for (const ValueCommand& command : valueCommands)
        if (name == QLatin1String(command.name)) {
            if (words.size() != 2)
                return error(QLatin1String(command.usage));
            return call(QLatin1String(command.method),
                        {unit, command.lowercase ? words.at(1).toLower() : words.at(1)});
        }
    if (name == u"target")
        return parseTarget(words);
    if (name == u"react") {
        if (words.size() != 2 || (words.at(1) != u"on" && words.at(1) != u"off"))
            return error(QStringLiteral("react takes a UNIT and on or off."));
        return call(QStringLiteral("SetClimateReact"), {unit, words.at(1) == u"on"});
    }
    if (name == u"preset") {
        if (words.size() < 2)
            return error(QStringLiteral("preset takes a UNIT and a preset NAME."));
        return call(QStringLiteral("ApplyPreset"), {unit, words.mid(1).join(u' ')});
    }
    if (name == u"filter") {
        if (words.size() != 2 || words.at(1) != u"done")
            return error(QStringLiteral("filter takes a UNIT and done."));
        return call(QStringLiteral("FilterCleaned"), {unit});
    }
    return parseTimer(words);
}

// Reads the words of a command that came after its name.
Parsed parseCommand(const QString& name, const QStringList& words) {
    if (name == u"status")
        return parseStatus(words);
    if (name == u"watch")
        return parseWatch(words);
    if (name == u"refresh" || name == u"open" || name == u"close") {
        if (!words.isEmpty())
            return error(QStringLiteral("%1 takes no arguments.").arg(name));
        return call(name == u"refresh" ? QStringLiteral("Refresh")
                    : name == u"open"  ? QStringLiteral("OpenPanel")
                                       : QStringLiteral("ClosePanel"),
                    {});
    }
    if (words.isEmpty())
        return error(QStringLiteral("%1 needs a UNIT.").arg(name));
    return parseUnitCommand(name, words);
}

} // namespace

uint minutes(const QString& text) {
    static const QRegularExpression duration(QStringLiteral("^(?:(\\d{1,3})h)?(?:(\\d{1,5})m?)?$"));
    const auto match = duration.match(text);
    if (!match.hasMatch())
        return 0;
    return match.captured(1).toUInt() * 60 + match.captured(2).toUInt();
}

bool isCommand(int argc, const char* const* argv) {
    if (argc < 2)
        return false;
    const QString first = QString::fromLocal8Bit(argv[1]);
    return isHelp(first) || !first.startsWith(u'-');
}

Parsed parse(const QStringList& arguments) {
    if (arguments.isEmpty() || isHelp(arguments.first()) ||
        (arguments.first() == u"help" && arguments.size() == 1))
        return help(overview());
    QString name = arguments.first();
    QStringList words = arguments.mid(1);
    if (name == u"help") {
        name = words.first();
        words = {QStringLiteral("--help")};
    }
    const Command* found = command(name);
    if (!found)
        return error(QStringLiteral("there is no command \"%1\".").arg(name));
    if (words.contains(QStringLiteral("--help")) || words.contains(QStringLiteral("-h")))
        return help(QStringLiteral("Usage: alvore %1\n%2\n")
                        .arg(QLatin1String(found->usage), QLatin1String(found->summary)));
    return parseCommand(name, words);
}

} // namespace CommandLine
