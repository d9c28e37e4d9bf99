#include "ctl/CtlCommands.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>
#include <unistd.h>

#include "archive/ArchiveExport.h"
#include "archive/ArchiveRecords.h"
#include "archive/ArchiveText.h"
#include "archive/ArchiveTransfer.h"
#include "connection/Clock.h"
#include "connection/ClockSync.h"
#include "connection/PollStep.h"
#include "connection/PortKeeper.h"
#include "connection/PortScan.h"
#include "link/Address.h"
#include "link/Catalogue.h"
#include "link/Frame.h"
#include "link/ObjectRequests.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "link/WireLog.h"
#include "settings/AddressChange.h"
#include "settings/SettingsValues.h"
#include "views/Numbers.h"

namespace {

constexpr int PollIntervalMs = 600; // the program's polling cycle

volatile std::sig_atomic_t StopRequested = 0;

void Print(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void PrintError(const QString& text) {
    std::fputs(("halvexctl: " + text + '\n').toUtf8().constData(), stderr);
}

QString FloatText(float x) {
    return QString::fromStdString(ShortestFloatText(x));
}

QJsonValue FloatJson(float x) {
    return std::isfinite(x) ? QJsonValue(FloatText(x).toDouble()) : QJsonValue();
}

QString PortName(uint8_t n) {
    return QStringLiteral("COM%1").arg(n);
}

// The tool speaks English.
QString OpenProblemOrNoDevice() {
    return LastOpenProblem.Empty() ? QStringLiteral("no such device")
                                   : QString::fromStdString(LastOpenProblem.English);
}

class TCtl {
  public:
    explicit TCtl(const TCtlOptions& o) : Options(o) {}
    ~TCtl() { ClosePort(); }

    int Run();

  private:
    // One line on standard error naming the port and what failed; ExitDeviceFailed.
    int Fail(const QString& what) {
        PrintError(Port ? PortName(Port) + QStringLiteral(": ") + what : what);
        return ExitDeviceFailed;
    }
    // Why the last request of `what` failed, from the link's state.
    int RequestFailed(const QString& what) {
        if (!Link.PortHandle) return Fail(what + QStringLiteral(": the port is not open"));
        if (Link.PortHandle->HungUp())
            return Fail(what + QStringLiteral(": the line is gone (cable pulled or port ended)"));
        if (Link.LastReplyOutcome == TReplyOutcome::AnsweredNotDelivered)
            return Fail(what + QStringLiteral(": the console unit's answer arrived damaged or "
                                              "was refused"));
        return Fail(what + QStringLiteral(": no answer from the console unit at address ") +
                    QString::fromStdString(FormatAddressText(Link.DeviceAddress)));
    }
    bool Read(uint8_t index) { return ReadObject(index) == 1; }
    // Opens the port given, or finds the console unit as the program's start-up does. False
    // after the failure was reported.
    bool Connect();

    int Ports();
    int Probe();
    int Status();
    int Watch();
    int ArchiveRead();
    int ArchiveErase();
    int SettingsGet();
    int SettingsSet();
    int AddressSet();
    int ClockSync();
    int ClockShow();

    const TCtlOptions& Options;
    uint8_t Port = 0;
    TWireLog WireLog;
};

bool TCtl::Connect() {
    if (Options.Port) {
        Port = Options.Port;
        if (OpenPort(Port)) return true;
        Fail(OpenProblemOrNoDevice());
        return false;
    }
    TOpenProblems problems;
    uint8_t found = 0;
    if (ScanPorts(found, problems) == TScanOutcome::Found) {
        Port = found;
        return true;
    }
    QString text = QStringLiteral("no console unit answered at address %1 on COM1..COM%2")
                       .arg(QString::fromStdString(FormatAddressText(Link.DeviceAddress)))
                       .arg(LastScannedPort);
    if (!problems.Text().isEmpty())
        text += QStringLiteral("; ports that did not open: ") +
                problems.Text().replace(QLatin1Char('\n'), QStringLiteral("; "));
    Fail(text);
    return false;
}

int TCtl::Ports() {
    for (int n = 1; n <= 255; ++n) {
        const QString device = QString::fromStdString(PortDeviceName(static_cast<uint8_t>(n)));
        if (device.isEmpty()) continue;
        QString where = device;
        const QFileInfo info(device);
        if (info.isSymLink()) where += QStringLiteral(" -> ") + info.symLinkTarget();
        QString state = QStringLiteral("opens");
        if (!OpenPort(static_cast<uint8_t>(n)))
            state = QStringLiteral("does not open: ") + OpenProblemOrNoDevice();
        ClosePort();
        Print(QStringLiteral("%1\t%2\t%3\n").arg(PortName(uint8_t(n)), where, state));
    }
    return ExitOk;
}

int TCtl::Probe() {
    if (!Connect()) return ExitDeviceFailed;
    // A port found by the search has answered already; a port given has not.
    if (Options.Port && !ProbePort()) return RequestFailed(QStringLiteral("settings read"));
    Print(QStringLiteral("%1\n").arg(Port));
    return ExitOk;
}

QJsonObject BatteryJson(const TBattery& b) {
    return {{QStringLiteral("charge_percent"), b.Charge},
            {QStringLiteral("condition_percent"), b.Condition},
            {QStringLiteral("temperature_c"), FloatJson(b.Temperature)},
            {QStringLiteral("current_ma"), FloatJson(b.Current)},
            {QStringLiteral("remaining_s"), qint64(b.RemainingTime)}};
}

QString BatteryText(const TBattery& b) {
    return QStringLiteral("charge %1 %, condition %2 %, %3 C, %4 mA, %5 s remaining")
        .arg(b.Charge)
        .arg(b.Condition)
        .arg(FloatText(b.Temperature), FloatText(b.Current))
        .arg(b.RemainingTime);
}

QString DeviceTimeText(const TMeasurementData& m) {
    return QStringLiteral("%1:%2:%3")
        .arg(m.ClockHours, 2, 10, QLatin1Char('0'))
        .arg(m.ClockMinutes, 2, 10, QLatin1Char('0'))
        .arg(m.ClockSeconds, 2, 10, QLatin1Char('0'));
}

int TCtl::Status() {
    if (!Connect()) return ExitDeviceFailed;
    if (!Read(Obj::MeasurementData)) return RequestFailed(QStringLiteral("measurement read"));
    if (!Read(Obj::ConsoleBattery)) return RequestFailed(QStringLiteral("console battery read"));
    if (!Read(Obj::DetectorBattery))
        return RequestFailed(QStringLiteral("detection unit battery read"));
    const TMeasurementData& m = MeasurementData;
    QStringList alarms;
    if (m.Status & StatusDoseRateAlarm) alarms << QStringLiteral("dose_rate");
    if (m.Status & StatusDoseAlarm) alarms << QStringLiteral("dose");
    if (m.Status & StatusMemoryFull) alarms << QStringLiteral("memory_full");
    const float doseRate = m.DoseRate * 1e6f, dose = m.Dose * 1e6f;
    if (Options.Json) {
        const QJsonObject o{{QStringLiteral("port"), Port},
                            {QStringLiteral("dose_rate_usv_h"), FloatJson(doseRate)},
                            {QStringLiteral("dose_usv"), FloatJson(dose)},
                            {QStringLiteral("accumulation_time_s"), qint64(m.AccumulationTime)},
                            {QStringLiteral("alarms"), QJsonArray::fromStringList(alarms)},
                            {QStringLiteral("archive_records"), qint64(m.RecordCount)},
                            {QStringLiteral("device_time"), DeviceTimeText(m)},
                            {QStringLiteral("console_battery"), BatteryJson(ConsoleBattery)},
                            {QStringLiteral("detector_battery"), BatteryJson(DetectorBattery)}};
        Print(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)));
        return ExitOk;
    }
    Print(QStringLiteral("port: %1\n"
                         "dose_rate: %2 uSv/h\n"
                         "dose: %3 uSv\n"
                         "accumulation_time: %4 s\n"
                         "alarms: %5\n"
                         "archive_records: %6\n"
                         "device_time: %7\n"
                         "console_battery: %8\n"
                         "detector_battery: %9\n")
              .arg(PortName(Port), FloatText(doseRate), FloatText(dose))
              .arg(m.AccumulationTime)
              .arg(alarms.isEmpty() ? QStringLiteral("none") : alarms.join(QLatin1Char(',')))
              .arg(m.RecordCount)
              .arg(DeviceTimeText(m), BatteryText(ConsoleBattery), BatteryText(DetectorBattery)));
    return ExitOk;
}

extern "C" void RequestStop(int) {
    StopRequested = 1;
}

int TCtl::Watch() {
    if (!Connect()) return ExitDeviceFailed;
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    MarkPortInUse();
    int lines = 0;
    bool lost = false, silent = false;
    // Polling goes on through a lost line or a silent device, as the program's does; each change
    // is said once.
    auto say = [this](const QString& what) {
        PrintError(PortName(Port) + QStringLiteral(": ") + what);
    };
    auto noteLost = [&] {
        if (!lost) say(QStringLiteral("the line is gone; opening it again every 2 s"));
        lost = true;
    };
    TPollStep step;
    step.SyncClock = false;
    step.AfterRead = [&](uint8_t index, bool delivered) {
        const TPortChange change = KeepPortAfterExchange();
        if (change == TPortChange::Back) {
            say(QStringLiteral("the line is back"));
            lost = silent = false;
        } else if (change == TPortChange::Lost) {
            noteLost();
        }
        if (lost || index != Obj::MeasurementData || delivered == !silent) return;
        silent = !delivered;
        say(silent ? QStringLiteral("no answer, polling goes on")
                   : QStringLiteral("answering again"));
    };
    step.NewMeasurement = [&] {
        const TMeasurementData& m = MeasurementData;
        Print(QStringLiteral("%1,%2,%3,%4\n")
                  .arg(QDateTime::fromSecsSinceEpoch(NowSeconds())
                           .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")),
                       DeviceTimeText(m), FloatText(m.DoseRate * 1e6f), FloatText(m.Dose * 1e6f)));
        ++lines;
    };
    while (!StopRequested && (Options.Count == 0 || lines < Options.Count)) {
        const auto next =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(PollIntervalMs);
        if (KeepPortBeforeStep(Port) == TPortChange::Lost) noteLost();
        PollMeasurementStep(step);
        if (Options.Count && lines >= Options.Count) break;
        std::this_thread::sleep_until(next);
    }
    return ExitOk;
}

int TCtl::ArchiveRead() {
    if (!Connect()) return ExitDeviceFailed;
    const bool terminal = isatty(STDERR_FILENO) == 1;
    int reached = 0;
    TArchiveReadHooks hooks;
    hooks.Progress = [&](int position, int stored, int failures) {
        reached = stored;
        if (terminal)
            std::fprintf(stderr, "\rReading the archive: %d / %d slots, %d failed reads ", stored,
                         ArchiveSlotCount, failures);
        (void)position;
    };
    const TArchiveReadResult result = ReadArchive(hooks);
    if (terminal) std::fputs("\n", stderr);
    if (!result.Completed)
        return RequestFailed(QStringLiteral("archive read stopped after %1 of %2 slots (%3 "
                                            "failed reads), nothing written")
                                 .arg(reached)
                                 .arg(ArchiveSlotCount)
                                 .arg(result.Failures));
    if (!result.Damaged.empty())
        if (auto text = DamagedAnswersText(result.Damaged))
            PrintError(PortName(Port) + ": " + *text);

    // The same pass as the archive tab after a complete read: pages, and archive.txt's lines.
    PageCount =
        ScanArchive(1, Options.Txt ? TSlotAction(AppendExportLine) : TSlotAction(), {}).PageCount;
    const std::vector<TExportRecord> records = ArchiveExportRecords();
    int status = ExitOk;
    auto write = [&](const QString& path, const std::string& content) {
        if (path.isEmpty()) return;
        std::string error;
        if (!WriteFileWhole(QFile::encodeName(path).toStdString(), content, error)) {
            PrintError(
                QStringLiteral("%1 not written: %2").arg(path, QString::fromStdString(error)));
            status = ExitDeviceFailed;
        }
    };
    if (!Options.CsvFile.isEmpty()) write(Options.CsvFile, ArchiveCsv(records));
    if (!Options.JsonFile.isEmpty()) write(Options.JsonFile, ArchiveJson(records));
    if (!Options.GpxFile.isEmpty()) {
        int skipped = 0;
        const std::string gpx = ArchiveGpx(records, skipped);
        if (skipped > 0)
            PrintError(QStringLiteral("%1 records with coordinates left out of %2: impossible "
                                      "date or coordinates")
                           .arg(skipped)
                           .arg(Options.GpxFile));
        write(Options.GpxFile, gpx);
    }
    return status;
}

int TCtl::ArchiveErase() {
    if (!Connect()) return ExitDeviceFailed;
    return EraseArchive() ? ExitOk : RequestFailed(QStringLiteral("archive erase"));
}

int TCtl::SettingsGet() {
    if (!Connect()) return ExitDeviceFailed;
    if (!Read(Obj::DeviceSettings)) return RequestFailed(QStringLiteral("settings read"));
    const TSettingValues values = SettingValues(ControlsOfSettings(DeviceSettings));
    if (!Options.Json) {
        for (const auto& [key, value] : values)
            Print(key + QLatin1Char('=') + value + QLatin1Char('\n'));
        return ExitOk;
    }
    QJsonObject o;
    for (const auto& [key, value] : values) {
        if (key == QLatin1String("screens"))
            o.insert(key,
                     QJsonArray::fromStringList(value.split(QLatin1Char(','), Qt::SkipEmptyParts)));
        else if (key.endsWith(QLatin1String("threshold")) || key == QLatin1String("brightness"))
            o.insert(key, value.toDouble());
        else
            o.insert(key, value);
    }
    Print(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)));
    return ExitOk;
}

int TCtl::SettingsSet() {
    // Every pair is checked before the device is asked anything.
    std::vector<std::pair<QString, QString>> pairs;
    TSettingsControls check;
    for (const QString& operand : Options.Operands) {
        const int eq = operand.indexOf(QLatin1Char('='));
        QString error;
        if (eq <= 0)
            error = QStringLiteral("'%1' is not KEY=VALUE.").arg(operand);
        else if (ApplySettingValue(operand.left(eq), operand.mid(eq + 1), check, error))
            pairs.emplace_back(operand.left(eq), operand.mid(eq + 1));
        if (!error.isEmpty()) {
            PrintError(error);
            return ExitUsage;
        }
    }
    if (!Connect()) return ExitDeviceFailed;
    if (!Read(Obj::DeviceSettings)) return RequestFailed(QStringLiteral("settings read"));
    // Keys not given keep the values just read.
    TSettingsControls controls = ControlsOfSettings(DeviceSettings);
    for (const auto& [key, value] : pairs) {
        QString error;
        ApplySettingValue(key, value, controls, error);
    }
    if (auto refusal = ComposeSettingsWrite(controls, DeviceSettings)) {
        PrintError(*refusal);
        return ExitUsage;
    }
    const TSettingValues wanted = ExpectedSettingValues(controls, DeviceSettings);
    if (WriteObject(Obj::DeviceSettingsWrite) != 1)
        return RequestFailed(QStringLiteral("settings write"));
    if (!Read(Obj::DeviceSettings))
        return RequestFailed(QStringLiteral("settings read after the write"));
    const QStringList differing =
        DifferingSettings(wanted, SettingValues(ControlsOfSettings(DeviceSettings)));
    if (!differing.isEmpty())
        return Fail(QStringLiteral("the console unit did not take %1")
                        .arg(differing.join(QStringLiteral(", "))));
    return ExitOk;
}

int TCtl::AddressSet() {
    const QString target = Options.Operands[0], text = Options.Operands[1];
    uint8_t next[3];
    if (!ParseAddressText(text.toStdString(), next)) {
        PrintError(QString::fromStdString(InvalidIntegerMessage(text.toStdString())));
        return ExitUsage;
    }
    uint8_t object = 0;
    uint8_t* variable = nullptr;
    if (target == QLatin1String("module1")) {
        object = Obj::Module1Address;
        variable = DeviceSettings.Module1Address;
    } else if (target == QLatin1String("module2")) {
        object = Obj::Module2Address;
        variable = DeviceSettings.Module2Address;
    } else if (target != QLatin1String("console")) {
        PrintError(
            QStringLiteral("address set takes module1, module2 or console, not '%1'.").arg(target));
        return ExitUsage;
    }
    if (!Connect()) return ExitDeviceFailed;
    if (!variable)
        return ChangeConsoleAddress(Link.DeviceAddress, next) == 1
                   ? ExitOk
                   : RequestFailed(QStringLiteral("console address write"));
    std::copy(next, next + 3, variable);
    return WriteObject(object) == 1 ? ExitOk
                                    : RequestFailed(target + QStringLiteral(" address write"));
}

int TCtl::ClockSync() {
    if (!Connect()) return ExitDeviceFailed;
    return WriteDeviceClock() == 1 ? ExitOk : RequestFailed(QStringLiteral("clock write"));
}

int TCtl::ClockShow() {
    if (!Connect()) return ExitDeviceFailed;
    if (!Read(Obj::MeasurementData)) return RequestFailed(QStringLiteral("measurement read"));
    const TMeasurementData& m = MeasurementData;
    const int64_t now = NowSeconds();
    Print(QStringLiteral("%1\n").arg(FoldedClockDifference(
        DeviceTimeOnPcDate(now, m.ClockHours, m.ClockMinutes, m.ClockSeconds) - now)));
    return ExitOk;
}

int TCtl::Run() {
    ComputeEncodedSizes(ObjectTable, ObjectCount);
    std::copy(Options.Address, Options.Address + 3, Link.DeviceAddress);
    if (!Options.WireLog.isEmpty()) {
        std::string error;
        if (!WireLog.Open(Options.WireLog.toStdString(), error)) {
            PrintError(QString::fromStdString(error));
            return ExitDeviceFailed;
        }
        SetWireTap(
            [this](TWireEvent e, const uint8_t* d, int n) { WireLog.Record(e, d, n, true); });
    }
    const QString& c = Options.Command;
    if (c == QLatin1String("ports")) return Ports();
    if (c == QLatin1String("probe")) return Probe();
    if (c == QLatin1String("status")) return Status();
    if (c == QLatin1String("watch")) return Watch();
    if (c == QLatin1String("archive read")) return ArchiveRead();
    if (c == QLatin1String("archive erase")) return ArchiveErase();
    if (c == QLatin1String("settings get")) return SettingsGet();
    if (c == QLatin1String("settings set")) return SettingsSet();
    if (c == QLatin1String("address set")) return AddressSet();
    if (c == QLatin1String("clock sync")) return ClockSync();
    return ClockShow();
}

} // namespace

int RunCtlCommand(const TCtlOptions& options) {
    TCtl ctl(options);
    const int status = ctl.Run();
    SetWireTap({});
    return status;
}
