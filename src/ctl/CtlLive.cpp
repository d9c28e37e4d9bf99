#include "ctl/CtlSession.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <chrono>
#include <cmath>
#include <csignal>
#include <thread>

#include "base/Clock.h"
#include "connection/PollStep.h"
#include "connection/PortKeeper.h"
#include "link/Catalogue.h"
#include "link/ObjectTable.h"
#include "views/Numbers.h"

namespace {

constexpr int PollIntervalMs = 600; // the program's polling cycle

volatile std::sig_atomic_t StopRequested = 0;

QString FloatText(float x) {
    return QString::fromStdString(ShortestFloatText(x));
}

QJsonValue FloatJson(float x) {
    return std::isfinite(x) ? QJsonValue(FloatText(x).toDouble()) : QJsonValue();
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

extern "C" void RequestStop(int) {
    StopRequested = 1;
}

} // namespace

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
