#include "sim/SimOptions.h"

#include "link/Address.h"

#include <QCommandLineParser>

namespace {

const char* const FaultNames[FaultKindCount] = {"no-answer",
                                                "corrupt-header",
                                                "corrupt-header-checksum",
                                                "corrupt-payload",
                                                "corrupt-payload-checksum",
                                                "stray-byte",
                                                "cut",
                                                "wrong-source",
                                                "delay",
                                                "other-object",
                                                "huge-length",
                                                "hang-up"};

bool ParseFault(const QString& text, bool next, TSimOptions& options, QString& error) {
    // KIND=VALUE[,PARAMETER]
    const int eq = text.indexOf('=');
    if (eq <= 0) {
        error = QStringLiteral("fault '%1': expected KIND=%2[,PARAMETER]")
                    .arg(text, next ? "N" : "RATE");
        return false;
    }
    const QString kind = text.left(eq);
    int index = -1;
    for (int k = 0; k < FaultKindCount; ++k)
        if (kind == QLatin1String(FaultNames[k])) index = k;
    if (index < 0) {
        error = QStringLiteral("unknown fault kind '%1'").arg(kind);
        return false;
    }
    const QStringList parts = text.mid(eq + 1).split(',');
    if (parts.size() > 2) {
        error = QStringLiteral("fault '%1': too many values").arg(text);
        return false;
    }
    bool ok = false;
    TFaultSetting& s = options.Faults[index];
    if (next) {
        const int n = parts[0].toInt(&ok);
        if (!ok || n < 0) {
            error = QStringLiteral("fault '%1': N must be a whole number >= 0").arg(text);
            return false;
        }
        s.Next = n;
    } else {
        const double rate = parts[0].toDouble(&ok);
        if (!ok || rate < 0 || rate > 1) {
            error = QStringLiteral("fault '%1': RATE must lie between 0 and 1").arg(text);
            return false;
        }
        s.Rate = rate;
    }
    if (parts.size() == 2) {
        const int p = parts[1].toInt(&ok);
        if (!ok || p < 0 || p > 60000) {
            error =
                QStringLiteral("fault '%1': PARAMETER must be a whole number 0..60000").arg(text);
            return false;
        }
        s.Parameter = p;
    }
    return true;
}

} // namespace

const char* FaultName(TFault fault) {
    return FaultNames[static_cast<int>(fault)];
}

namespace {

// The options, in the order --help lists them.
void DefineOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "A simulated console unit on a pseudo-terminal. Prints 'ready <path>' once it answers\n"
        "and removes its link when it ends (SIGINT, SIGTERM, SIGHUP)."));
    // Not addHelpOption(): its --help-all promises Qt options, which the simulator has none of.
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help and exit.")));
    parser.addOption(QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                                        QStringLiteral("Show the version and exit.")));
    auto add = [&](const char* name, const char* text, const char* value = nullptr) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(text),
                                            value ? QString::fromLatin1(value) : QString()));
    };
    add("address", "Device address, up to six hex digits (default 03C8FD).", "HEX");
    add("port",
        "Link the line as COMN in the port folder ($XDG_DATA_HOME/halvex/ports, by default "
        "~/.local/share/halvex/ports). Refused while another simulator runs there.",
        "N");
    add("link",
        "Link the line at PATH instead. Without either option no link is made and the ready "
        "line names the pseudo-terminal.",
        "PATH");
    add("dose-rate", "Dose-rate level in uSv/h (default 0.15).", "USVH");
    add("archive-records", "Archive records at power-on, 0..902 (default 240).", "N");
    add("archive-pages", "Sessions they fall into; time goes back between sessions (default 3).",
        "N");
    add("archive-gaps",
        "An empty slot between sessions (each adds an empty page) and every 25th slot of a "
        "session without a usable record.");
    add("clock-offset", "Device clock minus PC clock at power-on, seconds (default 0).", "S");
    add("pacing", "Send at 115200 baud, 10 bits a byte (default on).", "on|off");
    add("seed", "Seed of the noise and of the fault rates (default 1).", "N");
    add("no-noise", "No counting noise: values sit exactly on their levels.");
    add("reopen",
        "After a hang-up fault open a new pseudo-terminal at the same link (default: end with "
        "exit status 3).");
    add("fault",
        "Spoil replies with probability RATE (0..1); P: bytes kept for cut (default "
        "10), ms for delay (200).",
        "KIND=RATE[,P]");
    add("fault-next", "Spoil the next N replies.", "KIND=N[,P]");
}

} // namespace

bool ParseSimArguments(const QStringList& arguments, TSimCommandLine& result, QString& error) {
    TSimCommandLine r;
    QCommandLineParser parser;
    DefineOptions(parser);
    if (!parser.parse(QStringList{QStringLiteral("halvex-sim")} + arguments)) {
        error = parser.errorText() + QStringLiteral(" See --help.");
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("unexpected argument '%1' (see --help)")
                    .arg(parser.positionalArguments().first());
        return false;
    }
    r.Help = parser.isSet(QStringLiteral("help"));
    r.Version = parser.isSet(QStringLiteral("version"));
    // The last of a repeated option counts, as a shell user expects.
    auto value = [&](const char* name, QString& out) {
        const QStringList all = parser.values(QString::fromLatin1(name));
        if (all.isEmpty()) return false;
        out = all.last();
        return true;
    };
    QString v;
    bool ok = true;
    if (value("address", v)) {
        if (v.isEmpty() || v.size() > 6 || !ParseAddressText(v.toStdString(), r.Options.Address)) {
            error = QStringLiteral("--address: '%1' is not up to six hexadecimal digits").arg(v);
            return false;
        }
    }
    if (value("port", v)) {
        r.Port = v.toInt(&ok);
        if (!ok || r.Port < 1 || r.Port > 255) {
            error = QStringLiteral("--port: '%1' is not a port number 1..255").arg(v);
            return false;
        }
    }
    if (value("link", r.Link) && r.Link.isEmpty()) {
        error = QStringLiteral("--link needs a path");
        return false;
    }
    if (value("dose-rate", v)) {
        const double d = v.toDouble(&ok);
        if (!ok || d < 0 || d > 1e7) {
            error = QStringLiteral("--dose-rate: '%1' is not a level 0..1e7 uSv/h").arg(v);
            return false;
        }
        r.Options.DoseRateLevel = d * 1e-6;
    }
    if (value("archive-records", v)) {
        r.Options.ArchiveRecords = v.toInt(&ok);
        if (!ok || r.Options.ArchiveRecords < 0 || r.Options.ArchiveRecords > 902) {
            error = QStringLiteral("--archive-records: '%1' is not 0..902").arg(v);
            return false;
        }
    }
    if (value("archive-pages", v)) {
        r.Options.ArchivePages = v.toInt(&ok);
        if (!ok || r.Options.ArchivePages < 1 || r.Options.ArchivePages > 902) {
            error = QStringLiteral("--archive-pages: '%1' is not 1..902").arg(v);
            return false;
        }
    }
    r.Options.ArchiveGaps = parser.isSet(QStringLiteral("archive-gaps"));
    if (value("clock-offset", v)) {
        r.Options.ClockOffset = v.toLongLong(&ok);
        if (!ok || r.Options.ClockOffset < -400LL * 86400 * 365 ||
            r.Options.ClockOffset > 400LL * 86400 * 365) {
            error = QStringLiteral("--clock-offset: '%1' is not a number of seconds").arg(v);
            return false;
        }
    }
    if (value("pacing", v)) {
        if (v != "on" && v != "off") {
            error = QStringLiteral("--pacing takes on or off, not '%1'").arg(v);
            return false;
        }
        r.Options.Pacing = v == "on";
    }
    if (value("seed", v)) {
        r.Options.Seed = v.toUInt(&ok);
        if (!ok) {
            error = QStringLiteral("--seed: '%1' is not a whole number").arg(v);
            return false;
        }
    }
    if (parser.isSet(QStringLiteral("no-noise"))) r.Options.Noise = false;
    r.Options.Reopen = parser.isSet(QStringLiteral("reopen"));
    for (const char* name : {"fault", "fault-next"})
        for (const QString& f : parser.values(QString::fromLatin1(name)))
            if (!ParseFault(f, name[5] == '-', r.Options, error)) return false;
    if (r.Port != 0 && !r.Link.isEmpty()) {
        error = QStringLiteral("--port and --link exclude each other");
        return false;
    }
    result = r;
    return true;
}

QString SimUsage() {
    QCommandLineParser parser;
    DefineOptions(parser);
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), QStringLiteral("halvex-sim"));
    text += QStringLiteral("\nFault kinds (at most one per reply, tried in this order):\n");
    for (int k = 0; k < FaultKindCount; ++k)
        text += QStringLiteral("  %1\n").arg(FaultNames[k]);
    return text;
}
