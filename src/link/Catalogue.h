#pragma once
// The fourteen objects of the console unit: their table indexes, ids, and the program-wide
// variables that hold their values. Several objects share variables: decoding one changes what
// the others send next. The objects' layout is described once (Catalogue.cpp) and bound either
// to these variables (ObjectTable) or to another owner's storage (the simulated console unit).
#include <cstddef>
#include <cstdint>

// Table indexes, by object name.
namespace Obj {
enum : uint8_t {
    SpectrumData = 0,
    SpectrumData2 = 1,
    MeasurementData = 2,
    ConsoleBattery = 3,
    DetectorBattery = 4,
    DeviceSettings = 5,
    DeviceSettingsWrite = 6,
    ArchiveEntry = 7,
    DeviceClock = 8,
    DeviceCommand = 9,
    ConsoleAddress = 10,
    Module1Address = 11,
    Module2Address = 12,
    TaggedAddress = 13,
};
}

// Object ids as they travel in the payload's first byte, by the same names.
namespace ObjectId {
constexpr uint8_t SpectrumData = 0x03;
constexpr uint8_t SpectrumData2 = 0x06;
constexpr uint8_t MeasurementData = 0x00;
constexpr uint8_t ConsoleBattery = 0x04;
constexpr uint8_t DetectorBattery = 0x01;
constexpr uint8_t DeviceSettings = 0x11;
constexpr uint8_t DeviceSettingsWrite = 0x12;
constexpr uint8_t ArchiveEntry = 0x05;
constexpr uint8_t DeviceClock = 0x14;
constexpr uint8_t DeviceCommand = 0x16;
constexpr uint8_t ConsoleAddress = 0x0A;
constexpr uint8_t Module1Address = 0x13;
constexpr uint8_t Module2Address = 0x18;
constexpr uint8_t TaggedAddress = 0x02;
} // namespace ObjectId

// Values of a DeviceCommand write.
namespace DeviceCommandValue {
constexpr uint8_t ResetDose = 1;
constexpr uint8_t EraseArchive = 2;
} // namespace DeviceCommandValue

constexpr int SpectrumChannels = 14;

// Fields 1..23 of SpectrumData (and SpectrumData2, which shares them).
struct TSpectrumData {
    uint32_t Field1;
    uint32_t Counts[SpectrumChannels]; // fields 2..15: channels 1..14
    float Field16, Field17, Field18;
    uint32_t Field19;
    float Field20, Field21;
    uint8_t Field22, Field23;
};

struct TMeasurementData {
    float Field1;
    uint32_t RecordCount; // archive records stored, 902 = full
    float Uncertainty;    // percent
    float Dose;           // Sv
    uint32_t Field5;
    uint32_t AccumulationTime; // seconds
    float Field7, Field8;
    float DoseRate;       // Sv/h
    uint8_t ClockSeconds; // field 10
    uint8_t ClockMinutes; // field 11
    uint8_t ClockHours;   // field 12
    uint8_t Field13, Field14, Field15;
    uint8_t Status; // field 16
};

// Status bits of TMeasurementData::Status.
constexpr uint8_t StatusMemoryFull = 0x01;
constexpr uint8_t StatusDoseAlarm = 0x04;
constexpr uint8_t StatusDoseRateAlarm = 0x08;
constexpr uint8_t StatusNewMeasurement = 0x20;

struct TBattery {
    float Temperature;
    float Current;          // mA; above 0 while charging
    uint32_t RemainingTime; // seconds
    uint8_t Condition;      // percent
    uint8_t Charge;         // percent
};

// Fields 1..18 of DeviceSettings. Fields 8..13 and 18 are DeviceSettingsWrite; 6, 14 and 16 are
// the three address objects. Addresses are held most significant byte first.
struct TDeviceSettings {
    uint32_t Field1;
    float Field2;
    uint32_t Field3, Field4, Field5;
    uint8_t ConsoleAddress[3]; // field 6
    uint8_t Field7;
    float DoseRateThreshold;   // field 8, uSv/h
    float DoseThreshold;       // field 9
    uint8_t Brightness;        // field 10
    uint8_t DisplayMode;       // field 11
    uint8_t Options;           // field 12
    uint8_t RecordingMode;     // field 13
    uint8_t Module1Address[3]; // field 14
    uint8_t Module1Channel;    // field 15
    uint8_t Module2Address[3]; // field 16
    uint8_t Module2Channel;    // field 17
    uint8_t Screens;           // field 18
};

// Bits of TDeviceSettings::Options.
constexpr uint8_t OptionSound = 0x02;
constexpr uint8_t OptionRussian = 0x04;
constexpr uint8_t OptionAutoBrightness = 0x08;
constexpr uint8_t OptionGps = 0x10;
// Bits of TDeviceSettings::RecordingMode.
constexpr uint8_t RecordOnChange = 0x02;
constexpr uint8_t RecordEveryMinute = 0x04;
constexpr uint8_t RecordEveryHour = 0x08;
constexpr uint8_t RecordEveryMeasurement = 0x10;

// One archive record; the nine variables lie one after another and are copied as one block.
struct TArchiveEntry {
    float Latitude;
    float Longitude;
    float Value;
    uint8_t SecondsFlags; // bit 7 coordinates present, bits 0..5 seconds
    uint8_t Minutes;
    uint8_t Hours;
    uint8_t KindDay; // bits 6..7 kind, bits 0..5 day
    uint8_t Month;
    uint8_t Year; // minus 2000
};
constexpr size_t ArchiveRecordSize = 18;
static_assert(offsetof(TArchiveEntry, Year) + 1 == ArchiveRecordSize, "archive record block");

struct TTaggedAddress {
    uint8_t Value;
    uint8_t Address[3];
};

// The variables an object table is bound to. SpectrumData and SpectrumData2 may share one.
struct TObjectValues {
    TSpectrumData* Spectrum;
    TSpectrumData* Spectrum2;
    TMeasurementData* Measurement;
    TBattery* ConsoleBattery;
    TBattery* DetectorBattery;
    TDeviceSettings* Settings;
    TArchiveEntry* ArchiveEntry;
    uint8_t* DeviceClock; // 8 bytes
    uint8_t* DeviceCommand;
    TTaggedAddress* TaggedAddress;
};

struct TObjectEntry;
struct TFieldEntry;
// Field entries of all structure objects together.
constexpr int CatalogueFieldCount = 23 + 23 + 16 + 5 + 5 + 18 + 7 + 9 + 2;

// Fills `table` (ObjectCount entries, encoded sizes 0) and `fields` (CatalogueFieldCount entries,
// which the table points into) so that the fourteen objects read and write `values`.
void BindCatalogue(const TObjectValues& values, TObjectEntry* table, TFieldEntry* fields);

extern TSpectrumData SpectrumData;
extern TMeasurementData MeasurementData;
extern TBattery ConsoleBattery;
extern TBattery DetectorBattery;
extern TDeviceSettings DeviceSettings;
extern TArchiveEntry ArchiveEntry;
extern uint8_t DeviceClock[8]; // year-2000, month, day, hour, minute, second, 0, 0
extern uint8_t DeviceCommand;  // 1 reset dose, 2 erase archive
extern TTaggedAddress TaggedAddress;
