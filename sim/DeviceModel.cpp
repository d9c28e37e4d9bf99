#include "sim/DeviceModel.h"

#include "base/Clock.h"
#include "link/Frame.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

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
    BindCatalogue({&SpectrumValues, &SpectrumSum, &Meas, &Batteries[0], &Batteries[1], &Set, &Entry,
                   Clock, &Command, &Tagged},
                  Table, Fields);
    ComputeEncodedSizes(Table, ObjectCount);
}

int TDeviceModel::FindEntry(uint8_t valueType, uint8_t objectId) const {
    for (int i = 0; i < ObjectCount; ++i)
        if (Table[i].ValueType == valueType && Table[i].ObjectId == objectId) return i;
    return -1;
}

void TDeviceModel::ErrorReply(const uint8_t* destination, uint8_t code,
                              std::vector<uint8_t>& reply) {
    reply.assign(FrameSize(1), 0);
    reply[FrameAt::Payload] = code;
    CompleteFrame(reply.data(), destination, Set.ConsoleAddress, Cmd::Error, 0, 1);
    ++ErrorCounts[code];
}

bool TDeviceModel::HandleRequest(const uint8_t* frame, size_t length, std::vector<uint8_t>& reply) {
    reply.clear();
    if (length < HeaderSize) return false;
    if (!HeaderIntact(frame)) return false;
    if (std::memcmp(frame + FrameAt::Destination, Set.ConsoleAddress, 3) != 0) return false;
    const uint8_t command = frame[FrameAt::Command];
    // Replies are never answered: two devices would otherwise talk to each other for ever.
    if (command == Cmd::Ack || command == Cmd::Error || command == Cmd::ReadReply) return false;

    ++RequestCount;
    if (RealTimeOn) {
        auto now = std::chrono::steady_clock::now();
        Advance(std::chrono::duration<double>(now - LastWall).count());
        LastWall = now;
    }
    uint8_t asker[3];
    std::memcpy(asker, frame + FrameAt::Source, 3);
    const uint16_t L = PayloadLength(frame);
    if (L > MaxPayload) {
        ErrorReply(asker, ErrorCode::Length, reply);
        return true;
    }
    if (L > 0) {
        if (length < FrameSize(L)) {
            ErrorReply(asker, ErrorCode::Length, reply);
            return true;
        }
        if (!PayloadIntact(frame, L)) {
            ErrorReply(asker, ErrorCode::Checksum, reply);
            return true;
        }
    }
    const uint8_t valueType = frame[FrameAt::ValueType];
    const uint8_t objectId = L > 0 ? frame[FrameAt::ObjectId] : 0;
    const bool archiveRead = command == Cmd::Read && L == 1 && valueType == vt::Struct &&
                             objectId == ObjectId::ArchiveEntry;
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
        if (!DecodeObject(Table, static_cast<uint8_t>(i), frame + FrameAt::ObjectId + 1)) {
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
    reply.assign(FrameSize(size), 0);
    uint16_t encoded = 0;
    EncodeObject(Table, static_cast<uint8_t>(i), reply.data(), encoded);
    reply[FrameAt::ObjectId] = objectId;
    CompleteFrame(reply.data(), destination, Set.ConsoleAddress, Cmd::ReadReply, Table[i].ValueType,
                  size);
    return true;
}

void TDeviceModel::ApplyWrite(uint8_t objectId, const uint8_t* /*oldAddress*/) {
    switch (objectId) {
    case ObjectId::DeviceSettingsWrite: // settings: the panel stores brightness as a level of 0..10
        Set.Brightness = static_cast<uint8_t>(std::min(10, (Set.Brightness + 12) / 25));
        break;
    case ObjectId::DeviceClock: {
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
    case ObjectId::DeviceCommand:
        ++CommandCounts[Command];
        if (Command == DeviceCommandValue::ResetDose) ResetDose();
        if (Command == DeviceCommandValue::EraseArchive) EraseArchive();
        break;
    default:
        break;
    }
}

void TDeviceModel::RefreshForRead(uint8_t objectId) {
    if (objectId == ObjectId::MeasurementData) {
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
    } else if (objectId == ObjectId::ArchiveEntry) {
        StepArchiveRead();
    }
}

void TDeviceModel::SetAddress(const uint8_t address[3]) {
    std::memcpy(Set.ConsoleAddress, address, 3);
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
