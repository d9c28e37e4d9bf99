#pragma once
// The rules behind the live views: how dose values, times and the memory fill read, where the
// chart axes end and when a chart point lies. Pure functions; the views put the results on screen.
#include <QString>
#include <cstdint>

// What a value label shows while there is no value to show.
inline QString NoValueText() {
    return QStringLiteral("- - -");
}

enum class TDoseUnit { Micro, Milli, Whole };

struct TDoseText {
    QString Value;
    TDoseUnit Unit;
};

// x in uSv/h or uSv. False for a NaN, which has no unit: the labels then keep what they showed.
bool FormatDoseValue(float x, TDoseText& out);
// Unit texts; `dose` picks Sv over Sv/h.
QString DoseUnitText(TDoseUnit unit, bool dose, bool english);

// Dose accumulation time, with a leading space: " 2 дня 3 ч 4 мин".
QString FormatAccumulationTime(uint32_t seconds, bool english);
// Remaining battery time, no leading space and no plural forms: "2 час 1 мин".
QString FormatRemainingTime(uint32_t seconds, bool english);

constexpr uint32_t ArchiveCapacity = 902;

enum class TFillColour { Keep, Green, Yellow, Red };

struct TMemoryFill {
    QString Text;       // "80%"
    int Position;       // progress bar position, 0 .. ArchiveCapacity
    TFillColour Colour; // Keep: no threshold matched (only a fill of exactly 95 %)
};
TMemoryFill MemoryFill(uint32_t records, bool memoryFull);

// Left-axis maximum of the dose-rate chart: 8/7 of the largest value.
double DoseAxisMax(float chartMax);
// Left-axis maximum of the spectrum: M + M div 7.
int64_t SpectrumAxisMax(int32_t m);

// The chart's date-time of a moment: local standard time (no daylight saving) as days since
// 1899-12-30, to whole seconds.
double ChartTime(int64_t secondsSince1970);
// A chart date-time as the seconds the charts' date-time ticker counts. The moments are local
// standard time, so the ticker is to show them as it would show UTC, without further offset.
double ChartKey(double chartTime);
