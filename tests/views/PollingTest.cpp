#include <qcustomplot.h>

#include "FormFixture.h"
#include "connection/ClockSync.h"
#include "connection/Polling.h"
#include "link/Frame.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "tests/support/QuietDevice.h"
#include "tests/support/SimOpener.h"
#include "tests/support/TimeZone.h"

namespace {

constexpr uint8_t IdMeasurement = 0x00, IdDetector = 0x01, IdSpectrum = 0x03, IdConsole = 0x04,
                  IdClock = 0x14;

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
        const int m = Model().Reads(IdMeasurement), d = Model().Reads(IdDetector),
                  k = Model().Reads(IdConsole), s = Model().Reads(IdSpectrum);
        Show(form.get()->*c.page);
        EXPECT_EQ(Model().Requests(), requests) << "switching tabs sends nothing";
        Tick();
        EXPECT_EQ(Model().Reads(IdMeasurement) - m, c.measurement);
        EXPECT_EQ(Model().Reads(IdDetector) - d, c.detector);
        EXPECT_EQ(Model().Reads(IdConsole) - k, c.console);
        EXPECT_EQ(Model().Reads(IdSpectrum) - s, c.spectrum);
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
        const int writes = Model().Writes(IdClock), batteries = Model().Reads(IdDetector);
        const int points = form->Series1->data()->size();
        TestNow() += 1;
        Tick();
        EXPECT_EQ(Model().Writes(IdClock) - writes, c.written ? 1 : 0) << c.offset;
        // A clock write ends the tick: no display update, no battery reads.
        EXPECT_EQ(Model().Reads(IdDetector) - batteries, c.written ? 0 : 1) << c.offset;
        EXPECT_EQ(form->Series1->data()->size() - points, c.written ? 0 : 1) << c.offset;
        if (c.written) {
            uint8_t expected[8];
            FillDeviceClock(TestNow(), expected);
            ASSERT_TRUE(Model().LastClockWrite().has_value());
            for (int i = 0; i < 8; ++i)
                EXPECT_EQ((*Model().LastClockWrite())[i], expected[i]) << i;
            // The device agrees now: the next tick shows the measurement again.
            Tick();
            EXPECT_EQ(Model().Writes(IdClock) - writes, 1);
            EXPECT_EQ(Model().Reads(IdDetector) - batteries, 1);
        }
    }
}

TEST_F(Polling, ClockCheckAcrossMidnightUsesThePcDate) {
    TestNow() = LocalTime(2024, 5, 14, 23, 59, 58);
    Model().SetClockOffset(5); // device at 00:00:03 of the next day
    Tick();
    EXPECT_EQ(Model().Writes(IdClock), 1);
}

TEST_F(Polling, FailedReadsStillReadTheBatteries) {
    device->Faults().SetNext(TFault::NoAnswer, 1);
    Tick();
    EXPECT_EQ(Model().Reads(IdMeasurement), 0);
    EXPECT_EQ(Model().Reads(IdDetector), 1);
    EXPECT_EQ(Model().Reads(IdConsole), 1);
    EXPECT_EQ(form->Series1->data()->size(), 0);

    // On the battery tab a lost detection-unit reply does not stop the console unit's read.
    Show(form->TabSheet5);
    Model().ConsoleBattery().Charge = 33;
    device->Faults().SetNext(TFault::NoAnswer, 1);
    const QString detector = form->Label25->text();
    Tick();
    EXPECT_EQ(Model().Reads(IdDetector), 1);
    EXPECT_EQ(Model().Reads(IdConsole), 2);
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
    EXPECT_EQ(Model().Reads(IdMeasurement), 1);

    // Only the low 24 bits of a longer number count.
    form->Edit2->setText(QStringLiteral("1234567"));
    Tick();
    EXPECT_EQ(DeviceAddress[0], 0x23);
    EXPECT_EQ(DeviceAddress[1], 0x45);
    EXPECT_EQ(DeviceAddress[2], 0x67);
}

} // namespace
