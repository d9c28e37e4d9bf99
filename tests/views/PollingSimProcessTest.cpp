// The program's tick against halvex-sim running as its own process on a pseudo-terminal.
#include <QThread>
#include <qcustomplot.h>

#include "FormFixture.h"
#include "connection/Discovery.h"
#include "connection/Polling.h"
#include "connection/PortState.h"
#include "link/ObjectTable.h"
#include "link/SerialLink.h"
#include "tests/support/PortFolder.h"

namespace {

class PollingSimProcess : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        SetNowFunction(nullptr); // the simulator runs on the real clock
        ASSERT_TRUE(ports.IsValid());
    }
    TPortFolder ports;
};

TEST_F(PollingSimProcess, TicksSetTheClockThenShowMeasurementBatteriesAndSpectrum) {
    ASSERT_TRUE(ports.StartSim(3, {"--clock-offset", "1000", "--dose-rate", "0.25"}))
        << ports.Sim.Error().toStdString();
    ASSERT_NE(OpenPort(3), nullptr) << LastOpenProblem.English;

    // The first tick finds the device 1000 s ahead and sets its clock, and nothing else.
    const QString batteryPanel = form->StatusBar1->PanelText(1);
    Timer1Timer(*form);
    EXPECT_EQ(form->StatusBar1->PanelText(0), QStringLiteral("Выполнено"));
    EXPECT_EQ(form->StatusBar1->PanelText(1), batteryPanel);
    EXPECT_EQ(form->Series1->data()->size(), 0);

    // The device measures once a second; keep ticking as Timer1 would until one arrives.
    for (int i = 0; i < 30 && form->Series1->data()->size() == 0; ++i) {
        QThread::msleep(200);
        Timer1Timer(*form);
    }
    EXPECT_EQ(form->Series1->data()->size(), 1);
    EXPECT_EQ(form->Label2->text(), QStringLiteral("0.250"));
    EXPECT_EQ(form->Label3->text(), QStringLiteral("мкЗв/ч"));
    EXPECT_TRUE(form->StatusBar1->PanelText(1).startsWith(QStringLiteral("Аккумулятор ВОЛН-2")));
    EXPECT_TRUE(form->StatusBar1->PanelText(2).startsWith(QStringLiteral("Аккумулятор ТЕРН-5")));

    form->PageControl1->setCurrentWidget(form->TabSheet4);
    Timer1Timer(*form);
    EXPECT_FALSE(form->StringGrid1->Cell(2, 1).isEmpty());
    EXPECT_FALSE(form->Label44->text().isEmpty());
}

// The line pulled mid-reply and a new one put behind the same link: ticks at the pace of Timer1
// find the device again without the operator (bench_reopen measures how soon).
TEST_F(PollingSimProcess, PolledAgainAfterTheSimulatorHangsUpAndReopens) {
    ASSERT_TRUE(ports.StartSim(3, {"--fault-next", "hang-up=1", "--reopen"}))
        << ports.Sim.Error().toStdString();
    PortNumber = 3;
    ASSERT_NE(OpenPort(3), nullptr) << LastOpenProblem.English;
    ShowPortFound(*form, 3);
    Timer1Timer(*form);
    EXPECT_EQ(form->StatusBar1->PanelText(3), QStringLiteral("COM3?"));
    for (int i = 0; i < 20 && PortBeingReopened(); ++i) {
        QThread::msleep(600);
        Timer1Timer(*form);
    }
    EXPECT_EQ(form->StatusBar1->PanelText(3), QStringLiteral("COM3"));
    EXPECT_TRUE(form->StatusBar1->Panel(3)->toolTip().isEmpty());
    Timer1Timer(*form);
    EXPECT_EQ(Link.LastReplyOutcome, TReplyOutcome::Delivered);
    EXPECT_NE(form->StatusBar1->PanelText(0), QStringLiteral("Ошибка связи"));
    ClosePort();
    PortNumber = 0;
}

// Every tick finds the last attempt two seconds old.
int64_t TwoSecondsPerCall() {
    static int64_t now = 0;
    return now += ReopenIntervalMs;
}

// The simulator ended while the settings tab is shown, which polls nothing, and started again on
// the same link: the loss is seen without an exchange and the port is back without the operator.
TEST_F(PollingSimProcess, SimulatorEndedAndStartedAgainOnTheSameLink) {
    ASSERT_TRUE(ports.StartSim(3)) << ports.Sim.Error().toStdString();
    PortNumber = 3;
    ASSERT_NE(OpenPort(3), nullptr) << LastOpenProblem.English;
    ShowPortFound(*form, 3);
    SetSteadyFunction(TwoSecondsPerCall);
    form->PageControl1->setCurrentWidget(form->TabSheet2);
    ports.Sim.Stop();
    Timer1Timer(*form);
    EXPECT_EQ(form->StatusBar1->PanelText(3), QStringLiteral("COM3?"));

    ASSERT_TRUE(ports.StartSim(3)) << ports.Sim.Error().toStdString();
    Timer1Timer(*form); // opens the port again, asks nothing
    EXPECT_EQ(form->StatusBar1->PanelText(3), QStringLiteral("COM3?"));
    form->PageControl1->setCurrentWidget(form->TabSheet5);
    // Without the link, COM3 is /dev/ttyS2: where that exists, the attempt made in the gap opened
    // it, and its silence costs one more attempt.
    for (int i = 0; i < 3 && PortBeingReopened(); ++i)
        Timer1Timer(*form);
    EXPECT_EQ(form->StatusBar1->PanelText(3), QStringLiteral("COM3"));
    EXPECT_EQ(Link.LastReplyOutcome, TReplyOutcome::Delivered);
    SetSteadyFunction(nullptr);
    ClosePort();
    PortNumber = 0;
}

} // namespace
