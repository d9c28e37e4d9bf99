#include "app/ProgramOptions.h"

#include <QCommandLineParser>

namespace {

// Options QGuiApplication and QApplication take themselves; listed so that the parser lets them
// through (hidden from --help). The first group takes a value.
const char* const QtValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",       "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "style",        "stylesheet",
    "display",     "geometry",           "title",         "qmljsdebugger"};
const char* const QtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

void DefineOptions(QCommandLineParser& parser) {
    // "-platform offscreen" is one option, as Qt reads it, not eight short ones.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Service program for the dosimeter system: live dose rate, settings, archive, spectrum "
        "and batteries of the console unit on a serial port."));
    // Not addHelpOption(): its --help-all lists Qt's options, which are not known here.
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help and exit.")));
    parser.addOption(QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                                        QStringLiteral("Show the version and exit.")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("port"),
        QStringLiteral("Probe only COMN (1..255) at start-up instead of searching all ports."),
        QStringLiteral("N")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("language"),
        QStringLiteral("Language of this run: ru or en. prog.ini keeps its language unless one "
                       "is chosen in the menu."),
        QStringLiteral("ru|en")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("wire-log"),
        QStringLiteral("Append every exchange with the console unit to FILE: time, direction and "
                       "the bytes in hex."),
        QStringLiteral("FILE")));
    parser.addOption(QCommandLineOption(QStringLiteral("verbose"),
                                        QStringLiteral("Diagnostics on standard error.")));
    auto hidden = [&](const char* name, bool value) {
        QCommandLineOption o(QString::fromLatin1(name), QString(),
                             value ? QStringLiteral("value") : QString());
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(o);
    };
    for (const char* name : QtValueOptions)
        hidden(name, true);
    for (const char* name : QtFlagOptions)
        hidden(name, false);
}

} // namespace

bool ParseProgramOptions(const QStringList& arguments, TProgramOptions& options, QString& error) {
    QCommandLineParser parser;
    DefineOptions(parser);
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments()[0]);
        return false;
    }
    TProgramOptions o;
    o.Help = parser.isSet(QStringLiteral("help"));
    o.Version = parser.isSet(QStringLiteral("version"));
    o.Verbose = parser.isSet(QStringLiteral("verbose"));
    if (parser.isSet(QStringLiteral("port")) &&
        !ParsePortOption(parser.values(QStringLiteral("port")).last(), o.Port, error))
        return false;
    if (parser.isSet(QStringLiteral("language"))) {
        const QString v = parser.values(QStringLiteral("language")).last().toLower();
        if (v == QLatin1String("ru"))
            o.Language = 0;
        else if (v == QLatin1String("en"))
            o.Language = 1;
        else {
            error = QStringLiteral("--language takes ru or en, not '%1'.").arg(v);
            return false;
        }
    }
    if (parser.isSet(QStringLiteral("wire-log"))) {
        o.WireLog = parser.values(QStringLiteral("wire-log")).last();
        if (o.WireLog.isEmpty()) {
            error = QStringLiteral("--wire-log needs a file name.");
            return false;
        }
    }
    options = o;
    return true;
}

bool ParsePortOption(const QString& text, uint8_t& port, QString& error) {
    bool ok = false;
    const uint n = text.toUInt(&ok);
    if (!ok || n < 1 || n > 255) {
        error = QStringLiteral("--port: '%1' is not a port number 1..255.").arg(text);
        return false;
    }
    port = static_cast<uint8_t>(n);
    return true;
}

QString ProgramUsage() {
    QCommandLineParser parser;
    DefineOptions(parser);
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), QStringLiteral("halvex"));
    text += QStringLiteral(
        "\nQt's own options (-platform NAME, -style NAME ...) are also accepted.\n");
    return text + PortNamingHelp();
}

QString PortNamingHelp() {
    return QStringLiteral(
        "Serial ports: COMn is the link COMn in $XDG_DATA_HOME/halvex/ports (by default\n"
        "~/.local/share/halvex/ports), else /dev/ttyS, ttyUSB or ttyACM by number.\n");
}

QString ProgramVersionText() {
    return QStringLiteral("halvex %1\n").arg(QStringLiteral(HALVEX_VERSION));
}
