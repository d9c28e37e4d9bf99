#pragma once
// Hand-made archive buffers: slots written field by field.
#include "archive/ArchiveRecords.h"

#include <cstring>

struct TSlotFields {
    float Value = 1e-6f; // stored value; shown x 1e6
    int Minute = 0;      // minutes after 10:00 on 3 April 2019, the time stamp
    MeasurementKind Kind = MeasurementKind::DoseRate;
    bool Coordinates = false;
    float Latitude = 0, Longitude = 0;
};

inline void ClearArchive() {
    std::memset(ArchiveBuffer, 0, sizeof ArchiveBuffer);
}

inline void PutSlot(int i, const TSlotFields& s, int hours = 10, int day = 3, int month = 4,
                    int year = 19) {
    TArchiveEntry e{};
    e.Latitude = s.Latitude;
    e.Longitude = s.Longitude;
    e.Value = s.Value;
    e.SecondsFlags = uint8_t(s.Coordinates ? 0x80 : 0);
    e.Minutes = uint8_t(s.Minute % 60);
    e.Hours = uint8_t(hours + s.Minute / 60);
    e.KindDay = uint8_t(uint8_t(s.Kind) << 6 | day);
    e.Month = uint8_t(month);
    e.Year = uint8_t(year);
    std::memcpy(ArchiveBuffer + size_t(i) * ArchiveSlotSize, &e, ArchiveSlotSize);
}
