#include "link/Catalogue.h"

#include "link/ObjectTable.h"

TSpectrumData SpectrumData;
TMeasurementData MeasurementData;
TBattery ConsoleBattery;
TBattery DetectorBattery;
TDeviceSettings DeviceSettings;
TArchiveEntry ArchiveEntry;
uint8_t DeviceClock[8];
uint8_t DeviceCommand;
TTaggedAddress TaggedAddress;

namespace {

TFieldEntry SpectrumFields[] = {
    {vt::U32, &SpectrumData.Field1},     {vt::U32, &SpectrumData.Counts[0]},
    {vt::U32, &SpectrumData.Counts[1]},  {vt::U32, &SpectrumData.Counts[2]},
    {vt::U32, &SpectrumData.Counts[3]},  {vt::U32, &SpectrumData.Counts[4]},
    {vt::U32, &SpectrumData.Counts[5]},  {vt::U32, &SpectrumData.Counts[6]},
    {vt::U32, &SpectrumData.Counts[7]},  {vt::U32, &SpectrumData.Counts[8]},
    {vt::U32, &SpectrumData.Counts[9]},  {vt::U32, &SpectrumData.Counts[10]},
    {vt::U32, &SpectrumData.Counts[11]}, {vt::U32, &SpectrumData.Counts[12]},
    {vt::U32, &SpectrumData.Counts[13]}, {vt::Float, &SpectrumData.Field16},
    {vt::Float, &SpectrumData.Field17},  {vt::Float, &SpectrumData.Field18},
    {vt::U32, &SpectrumData.Field19},    {vt::Float, &SpectrumData.Field20},
    {vt::Float, &SpectrumData.Field21},  {vt::U8, &SpectrumData.Field22},
    {vt::U8, &SpectrumData.Field23},
};

TFieldEntry MeasurementFields[] = {
    {vt::Float, &MeasurementData.Field1},      {vt::U32, &MeasurementData.RecordCount},
    {vt::Float, &MeasurementData.Uncertainty}, {vt::Float, &MeasurementData.Dose},
    {vt::U32, &MeasurementData.Field5},        {vt::U32, &MeasurementData.AccumulationTime},
    {vt::Float, &MeasurementData.Field7},      {vt::Float, &MeasurementData.Field8},
    {vt::Float, &MeasurementData.DoseRate},    {vt::U8, &MeasurementData.ClockSeconds},
    {vt::U8, &MeasurementData.ClockMinutes},   {vt::U8, &MeasurementData.ClockHours},
    {vt::U8, &MeasurementData.Field13},        {vt::U8, &MeasurementData.Field14},
    {vt::U8, &MeasurementData.Field15},        {vt::U8, &MeasurementData.Status},
};

TFieldEntry ConsoleBatteryFields[] = {
    {vt::Float, &ConsoleBattery.Temperature}, {vt::Float, &ConsoleBattery.Current},
    {vt::U32, &ConsoleBattery.RemainingTime}, {vt::U8, &ConsoleBattery.Condition},
    {vt::U8, &ConsoleBattery.Charge},
};

TFieldEntry DetectorBatteryFields[] = {
    {vt::Float, &DetectorBattery.Temperature}, {vt::Float, &DetectorBattery.Current},
    {vt::U32, &DetectorBattery.RemainingTime}, {vt::U8, &DetectorBattery.Condition},
    {vt::U8, &DetectorBattery.Charge},
};

TFieldEntry DeviceSettingsFields[] = {
    {vt::U32, &DeviceSettings.Field1},          {vt::Float, &DeviceSettings.Field2},
    {vt::U32, &DeviceSettings.Field3},          {vt::U32, &DeviceSettings.Field4},
    {vt::U32, &DeviceSettings.Field5},          {vt::Address, DeviceSettings.ConsoleAddress},
    {vt::U8, &DeviceSettings.Field7},           {vt::Float, &DeviceSettings.DoseRateThreshold},
    {vt::Float, &DeviceSettings.DoseThreshold}, {vt::U8, &DeviceSettings.Brightness},
    {vt::U8, &DeviceSettings.DisplayMode},      {vt::U8, &DeviceSettings.Options},
    {vt::U8, &DeviceSettings.RecordingMode},    {vt::Address, DeviceSettings.Module1Address},
    {vt::U8, &DeviceSettings.Module1Channel},   {vt::Address, DeviceSettings.Module2Address},
    {vt::U8, &DeviceSettings.Module2Channel},   {vt::U8, &DeviceSettings.Screens},
};

// The same variables as fields 8..13 and 18 above: a settings read changes what this sends.
TFieldEntry DeviceSettingsWriteFields[] = {
    {vt::Float, &DeviceSettings.DoseRateThreshold},
    {vt::Float, &DeviceSettings.DoseThreshold},
    {vt::U8, &DeviceSettings.Brightness},
    {vt::U8, &DeviceSettings.DisplayMode},
    {vt::U8, &DeviceSettings.Options},
    {vt::U8, &DeviceSettings.RecordingMode},
    {vt::U8, &DeviceSettings.Screens},
};

TFieldEntry ArchiveEntryFields[] = {
    {vt::Float, &ArchiveEntry.Latitude}, {vt::Float, &ArchiveEntry.Longitude},
    {vt::Float, &ArchiveEntry.Value},    {vt::U8, &ArchiveEntry.SecondsFlags},
    {vt::U8, &ArchiveEntry.Minutes},     {vt::U8, &ArchiveEntry.Hours},
    {vt::U8, &ArchiveEntry.KindDay},     {vt::U8, &ArchiveEntry.Month},
    {vt::U8, &ArchiveEntry.Year},
};

TFieldEntry TaggedAddressFields[] = {
    {vt::U8, &TaggedAddress.Value},
    {vt::Address, TaggedAddress.Address},
};

template <size_t N> constexpr uint8_t CountOf(const TFieldEntry (&)[N]) {
    return N;
}

constexpr uint8_t RW = AccessRead | AccessWrite;
constexpr uint8_t W = AccessWrite;

} // namespace

TObjectEntry ObjectTable[ObjectCount] = {
    {RW, 0x03, vt::Struct, SpectrumFields, CountOf(SpectrumFields), 0},
    {RW, 0x06, vt::Struct, SpectrumFields, CountOf(SpectrumFields), 0},
    {RW, 0x00, vt::Struct, MeasurementFields, CountOf(MeasurementFields), 0},
    {RW, 0x04, vt::Struct, ConsoleBatteryFields, CountOf(ConsoleBatteryFields), 0},
    {RW, 0x01, vt::Struct, DetectorBatteryFields, CountOf(DetectorBatteryFields), 0},
    {RW, 0x11, vt::Struct, DeviceSettingsFields, CountOf(DeviceSettingsFields), 0},
    {W, 0x12, vt::Struct, DeviceSettingsWriteFields, CountOf(DeviceSettingsWriteFields), 0},
    {RW, 0x05, vt::Struct, ArchiveEntryFields, CountOf(ArchiveEntryFields), 0},
    {W, 0x14, vt::Bytes8, DeviceClock, 0, 0},
    {W, 0x16, vt::U8, &DeviceCommand, 0, 0},
    {RW, 0x0A, vt::Address, DeviceSettings.ConsoleAddress, 0, 0},
    {RW, 0x13, vt::Address, DeviceSettings.Module1Address, 0, 0},
    {RW, 0x18, vt::Address, DeviceSettings.Module2Address, 0, 0},
    {W, 0x02, vt::Struct, TaggedAddressFields, CountOf(TaggedAddressFields), 0},
};

uint8_t ObjectTableCount = ObjectCount;
