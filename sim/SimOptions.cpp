#include "sim/SimOptions.h"

#include "link/Address.h"

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

bool ParseSimArguments(const QStringList& arguments, TSimCommandLine& result, QString& error) {
    TSimCommandLine r;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        auto value = [&](QString& out) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("%1 needs a value").arg(a);
                return false;
            }
            out = arguments[++i];
            return true;
        };
        QString v;
        bool ok = true;
        if (a == "--help" || a == "-h") {
            r.Help = true;
        } else if (a == "--address") {
            if (!value(v)) return false;
            if (v.isEmpty() || v.size() > 6 || !ParseAddressText(v, r.Options.Address)) {
                error =
                    QStringLiteral("--address: '%1' is not up to six hexadecimal digits").arg(v);
                return false;
            }
        } else if (a == "--port") {
            if (!value(v)) return false;
            r.Port = v.toInt(&ok);
            if (!ok || r.Port < 1 || r.Port > 255) {
                error = QStringLiteral("--port: '%1' is not a port number 1..255").arg(v);
                return false;
            }
        } else if (a == "--link") {
            if (!value(r.Link)) return false;
            if (r.Link.isEmpty()) {
                error = QStringLiteral("--link needs a path");
                return false;
            }
        } else if (a == "--dose-rate") {
            if (!value(v)) return false;
            const double d = v.toDouble(&ok);
            if (!ok || d < 0 || d > 1e7) {
                error = QStringLiteral("--dose-rate: '%1' is not a level 0..1e7 uSv/h").arg(v);
                return false;
            }
            r.Options.DoseRateLevel = d * 1e-6;
        } else if (a == "--archive-records") {
            if (!value(v)) return false;
            r.Options.ArchiveRecords = v.toInt(&ok);
            if (!ok || r.Options.ArchiveRecords < 0 || r.Options.ArchiveRecords > 902) {
                error = QStringLiteral("--archive-records: '%1' is not 0..902").arg(v);
                return false;
            }
        } else if (a == "--archive-pages") {
            if (!value(v)) return false;
            r.Options.ArchivePages = v.toInt(&ok);
            if (!ok || r.Options.ArchivePages < 1 || r.Options.ArchivePages > 902) {
                error = QStringLiteral("--archive-pages: '%1' is not 1..902").arg(v);
                return false;
            }
        } else if (a == "--archive-gaps") {
            r.Options.ArchiveGaps = true;
        } else if (a == "--clock-offset") {
            if (!value(v)) return false;
            r.Options.ClockOffset = v.toLongLong(&ok);
            if (!ok || r.Options.ClockOffset < -400LL * 86400 * 365 ||
                r.Options.ClockOffset > 400LL * 86400 * 365) {
                error = QStringLiteral("--clock-offset: '%1' is not a number of seconds").arg(v);
                return false;
            }
        } else if (a == "--pacing") {
            if (!value(v)) return false;
            if (v != "on" && v != "off") {
                error = QStringLiteral("--pacing takes on or off, not '%1'").arg(v);
                return false;
            }
            r.Options.Pacing = v == "on";
        } else if (a == "--seed") {
            if (!value(v)) return false;
            r.Options.Seed = v.toUInt(&ok);
            if (!ok) {
                error = QStringLiteral("--seed: '%1' is not a whole number").arg(v);
                return false;
            }
        } else if (a == "--no-noise") {
            r.Options.Noise = false;
        } else if (a == "--reopen") {
            r.Options.Reopen = true;
        } else if (a == "--fault" || a == "--fault-next") {
            if (!value(v)) return false;
            if (!ParseFault(v, a == "--fault-next", r.Options, error)) return false;
        } else {
            error = QStringLiteral("unknown option '%1' (see --help)").arg(a);
            return false;
        }
    }
    if (r.Port != 0 && !r.Link.isEmpty()) {
        error = QStringLiteral("--port and --link exclude each other");
        return false;
    }
    result = r;
    return true;
}

QString SimUsage() {
    QString kinds;
    for (int k = 0; k < FaultKindCount; ++k)
        kinds += QStringLiteral("    %1\n").arg(FaultNames[k]);
    return QStringLiteral(
               "Usage: halvex-sim [options]\n"
               "A simulated console unit on a pseudo-terminal. Prints 'ready <path>' once it "
               "answers\n"
               "and removes its link when it ends (SIGINT, SIGTERM).\n"
               "\n"
               "  --address HEX           device address, up to six hex digits (default 03C8FD)\n"
               "  --port N                link the line as COMN in the port folder\n"
               "                          (~/.local/share/halvex/ports)\n"
               "  --link PATH             link the line at PATH instead (without either option no\n"
               "                          link is made and the ready line names the "
               "pseudo-terminal)\n"
               "  --dose-rate USVH        dose-rate level in uSv/h (default 0.15)\n"
               "  --archive-records N     archive records at power-on, 0..902 (default 240)\n"
               "  --archive-pages N       sessions they fall into; time goes back between\n"
               "                          sessions (default 3)\n"
               "  --archive-gaps          an empty slot between sessions (each adds an empty "
               "page)\n"
               "                          and every 25th slot of a session without a usable "
               "record\n"
               "  --clock-offset S        device clock minus PC clock at power-on, seconds "
               "(default 0)\n"
               "  --pacing on|off         send at 115200 baud, 10 bits a byte (default on)\n"
               "  --seed N                seed of the noise and of the fault rates (default 1)\n"
               "  --no-noise              no counting noise: values sit exactly on their levels\n"
               "  --reopen                after a hang-up fault open a new pseudo-terminal at the "
               "same\n"
               "                          link (default: end with exit status 3)\n"
               "  --fault KIND=RATE[,P]   spoil replies with probability RATE (0..1)\n"
               "  --fault-next KIND=N[,P] spoil the next N replies\n"
               "                          P: bytes kept for cut (default 10), ms for delay (200)\n"
               "  --help                  this text\n"
               "\n"
               "Fault kinds (at most one per reply, tried in this order):\n") +
           kinds;
}
