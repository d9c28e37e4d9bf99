#pragma once
// The simulated console unit's inner state and its answers to request frames. It binds the
// program's object catalogue to its own object variables, so it never touches the program's
// storage even when both run in one process. The protocol peer is in DeviceModel.cpp, the live
// values (measurement, dose, batteries, clock) in DevicePhysics.cpp and the archive (generated
// sessions, live recording, the read position) in DeviceArchive.cpp.
#include "link/Catalogue.h"
#include "link/ObjectTable.h"
#include "sim/SimOptions.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <vector>

constexpr int SimArchiveCapacity = 902;

class TDeviceModel {
  public:
    explicit TDeviceModel(const TSimOptions& options = TSimOptions());
    TDeviceModel(const TDeviceModel&) = delete;
    TDeviceModel& operator=(const TDeviceModel&) = delete;

    // One complete request frame in, the reply frame out. Returns false when the device stays
    // silent (another destination, bad header checksum, a reply sent to it); `reply` is then
    // empty. Error replies (codes 3, 4, 7) return true.
    bool HandleRequest(const uint8_t* frame, size_t length, std::vector<uint8_t>& reply);
    // The read reply the device would give now for object id `objectId` (for the fault that
    // answers with another object). False when the object is not readable.
    bool BuildReadReply(uint8_t objectId, const uint8_t destination[3],
                        std::vector<uint8_t>& reply);

    // --- time -----------------------------------------------------------------------------
    // Runs the device for `seconds` of its own time: measurements once a second, dose, battery
    // drift, archive recording. With RealTime on, each request first advances by the wall clock.
    void Advance(double seconds);
    void SetRealTime(bool on);
    bool RealTime() const { return RealTimeOn; }

    // --- live values ----------------------------------------------------------------------
    void SetDoseRateLevel(double svPerHour);
    double DoseRateLevel() const { return Level; }
    void SetNoise(bool on) { NoiseOn = on; }
    // While held, the model leaves the measurement (except clock and status), spectrum and
    // battery values exactly as a test set them through the accessors below.
    void HoldLiveValues(bool hold) { Held = hold; }
    TMeasurementData& Measurement() { return Meas; }
    TSpectrumData& Spectrum() { return SpectrumValues; }
    TSpectrumData& SummedSpectrum() {
        return SpectrumSum;
    } // SpectrumData2: counts since the dose reset
    TBattery& ConsoleBattery() { return Batteries[0]; }
    TBattery& DetectorBattery() { return Batteries[1]; }
    // The status byte a read reports: computed from the state unless overridden.
    void SetStatusOverride(std::optional<uint8_t> status) { StatusOverrideValue = status; }
    uint8_t ComputedStatus() const;
    // Set by each once-a-second measurement, reported and cleared by the next measurement read.
    bool NewMeasurementPending() const { return NewMeasurement; }
    void ResetDose();

    // --- clock ----------------------------------------------------------------------------
    // Device clock = PC clock (NowSeconds) + offset; a DeviceClock write changes the offset.
    int64_t ClockOffset() const { return Offset; }
    void SetClockOffset(int64_t seconds) { Offset = seconds; }
    int64_t DeviceTime() const;
    // The 8 bytes of the last DeviceClock write, if any.
    std::optional<std::array<uint8_t, 8>> LastClockWrite() const { return LastClock; }

    // --- settings and addresses -----------------------------------------------------------
    // Brightness is held as a level 0..10: a write of position x 25 is stored divided by 25,
    // rounded, at most 10; a settings read reports the level.
    TDeviceSettings& Settings() { return Set; }
    const uint8_t* Address() const { return Set.ConsoleAddress; }
    void SetAddress(const uint8_t address[3]);

    // --- archive --------------------------------------------------------------------------
    // The archive read position runs over 903 steps: a lead-in read delivering an all-zero
    // record, then slots 0..901, then the lead-in again. It goes back to the lead-in after an
    // erase, after any other request, after 2 s without archive reads (real time only) and
    // on RewindArchive.
    std::array<TArchiveEntry, SimArchiveCapacity>& Archive() { return Slots; }
    uint32_t RecordCount() const { return Records; }
    void SetRecordCount(uint32_t count) {
        Records = count > SimArchiveCapacity ? SimArchiveCapacity : count;
    }
    void GenerateArchive(int records, int pages, bool gaps);
    void EraseArchive();
    void RewindArchive() { ReadPosition = -1; }
    int ArchivePosition() const { return ReadPosition; } // -1 lead-in, else the next slot

    // --- counters -------------------------------------------------------------------------
    int Requests() const { return RequestCount; } // complete frames addressed to the device
    int Reads(uint8_t objectId) const;            // answered reads of that object id
    int Writes(uint8_t objectId) const;           // acknowledged writes of that object id
    int Commands(uint8_t value) const;            // DeviceCommand writes with that value
    int Probes() const { return ProbeCount; }
    int Errors(uint8_t code) const; // error replies sent with that code
    uint32_t Seed() const { return SeedValue; }

  private:
    void BuildTable();
    int FindEntry(uint8_t valueType, uint8_t objectId) const;
    void RefreshForRead(uint8_t objectId);
    void Measure();
    void RecordLive();
    void StepArchiveRead();
    void ApplyWrite(uint8_t objectId, const uint8_t oldAddress[3]);
    void ErrorReply(const uint8_t* destination, uint8_t code, std::vector<uint8_t>& reply);
    void Tick();
    double Gauss();

    TSimOptions Opts;
    TObjectEntry Table[ObjectCount];
    TFieldEntry Fields[CatalogueFieldCount];

    TSpectrumData SpectrumValues{};
    TSpectrumData SpectrumSum{};
    TMeasurementData Meas{};
    TBattery Batteries[2]{};
    TDeviceSettings Set{};
    TArchiveEntry Entry{};
    uint8_t Clock[8]{};
    uint8_t Command = 0;
    TTaggedAddress Tagged{};

    std::array<TArchiveEntry, SimArchiveCapacity> Slots{};
    uint32_t Records = 0;
    int ReadPosition = -1;
    std::chrono::steady_clock::time_point LastArchiveRead{};

    double Level;
    bool NoiseOn;
    bool Held = false;
    bool RealTimeOn;
    std::chrono::steady_clock::time_point LastWall;
    double DeviceSeconds = 0; // the device's own running time
    double NextMeasurement = 1;
    double DoseSv = 0;
    double AccumulatedSeconds = 0;
    double MeasuredRate = 0; // Sv/h
    double ChargeLevel[2] = {78.0, 41.0};
    double LastRecordAt = 0;
    double LastRecordedRate = -1;
    bool NewMeasurement = false;
    std::optional<uint8_t> StatusOverrideValue;
    int64_t Offset;
    std::optional<std::array<uint8_t, 8>> LastClock;

    int RequestCount = 0;
    int ProbeCount = 0;
    std::map<uint8_t, int> ReadCounts, WriteCounts, CommandCounts, ErrorCounts;
    uint32_t SeedValue;
    std::mt19937 Rng;
};
