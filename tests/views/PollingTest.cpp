#include <qcustomplot.h>

#include "FormFixture.h"
#include "connection/ClockSync.h"
#include "connection/Discovery.h"
#include "connection/Polling.h"
#include "connection/PortState.h"
#include "link/Catalogue.h"
#include "link/Frame.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "tests/support/QuietDevice.h"
#include "tests/support/SimOpener.h"
#include "tests/support/TimeZone.h"
#include "ui/Widgets.h"
#include "views/StaleValues.h"

namespace {

class Polling : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        ComputeEncodedSizes(ObjectTable, ObjectTableCount); // as start-up does
        device = std::make_unique<TSimDevice>(QuietDevice());
        opener = std::make_unique<TSimOpener>(*device, 3);
        ASSERT_NE(OpenPort(3), nullptr);
        Model().HoldLiveValues(true);
        Model().Measurement().DoseRate = 0.25e-6f;
        Model().SetStatusOverride(StatusNewMeasurement);
    }
    void TearDown() override {
        ClosePort();
        opener.reset();
        device.reset();
        FormTest::TearDown();
    }
    TDeviceModel& Model() { return device->Model(); }
    void Show(QWidget* page) { form->PageControl1->setCurrentWidget(page); }
    void Tick() { Timer1Timer(*form); }
    TScopedTimeZone zone; // set before the window, put back after it
    std::unique_ptr<TSimDevice> device;
    std::unique_ptr<TSimOpener> opener;
};

TEST_F(Polling, EachTabReadsOnlyWhatItShows) {
    struct Case {
        QWidget* TForm1::*page;
        int measurement, detector, console, spectrum;
    };
    const Case cases[] = {
        {&TForm1::TabSheet1, 1, 1, 1, 0}, {&TForm1::TabSheet4, 0, 0, 0, 1},
        {&TForm1::TabSheet5, 0, 1, 1, 0}, {&TForm1::TabSheet2, 0, 0, 0, 0},
        {&TForm1::TabSheet3, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const int requests = Model().Requests();
        const int m = Model().Reads(ObjectId::MeasurementData),
                  d = Model().Reads(ObjectId::DetectorBattery),
                  k = Model().Reads(ObjectId::ConsoleBattery),
                  s = Model().Reads(ObjectId::SpectrumData);
        Show(form.get()->*c.page);
        EXPECT_EQ(Model().Requests(), requests) << "switching tabs sends nothing";
        Tick();
        EXPECT_EQ(Model().Reads(ObjectId::MeasurementData) - m, c.measurement);
        EXPECT_EQ(Model().Reads(ObjectId::DetectorBattery) - d, c.detector);
        EXPECT_EQ(Model().Reads(ObjectId::ConsoleBattery) - k, c.console);
        EXPECT_EQ(Model().Reads(ObjectId::SpectrumData) - s, c.spectrum);
        EXPECT_EQ(Model().Requests() - requests,
                  c.measurement + c.detector + c.console + c.spectrum);
    }
}

TEST_F(Polling, ReadsReachTheirViews) {
    Model().DetectorBattery().Charge = 87;
    Model().DetectorBattery().Current = 12.0f;
    Model().ConsoleBattery().Charge = 55;
    Tick();
    EXPECT_EQ(form->Label2->text(), QStringLiteral("0.250"));
    EXPECT_EQ(form->Series1->data()->size(), 1);
    EXPECT_EQ(form->StatusBar1->PanelText(2), QStringLiteral("Аккумулятор ТЕРН-5:  87% зарядка"));
    EXPECT_EQ(form->Label15->text(), QStringLiteral("55%"));

    for (int i = 0; i < SpectrumChannels; ++i)
        Model().Spectrum().Counts[i] = uint32_t(10 * i);
    Show(form->TabSheet4);
    Tick();
    EXPECT_EQ(form->StringGrid1->Cell(2, 14), QStringLiteral("130"));
    EXPECT_EQ(form->Label44->text(), QString::number(10 * 91));
}

TEST_F(Polling, NewMeasurementBitClearLeavesTheDoseButRefreshesBatteries) {
    Model().SetStatusOverride(0);
    Model().ConsoleBattery().Charge = 64;
    const QString rate = form->Label2->text();
    Tick();
    EXPECT_EQ(form->Label2->text(), rate);
    EXPECT_EQ(form->Series1->data()->size(), 0);
    EXPECT_EQ(form->Label15->text(), QStringLiteral("64%"));
    EXPECT_FALSE(form->StatusBar1->PanelText(1).isEmpty());
}

TEST_F(Polling, ClockIsWrittenBeyondThreeHundredSeconds) {
    struct Case {
        int64_t offset;
        bool written;
    };
    const Case cases[] = {
        {300, false}, {-300, false},      {301, true},
        {-301, true}, {3 * 86400, false}, // right time of day on a wrong date
    };
    TestNow() = LocalTime(2024, 5, 14, 12, 0, 0);
    for (const Case& c : cases) {
        Model().SetClockOffset(c.offset);
        const int writes = Model().Writes(ObjectId::DeviceClock),
                  batteries = Model().Reads(ObjectId::DetectorBattery);
        const int points = form->Series1->data()->size();
        TestNow() += 1;
        Tick();
        EXPECT_EQ(Model().Writes(ObjectId::DeviceClock) - writes, c.written ? 1 : 0) << c.offset;
        // A clock write ends the tick: no display update, no battery reads.
        EXPECT_EQ(Model().Reads(ObjectId::DetectorBattery) - batteries, c.written ? 0 : 1)
            << c.offset;
        EXPECT_EQ(form->Series1->data()->size() - points, c.written ? 0 : 1) << c.offset;
        if (c.written) {
            uint8_t expected[8];
            FillDeviceClock(TestNow(), expected);
            ASSERT_TRUE(Model().LastClockWrite().has_value());
            for (int i = 0; i < 8; ++i)
                EXPECT_EQ((*Model().LastClockWrite())[i], expected[i]) << i;
            // The device agrees now: the next tick shows the measurement again.
            Tick();
            EXPECT_EQ(Model().Writes(ObjectId::DeviceClock) - writes, 1);
            EXPECT_EQ(Model().Reads(ObjectId::DetectorBattery) - batteries, 1);
        }
    }
}

TEST_F(Polling, ClockCheckAcrossMidnightUsesThePcDate) {
    TestNow() = LocalTime(2024, 5, 14, 23, 59, 58);
    Model().SetClockOffset(5); // device at 00:00:03 of the next day
    Tick();
    EXPECT_EQ(Model().Writes(ObjectId::DeviceClock), 1);
}

TEST_F(Polling, FailedReadsStillReadTheBatteries) {
    device->Faults().SetNext(TFault::NoAnswer, 1);
    Tick();
    EXPECT_EQ(Model().Reads(ObjectId::MeasurementData), 0);
    EXPECT_EQ(Model().Reads(ObjectId::DetectorBattery), 1);
    EXPECT_EQ(Model().Reads(ObjectId::ConsoleBattery), 1);
    EXPECT_EQ(form->Series1->data()->size(), 0);

    // On the battery tab a lost detection-unit reply does not stop the console unit's read.
    Show(form->TabSheet5);
    Model().ConsoleBattery().Charge = 33;
    device->Faults().SetNext(TFault::NoAnswer, 1);
    const QString detector = form->Label25->text();
    Tick();
    EXPECT_EQ(Model().Reads(ObjectId::DetectorBattery), 1);
    EXPECT_EQ(Model().Reads(ObjectId::ConsoleBattery), 2);
    EXPECT_EQ(form->Label25->text(), detector);
    EXPECT_EQ(form->Label15->text(), QStringLiteral("33%"));
}

TEST_F(Polling, BadAddressSendsNothingAndSaysSoOncePerText) {
    form->Edit2->setText(QStringLiteral("03C8FG"));
    const QColor normal = form->Edit2->palette().color(QPalette::Base);
    Tick();
    EXPECT_EQ(Model().Requests(), 0);
    EXPECT_EQ(form->StatusBar1->PanelText(0), QStringLiteral("Неверный адрес пульта"));
    EXPECT_NE(form->Edit2->palette().color(QPalette::Base), normal);
    EXPECT_FALSE(form->Edit2->toolTip().isEmpty());

    // The same text again: no new message (panel 0 keeps whatever came since).
    form->StatusBar1->SetPanelText(0, QStringLiteral("other"));
    Tick();
    EXPECT_EQ(form->StatusBar1->PanelText(0), QStringLiteral("other"));
    // Another bad text is reported afresh.
    LanguageIndex = 1;
    form->Edit2->setText(QString());
    Tick();
    EXPECT_EQ(form->StatusBar1->PanelText(0), QStringLiteral("Invalid console address"));
    EXPECT_EQ(Model().Requests(), 0);

    // A good text clears the mark, and the tick polls with it.
    form->Edit2->setText(QStringLiteral("03c8fd"));
    Tick();
    EXPECT_EQ(form->Edit2->palette().color(QPalette::Base), normal);
    EXPECT_TRUE(form->Edit2->toolTip().isEmpty());
    EXPECT_EQ(Model().Reads(ObjectId::MeasurementData), 1);

    // Only the low 24 bits of a longer number count.
    form->Edit2->setText(QStringLiteral("1234567"));
    Tick();
    EXPECT_EQ(Link.DeviceAddress[0], 0x23);
    EXPECT_EQ(Link.DeviceAddress[1], 0x45);
    EXPECT_EQ(Link.DeviceAddress[2], 0x67);
}

// The views' values turn grey once their own object has failed three reads in a row, and take
// their colours back, alarm red included, with the next delivered read; nothing is cleared.
TEST_F(Polling, ValuesGreyAfterThreeFailedReadsOfTheirOwnObject) {
    Model().SetStatusOverride(StatusNewMeasurement | StatusDoseRateAlarm);
    Tick();
    const QColor red(255, 0, 0);
    ASSERT_EQ(FontColor(form->Label2), red);
    const QString rate = form->Label2->text(), charge = form->Label15->text();
    std::vector<QLabel*> measurement = {form->Label2, form->Label4, form->Label6, form->Label9};
    std::vector<QLabel*> console = {form->Label15, form->Label19, form->StatusBar1->Panel(1)};
    std::vector<QLabel*> detector = {form->Label25, form->Label29, form->StatusBar1->Panel(2)};
    auto expectColour = [](const std::vector<QLabel*>& labels, const QColor& colour) {
        for (QLabel* label : labels)
            EXPECT_EQ(FontColor(label), colour) << label->objectName().toStdString();
    };

    // Every read of a measurement tick is lost: three per tick.
    device->Faults().SetNext(TFault::NoAnswer, 2 * 3);
    Tick();
    Tick();
    EXPECT_EQ(FontColor(form->Label2), red) << "two failures are not enough";
    device->Faults().SetNext(TFault::NoAnswer, 3);
    Tick();
    expectColour(measurement, GreyedColor()); // grey over the alarm red
    expectColour(console, GreyedColor());
    expectColour(detector, GreyedColor());
    EXPECT_EQ(form->Label2->text(), rate);
    EXPECT_EQ(form->Label15->text(), charge);
    EXPECT_EQ(form->Series1->data()->size(), 1);

    // Without a new measurement to show, the colours still come back, red where the alarm was.
    Model().SetStatusOverride(StatusDoseRateAlarm);
    Tick();
    EXPECT_EQ(FontColor(form->Label2), red);
    EXPECT_EQ(FontColor(form->Label6), WindowTextColor());
    expectColour(console, WindowTextColor());
    expectColour(detector, WindowTextColor());

    // Each view counts its own object: on the battery tab only the detection unit's reads fail.
    Show(form->TabSheet5);
    for (int i = 0; i < 3; ++i) {
        device->Faults().SetNext(TFault::NoAnswer, 1);
        Tick();
    }
    expectColour(detector, GreyedColor());
    expectColour(console, WindowTextColor());
    EXPECT_EQ(FontColor(form->Label2), red);
}

TEST_F(Polling, SpectrumCountsGreyAfterThreeFailedReads) {
    Show(form->TabSheet4);
    Model().Spectrum().Counts[0] = 5;
    Tick();
    device->Faults().SetNext(TFault::NoAnswer, 3);
    for (int i = 0; i < 3; ++i)
        Tick();
    EXPECT_EQ(form->StringGrid1->CellColor(2, 1), GreyedColor());
    EXPECT_EQ(form->StringGrid1->Cell(2, 1), QStringLiteral("5"));
    EXPECT_EQ(FontColor(form->Label44), GreyedColor());
    Tick();
    EXPECT_NE(form->StringGrid1->CellColor(2, 1), GreyedColor());
    EXPECT_NE(FontColor(form->Label44), GreyedColor());
}

int64_t& SteadyNow() {
    static int64_t now = 0;
    return now;
}
int64_t SteadyNowFunction() {
    return SteadyNow();
}

// A port that hangs up is opened again by the ticks, at most once every two seconds, each
// attempt costing at most one exchange, and polling resumes without the operator.
class PortLoss : public Polling {
  protected:
    void SetUp() override {
        Polling::SetUp();
        SteadyNow() = 100000;
        SetSteadyFunction(SteadyNowFunction);
        PortNumber = 3;
        ShowPortFound(*form, 3);
    }
    void TearDown() override {
        SetSteadyFunction(nullptr);
        PortNumber = 0;
        Polling::TearDown();
    }
    // One tick of Timer1, 600 ms after the last.
    void Wait() {
        SteadyNow() += 600;
        Tick();
    }
    QString Panel3() const { return form->StatusBar1->PanelText(3); }
    QString Tooltip3() const { return form->StatusBar1->Panel(3)->toolTip(); }
};

TEST_F(PortLoss, ReopenedAtMostEveryTwoSecondsUntilTheDeviceAnswers) {
    device->Faults().SetNext(TFault::HangUp, 1);
    opener->SetAvailable(false); // the adapter is pulled
    Tick();
    EXPECT_EQ(Panel3(), QStringLiteral("COM3?"));
    EXPECT_EQ(Tooltip3(), QStringLiteral("Порт потерян, переподключение…"));
    EXPECT_EQ(Link.PortHandle, nullptr);

    // Ten ticks over six seconds: attempts at 0.6 s, then 2 s and more apart (3.0 s, 5.4 s).
    const int attempts = opener->Attempts(), requests = Model().Requests();
    for (int i = 0; i < 10; ++i)
        Wait();
    EXPECT_EQ(opener->Attempts() - attempts, 3);
    EXPECT_EQ(Model().Requests(), requests);
    EXPECT_EQ(form->StatusBar1->PanelText(0), QStringLiteral("Ошибка связи"));
    LanguageIndex = 1;
    Wait();
    EXPECT_EQ(Tooltip3(), QStringLiteral("Port lost, reconnecting…"));
    LanguageIndex = 0;

    // Back, but silent at first: the attempt's one exchange is all the tick sends.
    opener->SetAvailable(true);
    device->Faults().SetNext(TFault::NoAnswer, 10);
    while (opener->Opens() == 1)
        Wait();
    EXPECT_EQ(device->Faults().Injected(TFault::NoAnswer), 1);
    EXPECT_EQ(Link.PortHandle, nullptr);
    EXPECT_EQ(Panel3(), QStringLiteral("COM3?"));

    // Answering: the port is named again and the tick reads as usual.
    device->Faults().SetNext(TFault::NoAnswer, 0);
    const int measured = Model().Reads(ObjectId::MeasurementData),
              consoleReads = Model().Reads(ObjectId::ConsoleBattery);
    while (opener->Opens() == 2)
        Wait();
    EXPECT_EQ(Panel3(), QStringLiteral("COM3"));
    EXPECT_TRUE(Tooltip3().isEmpty());
    EXPECT_EQ(Model().Reads(ObjectId::MeasurementData) - measured, 1);
    EXPECT_EQ(Model().Reads(ObjectId::ConsoleBattery) - consoleReads, 1);
    EXPECT_EQ(form->Label2->text(), QStringLiteral("0.250"));
    Wait();
    EXPECT_EQ(opener->Opens(), 3);
    EXPECT_EQ(Model().Reads(ObjectId::MeasurementData) - measured, 2);
}

// A tab that polls nothing still opens the port again; the first polled tick then confirms it.
TEST_F(PortLoss, ReopenedFromATabThatPollsNothing) {
    device->Faults().SetNext(TFault::HangUp, 1);
    Tick();
    ASSERT_EQ(Panel3(), QStringLiteral("COM3?"));
    Show(form->TabSheet2);
    const int requests = Model().Requests();
    Wait();
    EXPECT_NE(Link.PortHandle, nullptr);
    EXPECT_EQ(Model().Requests(), requests);
    EXPECT_EQ(Panel3(), QStringLiteral("COM3?"));
    Show(form->TabSheet1);
    Wait();
    EXPECT_EQ(Panel3(), QStringLiteral("COM3"));
}

// A search that fails after a success goes back to the port it had; if that opens, the next tick
// uses it without waiting for its own attempt.
TEST_F(PortLoss, APortOpenedMeanwhileIsTakenUpByTheNextTick) {
    device->Faults().SetNext(TFault::HangUp, 1);
    opener->SetAvailable(false);
    Tick();
    Wait(); // the first attempt fails
    opener->SetAvailable(true);
    ASSERT_NE(OpenPort(3), nullptr);
    const int attempts = opener->Attempts();
    Wait();
    EXPECT_EQ(opener->Attempts(), attempts);
    EXPECT_EQ(Panel3(), QStringLiteral("COM3"));
}

} // namespace
