// Polling against the in-process console unit while it spoils its replies, one fault kind at a
// time and all mixed: after every exchange the object storage must hold exactly what a correct
// decoder makes of the bytes that arrived in that exchange, and every exchange the device did not
// spoil must be delivered, however bad the one before.
#include <algorithm>
#include <memory>
#include <numeric>

#include "FormFixture.h"
#include "base/Clock.h"
#include "connection/Discovery.h"
#include "connection/Polling.h"
#include "fuzz/StorageOracle.h"
#include "link/Frame.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "sim/SimPort.h"
#include "tests/support/TimeZone.h"

namespace {

// The simulator's port, noting the request of the current exchange, the storage when it left and
// every byte that came back since.
class TRecordingPort : public TSerialPort {
  public:
    explicit TRecordingPort(TSimDevice& device) : Sim(device) {}
    void Purge() override { Sim.Purge(); }
    int Write(const uint8_t* data, int n) override {
        Request.assign(data, data + n);
        Before = TakeStorageBytes();
        Received.clear();
        return Sim.Write(data, n);
    }
    int Read(uint8_t* data, int n, int timeoutMs) override {
        const int got = Sim.Read(data, n, timeoutMs);
        if (got > 0) Received.insert(Received.end(), data, data + got);
        return got;
    }
    void Close() override { Sim.Close(); }
    bool HungUp() const override { return Sim.HungUp(); }

    TSimPort Sim;
    std::vector<uint8_t> Request, Received;
    TStorageBytes Before;
};

struct TFaultRun {
    const char* name;
    std::vector<TFault> faults;
    double rate;
};

// One polling tick is one second of the test clock; the reopen of a lost port is spaced on it.
int64_t SteadyFromTestNow() {
    return TestNow() * 1000;
}

void PrintTo(const TFaultRun& run, std::ostream* out) {
    *out << run.name;
}

class FaultTable : public FormTest, public ::testing::WithParamInterface<TFaultRun> {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        ComputeEncodedSizes(ObjectTable, ObjectTableCount);
        TSimOptions options;
        options.RealTime = false;
        options.Seed = 7;
        options.ClockOffset = 1000; // the ticks also write the clock, and retry it after a fault
        for (TFault f : GetParam().faults)
            options.Faults[static_cast<int>(f)].Rate = GetParam().rate;
        // A cut after an intact header, where leftovers of an earlier reply could complete it.
        options.Faults[static_cast<int>(TFault::CutReply)].Parameter = 40;
        device = std::make_unique<TSimDevice>(options);
        SetPortOpener([this](uint8_t n) -> std::unique_ptr<TSerialPort> {
            if (n != 3) return nullptr;
            auto p = std::make_unique<TRecordingPort>(*device);
            port = p.get();
            ++opened;
            return p;
        });
        ASSERT_NE(OpenPort(3), nullptr);
        PortNumber = 3;
        SetSteadyFunction(SteadyFromTestNow);
        // Every ReadObject and WriteObject ends by showing its status: the moment to judge it.
        SetStatusSink([this](const std::string&, const std::string&) { Judge(); });
    }
    void TearDown() override {
        SetStatusSink(nullptr);
        SetSteadyFunction(nullptr);
        PortNumber = 0;
        ClosePort();
        SetPortOpener(nullptr);
        device.reset();
        FormTest::TearDown();
    }

    int Injected() const {
        int n = 0;
        for (int k = 0; k < FaultKindCount; ++k)
            n += device->Faults().Injected(static_cast<TFault>(k));
        return n;
    }

    void Judge() {
        if (!Link.PortHandle) { // the port is lost: nothing was sent, nothing may count
            EXPECT_EQ(Link.LastReplyOutcome, TReplyOutcome::NotAnswered);
            return;
        }
        const std::vector<uint8_t>& q = port->Request;
        ASSERT_GE(q.size(), HeaderSize + 1u);
        uint8_t index = 0;
        while (index < ObjectTableCount && (ObjectTable[index].ObjectId != q[HeaderSize] ||
                                            ObjectTable[index].ValueType != q[FrameAt::ValueType]))
            ++index;
        ASSERT_LT(index, ObjectTableCount);
        const TExchangeVerdict verdict =
            JudgeExchange(port->Before, index, q[FrameAt::Command] == Cmd::Write, port->Received);
        ++exchanges;
        EXPECT_EQ(Link.LastReplyOutcome, verdict.Outcome) << "exchange " << exchanges;
        EXPECT_TRUE(TakeStorageBytes() == verdict.Storage)
            << "exchange " << exchanges << " stored what the device did not send";

        const int injected = Injected();
        // A hung-up port stays dead until the ticks open it again; the exchanges on it only must
        // not store anything.
        const bool dead = port->Sim.HungUp();
        if (dead && lostPort != opened) {
            ++hangUps;
            lostPort = opened;
        } else if (!dead && lostPort && verdict.Outcome == TReplyOutcome::Delivered) {
            ++resumed;
            lostPort = 0;
        }
        if (injected == injectedBefore && !dead) {
            ++clean;
            EXPECT_EQ(Link.LastReplyOutcome, TReplyOutcome::Delivered)
                << "clean exchange " << exchanges << " after a spoilt one was not delivered";
        }
        if (verdict.Outcome == TReplyOutcome::Delivered) ++delivered;
        injectedBefore = injected;
    }

    std::unique_ptr<TSimDevice> device;
    TRecordingPort* port = nullptr;
    TScopedTimeZone zone;
    int exchanges = 0, clean = 0, delivered = 0, injectedBefore = 0;
    int opened = 0, lostPort = 0, hangUps = 0, resumed = 0;
};

TEST_P(FaultTable, StoresOnlyWhatArrivedAndRecovers) {
    QWidget* const pages[] = {form->TabSheet1, form->TabSheet4, form->TabSheet5};
    for (int tick = 0; tick < 300; ++tick) {
        form->PageControl1->setCurrentWidget(pages[tick % 3]);
        device->Model().Advance(1);
        TestNow() += 1;
        Timer1Timer(*form);
    }
    EXPECT_GT(Injected(), 0) << "the fault never fired";
    EXPECT_GT(exchanges, 300);
    EXPECT_GT(clean, 0);
    EXPECT_GT(delivered, 0);
    // Every lost port was opened again by the ticks, and polling went on there.
    EXPECT_EQ(resumed, hangUps - (lostPort ? 1 : 0));
    const auto& faults = GetParam().faults;
    if (std::find(faults.begin(), faults.end(), TFault::HangUp) != faults.end()) {
        EXPECT_GT(resumed, 0);
    }
}

std::vector<TFaultRun> Runs() {
    std::vector<TFaultRun> runs;
    static const char* const names[FaultKindCount] = {"NoAnswer",
                                                      "CorruptHeader",
                                                      "CorruptHeaderChecksum",
                                                      "CorruptPayload",
                                                      "CorruptPayloadChecksum",
                                                      "StrayByte",
                                                      "CutReply",
                                                      "WrongSource",
                                                      "Delay",
                                                      "OtherObject",
                                                      "HugeLength",
                                                      "HangUp"};
    std::vector<TFault> all;
    for (int k = 0; k < FaultKindCount; ++k) {
        const auto f = static_cast<TFault>(k);
        runs.push_back({names[k], {f}, f == TFault::HangUp ? 0.02 : 0.3});
        if (f != TFault::HangUp) all.push_back(f);
    }
    runs.push_back({"AllButHangUp", all, 0.04});
    all.push_back(TFault::HangUp);
    runs.push_back({"All", all, 0.02});
    return runs;
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTable, ::testing::ValuesIn(Runs()),
                         [](const ::testing::TestParamInfo<TFaultRun>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
