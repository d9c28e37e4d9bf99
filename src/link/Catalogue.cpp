#include "link/Catalogue.h"

#include "link/ObjectTable.h"

#include <array>
#include <cstddef>

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

// Where a value lies within the variable its object is bound to.
struct TFieldLayout {
    TValueType ValueType;
    uint16_t Offset;
};

// The variable of TObjectValues an object is bound to.
enum class TStore : uint8_t {
    Spectrum,
    Spectrum2,
    Measurement,
    ConsoleBattery,
    DetectorBattery,
    Settings,
    ArchiveEntry,
    DeviceClock,
    DeviceCommand,
    TaggedAddress,
};

struct TObjectLayout {
    uint8_t Access;
    uint8_t ObjectId;
    TValueType ValueType;
    TStore Store;
    const TFieldLayout* Fields; // structures: FieldCount fields
    uint8_t FieldCount;
    uint16_t Offset; // other values: where the value lies in its variable
};

#define AT(Struct, member) static_cast<uint16_t>(offsetof(Struct, member))

constexpr std::array<TFieldLayout, 23> SpectrumLayoutOf() {
    std::array<TFieldLayout, 23> f{};
    f[0] = {vt::U32, AT(TSpectrumData, Field1)};
    for (int c = 0; c < SpectrumChannels; ++c)
        f[1 + c] = {vt::U32, static_cast<uint16_t>(AT(TSpectrumData, Counts) + c * 4)};
    f[15] = {vt::Float, AT(TSpectrumData, Field16)};
    f[16] = {vt::Float, AT(TSpectrumData, Field17)};
    f[17] = {vt::Float, AT(TSpectrumData, Field18)};
    f[18] = {vt::U32, AT(TSpectrumData, Field19)};
    f[19] = {vt::Float, AT(TSpectrumData, Field20)};
    f[20] = {vt::Float, AT(TSpectrumData, Field21)};
    f[21] = {vt::U8, AT(TSpectrumData, Field22)};
    f[22] = {vt::U8, AT(TSpectrumData, Field23)};
    return f;
}
constexpr std::array<TFieldLayout, 23> SpectrumLayout = SpectrumLayoutOf();

constexpr TFieldLayout MeasurementLayout[] = {
    {vt::Float, AT(TMeasurementData, Field1)},
    {vt::U32, AT(TMeasurementData, RecordCount)},
    {vt::Float, AT(TMeasurementData, Uncertainty)},
    {vt::Float, AT(TMeasurementData, Dose)},
    {vt::U32, AT(TMeasurementData, Field5)},
    {vt::U32, AT(TMeasurementData, AccumulationTime)},
    {vt::Float, AT(TMeasurementData, Field7)},
    {vt::Float, AT(TMeasurementData, Field8)},
    {vt::Float, AT(TMeasurementData, DoseRate)},
    {vt::U8, AT(TMeasurementData, ClockSeconds)},
    {vt::U8, AT(TMeasurementData, ClockMinutes)},
    {vt::U8, AT(TMeasurementData, ClockHours)},
    {vt::U8, AT(TMeasurementData, Field13)},
    {vt::U8, AT(TMeasurementData, Field14)},
    {vt::U8, AT(TMeasurementData, Field15)},
    {vt::U8, AT(TMeasurementData, Status)},
};

constexpr TFieldLayout BatteryLayout[] = {
    {vt::Float, AT(TBattery, Temperature)}, {vt::Float, AT(TBattery, Current)},
    {vt::U32, AT(TBattery, RemainingTime)}, {vt::U8, AT(TBattery, Condition)},
    {vt::U8, AT(TBattery, Charge)},
};

constexpr TFieldLayout SettingsLayout[] = {
    {vt::U32, AT(TDeviceSettings, Field1)},
    {vt::Float, AT(TDeviceSettings, Field2)},
    {vt::U32, AT(TDeviceSettings, Field3)},
    {vt::U32, AT(TDeviceSettings, Field4)},
    {vt::U32, AT(TDeviceSettings, Field5)},
    {vt::Address, AT(TDeviceSettings, ConsoleAddress)},
    {vt::U8, AT(TDeviceSettings, Field7)},
    {vt::Float, AT(TDeviceSettings, DoseRateThreshold)},
    {vt::Float, AT(TDeviceSettings, DoseThreshold)},
    {vt::U8, AT(TDeviceSettings, Brightness)},
    {vt::U8, AT(TDeviceSettings, DisplayMode)},
    {vt::U8, AT(TDeviceSettings, Options)},
    {vt::U8, AT(TDeviceSettings, RecordingMode)},
    {vt::Address, AT(TDeviceSettings, Module1Address)},
    {vt::U8, AT(TDeviceSettings, Module1Channel)},
    {vt::Address, AT(TDeviceSettings, Module2Address)},
    {vt::U8, AT(TDeviceSettings, Module2Channel)},
    {vt::U8, AT(TDeviceSettings, Screens)},
};

// The same variables as settings fields 8..13 and 18: a settings read changes what this sends.
constexpr TFieldLayout SettingsWriteLayout[] = {
    SettingsLayout[7],  SettingsLayout[8],  SettingsLayout[9],  SettingsLayout[10],
    SettingsLayout[11], SettingsLayout[12], SettingsLayout[17],
};

constexpr TFieldLayout ArchiveEntryLayout[] = {
    {vt::Float, AT(TArchiveEntry, Latitude)}, {vt::Float, AT(TArchiveEntry, Longitude)},
    {vt::Float, AT(TArchiveEntry, Value)},    {vt::U8, AT(TArchiveEntry, SecondsFlags)},
    {vt::U8, AT(TArchiveEntry, Minutes)},     {vt::U8, AT(TArchiveEntry, Hours)},
    {vt::U8, AT(TArchiveEntry, KindDay)},     {vt::U8, AT(TArchiveEntry, Month)},
    {vt::U8, AT(TArchiveEntry, Year)},
};

constexpr TFieldLayout TaggedAddressLayout[] = {
    {vt::U8, AT(TTaggedAddress, Value)},
    {vt::Address, AT(TTaggedAddress, Address)},
};

template <size_t N>
constexpr TObjectLayout Structure(uint8_t access, uint8_t id, TStore store,
                                  const TFieldLayout (&fields)[N]) {
    return {access, id, vt::Struct, store, fields, static_cast<uint8_t>(N), 0};
}

template <size_t N>
constexpr TObjectLayout Structure(uint8_t access, uint8_t id, TStore store,
                                  const std::array<TFieldLayout, N>& fields) {
    return {access, id, vt::Struct, store, fields.data(), static_cast<uint8_t>(N), 0};
}

constexpr TObjectLayout Value(uint8_t access, uint8_t id, TValueType type, TStore store,
                              uint16_t offset = 0) {
    return {access, id, type, store, nullptr, 0, offset};
}

constexpr uint8_t RW = AccessRead | AccessWrite;
constexpr uint8_t W = AccessWrite;

// In table order (the Obj indexes).
constexpr TObjectLayout Layout[ObjectCount] = {
    Structure(RW, ObjectId::SpectrumData, TStore::Spectrum, SpectrumLayout),
    Structure(RW, ObjectId::SpectrumData2, TStore::Spectrum2, SpectrumLayout),
    Structure(RW, ObjectId::MeasurementData, TStore::Measurement, MeasurementLayout),
    Structure(RW, ObjectId::ConsoleBattery, TStore::ConsoleBattery, BatteryLayout),
    Structure(RW, ObjectId::DetectorBattery, TStore::DetectorBattery, BatteryLayout),
    Structure(RW, ObjectId::DeviceSettings, TStore::Settings, SettingsLayout),
    Structure(W, ObjectId::DeviceSettingsWrite, TStore::Settings, SettingsWriteLayout),
    Structure(RW, ObjectId::ArchiveEntry, TStore::ArchiveEntry, ArchiveEntryLayout),
    Value(W, ObjectId::DeviceClock, vt::Bytes8, TStore::DeviceClock),
    Value(W, ObjectId::DeviceCommand, vt::U8, TStore::DeviceCommand),
    Value(RW, ObjectId::ConsoleAddress, vt::Address, TStore::Settings,
          AT(TDeviceSettings, ConsoleAddress)),
    Value(RW, ObjectId::Module1Address, vt::Address, TStore::Settings,
          AT(TDeviceSettings, Module1Address)),
    Value(RW, ObjectId::Module2Address, vt::Address, TStore::Settings,
          AT(TDeviceSettings, Module2Address)),
    Structure(W, ObjectId::TaggedAddress, TStore::TaggedAddress, TaggedAddressLayout),
};

#undef AT

uint8_t* StoreOf(const TObjectValues& v, TStore store) {
    switch (store) {
    case TStore::Spectrum:
        return reinterpret_cast<uint8_t*>(v.Spectrum);
    case TStore::Spectrum2:
        return reinterpret_cast<uint8_t*>(v.Spectrum2);
    case TStore::Measurement:
        return reinterpret_cast<uint8_t*>(v.Measurement);
    case TStore::ConsoleBattery:
        return reinterpret_cast<uint8_t*>(v.ConsoleBattery);
    case TStore::DetectorBattery:
        return reinterpret_cast<uint8_t*>(v.DetectorBattery);
    case TStore::Settings:
        return reinterpret_cast<uint8_t*>(v.Settings);
    case TStore::ArchiveEntry:
        return reinterpret_cast<uint8_t*>(v.ArchiveEntry);
    case TStore::DeviceClock:
        return v.DeviceClock;
    case TStore::DeviceCommand:
        return v.DeviceCommand;
    case TStore::TaggedAddress:
        return reinterpret_cast<uint8_t*>(v.TaggedAddress);
    }
    return nullptr;
}

constexpr int LaidOutFields() {
    int n = 0;
    for (const TObjectLayout& o : Layout)
        n += o.FieldCount;
    return n;
}
static_assert(LaidOutFields() == CatalogueFieldCount, "field entries of the catalogue");

} // namespace

void BindCatalogue(const TObjectValues& values, TObjectEntry* table, TFieldEntry* fields) {
    for (uint8_t i = 0; i < ObjectCount; ++i) {
        const TObjectLayout& o = Layout[i];
        uint8_t* store = StoreOf(values, o.Store);
        if (o.ValueType != vt::Struct) {
            table[i] = {o.Access, o.ObjectId, o.ValueType, store + o.Offset, 0, 0};
            continue;
        }
        for (uint8_t f = 0; f < o.FieldCount; ++f)
            fields[f] = {o.Fields[f].ValueType, store + o.Fields[f].Offset};
        table[i] = {o.Access, o.ObjectId, vt::Struct, fields, o.FieldCount, 0};
        fields += o.FieldCount;
    }
}

namespace {
TFieldEntry ProgramFields[CatalogueFieldCount];
} // namespace

TObjectEntry ObjectTable[ObjectCount];
uint8_t ObjectTableCount = ObjectCount;

namespace {
// Bound before main: nothing reads the table during static initialisation.
const bool ProgramTableBound =
    (BindCatalogue({&SpectrumData, &SpectrumData, &MeasurementData, &ConsoleBattery,
                    &DetectorBattery, &DeviceSettings, &ArchiveEntry, DeviceClock, &DeviceCommand,
                    &TaggedAddress},
                   ObjectTable, ProgramFields),
     true);
} // namespace
