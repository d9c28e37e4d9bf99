#include "archive/ArchiveExport.h"

#include "views/Numbers.h"

#include <QString>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

std::string JsonNumber(float x) {
    return std::isfinite(x) ? ShortestFloatText(x) : "null";
}

// The shown value as the device's 32-bit float would hold it: field 3 x 1e6 done in double and
// rounded once, so 0.15 uSv/h is written as 0.15 and not as the double's 17 digits.
float ExportValue(const DecodedRecord& r) {
    return float(r.Value);
}

const char* KindName(MeasurementKind kind) {
    switch (kind) {
    case MeasurementKind::DoseRate:
        return "dose_rate";
    case MeasurementKind::Activity:
        return "activity";
    case MeasurementKind::BetaFlux:
        return "beta_flux";
    case MeasurementKind::AlphaFlux:
        return "alpha_flux";
    }
    return "";
}

const char* UnitName(MeasurementKind kind) {
    switch (kind) {
    case MeasurementKind::DoseRate:
        return "uSv/h";
    case MeasurementKind::Activity:
        return "Bq/g";
    case MeasurementKind::BetaFlux:
    case MeasurementKind::AlphaFlux:
        return "1/(min*cm2)";
    }
    return "";
}

// The record's own fields, unconverted and unchecked: a damaged field stays visible as it came.
std::string FieldTime(const DecodedRecord& r) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", r.Year, r.Month, r.Day, r.Hours,
                  r.Minutes, r.Seconds);
    return buf;
}

bool LeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

bool PossibleDate(const DecodedRecord& r) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (r.Month < 1 || r.Month > 12) return false;
    const int inMonth = days[r.Month - 1] + (r.Month == 2 && LeapYear(r.Year) ? 1 : 0);
    return r.Day >= 1 && r.Day <= inMonth && r.Hours < 24 && r.Minutes < 60 && r.Seconds < 60;
}

bool PossiblePlace(const DecodedRecord& r) {
    return std::isfinite(r.Latitude) && std::isfinite(r.Longitude) &&
           std::fabs(r.Latitude) <= 90.0f && std::fabs(r.Longitude) <= 180.0f;
}

// The record's local time as UTC, by the PC's time-zone rules for that date; false when the C
// library cannot place it.
bool UtcTime(const DecodedRecord& r, std::string& text) {
    const std::time_t t = RecordLocalTime(r);
    std::tm utc{};
    if (t == std::time_t(-1) || !gmtime_r(&t, &utc)) return false;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    text = buf;
    return true;
}

} // namespace

std::vector<TExportRecord> ArchiveExportRecords() {
    std::vector<TExportRecord> records;
    ScanArchive(1,
                [&records](const DecodedRecord& r) {
                    if (r.Usable) records.push_back({r, r.Page});
                },
                {});
    return records;
}

std::string ArchiveCsv(const std::vector<TExportRecord>& records) {
    std::string out = "slot,page,time,kind,value,unit,latitude,longitude\r\n";
    for (const TExportRecord& e : records) {
        const DecodedRecord& r = e.Record;
        out += std::to_string(r.Slot) + ',' + std::to_string(e.Page) + ',' + FieldTime(r) + ',' +
               KindName(r.Kind) + ',' + ShortestFloatText(ExportValue(r)) + ',' + UnitName(r.Kind) +
               ',';
        // No field holds a comma, quote or line break, so none needs quoting.
        if (r.HasCoordinates)
            out += ShortestFloatText(r.Latitude) + ',' + ShortestFloatText(r.Longitude);
        else
            out += ',';
        out += "\r\n";
    }
    return out;
}

std::string ArchiveJson(const std::vector<TExportRecord>& records) {
    std::string out = "[";
    const char* separator = "\n";
    for (const TExportRecord& e : records) {
        const DecodedRecord& r = e.Record;
        out += separator;
        separator = ",\n";
        out += "  {\"slot\": " + std::to_string(r.Slot) + ", \"page\": " + std::to_string(e.Page) +
               ", \"time\": \"" + FieldTime(r) + "\", \"kind\": \"" + KindName(r.Kind) +
               "\", \"value\": " + JsonNumber(ExportValue(r)) + ", \"unit\": \"" +
               UnitName(r.Kind) +
               "\", \"latitude\": " + (r.HasCoordinates ? JsonNumber(r.Latitude) : "null") +
               ", \"longitude\": " + (r.HasCoordinates ? JsonNumber(r.Longitude) : "null") + "}";
    }
    out += records.empty() ? "]\n" : "\n]\n";
    return out;
}

std::string ArchiveGpx(const std::vector<TExportRecord>& records, int& skipped) {
    skipped = 0;
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<gpx version=\"1.1\" creator=\"Halvex\" "
                      "xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    for (const TExportRecord& e : records) {
        const DecodedRecord& r = e.Record;
        if (!r.HasCoordinates) continue;
        std::string utc;
        if (!PossibleDate(r) || !PossiblePlace(r) || !UtcTime(r, utc)) {
            ++skipped;
            continue;
        }
        // The schema fixes the order of a waypoint's elements: time, then name, then desc.
        out += "  <wpt lat=\"" + ShortestFloatText(r.Latitude, true) + "\" lon=\"" +
               ShortestFloatText(r.Longitude, true) + "\">\n    <time>" + utc +
               "</time>\n    <name>slot " + std::to_string(r.Slot) + "</name>\n    <desc>" +
               ShortestFloatText(ExportValue(r)) + ' ' + UnitName(r.Kind) + ' ' + KindName(r.Kind) +
               "</desc>\n  </wpt>\n";
    }
    out += "</gpx>\n";
    return out;
}
