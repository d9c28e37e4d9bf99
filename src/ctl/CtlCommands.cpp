#include "ctl/CtlCommands.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <algorithm>
#include <cstdio>

#include "base/Clock.h"
#include "connection/ClockSync.h"
#include "connection/PollStep.h"
#include "connection/PortScan.h"
#include "ctl/CtlSession.h"
#include "link/Address.h"
#include "link/Catalogue.h"
#include "link/Frame.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "settings/AddressChange.h"
#include "settings/SettingsValues.h"

void Print(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void PrintError(const QString& text) {
    std::fputs(("halvexctl: " + text + '\n').toUtf8().constData(), stderr);
}

QString PortName(uint8_t n) {
    return QStringLiteral("COM%1").arg(n);
}

namespace {

// The tool speaks English.
QString OpenProblemOrNoDevice() {
    return LastOpenProblem.Empty() ? QStringLiteral("no such device")
                                   : QString::fromStdString(LastOpenProblem.English);
}

} // namespace

int TCtl::Fail(const QString& what) {
    PrintError(Port ? PortName(Port) + QStringLiteral(": ") + what : what);
    return ExitDeviceFailed;
}

int TCtl::RequestFailed(const QString& what) {
    if (!Link.PortHandle) return Fail(what + QStringLiteral(": the port is not open"));
    if (Link.PortHandle->HungUp())
        return Fail(what + QStringLiteral(": the line is gone (cable pulled or port ended)"));
    if (Link.LastReplyOutcome == TReplyOutcome::AnsweredNotDelivered)
        return Fail(what + QStringLiteral(": the console unit's answer arrived damaged or "
                                          "was refused"));
    return Fail(what + QStringLiteral(": no answer from the console unit at address ") +
                QString::fromStdString(FormatAddressText(Link.DeviceAddress)));
}

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

int RunCtlCommand(const TCtlOptions& options) {
    TCtl ctl(options);
    const int status = ctl.Run();
    SetWireTap({});
    return status;
}
