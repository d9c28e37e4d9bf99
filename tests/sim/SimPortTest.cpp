#include "sim/SimPort.h"
#include "SimTestUtil.h"
#include "link/Catalogue.h"
#include "link/ObjectRequests.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "tests/support/QuietDevice.h"
#include "tests/support/SimOpener.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// What arrives for one request within a read time-out, as the link reads it: the header first,
// then the payload it announces.
std::vector<uint8_t> Exchange(TSimPort& port, const std::vector<uint8_t>& request,
                              int timeoutMs = 44) {
    port.Purge();
    port.Write(request.data(), int(request.size()));
    std::vector<uint8_t> got(8192);
    int n = port.Read(got.data(), HeaderSize, timeoutMs);
    if (n == HeaderSize && HeaderIntact(got.data()))
        n += port.Read(got.data() + HeaderSize, int(got.size()) - HeaderSize, timeoutMs);
    got.resize(size_t(n));
    return got;
}

bool HeaderGood(const std::vector<uint8_t>& f, size_t at = 0) {
    return f.size() >= at + HeaderSize && HeaderIntact(f.data() + at);
}

bool PayloadGood(const std::vector<uint8_t>& f) {
    const uint16_t L = PayloadLengthOf(f);
    return f.size() == 18u + L && PayloadIntact(f.data(), L);
}

TEST(SimPort, EachFaultSpoilsTheReplyItsOwnWay) {
    const auto measurement = ReadRequest(125, ObjectId::MeasurementData);
    struct {
        TFault Fault;
        int Parameter;
        bool (*Check)(const std::vector<uint8_t>&);
    } cases[] = {
        {TFault::NoAnswer, -1, [](const std::vector<uint8_t>& r) { return r.empty(); }},
        {TFault::CorruptHeader, -1,
         [](const std::vector<uint8_t>& r) { return r.size() == 14 && !HeaderGood(r); }},
        {TFault::CorruptHeaderChecksum, -1,
         [](const std::vector<uint8_t>& r) { return r.size() == 14 && !HeaderGood(r); }},
        {TFault::CorruptPayload, -1,
         [](const std::vector<uint8_t>& r) {
             return HeaderGood(r) && r.size() == 79 && !PayloadGood(r);
         }},
        {TFault::CorruptPayloadChecksum, -1,
         [](const std::vector<uint8_t>& r) {
             return HeaderGood(r) && r.size() == 79 && !PayloadGood(r);
         }},
        {TFault::StrayByte, -1,
         [](const std::vector<uint8_t>& r) {
             return r.size() == 14 && r[0] == 0xA5 &&
                    std::memcmp(r.data() + 1, HostAddress, 3) == 0;
         }},
        {TFault::CutReply, 20,
         [](const std::vector<uint8_t>& r) { return r.size() == 20 && HeaderGood(r); }},
        {TFault::WrongSource, -1,
         [](const std::vector<uint8_t>& r) {
             return PayloadGood(r) &&
                    std::memcmp(r.data() + FrameAt::Source, SimDefaultAddress, 3) != 0;
         }},
        {TFault::Delay, 100, [](const std::vector<uint8_t>& r) { return r.empty(); }},
        {TFault::OtherObject, -1,
         [](const std::vector<uint8_t>& r) {
             return PayloadGood(r) && r[FrameAt::Command] == Cmd::ReadReply &&
                    r[FrameAt::ObjectId] != ObjectId::MeasurementData;
         }},
        {TFault::HugeLength, -1,
         [](const std::vector<uint8_t>& r) {
             return HeaderGood(r) && PayloadLengthOf(r) == 0xFFFF && r.size() == 14 + 4200;
         }},
        {TFault::HangUp, -1,
         [](const std::vector<uint8_t>& r) { return !r.empty() && r.size() < 79; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(FaultName(c.Fault));
        TSimDevice device(QuietDevice());
        TSimPort port(device);
        device.Faults().SetNext(c.Fault, 1, c.Parameter);
        EXPECT_TRUE(c.Check(Exchange(port, measurement)));
        EXPECT_EQ(device.Faults().Injected(c.Fault), 1);
        const std::vector<uint8_t> next = Exchange(port, measurement);
        if (c.Fault == TFault::HangUp) {
            EXPECT_TRUE(port.HungUp());
            EXPECT_TRUE(next.empty());
            EXPECT_EQ(port.Write(measurement.data(), int(measurement.size())), -1);
        } else {
            EXPECT_TRUE(PayloadGood(next)) << "one fault, then a good reply";
        }
    }
    // A lost request leaves the device as it was; a delayed reply comes when waited for.
    TSimDevice device(QuietDevice());
    TSimPort port(device);
    device.Faults().SetNext(TFault::NoAnswer, 1);
    Exchange(port, ReadRequest(125, ObjectId::ArchiveEntry));
    EXPECT_EQ(device.Model().ArchivePosition(), -1);
    device.Faults().SetNext(TFault::Delay, 1, 100);
    EXPECT_TRUE(PayloadGood(Exchange(port, measurement, 150)));
}

TEST(SimPort, RatesFireAboutAsOftenAsAsked) {
    TSimOptions o = QuietDevice();
    o.Faults[int(TFault::NoAnswer)].Rate = 0.25;
    TSimDevice device(o);
    TSimPort port(device);
    int silent = 0;
    for (int i = 0; i < 400; ++i)
        silent += Exchange(port, ReadRequest(125, ObjectId::ConsoleBattery)).empty();
    EXPECT_GT(silent, 60);
    EXPECT_LT(silent, 140);
}

TEST(SimPort, FrameReaderResynchronisesAndDropsStalledFrames) {
    TSimDevice device(QuietDevice());
    std::vector<TOutgoing> out;
    std::vector<uint8_t> stream = {0x00, 0xFF, 0x03, 0xC8};
    const auto request = ReadRequest(125, ObjectId::DetectorBattery);
    stream.insert(stream.end(), request.begin(), request.end());
    // Byte by byte, with garbage in front: one reply.
    for (uint8_t b : stream)
        device.Receive(&b, 1, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].Bytes.size(), 39u);
    // A frame whose payload never comes is forgotten at the time-out; the next one is served.
    out.clear();
    device.Receive(request.data(), 15, out);
    device.ReceiveTimeout();
    device.Receive(request.data(), request.size(), out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].Bytes[FrameAt::ObjectId], ObjectId::DetectorBattery);
}

// The program's own requests against the in-process simulator, through the port opener.
TEST(SimPort, ProgramReadsEveryReadableObjectAndWritesCommands) {
    ComputeEncodedSizes(ObjectTable, ObjectTableCount);
    TSimDevice device(QuietDevice());
    TSimOpener opener(device, 7);
    EXPECT_EQ(OpenPort(6), nullptr);
    ASSERT_NE(OpenPort(7), nullptr);
    std::memcpy(Link.DeviceAddress, SimDefaultAddress, 3);

    device.Model().SetDoseRateLevel(0.25e-6);
    device.Model().Advance(1);
    for (uint8_t index :
         {Obj::SpectrumData, Obj::SpectrumData2, Obj::MeasurementData, Obj::ConsoleBattery,
          Obj::DetectorBattery, Obj::DeviceSettings, Obj::ArchiveEntry, Obj::ConsoleAddress,
          Obj::Module1Address, Obj::Module2Address})
        EXPECT_EQ(ReadObject(index), 1) << int(index);
    EXPECT_FLOAT_EQ(MeasurementData.DoseRate, 0.25e-6f);
    EXPECT_EQ(MeasurementData.Status & StatusNewMeasurement, StatusNewMeasurement);
    EXPECT_EQ(DeviceSettings.Brightness, device.Model().Settings().Brightness);
    EXPECT_EQ(0, std::memcmp(DeviceSettings.ConsoleAddress, SimDefaultAddress, 3));
    EXPECT_EQ(ConsoleBattery.Charge, device.Model().ConsoleBattery().Charge);

    DeviceCommand = 1;
    EXPECT_EQ(WriteObject(Obj::DeviceCommand), 1);
    EXPECT_EQ(device.Model().Commands(1), 1);

    device.Faults().SetNext(TFault::HangUp, 1);
    ReadObject(Obj::MeasurementData); // half a reply: whether that counts is the link's business
    ASSERT_NE(opener.LastPort(), nullptr);
    EXPECT_TRUE(opener.LastPort()->HungUp());
    EXPECT_EQ(ReadObject(Obj::MeasurementData), 0) << "a hung-up port stays dead";
    ASSERT_NE(OpenPort(7), nullptr);
    EXPECT_EQ(ReadObject(Obj::MeasurementData), 1) << "reopening brings it back";
    EXPECT_EQ(opener.Opens(), 2);
}

} // namespace
