#include "sim/DeviceModel.h"

#include "connection/Clock.h"
#include "link/Frame.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

namespace {

// Share of the count rate that falls into each of the 14 channels: a falling scatter continuum
// with the lines a field operator expects to see in the background (0.66, 1.46, 2.61 MeV).
constexpr double ChannelShare[SpectrumChannels] = {0.16,  0.17,  0.14, 0.11, 0.09,  0.075, 0.07,
                                                   0.045, 0.035, 0.04, 0.02, 0.012, 0.015, 0.006};
// Pulses per second per uSv/h of the detection unit.
constexpr double Sensitivity = 2000.0;
constexpr double BatteryCapacity = 2000.0; // mAh
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

TDeviceModel::TDeviceModel(const TSimOptions& options)
    : Opts(options), Level(std::max(0.0, options.DoseRateLevel)), NoiseOn(options.Noise),
      RealTimeOn(options.RealTime), LastWall(std::chrono::steady_clock::now()),
      Offset(options.ClockOffset), SeedValue(options.Seed), Rng(options.Seed) {
    std::memcpy(Set.ConsoleAddress, options.Address, 3);
    Set.Field1 = 31207; // serial number
    Set.Field2 = 2.14f; // firmware version
    Set.Field3 = 3600;  // measurement window limit, s
    Set.Field4 = 30;
    Set.Field5 = 0;
    Set.Field7 = 1;
    Set.DoseRateThreshold = 0.3f;
    Set.DoseThreshold = 10.0f;
    Set.Brightness = 6;
    Set.DisplayMode = 0;
    Set.Options = OptionSound | OptionRussian | OptionGps;
    Set.RecordingMode = RecordEveryMinute;
    const uint8_t m1[3] = {0x0A, 0x0B, 0x01}, m2[3] = {0x0A, 0x0B, 0x02};
    std::memcpy(Set.Module1Address, m1, 3);
    std::memcpy(Set.Module2Address, m2, 3);
    Set.Module1Channel = 3;
    Set.Module2Channel = 5;
    Set.Screens = 0x1F;

    Batteries[0] = {24.5f, -150.0f, 0, 93, 78};
    Batteries[1] = {27.0f, 400.0f, 0, 88, 41};
    BuildTable();
    GenerateArchive(options.ArchiveRecords, options.ArchivePages, options.ArchiveGaps);
    MeasuredRate = Level;
    Measure();
    NewMeasurement = false;
}

void TDeviceModel::BuildTable() {
    auto spectrumFields = [](TFieldEntry* f, TSpectrumData& s) {
        f[0] = {vt::U32, &s.Field1};
        for (int c = 0; c < SpectrumChannels; ++c)
            f[1 + c] = {vt::U32, &s.Counts[c]};
        f[15] = {vt::Float, &s.Field16};
        f[16] = {vt::Float, &s.Field17};
        f[17] = {vt::Float, &s.Field18};
        f[18] = {vt::U32, &s.Field19};
        f[19] = {vt::Float, &s.Field20};
        f[20] = {vt::Float, &s.Field21};
        f[21] = {vt::U8, &s.Field22};
        f[22] = {vt::U8, &s.Field23};
    };
    spectrumFields(SpectrumFieldList, SpectrumValues);
    spectrumFields(SpecSumFields, SpectrumSum);

    TMeasurementData& m = Meas;
    const TFieldEntry meas[16] = {
        {vt::Float, &m.Field1},    {vt::U32, &m.RecordCount}, {vt::Float, &m.Uncertainty},
        {vt::Float, &m.Dose},      {vt::U32, &m.Field5},      {vt::U32, &m.AccumulationTime},
        {vt::Float, &m.Field7},    {vt::Float, &m.Field8},    {vt::Float, &m.DoseRate},
        {vt::U8, &m.ClockSeconds}, {vt::U8, &m.ClockMinutes}, {vt::U8, &m.ClockHours},
        {vt::U8, &m.Field13},      {vt::U8, &m.Field14},      {vt::U8, &m.Field15},
        {vt::U8, &m.Status}};
    std::copy(std::begin(meas), std::end(meas), MeasFields);

    for (int b = 0; b < 2; ++b) {
        TBattery& bat = Batteries[b];
        const TFieldEntry f[5] = {{vt::Float, &bat.Temperature},
                                  {vt::Float, &bat.Current},
                                  {vt::U32, &bat.RemainingTime},
                                  {vt::U8, &bat.Condition},
                                  {vt::U8, &bat.Charge}};
        std::copy(std::begin(f), std::end(f), BatFields[b]);
    }

    TDeviceSettings& s = Set;
    const TFieldEntry set[18] = {{vt::U32, &s.Field1},          {vt::Float, &s.Field2},
                                 {vt::U32, &s.Field3},          {vt::U32, &s.Field4},
                                 {vt::U32, &s.Field5},          {vt::Address, s.ConsoleAddress},
                                 {vt::U8, &s.Field7},           {vt::Float, &s.DoseRateThreshold},
                                 {vt::Float, &s.DoseThreshold}, {vt::U8, &s.Brightness},
                                 {vt::U8, &s.DisplayMode},      {vt::U8, &s.Options},
                                 {vt::U8, &s.RecordingMode},    {vt::Address, s.Module1Address},
                                 {vt::U8, &s.Module1Channel},   {vt::Address, s.Module2Address},
                                 {vt::U8, &s.Module2Channel},   {vt::U8, &s.Screens}};
    std::copy(std::begin(set), std::end(set), SetFields);
    const int writeFields[7] = {7, 8, 9, 10, 11, 12, 17};
    for (int k = 0; k < 7; ++k)
        SetWriteFields[k] = SetFields[writeFields[k]];

    TArchiveEntry& a = Entry;
    const TFieldEntry arch[9] = {
        {vt::Float, &a.Latitude},  {vt::Float, &a.Longitude}, {vt::Float, &a.Value},
        {vt::U8, &a.SecondsFlags}, {vt::U8, &a.Minutes},      {vt::U8, &a.Hours},
        {vt::U8, &a.KindDay},      {vt::U8, &a.Month},        {vt::U8, &a.Year}};
    std::copy(std::begin(arch), std::end(arch), ArchFields);
    TaggedFields[0] = {vt::U8, &Tagged.Value};
    TaggedFields[1] = {vt::Address, Tagged.Address};

    const uint8_t rw = AccessRead | AccessWrite, w = AccessWrite;
    const TObjectEntry table[ObjectCount] = {
        {rw, 0x03, vt::Struct, SpectrumFieldList, 23, 0},
        {rw, 0x06, vt::Struct, SpecSumFields, 23, 0},
        {rw, 0x00, vt::Struct, MeasFields, 16, 0},
        {rw, 0x04, vt::Struct, BatFields[0], 5, 0},
        {rw, 0x01, vt::Struct, BatFields[1], 5, 0},
        {rw, 0x11, vt::Struct, SetFields, 18, 0},
        {w, 0x12, vt::Struct, SetWriteFields, 7, 0},
        {rw, 0x05, vt::Struct, ArchFields, 9, 0},
        {w, 0x14, vt::Bytes8, Clock, 0, 0},
        {w, 0x16, vt::U8, &Command, 0, 0},
        {rw, 0x0A, vt::Address, Set.ConsoleAddress, 0, 0},
        {rw, 0x13, vt::Address, Set.Module1Address, 0, 0},
        {rw, 0x18, vt::Address, Set.Module2Address, 0, 0},
        {w, 0x02, vt::Struct, TaggedFields, 2, 0},
    };
    std::copy(std::begin(table), std::end(table), Table);
    ComputeEncodedSizes(Table, ObjectCount);
}

int TDeviceModel::FindEntry(uint8_t valueType, uint8_t objectId) const {
    for (int i = 0; i < ObjectCount; ++i)
        if (Table[i].ValueType == valueType && Table[i].ObjectId == objectId) return i;
    return -1;
}

void TDeviceModel::ErrorReply(const uint8_t* destination, uint8_t code,
                              std::vector<uint8_t>& reply) {
    reply.assign(HeaderSize + 1 + 4, 0);
    reply[14] = code;
    CompleteFrame(reply.data(), destination, Set.ConsoleAddress, Cmd::Error, 0, 1);
    ++ErrorCounts[code];
}

bool TDeviceModel::HandleRequest(const uint8_t* frame, size_t length, std::vector<uint8_t>& reply) {
    reply.clear();
    if (length < HeaderSize) return false;
    if (FrameChecksum(frame, 10) != GetLE32(frame + 10)) return false;
    if (std::memcmp(frame, Set.ConsoleAddress, 3) != 0) return false;
    const uint8_t command = frame[6];
    // Replies are never answered: two devices would otherwise talk to each other for ever.
    if (command == Cmd::Ack || command == Cmd::Error || command == Cmd::ReadReply) return false;

    ++RequestCount;
    if (RealTimeOn) {
        auto now = std::chrono::steady_clock::now();
        Advance(std::chrono::duration<double>(now - LastWall).count());
        LastWall = now;
    }
    uint8_t asker[3];
    std::memcpy(asker, frame + 3, 3);
    const uint16_t L = PayloadLength(frame);
    if (L > MaxPayload) {
        ErrorReply(asker, ErrorCode::Length, reply);
        return true;
    }
    if (L > 0) {
        if (length < size_t(HeaderSize) + L + 4) {
            ErrorReply(asker, ErrorCode::Length, reply);
            return true;
        }
        if (FrameChecksum(frame + 14, L) != GetLE32(frame + 14 + L)) {
            ErrorReply(asker, ErrorCode::Checksum, reply);
            return true;
        }
    }
    const uint8_t valueType = frame[7];
    const uint8_t objectId = L > 0 ? frame[14] : 0;
    const bool archiveRead =
        command == Cmd::Read && L == 1 && valueType == vt::Struct && objectId == 0x05;
    if (!archiveRead) RewindArchive();

    if (command == Cmd::Probe) {
        ++ProbeCount;
        reply.assign(HeaderSize, 0);
        CompleteFrame(reply.data(), asker, Set.ConsoleAddress, Cmd::Ack, 0, 0);
        return true;
    }
    if (command == Cmd::Read) {
        if (L != 1) {
            ErrorReply(asker, ErrorCode::Length, reply);
            return true;
        }
        const int i = FindEntry(valueType, objectId);
        if (i < 0 || !(Table[i].Access & AccessRead)) {
            ErrorReply(asker, ErrorCode::Object, reply);
            return true;
        }
        BuildReadReply(objectId, asker, reply);
        ++ReadCounts[objectId];
        return true;
    }
    if (command == Cmd::Write) {
        if (L == 0) {
            ErrorReply(asker, ErrorCode::Length, reply);
            return true;
        }
        const int i = FindEntry(valueType, objectId);
        if (i < 0 || !(Table[i].Access & AccessWrite)) {
            ErrorReply(asker, ErrorCode::Object, reply);
            return true;
        }
        if (L != Table[i].EncodedSize) {
            ErrorReply(asker, ErrorCode::Length, reply);
            return true;
        }
        uint8_t oldAddress[3];
        std::memcpy(oldAddress, Set.ConsoleAddress, 3);
        if (!DecodeObject(Table, static_cast<uint8_t>(i), frame + 15)) {
            ErrorReply(asker, ErrorCode::Object, reply);
            return true;
        }
        ApplyWrite(objectId, oldAddress);
        ++WriteCounts[objectId];
        // The acknowledgement still comes from the address the request was sent to; a new
        // console address takes effect with the next request.
        reply.assign(HeaderSize, 0);
        CompleteFrame(reply.data(), asker, oldAddress, Cmd::Ack, valueType, 0);
        return true;
    }
    ErrorReply(asker, ErrorCode::Object, reply);
    return true;
}

bool TDeviceModel::BuildReadReply(uint8_t objectId, const uint8_t destination[3],
                                  std::vector<uint8_t>& reply) {
    int i = -1;
    for (int k = 0; k < ObjectCount; ++k)
        if (Table[k].ObjectId == objectId && (Table[k].Access & AccessRead)) i = k;
    if (i < 0) return false;
    RefreshForRead(objectId);
    const uint16_t size = Table[i].EncodedSize;
    reply.assign(size_t(HeaderSize) + size + 4, 0);
    uint16_t encoded = 0;
    EncodeObject(Table, static_cast<uint8_t>(i), reply.data(), encoded);
    reply[14] = objectId;
    CompleteFrame(reply.data(), destination, Set.ConsoleAddress, Cmd::ReadReply, Table[i].ValueType,
                  size);
    return true;
}

void TDeviceModel::ApplyWrite(uint8_t objectId, const uint8_t* /*oldAddress*/) {
    switch (objectId) {
    case 0x12: // settings: the panel stores brightness as a level of 0..10
        Set.Brightness = static_cast<uint8_t>(std::min(10, (Set.Brightness + 12) / 25));
        break;
    case 0x14: {
        LastClock.emplace();
        std::copy(std::begin(Clock), std::end(Clock), LastClock->begin());
        tm local{};
        local.tm_year = Clock[0] + 100;
        local.tm_mon = Clock[1] - 1;
        local.tm_mday = Clock[2];
        local.tm_hour = Clock[3];
        local.tm_min = Clock[4];
        local.tm_sec = Clock[5];
        local.tm_isdst = -1;
        const time_t t = mktime(&local);
        if (t != time_t(-1)) Offset = int64_t(t) - NowSeconds();
        break;
    }
    case 0x16:
        ++CommandCounts[Command];
        if (Command == 1) ResetDose();
        if (Command == 2) EraseArchive();
        break;
    default:
        break;
    }
}

void TDeviceModel::SetAddress(const uint8_t address[3]) {
    std::memcpy(Set.ConsoleAddress, address, 3);
}

void TDeviceModel::SetRealTime(bool on) {
    RealTimeOn = on;
    LastWall = std::chrono::steady_clock::now();
}

void TDeviceModel::SetDoseRateLevel(double svPerHour) {
    Level = std::max(0.0, svPerHour);
}

double TDeviceModel::Gauss() {
    if (!NoiseOn) return 0.0;
    std::normal_distribution<double> n(0.0, 1.0);
    return n(Rng);
}

int64_t TDeviceModel::DeviceTime() const {
    return NowSeconds() + Offset;
}

uint8_t TDeviceModel::ComputedStatus() const {
    uint8_t s = 0;
    if (Records >= SimArchiveCapacity) s |= StatusMemoryFull;
    if (Set.DoseThreshold > 0 && double(Meas.Dose) * 1e6 >= Set.DoseThreshold) s |= StatusDoseAlarm;
    if (Set.DoseRateThreshold > 0 && double(Meas.DoseRate) * 1e6 >= Set.DoseRateThreshold)
        s |= StatusDoseRateAlarm;
    if (NewMeasurement) s |= StatusNewMeasurement;
    return s;
}

void TDeviceModel::Advance(double seconds) {
    if (!(seconds > 0)) return;
    // A long jump (a suspended PC, a test skipping hours) is taken in bulk up to the last hour,
    // which is then run second by second so that recent values look as usual.
    if (seconds > 7200) {
        const double bulk = seconds - 3600;
        DoseSv += Level * bulk / 3600.0;
        AccumulatedSeconds += bulk;
        DeviceSeconds += bulk;
        NextMeasurement = std::floor(DeviceSeconds) + 1;
        seconds = 3600;
    }
    const double end = DeviceSeconds + seconds;
    while (NextMeasurement <= end) {
        const double dt = NextMeasurement - DeviceSeconds;
        DoseSv += MeasuredRate * dt / 3600.0;
        AccumulatedSeconds += dt;
        DeviceSeconds = NextMeasurement;
        NextMeasurement += 1;
        Measure();
    }
    const double rest = end - DeviceSeconds;
    DoseSv += MeasuredRate * rest / 3600.0;
    AccumulatedSeconds += rest;
    DeviceSeconds = end;
}

void TDeviceModel::Measure() {
    const double cps = Level * 1e6 * Sensitivity + 2.0;
    const double window = std::min(AccumulatedSeconds + 1.0, 30.0);
    const double uncertainty = std::min(99.0, 200.0 / std::sqrt(cps * window));
    MeasuredRate = std::max(0.0, Level * (1.0 + Gauss() * uncertainty / 200.0));
    NewMeasurement = true;

    if (!Held) {
        uint32_t total = 0;
        for (int c = 0; c < SpectrumChannels; ++c) {
            const double expected = cps * ChannelShare[c];
            uint32_t n = static_cast<uint32_t>(std::lround(expected));
            if (NoiseOn && expected > 0) {
                std::poisson_distribution<uint32_t> p(expected);
                n = p(Rng);
            }
            SpectrumValues.Counts[c] = n;
            SpectrumSum.Counts[c] += n;
            total += n;
        }
        SpectrumValues.Field1 = 1;
        SpectrumSum.Field1 = static_cast<uint32_t>(AccumulatedSeconds);
        SpectrumValues.Field19 = SpectrumSum.Field19 = total;
        SpectrumValues.Field16 = SpectrumSum.Field16 = static_cast<float>(cps);
        Meas.Uncertainty = static_cast<float>(uncertainty);
        Meas.DoseRate = static_cast<float>(MeasuredRate);
        Meas.Dose = static_cast<float>(DoseSv);
        Meas.AccumulationTime = static_cast<uint32_t>(AccumulatedSeconds);
        Meas.Field1 = static_cast<float>(cps);
        Meas.Field5 = total;
        Meas.Field7 = static_cast<float>(Level);
        Meas.Field8 = static_cast<float>(window);
        Tick();
    }

    // Live recording into the archive, as the recording mode asks.
    if (Records < SimArchiveCapacity) {
        const uint8_t mode = Set.RecordingMode;
        const double since = DeviceSeconds - LastRecordAt;
        bool record = (mode & RecordEveryMeasurement) ||
                      ((mode & RecordEveryMinute) && since >= 60) ||
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
}

void TDeviceModel::Tick() {
    // Batteries: the console unit runs down and the detection unit charges, each turning round
    // at the ends so that a long demo shows both directions.
    const double rates[2] = {150.0, 400.0};
    for (int b = 0; b < 2; ++b) {
        TBattery& bat = Batteries[b];
        const bool charging = bat.Current > 0;
        const double change = rates[b] / BatteryCapacity / 36.0; // percent per second
        ChargeLevel[b] += charging ? change : -change;
        if (ChargeLevel[b] >= 100) ChargeLevel[b] = 100;
        if (ChargeLevel[b] <= 5) ChargeLevel[b] = 5;
        const bool nowCharging = charging ? ChargeLevel[b] < 100 : ChargeLevel[b] <= 5;
        double current = rates[b] * (1.0 + Gauss() * 0.02);
        bat.Current = static_cast<float>(nowCharging ? current : -current);
        const double remaining = nowCharging ? (100 - ChargeLevel[b]) : ChargeLevel[b];
        bat.RemainingTime =
            static_cast<uint32_t>(remaining / 100.0 * BatteryCapacity / rates[b] * 3600.0);
        bat.Charge = static_cast<uint8_t>(std::lround(ChargeLevel[b]));
        bat.Temperature = static_cast<float>((b == 0 ? 24.5 : 27.0) + Gauss() * 0.15);
    }
}

void TDeviceModel::RefreshForRead(uint8_t objectId) {
    if (objectId == 0x00) {
        const int64_t now = DeviceTime();
        time_t tt = static_cast<time_t>(now);
        tm local{};
        localtime_r(&tt, &local);
        Meas.ClockSeconds = static_cast<uint8_t>(local.tm_sec);
        Meas.ClockMinutes = static_cast<uint8_t>(local.tm_min);
        Meas.ClockHours = static_cast<uint8_t>(local.tm_hour);
        Meas.RecordCount = Records;
        if (!Held) {
            Meas.Field13 = static_cast<uint8_t>(local.tm_mday);
            Meas.Field14 = static_cast<uint8_t>(local.tm_mon + 1);
            Meas.Field15 = static_cast<uint8_t>(std::clamp(local.tm_year - 100, 0, 255));
        }
        Meas.Status = StatusOverrideValue ? *StatusOverrideValue : ComputedStatus();
        NewMeasurement = false;
    } else if (objectId == 0x05) {
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
}

void TDeviceModel::ResetDose() {
    DoseSv = 0;
    AccumulatedSeconds = 0;
    Meas.Dose = 0;
    Meas.AccumulationTime = 0;
    SpectrumSum = TSpectrumData{};
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

int TDeviceModel::Reads(uint8_t objectId) const {
    auto it = ReadCounts.find(objectId);
    return it == ReadCounts.end() ? 0 : it->second;
}

int TDeviceModel::Writes(uint8_t objectId) const {
    auto it = WriteCounts.find(objectId);
    return it == WriteCounts.end() ? 0 : it->second;
}

int TDeviceModel::Commands(uint8_t value) const {
    auto it = CommandCounts.find(value);
    return it == CommandCounts.end() ? 0 : it->second;
}

int TDeviceModel::Errors(uint8_t code) const {
    auto it = ErrorCounts.find(code);
    return it == ErrorCounts.end() ? 0 : it->second;
}
