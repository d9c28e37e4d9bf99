#pragma once
// The program's copy of the device archive: 902 slots of one record each, how a slot decodes,
// where the archive ends and how it falls into pages (time going back, or an empty slot, starts
// a new page). Pure code: no widgets, no link traffic.
#include "link/Catalogue.h"
#include "views/LiveFormat.h" // ArchiveCapacity, shared with the memory-fill bar

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>

constexpr int ArchiveSlotCount = static_cast<int>(ArchiveCapacity); // 902
constexpr size_t ArchiveSlotSize = ArchiveRecordSize;               // 18
// The zero tail after the last slot reads as one more empty slot, so the scan can always look at
// the slot after the current one.
constexpr size_t ArchiveTailSize = 14;
constexpr size_t ArchiveBufferSize = ArchiveSlotCount * ArchiveSlotSize + ArchiveTailSize;

// One record as the device delivers it: the block that ArchiveEntry holds after a read.
using ArchiveRecord = TArchiveEntry;

extern uint8_t ArchiveBuffer[ArchiveBufferSize];

enum class MeasurementKind : uint8_t { DoseRate = 0, Activity = 1, BetaFlux = 2, AlphaFlux = 3 };

struct DecodedRecord {
    int Slot = 0;        // slot number n, 1..902
    double Value = 0;    // field 3 x 1e6, as shown
    bool Usable = false; // Value > 0
    MeasurementKind Kind = MeasurementKind::DoseRate;
    bool HasCoordinates = false;
    float Latitude = 0, Longitude = 0; // as the device stored them
    int Seconds = 0, Minutes = 0, Hours = 0, Day = 0, Month = 0;
    int Year = 2000;
    int32_t Time = 0;     // seconds since 1970; for a slot without a record, the one before it
    int Page = 0;         // the page of a usable record, set by the scan; 0 otherwise
    double ChartTime = 0; // local standard time, days since 1899-12-30
};

struct PageSummary {
    int Count = 0;
    float Sum = 0;
    float Maximum = 0;
    float Minimum = 10000000;
    int32_t FirstTime = 0, LastTime = 0;

    float Average() const { return Count > 0 ? Sum / float(Count) : 0.0f; }
    int32_t Duration() const { return LastTime - FirstTime; }
};

// Days, hours and minutes of a page's duration (whole units, the rest dropped).
struct TWorkingTime {
    int Days = 0, Hours = 0, Minutes = 0;
};
TWorkingTime WorkingTime(int32_t seconds);

// Archive state beside the buffer.
extern int PageCount;      // pages found by the last complete read, at least 1
extern int CurrentPage;    // page shown; 0 after an erase
extern bool ArchiveLoaded; // the last read filled all 902 slots

// Slot i (0..901) decoded: value, kind, flags, fields. Time and ChartTime are left to the scan.
DecodedRecord DecodeSlot(int i);
// All 18 bytes zero; i = 902 is the zero tail and always empty.
bool IsEmptySlot(int i);
// The time stamp of a record's fields as local time; the record's own date decides whether
// summer time applies.
int32_t RecordTime(const DecodedRecord& record);
// The same at full width: a year field past 2038 does not fit the device's 32-bit time stamp.
std::time_t RecordLocalTime(const DecodedRecord& record);

struct TScanResult {
    int PageCount = 1;
    PageSummary Summary;    // of the page to show
    bool AnyUsable = false; // a usable record was met on any page
};

using TSlotAction = std::function<void(const DecodedRecord& record)>;
// `soFar`: the page's summary with this record already in it (its Count - 1 records came before).
using TShownAction = std::function<void(const DecodedRecord& record, const PageSummary& soFar)>;

// Walks the slots in order up to the end of the archive. `perSlot` sees every slot processed
// (also those without a record), `perShown` every usable record of `pageToShow`. Either may be
// empty. Never changes the buffer, so two scans give the same records.
TScanResult ScanArchive(int pageToShow, const TSlotAction& perSlot, const TShownAction& perShown);
