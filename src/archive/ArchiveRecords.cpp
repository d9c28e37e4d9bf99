#include "archive/ArchiveRecords.h"

#include "views/LiveFormat.h"

#include <cstring>
#include <ctime>

uint8_t ArchiveBuffer[ArchiveBufferSize] = {};
int PageCount = 1;
int CurrentPage = 0;
bool ArchiveLoaded = false;

namespace {

float FloatAt(const uint8_t* p) {
    // The slot holds the little-endian image the device sent, as does this machine.
    float f;
    std::memcpy(&f, p, sizeof f);
    return f;
}

} // namespace

TWorkingTime WorkingTime(int32_t seconds) {
    TWorkingTime w;
    w.Days = seconds / 86400;
    w.Hours = seconds % 86400 / 3600;
    w.Minutes = seconds % 86400 % 3600 / 60;
    return w;
}

DecodedRecord DecodeSlot(int i) {
    DecodedRecord r;
    if (i < 0 || i >= ArchiveSlotCount) return r;
    const uint8_t* s = ArchiveBuffer + size_t(i) * ArchiveSlotSize;
    r.Slot = i + 1;
    r.Latitude = FloatAt(s);
    r.Longitude = FloatAt(s + 4);
    r.Value = double(FloatAt(s + 8)) * 1000000.0;
    r.Usable = r.Value > 0;
    r.HasCoordinates = (s[12] & 0x80) != 0;
    r.Seconds = s[12] & 0x3F;
    r.Minutes = s[13];
    r.Hours = s[14];
    r.Kind = static_cast<MeasurementKind>(s[15] >> 6);
    r.Day = s[15] & 0x3F;
    r.Month = s[16];
    r.Year = 2000 + s[17];
    return r;
}

bool IsEmptySlot(int i) {
    if (i >= ArchiveSlotCount) return true;
    if (i < 0) return false;
    const uint8_t* s = ArchiveBuffer + size_t(i) * ArchiveSlotSize;
    for (size_t k = 0; k < ArchiveSlotSize; ++k)
        if (s[k] != 0) return false;
    return true;
}

std::time_t RecordLocalTime(const DecodedRecord& record) {
    std::tm local{};
    local.tm_sec = record.Seconds;
    local.tm_min = record.Minutes;
    local.tm_hour = record.Hours;
    local.tm_mday = record.Day;
    local.tm_mon = record.Month - 1;
    local.tm_year = record.Year - 1900;
    // Unknown: a flag carried over from another date would put the first record of the other
    // season an hour off and could make or hide a page boundary.
    local.tm_isdst = -1;
    return std::mktime(&local);
}

int32_t RecordTime(const DecodedRecord& record) {
    return static_cast<int32_t>(RecordLocalTime(record));
}

TScanResult ScanArchive(int pageToShow, const TSlotAction& perSlot, const TShownAction& perShown) {
    TScanResult result;
    PageSummary& summary = result.Summary;
    int boundaries = 0;
    int32_t last = 0; // time stamp of the last usable record
    for (int i = 0; i < ArchiveSlotCount; ++i) {
        DecodedRecord r = DecodeSlot(i);
        r.Time = r.Usable ? RecordTime(r) : last;
        r.ChartTime = ChartTime(r.Time);
        if (r.Usable) {
            if (r.Time < last) ++boundaries;
            r.Page = boundaries + 1;
        }
        if (perSlot) perSlot(r);
        if (r.Usable) {
            result.AnyUsable = true;
            if (boundaries + 1 == pageToShow) {
                const float value = float(r.Value);
                if (summary.Count == 0) summary.FirstTime = r.Time;
                summary.LastTime = r.Time;
                ++summary.Count;
                summary.Sum = float(double(summary.Sum) + r.Value);
                if (value > summary.Maximum) summary.Maximum = value;
                if (value < summary.Minimum) summary.Minimum = value;
                if (perShown) perShown(r, summary);
            }
            last = r.Time;
        } else {
            const bool empty = IsEmptySlot(i);
            if (empty) ++boundaries;
            if (IsEmptySlot(i + 1)) {
                if (empty) --boundaries;
                break;
            }
        }
    }
    result.PageCount = boundaries + 1;
    return result;
}
