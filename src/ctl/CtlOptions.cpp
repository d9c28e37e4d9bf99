#include "ctl/CtlOptions.h"

#include <QCommandLineParser>

#include "app/ProgramOptions.h"
#include "link/Address.h"

namespace {

QCommandLineOption Option(const char* name, const char* help, const char* value = nullptr) {
    return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help),
                              value ? QString::fromLatin1(value) : QString());
}

void DefineGlobalOptions(QCommandLineParser& parser) {
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help and exit.")));
    parser.addOption(QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                                        QStringLiteral("Show the version and exit.")));
    parser.addOption(Option("port",
                            "Use COMN (1..255); without it the ports are searched as the "
                            "program does at start-up.",
                            "N"));
    parser.addOption(
        Option("address", "Link address of the console unit (default 03C8FD).", "HEX"));
    parser.addOption(Option("wire-log",
                            "Append every exchange with the console unit to FILE: time, "
                            "direction and the bytes in hex.",
                            "FILE"));
}

struct TCommand {
    const char* Name;
    int MinOperands, MaxOperands;
};

const TCommand Commands[] = {
    {"ports", 0, 0},        {"probe", 0, 0},         {"status", 0, 0},
    {"watch", 0, 0},        {"archive read", 0, 0},  {"archive erase", 0, 0},
    {"settings get", 0, 0}, {"settings set", 1, 99}, {"address set", 2, 2},
    {"clock sync", 0, 0},   {"clock show", 0, 0},
};

// The options of one command, besides the global ones.
void DefineCommandOptions(const QString& command, QCommandLineParser& parser) {
    if (command == QLatin1String("status") || command == QLatin1String("settings get"))
        parser.addOption(Option("json", "Machine-readable output."));
    else if (command == QLatin1String("watch"))
        parser.addOption(Option("count", "Stop after N lines.", "N"));
    else if (command == QLatin1String("archive read")) {
        parser.addOption(Option("csv", "Write the archive as CSV to FILE.", "FILE"));
        parser.addOption(Option("json", "Write the archive as JSON to FILE.", "FILE"));
        parser.addOption(
            Option("gpx", "Write the records with coordinates as GPX to FILE.", "FILE"));
        parser.addOption(Option("txt", "Append the records to archive.txt."));
    } else if (command == QLatin1String("archive erase"))
        parser.addOption(Option("yes", "Really erase."));
}

// The value of an option given once; a repeated one is a mistake worth saying.
bool SingleValue(const QCommandLineParser& parser, const char* name, QString& value,
                 QString& error) {
    const QStringList values = parser.values(QString::fromLatin1(name));
    if (values.isEmpty()) return true;
    if (values.size() > 1) {
        error = QStringLiteral("--%1 is given more than once.").arg(QLatin1String(name));
        return false;
    }
    value = values.first();
    if (value.isEmpty()) {
        error = QStringLiteral("--%1 needs a value.").arg(QLatin1String(name));
        return false;
    }
    return true;
}

} // namespace

bool ParseCtlOptions(const QStringList& arguments, TCtlOptions& options, QString& error) {
    // First pass: the global options and the command's words; whatever follows the first word
    // belongs to the command, whose options are only known once it is.
    QCommandLineParser first;
    DefineGlobalOptions(first);
    first.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!first.parse(arguments)) {
        error = first.errorText();
        return false;
    }
    TCtlOptions o;
    o.Help = first.isSet(QStringLiteral("help"));
    o.Version = first.isSet(QStringLiteral("version"));
    if (o.Help || o.Version) {
        options = o;
        return true;
    }
    QStringList words;
    for (const QString& a : first.positionalArguments())
        if (!a.startsWith(QLatin1Char('-'))) words << a;
    if (words.isEmpty()) {
        error = QStringLiteral("No command given.");
        return false;
    }
    const TCommand* command = nullptr;
    for (const TCommand& c : Commands) {
        const QStringList name = QString::fromLatin1(c.Name).split(QLatin1Char(' '));
        if (words.mid(0, name.size()) == name) command = &c;
    }
    if (!command) {
        error = QStringLiteral("Unknown command '%1'.").arg(words.mid(0, 2).join(QLatin1Char(' ')));
        return false;
    }
    o.Command = QString::fromLatin1(command->Name);

    QCommandLineParser second;
    DefineGlobalOptions(second);
    DefineCommandOptions(o.Command, second);
    if (!second.parse(arguments)) {
        error = second.errorText();
        return false;
    }
    o.Operands = second.positionalArguments().mid(o.Command.count(QLatin1Char(' ')) + 1);
    if (o.Operands.size() < command->MinOperands || o.Operands.size() > command->MaxOperands) {
        error = o.Operands.size() < command->MinOperands
                    ? QStringLiteral("'%1' needs more operands.").arg(o.Command)
                    : QStringLiteral("Unexpected argument '%1'.").arg(o.Operands.last());
        return false;
    }

    QString port, address, count;
    if (!SingleValue(second, "port", port, error) ||
        !SingleValue(second, "address", address, error) ||
        !SingleValue(second, "wire-log", o.WireLog, error))
        return false;
    if (!port.isEmpty() && !ParsePortOption(port, o.Port, error)) return false;
    if (!address.isEmpty() && !ParseAddressText(address.toStdString(), o.Address)) {
        error = QStringLiteral("--address: ") +
                QString::fromStdString(InvalidIntegerMessage(address.toStdString())) +
                QLatin1Char('.');
        return false;
    }
    if (o.Command == QLatin1String("watch")) {
        if (!SingleValue(second, "count", count, error)) return false;
        if (!count.isEmpty()) {
            bool ok = false;
            o.Count = count.toInt(&ok);
            if (!ok || o.Count < 1) {
                error = QStringLiteral("--count: '%1' is not a number of lines.").arg(count);
                return false;
            }
        }
    } else if (o.Command == QLatin1String("archive read")) {
        if (!SingleValue(second, "csv", o.CsvFile, error) ||
            !SingleValue(second, "json", o.JsonFile, error) ||
            !SingleValue(second, "gpx", o.GpxFile, error))
            return false;
        o.Txt = second.isSet(QStringLiteral("txt"));
        if (o.CsvFile.isEmpty() && o.JsonFile.isEmpty() && o.GpxFile.isEmpty() && !o.Txt) {
            error = QStringLiteral("archive read needs --csv FILE, --json FILE, --gpx FILE or "
                                   "--txt.");
            return false;
        }
    } else if (o.Command == QLatin1String("archive erase")) {
        o.Yes = second.isSet(QStringLiteral("yes"));
        if (!o.Yes) {
            error = QStringLiteral("archive erase needs --yes: the records cannot be recovered.");
            return false;
        }
    } else if (o.Command == QLatin1String("status") || o.Command == QLatin1String("settings get")) {
        o.Json = second.isSet(QStringLiteral("json"));
    }
    options = o;
    return true;
}

QString CtlUsage() {
    QCommandLineParser parser;
    DefineGlobalOptions(parser);
    parser.setApplicationDescription(
        QStringLiteral("Service tool for the console unit of the dosimeter system, without "
                       "windows."));
    // The parser's usage line names the program by the path it was started with.
    QString text = parser.helpText();
    text = QStringLiteral("Usage: halvexctl [options] COMMAND [arguments]") +
           text.mid(text.indexOf(QLatin1Char('\n')));
    text += QStringLiteral(
        "\nCommands:\n"
        "  ports                      every port number, its device and whether it opens\n"
        "  probe                      find the console unit and print its port number\n"
        "  status [--json]            one reading: dose rate, dose, alarms, batteries ...\n"
        "  watch [--count N]          CSV lines: PC time, device time, uSv/h, uSv\n"
        "  archive read (--csv FILE | --json FILE | --gpx FILE | --txt)\n"
        "  archive erase --yes\n"
        "  settings get [--json]\n"
        "  settings set KEY=VALUE ... keys: dose_rate_threshold, dose_threshold,\n"
        "                             language (ru|en), sound, gps, auto_brightness (on|off),\n"
        "                             brightness (0-10), record (off|every_measurement|\n"
        "                             every_minute|every_hour), record_on_change (on|off),\n"
        "                             screens (comma list of main,short,search,spectrum,dose)\n"
        "  address set module1|module2|console HEX\n"
        "  clock sync                 write the PC's time into the device clock\n"
        "  clock show                 device time of day minus the PC's, in seconds\n"
        "\nExit status: 0 success, 1 the device or the port failed, 2 usage error.\n");
    return text + PortNamingHelp();
}

QString CtlVersionText() {
    return QStringLiteral("halvexctl %1\n").arg(QStringLiteral(HALVEX_VERSION));
}
