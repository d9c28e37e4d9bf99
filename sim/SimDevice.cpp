#include "sim/SimDevice.h"

#include "link/Frame.h"

#include <algorithm>
#include <cstring>

namespace {

// Object ids a read may be answered with instead, when a reply for another object is injected.
constexpr uint8_t ReadableIds[] = {ObjectId::SpectrumData,    ObjectId::SpectrumData2,
                                   ObjectId::MeasurementData, ObjectId::ConsoleBattery,
                                   ObjectId::DetectorBattery, ObjectId::DeviceSettings,
                                   ObjectId::ArchiveEntry,    ObjectId::ConsoleAddress,
                                   ObjectId::Module1Address,  ObjectId::Module2Address};

void Flip(std::vector<uint8_t>& bytes, size_t at, std::mt19937& rng) {
    std::uniform_int_distribution<int> bit(0, 7);
    bytes[at] ^= static_cast<uint8_t>(1u << bit(rng));
}

} // namespace

TSimDevice::TSimDevice(const TSimOptions& options) : DeviceModel(options), Injector(options.Seed) {
    for (int k = 0; k < FaultKindCount; ++k)
        Injector.Set(static_cast<TFault>(k), options.Faults[k]);
}

void TSimDevice::Receive(const uint8_t* data, size_t n, std::vector<TOutgoing>& out) {
    std::vector<std::vector<uint8_t>> frames;
    Reader.Feed(data, n, frames);
    for (const auto& f : frames) {
        TOutgoing o;
        if (Answer(f.data(), f.size(), o)) out.push_back(std::move(o));
    }
}

bool TSimDevice::Answer(const uint8_t* frame, size_t n, TOutgoing& out) {
    out = TOutgoing{};
    // Only frames the device would answer draw a fault, so "the next N" counts real exchanges.
    const uint8_t command = n >= HeaderSize ? frame[FrameAt::Command] : 0;
    if (n < HeaderSize || !HeaderIntact(frame) ||
        std::memcmp(frame + FrameAt::Destination, DeviceModel.Address(), 3) != 0 ||
        command == Cmd::Ack || command == Cmd::Error || command == Cmd::ReadReply)
        return false;
    const std::optional<TFault> fault = Injector.Draw();
    if (fault == TFault::NoAnswer) return false;

    uint8_t source[3];
    std::memcpy(source, DeviceModel.Address(), 3); // before a console-address write changes it
    if (!DeviceModel.HandleRequest(frame, n, out.Bytes)) return false;
    if (!fault) return true;

    std::vector<uint8_t>& b = out.Bytes;
    std::mt19937& rng = Injector.Random();
    const size_t L = PayloadLength(b.data());
    switch (*fault) {
    case TFault::CorruptHeader: {
        std::uniform_int_distribution<size_t> at(0, FrameAt::HeaderChecksum - 1);
        Flip(b, at(rng), rng);
        break;
    }
    case TFault::CorruptPayload:
    case TFault::CorruptPayloadChecksum:
        if (L > 0) {
            const size_t first = FrameAt::Payload + (*fault == TFault::CorruptPayload ? 0 : L);
            const size_t last = first + (*fault == TFault::CorruptPayload ? L : 4) - 1;
            std::uniform_int_distribution<size_t> at(first, last);
            Flip(b, at(rng), rng);
            break;
        }
        [[fallthrough]]; // nothing after the header: spoil its checksum instead
    case TFault::CorruptHeaderChecksum: {
        std::uniform_int_distribution<size_t> at(FrameAt::HeaderChecksum, HeaderSize - 1);
        Flip(b, at(rng), rng);
        break;
    }
    case TFault::StrayByte:
        b.insert(b.begin(), 0xA5);
        break;
    case TFault::CutReply:
        b.resize(std::min(b.size(), size_t(Injector.Parameter(TFault::CutReply))));
        break;
    case TFault::WrongSource: {
        uint8_t other[3] = {source[0], source[1], static_cast<uint8_t>(source[2] ^ 0x5A)};
        std::memcpy(b.data() + FrameAt::Source, other, 3);
        SealHeader(b.data());
        break;
    }
    case TFault::Delay:
        out.DelayMs = Injector.Parameter(TFault::Delay);
        break;
    case TFault::OtherObject: {
        const uint8_t asked = frame[FrameAt::Command] == Cmd::Read && n > FrameAt::ObjectId
                                  ? frame[FrameAt::ObjectId]
                                  : 0xFF;
        std::vector<uint8_t> ids;
        for (uint8_t id : ReadableIds)
            if (id != asked && id != ObjectId::ArchiveEntry)
                ids.push_back(id); // an archive step would be lost
        std::uniform_int_distribution<size_t> pick(0, ids.size() - 1);
        uint8_t asker[3];
        std::memcpy(asker, frame + FrameAt::Source, 3);
        DeviceModel.BuildReadReply(ids[pick(rng)], asker, b);
        std::memcpy(b.data() + FrameAt::Source, source, 3);
        SealHeader(b.data());
        break;
    }
    case TFault::HugeLength:
        b.resize(HeaderSize);
        SetPayloadLength(b.data(), 0xFFFF);
        SealHeader(b.data());
        b.resize(HeaderSize + 4200, 0x55);
        break;
    case TFault::HangUp:
        b.resize(std::max<size_t>(1, b.size() / 2));
        out.HangUpAfter = true;
        break;
    case TFault::NoAnswer:
        break;
    }
    return true;
}
