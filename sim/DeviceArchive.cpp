#include "sim/DeviceModel.h"

#include <algorithm>
#include <cmath>
#include <ctime>

// The archive: sessions generated at start, records added while measuring, erasing, and the read
// position that each archive read steps on.

namespace {

constexpr double ArchiveGapSeconds = 2.0;

void PutTimeFields(int64_t t, TArchiveEntry& e) {
    time_t tt = static_cast<time_t>(t);
    tm local{};
    localtime_r(&tt, &local);
    e.SecondsFlags = static_cast<uint8_t>((e.SecondsFlags & 0xC0) | (local.tm_sec & 0x3F));
    e.Minutes = static_cast<uint8_t>(local.tm_min);
    e.Hours = static_cast<uint8_t>(local.tm_hour);
    e.KindDay = static_cast<uint8_t>((e.KindDay & 0xC0) | (local.tm_mday & 0x3F));
    e.Month = static_cast<uint8_t>(local.tm_mon + 1);
    e.Year = static_cast<uint8_t>(std::clamp(local.tm_year - 100, 0, 255));
}

} // namespace

// Records the measurement just made, as the recording mode asks.
void TDeviceModel::RecordLive() {
    if (Records >= SimArchiveCapacity) return;
    const uint8_t mode = Set.RecordingMode;
    const double since = DeviceSeconds - LastRecordAt;
    bool record = (mode & RecordEveryMeasurement) || ((mode & RecordEveryMinute) && since >= 60) ||
                  ((mode & RecordEveryHour) && since >= 3600);
    if ((mode & RecordOnChange) && LastRecordedRate >= 0 &&
        std::fabs(MeasuredRate - LastRecordedRate) > LastRecordedRate * 0.5)
        record = true;
    if (LastRecordedRate < 0) LastRecordedRate = MeasuredRate;
    if (record && DeviceSeconds > 0) {
        TArchiveEntry e{};
        e.Value = static_cast<float>(MeasuredRate);
        if (Set.Options & OptionGps) {
            e.Latitude = 55.7512f + float(Gauss() * 0.0001);
            e.Longitude = 37.6184f + float(Gauss() * 0.0001);
            e.SecondsFlags = 0x80;
        }
        PutTimeFields(DeviceTime(), e);
        Slots[Records++] = e;
        LastRecordAt = DeviceSeconds;
        LastRecordedRate = MeasuredRate;
    }
}

void TDeviceModel::StepArchiveRead() {
    if (RealTimeOn && std::chrono::steady_clock::now() - LastArchiveRead >
                          std::chrono::duration<double>(ArchiveGapSeconds))
        RewindArchive();
    LastArchiveRead = std::chrono::steady_clock::now();
    if (ReadPosition < 0) {
        Entry = TArchiveEntry{};
        ReadPosition = 0;
    } else {
        Entry = Slots[ReadPosition];
        ReadPosition = ReadPosition + 1 < SimArchiveCapacity ? ReadPosition + 1 : -1;
    }
}

void TDeviceModel::EraseArchive() {
    Slots.fill(TArchiveEntry{});
    Records = 0;
    LastRecordAt = DeviceSeconds;
    RewindArchive();
}

void TDeviceModel::GenerateArchive(int records, int pages, bool gaps) {
    Slots.fill(TArchiveEntry{});
    Records = 0;
    RewindArchive();
    records = std::clamp(records, 0, SimArchiveCapacity);
    if (records == 0) return;
    pages = std::clamp(pages, 1, records);
    // Sessions are stored newest first in time: each starts three days before the one before
    // it began, so the time stamps go backwards at every session boundary.
    int64_t sessionStart = DeviceTime() - 86400;
    int slot = 0;
    for (int p = 0; p < pages && slot < SimArchiveCapacity; ++p) {
        const int inSession = records / pages + (p < records % pages ? 1 : 0);
        if (gaps && p > 0 && slot < SimArchiveCapacity) ++slot; // an empty slot between sessions
        const bool withCoordinates = p % 2 == 0;
        const double level = Level * (0.6 + 0.3 * p);
        for (int k = 0; k < inSession && slot < SimArchiveCapacity; ++k, ++slot) {
            TArchiveEntry e{};
            const int kindSelector = k % 10;
            const uint8_t kind = kindSelector == 3   ? 1
                                 : kindSelector == 6 ? 2
                                 : kindSelector == 9 ? 3
                                                     : 0;
            double shown; // the value as shown, before the x 1e6 of the display
            switch (kind) {
            case 1:
                shown = 12.0 + 4.0 * std::fabs(Gauss());
                break; // Bq/g
            case 2:
                shown = 25.0 + 5.0 * std::fabs(Gauss());
                break; // 1/(min cm2)
            case 3:
                shown = 0.8 + 0.2 * std::fabs(Gauss());
                break;
            default:
                shown = std::max(0.01, level * 1e6 * (1.0 + 0.1 * Gauss()));
                break;
            }
            e.Value = static_cast<float>(shown / 1e6);
            if (gaps && k % 25 == 12) e.Value = 0; // measurement abandoned: slot kept, no record
            if (withCoordinates) {
                e.Latitude = 55.7512f + float(k) * 0.0002f;
                e.Longitude = 37.6184f + float(k) * 0.0003f;
                e.SecondsFlags = 0x80;
            }
            e.KindDay = static_cast<uint8_t>(kind << 6);
            // Two records stored within one second share a time stamp; they stay on one page.
            const int64_t step = gaps && k % 25 == 20 ? k - 1 : k;
            PutTimeFields(sessionStart + step * 60, e);
            Slots[slot] = e;
        }
        sessionStart -= 3 * 86400;
    }
    Records = static_cast<uint32_t>(slot);
}
